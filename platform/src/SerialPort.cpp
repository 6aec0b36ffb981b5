#include "vexa/platform/SerialPort.h"

#include "vexa/platform/CancelSignal.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vexa::platform {

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

struct SpeedEntry {
  std::uint32_t baud;
  speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

bool speedOf(std::uint32_t baud, speed_t& speed) {
  for (const SpeedEntry& entry : kSpeeds) {
    if (entry.baud == baud) {
      speed = entry.speed;
      return true;
    }
  }
  return false;
}

// Milliseconds left until the deadline, rounded up, never negative.
int millisecondsUntil(Clock::time_point deadline) {
  const auto left = deadline - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  return static_cast<int>(std::chrono::ceil<Milliseconds>(left).count());
}

}  // namespace

std::string serialDevicePath(int portNumber) {
  if (portNumber < 1) return {};
  const std::string name = "VEXA_COM" + std::to_string(portNumber);
  if (const char* value = std::getenv(name.c_str()); value != nullptr && *value != '\0')
    return value;
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

termios LineSettings::attributes() const {
  static_assert(sizeof(termios) <= sizeof attributes_, "LineSettings cannot hold termios");
  termios t;
  std::memcpy(&t, attributes_, sizeof t);
  return t;
}

void LineSettings::setAttributes(const termios& t) { std::memcpy(attributes_, &t, sizeof t); }

bool LineSettings::isSupportedBaud(std::uint32_t baud) {
  speed_t speed;
  return speedOf(baud, speed);
}

bool LineSettings::setRaw8N1(std::uint32_t baud) {
  speed_t speed;
  if (!speedOf(baud, speed)) return false;
  termios t = attributes();
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IXON | IXOFF | IXANY | INPCK | IGNPAR);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  cfsetispeed(&t, speed);
  cfsetospeed(&t, speed);
  setAttributes(t);
  return true;
}

std::uint32_t LineSettings::baud() const {
  const termios t = attributes();
  const speed_t speed = cfgetospeed(&t);
  for (const SpeedEntry& entry : kSpeeds) {
    if (entry.speed == speed) return entry.baud;
  }
  return 0;
}

SerialPort::SerialPort() : cancel_(std::make_unique<CancelSignal>()) {}

SerialPort::~SerialPort() { close(); }

SerialPort::SerialPort(SerialPort&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      owned_(other.owned_),
      attachedFlags_(std::exchange(other.attachedFlags_, -1)),
      path_(std::move(other.path_)),
      timeouts_(other.timeouts_),
      baud_(other.baud_),
      lastError_(other.lastError_),
      cancel_(std::move(other.cancel_)) {}

SerialPort& SerialPort::operator=(SerialPort&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    owned_ = other.owned_;
    attachedFlags_ = std::exchange(other.attachedFlags_, -1);
    path_ = std::move(other.path_);
    timeouts_ = other.timeouts_;
    baud_ = other.baud_;
    lastError_ = other.lastError_;
    // Both keep a signal: a thread may still hold this one's.
    std::swap(cancel_, other.cancel_);
  }
  return *this;
}

void SerialPort::cancel() {
  if (cancel_) cancel_->raise();
}

void SerialPort::resetCancel() {
  if (cancel_) cancel_->reset();
}

bool SerialPort::cancelRequested() const { return cancel_ && cancel_->isRaised(); }

// Waits for the port's event or a cancel, whichever comes first; the result
// of poll() with the port's events in port.
int SerialPort::waitFor(pollfd& port, int timeoutMs) const {
  pollfd fds[2] = {port, {cancel_ ? cancel_->descriptor() : -1, POLLIN, 0}};
  const int ready = ::poll(fds, fds[1].fd >= 0 ? 2 : 1, timeoutMs);
  port.revents = fds[0].revents;
  return ready;
}

bool SerialPort::fail(int error) {
  lastError_ = error;
  return false;
}

