/* vx2comp: compiler of V2 projects into the VMC image of the second-generation board.
 *
 * A project is opened, its modules are registered (each with a name and a source that is a file
 * path or a text in the caller's memory), compiled one by one, and for a build the compiles of all
 * modules are bracketed by beginBuild and finishBuild. A successful build leaves the VMC image in
 * the project: written as the .vmc and .dbg files or copied into a caller's buffer.
 *
 * Results: 0 means failure unless a function says otherwise. Every function refuses an unknown
 * handle (0, closed, or never given out) with its failure result, and never lets an error escape;
 * the project stays usable as far as an interrupted call left it. A closed handle is never valid
 * again, also after a new project was opened.
 *
 * Pointers the library keeps (the caller keeps them alive and unchanged in place):
 *   - the message buffer of setMessageBuffer, written by compileModule and finishBuild, until the
 *     next setMessageBuffer of the project or closeProject;
 *   - the module text of addModule / replaceModuleSource in text mode, read by every compileModule
 *     of that module, until its source is replaced, the module is removed (removeModule,
 *     removeAll) or the project is closed.
 * Every other pointer argument is used only during the call; file paths and names are copied.
 *
 * Threads: the library takes no locks for the caller. Never call one project from two threads at
 * once; different projects may be used from different threads. Opening and closing projects may
 * happen on any thread. isValidModuleName builds a shared keyword table on its first call: make
 * that first call before other threads use it.
 *
 * Texts are NUL-terminated 8-bit strings. Compiler message lines read
 * "name (line) : text" plus a line feed; a module compiled without messages gives "name : OK";
 * the name is the module name in text mode and the path as passed in file mode.
 */
#ifndef VX2COMP_H
#define VX2COMP_H

#include <stdint.h>

#if defined(__GNUC__)
#define VX2COMP_API __attribute__((visibility("default")))
#else
#define VX2COMP_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque project handle; 0 is no project. */
typedef uintptr_t Vx2ProjectHandle;

/* Module source modes of addModule and replaceModuleSource. Any mode other than
 * VX2COMP_SOURCE_FILE is text mode. */
#define VX2COMP_SOURCE_FILE 1 /* the source is a file path (copied) */
#define VX2COMP_SOURCE_TEXT 0 /* the source is the module text (kept, not copied) */

/* Results of addModule below 1. */
#define VX2COMP_DUPLICATE_NAME (-1) /* a module of that name (exact, case-sensitive) exists */
#define VX2COMP_INVALID_NAME (-2)   /* the name does not scan as exactly one identifier */

/* Bits of the line-info bytes of getModuleLineInfos (one byte per source line from line 1). */
#define VX2COMP_LINE_CODE 0x01    /* a statement starting on the line produced code */
#define VX2COMP_LINE_MESSAGE 0x80 /* a message was reported on the line */

/* A new project of that name (the name is copied); 0 when the name is null or the project
 * cannot be created. */
VX2COMP_API Vx2ProjectHandle openProject(const char* name);
/* Deletes the project with its modules and image; 1, also for handle 0 (nothing is done);
 * 0 for a closed or unknown handle. The handle is invalid from now on. */
VX2COMP_API int32_t closeProject(Vx2ProjectHandle project);
/* Replaces the stored project name (copied); 1, or 0 for a null name. */
VX2COMP_API int32_t renameProject(Vx2ProjectHandle project, const char* name);
/* 1 when the text scans as exactly one identifier followed by the end of the text, else 0
 * (also for null). Needs no project. */
VX2COMP_API int32_t isValidModuleName(const char* name);
/* Registers a module; the name is copied and stored exactly as passed. Mode VX2COMP_SOURCE_FILE:
 * source is a file path (copied; null gives 0). Other modes: source is the module text, kept
 * (see above); a null text makes a file-mode module whose path is "?" (an empty text).
 * Result: the new module number (1 or more; numbers are not reused until removeAll),
 * VX2COMP_DUPLICATE_NAME, VX2COMP_INVALID_NAME, or 0 on failure. */
