#pragma once

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "Support.h"  // download/tests: ScopedEnv
#include "vx2dl/Downloader.h"

namespace vexa::vx2dl::testing {

// A fresh directory that is removed with everything in it.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("vx2dl-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string write(const std::string& name, const std::string& content) const {
    const auto file = path_ / name;
    std::ofstream(file, std::ios::binary) << content;
    return file.string();
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

using vexa::download::testing::ScopedEnv;

// Works in a directory for the life of the object.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::filesystem::path& path) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~ScopedCwd() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

// Collects the engine's messages.
struct MessageLog {
  std::vector<std::pair<MessageKind, std::string>> entries;

  void attach(TVX2Downloader& downloader) {
    downloader.OnMessage = [this](TVX2Downloader&, MessageKind kind, const std::string& text) {
      entries.emplace_back(kind, text);
    };
  }
  std::vector<std::string> errors() const {
    std::vector<std::string> out;
    for (const auto& [kind, text] : entries) {
      if (kind == MessageKind::Error) out.push_back(text);
    }
    return out;
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& entry : entries) out.push_back(entry.second);
    return out;
  }
};

// The text of a .vmc file for the given bytes and words (counts as given).
inline std::string vmcText(const std::vector<int>& bytes, const std::vector<int>& words,
                           const char* eol = "\r\n") {
  std::string text = std::string("VX2VMC") + eol + std::to_string(bytes.size()) + " " + eol +
                     std::to_string(words.size()) + " " + eol;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i % 32 == 0) text += eol;
    text += std::to_string(bytes[i]) + " ";
  }
  text += eol;
  for (std::size_t j = 0; j < words.size(); ++j) {
    if (j % 16 == 0) text += eol;
    text += std::to_string(words[j]) + " ";
  }
  text += eol;
  return text;
}

// The binary image that a .vmc file of these values must give.
inline std::vector<std::uint8_t> vmcImage(const std::vector<int>& bytes,
                                          const std::vector<int>& words) {
  std::vector<std::uint8_t> image;
  auto put = [&image](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) image.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  put(static_cast<std::uint32_t>(bytes.size()), 4);
  put(static_cast<std::uint32_t>(words.size()), 4);
  for (int b : bytes) put(static_cast<std::uint32_t>(b), 1);
  for (int w : words) put(static_cast<std::uint32_t>(w), 2);
  return image;
}

// One Intel HEX data record line with a correct checksum.
inline std::string hexDataLine(std::uint16_t address, const std::vector<std::uint8_t>& data) {
  static const char* digits = "0123456789ABCDEF";
  std::vector<std::uint8_t> fields = {static_cast<std::uint8_t>(data.size()),
                                      static_cast<std::uint8_t>(address >> 8),
                                      static_cast<std::uint8_t>(address & 0xFF), 0};
  fields.insert(fields.end(), data.begin(), data.end());
  unsigned sum = 0;
  for (std::uint8_t f : fields) sum += f;
  fields.push_back(static_cast<std::uint8_t>(-static_cast<int>(sum)));
  std::string line = ":";
  for (std::uint8_t f : fields) {
    line += digits[f >> 4];
    line += digits[f & 15];
  }
  return line;
}

inline std::vector<int> sequence(std::size_t count, int start, int step, int modulo) {
  std::vector<int> out;
  for (std::size_t i = 0; i < count; ++i)
    out.push_back((start + static_cast<int>(i) * step) % modulo);
  return out;
}

}  // namespace vexa::vx2dl::testing
