#include "vexa/platform/SerialPort.h"

#include "vexa/platform/CancelSignal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vexa::platform {
namespace {

using Clock = std::chrono::steady_clock;

long elapsedMs(Clock::time_point since) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// A pseudo-terminal: the master plays the device's far end; a second
// descriptor on the slave keeps the line alive and lets the test look at it.
class PtyPair {
 public:
  PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    const char* name = ::ptsname(master_);
    if (name == nullptr) return;
    path_ = name;
    holder_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (holder_ < 0) return;
    termios t{};
    ::tcgetattr(holder_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(holder_, TCSANOW, &t);
  }
  ~PtyPair() {
    if (holder_ >= 0) ::close(holder_);
    closeMaster();
  }
  bool ok() const { return master_ >= 0 && holder_ >= 0; }
  const std::string& path() const { return path_; }
  int master() const { return master_; }
  int holder() const { return holder_; }
  void closeMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  void send(const std::vector<unsigned char>& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  std::vector<unsigned char> receive(std::size_t count, int timeoutMs = 2000) {
    std::vector<unsigned char> out;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (out.size() < count && Clock::now() < deadline) {
      pollfd pfd{master_, POLLIN, 0};
      if (::poll(&pfd, 1, 20) <= 0) continue;
      unsigned char buffer[256];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      out.insert(out.end(), buffer, buffer + n);
    }
    return out;
  }

 private:
  int master_ = -1;
  int holder_ = -1;
  std::string path_;
};

#define REQUIRE_PTY(pty) \
  if (!(pty).ok()) GTEST_SKIP() << "no pseudo-terminal can be opened here"

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, hadOld_ = true;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (hadOld_)
      ::setenv(name_.c_str(), old_.c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }

 private:
  std::string name_, old_;
  bool hadOld_ = false;
};

// A port open on a fresh pseudo-terminal.
class PortOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_PTY(pty);
    ASSERT_TRUE(port.open(pty.path())) << port.lastError();
  }
  PtyPair pty;
  SerialPort port;
};
using SerialPortLine = PortOnPty;
using SerialPortRead = PortOnPty;
using SerialPortHangUp = PortOnPty;
using SerialPortWrite = PortOnPty;

TEST(SerialDevicePath, EnvironmentOverridesTheDefaultDevice) {
  struct Case {
    int port;
    const char* env;  // value of VEXA_COM<port>, nullptr for unset
    std::string expected;
  } const cases[] = {
      {1, nullptr, "/dev/ttyS0"}, {2, nullptr, "/dev/ttyS1"},
      {8, nullptr, "/dev/ttyS7"}, {2, "/dev/pts/7", "/dev/pts/7"},
      {3, "", "/dev/ttyS2"},      {0, nullptr, ""},
      {-1, nullptr, ""},
  };
  for (const Case& c : cases) {
    const std::string name = "VEXA_COM" + std::to_string(c.port);
    ScopedEnv env(name.c_str(), c.env);
    EXPECT_EQ(serialDevicePath(c.port), c.expected) << "port " << c.port;
  }
}

TEST(SerialPortOpen, FailuresCarryTheErrorNumber) {
  SerialPort port;
  EXPECT_FALSE(port.open("/nonexistent/device"));
  EXPECT_EQ(port.lastError(), ENOENT);
  EXPECT_FALSE(port.isOpen());
  EXPECT_FALSE(port.open(""));
  EXPECT_EQ(port.lastError(), ENOENT);

  const auto file =
      std::filesystem::temp_directory_path() / ("serial-test-" + std::to_string(::getpid()));
  std::ofstream(file) << "x";
  EXPECT_FALSE(port.open(file.string()));
  EXPECT_EQ(port.lastError(), ENOTTY);
  EXPECT_FALSE(port.isOpen());
  std::filesystem::remove(file);

  unsigned char byte = 0;
  EXPECT_EQ(port.read(&byte, 1).error, EBADF);
  EXPECT_EQ(port.write(&byte, 1).error, EBADF);
}

