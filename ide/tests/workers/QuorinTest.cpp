#include "model/workers/Quorin.h"

#include "BasicPrograms.h"
#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "model/core/Services.h"
#include "model/projects/VexaWatch.h"
#include "model/settings/Options.h"
#include "model/workers/MainThreadInvoker.h"

#include "boardemu/FirstGenBoard.h"
#include "vxbas32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vexa::ide {
namespace {

using namespace std::chrono_literals;
using ::testing::_;
using ::testing::NiceMock;

using test::kInput;
using test::kLoop;
using test::kLoopBody;
const char* const kErrors =
    "NEXT\n"
    "PRINT 1\n"
    "GOTO NOWHERE\n"
    "END END";
constexpr int kDivisionLine = 4;
const char* const kDivision =
    "DEFINE A WORD\n"
    "DEFINE I WORD\n"
    "FOR I = 1 TO 30000\n"
    "A = 5 / A\n"
    "NEXT\n";

int LineCountOf(const QString& Text) { return int(Text.count(QLatin1Char('\n'))) + 1; }

// The messages of the message view; main thread.
struct TSeen {
  QStringList texts;
  std::vector<int> lines;
  std::vector<TMessageKind> kinds;
  int clears = 0;
};

class QuorinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manual_ = std::make_shared<TManualInvoker>();
    dialogs_ = std::make_shared<test::TFakeDialogs>();
    view_ = std::make_shared<NiceMock<test::MockMessageView>>();
    ON_CALL(*view_, Add).WillByDefault([this](const Ref<IVexaMessage>& M) {
      Touch();
      seen_.texts << M->GetText();
      seen_.lines.push_back(M->GetLine());
      seen_.kinds.push_back(M->GetKind());
    });
    ON_CALL(*view_, Clear).WillByDefault([this] { seen_ = TSeen{{}, {}, {}, seen_.clears + 1}; });
    MessageView = view_;
    watchesView_ = std::make_shared<NiceMock<test::MockWatchesView>>();
    ON_CALL(*watchesView_, RefreshAll).WillByDefault([this] {
      ++rests_;
      if (onRest_) onRest_();
    });
    WatchesView = watchesView_;

