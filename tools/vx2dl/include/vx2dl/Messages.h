#pragma once

#include <string>

#include "vexa/download/Texts.h"

namespace vexa::vx2dl {

// Language index of every message: 0 English, 1 German.
enum Language : unsigned char { kEnglish = 0, kGerman = 1 };

// The downloader's texts, English and German, by index.
enum MessageId : int {
  kFileNotFound = 0,
  kFileEmpty = 1,
  kLineTooShort = 2,
  kLineNoColon = 3,
  kLineInvalidData = 4,
  kUnexpectedEnd = 5,
  kCannotOpen = 6,
  kCannotSetup = 7,
  kReadError = 8,
  kWriteError = 9,
  kTruncatedReply = 10,
  kReplyDifferent = 11,
  kCanceled = 12,
  kConnecting = 13,
  kNoAnswer = 14,
  kSendingBootloader = 15,
  kErasingFlash = 16,
  kSendingOS = 17,
  kSendingUserProgram = 18,
  kBadConstantByteCount = 19,
  kBadConstantByte = 20,
  kBadCodeWordCount = 21,
  kBadCodeWord = 22,
  kLoadingIDEFormat = 23,
  kLoadingIHEXFormat = 24,
  // Front end.
  kInvalidOption = 25,
  kFrontFileNotFound = 26,
  kMessageCount = 27
};

// The format text of a message ("%s" and "%d" placeholders).
const char* messageFormat(unsigned char language, MessageId id);

// printf-style formatting; the callers pass C strings for %s and ints for %d.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

template <typename... Args>
std::string formatMessage(unsigned char language, MessageId id, Args... args) {
  if constexpr (sizeof...(Args) == 0) {
    return messageFormat(language, id);
  } else {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    return formatText(messageFormat(language, id), args...);
#pragma GCC diagnostic pop
  }
}

// The usage text, lines separated by line feeds, without a final line end.
std::string usageText(unsigned char language);

extern const char* const kBanner;

// The download engine's texts in the language set here.
class EngineMessages final : public vexa::download::EngineTexts {
 public:
  void setLanguage(unsigned char language) { language_ = language; }

  std::string cannotOpen(const std::string& port, int error) const override;
  std::string cannotSetup(const std::string& port, const char* call, int error) const override;
  std::string readError(int error) const override;
  std::string writeError(int error) const override;
  std::string truncatedReply(std::size_t received, std::size_t expected) const override;
  std::string replyDifferent() const override;
  std::string canceled() const override;
  std::string noAnswer() const override;
  std::string connecting() const override;
  std::string sendingBootloader(std::size_t bytes) const override;
  std::string erasingFlash() const override;
  std::string sendingOS(std::size_t bytes) const override;
  std::string sendingUserProgram(std::size_t bytes) const override;

 private:
  unsigned char language_ = kEnglish;
};

}  // namespace vexa::vx2dl
