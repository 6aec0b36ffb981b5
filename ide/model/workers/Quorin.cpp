#include "model/workers/Quorin.h"

#include "model/core/Dialogs.h"
#include "model/core/Services.h"
#include "model/core/TextCodec.h"
#include "model/libraries/VexaMessage.h"
#include "model/settings/Options.h"

#include "vexa/platform/SerialPort.h"

#include <QList>

#include <chrono>
#include <utility>

namespace vexa::ide {

namespace {

using namespace std::chrono_literals;

constexpr auto kRefreshInterval = 200ms;
constexpr auto kWaitRound = 50ms;
constexpr int kPauseSlice = 10;

TWorkerKit::TSeams KitSeams(TQuorinSeams& Seams) {
  if (!Seams.Invoker) Seams.Invoker = std::make_shared<TQtMainThreadInvoker>();
  return {Seams.Invoker, Seams.Clock, Seams.Dialogs};
}

// What the compile fetches on the main thread.
struct TFetched {
  bool Valid = false;
  QByteArray Source;  // the bytes saving the program would write, without a BOM
  int LineCount = 0;
  int Port = 0;
};

}  // namespace

TQuorin::TQuorin(std::weak_ptr<IVexaModule> Module, std::weak_ptr<IVexaProject> Project,
                 TQuorinSeams Seams)
    : module_(std::move(Module)),
      project_(std::move(Project)),
      dialogs_(Seams.Dialogs),
      library_(std::make_unique<TVxBas32Library>(Seams.Functions)),
      kit_(KitSeams(Seams), QStringLiteral("Internal error in TQuorin.Execute()")) {
  kit_.Start([this](std::stop_token Stop) { Body(Stop); },
             [this] { SetState(TState::NotCompiled); });
}

TQuorin::~TQuorin() { Shutdown(); }

void TQuorin::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  kit_.Stop();
  library_.reset();
}

IDialogs& TQuorin::DialogsToUse() { return dialogs_ ? *dialogs_ : Dialogs(); }

// Requests (main thread)

void TQuorin::Post(int Command) {
  if (shutDown_) return;
  requests_.Post([Command](TRequest& r) { r.Command = Command; });
}

void TQuorin::Compile() { Post(CommandCompile); }
void TQuorin::CompileAndDownload() { Post(CommandCompileAndDownload); }

bool TQuorin::CanCompile() {
  const TState state = State();
  return state == TState::NotCompiled || state == TState::Ready;
}

void TQuorin::SourceChanged() { ChangeState(TState::Ready, TState::NotCompiled); }

bool TQuorin::CanClose() {
  const TState state = State();
  if (state != TState::Paused && state != TState::Running) return true;
  if (!DialogsToUse().Confirm(QStringLiteral(
          "Der Simulator ist aktiv, soll das laufende Programm abgebrochen werden?")))
    return false;
  Post(CommandStop);
  return true;
}

bool TQuorin::IsRunning() { return State() == TState::Running; }
bool TQuorin::IsPaused() { return State() == TState::Paused; }

bool TQuorin::CanRun() {
  const TState state = State();
  return state == TState::Ready || state == TState::Paused;
}

bool TQuorin::IsPausedAgain() { return IsPaused(); }
bool TQuorin::CanStepInto() { return false; }
bool TQuorin::CanStepOver() { return CanRun(); }
bool TQuorin::CanStepOut() { return false; }
void TQuorin::Pause() { Post(CommandPause); }
void TQuorin::Stop() { Post(CommandStop); }
void TQuorin::Run() { Post(CommandRun); }

void TQuorin::RunToCursor(int, int Line) {
  cursorLine_.exchange(Line);
  Post(CommandRun);
}

void TQuorin::StepInto() {}
void TQuorin::StepOver() { Post(CommandStep); }
void TQuorin::StepOut() {}

void TQuorin::UpdateBreakpoints() {
  std::vector<int> lines;
  if (Ref<IVexaModule> module = module_.lock()) {
    const int count = module->GetBreakpointCount();
    lines.reserve(std::max(count, 0));
    for (int i = 0; i < count; ++i) lines.push_back(module->GetBreakpoint(i));
  }
  std::lock_guard lock(breakpointsLock_);
  breakpointLines_ = std::move(lines);
}