VX2COMP_API int32_t addModule(Vx2ProjectHandle project, const char* name, const char* source,
                              int32_t mode);
/* Sets a module's source as addModule does (a null file path gives 0); 1, or 0 for an unknown
 * module number. */
VX2COMP_API int32_t replaceModuleSource(Vx2ProjectHandle project, int32_t module,
                                        const char* source, int32_t mode);
/* Removes every module with its declarations; the next module number is 1 again. 1. */
VX2COMP_API int32_t removeAll(Vx2ProjectHandle project);
/* 1 removed, 0 unknown module number. The module's kept text is no longer read. */
VX2COMP_API int32_t removeModule(Vx2ProjectHandle project, int32_t module);
/* Messages of every later compileModule and finishBuild go into buffer (kept, see above; a call
 * writes at most size bytes, the text and a NUL, from the buffer's first byte, so it holds only
 * the last call's text). 1, or 0 for a null buffer. */
VX2COMP_API int32_t setMessageBuffer(Vx2ProjectHandle project, char* buffer, uint32_t size);
/* Compiles one module, replacing all it declared before. The number of messages (1 or more);
 * -1 when there were none (the buffer then holds "name : OK") and also for an unknown module
 * number (nothing is written then); 0 when no message buffer is set, or on failure. */
VX2COMP_API int32_t compileModule(Vx2ProjectHandle project, int32_t module);
/* Starts a build: the VMC image is unavailable until a successful finishBuild. Compile every
 * module of the image after beginBuild. 1. */
VX2COMP_API int32_t beginBuild(Vx2ProjectHandle project);
/* Ends the build and writes its one message line; 1 when the VMC image is available; 0 when the
 * build failed, when no message buffer is set, or on failure. */
VX2COMP_API int32_t finishBuild(Vx2ProjectHandle project);
/* Copies the first min(length, lines) line-info bytes of the last compile of the module into
 * buffer (no terminator; the rest is untouched; buffer may be null for length 0). 1, or 0 for an
 * unknown module number. */
VX2COMP_API int32_t getModuleLineInfos(Vx2ProjectHandle project, int32_t module, uint8_t* buffer,
                                       uint32_t length);
/* Where the (dotted) identifier text, standing in *module at *line, is declared: on success
 * *module becomes the declaring module's number, *line the declaration line, result 1; 0 when
 * nothing is found (outputs unchanged). */
VX2COMP_API int32_t getIdentDefPos(Vx2ProjectHandle project, const char* text, int32_t* module,
                                   int32_t* line);
/* What can follow text at that place: one line per name with a kind suffix such as
 * " (variable)", each ended by a line feed, then a NUL, cut to size bytes. 1, or 0 when nothing
 * is found. */
VX2COMP_API int32_t getIdentCompletions(Vx2ProjectHandle project, const char* text, int32_t module,
                                        int32_t line, char* buffer, uint32_t size);
/* The dotted full name of what text names at that place (empty when nothing is found), at most
 * size - 1 bytes and a NUL. 1. */
VX2COMP_API int32_t getIdentFullName(Vx2ProjectHandle project, const char* text, int32_t module,
                                     int32_t line, char* buffer, uint32_t size);
/* Writes baseName + ".vmc" and baseName + ".dbg" (empty files when no VMC image is available).
 * 1; 0 when a file cannot be created or written, for a null name, or on failure. */
VX2COMP_API int32_t writeOutputFile(Vx2ProjectHandle project, const char* baseName);
/* Byte size of the binary VMC image; 0 when no image is available. */
VX2COMP_API uint32_t getRequiredVMCBufferSize(Vx2ProjectHandle project);
/* Copies the binary VMC image into buffer (caller-owned, at least getRequiredVMCBufferSize()
 * bytes; used only during the call). 1, also when no image is available (nothing is written);
 * 0 for a null buffer, or on failure. */
VX2COMP_API int32_t fillVMCBuffer(Vx2ProjectHandle project, uint8_t* buffer);

#ifdef __cplusplus
}
#endif

#endif
