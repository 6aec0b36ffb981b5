#pragma once

// The worker thread through which a V2 project drives the compiler library:
// it keeps the library's module list in step with the project, compiles
// changed modules in the background, builds and writes the output files,
// downloads the built program over a serial port and, while it waits,
// lets the main thread ask the library about identifiers.
//
// Threads: everything public runs on the main thread. The four events run on
// the main thread too (through the kit's Call); the worker thread never
// touches a project object. The library is entered by one thread at a time:
// the worker holds the library lock while it works, and the identifier
// services take it with try_lock and answer "not now" (false) instead of
// waiting.

#include "model/core/VexaIntfs.h"
#include "model/libraries/Vx2CompLibrary.h"
#include "model/workers/WorkerKit.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

namespace vexa::platform {
class Clock;
}

namespace vexa::ide {

// One module of the library's list, in module order.
struct TModuleListEntry {
  int Handle = 0;  // the library's module number
  QString Name;
  bool Dirty = true;  // must be compiled
};

// One module handed to OnGetModuleSource (which fills Source, LineCount and
// Valid) and, compiled, to OnModuleCompiled.
struct TModuleInfoRec {
  bool Valid = false;
  QString Name;
  int Handle = 0;
  int LineCount = 0;
  QByteArray Source;  // the bytes saving the module would write, without a BOM
  int ErrorCount = 0;
  QString Messages;                     // the library's message lines, CR LF between them
  std::vector<std::uint8_t> LineInfos;  // one byte per source line
};

// What a TV2Compiler uses from outside; tests give fakes.
struct TV2CompilerSeams {
  TVx2CompFunctions Functions;                  // the library's exports
  std::shared_ptr<IMainThreadInvoker> Invoker;  // none: a Qt invoker made here
  platform::Clock* Clock = nullptr;             // none: the system clock
  std::shared_ptr<IDialogs> Dialogs;            // none: the installed Dialogs()
  // The final build step's messages; none: the message view.
  std::function<void(const QList<Ref<IVexaMessage>>&)> MessageSink;
};

class TV2Compiler {
 public:
  // The states OnStateChange reports.
  enum class TState : int {
    Idle = 0,      // about to wait
    Working = 1,   // woken, working
    Compiled = 2,  // no changed module left
    Writing = 3,   // the final build step starts
    Built = 4,     // output files written
    Failed = 5,    // the final build step failed
    Status = 6,    // download progress or error: the text
  };

  using TSeams = TV2CompilerSeams;

  // Opens the library project ProjectName (throws EV2DllException when the
  // library refuses) and starts the thread; it waits for the first request.
  explicit TV2Compiler(const QString& ProjectName, TSeams Seams = {});
  // Stops and joins the thread (queued events never run), then closes the
  // library project; a failed close shows its error box.
  ~TV2Compiler();
  TV2Compiler(const TV2Compiler&) = delete;
  TV2Compiler& operator=(const TV2Compiler&) = delete;

  // Requests. A build compiles every module, runs the final step when no
  // module had errors and writes OutputBaseName + ".vmc" / ".dbg".
  void Build(const QString& OutputBaseName);
  // Sends the built program to port "COM<Port>" (dropped when the last
  // build had errors).
  void Download(int Port);
  // Registers the modules again (OnGetModuleList) and compiles all of them.
  void RecompileAll();
  // Compiles the module of FileName (directory, case and ".v2" ignored) and
  // every module after it.
  void CompileModule(const QString& FileName);

  // Identifier services; false at once while the worker works.
  bool GetCompletions(const QString& ModuleName, int Line, const QString& Prefix,
                      QStringList& List);
  bool FindDefinition(const QString& ModuleName, int Line, const QString& Identifier, int& DefLine,
                      QString& DefModuleName);
  bool GetFullName(const QString& ModuleName, int Line, const QString& Identifier,
                   QString& FullName);

  // The thread has ended after an error: the owner replaces the worker.
  bool Finished() const { return kit_.Finished(); }

  // Events, set on the main thread, called on the main thread.
  std::function<void(TModuleInfoRec& Info)> OnGetModuleSource;
  std::function<void(TModuleInfoRec& Info)> OnModuleCompiled;
  std::function<void(QStringList& Names)> OnGetModuleList;
  std::function<void(TV2Compiler& Sender, TState State, const QString& Text)> OnStateChange;
  // The source of the final build step's messages.
  Ref<IVexaProject> MessageSource;

 private:
  struct TRequest {
    bool RecompileAll = true;  // the first wake registers and compiles everything
    bool MarkAll = true;
    bool Build = false;
    bool Download = false;
    QString ModuleName;
    QString OutputBaseName;
    int Port = 0;
  };

  void Body(std::stop_token Stop);
  // One wake's work; false when the worker is stopping.
  bool Work(std::stop_token Stop);
  void ReportState(TState State, const QString& Text = {});
  void Reregister();
  void MarkFrom(const QString& FileName);
  // False when no changed module was left (or its source was refused).
  bool CompileNext();
  void FinalBuildStep(const QString& OutputBaseName);
  void RunDownload(int Port, std::stop_token Stop);
  // The entry of Name, searched from the end; none: null.
  const TModuleListEntry* FindEntry(const QString& Name) const;
  const TModuleListEntry* FindEntry(int Handle) const;

  platform::Clock& clock_;
  TVx2CompLibrary library_;
  std::function<void(const QList<Ref<IVexaMessage>>&)> messageSink_;
  std::shared_ptr<IDialogs> dialogs_;  // none: the installed Dialogs()
  // Held by the worker while it works; the main thread only tries it.
  std::mutex libraryLock_;
  // Worker data (read by the services only under the library lock).
  std::vector<TModuleListEntry> modules_;
  bool hadErrors_ = false;
  bool compiling_ = false;

  TWorkerKit kit_;  // stopped first by the destructor: the members above outlive the thread
  TWorkerRequests<TRequest> requests_;
};

}  // namespace vexa::ide