void TQuorin::Refresh() {
  if (shutDown_) return;
  requests_.Post([](TRequest& r) { r.Refresh = true; });
}

Ref<IVexaProject> TQuorin::GetProject() { return project_.lock(); }
bool TQuorin::IsRunningAgain() { return IsRunning(); }

// State

bool TQuorin::ChangeState(TState From, TState To) {
  TState expected = From;
  return state_.compare_exchange_strong(expected, To, std::memory_order_acq_rel);
}

void TQuorin::SetState(TState State) {
  if (state_.exchange(State, std::memory_order_acq_rel) != State) Notify(State);
}

void TQuorin::Notify(TState State) {
  if (kit_.StopRequested()) return;
  const int line = lastLine_;
  kit_.Call([project = project_, State, line] {
    Ref<IVexaProject> p = project.lock();
    if (!p) return;
    p->RunningChanged(State == TState::Paused || State == TState::Running);
    p->PausedAt(State == TState::Paused, 0, line);
  });
}

// Worker thread

void TQuorin::Body(std::stop_token Stop) {
  while (requests_.Wait(Stop)) {
    auto lastRefresh = kit_.Now();
    while (!Stop.stop_requested()) {
      TakeAndApply();
      if (State() != TState::Running) break;
      StepLoop();
      if (State() == TState::Running && kit_.Now() - lastRefresh >= kRefreshInterval) {
        RefreshWatches();
        lastRefresh = kit_.Now();
      }
    }
    if (Stop.stop_requested()) return;
    // A command that came meanwhile stays pending: a run the user asked for
    // once the program could run is never dropped (Apply ignores the ones
    // that mean nothing in this state).
    if (State() == TState::Ready) {
      library_->ResetProgram();
      lastLine_ = -1;
    }
    RefreshWatches();
  }
}

void TQuorin::TakeAndApply() {
  const int command = requests_.Take([](TRequest& r) {
    r.Refresh = false;
    return std::exchange(r.Command, int(CommandNone));
  });
  Apply(command);
}

void TQuorin::Apply(int Command) {
  switch (Command) {
    case CommandCompile: RunCompile(false); break;
    case CommandCompileAndDownload: RunCompile(true); break;
    case CommandRun:
    case CommandStep: {
      // Only a compiled program runs: a source change may have made it void.
      TState state = State();
      if (state != TState::Ready && state != TState::Paused) {
        cursorLine_.exchange(-1);  // no later run stops there
        break;
      }
      singleStep_ = Command == CommandStep;
      if (ChangeState(state, TState::Running)) Notify(TState::Running);
      break;
    }
    case CommandPause:
      if (ChangeState(TState::Running, TState::Paused)) Notify(TState::Paused);
      break;
    case CommandStop:
      if (ChangeState(TState::Running, TState::Ready) || ChangeState(TState::Paused, TState::Ready))
        Notify(TState::Ready);
      break;
    default: break;
  }
}

