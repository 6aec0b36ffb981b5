#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "vexa/download/Protocol.h"
#include "vexa/download/Texts.h"
#include "vexa/platform/Clock.h"

namespace vexa::download::testing {

// Short texts that show which message came and with what.
class TestTexts final : public EngineTexts {
 public:
  std::string cannotOpen(const std::string& port, int error) const override {
    return "open " + port + " " + std::to_string(error);
  }
  std::string cannotSetup(const std::string& port, const char* call, int error) const override {
    return "setup " + port + " " + call + " " + std::to_string(error);
  }
  std::string readError(int error) const override { return "read " + std::to_string(error); }
  std::string writeError(int error) const override { return "write " + std::to_string(error); }
  std::string truncatedReply(std::size_t received, std::size_t expected) const override {
    return "truncated " + std::to_string(received) + "/" + std::to_string(expected);
  }
  std::string replyDifferent() const override { return "different"; }
  std::string canceled() const override { return "canceled"; }
  std::string noAnswer() const override { return "no answer"; }
  std::string connecting() const override { return "connecting"; }
  std::string sendingBootloader(std::size_t bytes) const override {
    return "boot " + std::to_string(bytes);
  }
  std::string erasingFlash() const override { return "erasing"; }
  std::string sendingOS(std::size_t bytes) const override { return "os " + std::to_string(bytes); }
  std::string sendingUserProgram(std::size_t bytes) const override {
    return "program " + std::to_string(bytes);
  }
};

// A clock that only counts its sleeps: protocol waits cost no time.
class CountingClock final : public platform::Clock {
 public:
  std::uint32_t milliseconds() override { return now; }
  void sleep(std::uint32_t ms) override {
    sleeps.push_back(ms);
    now += ms;
  }
  platform::LocalTime localTime() override { return {}; }

  std::uint32_t now = 0;
  std::vector<std::uint32_t> sleeps;
};

// The messages one link reported, as (kind, text).
struct Messages {
  std::vector<std::pair<MessageKind, std::string>> entries;

  std::vector<std::string> of(MessageKind kind) const {
    std::vector<std::string> out;
    for (const auto& [k, text] : entries) {
      if (k == kind) out.push_back(text);
    }
    return out;
  }
  std::vector<std::string> errors() const { return of(MessageKind::Error); }
};

// A binary VMC image of byteCount constant bytes and wordCount code words.
inline std::vector<std::uint8_t> vmcImage(std::uint32_t byteCount, std::uint32_t wordCount) {
  std::vector<std::uint8_t> image;
  for (std::uint32_t v : {byteCount, wordCount}) {
    for (int i = 0; i < 4; ++i) image.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  for (std::uint32_t i = 0; i < byteCount + 2 * wordCount; ++i)
    image.push_back(static_cast<std::uint8_t>(i * 7 + 3));
  return image;
}

}  // namespace vexa::download::testing

#include <cstdlib>

namespace vexa::download::testing {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, hadOld_ = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (hadOld_)
      ::setenv(name_.c_str(), old_.c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_, old_;
  bool hadOld_ = false;
};

}  // namespace vexa::download::testing
