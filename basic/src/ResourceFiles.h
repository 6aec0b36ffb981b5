// TABLE files (numbers) and system-code files (Motorola S-records).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::vxbasic {

enum class ResourceStatus { Ok, Missing, Malformed };

// An empty base uses the name as given, an absolute name is used as is,
// else base + "/" + name.
std::string resolveResourcePath(const std::string& base, const std::string& name);

// Numbers separated by white space, each truncated to an integer and kept
// to 16 bits.
ResourceStatus readTableFile(const std::string& path, std::vector<uint16_t>& words);

// The data bytes of the S1 records; other records are skipped, empty lines
// too. Address and checksum are not checked.
ResourceStatus readSRecordFile(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace vexa::vxbasic
