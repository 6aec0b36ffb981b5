// Serial download of the download image into a first-generation board.
#pragma once

#include <atomic>
#include <cstdint>

#include "SerialLink.h"

namespace vxbasic {

struct DownloadImage;

struct DownloadTimeouts {
    uint32_t perByteMs = 50;
    uint32_t constantMs = 2500;
};

// Bytes sent, or -1 wrong or short banner, -2 write failed, -3 read failed or
// timed out, -4 wrong echo. Progress in percent is updated as bytes go out.
int32_t download(const DownloadImage& image, SerialLink& link, std::atomic<uint16_t>& progress,
                 DownloadTimeouts timeouts = {});

}  // namespace vxbasic