bool SerialPort::open(const std::string& devicePath) {
  close();
  if (devicePath.empty()) return fail(ENOENT);
  const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(errno);
  // A privileged caller gets past another holder's claim; the claim is
  // checked here so that it holds for everyone.
  int claimed = 0;
  if (::ioctl(fd, TIOCGEXCL, &claimed) == 0 && claimed != 0) {
    ::close(fd);
    return fail(EBUSY);
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    const int error = errno;
    ::close(fd);
    return fail(error);
  }
  fd_ = fd;
  owned_ = true;
  path_ = devicePath;
  baud_ = 0;
  lastError_ = 0;
  // Stale input from before the open is not an answer to anything we send.
  // Output is left alone: on a pseudo-terminal, flushing it would discard
  // what an earlier user wrote just before closing.
  ::tcflush(fd_, TCIFLUSH);
  return true;
}

bool SerialPort::attach(int descriptor) {
  close();
  const int flags = descriptor >= 0 ? ::fcntl(descriptor, F_GETFL) : -1;
  if (flags < 0) return fail(EBADF);
  // Reads and writes wait through poll() with their deadlines, never in read().
  // The flags belong to the owner's open file: they are given back on close.
  if ((flags & O_NONBLOCK) == 0) {
    if (::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != 0) return fail(errno);
    attachedFlags_ = flags;
  }
  fd_ = descriptor;
  owned_ = false;
  path_.clear();
  baud_ = 0;
  lastError_ = 0;
  return true;
}

void SerialPort::close() {
  if (fd_ < 0) return;
  if (owned_) {
    // The claim lives in the device, not in our descriptor: without releasing
    // it, nobody could open the device again while another descriptor is open.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
  } else if (attachedFlags_ >= 0) {
    ::fcntl(fd_, F_SETFL, attachedFlags_);
  }
  fd_ = -1;
  attachedFlags_ = -1;
  owned_ = false;
  baud_ = 0;
}

bool SerialPort::getLine(LineSettings& settings) {
  if (fd_ < 0) return fail(EBADF);
  termios t;
  if (::tcgetattr(fd_, &t) != 0) return fail(errno);
  settings.setAttributes(t);
  return true;
}

bool SerialPort::setLine(const LineSettings& settings) {
  if (fd_ < 0) return fail(EBADF);
  if (settings.baud() == 0) return fail(EINVAL);
  const termios t = settings.attributes();
  if (::tcsetattr(fd_, TCSANOW, &t) != 0) return fail(errno);
  baud_ = settings.baud();
  return true;
}

bool SerialPort::configure(std::uint32_t baud) {
  LineSettings settings;
  if (!getLine(settings)) return false;
  if (!settings.setRaw8N1(baud)) return fail(EINVAL);
  return setLine(settings);
}

IoResult SerialPort::read(void* buffer, std::size_t count) {
  IoResult result;
  if (fd_ < 0) {
    result.error = lastError_ = EBADF;
    return result;
  }
  if (count == 0) return result;
  auto* bytes = static_cast<unsigned char*>(buffer);
  const SerialTimeouts& t = timeouts_;
  const bool hasTotal = t.readTotalMultiplierMs != 0 || t.readTotalConstantMs != 0;
  const auto start = Clock::now();
  const auto totalDeadline =
      start + Milliseconds(static_cast<std::uint64_t>(t.readTotalMultiplierMs) * count +
                           t.readTotalConstantMs);
  const auto interval = Milliseconds(t.readIntervalMs);
  auto lastByte = start;

  while (result.count < count) {
    if (cancelRequested()) {
      result.error = lastError_ = ECANCELED;
      return result;
    }
    const ssize_t n = ::read(fd_, bytes + result.count, count - result.count);
    if (n > 0) {
      result.count += static_cast<std::size_t>(n);
      lastByte = Clock::now();
      continue;
    }
    if (n == 0) {
      // Either nothing is waiting (no minimum count set) or the other side hung up.
      pollfd pfd{fd_, POLLIN, 0};
      if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR)) != 0) {
        result.error = lastError_ = EIO;
        return result;
      }
    } else if (errno == EINTR) {
      continue;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
      result.error = lastError_ = errno;
      return result;
    }
    // Nothing waiting: wait for the next byte until the nearest deadline.
    Clock::time_point deadline;
    if (result.count > 0 && t.readIntervalMs != 0) {
      deadline = lastByte + interval;
      if (hasTotal && totalDeadline < deadline) deadline = totalDeadline;
    } else if (hasTotal) {
      deadline = totalDeadline;
    } else {
      deadline = (result.count == 0) ? start + interval : start;
    }
    const int waitMs = millisecondsUntil(deadline);
    if (waitMs == 0) break;
    pollfd pfd{fd_, POLLIN, 0};
    const int ready = waitFor(pfd, waitMs);
    if (ready < 0) {
      if (errno == EINTR) continue;
      result.error = lastError_ = errno;
      return result;
    }
    if (ready == 0) continue;  // the deadline check above ends the loop
    if ((pfd.revents & POLLNVAL) != 0) {
      result.error = lastError_ = EBADF;
      return result;
    }
    if ((pfd.revents & POLLIN) == 0 && (pfd.revents & (POLLHUP | POLLERR)) != 0) {
      result.error = lastError_ = EIO;
      return result;
    }
  }
  return result;
}

