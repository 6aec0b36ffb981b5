#include "ResourceFiles.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vexa::vxbasic {

std::string resolveResourcePath(const std::string& base, const std::string& name) {
  if (base.empty() || (!name.empty() && name[0] == '/')) return name;
  if (base.back() == '/') return base + name;
  return base + "/" + name;
}

namespace {
bool isReadableFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}
}  // namespace

ResourceStatus readTableFile(const std::string& path, std::vector<uint16_t>& words) {
  std::ifstream in(path, std::ios::binary);
  if (!isReadableFile(path) || !in) return ResourceStatus::Missing;
  std::string token;
  while (in >> token) {
    char* end = nullptr;
    double value = std::strtod(token.c_str(), &end);
    if (end == token.c_str() || *end != '\0' || !std::isfinite(value) ||
        std::fabs(value) >= 2147483648.0)
      return ResourceStatus::Malformed;
    auto whole = static_cast<long>(value);  // truncates toward 0
    words.push_back(static_cast<uint16_t>(static_cast<unsigned long>(whole) & 0xFFFF));
  }
  return ResourceStatus::Ok;
}

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int hexByte(const std::string& line, std::size_t at) {
  int hi = hexDigit(line[at]);
  int lo = hexDigit(line[at + 1]);
  return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

}  // namespace

ResourceStatus readSRecordFile(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!isReadableFile(path) || !in) return ResourceStatus::Missing;
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.pop_back();
    if (line.empty()) continue;
    if ((line[0] != 'S' && line[0] != 's') || line.size() < 10) return ResourceStatus::Malformed;
    if (line[1] != '1') continue;
    int count = hexByte(line, 2);
    if (count < 3) return ResourceStatus::Malformed;
    std::size_t dataBytes = static_cast<std::size_t>(count - 3);
    if (line.size() < 8 + 2 * dataBytes) return ResourceStatus::Malformed;
    for (std::size_t i = 0; i < dataBytes; ++i) {
      int b = hexByte(line, 8 + 2 * i);
      if (b < 0) return ResourceStatus::Malformed;
      bytes.push_back(static_cast<uint8_t>(b));
    }
  }
  return ResourceStatus::Ok;
}

}  // namespace vexa::vxbasic
