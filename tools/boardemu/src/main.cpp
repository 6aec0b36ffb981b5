// boardemu: a second-generation board (or with --board=first a
// first-generation one) on a pseudo-terminal, for trying the downloaders by
// hand. Prints the device path, runs until interrupted, then
// lists what happened and optionally saves the received images.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "boardemu/FirstGenBoard.h"
#include "boardemu/V2Board.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int) { stopRequested = 1; }

void usage() {
  std::cerr
      << "usage: boardemu [--board=v2|first] [--banner=TEXT]\n"
         "                [--mode=host|boot] [--fault=KIND] [--fault-at=N] [--slow-ms=N]\n"
         "                [--erase-ms=N] [--boot-size=N] [--boot-gap-ms=N] [--no-speed-check]\n"
         "                [--id=TEXT] [--info1=TEXT] [--info2=TEXT] [--boot-id=TEXT]\n"
         "                [--path-file=FILE] [--save=DIR]\n"
         "KIND: none, no-answer, slow, wrong-echo, drop-echo, hang-up, chatter\n";
}

bool valueOf(const std::string& argument, const std::string& option, std::string& value) {
  if (argument.rfind(option + "=", 0) != 0) return false;
  value = argument.substr(option.size() + 1);
  return true;
}

bool number(const std::string& text, unsigned long& value) {
  char* end = nullptr;
  value = std::strtoul(text.c_str(), &end, 10);
  return !text.empty() && end != nullptr && *end == '\0';
}

void save(const vexa::boardemu::Recording& recording, const std::string& directory,
          const char* name) {
  if (!recording.hasImage(name)) return;
  const auto bytes = recording.image(name);
  const std::string path = directory + "/" + name + ".bin";
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  std::cout << "saved " << path << " (" << bytes.size() << " bytes)\n";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vexa::boardemu;
  V2BoardOptions options;
  options.eraseMs = 500;
  FaultOptions faults;
  std::string pathFile, saveDirectory;
  bool firstGeneration = false;
  std::string banner = kFirstGenBanner;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    std::string value;
    unsigned long n = 0;
    if (valueOf(argument, "--board", value) && (value == "v2" || value == "first")) {
      firstGeneration = value == "first";
    } else if (valueOf(argument, "--banner", value)) {
      banner = value + "\r";
    } else if (valueOf(argument, "--mode", value) && (value == "host" || value == "boot")) {
      options.mode = value == "boot" ? V2Mode::Boot : V2Mode::Host;
    } else if (valueOf(argument, "--fault", value) && parseFaultKind(value)) {
      faults.kind = *parseFaultKind(value);
    } else if (valueOf(argument, "--fault-at", value) && number(value, n)) {
      faults.at = n;
    } else if (valueOf(argument, "--slow-ms", value) && number(value, n)) {
      faults.delayMs = static_cast<std::uint32_t>(n);
    } else if (valueOf(argument, "--erase-ms", value) && number(value, n)) {
      options.eraseMs = static_cast<std::uint32_t>(n);
    } else if (valueOf(argument, "--boot-size", value) && number(value, n)) {
      options.bootSize = n;
    } else if (valueOf(argument, "--boot-gap-ms", value) && number(value, n)) {
      options.bootGapMs = static_cast<std::uint32_t>(n);
    } else if (argument == "--no-speed-check") {
      options.checkSpeed = false;
    } else if (valueOf(argument, "--id", value)) {
      options.identifyReply = value;
    } else if (valueOf(argument, "--info1", value)) {
      options.info1Reply = value;
    } else if (valueOf(argument, "--info2", value)) {
      options.info2Reply = value;
    } else if (valueOf(argument, "--boot-id", value)) {
      options.bootIdentifyReply = value;
    } else if (valueOf(argument, "--path-file", value)) {
      pathFile = value;
    } else if (valueOf(argument, "--save", value)) {
      saveDirectory = value;
    } else {
      std::cerr << "boardemu: bad argument: " << argument << '\n';
      usage();
      return 2;
    }
  }
  if (faults.kind == FaultKind::SlowAnswer && faults.delayMs == 0) faults.delayMs = 2000;

  std::unique_ptr<BoardEmulator> emulator;
  if (firstGeneration) {
    emulator = std::make_unique<FirstGenBoard>(banner, faults);
  } else {
    emulator = std::make_unique<V2Board>(options, faults);
  }
  BoardEmulator& board = *emulator;
  if (!board.start()) {
    std::cerr << "boardemu: cannot open a pseudo-terminal (error " << board.linkError() << ")\n";
    return 1;
  }
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  std::cout << board.path() << std::endl;
  if (!pathFile.empty()) std::ofstream(pathFile) << board.path() << '\n';

  while (!stopRequested) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  board.stop();

  for (const std::string& event : board.recording().events()) std::cout << event << '\n';
  std::cout << board.recording().received().size() << " bytes received\n";
  if (!saveDirectory.empty()) {
    for (const char* name : {"program", "boot", "os", "code", "syscode"}) {
      save(board.recording(), saveDirectory, name);
    }
  }
  return 0;
}
