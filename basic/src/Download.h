// Serial download of the download image into a first-generation board.
#pragma once

#include <atomic>
#include <cstdint>

namespace vexa::vxbasic {

struct DownloadImage;

struct DownloadTimeouts {
  uint32_t perByteMs = 50;
  uint32_t constantMs = 2500;
};

// Sends the image over the serial line open on `descriptor`, which stays the
// caller's to close. Bytes sent, or -1 wrong or short banner, -2 write failed
// (a descriptor that is not open fails so at once), -3 read failed or timed
// out, -4 wrong echo. Progress in percent is updated as bytes go out.
int32_t download(const DownloadImage& image, int descriptor, std::atomic<uint16_t>& progress,
                 DownloadTimeouts timeouts = {});

}  // namespace vexa::vxbasic