IoResult SerialPort::write(const void* data, std::size_t count) {
  IoResult result;
  if (fd_ < 0) {
    result.error = lastError_ = EBADF;
    return result;
  }
  const auto* bytes = static_cast<const unsigned char*>(data);
  const SerialTimeouts& t = timeouts_;
  std::uint64_t limitMs;
  if (t.writeTotalMultiplierMs != 0 || t.writeTotalConstantMs != 0) {
    limitMs = static_cast<std::uint64_t>(t.writeTotalMultiplierMs) * count + t.writeTotalConstantMs;
  } else {
    // Ten bit times per byte (start, eight data, stop) at the line speed.
    const std::uint64_t baud = baud_ != 0 ? baud_ : 9600;
    limitMs = (static_cast<std::uint64_t>(count) * 10 * 1000 + baud - 1) / baud + 1000;
  }
  const auto deadline = Clock::now() + Milliseconds(limitMs);

  while (result.count < count) {
    if (cancelRequested()) {
      result.error = lastError_ = ECANCELED;
      return result;
    }
    const ssize_t n = ::write(fd_, bytes + result.count, count - result.count);
    if (n > 0) {
      result.count += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      result.error = lastError_ = errno;
      return result;
    }
    const int waitMs = millisecondsUntil(deadline);
    if (waitMs == 0) {
      result.error = lastError_ = ETIMEDOUT;
      return result;
    }
    pollfd pfd{fd_, POLLOUT, 0};
    const int ready = waitFor(pfd, waitMs);
    if (ready < 0 && errno != EINTR) {
      result.error = lastError_ = errno;
      return result;
    }
    if (ready > 0 && (pfd.revents & POLLOUT) == 0 &&
        (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      result.error = lastError_ = EIO;
      return result;
    }
  }
  return result;
}

bool SerialPort::drain() {
  if (fd_ < 0) return fail(EBADF);
  while (::tcdrain(fd_) != 0) {
    if (errno != EINTR) return fail(errno);
  }
  return true;
}

bool SerialPort::discardInput() {
  if (fd_ < 0) return fail(EBADF);
  if (::tcflush(fd_, TCIFLUSH) != 0) return fail(errno);
  return true;
}

IoResult SerialPort::skipUntilQuiet(std::size_t limit) {
  IoResult result;
  unsigned char byte;
  while (result.count < limit) {
    const IoResult r = read(&byte, 1);
    if (!r.ok()) {
      result.error = r.error;
      break;
    }
    if (r.count == 0) break;
    ++result.count;
  }
  return result;
}

bool SerialPort::setModemLines(bool dtr, bool rts) {
  if (fd_ < 0) return fail(EBADF);
  const int raise = (dtr ? TIOCM_DTR : 0) | (rts ? TIOCM_RTS : 0);
  const int drop = (dtr ? 0 : TIOCM_DTR) | (rts ? 0 : TIOCM_RTS);
  if (raise != 0 && ::ioctl(fd_, TIOCMBIS, &raise) != 0) return fail(errno);
  if (drop != 0 && ::ioctl(fd_, TIOCMBIC, &drop) != 0) return fail(errno);
  return true;
}

}  // namespace vexa::platform
