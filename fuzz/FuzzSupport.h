// Shared pieces of the fuzz targets: a scratch directory per process, splitting an input into
// parts, and writing files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::fuzz {

// A directory of this process under the temporary directory, removed at exit.
inline const std::filesystem::path& scratchDir() {
  struct Dir {
    std::filesystem::path path;
    Dir() {
      std::string pattern = (std::filesystem::temp_directory_path() / "vexa-fuzz-XXXXXX").string();
      if (!::mkdtemp(pattern.data())) std::abort();
      path = pattern;
    }
    ~Dir() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Dir dir;
  return dir.path;
}

// The input cut at every separator byte, at most maxParts parts (the last keeps the rest).
inline std::vector<std::string> split(const uint8_t* data, std::size_t size, char separator,
                                      std::size_t maxParts) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == separator && parts.size() < maxParts)
      parts.emplace_back();
    else
      parts.back().push_back(c);
  }
  return parts;
}

inline void writeFile(const std::filesystem::path& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Identifier-like words of a text (letters, digits, "_" and "."), at most `limit` of them.
inline std::vector<std::string> words(std::string_view text, std::size_t limit) {
  std::vector<std::string> found;
  std::string word;
  auto flush = [&] {
    if (!word.empty() && found.size() < limit) found.push_back(word);
    word.clear();
  };
  for (char c : text) {
    const bool part = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '.';
    if (part)
      word.push_back(c);
    else
      flush();
  }
  flush();
  return found;
}

}  // namespace vexa::fuzz
