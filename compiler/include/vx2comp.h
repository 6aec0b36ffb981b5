/* vx2comp: compiler of V2 projects into the VMC image of the second-generation board. */
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

/* Module source modes of addModule and replaceModuleSource. */
#define VX2COMP_SOURCE_FILE 1 /* the source is a file path (copied) */
#define VX2COMP_SOURCE_TEXT 0 /* the source is the module text (kept, not copied) */

VX2COMP_API Vx2ProjectHandle openProject(const char* name);
VX2COMP_API int32_t closeProject(Vx2ProjectHandle project);
VX2COMP_API int32_t renameProject(Vx2ProjectHandle project, const char* name);
VX2COMP_API int32_t isValidModuleName(const char* name);
VX2COMP_API int32_t addModule(Vx2ProjectHandle project, const char* name, const char* source, int32_t mode);
VX2COMP_API int32_t replaceModuleSource(Vx2ProjectHandle project, int32_t module, const char* source, int32_t mode);
VX2COMP_API int32_t removeAll(Vx2ProjectHandle project);
VX2COMP_API int32_t removeModule(Vx2ProjectHandle project, int32_t module);
VX2COMP_API int32_t setMessageBuffer(Vx2ProjectHandle project, char* buffer, uint32_t size);
VX2COMP_API int32_t compileModule(Vx2ProjectHandle project, int32_t module);
VX2COMP_API int32_t beginBuild(Vx2ProjectHandle project);
VX2COMP_API int32_t finishBuild(Vx2ProjectHandle project);
VX2COMP_API int32_t getModuleLineInfos(Vx2ProjectHandle project, int32_t module, uint8_t* buffer, uint32_t length);
VX2COMP_API int32_t getIdentDefPos(Vx2ProjectHandle project, const char* text, int32_t* module, int32_t* line);
VX2COMP_API int32_t getIdentCompletions(Vx2ProjectHandle project, const char* text, int32_t module, int32_t line,
                                        char* buffer, uint32_t size);
VX2COMP_API int32_t getIdentFullName(Vx2ProjectHandle project, const char* text, int32_t module, int32_t line,
                                     char* buffer, uint32_t size);
VX2COMP_API int32_t writeOutputFile(Vx2ProjectHandle project, const char* baseName);
VX2COMP_API uint32_t getRequiredVMCBufferSize(Vx2ProjectHandle project);
VX2COMP_API int32_t fillVMCBuffer(Vx2ProjectHandle project, uint8_t* buffer);

#ifdef __cplusplus
}
#endif

#endif
