// One compiler project: its modules, the program they form and where messages go.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "KeywordTable.h"
#include "MessageStream.h"
#include "Module.h"
#include "Parser.h"
#include "Program.h"

namespace vexa::vx2 {

class Project {
 public:
  static constexpr int DUPLICATE_NAME = -1;
  static constexpr int INVALID_NAME = -2;

  explicit Project(std::string name);
  ~Project();

  const std::string& name() const { return name_; }
  void rename(std::string name) { name_ = std::move(name); }

  // Module list. A null source text makes a file-mode module.
  int addModule(const std::string& name, const std::string& sourceFile, const char* sourceText);
  bool replaceModuleSource(int number, const char* source, bool fileMode);
  void removeAll();
  bool removeModule(int number);
  Module* module(int number) const;
  const std::vector<std::shared_ptr<Module>>& modules() const { return modules_; }
  bool isValidModuleName(const std::string& name) const;

  // Message target.
  void setMessageBuffer(char* buffer, uint32_t size);
  void setErrorFileName(std::string name);

  // Compiles; the results count messages; -1 when the message target cannot be opened.
  int compileModule(int number);
  int compileAll();
  int buildAll();
  void beginBuild() { program_.beginBuild(); }
  bool finishBuild();

  // Outputs of a successful build.
  Program& program() { return program_; }
  const Program& program() const { return program_; }
  // False when a file cannot be created or written; true also when no image is available.
  bool writeOutputFile(const std::string& baseName, bool withDebugFile);

  // Identifier services of the editor.
  Scope* findScope(const std::string& text, int moduleNumber, int line) const;
  bool identDefPos(const std::string& text, int& moduleNumber, int& line) const;
  bool identCompletions(const std::string& text, int moduleNumber, int line,
                        std::string& out) const;
  std::string identFullName(const std::string& text, int moduleNumber, int line) const;

 private:
  bool openMessages();
  int compileSource(Module& module);
  std::string messageName(const Module& module) const;

  std::string name_;
  int nextModuleNumber_ = 1;
  std::vector<std::shared_ptr<Module>> modules_;
  std::map<int, std::shared_ptr<Module>> byNumber_;
  KeywordTable keywords_;
  Program program_;
  Parser parser_;
  std::string errorFileName_;
  char* messageBuffer_ = nullptr;
  uint32_t messageBufferSize_ = 0;
  std::unique_ptr<MessageStream> messages_;
};

// The keyword table used where no project is at hand.
const KeywordTable& sharedKeywordTable();

// Copies text into a caller's buffer: at most size - 1 bytes and a NUL (nothing when size is 0).
void copyTextCut(const std::string& text, char* buffer, uint32_t size);

}  // namespace vexa::vx2
