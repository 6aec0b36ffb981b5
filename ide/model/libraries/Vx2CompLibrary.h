#pragma once

// The IDE's one way into the V2 compiler library: a project handle with the
// buffers and module texts the library keeps pointers to, and every failed
// call turned into one EV2DllException. Texts cross in Windows-1252.
//
// Not thread-safe: one thread at a time uses a TVx2CompLibrary (the library
// takes no locks).

#include "model/libraries/LibraryKit.h"

#include "vx2comp.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vexa::ide {

// A vx2comp call that failed: "dll function " + name + "() failed", with a
// reason for addModule's refusals.
class EV2DllException : public ELibraryException {
 public:
  explicit EV2DllException(const std::string& Message) : ELibraryException(Message) {}
  // The exception of export Function's failure.
  static EV2DllException Failed(const char* Function);
};

// The library's exports as a table; tests replace entries with fakes.
struct TVx2CompFunctions {
  decltype(&::openProject) openProject = &::openProject;
  decltype(&::closeProject) closeProject = &::closeProject;
  decltype(&::isValidModuleName) isValidModuleName = &::isValidModuleName;
  decltype(&::addModule) addModule = &::addModule;
  decltype(&::replaceModuleSource) replaceModuleSource = &::replaceModuleSource;
  decltype(&::removeAll) removeAll = &::removeAll;
  decltype(&::removeModule) removeModule = &::removeModule;
  decltype(&::setMessageBuffer) setMessageBuffer = &::setMessageBuffer;
  decltype(&::compileModule) compileModule = &::compileModule;
  decltype(&::beginBuild) beginBuild = &::beginBuild;
  decltype(&::finishBuild) finishBuild = &::finishBuild;
  decltype(&::getModuleLineInfos) getModuleLineInfos = &::getModuleLineInfos;
  decltype(&::getIdentDefPos) getIdentDefPos = &::getIdentDefPos;
  decltype(&::getIdentCompletions) getIdentCompletions = &::getIdentCompletions;
  decltype(&::getIdentFullName) getIdentFullName = &::getIdentFullName;
  decltype(&::writeOutputFile) writeOutputFile = &::writeOutputFile;
  decltype(&::getRequiredVMCBufferSize) getRequiredVMCBufferSize = &::getRequiredVMCBufferSize;
  decltype(&::fillVMCBuffer) fillVMCBuffer = &::fillVMCBuffer;
};

// One open vx2comp project. Module numbers are the library's (1 and up).
class TVx2CompLibrary {
 public:
  static constexpr std::size_t kMessageBufferSize = 4096;
  static constexpr std::size_t kCompletionBufferSize = 32768;
  static constexpr std::size_t kFullNameBufferSize = 256;

  // openProject(ProjectName); throws when the library refuses.
  explicit TVx2CompLibrary(const QString& ProjectName,
                           const TVx2CompFunctions& Functions = TVx2CompFunctions());
  // Closes a project still open; a failure there is dropped (call Close()
  // first to see it).
  ~TVx2CompLibrary();
  TVx2CompLibrary(const TVx2CompLibrary&) = delete;
  TVx2CompLibrary& operator=(const TVx2CompLibrary&) = delete;

  // closeProject; the module texts are freed even when it fails.
  void Close();
  bool IsOpen() const { return handle_ != 0; }

  bool IsValidModuleName(const QString& Name) const;

  // Registers a module whose source is the bytes Text, passed as they are
  // (kept here while the library reads them); returns its number. Throws for
  // a duplicate or invalid name with the reason in the message.
  int AddModule(const QString& Name, const QByteArray& Text);
  // Gives module Module the source bytes Text; the previous text lives until
  // the library has let go of it.
  void ReplaceModuleSource(int Module, const QByteArray& Text);
  void RemoveModule(int Module);
  // Removes every module; the next number is 1 again.
  void RemoveAll();
  int ModuleCount() const { return int(texts_.size()); }

  // Compiles one module into the message buffer: the number of messages, 0
  // when it compiled without any.
  int CompileModule(int Module);
  // The module's line-info bytes of its last compile, LineCount of them
  // (lines past the library's end stay 0).
  std::vector<std::uint8_t> GetModuleLineInfos(int Module, int LineCount);

  void BeginBuild();
  // The final build step into the message buffer; true when the VMC image
  // is available.
  bool FinishBuild();
  // BaseName + ".vmc" and BaseName + ".dbg".
  void WriteOutputFile(const QString& BaseName);
  std::uint32_t GetRequiredVMCBufferSize();
  // The binary VMC image; empty when no image is available.
  std::vector<std::uint8_t> VMCImage();

  // The text of the last CompileModule or FinishBuild, up to its NUL or the
  // buffer's end (the library may fill all of it).
  QString MessageText() const;
  // That text as lines (see vexa::ide::MessageLines).
  QStringList MessageLines() const;
  // That text trimmed of blanks and control characters at both ends, lines
  // joined with CR LF.
  QString MessageTextCRLF() const;

  // Identifier services; Module is the number of the module Text stands in.
  // Where Text is declared: Module and Line become the declaring module and
  // line; false (both unchanged) when nothing is found.
  bool GetIdentDefPos(const QString& Text, int& Module, int& Line);
  // The completion lines ("name (kind)") in the library's order; false when
  // nothing is found.
  bool GetIdentCompletions(const QString& Text, int Module, int Line, QStringList& Lines);
  // The dotted full name; empty when nothing is found.
  QString GetIdentFullName(const QString& Text, int Module, int Line);

 private:
  void SetMessageBuffer();
  void Check(std::int32_t Result, const char* Function) const;

  TVx2CompFunctions f_;
  Vx2ProjectHandle handle_ = 0;
  // Every module's text by number, alive while the library holds its address
  // (each on the heap: its characters never move).
  std::map<int, std::unique_ptr<const std::string>> texts_;
  // One more byte than the library is told: the text can always end in a NUL.
  std::array<char, kMessageBufferSize + 1> messages_{};
};

}  // namespace vexa::ide
