// Program files for the downloader: the same text read as a user program (.vmc or Intel HEX),
// an operating system and a bootloader, and each of its lines parsed as a HEX record.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "vx2dl/Downloader.h"

using namespace vexa::vx2dl;

namespace {

template <typename Load>
void readAborting(Load load) {
  try {
    load();
  } catch (const DownloadAborted&) {
    // A reported reader error ends the operation.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string file = (vexa::fuzz::scratchDir() / "program.vmc").string();
  vexa::fuzz::writeFile(file, text);

  TVX2Downloader downloader;
  downloader.SetLanguage(size % 2 ? kGerman : kEnglish);
  std::size_t reported = 0;
  downloader.OnMessage = [&reported](TVX2Downloader&, MessageKind, const std::string& message) {
    reported += message.size();
  };
  readAborting([&] { downloader.LoadUserProgram(file); });
  readAborting([&] { downloader.LoadOSHex(file); });
  readAborting([&] { downloader.LoadBootHex(file); });

  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    HexRecord record{};
    ParseHexLine(std::string_view(text).substr(start, end - start), record);
    start = end + 1;
  }
  return 0;
}
