// Expressions of VXBasic, lowest binding level first; every operator's
// opcode follows both operands.
#include "CompileError.h"
#include "QuorinCompiler.h"

namespace vxbasic {

void QuorinCompiler::expression() {
    andLevel();
    for (;;) {
        std::string word = in_.peekWord();
        uint8_t op;
        if (word == "OR") op = 43;
        else if (word == "NOR") op = 44;
        else if (word == "XOR") op = 45;
        else return;
        in_.readWord();
        andLevel();
        buf_.put(op);
    }
}

void QuorinCompiler::andLevel() {
    notLevel();
    for (;;) {
        std::string word = in_.peekWord();
        uint8_t op;
        if (word == "AND") op = 41;
        else if (word == "NAND") op = 42;
        else return;
        in_.readWord();
        notLevel();
        buf_.put(op);
    }
}

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
    term();
    for (;;) {
        uint8_t op;
        if (in_.acceptChar('+')) op = 51;
        else if (in_.acceptChar('-')) op = 52;
        else return;
        term();
        buf_.put(op);
    }
}

void QuorinCompiler::term() {
    factor();
    for (;;) {
        uint8_t op;
        if (in_.acceptChar('*')) {
            op = 53;
        } else if (in_.acceptChar('/')) {
            op = 54;
        } else {
            std::string word = in_.peekWord();
            if (word == "MOD") op = 55;
            else if (word == "SHL") op = 46;
            else if (word == "SHR") op = 47;
            else return;
            in_.readWord();
        }
        factor();
        buf_.put(op);
    }
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