    module_ = std::make_shared<NiceMock<test::MockVexaModule>>();
    project_ = std::make_shared<NiceMock<test::MockVexaProject>>();
    ON_CALL(*module_, GetSource).WillByDefault([this]() -> std::optional<TSourceText> {
      Touch();
      if (!sourceValid_) return std::nullopt;
      return TSourceText{source_, LineCountOf(source_)};
    });
    ON_CALL(*module_, SetLineInfos).WillByDefault([this](bool HasErrors, const QByteArray& Infos) {
      Touch();
      hasErrors_ = HasErrors;
      infos_ = Infos;
      ++lineInfoCalls_;
    });
    ON_CALL(*module_, GetBreakpointCount).WillByDefault([this] {
      return int(breakpoints_.size());
    });
    ON_CALL(*module_, GetBreakpoint).WillByDefault([this](int I) { return breakpoints_.at(I); });
    ON_CALL(*project_, GetWatchCount).WillByDefault([this] {
      Touch();
      return int(watches_.size());
    });
    ON_CALL(*project_, GetWatch).WillByDefault([this](int I) { return watches_.at(I); });
    ON_CALL(*project_, RunningChanged).WillByDefault([this](bool Running) {
      Touch();
      running_.push_back(Running);
    });
    ON_CALL(*project_, PausedAt).WillByDefault([this](bool Show, int, int Line) {
      Touch();
      if (!Show) return;
      pausedAt_.push_back(Line);
      if (onPaused_) onPaused_();
    });
    options::DownloadComBASIC = 7;
  }

  void TearDown() override {
    quorin_.reset();
    ::unsetenv("VEXA_COM7");
    MessageView.reset();
    WatchesView.reset();
  }

  // A call of the project's side after the worker was shut down is a fault.
  void Touch() {
    if (closed_) ++callsAfterClose_;
  }

  TQuorin& Make() {
    TQuorinSeams seams;
    seams.Invoker = manual_;
    seams.Dialogs = dialogs_;
    quorin_ = std::make_unique<TQuorin>(module_, project_, seams);
    return *quorin_;
  }

  // Runs Action, then pumps until the worker comes to rest in State (the
  // watches are refreshed then, while the worker waits).
  template <class F>
  bool Rest(TQuorin::TState State, F&& Action, std::chrono::milliseconds Timeout = 5s) {
    bool rested = false;
    onRest_ = [&] { rested = rested || quorin_->State() == State; };
    Action();
    const bool done = manual_->PumpUntil([&] { return rested; }, Timeout);
    onRest_ = nullptr;
    return done;
  }

  bool Compiled(const QString& Source) {
    source_ = Source;
    return Rest(TQuorin::TState::Ready, [this] { quorin_->Compile(); });
  }

  Ref<TVexaBASICWatch> AddWatch(const QString& Name) {
    auto watch = std::make_shared<TVexaBASICWatch>(Name);
    watches_.push_back(watch);
    return watch;
  }

  std::shared_ptr<TManualInvoker> manual_;
  std::shared_ptr<test::TFakeDialogs> dialogs_;
  std::shared_ptr<NiceMock<test::MockMessageView>> view_;
  std::shared_ptr<NiceMock<test::MockWatchesView>> watchesView_;
  std::shared_ptr<NiceMock<test::MockVexaModule>> module_;
  std::shared_ptr<NiceMock<test::MockVexaProject>> project_;
  std::unique_ptr<TQuorin> quorin_;

  QString source_;
  bool sourceValid_ = true;
  TSeen seen_;
  int rests_ = 0;
  std::function<void()> onRest_;
  bool hasErrors_ = false;
  QByteArray infos_;
  int lineInfoCalls_ = 0;
  std::vector<int> breakpoints_;
  std::vector<Ref<IVexaWatch>> watches_;
  std::vector<bool> running_;
  std::vector<int> pausedAt_;
  std::function<void()> onPaused_;
  bool closed_ = false;
  int callsAfterClose_ = 0;
};

// The lengths a separate library instance reports for Source.
std::pair<int, int> LengthsOf(const char* Source) {
  QuorinHandle h = QuorinCreate();
  QuorinSetMemSourcePointer(h, Source);
  QuorinCompile(h, nullptr);
  std::pair<int, int> lengths{QuorinGetCodeLength(h), QuorinGetSysCodeLength(h)};
  QuorinDestroy(h);
  return lengths;
}

TEST_F(QuorinTest, ErrorsKeepTheProgramFromRunningAndPointAtTheirLines) {
  TQuorin& q = Make();
  source_ = kErrors;
  ASSERT_TRUE(Rest(TQuorin::TState::NotCompiled, [&] { q.Compile(); }));
  EXPECT_FALSE(q.CanRun());
  EXPECT_FALSE(q.CanStepOver());
  EXPECT_TRUE(q.CanCompile());
  EXPECT_EQ(seen_.texts,
            (QStringList{"BASIC-Modul (1) : NEXT ohne FOR", "BASIC-Modul (4) : Zeilenende erwartet",
                         "BASIC-Modul (3) : undefiniertes Label NOWHERE"}));
  EXPECT_EQ(seen_.lines, (std::vector<int>{1, 4, 3}));
  EXPECT_EQ(seen_.kinds, std::vector<TMessageKind>(3, TMessageKind::Error));
  EXPECT_TRUE(hasErrors_);
  EXPECT_EQ(infos_, QByteArray("\x80\x01\x81\x80", 4));
  // A run request on a program that did not compile changes nothing, and
  // its cursor line is forgotten.
  running_.clear();
  ASSERT_TRUE(Rest(TQuorin::TState::NotCompiled, [&] { q.RunToCursor(0, 2); }));
  EXPECT_TRUE(running_.empty());
  ASSERT_TRUE(Compiled("PRINT 1\nPRINT 2\nPRINT 3\n"));
  ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { q.Run(); }));
  EXPECT_TRUE(pausedAt_.empty());
  EXPECT_TRUE(dialogs_->calls.empty());
}

