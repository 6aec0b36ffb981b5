#include "boardemu/PtyLink.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vexa::boardemu {

PtyLink::~PtyLink() { close(); }

bool PtyLink::open() {
  close();
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    error_ = errno;
    close();
    return false;
  }
  char name[128];
  if (::ptsname_r(master_, name, sizeof name) != 0) {
    error_ = errno;
    close();
    return false;
  }
  path_ = name;
  holder_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (holder_ < 0) {
    error_ = errno;
    close();
    return false;
  }
  // Raw from the start: a terminal that echoes would answer for the board.
  termios t{};
  ::tcgetattr(holder_, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(holder_, TCSANOW, &t);
  return true;
}

long PtyLink::receive(std::uint8_t* buffer, std::size_t count, int timeoutMs) {
  if (master_ < 0) return -1;
  pollfd pfd{master_, POLLIN, 0};
  const int ready = ::poll(&pfd, 1, timeoutMs);
  if (ready < 0) return errno == EINTR ? 0 : -1;
  if (ready == 0) return 0;
  if ((pfd.revents & POLLIN) == 0) return (pfd.revents & (POLLERR | POLLNVAL)) != 0 ? -1 : 0;
  const ssize_t n = ::read(master_, buffer, count);
  if (n < 0) return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
  return static_cast<long>(n);
}

long PtyLink::send(const std::uint8_t* data, std::size_t count) {
  if (master_ < 0) return -1;
  const ssize_t n = ::write(master_, data, count);
  if (n < 0) return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
  return static_cast<long>(n);
}

std::uint32_t PtyLink::lineBaud() const {
  if (holder_ < 0) return 0;
  termios t{};
  if (::tcgetattr(holder_, &t) != 0) return 0;
  switch (cfgetospeed(&t)) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
  }
}

void PtyLink::hangUp() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

void PtyLink::close() {
  hangUp();
  if (holder_ >= 0) ::close(holder_);
  holder_ = -1;
}

}  // namespace vexa::boardemu