TEST(SerialPortOpen, OpensByPortNumberThroughTheEnvironment) {
  PtyPair pty;
  REQUIRE_PTY(pty);
  ScopedEnv env("VEXA_COM5", pty.path().c_str());
  SerialPort port;
  ASSERT_TRUE(port.openPort(5)) << port.lastError();
  EXPECT_EQ(port.devicePath(), pty.path());
}

TEST(SerialPortOpen, ClaimIsExclusiveAndReleasedOnClose) {
  PtyPair pty;
  REQUIRE_PTY(pty);
  int exclusive = -1;
  SerialPort port;
  ASSERT_TRUE(port.open(pty.path()));
  ASSERT_EQ(::ioctl(pty.holder(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  // Refused whatever the caller's privileges.
  SerialPort second;
  EXPECT_FALSE(second.open(pty.path()));
  EXPECT_EQ(second.lastError(), EBUSY);
  port.close();
  ASSERT_EQ(::ioctl(pty.holder(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);
  // The same device opens again after the close.
  EXPECT_TRUE(port.open(pty.path()));
  SerialPort moved(std::move(port));
  EXPECT_FALSE(port.isOpen());
  EXPECT_TRUE(moved.isOpen());
}

TEST(SerialPortOpen, AttachedDescriptorIsUsedButNotClosed) {
  PtyPair pty;
  REQUIRE_PTY(pty);
  SerialPort owner;
  ASSERT_TRUE(owner.open(pty.path()));
  {
    SerialPort borrower;
    ASSERT_TRUE(borrower.attach(owner.nativeHandle()));
    ASSERT_TRUE(borrower.configure(9600));
    borrower.setTimeouts({0, 10, 100, 0, 0});
    ASSERT_TRUE(borrower.write("\x01", 1).ok());
    EXPECT_EQ(pty.receive(1), std::vector<unsigned char>{1});
    pty.send({0x42});
    unsigned char byte = 0;
    EXPECT_EQ(borrower.read(&byte, 1).count, 1u);
    EXPECT_EQ(byte, 0x42);
  }
  // The owner's descriptor, claim and flags survive the borrower.
  EXPECT_NE(::fcntl(owner.nativeHandle(), F_GETFL) & O_NONBLOCK, 0);
  int exclusive = -1;
  ASSERT_EQ(::ioctl(pty.holder(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
  EXPECT_TRUE(owner.write("\x02", 1).ok());
  EXPECT_EQ(pty.receive(1), std::vector<unsigned char>{2});

  SerialPort bad;
  EXPECT_FALSE(bad.attach(-1));
  EXPECT_EQ(bad.lastError(), EBADF);
}

TEST(SerialPortOpen, BlockingDescriptorIsBlockingAgainAfterTheBorrower) {
  PtyPair pty;
  REQUIRE_PTY(pty);
  const int fd = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  {
    SerialPort borrower;
    ASSERT_TRUE(borrower.attach(fd));
    SerialPort moved(std::move(borrower));
    // Reads wait with their deadline, not in the kernel.
    moved.setTimeouts({0, 0, 30, 0, 0});
    unsigned char byte = 0;
    const auto start = Clock::now();
    EXPECT_EQ(moved.read(&byte, 1).count, 0u);
    EXPECT_LT(elapsedMs(start), 1000);
  }
  EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
  ::close(fd);
}

TEST_F(SerialPortLine, ConfigureSetsRaw8N1AtTheSpeed) {
  for (std::uint32_t baud : {9600u, 19200u, 57600u}) {
    ASSERT_TRUE(port.configure(baud)) << baud;
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.holder(), &t), 0);
    LineSettings read;
    ASSERT_TRUE(port.getLine(read));
    EXPECT_EQ(read.baud(), baud);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
  }
  EXPECT_FALSE(port.configure(12345));
  EXPECT_EQ(port.lastError(), EINVAL);
}

TEST_F(SerialPortLine, BinaryBytesPassUnchanged) {
  ASSERT_TRUE(port.configure(57600));
  port.setTimeouts({100, 10, 100, 0, 0});
  std::vector<unsigned char> all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<unsigned char>(i);
  ASSERT_TRUE(port.write(all.data(), all.size()).ok());
  EXPECT_TRUE(port.drain());
  EXPECT_EQ(pty.receive(all.size()), all);
  pty.send(all);
  std::vector<unsigned char> back(256);
  const IoResult r = port.read(back.data(), back.size());
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.count, 256u);
  EXPECT_EQ(back, all);
}

TEST_F(SerialPortRead, TimeOutsEndShortReads) {
  ASSERT_TRUE(port.configure(19200));
  unsigned char buffer[32];

  // Total time-out: nothing arrives, the read gives up after multiplier * n + constant.
  port.setTimeouts({0, 10, 100, 0, 0});
  auto start = Clock::now();
  IoResult r = port.read(buffer, 4);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.count, 0u);
  EXPECT_GE(elapsedMs(start), 140);
  EXPECT_LT(elapsedMs(start), 1000);

  // Interval time-out: after two bytes the pause ends the read long before the total.
  port.setTimeouts({50, 10, 5000, 0, 0});
  pty.send({1, 2});
  start = Clock::now();
  r = port.read(buffer, 32);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.count, 2u);
  EXPECT_GE(elapsedMs(start), 45);
  EXPECT_LT(elapsedMs(start), 2000);

  // Bytes that arrive while the read waits are collected.
  port.setTimeouts({200, 10, 2000, 0, 0});
  std::thread late([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pty.send({7});
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pty.send({8, 9});
  });
  r = port.read(buffer, 3);
  late.join();
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(r.count, 3u);
  EXPECT_EQ(buffer[0], 7);
  EXPECT_EQ(buffer[2], 9);

  // All time-outs zero: only what is already waiting.
  port.setTimeouts({});
  start = Clock::now();
  r = port.read(buffer, 8);
  EXPECT_EQ(r.count, 0u);
  EXPECT_LT(elapsedMs(start), 50);
}

TEST(SerialPortOpen, InputWaitingBeforeOpenIsDiscarded) {
  PtyPair pty;
  REQUIRE_PTY(pty);
  pty.send({1, 2, 3});
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  SerialPort port;
  ASSERT_TRUE(port.open(pty.path()));
  port.setTimeouts({0, 0, 50, 0, 0});
  unsigned char buffer[4];
  EXPECT_EQ(port.read(buffer, 4).count, 0u);
}

TEST_F(SerialPortRead, SkipUntilQuietStopsAtSilenceOrTheLimit) {
  ASSERT_TRUE(port.configure(57600));
  port.setTimeouts({0, 5, 60, 0, 0});
  struct Case {
    std::size_t waiting;
    std::size_t limit;
    std::size_t skipped;
  } const cases[] = {
      {0, 100, 0},      // silent line: one read time-out
      {5, 100, 5},      // what was waiting, then silence
      {300, 100, 100},  // a line that keeps sending ends at the limit
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(port.discardInput());
    if (c.waiting != 0) pty.send(std::vector<unsigned char>(c.waiting, 0x5A));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto start = Clock::now();
    const IoResult r = port.skipUntilQuiet(c.limit);
    EXPECT_TRUE(r.ok()) << c.waiting;
    EXPECT_EQ(r.count, c.skipped) << c.waiting;
    EXPECT_LT(elapsedMs(start), 1000) << c.waiting;
  }
  // The bytes past the limit are still there to read.
  unsigned char byte = 0;
  EXPECT_EQ(port.read(&byte, 1).count, 1u);
  EXPECT_EQ(byte, 0x5A);

  pty.closeMaster();
  const IoResult r = port.skipUntilQuiet(100);
  EXPECT_EQ(r.error, EIO);
}

TEST_F(SerialPortLine, ModemLinesFailWithoutModemControl) {
  SerialPort closed;
  EXPECT_FALSE(closed.setModemLines(false, false));
  EXPECT_EQ(closed.lastError(), EBADF);
  // A pseudo-terminal has no DTR or RTS: the failure is reported, not hidden,
  // and the line goes on working.
  for (const bool level : {false, true}) {
    EXPECT_FALSE(port.setModemLines(level, level));
    EXPECT_EQ(port.lastError(), ENOTTY);
  }
  EXPECT_TRUE(port.write("\x03", 1).ok());
  EXPECT_EQ(pty.receive(1), std::vector<unsigned char>{3});
}

TEST_F(SerialPortHangUp, ReadAndWriteFailWhenTheFarEndCloses) {
  ASSERT_TRUE(port.configure(57600));
  port.setTimeouts({1000, 10, 1000, 0, 0});
  pty.closeMaster();
  unsigned char buffer[4];
  const auto start = Clock::now();
  const IoResult r = port.read(buffer, 4);
  EXPECT_EQ(r.error, EIO);
  EXPECT_EQ(port.lastError(), EIO);
  EXPECT_LT(elapsedMs(start), 500);
  EXPECT_FALSE(port.write(buffer, 4).ok());
}

TEST_F(SerialPortWrite, StalledWriteFailsAtItsDeadline) {
  ASSERT_TRUE(port.configure(57600));
  port.setTimeouts({0, 0, 0, 0, 100});
  // Nobody reads the master: the pseudo-terminal's buffers fill up.
  std::vector<unsigned char> big(1 << 20, 0x55);
  const auto start = Clock::now();
  const IoResult r = port.write(big.data(), big.size());
  EXPECT_EQ(r.error, ETIMEDOUT);
  EXPECT_LT(r.count, big.size());
  EXPECT_GE(elapsedMs(start), 90);
  EXPECT_LT(elapsedMs(start), 2000);
}

using SerialPortCancel = PortOnPty;

// A read waiting on a silent line and a write stalled on a full one both end
// soon after a cancel from another thread, with the cancelled outcome.
TEST_F(SerialPortCancel, WakesABlockedReadOrWriteFromAnotherThread) {
  ASSERT_TRUE(port.configure(57600));
  port.setTimeouts({0, 0, 10000, 0, 10000});
  std::vector<unsigned char> big(1 << 20, 0x55);  // more than the terminal holds
  const struct Case {
    const char* name;
    bool write;
  } cases[] = {{"read", false}, {"write", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    port.resetCancel();
    std::thread canceller([this] {
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      port.cancel();
    });
    const auto start = Clock::now();
    const IoResult r = c.write ? port.write(big.data(), big.size()) : port.read(big.data(), 4);
    const long took = elapsedMs(start);
    canceller.join();
    EXPECT_TRUE(r.cancelled()) << r.error;
    EXPECT_EQ(port.lastError(), ECANCELED);
    EXPECT_GE(took, 100);
    EXPECT_LT(took, 3000);
    EXPECT_TRUE(port.isOpen());
  }
}

TEST_F(SerialPortCancel, StaysUntilResetThenTheLineWorksAgain) {
  ASSERT_TRUE(port.configure(57600));
  port.setTimeouts({0, 0, 2000, 0, 0});
  pty.send({0x41});
  port.cancel();  // before the call: it must not wait for the time-out
  unsigned char byte = 0;
  const auto start = Clock::now();
  EXPECT_TRUE(port.read(&byte, 1).cancelled());
  EXPECT_TRUE(port.write(&byte, 1).cancelled());
  EXPECT_TRUE(port.read(&byte, 1).cancelled());
  EXPECT_LT(elapsedMs(start), 500);
  EXPECT_TRUE(port.cancelRequested());

  port.resetCancel();
  EXPECT_FALSE(port.cancelRequested());
  const IoResult r = port.read(&byte, 1);
  EXPECT_TRUE(r.ok());
  ASSERT_EQ(r.count, 1u);
  EXPECT_EQ(byte, 0x41);
  EXPECT_TRUE(port.write("\x42", 1).ok());
  EXPECT_EQ(pty.receive(1), std::vector<unsigned char>{0x42});
}

TEST(SerialPortCancelMove, SignalTravelsWithThePort) {
  SerialPort first;
  CancelSignal* signal = first.cancelSignal();
  ASSERT_NE(signal, nullptr);
  SerialPort second(std::move(first));
  EXPECT_EQ(second.cancelSignal(), signal);
  second.cancel();
  EXPECT_TRUE(signal->isRaised());
  first.cancel();  // moved from: no signal, nothing happens
  EXPECT_FALSE(first.cancelRequested());
  SerialPort third;
  third = std::move(second);
  EXPECT_TRUE(third.cancelRequested());
  EXPECT_NE(second.cancelSignal(), nullptr);  // swapped: still cancellable
}

}  // namespace
}  // namespace vexa::platform
