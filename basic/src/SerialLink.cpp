#include "SerialLink.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace vxbasic {

namespace {

using SteadyClock = std::chrono::steady_clock;

int millisecondsUntil(SteadyClock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

}  // namespace

bool FdSerialLink::configure() {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return false;
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                        IXANY | INPCK);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, B9600) != 0 || ::cfsetospeed(&t, B9600) != 0) return false;
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return false;
    // DTR and RTS are not driven for the board; a line without modem
    // control (a pseudo-terminal) has none to drop.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd_, TIOCMBIC, &lines);
    return true;
}

LinkResult FdSerialLink::read(uint8_t* buffer, std::size_t count) {
    LinkResult result;
    if (fd_ < 0) {
        result.ok = false;
        return result;
    }
    const auto deadline =
        SteadyClock::now() + std::chrono::milliseconds(uint64_t{perByteMs_} * count + constantMs_);
    while (result.count < count) {
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, millisecondsUntil(deadline));
        if (ready < 0) {
            if (errno == EINTR) continue;
            result.ok = false;
            return result;
        }
        if (ready == 0) return result;  // time-out: what arrived so far
        if ((pfd.revents & POLLNVAL) != 0) {
            result.ok = false;
            return result;
        }
        if ((pfd.revents & POLLIN) == 0) {
            // Hang-up or error without data.
            result.ok = false;
            return result;
        }
        const ssize_t n = ::read(fd_, buffer + result.count, count - result.count);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            result.ok = false;
            return result;
        }
        if (n == 0) {
            result.ok = false;  // end of file: the other side is gone
            return result;
        }
        result.count += static_cast<std::size_t>(n);
    }
    return result;
}

LinkResult FdSerialLink::write(const uint8_t* data, std::size_t count) {
    LinkResult result;
    if (fd_ < 0) {
        result.ok = false;
        return result;
    }
    // No write time-out is set; the bytes get their time on the line at
    // 9600 baud plus a second, so a stuck line cannot hang the download.
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(count * 2 + 1000);
    while (result.count < count) {
        pollfd pfd{fd_, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, millisecondsUntil(deadline));
        if (ready < 0) {
            if (errno == EINTR) continue;
            result.ok = false;
            return result;
        }
        if (ready == 0 || (pfd.revents & POLLOUT) == 0) {
            result.ok = false;
            return result;
        }
        const ssize_t n = ::write(fd_, data + result.count, count - result.count);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            result.ok = false;
            return result;
        }
        result.count += static_cast<std::size_t>(n);
    }
    return result;
}

}  // namespace vxbasic
