#include "vx2dl/DownloaderApp.h"

#include <sys/stat.h>

namespace vexa::vx2dl {

namespace {

bool isRegularFile(const std::string& name) {
  struct stat info {};
  return !name.empty() && ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool hasExtension(const std::string& name) {
  const std::size_t separator = name.find_last_of("\\:/");
  const std::size_t dot = name.find_last_of('.');
  return dot != std::string::npos && (separator == std::string::npos || dot > separator);
}

}  // namespace

std::string ResolveProgramFile(const std::string& name) {
  if (name.empty()) return {};
  if (isRegularFile(name)) return name;
  if (hasExtension(name)) return {};
  for (const char* extension : {".vmc", ".hex"}) {
    if (isRegularFile(name + extension)) return name + extension;
  }
  return {};
}

TVX2DownloaderApp::TVX2DownloaderApp(std::ostream& out)
    : downloader_(std::make_unique<TVX2Downloader>()), out_(out) {
  downloader_->OnMessage = [this](TVX2Downloader& sender, MessageKind kind,
                                  const std::string& text) { HandleMessage(sender, kind, text); };
  downloader_->OnProgress = [this](TVX2Downloader& sender, std::size_t position, std::size_t total,
                                   bool& cancel) {
    HandleProgress(sender, position, total, cancel);
  };
}

TVX2DownloaderApp::~TVX2DownloaderApp() = default;

void TVX2DownloaderApp::PrintLine(const std::string& text) {
  out_ << text << '\n';
  out_.flush();
}

void TVX2DownloaderApp::HandleMessage(TVX2Downloader&, MessageKind kind, const std::string& text) {
  if (kind == MessageKind::Error) errorReported_ = true;
  PrintLine(text);
}

void TVX2DownloaderApp::HandleProgress(TVX2Downloader&, std::size_t, std::size_t, bool&) {
  out_ << '.';
  out_.flush();
}

void TVX2DownloaderApp::PrintUsage() { PrintLine(usageText(downloader_->Language())); }

int TVX2DownloaderApp::Run(const std::vector<std::string>& arguments) {
  PrintLine("");
  PrintLine(kBanner);
  PrintLine("");
  if (arguments.empty()) {
    PrintUsage();
    return kExitOk;
  }
  for (const std::string& word : arguments) {
    if (word == "-EN") downloader_->SetLanguage(kEnglish);
    if (word == "-DE") downloader_->SetLanguage(kGerman);
  }
  for (const std::string& word : arguments) {
    if (word == "-EN" || word == "-DE") continue;
    if (word.size() == 2 && word[0] == '-' && word[1] >= '1' && word[1] <= '4') {
      downloader_->SetPortIndex(word[1] - '1');
      continue;
    }
    if (!word.empty() && word[0] == '-') {
      PrintLine(formatMessage(downloader_->Language(), kInvalidOption, word.c_str()));
      continue;
    }
    errorReported_ = false;
    try {
      if (word == "info") return RunInfo();
      if (word == "zap-os") return RunZapOS();
      return RunUserProgram(word);
    } catch (const DownloadAborted&) {
      // The reader has printed its message.
      downloader_->ClosePort();
      return kExitFileError;
    }
  }
  PrintUsage();
  return kExitOk;
}

int TVX2DownloaderApp::RunInfo() {
  for (std::uint8_t command :
       {TVX2Downloader::cmdIdentify, TVX2Downloader::cmdInfo2, TVX2Downloader::cmdInfo1}) {
    const std::string reply = downloader_->QueryInfo(command);
    // The next query would only repeat the message that said why this one failed.
    if (errorReported_) return kExitTransferFailed;
    out_ << "  ";
    out_.write(reply.data(), static_cast<std::streamsize>(reply.size()));
    out_.flush();
  }
  out_ << '\n';
  out_.flush();
  return kExitOk;
}

int TVX2DownloaderApp::RunZapOS() {
  const bool done = downloader_->LoadBootHex("boot.hex") && downloader_->LoadOSHex("os.hex") &&
                    downloader_->ZapOS();
  return done ? kExitOk : kExitTransferFailed;
}

int TVX2DownloaderApp::RunUserProgram(const std::string& name) {
  const std::string file = ResolveProgramFile(name);
  if (file.empty()) {
    PrintLine(formatMessage(downloader_->Language(), kFrontFileNotFound, name.c_str()));
    return kExitFileError;
  }
  // The file may have gone since it was found: that is a missing file too.
  if (!downloader_->LoadUserProgram(file)) return kExitFileError;
  return downloader_->DownloadUserProgram() ? kExitOk : kExitTransferFailed;
}

}  // namespace vexa::vx2dl
