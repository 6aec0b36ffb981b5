/* vxbas32: VXBasic tool chain of the first-generation Vexa board.
 * Compiler to token code, board simulator, value access by map code and
 * serial download, all on an opaque instance handle. Plain C ABI. */
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
enum {
    QUORIN_COMPILE_OK = 0,
    QUORIN_COMPILE_ERRORS = 1,
    QUORIN_COMPILE_NO_SOURCE = 2
};

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

/* Options of QuorinSetOptions. */
enum { QUORIN_OPTION_REALTIME = 1, QUORIN_OPTION_SPEAKER = 2 };

/* Download results below 0. */
enum {
    QUORIN_DOWNLOAD_BAD_BANNER = -1,
    QUORIN_DOWNLOAD_WRITE_FAILED = -2,
    QUORIN_DOWNLOAD_READ_FAILED = -3,
    QUORIN_DOWNLOAD_BAD_ECHO = -4
};

/* A new zero-filled instance, or 0 when memory runs out. */
VXBAS32_API QuorinHandle QuorinCreate(void);
/* Frees the instance; null and unknown handles are ignored. */
VXBAS32_API void QuorinDestroy(QuorinHandle handle);
/* Kept for callers of the old interface: does nothing, returns 0. */
VXBAS32_API int32_t QuorinSetBASFileName(QuorinHandle handle, const char* fileName);
/* Remembers the NUL-terminated source text (not copied); 1, or 0 for a bad handle. */
VXBAS32_API int32_t QuorinSetMemSourcePointer(QuorinHandle handle, const char* source);
/* Remembers the message buffer and fills it with 0; 1, or 0 for a bad handle. */
VXBAS32_API int32_t QuorinSetCompilerMessageBuffer(QuorinHandle handle, char* buffer, int32_t size);
/* Compiles the source in two passes; QuorinCompileStatus. */
VXBAS32_API uint32_t QuorinCompile(QuorinHandle handle, const char* baseDirectory);
VXBAS32_API uint16_t QuorinGetCodeLength(QuorinHandle handle);
VXBAS32_API uint16_t QuorinGetSysCodeLength(QuorinHandle handle);
/* Copies min(length, lines) line-info bytes; 1, or 0 on failure. */
VXBAS32_API int32_t QuorinGetModuleLineInfos(QuorinHandle handle, uint8_t* buffer, int32_t length);
VXBAS32_API void QuorinResetProgram(QuorinHandle handle);
VXBAS32_API void QuorinSetOptions(QuorinHandle handle, uint32_t options);
VXBAS32_API int32_t QuorinIsValidBreakPoint(QuorinHandle handle, uint16_t line);
/* Runs to the next line marker; QuorinStepResult. */
VXBAS32_API uint32_t QuorinStep(QuorinHandle handle);
VXBAS32_API void QuorinSetInputValue(QuorinHandle handle, int16_t value);
/* The collected output (owned by the instance, valid until the next call);
 * the collector is emptied. Null for a bad handle. */
VXBAS32_API const char* QuorinGetOutputString(QuorinHandle handle);
VXBAS32_API uint32_t QuorinMapSymbol(QuorinHandle handle, const char* name);
VXBAS32_API uint32_t MakeQuorinMapCode(uint8_t kind, uint8_t space, uint16_t index);
/* 1, or 0 when the value is out of range for the map code's kind. */
VXBAS32_API int32_t QuorinSetValue(QuorinHandle handle, uint32_t mapCode, int16_t value);
VXBAS32_API uint16_t QuorinGetValue(QuorinHandle handle, uint32_t mapCode);
/* Data-file length in 16-bit words. */
VXBAS32_API uint16_t QuorinGetFileLength(QuorinHandle handle);
/* Copies QuorinGetFileLength() words into words; returns their number. */
VXBAS32_API int32_t QuorinDumpFile(QuorinHandle handle, int16_t* words);
/* Driven mask in the high 16 bits, levels in the low 16 bits. */
VXBAS32_API uint32_t QuorinGetPortState(QuorinHandle handle);
VXBAS32_API void QuorinSetInitialPortState(QuorinHandle handle, uint16_t levels);
VXBAS32_API uint16_t QuorinGetInitialPortState(QuorinHandle handle);
VXBAS32_API void QuorinSetADC(QuorinHandle handle, int32_t channel, uint8_t value);
VXBAS32_API uint8_t QuorinGetADC(QuorinHandle handle, int32_t channel);
VXBAS32_API uint8_t QuorinGetDAC(QuorinHandle handle, int32_t channel);
/* Sends the download image over the caller's open serial port (a file
 * descriptor); bytes sent, or QUORIN_DOWNLOAD_* below 0. */
VXBAS32_API int32_t QuorinDownload(QuorinHandle handle, int32_t portDescriptor);
VXBAS32_API uint16_t QuorinGetProgress(QuorinHandle handle);

#ifdef __cplusplus
}
#endif

#endif
