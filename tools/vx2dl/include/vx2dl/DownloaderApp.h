#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "vx2dl/Downloader.h"

namespace vexa::vx2dl {

// Exit codes of the command line.
constexpr int kExitOk = 0;
constexpr int kExitFileError = 1;       // program file missing, or a reader stopped on a bad file
constexpr int kExitTransferFailed = 2;  // the board operation failed; its message says why

// The console front end: parses the command line, prints the engine's
// messages and a dot per block, and runs one command.
class TVX2DownloaderApp {
 public:
  explicit TVX2DownloaderApp(std::ostream& out);
  ~TVX2DownloaderApp();

  // Runs the command line (without the program name); returns the exit code.
  int Run(const std::vector<std::string>& arguments);

  // The engine, for callers that install a wait handler of their own.
  TVX2Downloader& Downloader() { return *downloader_; }

 private:
  void HandleMessage(TVX2Downloader& sender, MessageKind kind, const std::string& text);
  void HandleProgress(TVX2Downloader& sender, std::size_t position, std::size_t total,
                      bool& cancel);
  void PrintLine(const std::string& text);
  void PrintUsage();
  int RunInfo();
  int RunZapOS();
  int RunUserProgram(const std::string& name);

  std::unique_ptr<TVX2Downloader> downloader_;
  std::ostream& out_;
  bool errorReported_ = false;
};

// A name of an existing regular file: the name itself, or when it has no
// extension, the name with ".vmc", then with ".hex". Empty when none exists.
std::string ResolveProgramFile(const std::string& name);

}  // namespace vexa::vx2dl
