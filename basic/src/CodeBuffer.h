// Code and system-code buffers of one pass, with labels and fix-ups.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "Symbols.h"

namespace vxbasic {

inline constexpr std::size_t kCodeLimit = 60000;    // error at this count
inline constexpr std::size_t kSysCodeLimit = 255;   // error at this count
inline constexpr uint16_t kCodeOrigin = 4;          // program-memory address of code byte 0

class CodeBuffer {
public:
    CodeBuffer();

    // Stores a byte; reaching 60000 bytes raises "Programm zu lang".
    void put(uint8_t byte);
    void put(std::initializer_list<uint8_t> bytes);
    void putWord(uint16_t word);
    // Reaching 255 system-code bytes raises "Assemblerprogramm zu lang".
    void putSys(uint8_t byte);

    // Program-memory address of the next code byte.
    uint16_t address() const { return static_cast<uint16_t>(code_.size() + kCodeOrigin); }

    // Labels are upper-case names. `written` is the word that names the
    // label in a duplicate-label message.
    bool hasLabel(const std::string& name) const { return labels_.contains(name); }
    void defineLabel(const std::string& name, const std::string& written);
    void defineLabel(const std::string& name) { defineLabel(name, name); }
    // Emits the label's address, or a placeholder resolved at the pass end.
    void putLabelRef(const std::string& name);
    // Writes every placeholder; an unknown label raises "undefiniertes Label"
    // with the line of its first reference. After errors already reported,
    // generated labels of abandoned statements are passed over.
    void resolveFixups(bool errorsReported);

    void setLine(int line) { line_ = line; }
    int line() const { return line_; }

    const std::vector<uint8_t>& code() const { return code_; }
    const std::vector<uint8_t>& sysCode() const { return sysCode_; }

private:
    struct Fixup {
        std::string label;
        int line;
        std::size_t position;
    };

    std::vector<uint8_t> code_;
    std::vector<uint8_t> sysCode_;
    NameTable<uint16_t> labels_;
    std::vector<Fixup> fixups_;
    int line_ = 0;
};

// Throws the compile error of `code` on the current line.
[[noreturn]] void raise(int line, int code, std::string text);

}  // namespace vxbasic
