// Image transfers of the download engine into the board emulator over a
// pseudo-terminal. The line has no real speed, so this measures the
// protocol's own cost: one echoed block per round trip. The fixed waits are
// skipped through the engine's wait handler.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "boardemu/V2Board.h"
#include "vx2dl/Downloader.h"

namespace {

using vexa::boardemu::V2Board;
using vexa::boardemu::V2BoardOptions;
using vexa::vx2dl::TVX2Downloader;

std::filesystem::path writeFile(const std::string& name, const std::string& text) {
  const auto path =
      std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string vmcText(std::size_t bytes, std::size_t words) {
  std::string text =
      "VX2VMC\r\n" + std::to_string(bytes) + " \r\n" + std::to_string(words) + " \r\n";
  for (std::size_t i = 0; i < bytes; ++i)
    text += (i % 32 == 0 ? "\r\n" : "") + std::to_string(i % 251) + " ";
  text += "\r\n";
  for (std::size_t j = 0; j < words; ++j)
    text += (j % 16 == 0 ? "\r\n" : "") + std::to_string(j * 7 % 65536) + " ";
  return text + "\r\n";
}

std::string hexText(std::size_t records) {
  static const char* digits = "0123456789ABCDEF";
  std::string text;
  for (std::size_t r = 0; r < records; ++r) {
    text += ":20";
    for (int shift : {12, 8, 4, 0}) text += digits[(r * 32 >> shift) & 15];
    text += "00";
    for (int k = 0; k < 32; ++k) text += "A5";
    text += "00\r\n";
  }
  return text + ":00000001FF\r\n";
}

void runTransfers(benchmark::State& state, const std::string& fileText, const char* name,
                  std::size_t blockSize) {
  V2BoardOptions options;
  options.eraseMs = 0;
  V2Board board(options);
  if (!board.start()) {
    state.SkipWithError("no pseudo-terminal can be opened here");
    return;
  }
  ::setenv("VEXA_COM2", board.path().c_str(), 1);
  const auto file = writeFile(name, fileText);
  TVX2Downloader engine;
  engine.OnWait = [](TVX2Downloader&, std::uint32_t, bool&) {};
  bool failed = false;
  engine.OnMessage = [&failed](TVX2Downloader&, vexa::vx2dl::MessageKind kind, const std::string&) {
    failed = failed || kind == vexa::vx2dl::MessageKind::Error;
  };
  engine.LoadUserProgram(file.string());
  std::filesystem::remove(file);
  const std::size_t size = engine.ProgramImage().size();
  for (auto _ : state) {
    if (!engine.DownloadUserProgram() || failed) {
      state.SkipWithError("transfer failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
  state.counters["blocks/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * ((size + blockSize - 1) / blockSize)),
      benchmark::Counter::kIsRate);
  state.counters["image_bytes"] = static_cast<double>(size);
}

void BM_DownloadVMC(benchmark::State& state) {
  const auto constantBytes = static_cast<std::size_t>(state.range(0));
  runTransfers(state, vmcText(constantBytes, constantBytes / 2), "bench-vmc", 32);
}
BENCHMARK(BM_DownloadVMC)
    ->Arg(1024)
    ->Arg(16384)
    ->Arg(131072)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_DownloadHex(benchmark::State& state) {
  runTransfers(state, hexText(static_cast<std::size_t>(state.range(0))), "bench-hex", 35);
}
BENCHMARK(BM_DownloadHex)->Arg(64)->Arg(1024)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
