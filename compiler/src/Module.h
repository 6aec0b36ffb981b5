// A registered module: its number, source, tokens, line infos and scope marks.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Identified.h"
#include "TokenList.h"

namespace vexa::vx2 {

class Module : public Identified {
 public:
  Module(int number, std::string sourceFile, const char* sourceText)
      : number(number),
        sourceFile(std::move(sourceFile)),
        sourceText(sourceText),
        textMode_(sourceText != nullptr) {}

  // File mode keeps a path and no text; text mode keeps the caller's text address.
  bool textMode() const { return textMode_; }
  void setFileSource(std::string path) {
    sourceFile = std::move(path);
    sourceText = nullptr;
    textMode_ = false;
  }
  // A null text reads as an empty text.
  void setTextSource(const char* text) {
    sourceFile.assign(1, '?');
    sourceText = text;
    textMode_ = true;
  }

  // The scope at a line: that of the last mark below the line, else the module's own.
  Scope* scopeAtLine(int line) const;

  const int number;
  std::string sourceFile;
  const char* sourceText;
  TokenList tokens;
  std::vector<uint8_t> lineInfos;
  std::vector<std::pair<int, Scope*>> scopeMarks;
  // Shown in messages instead of the file path when set (the path as the user wrote it).
  std::string displayPath;

 private:
  bool textMode_;
};

}  // namespace vexa::vx2