TEST_F(QuorinTest, ACleanCompileReportsTheLengthsAndTheLinesWithCode) {
  TQuorin& q = Make();
  ASSERT_TRUE(Compiled(kLoop));
  const auto [code, sys] = LengthsOf(kLoop);
  ASSERT_GT(code, 0);
  EXPECT_EQ(seen_.texts,
            QStringList{
                QString("OK - %1 Byte(s) Programmcode, %2 Byte(s) Systemcode").arg(code).arg(sys)});
  EXPECT_EQ(seen_.lines, std::vector<int>{-1});
  EXPECT_EQ(seen_.kinds, std::vector<TMessageKind>{TMessageKind::Information});
  EXPECT_GE(seen_.clears, 1);
  EXPECT_FALSE(hasErrors_);
  ASSERT_EQ(infos_.size(), LineCountOf(kLoop));
  EXPECT_TRUE(infos_[kLoopBody - 1] & 1);
  EXPECT_TRUE(q.CanRun());
  EXPECT_TRUE(q.CanStepOver());
  EXPECT_FALSE(q.CanStepInto());
  EXPECT_FALSE(q.CanStepOut());
  // The text changes: the program no longer counts.
  q.SourceChanged();
  EXPECT_EQ(q.State(), TQuorin::TState::NotCompiled);
  EXPECT_FALSE(q.CanRun());
}

TEST_F(QuorinTest, AFailedSourceFetchCompilesNothing) {
  TQuorin& q = Make();
  ASSERT_TRUE(Compiled(kLoop));
  sourceValid_ = false;
  ASSERT_TRUE(Rest(TQuorin::TState::NotCompiled, [&] { q.Compile(); }));
  EXPECT_EQ(lineInfoCalls_, 1);  // only the first compile's
  EXPECT_TRUE(seen_.texts.isEmpty());
  EXPECT_FALSE(q.CanRun());
}

TEST_F(QuorinTest, RunToCursorPausesOnceAndForgetsTheLine) {
  TQuorin& q = Make();
  auto s = AddWatch("s");
  auto i = AddWatch("I");
  ASSERT_TRUE(Compiled(kLoop));
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.RunToCursor(0, kLoopBody); }));
  EXPECT_EQ(pausedAt_, std::vector<int>{kLoopBody});
  EXPECT_TRUE(q.IsPaused());
  EXPECT_TRUE(q.CanRun());
  EXPECT_EQ(i->GetValueText(), "1");
  EXPECT_EQ(s->GetValueText(), "0");  // the line has not run yet
  running_.clear();
  // Run goes through the body four more times without stopping there.
  ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { q.Run(); }));
  EXPECT_EQ(pausedAt_, std::vector<int>{kLoopBody});
  EXPECT_EQ(running_, (std::vector<bool>{true, false}));
}

TEST_F(QuorinTest, BreakpointsSingleStepsPauseAndStop) {
  TQuorin& q = Make();
  auto i = AddWatch("I");
  ASSERT_TRUE(Compiled(kLoop));
  breakpoints_ = {kLoopBody};
  q.UpdateBreakpoints();
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.Run(); }));
  EXPECT_EQ(i->GetValueText(), "1");
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.Run(); }));
  EXPECT_EQ(i->GetValueText(), "2");
  EXPECT_EQ(pausedAt_, (std::vector<int>{kLoopBody, kLoopBody}));
  // A single step goes to the next line.
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.StepOver(); }));
  EXPECT_EQ(pausedAt_.back(), kLoopBody + 1);
  // Stop resets the program: the watches show the values after a reset.
  ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { q.Stop(); }));
  EXPECT_EQ(i->GetValueText(), "0");
  breakpoints_.clear();
  q.UpdateBreakpoints();
  ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { q.Run(); }));
  EXPECT_EQ(pausedAt_.size(), 3u);
}

