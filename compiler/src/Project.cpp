#include "Project.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "CompilerTexts.h"
#include "Lexer.h"
#include "Token.h"

namespace vexa::vx2 {
namespace {

// Reads a whole file; false when it cannot be opened or read.
bool readFile(const std::string& path, std::string& out) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  out.clear();
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) out.append(chunk, n);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

}  // namespace

const KeywordTable& sharedKeywordTable() {
  static const KeywordTable table;
  return table;
}

void copyTextCut(const std::string& text, char* buffer, uint32_t size) {
  if (!buffer || size == 0) return;
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

Project::Project(std::string name) : name_(std::move(name)) {}

Project::~Project() = default;

bool Project::isValidModuleName(const std::string& name) const {
  return isValidIdentifierText(keywords_, name);
}

int Project::addModule(const std::string& name, const std::string& sourceFile,
                       const char* sourceText) {
  for (const auto& m : modules_)
    if (m->node && m->node->name == name) return DUPLICATE_NAME;
  if (!isValidModuleName(name)) return INVALID_NAME;
  auto module = std::make_shared<Module>(nextModuleNumber_,
                                         sourceText ? std::string("?") : sourceFile, sourceText);
  program_.resetScopes();
  if (!program_.declare(1, name, module, KIND_MODULE, false)) return DUPLICATE_NAME;
  ++nextModuleNumber_;
  modules_.push_back(module);
  byNumber_[module->number] = module;
  return module->number;
}

bool Project::replaceModuleSource(int number, const char* source, bool fileMode) {
  Module* m = module(number);
  if (!m) return false;
  if (fileMode)
    m->setFileSource(source ? source : "?");
  else
    m->setTextSource(source);
  return true;
}

void Project::removeAll() {
  program_.resetScopes();
  program_.root()->removeChildren();
  modules_.clear();
  byNumber_.clear();
  nextModuleNumber_ = 1;
}

bool Project::removeModule(int number) {
  auto it = byNumber_.find(number);
  if (it == byNumber_.end()) return false;
  std::shared_ptr<Module> m = it->second;
  byNumber_.erase(it);
  std::erase(modules_, m);
  program_.resetScopes();
  if (m->node) program_.root()->removeChild(m->node->name);
  return true;
}

Module* Project::module(int number) const {
  auto it = byNumber_.find(number);
  return it == byNumber_.end() ? nullptr : it->second.get();
}

void Project::setMessageBuffer(char* buffer, uint32_t size) {
  messageBuffer_ = buffer;
  messageBufferSize_ = size;
  errorFileName_.clear();
}

void Project::setErrorFileName(std::string name) {
  errorFileName_ = std::move(name);
  messageBuffer_ = nullptr;
  messageBufferSize_ = 0;
}

bool Project::openMessages() {
  messages_.reset();
  if (messageBuffer_)
    messages_ = std::make_unique<MessageStream>(messageBuffer_, messageBufferSize_);
  else if (!errorFileName_.empty())
    messages_ = std::make_unique<MessageStream>(errorFileName_);
  else
    return false;
  return messages_->good();
}

std::string Project::messageName(const Module& module) const {
  if (module.textMode()) return module.node ? module.node->name : std::string();
  return module.displayPath.empty() ? module.sourceFile : module.displayPath;
}

int Project::compileSource(Module& module) {
  module.tokens.clear();
  module.lineInfos.clear();
  module.scopeMarks.clear();
  program_.resetScopes();
  if (module.node) module.node->removeChildren();

  std::string fileText;
  std::string_view source;
  if (module.textMode()) {
    if (module.sourceText) source = module.sourceText;
  } else if (module.sourceFile != "?") {
    if (!readFile(module.sourceFile, fileText)) {
      // A missing module is an error, never an empty module that compiles.
      messages_->write(
          composeMessageLine(messageName(module), 1, compilerText(TEXT_CANNOT_OPEN_FILE)));
      messages_->flush();
      module.lineInfos.assign(1, 0x80);
      program_.stopBuilding();
      return 1;
    }
    source = fileText;
  }
  Lexer(keywords_).scan(source, module.tokens);
  program_.enterScope(module.node);
  int count =
      parser_.compile(program_, module, messages_.get(), module.tokens, messageName(module));
  program_.resetScopes();
  module.tokens.clear();
  if (count > 0) program_.stopBuilding();
  return count;
}

int Project::compileModule(int number) {
  Module* m = module(number);
  if (!m) return 0;
  if (!openMessages()) return -1;
  int count = compileSource(*m);
  messages_->writeNul();
  messages_->flush();
  return count;
}

int Project::compileAll() {
  if (!openMessages()) return -1;
  int sum = 0;
  // A copy: the list stays as it is while compiling.
  auto modules = modules_;
  for (const auto& m : modules) sum += compileSource(*m);
  messages_->writeNul();
  messages_->flush();
  return sum;
}

int Project::buildAll() {
  beginBuild();
  int sum = compileAll();
  if (sum == 0) finishBuild();
  return sum;
}

bool Project::finishBuild() {
  if (!openMessages()) return false;
  return program_.finish(*messages_);
}

// ---- identifier services ----

Scope* Project::findScope(const std::string& text, int moduleNumber, int line) const {
  Module* m = module(moduleNumber);
  if (!m || !m->node) return nullptr;
  TokenList tokens = TokenList::forName();
  Lexer(keywords_).scan(text, tokens);
  Scope* node = m->scopeAtLine(line);
  tokens.reset(0);
  if (tokens.type() == TOKEN_END) return node;
  for (;;) {
    if (tokens.type() != TOKEN_IDENTIFIER) return nullptr;
    node = Scope::lookup(node, tokens.text());
    if (!node) return nullptr;
    tokens.advance();
    if (tokens.type() != TOKEN_DOT) break;
    tokens.advance();
  }
  return node;
}

bool Project::identDefPos(const std::string& text, int& moduleNumber, int& line) const {
  Scope* node = findScope(text, moduleNumber, line);
  if (!node || !node->symbol) return false;
  Scope* top = node;
  while (top->parent && top->parent->parent) top = top->parent;
  auto* module = dynamic_cast<Module*>(top->symbol.get());
  if (!module) return false;
  moduleNumber = module->number;
  line = node->symbol->line;
  return true;
}

bool Project::identCompletions(const std::string& text, int moduleNumber, int line,
                               std::string& out) const {
  Scope* node = findScope(text, moduleNumber, line);
  if (!node) return false;
  out.clear();
  for (const auto& child : node->children()) {
    if (!child->symbol || child->symbol->hiddenFromCompletions()) continue;
    out += child->name;
    switch (child->symbol->kind) {
      case KIND_MODULE: out += " (module)"; break;
      case KIND_TYPE: out += " (type)"; break;
      case KIND_FUNCTION: out += " (function)"; break;
      case KIND_THREAD: out += " (thread)"; break;
      case KIND_VARIABLE: out += " (variable)"; break;
      case KIND_CONSTANT:
      case KIND_ARRAY_CONSTANT:
      case KIND_STRING_CONSTANT:
      case KIND_STRING_ARRAY_CONSTANT: out += " (constant)"; break;
      default: break;
    }
    out += "\n";
  }
  return true;
}

std::string Project::identFullName(const std::string& text, int moduleNumber, int line) const {
  Scope* node = findScope(text, moduleNumber, line);
  return node ? node->fullName() : std::string();
}

bool Project::writeOutputFile(const std::string& baseName, bool withDebugFile) {
  return program_.writeOutputFiles(baseName, withDebugFile);
}

}  // namespace vexa::vx2
