// Expressions of VXBasic, lowest binding level first; every operator's
// opcode follows both operands.
#include <cctype>
#include <optional>

#include "CompileError.h"
#include "QuorinCompiler.h"

namespace vxbasic {

uint8_t QuorinCompiler::acceptOperator(std::initializer_list<BinaryOperator> operators) {
    std::optional<std::string> word;
    for (const BinaryOperator& o : operators) {
        const bool symbol = std::isalpha(static_cast<unsigned char>(o.text[0])) == 0;
        if (symbol) {
            if (in_.acceptChar(o.text[0])) return o.opcode;
            continue;
        }
        if (!word) word = in_.peekWord();
        if (*word == o.text) {
            in_.readWord();
            return o.opcode;
        }
    }
    return 0;
}

void QuorinCompiler::binaryLevel(std::initializer_list<BinaryOperator> operators,
                                 void (QuorinCompiler::*operand)()) {
    (this->*operand)();
    while (uint8_t op = acceptOperator(operators)) {
        (this->*operand)();
        buf_.put(op);
    }
}

void QuorinCompiler::expression() {
    binaryLevel({{"OR", 43}, {"NOR", 44}, {"XOR", 45}}, &QuorinCompiler::andLevel);
}

void QuorinCompiler::andLevel() { binaryLevel({{"AND", 41}, {"NAND", 42}}, &QuorinCompiler::notLevel); }

void QuorinCompiler::notLevel() {
    bool negate = in_.peekWord() == "NOT";
    if (negate) in_.readWord();
    simpleExpression();
    uint8_t relation = 0;
    if (in_.acceptChar('=')) {
        if (in_.acceptChar('>')) relation = 61;
        else if (in_.acceptChar('<')) relation = 63;
        else relation = 64;
    } else if (in_.acceptChar('<')) {
        if (in_.acceptChar('>')) relation = 65;
        else if (in_.acceptChar('=')) relation = 63;
        else relation = 62;
    } else if (in_.acceptChar('>')) {
        if (in_.acceptChar('<')) relation = 65;
        else if (in_.acceptChar('=')) relation = 61;
        else relation = 60;
    }
    if (relation != 0) {
        simpleExpression();
        buf_.put(relation);
    }
    if (negate) buf_.put(40);
}

void QuorinCompiler::simpleExpression() {
    binaryLevel({{"+", 51}, {"-", 52}}, &QuorinCompiler::term);
}

void QuorinCompiler::term() {
    binaryLevel({{"*", 53}, {"/", 54}, {"MOD", 55}, {"SHL", 46}, {"SHR", 47}}, &QuorinCompiler::factor);
}

void QuorinCompiler::factor() {
    bool negate = in_.acceptChar('-');
    if (in_.acceptChar('(')) {
        enterNesting();
        expression();
        expectChar(')');
        --depth_;
    } else {
        std::string word = in_.readWord();
        if (auto value = parseConstant(word, constants_)) {
            buf_.put(20);
            buf_.putWord(*value);
        } else if (auto symbol = symbols_.find(word)) {
            load(*symbol);
        } else if (!function(word)) {
            if (word == "INITMODEM") {
                initModem();
            } else {
                buf_.put(5);
                buf_.putLabelRef(word);
            }
        }
    }
    if (negate) buf_.put(50);
}

bool QuorinCompiler::function(const std::string& word) {
    if (word == "MIN" || word == "MAX") {
        enterNesting();
        expectChar('(');
        expression();
        expectChar(',');
        expression();
        expectChar(')');
        buf_.put(word == "MIN" ? 59 : 58);
        --depth_;
        return true;
    }
    uint8_t op = 0;
    if (word == "SQR") op = 57;
    else if (word == "ABS") op = 56;
    else if (word == "SGN") op = 66;
    if (op != 0) {
        enterNesting();
        expectChar('(');
        expression();
        expectChar(')');
        buf_.put(op);
        --depth_;
        return true;
    }
    if (word == "RAND") op = 49;
    else if (word == "RXD") op = 33;
    else if (word == "CTS") op = 37;
    else if (word == "EOF") op = 71;
    if (op == 0) return false;
    if (in_.acceptChar('(')) expectChar(')');
    buf_.put(op);
    return true;
}

}  // namespace vxbasic
