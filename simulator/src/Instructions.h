// The instruction families that the dispatcher calls, one file each.
#pragma once

#include <vexa/isa.h>

#include "Machine.h"

namespace vexa::vx2sim {

// Calls, returns, threads, sleeping and semaphores.
namespace threads {
void stop(Machine& m);
void sleep(Machine& m);
void capture(Machine& m);
void release(Machine& m);
void returnPlain(Machine& m);
void call(Machine& m, uint16_t pcNow, uint16_t target);
void returnN(Machine& m, uint16_t o);
void returnValue(Machine& m, uint8_t type, uint16_t o);
void start(Machine& m, uint8_t thread);
void setSlice(Machine& m, uint8_t thread);
void restoreSlice(Machine& m, uint8_t thread);
}  // namespace threads

// Conversions, unary operators, the typed operator groups and the math functions.
namespace operators {
void intToLong(Machine& m);
void intToFloat(Machine& m);
void longToInt(Machine& m);
void longToFloat(Machine& m);
void floatToInt(Machine& m);
void floatToLong(Machine& m);
void notFloat(Machine& m);
void negFloat(Machine& m);
void absFloat(Machine& m);
void notInt(Machine& m);
void notLong(Machine& m);
void negInt(Machine& m);
void negLong(Machine& m);
void absInt(Machine& m);
void absLong(Machine& m);
void group(Machine& m, vexa::isa::Op op, uint8_t typePair);
void math(Machine& m, uint8_t function);
}  // namespace operators

// Ports, analog inputs and counters.
namespace ports {
void bitGet(Machine& m);
void nibbleGet(Machine& m);
void byteGet(Machine& m);
void wordGet(Machine& m);
void adcGet(Machine& m);
void bitSet(Machine& m);
void nibbleSet(Machine& m);
void byteSet(Machine& m);
void wordSet(Machine& m);
void bitDeact(Machine& m);
void nibbleDeact(Machine& m);
void byteDeact(Machine& m);
void wordDeact(Machine& m);
void bitToggle(Machine& m);
void bitPulse(Machine& m);
void counterGet(Machine& m);
void frequencyGet(Machine& m);
}  // namespace ports

// System-function modules of class 0x40, selected by the byte.
namespace modules {
void dateTimeGet(Machine& m, uint8_t field);
void clockGet(Machine& m, uint8_t source);
void string(Machine& m, uint8_t function);
void plm(Machine& m, uint8_t function);
void serial(Machine& m, uint8_t function);
void device(Machine& m, vexa::isa::Op module, uint8_t function);
void lcd(Machine& m, uint8_t function);
}  // namespace modules

}  // namespace vexa::vx2sim