TEST_F(QuorinTest, ACancelledInputPausesAndRunAsksAgain) {
  TQuorin& q = Make();
  auto x = AddWatch("X");
  ASSERT_TRUE(Compiled(kInput));
  dialogs_->simulatorInputAnswers = {std::nullopt, 5};
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.Run(); }));
  EXPECT_EQ(dialogs_->simulatorInputPresets.size(), 1u);
  EXPECT_TRUE(q.CanRun());
  ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { q.Run(); }));
  EXPECT_EQ(dialogs_->simulatorInputPresets.size(), 2u);
  // Back at rest the program was reset; the next run presets the last value.
  dialogs_->simulatorInputAnswers = {std::nullopt};
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.Run(); }));
  EXPECT_EQ(dialogs_->simulatorInputPresets, (std::vector<int>{0, 0, 5}));
  (void)x;
}

TEST_F(QuorinTest, TheValueEnteredReachesTheProgramAndTheWatchFormats) {
  TQuorin& q = Make();
  auto x = AddWatch("x");
  ASSERT_TRUE(Compiled(kInput));
  dialogs_->simulatorInputAnswers = {5};
  breakpoints_ = {3};
  q.UpdateBreakpoints();
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.Run(); }));
  EXPECT_EQ(x->GetValueText(), "5");
  x->SetFormat(TWatchFormat::Hex);
  EXPECT_EQ(x->GetValueText(), "&H0005");
  x->SetFormat(TWatchFormat::Binary);
  EXPECT_EQ(x->GetValueText(), "&B0000000000000101");
  // 70000 is cut to the program's 16 bits.
  dialogs_->simulatorInputAnswers = {70000};
  ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { q.Stop(); }));
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.Run(); }));
  x->SetFormat(TWatchFormat::Decimal);
  EXPECT_EQ(x->GetValueText(), QString::number(std::int16_t(70000 & 0xFFFF)));
}

TEST_F(QuorinTest, TypedWatchValuesAreWrittenOrRefused) {
  TQuorin& q = Make();
  auto x = AddWatch("X");
  ASSERT_TRUE(Compiled(QString("DEFINE B BYTE\n") + kInput));
  auto b = AddWatch("b");
  struct TCase {
    const char* typed;
    const char* shown;
  };
  for (const TCase& c : {TCase{" &h7fff ", "32767"}, TCase{"32767", "32767"}, TCase{"-1", "-1"},
                         TCase{"&B101", "5"}, TCase{"&HFFFF", "-1"}}) {
    x->SetTypeText(c.typed);
    ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { q.Refresh(); })) << c.typed;
    EXPECT_EQ(x->GetValueText(), c.shown) << c.typed;
    EXPECT_TRUE(x->GetTypeText().isEmpty());
  }
  EXPECT_TRUE(dialogs_->calls.empty());
  // Refused texts write nothing: the value is the reset program's.
  for (const char* bad : {"12A", "&B102", "&H", "-", "1-"}) {
    x->SetTypeText(bad);
    ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { q.Refresh(); })) << bad;
    EXPECT_EQ(x->GetValueText(), "0") << bad;
    EXPECT_TRUE(x->GetTypeText().isEmpty());
  }
  EXPECT_EQ(dialogs_->Texts(),
            (QStringList{
                "\"12A\" ist kein gültiger Integerwert!",
                "\"&B102\" ist kein gültiger Integerwert!", "\"&H\" ist kein gültiger Integerwert!",
                "\"-\" ist kein gültiger Integerwert!", "\"1-\" ist kein gültiger Integerwert!"}));
  // A byte cannot take 300.
  dialogs_->calls.clear();
  b->SetTypeText("300");
  ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { q.Refresh(); }));
  EXPECT_EQ(dialogs_->Texts(),
            QStringList{"Der neue Wert konnte nicht gesetzt werden!\r\nÜberprüfen Sie, dass der "
                        "neue Wert kompatibel zum Typ des Bezeichners ist."});
  EXPECT_EQ(b->GetValueText(), "0");
  // An unknown name has no value.
  auto unknown = AddWatch("nothing");
  ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { q.Refresh(); }));
  EXPECT_FALSE(unknown->HasValue());
  EXPECT_EQ(unknown->GetIndex(), 0);
}

