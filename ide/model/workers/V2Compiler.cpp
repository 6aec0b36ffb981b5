#include "model/workers/V2Compiler.h"

#include "model/core/Helpers.h"
#include "model/libraries/VexaMessage.h"
#include "model/workers/V2Download.h"

#include "vexa/platform/Clock.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>

namespace vexa::ide {

namespace {

using namespace std::chrono_literals;

// A library call that returned 0 inside the worker: its box shows the bare
// "dll function ...() failed" text.
class EInternalError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// F's result; a refused library call becomes an internal error.
template <class F>
auto Internal(F&& Fn) {
  try {
    return Fn();
  } catch (const EV2DllException& e) {
    throw EInternalError(e.what());
  }
}

QString FailureText(const std::exception& E) {
  if (dynamic_cast<const EInternalError*>(&E)) return QString::fromLocal8Bit(E.what());
  return QStringLiteral("internal error \"") + ExceptionClassName(E) + QStringLiteral("\": ") +
         QString::fromLocal8Bit(E.what());
}

TWorkerKit::TSeams KitSeams(TV2Compiler::TSeams& Seams, platform::Clock& Clock) {
  if (!Seams.Invoker) Seams.Invoker = std::make_shared<TQtMainThreadInvoker>();
  return {Seams.Invoker, std::make_shared<TPlatformWorkerClock>(Clock), Seams.Dialogs};
}

// What one round takes from the request box.
struct TRound {
  enum EAction { Reregister, MarkAll, MarkFrom, Compile };
  bool newBuild = false;
  QString outputBaseName;
  EAction action = Compile;
  QString moduleName;
};

// What the end of a round takes: leave the wake, run a download, or go on.
struct TEnd {
  bool leave = false;
  bool download = false;
  int port = 0;
};

}  // namespace

TV2Compiler::TV2Compiler(const QString& ProjectName, TSeams Seams)
    : clock_(Seams.Clock ? *Seams.Clock : platform::SystemClock::instance()),
      library_(ProjectName, Seams.Functions),
      messageSink_(Seams.MessageSink ? std::move(Seams.MessageSink) : &AddToMessageView),
      dialogs_(Seams.Dialogs),
      kit_(KitSeams(Seams, clock_), QStringLiteral("Internal error in TV2Compiler.Execute()")) {
  kit_.Start([this](std::stop_token Stop) { Body(Stop); }, [this] { ReportState(TState::Idle); },
             &FailureText);
}

TV2Compiler::~TV2Compiler() {
  kit_.Stop();
  try {
    library_.Close();
  } catch (const EV2DllException& e) {
    const QString text = QString::fromLocal8Bit(e.what());
    if (dialogs_)
      dialogs_->ShowError(text);
    else
      Dialogs().ShowError(text);
  }
}

void TV2Compiler::Build(const QString& OutputBaseName) {
  requests_.Post([&](TRequest& r) {
    r.MarkAll = true;
    r.Build = true;
    r.ModuleName.clear();
    r.OutputBaseName = OutputBaseName;
  });
}

void TV2Compiler::Download(int Port) {
  requests_.Post([&](TRequest& r) {
    r.Download = true;
    r.Port = Port;
  });
}

void TV2Compiler::RecompileAll() {
  requests_.Post([](TRequest& r) {
    r.RecompileAll = true;
    r.MarkAll = true;
  });
}

void TV2Compiler::CompileModule(const QString& FileName) {
  requests_.Post([&](TRequest& r) { r.ModuleName = FileName; });
}

void TV2Compiler::ReportState(TState State, const QString& Text) {
  kit_.Call([this, State, Text] {
    if (OnStateChange) OnStateChange(*this, State, Text);
  });
}

void TV2Compiler::Body(std::stop_token Stop) {
  while (!Stop.stop_requested()) {
    ReportState(TState::Idle);
    if (!requests_.Wait(Stop)) return;
    std::unique_lock lock(libraryLock_);
    const bool going = Work(Stop);
    lock.unlock();
    if (!going) return;
  }
}

bool TV2Compiler::Work(std::stop_token Stop) {
  ReportState(TState::Working);
  compiling_ = true;
  bool building = false;
  QString outputBaseName;
  while (!Stop.stop_requested()) {
    if (!kit_.Sleep(0ms)) return false;

    TRound round = requests_.Take([](TRequest& r) {
      TRound t;
      if (r.Build) {
        r.Build = false;
        t.newBuild = true;
        t.outputBaseName = std::exchange(r.OutputBaseName, {});
      }
      if (r.RecompileAll) {
        r.RecompileAll = false;
        t.action = TRound::Reregister;
      } else if (r.MarkAll) {
        r.MarkAll = false;
        r.ModuleName.clear();
        t.action = TRound::MarkAll;
      } else if (!r.ModuleName.isEmpty()) {
        t.action = TRound::MarkFrom;
        t.moduleName = std::exchange(r.ModuleName, {});
      }
      return t;
    });
    // Every build request starts a build of its own: the errors of an
    // earlier one are forgotten and the statement positions numbered again.
    if (round.newBuild) {
      building = true;
      outputBaseName = round.outputBaseName;
      hadErrors_ = false;
      Internal([this] { library_.BeginBuild(); });
    }
    switch (round.action) {
      case TRound::Reregister:
        Reregister();
        compiling_ = true;
        continue;
      case TRound::MarkAll:
        for (TModuleListEntry& entry : modules_) entry.Dirty = true;
        compiling_ = true;
        continue;
      case TRound::MarkFrom:
        MarkFrom(round.moduleName);
        compiling_ = true;
        continue;
      case TRound::Compile: break;
    }

    if (compiling_) {
      if (CompileNext()) continue;
      compiling_ = false;
      ReportState(TState::Compiled);
    }

    if (building) {
      building = false;
      if (!hadErrors_) {
        FinalBuildStep(outputBaseName);
        continue;
      }
    }

    // The flag is lowered in the same critical section that finds nothing
    // left to do: a request posted after it wakes the next wait.
    const TEnd end = requests_.Take([](TRequest& r) {
      if (r.RecompileAll || r.MarkAll || r.Build || !r.ModuleName.isEmpty()) return TEnd{};
      if (!r.Download) return TEnd{true, false, 0};
      r.Download = false;
      return TEnd{false, true, r.Port};
    });
    if (end.leave) return true;
    // A download after compile errors is dropped.
    if (end.download && !hadErrors_) RunDownload(end.port, Stop);
  }
  return false;
}

void TV2Compiler::Reregister() {
  modules_.clear();
  Internal([this] { library_.RemoveAll(); });
  const std::optional<QStringList> names = kit_.CallFor([this] {
    QStringList list;
    if (OnGetModuleList) OnGetModuleList(list);
    return list;
  });
  if (!names) return;
  // A refused name is an exception of its own, not an internal error.
  for (const QString& name : *names) modules_.push_back({library_.AddModule(name, {}), name, true});
}

void TV2Compiler::MarkFrom(const QString& FileName) {
  QString name = FileName.mid(
      std::max(FileName.lastIndexOf(QLatin1Char('/')), FileName.lastIndexOf(QLatin1Char('\\'))) +
      1);
  name = name.toLower();
  if (name.endsWith(QLatin1String(".v2"))) name.chop(3);
  auto it = std::find_if(modules_.begin(), modules_.end(),
                         [&](const TModuleListEntry& e) { return e.Name == name; });
  for (; it != modules_.end(); ++it) it->Dirty = true;
}

bool TV2Compiler::CompileNext() {
  auto it = std::find_if(modules_.begin(), modules_.end(),
                         [](const TModuleListEntry& e) { return e.Dirty; });
  if (it == modules_.end()) return false;
  it->Dirty = false;
  const QString name = it->Name;
  const int handle = it->Handle;

  TModuleInfoRec asked;
  asked.Name = name;
  std::optional<TModuleInfoRec> answer = kit_.CallFor([this, asked]() mutable {
    if (OnGetModuleSource) OnGetModuleSource(asked);
    return asked;
  });
  if (!answer || !answer->Valid || answer->Name != name || answer->LineCount < 0) return false;
  TModuleInfoRec info = std::move(*answer);
  info.Valid = true;
  info.Handle = handle;

  info.ErrorCount = Internal([&] {
    library_.ReplaceModuleSource(handle, info.Source);
    return library_.CompileModule(handle);
  });
  if (info.ErrorCount != 0) hadErrors_ = true;
  info.Messages = library_.MessageTextCRLF();
  info.LineInfos = Internal([&] { return library_.GetModuleLineInfos(handle, info.LineCount); });

  kit_.Call([this, info]() mutable {
    if (OnModuleCompiled) OnModuleCompiled(info);
  });
  return true;
}

void TV2Compiler::FinalBuildStep(const QString& OutputBaseName) {
  ReportState(TState::Writing);
  const bool ok = Internal([this] { return library_.FinishBuild(); });
  const QString text = library_.MessageText();
  if (!text.isEmpty()) {
    kit_.Call(
        [this, failed = !ok, text] { messageSink_(MakeMessages(MessageSource, failed, text)); });
  }
  if (ok) {
    Internal([&] { library_.WriteOutputFile(OutputBaseName); });
    ReportState(TState::Built);
  } else {
    ReportState(TState::Failed);
  }
}

void TV2Compiler::RunDownload(int Port, std::stop_token Stop) {
  const std::vector<std::uint8_t> image = Internal([this] { return library_.VMCImage(); });
  TV2Download download(clock_);
  download.OnStatus = [this](const QString& Text) { ReportState(TState::Status, Text); };
  // Stopping ends a blocked read or wait at once.
  std::stop_callback cancel(Stop, [&download] { download.Cancel(); });
  download.Run(Port, image);
}

const TModuleListEntry* TV2Compiler::FindEntry(const QString& Name) const {
  for (auto it = modules_.rbegin(); it != modules_.rend(); ++it)
    if (it->Name == Name) return &*it;
  return nullptr;
}

const TModuleListEntry* TV2Compiler::FindEntry(int Handle) const {
  for (auto it = modules_.rbegin(); it != modules_.rend(); ++it)
    if (it->Handle == Handle) return &*it;
  return nullptr;
}

bool TV2Compiler::GetCompletions(const QString& ModuleName, int Line, const QString& Prefix,
                                 QStringList& List) {
  std::unique_lock lock(libraryLock_, std::try_to_lock);
  if (!lock.owns_lock()) return false;
  const TModuleListEntry* entry = FindEntry(ModuleName);
  if (!entry) return false;
  QStringList lines;
  if (!library_.GetIdentCompletions(Prefix, entry->Handle, Line, lines)) return false;
  lines.sort();
  List = lines;
  return !List.isEmpty();
}

bool TV2Compiler::FindDefinition(const QString& ModuleName, int Line, const QString& Identifier,
                                 int& DefLine, QString& DefModuleName) {
  std::unique_lock lock(libraryLock_, std::try_to_lock);
  if (!lock.owns_lock()) return false;
  const TModuleListEntry* entry = FindEntry(ModuleName);
  if (!entry) return false;
  DefLine = Line;
  int module = entry->Handle;
  if (!library_.GetIdentDefPos(Identifier, module, DefLine)) return false;
  const TModuleListEntry* found = FindEntry(module);
  if (!found) return false;
  DefModuleName = found->Name;
  return true;
}

bool TV2Compiler::GetFullName(const QString& ModuleName, int Line, const QString& Identifier,
                              QString& FullName) {
  std::unique_lock lock(libraryLock_, std::try_to_lock);
  if (!lock.owns_lock()) return false;
  const TModuleListEntry* entry = FindEntry(ModuleName);
  if (!entry) return false;
  FullName = library_.GetIdentFullName(Identifier, entry->Handle, Line);
  return !FullName.isEmpty();
}

}  // namespace vexa::ide