void TQuorin::RunCompile(bool Download) {
  SetState(TState::Compiling);
  std::optional<TFetched> fetched = kit_.CallFor([module = module_] {
    if (MessageView) MessageView->Clear();
    TFetched f;
    f.Port = options::DownloadComBASIC;
    Ref<IVexaModule> m = module.lock();
    if (!m) return f;
    if (std::optional<TSourceText> text = m->GetSource()) {
      f.Valid = true;
      // A copy shared with no one: the worker thread frees it, and the
      // reference count of a shared copy would be dropped inside Qt.
      const QByteArray bytes = EncodeWithoutBom(text->Text, text->Encoding);
      f.Source = QByteArray(bytes.constData(), bytes.size());
      f.LineCount = text->LineCount;
    }
    return f;
  });
  if (kit_.StopRequested() || !fetched) return;
  if (!fetched->Valid || fetched->LineCount < 0) {
    SetState(TState::NotCompiled);
    return;
  }

  const TVxBas32Library::TCompileStatus compiled = library_->Compile(fetched->Source);
  TCompileResult result;
  result.Status = compiled.Status;
  result.ErrorCount = compiled.ErrorCount;
  if (result.Status == QUORIN_COMPILE_OK) {
    result.CodeLength = library_->CodeLength();
    result.SysCodeLength = library_->SysCodeLength();
    result.LineInfos = library_->GetModuleLineInfos(fetched->LineCount);
  } else if (result.Status == QUORIN_COMPILE_ERRORS) {
    result.Messages = library_->MessageText();
    result.LineInfos = library_->GetModuleLineInfos(fetched->LineCount);
  }

  const int status = result.Status;
  kit_.Call([module = module_, project = project_, result = std::move(result)] {
    Ref<IVexaModule> m = module.lock();
    Ref<IVexaProject> p = project.lock();
    if (!m || !p) return;
    QList<Ref<IVexaMessage>> messages;
    if (result.Status == QUORIN_COMPILE_ERRORS) {
      messages = MakeModuleErrors(p, m, result.Messages);
    } else {
      messages << std::make_shared<TVexaModuleMessage>(
          p, false,
          QStringLiteral("OK - %1 Byte(s) Programmcode, %2 Byte(s) Systemcode")
              .arg(result.CodeLength)
              .arg(result.SysCodeLength),
          -1, m);
    }
    AddToMessageView(messages);
    m->SetLineInfos(result.ErrorCount > 0, result.LineInfos);
  });
  if (kit_.StopRequested()) return;

  if (status != QUORIN_COMPILE_OK) {
    SetState(TState::NotCompiled);
    return;
  }
  if (Download) {
    SetState(TState::Downloading);
    RunDownload(fetched->Port);
  }
  SetState(TState::Ready);
}

void TQuorin::PostMessage(bool IsError, QString Text) {
  // The text moves to the main thread: no copy stays here.
  kit_.Post([project = project_, IsError, Text = std::move(Text)] {
    Ref<IVexaProject> p = project.lock();
    if (!p) return;
    AddToMessageView({std::make_shared<TVexaMessage>(p, IsError, Text)});
  });
}

void TQuorin::RunDownload(int Port) {
  const int length = library_->CodeLength() + library_->SysCodeLength();
  PostMessage(false, QStringLiteral("Übertrage %1 Byte(s) zur Vexa Unit...").arg(length));
  platform::SerialPort port;
  if (!port.openPort(Port)) {
    PostMessage(true, QStringLiteral("Konnte die Schnittstelle COM%1 nicht öffnen: Fehlercode %2!")
                          .arg(Port)
                          .arg(port.lastError()));
    return;
  }
  const std::int32_t r = library_->Download(port.nativeHandle());
  port.close();
  if (r >= 0)
    PostMessage(false, QStringLiteral("Anwenderprogramm fehlerfrei übertragen"));
  else if (r == QUORIN_DOWNLOAD_READ_FAILED)
    PostMessage(true, QStringLiteral("Keine Verbindung zur Vexa Unit (kein HOST Modus?)"));
  else
    PostMessage(true, QStringLiteral("Übertragung mit Fehler %1 abgebrochen").arg(r));
}

