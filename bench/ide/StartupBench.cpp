// Time from starting the vexaide program to the first paint of its main
// window, offscreen, with its settings and data in fresh folders. The
// program ends itself right after that paint.
#include <benchmark/benchmark.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A temporary folder, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "vexaide-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// The environment of this process with the IDE's folders and display replaced.
std::vector<std::string> ChildEnvironment(const fs::path& root) {
  const std::vector<std::string> replaced = {"QT_QPA_PLATFORM=offscreen",
                                             "VEXA_IDE_EXIT_AFTER_FIRST_PAINT=1",
                                             "XDG_CONFIG_HOME=" + (root / "config").string(),
                                             "XDG_DATA_HOME=" + (root / "data").string(),
                                             "XDG_CACHE_HOME=" + (root / "cache").string(),
                                             "XDG_RUNTIME_DIR=" + (root / "runtime").string()};
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    bool keep = true;
    for (const auto& r : replaced)
      if (entry.compare(0, r.find('=') + 1, r, 0, r.find('=') + 1) == 0) keep = false;
    if (keep) env.push_back(entry);
  }
  env.insert(env.end(), replaced.begin(), replaced.end());
  return env;
}

// Runs the program once; false with a reason when it failed or hung.
bool RunOnce(std::vector<std::string>& env, std::string& error) {
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = VEXAIDE_PROGRAM;
  std::string noSplash = "-ns";
  char* argv[] = {program.data(), noSplash.data(), nullptr};

  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
    error = "vexaide could not be started";
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  int status = 0;
  for (;;) {
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      error = "waiting for vexaide failed";
      return false;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      error = "vexaide did not end after its first paint";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    error = "vexaide ended with a failure";
    return false;
  }
  return true;
}

void Prepare(const fs::path& root) {
  for (const char* sub : {"config", "data", "cache", "runtime"}) fs::create_directories(root / sub);
  fs::permissions(root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
}

// Every start is a first start: no settings file yet.
void BM_FirstStartToFirstPaint(benchmark::State& state) {
  TempFolder root;
  auto env = ChildEnvironment(root.path());
  std::string error;
  for (auto _ : state) {
    state.PauseTiming();
    std::error_code ignored;
    fs::remove_all(root.path() / "config", ignored);
    Prepare(root.path());
    state.ResumeTiming();
    if (!RunOnce(env, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
}
BENCHMARK(BM_FirstStartToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// Starts with the settings the previous run wrote.
void BM_StartWithSettingsToFirstPaint(benchmark::State& state) {
  TempFolder root;
  Prepare(root.path());
  auto env = ChildEnvironment(root.path());
  std::string error;
  if (!RunOnce(env, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (auto _ : state) {
    if (!RunOnce(env, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
}
BENCHMARK(BM_StartWithSettingsToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
