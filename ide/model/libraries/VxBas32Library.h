#pragma once

// The IDE's one way into the VXBasic library: one library instance with the
// source and message buffers it keeps pointers to. Failed calls throw
// EVxBas32Exception; texts cross in Windows-1252.
//
// Not thread-safe: one thread at a time uses a TVxBas32Library.

#include "model/libraries/LibraryKit.h"

#include "vxbas32.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexa::ide {

// A vxbas32 call that failed: "QuorinGetModuleLineInfos() failed", or
// "Internal error: QuorinCreate() failed" for an instance that could not be
// made.
class EVxBas32Exception : public ELibraryException {
 public:
  explicit EVxBas32Exception(const std::string& Message) : ELibraryException(Message) {}
  // The exception of export Function's failure.
  static EVxBas32Exception Failed(const char* Function);
};

// The library's exports as a table; tests replace entries with fakes.
struct TVxBas32Functions {
  decltype(&::QuorinCreate) QuorinCreate = &::QuorinCreate;
  decltype(&::QuorinDestroy) QuorinDestroy = &::QuorinDestroy;
  decltype(&::QuorinSetMemSourcePointer) QuorinSetMemSourcePointer = &::QuorinSetMemSourcePointer;
  decltype(&::QuorinSetCompilerMessageBuffer) QuorinSetCompilerMessageBuffer =
      &::QuorinSetCompilerMessageBuffer;
  decltype(&::QuorinCompile) QuorinCompile = &::QuorinCompile;
  decltype(&::QuorinGetCodeLength) QuorinGetCodeLength = &::QuorinGetCodeLength;
  decltype(&::QuorinGetSysCodeLength) QuorinGetSysCodeLength = &::QuorinGetSysCodeLength;
  decltype(&::QuorinGetModuleLineInfos) QuorinGetModuleLineInfos = &::QuorinGetModuleLineInfos;
  decltype(&::QuorinResetProgram) QuorinResetProgram = &::QuorinResetProgram;
  decltype(&::QuorinStep) QuorinStep = &::QuorinStep;
  decltype(&::QuorinSetInputValue) QuorinSetInputValue = &::QuorinSetInputValue;
  decltype(&::QuorinMapSymbol) QuorinMapSymbol = &::QuorinMapSymbol;
  decltype(&::QuorinSetValue) QuorinSetValue = &::QuorinSetValue;
  decltype(&::QuorinGetValue) QuorinGetValue = &::QuorinGetValue;
  decltype(&::QuorinDownload) QuorinDownload = &::QuorinDownload;
};

// One library instance: a compiled program, its simulated board and its
// download.
class TVxBas32Library {
 public:
  static constexpr std::size_t kMessageBufferSize = 8192;
  // The part of the message buffer the library is told of.
  static constexpr std::size_t kMessageBufferUsed = 8190;

  // What Compile answers: a QUORIN_COMPILE_* status, and for
  // QUORIN_COMPILE_ERRORS the number of errors.
  struct TCompileStatus {
    int Status = 0;
    int ErrorCount = 0;
  };
  // What Step answers: a QUORIN_STEP_* kind and its value (the line, the
  // pause in ms or the error number).
  struct TStepResult {
    int Kind = 0;
    int Value = 0;
  };

  // QuorinCreate; throws "Internal error: QuorinCreate() failed" when the
  // library refuses.
  explicit TVxBas32Library(const TVxBas32Functions& Functions = TVxBas32Functions());
  ~TVxBas32Library();
  TVxBas32Library(const TVxBas32Library&) = delete;
  TVxBas32Library& operator=(const TVxBas32Library&) = delete;

  // Compiles the source bytes Source, passed as they are (kept here while the
  // library reads them), into the message buffer.
  TCompileStatus Compile(const QByteArray& Source);
  // The messages of the last compile.
  QString MessageText() const;
  // The line-info bytes of the last compile, LineCount of them.
  QByteArray GetModuleLineInfos(int LineCount);
  int CodeLength();
  int SysCodeLength();

  // Back to the program's start.
  void ResetProgram();
  TStepResult Step();
  // The value of the INPUT the last step stopped at.
  void SetInputValue(std::int16_t Value);
  // The map code of the symbol Name; 0 when there is none.
  std::uint32_t MapSymbol(const QString& Name);
  // false when the library refuses the value.
  bool SetValue(std::uint32_t Code, std::int16_t Value);
  std::int16_t GetValue(std::uint32_t Code);

  // Sends the compiled program over the open port PortDescriptor: the
  // library's answer (below 0 a QUORIN_DOWNLOAD_* failure).
  std::int32_t Download(std::int32_t PortDescriptor);

 private:
  TVxBas32Functions f_;
  QuorinHandle handle_ = nullptr;
  QByteArray source_;
  std::vector<char> messages_;
};

// Parses a watch value typed by the user (already trimmed and upper-cased):
// "&B" and binary digits, "&H" and hexadecimal digits, or decimal digits
// after an optional "-"; each form needs a digit. The value keeps 15 bits
// before each new digit and is cut to 16 bits. None when the text is not of
// these forms.
std::optional<std::int16_t> ParseBasicInteger(const QString& Text);

}  // namespace vexa::ide
