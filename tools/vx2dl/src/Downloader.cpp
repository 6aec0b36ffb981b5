#include "vx2dl/Downloader.h"

#include <stdexcept>

#include "vexa/platform/Language.h"

namespace vexa::vx2dl {

TVX2Downloader::TVX2Downloader(vexa::platform::Clock& clock)
    : language_(vexa::platform::systemLanguage() == vexa::platform::Language::German ? kGerman
                                                                                     : kEnglish),
      engine_(texts_, clock) {
  texts_.setLanguage(language_);
  engine_.link().onMessage = [this](MessageKind kind, const std::string& text) {
    Message(kind, text);
  };
}

TVX2Downloader::~TVX2Downloader() { ClosePort(); }

void TVX2Downloader::SetLanguage(unsigned char language) {
  language_ = language == kGerman ? kGerman : kEnglish;
  texts_.setLanguage(language_);
}

void TVX2Downloader::Message(MessageKind kind, const std::string& text) {
  if (OnMessage) OnMessage(*this, kind, text);
}

void TVX2Downloader::ConnectHandlers() {
  vexa::download::Link& link = engine_.link();
  link.onWait = nullptr;
  link.onProgress = nullptr;
  if (OnWait) {
    link.onWait = [this](std::uint32_t milliseconds, bool& cancel) {
      if (OnWait) OnWait(*this, milliseconds, cancel);
    };
  }
  if (OnProgress) {
    link.onProgress = [this](std::size_t position, std::size_t total, bool& cancel) {
      if (OnProgress) OnProgress(*this, position, total, cancel);
    };
  }
}

void TVX2Downloader::SetLinkMode(int mode) { engine_.setLinkMode(mode); }

std::size_t TVX2Downloader::ReadCOM(void* buffer, std::size_t count) {
  std::size_t received = 0;
  engine_.link().read(buffer, count, received);
  return received;
}

bool TVX2Downloader::WriteCOM(const void* data, std::size_t count) {
  return engine_.link().write(data, count);
}

bool TVX2Downloader::WriteCOMReply(const std::uint8_t* block, std::size_t count) {
  if (count > kMaxReplyBlock)
    throw std::logic_error("Internal error in TVX2Downloader.WriteCOMReply");
  return engine_.link().writeEchoed(block, count);
}

std::string TVX2Downloader::QueryInfo(std::uint8_t command) {
  ConnectHandlers();
  return engine_.queryInfo(command);
}

bool TVX2Downloader::DownloadUserProgram() {
  // The readers never leave a shorter image; a VMC image has its 8-byte header.
  if (programImage_.empty() ||
      (!userProgramIsHex_ && programImage_.size() < vexa::download::kVMCHeaderSize)) {
    Message(MessageKind::Error,
            "Internal error in TVX2Downloader.DownloadUserProgram: no program loaded");
    ClosePort();
    return false;
  }
  ConnectHandlers();
  return engine_.downloadUserProgram(programImage_, userProgramIsHex_);
}

bool TVX2Downloader::ZapOS() {
  if (bootImage_.empty() || osImage_.empty()) {
    Message(MessageKind::Error, "Internal error in TVX2Downloader.ZapOS: no image loaded");
    ClosePort();
    return false;
  }
  ConnectHandlers();
  return engine_.zapOS(bootImage_, osImage_);
}

}  // namespace vexa::vx2dl