void TQuorin::StepLoop() {
  bool goOn = true;
  while (goOn && State() == TState::Running && !kit_.StopRequested()) {
    goOn = false;
    const auto [kind, value] = library_->Step();
    switch (kind) {
      case QUORIN_STEP_END:
        lastLine_ = -1;
        if (ChangeState(TState::Running, TState::Ready)) Notify(TState::Ready);
        return;
      case QUORIN_STEP_LINE:
      case QUORIN_STEP_LINE_FILE_CHANGED: lastLine_ = value; break;
      case QUORIN_STEP_INPUT: {
        const int preset = inputValue_;
        std::optional<std::optional<int>> answer = kit_.CallFor([dialogs = dialogs_, preset] {
          return (dialogs ? *dialogs : Dialogs()).SimulatorInput(preset);
        });
        if (!answer) return;  // stopping
        if (!*answer) {
          if (ChangeState(TState::Running, TState::Paused)) Notify(TState::Paused);
          return;
        }
        inputValue_ = static_cast<std::int16_t>(**answer & 0xFFFF);
        library_->SetInputValue(inputValue_);
        goOn = true;
        break;
      }
      case QUORIN_STEP_OUTPUT: goOn = true; break;
      case QUORIN_STEP_WAIT:
        if (!kit_.Sleep(kWaitRound)) return;
        TakeAndApply();
        goOn = true;
        break;
      case QUORIN_STEP_PAUSE:
        LongPause(value);
        goOn = true;
        break;
      case QUORIN_STEP_ERROR: {
        // The library rolls the failing statement back: going on would
        // repeat the error forever. Report it once and pause on its line.
        QString text = value == 1   ? QStringLiteral("Division durch 0")
                       : value == 2 ? QStringLiteral("Ungültiger Zugriff auf das Vexa-EEPROM")
                                    : QStringLiteral("I'm panikkking!!!");
        PostMessage(true, std::move(text));
        cursorLine_.exchange(-1);
        if (ChangeState(TState::Running, TState::Paused)) Notify(TState::Paused);
        return;
      }
      default: break;
    }
  }
  if (State() != TState::Running) return;
  const int cursor = cursorLine_.load();
  if (singleStep_ || (cursor >= 0 && cursor == lastLine_) || IsBreakpoint(lastLine_)) {
    cursorLine_.exchange(-1);
    if (ChangeState(TState::Running, TState::Paused)) Notify(TState::Paused);
  }
}

void TQuorin::LongPause(int Duration) {
  const auto end = kit_.Now() + std::chrono::milliseconds(Duration);
  while (kit_.Now() < end && State() == TState::Running) {
    if (!kit_.Sleep(std::chrono::milliseconds(kPauseSlice))) return;
    TakeAndApply();
  }
}

bool TQuorin::IsBreakpoint(int Line) {
  if (Line < 0) return false;
  std::lock_guard lock(breakpointsLock_);
  for (auto it = breakpointLines_.rbegin(); it != breakpointLines_.rend(); ++it)
    if (*it == Line) return true;
  return false;
}

void TQuorin::RefreshWatches() {
  if (kit_.StopRequested()) return;
  kit_.Call([this] {
    Ref<IVexaProject> p = project_.lock();
    if (!p) return;
    const TState state = State();
    const bool active = state == TState::Paused || state == TState::Running;
    for (int i = 0; i < p->GetWatchCount(); ++i)
      if (Ref<IVexaWatch> watch = p->GetWatch(i)) RefreshWatch(watch, active);
    if (WatchesView) WatchesView->RefreshAll();
  });
}

// Main thread, inside a call the worker waits for: the library is ours.
void TQuorin::RefreshWatch(const Ref<IVexaWatch>& Watch, bool Active) {
  if (!Active) Watch->Reset();
  if (Watch->GetIndex() == 0) {
    const std::uint32_t code = library_->MapSymbol(Watch->GetName());
    if (code == 0) {
      Watch->Reset();
      return;
    }
    Watch->SetIndex(int(code));
  }
  const std::uint32_t code = std::uint32_t(Watch->GetIndex());
  if (!Watch->GetTypeText().isEmpty()) {
    const QString text = Watch->GetTypeText().trimmed().toUpper();
    Watch->SetTypeText(QString());
    if (std::optional<std::int16_t> value = ParseBasicInteger(text)) {
      if (!library_->SetValue(code, *value))
        DialogsToUse().ShowError(
            QStringLiteral("Der neue Wert konnte nicht gesetzt werden!\r\nÜberprüfen Sie, dass der "
                           "neue Wert kompatibel zum Typ des Bezeichners ist."));
    } else {
      DialogsToUse().ShowError(QLatin1Char('"') + text +
                               QStringLiteral("\" ist kein gültiger Integerwert!"));
    }
  }
  Watch->SetIntValue(library_->GetValue(code));
}

}  // namespace vexa::ide
