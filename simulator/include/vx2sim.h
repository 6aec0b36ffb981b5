/* vx2sim: simulator of the second-generation Vexa board's virtual machine.
 *
 * A machine is created from the .dbg file the compiler writes and stepped one instruction at a
 * time. Every function returns 0 on failure (an unknown handle, a null pointer, an index out of
 * range, a value that cannot be stored) and never lets an error escape. A destroyed handle is
 * never valid again, also after a new machine was created. No pointer argument is kept after the
 * call.
 *
 * Threads: the library takes no locks for the caller. One caller at a time per machine;
 * different machines may be used from different threads, and machines may be created and
 * destroyed on any thread.
 */
#ifndef VX2SIM_H
#define VX2SIM_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VX2SIM_API __attribute__((visibility("default")))

/* Opaque machine handle; 0 is none. */
typedef struct Vx2SimMachine* Vx2SimHandle;

/* Run states of StepInfo.runState. */
enum {
  VX2SIM_RUNNING = 0,
  VX2SIM_HALTED = 1,      /* a halt code is set */
  VX2SIM_ALL_STOPPED = 2, /* every thread's slice is 0, or there are no threads */
  VX2SIM_STACK_OVERFLOW = 3,
  VX2SIM_MATH_ERROR = 4,
  VX2SIM_BAD_ARGUMENT = 5 /* a peripheral was called with an argument out of range */
};

/* Change flags, bits 0..15 of StepInfo.changes. */
enum {
  VX2SIM_CHANGED_MODULE = 0x1,
  VX2SIM_CHANGED_LINE = 0x2,
  VX2SIM_CHANGED_STATEMENT = 0x4, /* the thread stands at the start of another statement */
  VX2SIM_CHANGED_THREAD = 0x8,
  VX2SIM_CHANGED_CALL_DEPTH = 0x10,
  VX2SIM_CHANGED_RUN_STATE = 0x20 /* the run state is not VX2SIM_RUNNING */
};

/* Status bits, accumulated in bits 16..31 of StepInfo.changes (shifted left by 16). */
enum {
  VX2SIM_STATUS_RAM = 0x1,
  VX2SIM_STATUS_PORT = 0x2,
  VX2SIM_STATUS_PLM = 0x4,
  VX2SIM_STATUS_LCD = 0x40
};

/* Variable types of VarInfo.type. */
enum {
  VX2SIM_TYPE_BYTE = 0,
  VX2SIM_TYPE_INT = 1,
  VX2SIM_TYPE_LONG = 2,
  VX2SIM_TYPE_FLOAT = 3,
  VX2SIM_TYPE_STRING = 65535
};

/* The step record; the caller keeps it between calls (bits 16..31 of changes accumulate). */
typedef struct StepInfo {
  int32_t runState;
  int32_t changes;
  int32_t haltCode;
  int32_t module;    /* -1 when the pc is at no statement */
  int32_t line;      /* -1 when the pc is at no statement */
  int32_t statement; /* statement index at the pc, 65535 none */
  int32_t thread;    /* current thread, from 1 */
  int32_t callDepth;
} StepInfo;

typedef struct VarInfo {
  int32_t index; /* 1-based; 0 unknown */
  int32_t type;  /* VX2SIM_TYPE_*; 0 when unknown */
} VarInfo;

/* Bits 0..15: port levels; bits 16..31: port direction (1 = output). */
typedef uint32_t PortState;

typedef struct PlmChannel {
  int32_t timeBase;
  uint16_t period;
  uint16_t pulse;
} PlmChannel;

/* Channels 0 and 1 share time base and period; channel 2 has its own. */
typedef struct PlmSettings {
  PlmChannel channel[3];
} PlmSettings;

/* Sizes of the caller's text buffers. */
#define VX2SIM_STRING_TEXT_SIZE 31 /* getStringText: up to 30 characters and a NUL */
#define VX2SIM_LCD_TEXT_SIZE 19    /* getLCDContent: 8 + LF + 8 + LF + NUL */

/* Opens baseName + ".dbg", loads and resets a machine; 0 when the file does not open or is
 * malformed. */
VX2SIM_API Vx2SimHandle createMachine(const char* baseName);
/* 1, also for a null handle. */
VX2SIM_API int32_t destroyMachine(Vx2SimHandle machine);
VX2SIM_API int32_t resetMachine(Vx2SimHandle machine);
/* Executes until the current thread stands in a statement (normally one instruction). */
VX2SIM_API int32_t step(Vx2SimHandle machine, StepInfo* info);

/* Exact, case-sensitive lookup of a dotted variable name; 0 (index 0, type 0) when unknown. */
VX2SIM_API int32_t getVarInfo(Vx2SimHandle machine, const char* name, VarInfo* info);
/* Variables are addressed by their 1-based index. A local exists only while the current
 * thread executes its procedure. */
VX2SIM_API int32_t getIntegerValue(Vx2SimHandle machine, int32_t index, int32_t* value);
VX2SIM_API int32_t getFloatValue(Vx2SimHandle machine, int32_t index, double* value);
/* Writes VX2SIM_STRING_TEXT_SIZE bytes at most: the characters, then a NUL. */
VX2SIM_API int32_t getStringText(Vx2SimHandle machine, int32_t index, char* text);
VX2SIM_API int32_t setIntegerValue(Vx2SimHandle machine, int32_t index, int32_t value);
VX2SIM_API int32_t setFloatValue(Vx2SimHandle machine, int32_t index, double value);
VX2SIM_API int32_t setStringText(Vx2SimHandle machine, int32_t index, const char* text);
/* Evaluates a constant expression (or takes the text for a string) and stores it; 0 when the
 * text does not parse or the value could not be stored. */
VX2SIM_API int32_t setValueAsText(Vx2SimHandle machine, int32_t index, const char* text);

VX2SIM_API int32_t getPortState(Vx2SimHandle machine, PortState* state);
VX2SIM_API int32_t setPortState(Vx2SimHandle machine, PortState state);
VX2SIM_API int32_t makeInitialPortState(Vx2SimHandle machine);
/* Channel 0..7; 0 for any other channel. */
VX2SIM_API int32_t setADCValue(Vx2SimHandle machine, int32_t channel, int32_t value);
VX2SIM_API int32_t getPLMSettings(Vx2SimHandle machine, PlmSettings* settings);
/* Writes exactly VX2SIM_LCD_TEXT_SIZE bytes. */
VX2SIM_API int32_t getLCDContent(Vx2SimHandle machine, char* text);

#ifdef __cplusplus
}
#endif

#endif
