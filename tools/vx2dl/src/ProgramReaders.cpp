#include <sys/stat.h>
#include <cerrno>
#include <climits>
#include <fstream>
#include <iterator>

#include "vexa/vm_contract.h"
#include "vx2dl/Downloader.h"

namespace vexa::vx2dl {

namespace {

namespace vm = vexa::vm;

// Splits text into lines at LF, CR LF or a lone CR; a last line without a
// line end counts when it is not empty.
std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n' || c == '\r') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

void appendLittleEndian(std::vector<std::uint8_t>& image, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) image.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Reads the decimal numbers of a text one after the other; every character
// that is not a digit separates them.
class NumberReader {
 public:
  explicit NumberReader(const std::string& text) : text_(text) {}
  // False when no digit is left. Values beyond INT_MAX read as INT_MAX.
  bool next(std::uint32_t& value) {
    while (position_ < text_.size() && !isDigit(text_[position_])) ++position_;
    if (position_ >= text_.size()) return false;
    std::uint64_t v = 0;
    while (position_ < text_.size() && isDigit(text_[position_])) {
      if (v <= INT_MAX) v = v * 10 + static_cast<unsigned>(text_[position_] - '0');
      ++position_;
    }
    value = static_cast<std::uint32_t>(v > INT_MAX ? INT_MAX : v);
    return true;
  }

 private:
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }
  const std::string& text_;
  std::size_t position_ = 0;
};

}  // namespace

void TVX2Downloader::Abort() { throw DownloadAborted(); }

bool TVX2Downloader::ReadLines(const std::string& fileName, std::vector<std::string>& lines) {
  // Only a regular file counts: a directory or a device is "not found".
  struct stat info {};
  if (fileName.empty() || ::stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    Report(MessageKind::Error, kFileNotFound, fileName.c_str());
    return false;
  }
  std::ifstream file(fileName, std::ios::binary);
  std::string text;
  if (file) text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (!file.good() && !file.eof()) text.clear();
  lines = splitLines(text);
  if (lines.empty()) {
    Report(MessageKind::Error, kFileEmpty, fileName.c_str());
    Abort();
  }
  return true;
}

void TVX2Downloader::ReadHexLines(const std::string& fileName,
                                  const std::vector<std::string>& lines, HexTarget target,
                                  std::vector<std::uint8_t>& image) {
  std::size_t dataRecords = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    HexRecord record;
    const int result = ParseHexLine(lines[i], record);
    if (result != 0) {
      const MessageId id = result == -1  ? kLineTooShort
                           : result == 1 ? kLineNoColon
                                         : kLineInvalidData;
      Report(MessageKind::Error, id, fileName.c_str(), static_cast<int>(i + 1));
      Abort();
    }
    if (record.recordType == 0) {
      ++dataRecords;
      if (target == HexTarget::Records) {
        image.push_back(record.addressHigh);
        image.push_back(record.addressLow);
        image.push_back(record.count);
      }
      for (std::size_t k = 0; k < 32; ++k)
        image.push_back(k < record.count ? record.data[k] : 0xFF);
    } else if (record.recordType == 1) {
      if (target == HexTarget::Records) {
        image.push_back(0xFF);
        image.push_back(0xFF);
      }
      break;
    }
  }
  // A file without data would only erase the unit's flash.
  if (dataRecords == 0) {
    Report(MessageKind::Error, kFileEmpty, fileName.c_str());
    Abort();
  }
}

bool TVX2Downloader::LoadHexFile(const std::string& fileName, HexTarget target,
                                 std::vector<std::uint8_t>& image) {
  std::vector<std::string> lines;
  if (!ReadLines(fileName, lines)) return false;
  image.clear();
  ReadHexLines(fileName, lines, target, image);
  return true;
}

bool TVX2Downloader::LoadBootHex(const std::string& fileName) {
  return LoadHexFile(fileName, HexTarget::Boot, bootImage_);
}

bool TVX2Downloader::LoadOSHex(const std::string& fileName) {
  return LoadHexFile(fileName, HexTarget::Records, osImage_);
}

bool TVX2Downloader::LoadUserProgram(const std::string& fileName) {
  std::vector<std::string> lines;
  if (!ReadLines(fileName, lines)) return false;
  programImage_.clear();
  if (lines.front().compare(0, 6, "VX2VMC") == 0 && lines.front().size() >= 6) {
    userProgramIsHex_ = false;
    Report(MessageKind::FileLoading, kLoadingIDEFormat, fileName.c_str());
    ReadVMCLines(lines);
  } else {
    userProgramIsHex_ = true;
    Report(MessageKind::FileLoading, kLoadingIHEXFormat, fileName.c_str());
    ReadHexLines(fileName, lines, HexTarget::Records, programImage_);
  }
  return true;
}

void TVX2Downloader::ReadVMCLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    text += lines[i];
    text += '\n';
  }
  NumberReader numbers(text);
  auto nextNumber = [&]() {
    std::uint32_t value = 0;
    if (!numbers.next(value)) {
      Report(MessageKind::Error, kUnexpectedEnd);
      Abort();
    }
    return value;
  };

  const std::uint32_t byteCount = nextNumber();
  if (byteCount % vm::kConstantRowBytes != 0 || byteCount > vm::kMaxConstantBytes) {
    Report(MessageKind::Error, kBadConstantByteCount, static_cast<int>(byteCount));
    Abort();
  }
  const std::uint32_t wordCount = nextNumber();
  if (wordCount % vm::kCodeRowWords != 0 || wordCount > vm::kMaxCodeWords) {
    Report(MessageKind::Error, kBadCodeWordCount, static_cast<int>(wordCount));
    Abort();
  }
  programImage_.reserve(vm::binaryImageSize(byteCount, wordCount));
  appendLittleEndian(programImage_, byteCount, 4);
  appendLittleEndian(programImage_, wordCount, 4);
  for (std::uint32_t i = 0; i < byteCount; ++i) {
    const std::uint32_t value = nextNumber();
    if (value > 255) {
      Report(MessageKind::Error, kBadConstantByte);
      Abort();
    }
    programImage_.push_back(static_cast<std::uint8_t>(value));
  }
  for (std::uint32_t i = 0; i < wordCount; ++i) {
    const std::uint32_t value = nextNumber();
    if (value > 65535) {
      Report(MessageKind::Error, kBadCodeWord);
      Abort();
    }
    appendLittleEndian(programImage_, value, 2);
  }
}

}  // namespace vexa::vx2dl
