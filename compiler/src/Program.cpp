#include "Program.h"

#include <exception>

#include "CompilerTexts.h"
#include "Procedure.h"
#include "vexa/vm_contract.h"

namespace vexa::vx2 {

namespace {
int buildErrorText(BuildError error) {
  switch (error) {
    case BUILD_NO_MAIN_THREAD: return TEXT_NO_MAIN_THREAD;
    case BUILD_TOO_MANY_THREADS: return TEXT_TOO_MANY_THREADS;
    case BUILD_TOO_MUCH_VARIABLE_DATA: return TEXT_TOO_MUCH_VARIABLE_DATA;
    case BUILD_TOO_MUCH_CONSTANT_DATA: return TEXT_TOO_MUCH_CONSTANT_DATA;
    case BUILD_PROGRAM_TOO_BIG: return TEXT_PROGRAM_TOO_BIG;
  }
  return TEXT_FATAL_ERROR;
}
}  // namespace

Program::Program() : root_(std::make_unique<Scope>("", nullptr, nullptr)) {
  scopes_.push_back(root_.get());
}

Program::~Program() = default;

void Program::popScopesTo(Scope* node) {
  while (scopes_.size() > 1 && scopes_.back() != node) scopes_.pop_back();
}

void Program::resetScopes() {
  scopes_.resize(1);
  vmcAvailable_ = false;
}

Scope* Program::declare(int line, const std::string& name, SymbolPtr symbol, int kind,
                        bool hidden) {
  Identified* raw = symbol.get();
  Scope* node = currentScope()->addChild(name, std::move(symbol));
  if (!node) return nullptr;
  raw->line = line;
  raw->node = node;
  raw->kind = kind;
  node->hidden = hidden;
  return node;
}

void Program::beginBuild() {
  positions_.clear();
  positions_.reserve(8192);
  building_ = true;
  vmcAvailable_ = false;
}

int Program::registerPosition(int module, int line) {
  if (!building_) return 0;
  if (static_cast<int>(positions_.size()) >= MAX_POSITIONS) return -1;
  positions_.emplace_back(module, line);
  return static_cast<int>(positions_.size()) - 1;
}

void Program::build() {
  // 1. Number the threads over all modules; collect the used functions.
  std::vector<Thread*> threads;
  std::vector<Function*> functions;
  bool hasMain = false;
  for (const auto& moduleNode : root_->children()) {
    for (const auto& child : moduleNode->children()) {
      Identified* symbol = child->symbol.get();
      if (!symbol) continue;
      if (symbol->kind == KIND_FUNCTION && symbol->used()) {
        functions.push_back(static_cast<Function*>(symbol));
      } else if (symbol->kind == KIND_THREAD) {
        if (threads.size() >= vexa::vm::thread_table::kMaxThreads) throw BUILD_TOO_MANY_THREADS;
        auto* thread = static_cast<Thread*>(symbol);
        threads.push_back(thread);
        thread->number = static_cast<int>(threads.size());
        if (thread->startSlice != 0) hasMain = true;
      }
    }
  }
  if (!hasMain) throw BUILD_NO_MAIN_THREAD;

  // 3. and 4. Lay out the used globals and constants.
  generator_.layoutData(static_cast<int>(threads.size()));
  dataSymbols_.clear();
  auto checkData = [this] {
    if (generator_.constantBytes() > static_cast<int>(vexa::vm::kMaxConstantBytes))
      throw BUILD_TOO_MUCH_CONSTANT_DATA;
    if (generator_.ramBytes() > CodeGenerator::MAX_VARIABLE_BYTES)
      throw BUILD_TOO_MUCH_VARIABLE_DATA;
  };
  for (const auto& moduleNode : root_->children()) {
    for (const auto& child : moduleNode->children()) {
      const SymbolPtr& symbol = child->symbol;
      if (!symbol || !symbol->used()) continue;
      switch (symbol->kind) {
        case KIND_VARIABLE: {
          auto data = std::static_pointer_cast<Data>(symbol);
          generator_.allocateGlobal(*data);
          dataSymbols_.push_back(data);
          break;
        }
        case KIND_CONSTANT: {
          auto constant = std::static_pointer_cast<Constant>(symbol);
          generator_.placeConstant(*constant);
          dataSymbols_.push_back(constant);
          break;
        }
        case KIND_ARRAY_CONSTANT:
          generator_.placeArrayConstant(static_cast<ArrayConstant&>(*symbol));
          break;
        case KIND_STRING_CONSTANT:
          generator_.placeStringConstant(static_cast<StringConstant&>(*symbol));
          break;
        case KIND_STRING_ARRAY_CONSTANT:
          generator_.placeStringArrayConstant(static_cast<StringArrayConstant&>(*symbol));
          break;
        default: break;
      }
      checkData();
    }
  }

  auto checkProcedure = [&] {
    checkData();
    if (generator_.codeCount() > CodeGenerator::MAX_CODE_WORDS) throw BUILD_PROGRAM_TOO_BIG;
  };

  // 5. Threads, each with its entry in the thread table.
  for (size_t i = 0; i < threads.size(); ++i) {
    Thread& thread = *threads[i];
    int first = generator_.translateProcedure(thread);
    generator_.writeThreadEntry(static_cast<int>(i), first, thread.code.stackNeed(),
                                thread.code.frameSize, thread.startSlice);
    thread.firstWord = first;
    thread.lastWord = generator_.codeCount() - 1;
    checkProcedure();
    addUsedLocals(thread);
  }
  // 6. Used functions.
  for (Function* function : functions) {
    function->firstWord = generator_.translateProcedure(*function);
    function->lastWord = generator_.codeCount() - 1;
    checkProcedure();
    addUsedLocals(*function);
  }
  // 7. Calls and the thread count.
  generator_.resolveCalls();

  // 8. Compact the statement positions in order of first use.
  compact_.clear();
  compactOfIdentifier_.assign(positions_.size(), -1);
  cacheIdentifier_ = -2;
  const auto& wordIds = generator_.codePositions();
  wordPositions_.resize(wordIds.size());
  for (size_t w = 0; w < wordIds.size(); ++w) wordPositions_[w] = compactPosition(wordIds[w]);
}

int Program::compactPosition(int identifier) {
  if (identifier == cacheIdentifier_) return cacheIndex_;
  int index = vexa::vm::kNoStatement;
  if (identifier >= 0 && static_cast<size_t>(identifier) < positions_.size()) {
    int& known = compactOfIdentifier_[identifier];
    if (known < 0) {
      known = static_cast<int>(compact_.size());
      compact_.push_back(positions_[identifier]);
    }
    index = known;
  }
  cacheIdentifier_ = identifier;
  cacheIndex_ = index;
  return index;
}

void Program::addUsedLocals(const Procedure& procedure) {
  if (!procedure.node) return;
  for (const auto& child : procedure.node->children()) {
    if (child->symbol && child->symbol->kind == KIND_VARIABLE && child->symbol->used())
      dataSymbols_.push_back(std::static_pointer_cast<Data>(child->symbol));
  }
}

bool Program::finish(MessageStream& messages) {
  bool ok = false;
  if (!building_) {
    messages.write(compilerText(TEXT_FATAL_ERROR));
  } else {
    try {
      build();
      ok = true;
    } catch (BUILD_ERROR error) {
      messages.write(compilerText(buildErrorText(error)));
    } catch (...) {
      messages.write(compilerText(TEXT_FATAL_ERROR));
    }
  }
  if (ok) messages.write(compilerText(TEXT_BUILD_READY));
  vmcAvailable_ = ok;
  messages.write("\n");
  messages.writeNul();
  messages.flush();
  building_ = false;
  return ok;
}

}  // namespace vexa::vx2
