/* vxbas32: VXBasic tool chain of the first-generation Vexa board.
 * Compiler to token code, board simulator, value access by map code and
 * serial download, all on an opaque instance handle. Plain C ABI.
 *
 * Handles: QuorinCreate gives an instance; every other function but
 * MakeQuorinMapCode takes it first. Every function refuses an unknown handle
 * (null, destroyed, or never given out) with the failure result written at
 * the function, changes nothing then, and never lets an error escape. A
 * destroyed handle is never valid again, also after a new instance was
 * created.
 *
 * Pointers the library keeps (the caller keeps them alive and unchanged):
 *   - the source text of QuorinSetMemSourcePointer, read by every
 *     QuorinCompile, until the next QuorinSetMemSourcePointer or
 *     QuorinDestroy;
 *   - the message buffer of QuorinSetCompilerMessageBuffer, written by every
 *     QuorinCompile, until the next QuorinSetCompilerMessageBuffer or
 *     QuorinDestroy.
 * The text of QuorinGetOutputString is the instance's: valid until the next
 * QuorinGetOutputString or QuorinDestroy of that handle. Every other pointer
 * is used only during the call.
 *
 * Threads: the library starts no threads and takes no locks for the caller.
 * Never call one instance from two threads at once; the one exception is
 * QuorinGetProgress, which may watch a QuorinDownload running on another
 * thread. Different instances may be used from different threads, and
 * instances may be created and destroyed on any thread.
 *
 * 16-bit results are returned in the low half of the result. */
#ifndef VXBAS32_H
#define VXBAS32_H

#include <stdint.h>

#if defined(__GNUC__)
#define VXBAS32_API __attribute__((visibility("default")))
#else
#define VXBAS32_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque, pointer-sized handle of one library instance. */
typedef struct QuorinInstanceOpaque* QuorinHandle;

/* QuorinCompileStatus: low 16 bits 0 success, 1 errors, 2 no source or out of
 * memory; high 16 bits the number of errors (status 1 only). */
enum { QUORIN_COMPILE_OK = 0, QUORIN_COMPILE_ERRORS = 1, QUORIN_COMPILE_NO_SOURCE = 2 };

/* QuorinStepResult: kind in the low 16 bits, value in the high 16 bits. */
enum {
  QUORIN_STEP_END = 0,
  QUORIN_STEP_LINE = 1,
  QUORIN_STEP_INPUT = 2,
  QUORIN_STEP_OUTPUT = 3,
  QUORIN_STEP_WAIT = 4,
  QUORIN_STEP_PAUSE = 5,
  QUORIN_STEP_LINE_FILE_CHANGED = 6,
  QUORIN_STEP_ERROR = 0xFFFF
};

/* QuorinMapCode: kind in bits 24-31, space in bits 16-23, index in bits 0-15. */
enum { QUORIN_KIND_WORD = 1, QUORIN_KIND_BYTE = 2, QUORIN_KIND_BIT = 3 };
enum {
  QUORIN_SPACE_RAM = 1,
  QUORIN_SPACE_PORTS = 2,
  QUORIN_SPACE_ANALOG_IN = 3,
  QUORIN_SPACE_ANALOG_OUT = 4,
  QUORIN_SPACE_SYSTEM = 5
};

/* Indexes of QUORIN_SPACE_SYSTEM. */
enum {
  QUORIN_SYSTEM_YEAR = 0,
  QUORIN_SYSTEM_MONTH = 1,
  QUORIN_SYSTEM_DAY = 2,
  QUORIN_SYSTEM_DOW = 3,
  QUORIN_SYSTEM_HOUR = 4,
  QUORIN_SYSTEM_MINUTE = 5,
  QUORIN_SYSTEM_SECOND = 6,
  QUORIN_SYSTEM_TIMER = 7,
  QUORIN_SYSTEM_TICKS = 8, /* tone register */
  QUORIN_SYSTEM_FREQ1 = 9,
  QUORIN_SYSTEM_FREQ2 = 10,
  QUORIN_SYSTEM_FILEFREE = 11,
  QUORIN_SYSTEM_FILE_LENGTH = 12 /* data-file length in bytes */
};

/* Options of QuorinSetOptions. */
enum { QUORIN_OPTION_REALTIME = 1, QUORIN_OPTION_SPEAKER = 2 };

/* Download results below 0. */
enum {
  QUORIN_DOWNLOAD_BAD_BANNER = -1,
  QUORIN_DOWNLOAD_WRITE_FAILED = -2,
  QUORIN_DOWNLOAD_READ_FAILED = -3,
  QUORIN_DOWNLOAD_BAD_ECHO = -4
};

/* A new zero-filled instance, or 0 when memory runs out or too many
 * instances are live. */
VXBAS32_API QuorinHandle QuorinCreate(void);
/* Frees the instance with everything it owns; the handle is invalid from now
 * on. Null and unknown handles are ignored. */
VXBAS32_API void QuorinDestroy(QuorinHandle handle);
/* Kept for callers of the old interface: does nothing, returns 0. */
VXBAS32_API int32_t QuorinSetBASFileName(QuorinHandle handle, const char* fileName);
/* Remembers the NUL-terminated source text (kept, see above; null means no
 * source). 1, or 0 for a bad handle. */
VXBAS32_API int32_t QuorinSetMemSourcePointer(QuorinHandle handle, const char* source);
/* Remembers the message buffer (kept, see above) and fills its size bytes with
 * 0; a null buffer or a size below 1 means no messages. Each compile appends
 * "BASIC-Modul (line) : text" lines with CR LF and keeps the text
 * NUL-terminated inside the buffer, cutting what does not fit. 1, or 0 for a
 * bad handle (the buffer is untouched then). */
