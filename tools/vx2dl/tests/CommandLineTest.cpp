// The shipped program, run as a process with its own waits.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"
#include "boardemu/V2Board.h"
#include "vx2dl/Messages.h"

extern char** environ;

namespace vexa::vx2dl {
namespace {

using namespace std::chrono_literals;
using testing::sequence;
using testing::TempDir;
using testing::vmcImage;
using testing::vmcText;

struct ProcessResult {
  int exitCode = -1;
  std::string output;
  bool timedOut = false;
};

// Runs the program in a directory with extra environment entries; kills it
// when it has not ended within the time-out.
ProcessResult runProgram(const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment, const std::string& directory,
                         std::chrono::milliseconds timeout) {
  ProcessResult result;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());

  std::vector<std::string> argStrings = {VX2DL_PROGRAM};
  argStrings.insert(argStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& s : argStrings) argv.push_back(s.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings(environment);
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "VEXA_COM", 8) != 0 && std::strncmp(*e, "LC_ALL=", 7) != 0)
      envStrings.emplace_back(*e);
  }
  std::vector<char*> envp;
  for (std::string& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);

  pid_t pid = -1;
  const int spawned =
      ::posix_spawn(&pid, VX2DL_PROGRAM, &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    return result;
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left <= 0ms) {
      result.timedOut = true;
      ::kill(pid, SIGKILL);
      break;
    }
    pollfd pfd{pipeFds[0], POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) continue;
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    result.output.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

const std::string kBannerText = "\nVexa II Downloader Version 1.0\n\n";

TEST(Vx2dlProgram, UsageAndMissingFile) {
  TempDir dir;
  ProcessResult r = runProgram({}, {"LC_ALL=C"}, dir.path().string(), 10s);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, kBannerText + usageText(kEnglish) + "\n");

  r = runProgram({}, {"LC_ALL=", "LC_MESSAGES=de_AT"}, dir.path().string(), 10s);
  EXPECT_EQ(r.output, kBannerText + usageText(kGerman) + "\n");

  r = runProgram({"-EN", "prog.txt"}, {}, dir.path().string(), 10s);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output, kBannerText + "File not found: prog.txt\n");
}

TEST(Vx2dlProgram, InfoAndDownloadAgainstTheBoard) {
  boardemu::V2Board board;
  if (!board.start()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  TempDir dir;
  const std::string port = "VEXA_COM1=" + board.path();
  ProcessResult r = runProgram({"-1", "info"}, {port, "LC_ALL=C"}, dir.path().string(), 10s);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, kBannerText + "  VX2 HOST  SN 0001  OS 1.00\n");

  // With the program's own waits: 2.5 s erase, 0.5 s before the transfer.
  const auto bytes = sequence(96, 4, 11, 256);
  const auto words = sequence(48, 2, 3001, 65536);
  dir.write("demo.vmc", vmcText(bytes, words));
  r = runProgram({"-1", "-EN", "demo"}, {port}, dir.path().string(), 20s);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, kBannerText +
                          "Loading IDE format file: demo.vmc\n"
                          "The flash is being erased...\n"
                          "Sending 192 bytes user program code\n"
                          "........OK\n");
  ASSERT_TRUE(board.recording().waitForEvent("end-load", 2s));
  EXPECT_EQ(board.recording().image("program"), vmcImage(bytes, words));
}

}  // namespace
}  // namespace vexa::vx2dl
