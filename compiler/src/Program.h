// The project-wide half of the compiler: scope tree, scope stack, statement positions,
// build flags and the VMC image of the last successful build.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CodeGenerator.h"
#include "DataSymbols.h"
#include "MessageStream.h"
#include "Scope.h"

namespace vexa::vx2 {

class Thread;
class Function;
class Procedure;

class Program {
 public:
  using BUILD_ERROR = BuildError;
  static constexpr int MAX_POSITIONS = 65535;

  Program();
  ~Program();

  // Scope tree and stack.
  Scope* root() const { return root_.get(); }
  Scope* currentScope() const { return scopes_.back(); }
  void enterScope(Scope* node) { scopes_.push_back(node); }
  void leaveScope() {
    if (scopes_.size() > 1) scopes_.pop_back();
  }
  void popScopesTo(Scope* node);
  void resetScopes();
  // Adds the symbol under the current scope; null when the name is taken.
  Scope* declare(int line, const std::string& name, SymbolPtr symbol, int kind, bool hidden);

  // Labels are unique within the project.
  int32_t newLabel() { return ++labelCounter_; }

  // Positions and flags.
  void beginBuild();
  int registerPosition(int module, int line);
  int lastPosition() const { return static_cast<int>(positions_.size()) - 1; }
  bool building() const { return building_; }
  void stopBuilding() { building_ = false; }
  bool vmcAvailable() const { return vmcAvailable_; }

  // The build; throws BUILD_ERROR, or std::exception for an inconsistent program.
  void build();
  // The build with its one message line; true when the image is available.
  bool finish(MessageStream& messages);

  // The image (valid while vmcAvailable()).
  const CodeGenerator& image() const { return generator_; }
  int compactPositionCount() const { return static_cast<int>(compact_.size()); }
  const std::pair<int, int>& compactPositionAt(int i) const { return compact_[i]; }
  int compactIndexOfWord(int word) const { return wordPositions_[word]; }
  const std::vector<DataPtr>& dataSymbols() const { return dataSymbols_; }

  // Output forms of the image.
  uint32_t requiredVMCBufferSize() const;
  void fillVMCBuffer(uint8_t* buffer) const;
  bool writeVMC(std::FILE* vmc) const;
  bool writeVMCAndDebug(std::FILE* vmc, std::FILE* dbg) const;
  // Creates base + ".vmc" (and ".dbg"); false when a file cannot be created or written.
  bool writeOutputFiles(const std::string& baseName, bool withDebugFile) const;

 private:
  int compactPosition(int identifier);
  void addUsedLocals(const Procedure& procedure);

  std::unique_ptr<Scope> root_;
  std::vector<Scope*> scopes_;
  bool building_ = false;
  bool vmcAvailable_ = false;
  int32_t labelCounter_ = 0;
  std::vector<std::pair<int, int>> positions_;
  std::vector<std::pair<int, int>> compact_;
  std::vector<int> compactOfIdentifier_;
  std::vector<int> wordPositions_;
  int cacheIdentifier_ = -2, cacheIndex_ = 0;
  CodeGenerator generator_;
  std::vector<DataPtr> dataSymbols_;
};

}  // namespace vexa::vx2