VXBAS32_API int32_t QuorinSetCompilerMessageBuffer(QuorinHandle handle, char* buffer, int32_t size);
/* Compiles the source in two passes; baseDirectory (may be null; used only
 * during the call) is where TABLE and SYSCODE files are read. The result is a
 * QuorinCompileStatus: QUORIN_COMPILE_OK, QUORIN_COMPILE_ERRORS with the
 * error count in the high 16 bits, or QUORIN_COMPILE_NO_SOURCE (no source, out
 * of memory, or a bad handle). Replaces the download image, symbols,
 * breakpoint lines and line infos; reset the program afterwards. */
VXBAS32_API uint32_t QuorinCompile(QuorinHandle handle, const char* baseDirectory);
/* Code length of the download image in bytes; 0 for a bad handle. */
VXBAS32_API uint16_t QuorinGetCodeLength(QuorinHandle handle);
/* System-code length in bytes (0..254); 0 for a bad handle. */
VXBAS32_API uint16_t QuorinGetSysCodeLength(QuorinHandle handle);
/* Copies min(length, lines) line-info bytes of the last compile (bit 0: the
 * line produced code; bit 7: an error was reported on it); the rest of the
 * buffer is untouched. 1, or 0 for a null buffer with a length above 0, a bad
 * handle or a failure. */
VXBAS32_API int32_t QuorinGetModuleLineInfos(QuorinHandle handle, uint8_t* buffer, int32_t length);
/* Resets the simulated board and program to the start; nothing for a bad
 * handle. */
VXBAS32_API void QuorinResetProgram(QuorinHandle handle);
/* QUORIN_OPTION_* bits; nothing for a bad handle. */
VXBAS32_API void QuorinSetOptions(QuorinHandle handle, uint32_t options);
/* 1 when the compile emitted a line marker for that line, else 0 (also for a
 * bad handle). */
VXBAS32_API int32_t QuorinIsValidBreakPoint(QuorinHandle handle, uint16_t line);
/* Runs to the next line marker; a QuorinStepResult: kind in the low 16 bits
 * (QUORIN_STEP_*), value in the high 16 bits. QUORIN_STEP_ERROR with value 0
 * for a bad handle. */
VXBAS32_API uint32_t QuorinStep(QuorinHandle handle);
/* Answers a waiting GET or INPUT; nothing for a bad handle. */
VXBAS32_API void QuorinSetInputValue(QuorinHandle handle, int16_t value);
/* The collected output (owned by the instance, see above); the collector is
 * emptied. Null for a bad handle. */
VXBAS32_API const char* QuorinGetOutputString(QuorinHandle handle);
/* The QuorinMapCode of a symbol of the last compile, names compared without
 * regard to case; 0 when unknown, for a null name or a bad handle. */
VXBAS32_API uint32_t QuorinMapSymbol(QuorinHandle handle, const char* name);
/* index | ((kind << 8) | space) << 16; needs no handle. */
VXBAS32_API uint32_t MakeQuorinMapCode(uint8_t kind, uint8_t space, uint16_t index);
/* Writes simulated storage. 1, or 0 when the value is out of range for the
 * map code's kind, or for a bad handle. */
VXBAS32_API int32_t QuorinSetValue(QuorinHandle handle, uint32_t mapCode, int16_t value);
/* Reads simulated storage; 0 for a bad handle. */
VXBAS32_API uint16_t QuorinGetValue(QuorinHandle handle, uint32_t mapCode);
/* Data-file length in 16-bit words; 0 for a bad handle. */
VXBAS32_API uint16_t QuorinGetFileLength(QuorinHandle handle);
/* Copies QuorinGetFileLength() words into words (caller-owned, used only
 * during the call); returns their number; 0 for null words or a bad handle. */
VXBAS32_API int32_t QuorinDumpFile(QuorinHandle handle, int16_t* words);
/* Driven mask in the high 16 bits, levels in the low 16 bits; 0 for a bad
 * handle. */
VXBAS32_API uint32_t QuorinGetPortState(QuorinHandle handle);
/* The port levels a reset installs; nothing for a bad handle. */
VXBAS32_API void QuorinSetInitialPortState(QuorinHandle handle, uint16_t levels);
/* The initial port levels; 0 for a bad handle. */
VXBAS32_API uint16_t QuorinGetInitialPortState(QuorinHandle handle);
/* Sets analog input 0..7 (other channels are ignored); nothing for a bad
 * handle. */
VXBAS32_API void QuorinSetADC(QuorinHandle handle, int32_t channel, uint8_t value);
/* Analog input 0..7; 0 for other channels or a bad handle. */
VXBAS32_API uint8_t QuorinGetADC(QuorinHandle handle, int32_t channel);
/* Analog output 0..1; 0 for other channels or a bad handle. */
VXBAS32_API uint8_t QuorinGetDAC(QuorinHandle handle, int32_t channel);
/* Sends the download image of the last compile over the caller's open serial
 * port (a file descriptor; set up here, left open, closed by the caller);
 * bytes sent, or QUORIN_DOWNLOAD_* below 0 (QUORIN_DOWNLOAD_WRITE_FAILED for a
 * bad handle). */
VXBAS32_API int32_t QuorinDownload(QuorinHandle handle, int32_t portDescriptor);
/* Download progress in percent, 0..100; 0 for a bad handle. */
VXBAS32_API uint16_t QuorinGetProgress(QuorinHandle handle);

#ifdef __cplusplus
}
#endif

#endif