TEST(ParseBasicInteger, FormsAndLimits) {
  struct TCase {
    const char* text;
    std::optional<std::int16_t> value;
  };
  const TCase cases[] = {
      {"0", 0},       {"32767", 32767}, {"-32768", -32768}, {"&H7FFF", 32767},
      {"&HFFFF", -1}, {"&H10000", 0},   {"&B1", 1},         {"&B1111111111111111", -1},
      {"-1", -1},     {"65535", -1},    {"12A", {}},        {"&B102", {}},
      {"&H", {}},     {"&B", {}},       {"", {}},           {"-", {}},
      {"--1", {}},    {"&HG", {}},      {"1 2", {}},        {"&h1", {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(ParseBasicInteger(c.text), c.value) << c.text;
}

TEST_F(QuorinTest, ARunTimeErrorIsReportedOnceAndPausesOnItsLine) {
  TQuorin& q = Make();
  ASSERT_TRUE(Compiled(kDivision));
  seen_ = {};
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.Run(); }));
  // Nothing more comes while it is paused.
  manual_->PumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(seen_.texts, QStringList{"Division durch 0"});
  EXPECT_EQ(seen_.kinds, std::vector<TMessageKind>{TMessageKind::Error});
  EXPECT_EQ(pausedAt_, std::vector<int>{kDivisionLine});
  EXPECT_EQ(q.State(), TQuorin::TState::Paused);
}

TEST_F(QuorinTest, ARefreshNeverReplacesAPendingCommand) {
  TQuorin& q = Make();
  auto i = AddWatch("I");
  ASSERT_TRUE(Compiled(kLoop));
  breakpoints_ = {kLoopBody};
  q.UpdateBreakpoints();
  // While the worker waits for the pause's notification, Run and then a
  // refresh come: the run goes on to the breakpoint's next round.
  bool posted = false;
  onPaused_ = [&] {
    if (std::exchange(posted, true)) return;
    q.Run();
    q.Refresh();
  };
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.Run(); }));
  ASSERT_TRUE(manual_->PumpUntil([&] { return pausedAt_.size() == 2; }, 5s));
  ASSERT_TRUE(manual_->PumpUntil([&] { return i->GetValueText() == "2"; }, 5s));
  EXPECT_EQ(q.State(), TQuorin::TState::Paused);
}

TEST_F(QuorinTest, ClosingWhileTheInputDialogIsOpenReturnsAtOnce) {
  Make();
  ASSERT_TRUE(Compiled(kInput));
  std::chrono::steady_clock::duration took{};
  bool asked = false;
  dialogs_->simulatorInput = [&](int) -> std::optional<int> {
    asked = true;
    const auto start = std::chrono::steady_clock::now();
    quorin_.reset();
    took = std::chrono::steady_clock::now() - start;
    closed_ = true;
    return 5;  // the dialog was confirmed after all
  };
  quorin_->Run();
  ASSERT_TRUE(manual_->PumpUntil([&] { return asked; }, 5s));
  EXPECT_LT(took, 1s);
  EXPECT_FALSE(quorin_);
  manual_->PumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(manual_->QueuedCount(), 0);
  EXPECT_EQ(callsAfterClose_, 0);
}

TEST_F(QuorinTest, CanCloseAsksOnlyWhileAProgramRuns) {
  TQuorin& q = Make();
  EXPECT_TRUE(q.CanClose());
  ASSERT_TRUE(Compiled(kLoop));
  EXPECT_TRUE(q.CanClose());
  breakpoints_ = {kLoopBody};
  q.UpdateBreakpoints();
  ASSERT_TRUE(Rest(TQuorin::TState::Paused, [&] { q.Run(); }));
  dialogs_->confirmAnswers = {false, true};
  EXPECT_FALSE(q.CanClose());
  EXPECT_EQ(q.State(), TQuorin::TState::Paused);
  const int before = rests_;
  EXPECT_TRUE(q.CanClose());
  ASSERT_TRUE(manual_->PumpUntil(
      [&] { return rests_ > before && q.State() == TQuorin::TState::Ready; }, 5s));
  EXPECT_EQ(dialogs_->Texts(),
            (QStringList(2,
                         "Der Simulator ist aktiv, soll das laufende Programm abgebrochen "
                         "werden?")));
  EXPECT_EQ(q.GetProject(), project_);
}

