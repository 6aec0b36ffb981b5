#pragma once

#include <cstddef>
#include <string>

namespace vexa::download {

// The texts of a link's failures, in the caller's language. Each call gives
// one complete message.
class LinkTexts {
 public:
  virtual ~LinkTexts() = default;
  virtual std::string cannotOpen(const std::string& port, int error) const = 0;
  // call: the step that failed, "GetCommState()" or "SetCommState()".
  virtual std::string cannotSetup(const std::string& port, const char* call, int error) const = 0;
  virtual std::string readError(int error) const = 0;
  virtual std::string writeError(int error) const = 0;
  virtual std::string truncatedReply(std::size_t received, std::size_t expected) const = 0;
  virtual std::string replyDifferent() const = 0;
  virtual std::string canceled() const = 0;
  virtual std::string noAnswer() const = 0;
};

// The texts of the engine's whole operations: the link's and their progress.
class EngineTexts : public LinkTexts {
 public:
  virtual std::string connecting() const = 0;
  virtual std::string sendingBootloader(std::size_t bytes) const = 0;
  virtual std::string erasingFlash() const = 0;
  virtual std::string sendingOS(std::size_t bytes) const = 0;
  virtual std::string sendingUserProgram(std::size_t bytes) const = 0;
  // After an image went out completely.
  virtual std::string done() const { return "OK"; }
};

}  // namespace vexa::download
