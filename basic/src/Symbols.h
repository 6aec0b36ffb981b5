// Symbol values, constants and name lookup of the VXBasic compiler.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vexa::vxbasic {

// Kinds in bits 8-15 of a symbol value.
enum SymbolKind : uint8_t {
  kRamBit = 0,
  kRamByte = 1,
  kRamWord = 2,
  kBitPort = 3,
  kBytePort = 4,
  kWordPort = 5,
  kAnalogIn = 6,
  kAnalogOut = 7,
  kSystemVar = 8,
  kNetAd12 = 9,
  kNetAd = 10,
  kNetPortFar = 11,
  kNetPortNear = 12,
};

// Index in bits 0-7, kind in bits 8-15, station in bits 16-23.
inline uint8_t symbolIndex(uint32_t value) { return static_cast<uint8_t>(value); }
inline uint8_t symbolKind(uint32_t value) { return static_cast<uint8_t>(value >> 8); }
inline uint8_t symbolStation(uint32_t value) { return static_cast<uint8_t>(value >> 16); }
inline uint32_t makeSymbol(uint8_t kind, uint8_t index, uint8_t station = 0) {
  return static_cast<uint32_t>(index) | static_cast<uint32_t>(kind) << 8 |
         static_cast<uint32_t>(station) << 16;
}

// QuorinMapCode of a symbol; network variables get 0.
uint32_t mapCodeOf(uint32_t symbolValue);
uint32_t makeMapCode(uint8_t kind, uint8_t space, uint16_t index);

// Names are stored upper-cased, so lookups ignore case. Entries keep their
// order of definition.
template <typename Value>
class NameTable {
 public:
  bool contains(const std::string& name) const { return index_.count(name) != 0; }
  std::optional<Value> find(const std::string& name) const {
    auto it = index_.find(name);
    if (it == index_.end()) return std::nullopt;
    return entries_[it->second].second;
  }
  void add(const std::string& name, Value value) {
    auto it = index_.find(name);
    if (it != index_.end()) {
      entries_[it->second].second = value;
      return;
    }
    index_.emplace(name, entries_.size());
    entries_.emplace_back(name, value);
  }
  void clear() {
    index_.clear();
    entries_.clear();
  }
  const std::vector<std::pair<std::string, Value>>& entries() const { return entries_; }

 private:
  std::unordered_map<std::string, std::size_t> index_;
  std::vector<std::pair<std::string, Value>> entries_;
};

// Parses a constant word: optional "-", then a known constant name, "&H" hex
// digits, "&B" binary digits or decimal digits, the whole word used up.
// Values wrap to 16 bits. An empty word is no constant.
std::optional<uint16_t> parseConstant(const std::string& word,
                                      const NameTable<uint16_t>& constants);

}  // namespace vexa::vxbasic