// Port COM7 is the device at Path while it lives.
class TPortDevice {
 public:
  explicit TPortDevice(const std::string& Path) { ::setenv("VEXA_COM7", Path.c_str(), 1); }
  ~TPortDevice() { ::unsetenv("VEXA_COM7"); }
};

// How many descriptors of this process are open on Path.
int OpenDescriptors(const std::string& Path) {
  const QString target = QFileInfo(QString::fromStdString(Path)).canonicalFilePath();
  int count = 0;
  for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files))
    if (fd.symLinkTarget() == target) ++count;
  return count;
}

TEST_F(QuorinTest, DownloadSendsTheImageByteForByte) {
  // The image the library sends on its own, to a board of its own.
  std::vector<std::uint8_t> expected;
  {
    boardemu::FirstGenBoard reference;
    ASSERT_TRUE(reference.start()) << reference.linkError();
    const int fd = ::open(reference.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    QuorinHandle h = QuorinCreate();
    QuorinSetMemSourcePointer(h, kLoop);
    QuorinCompile(h, nullptr);
    EXPECT_GT(QuorinDownload(h, fd), 0);
    QuorinDestroy(h);
    ::close(fd);
    ASSERT_TRUE(reference.recording().waitForEvent("code done", 2s));
    expected = reference.recording().image("code");
  }
  boardemu::FirstGenBoard board;
  ASSERT_TRUE(board.start()) << board.linkError();
  const int emulatorsOwn = OpenDescriptors(board.path());
  TPortDevice device(board.path());
  TQuorin& q = Make();
  source_ = kLoop;
  ASSERT_TRUE(Rest(
      TQuorin::TState::Ready, [&] { q.CompileAndDownload(); }, 10s));
  ASSERT_TRUE(manual_->PumpUntil([&] { return seen_.texts.size() >= 3; }, 5s));
  const auto [code, sys] = LengthsOf(kLoop);
  EXPECT_EQ(seen_.texts.mid(1),
            (QStringList{QString("Übertrage %1 Byte(s) zur Vexa Unit...").arg(code + sys),
                         "Anwenderprogramm fehlerfrei übertragen"}));
  EXPECT_EQ(seen_.kinds,
            (std::vector<TMessageKind>{TMessageKind::Information, TMessageKind::Information,
                                       TMessageKind::Information}));
  ASSERT_TRUE(board.recording().waitForEvent("code done", 2s));
  EXPECT_EQ(board.recording().image("code"), expected);
  EXPECT_EQ(int(expected.size()), code);
  EXPECT_EQ(OpenDescriptors(board.path()), emulatorsOwn);
}

TEST_F(QuorinTest, ASilentBoardOrAMissingPortIsReportedAndThePortClosed) {
  boardemu::FirstGenBoard board(boardemu::kFirstGenBanner, {boardemu::FaultKind::NoAnswer});
  ASSERT_TRUE(board.start()) << board.linkError();
  const int emulatorsOwn = OpenDescriptors(board.path());
  {
    TPortDevice device(board.path());
    TQuorin& q = Make();
    source_ = kLoop;
    ASSERT_TRUE(Rest(
        TQuorin::TState::Ready, [&] { q.CompileAndDownload(); }, 15s));
    ASSERT_TRUE(manual_->PumpUntil([&] { return seen_.texts.size() >= 3; }, 5s));
    EXPECT_EQ(seen_.texts.last(), "Keine Verbindung zur Vexa Unit (kein HOST Modus?)");
    EXPECT_EQ(seen_.kinds.back(), TMessageKind::Error);
    EXPECT_EQ(OpenDescriptors(board.path()), emulatorsOwn);
    // The program still counts: it compiled.
    EXPECT_TRUE(q.CanRun());
  }
  TPortDevice missing("/nonexistent/vexa-port");
  ASSERT_TRUE(Rest(TQuorin::TState::Ready, [&] { quorin_->CompileAndDownload(); }));
  ASSERT_TRUE(manual_->PumpUntil([&] { return seen_.texts.size() >= 3; }, 5s));
  EXPECT_EQ(seen_.texts.last(), "Konnte die Schnittstelle COM7 nicht öffnen: Fehlercode 2!");
}

}  // namespace
}  // namespace vexa::ide
