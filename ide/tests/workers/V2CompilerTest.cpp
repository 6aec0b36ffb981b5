#include "model/workers/V2Compiler.h"

#include "FakeDialogs.h"
#include "FakeVx2Comp.h"
#include "V2Programs.h"
#include "model/core/TextCodec.h"
#include "model/workers/MainThreadInvoker.h"

#include "boardemu/V2Board.h"
#include "vexa/platform/Clock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

// Readable QStrings in failure messages.
void PrintTo(const QString& Text, std::ostream* Out) { *Out << '"' << Text.toStdString() << '"'; }

namespace vexa::ide {
namespace {

using namespace std::chrono_literals;

using test::kDisplay;
using test::kMain;
using test::kMotor;
const char* const kMotorBroken =
    "int speed;\n"
    "int a b;\n";

// Counts what was queued, so a test knows a call waits in the queue.
class TCountingInvoker final : public IMainThreadInvoker {
 public:
  explicit TCountingInvoker(std::shared_ptr<IMainThreadInvoker> Inner) : inner_(std::move(Inner)) {}
  void Queue(std::function<void()> Task) override {
    queued.fetch_add(1);
    inner_->Queue(std::move(Task));
  }
  bool IsMainThread() const override { return inner_->IsMainThread(); }
  std::atomic<int> queued{0};

 private:
  std::shared_ptr<IMainThreadInvoker> inner_;
};

// The project's side of the worker: module texts and what the events told.
// Main thread only.
struct TProjectSide {
  QStringList names;
  std::map<QString, QByteArray> sources;  // the bytes handed to the compiler
  std::vector<int> states;
  QStringList statusTexts;
  QStringList compiled;
  QStringList moduleMessages;
  std::map<QString, int> errorCounts;
  std::map<QString, std::vector<std::uint8_t>> lineInfos;
  QList<Ref<IVexaMessage>> buildMessages;
  int idles = 0;

  void Bind(TV2Compiler& Compiler) {
    Compiler.OnGetModuleList = [this](QStringList& List) { List = names; };
    Compiler.OnGetModuleSource = [this](TModuleInfoRec& Info) {
      auto it = sources.find(Info.Name);
      if (it == sources.end()) return;
      Info.Source = it->second;
      Info.LineCount = int(it->second.count('\n'));
      Info.Valid = true;
    };
    Compiler.OnModuleCompiled = [this](TModuleInfoRec& Info) {
      compiled << Info.Name;
      moduleMessages << Info.Messages;
      errorCounts[Info.Name] = Info.ErrorCount;
      lineInfos[Info.Name] = Info.LineInfos;
    };
    Compiler.OnStateChange = [this](TV2Compiler&, TV2Compiler::TState State, const QString& Text) {
      states.push_back(static_cast<int>(State));
      if (State == TV2Compiler::TState::Status) statusTexts << Text;
      if (State == TV2Compiler::TState::Idle) ++idles;
    };
  }

  // The states since the index From.
  std::vector<int> StatesFrom(std::size_t From) const {
    return {states.begin() + std::ptrdiff_t(std::min(From, states.size())), states.end()};
  }
};

class V2CompilerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  std::unique_ptr<TV2Compiler> MakeCompiler(TProjectSide& Side,
                                            const TVx2CompFunctions& Functions = {},
                                            platform::Clock* Clock = nullptr) {
    TV2Compiler::TSeams seams;
    seams.Functions = Functions;
    seams.Clock = Clock;
    seams.Invoker = invoker_;
    seams.Dialogs = dialogs_;
    seams.MessageSink = [&Side](const QList<Ref<IVexaMessage>>& Messages) {
      Side.buildMessages << Messages;
    };
    auto compiler = std::make_unique<TV2Compiler>(QStringLiteral("demo"), std::move(seams));
    Side.Bind(*compiler);
    return compiler;
  }

  // Pumps the main thread's side until the worker has reported idle Count times.
  bool WaitIdle(TProjectSide& Side, int Count) {
    return manual_->PumpUntil([&] { return Side.idles >= Count; }, 10s);
  }

  static void SetThreeModules(TProjectSide& Side, const char* Motor = kMotor) {
    Side.names = {"motor", "display", "main"};
    Side.sources = {{"motor", QByteArray(Motor)},
                    {"display", QByteArray(kDisplay)},
                    {"main", QByteArray(kMain)}};
  }

  QString Base(const QString& Name = QStringLiteral("demo")) const { return dir_.filePath(Name); }

  static QByteArray Contents(const QString& Path) {
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  std::shared_ptr<TManualInvoker> manual_ = std::make_shared<TManualInvoker>();
  std::shared_ptr<TCountingInvoker> invoker_ = std::make_shared<TCountingInvoker>(manual_);
  std::shared_ptr<test::TFakeDialogs> dialogs_ = std::make_shared<test::TFakeDialogs>();
};

TEST_F(V2CompilerTest, ThreeModuleProjectBuildsThroughTheWorker) {
  TProjectSide side;
  SetThreeModules(side);
  auto compiler = MakeCompiler(side);
  ASSERT_TRUE(WaitIdle(side, 1));
  compiler->Build(Base());
  ASSERT_TRUE(WaitIdle(side, 2));

  EXPECT_EQ(side.states, (std::vector<int>{0, 1, 2, 3, 4, 0}));
  EXPECT_EQ(side.compiled, (QStringList{"motor", "display", "main"}));
  EXPECT_EQ(side.moduleMessages, (QStringList{"motor : OK", "display : OK", "main : OK"}));
  for (const QString& name : side.names) EXPECT_EQ(side.errorCounts[name], 0) << name.toStdString();
  ASSERT_EQ(side.lineInfos["main"].size(), 4u);
  EXPECT_TRUE(side.lineInfos["main"][1] & VX2COMP_LINE_CODE);
  EXPECT_GT(QFileInfo(Base() + ".vmc").size(), 0);
  EXPECT_GT(QFileInfo(Base() + ".dbg").size(), 0);
  ASSERT_FALSE(side.buildMessages.isEmpty());
  for (const auto& message : side.buildMessages)
    EXPECT_EQ(message->GetKind(), TMessageKind::Information) << message->GetText().toStdString();
  EXPECT_TRUE(dialogs_->calls.empty());
}

// A Windows-1252 module file builds in the IDE to the image the compiler
// makes reading the file itself, as the console compiler does: the bytes of
// "€" and "Ÿ" reach the string constant.
TEST_F(V2CompilerTest, AWindows1252ModuleBuildsToTheImageOfItsFile) {
  const QString path = Base("euro.v2");
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("string s;\nthread main {\n  s = \"\x80 \x9F\";\n}\n");
  }
  const TDecodedText decoded = DecodeText(Contents(path));
  ASSERT_EQ(decoded.Format.Encoding, TTextEncoding::Windows1252);
  ASSERT_TRUE(decoded.Text.contains(QString::fromUtf8("\"€ Ÿ\"")));

  TProjectSide side;
  side.names = {"euro"};
  side.sources = {{"euro", EncodeWithoutBom(decoded.Text, decoded.Format.Encoding)}};
  auto compiler = MakeCompiler(side);
  compiler->Build(Base());
  ASSERT_TRUE(WaitIdle(side, 2));
  EXPECT_EQ(side.moduleMessages, QStringList{"euro : OK"});
  const QByteArray built = Contents(Base() + ".vmc");
  // The image lists the constant's length and bytes as decimal numbers.
  EXPECT_TRUE(built.contains(" 3 128 32 159 ")) << built.toStdString();

  QTemporaryDir other;
  ASSERT_TRUE(other.isValid());
  const Vx2ProjectHandle project = openProject("demo");
  ASSERT_NE(project, 0);
  const QByteArray file = QFile::encodeName(path);
  ASSERT_EQ(addModule(project, "euro", file.constData(), VX2COMP_SOURCE_FILE), 1);
  std::array<char, 1024> messages{};
  ASSERT_NE(setMessageBuffer(project, messages.data(), std::uint32_t(messages.size())), 0);
  ASSERT_NE(beginBuild(project), 0);
  EXPECT_EQ(compileModule(project, 1), -1) << messages.data();
  ASSERT_NE(finishBuild(project), 0);
  const QByteArray base = QFile::encodeName(QDir(other.path()).filePath("demo"));
  ASSERT_NE(writeOutputFile(project, base.constData()), 0);
  closeProject(project);
  const QByteArray reference = Contents(QDir(other.path()).filePath("demo.vmc"));
  ASSERT_FALSE(reference.isEmpty());
  EXPECT_EQ(built, reference);
}

TEST_F(V2CompilerTest, IdentifierServicesAnswerWhileTheWorkerWaits) {
  TProjectSide side;
  SetThreeModules(side);
  auto compiler = MakeCompiler(side);
  QStringList list{"old"};
  // Nothing registered yet: no module of that name.
  EXPECT_FALSE(compiler->GetCompletions("main", 2, "motor", list));
  EXPECT_EQ(list, QStringList{"old"});
  compiler->Build(Base());
  ASSERT_TRUE(WaitIdle(side, 2));

  // Sorted, unlike the library's order.
  ASSERT_TRUE(compiler->GetCompletions("main", 2, "motor", list));
  EXPECT_EQ(list, (QStringList{"clamp (function)", "speed (variable)"}));
  EXPECT_FALSE(compiler->GetCompletions("main", 2, "nothing", list));
  EXPECT_FALSE(compiler->GetCompletions("unknown", 2, "motor", list));

  int line = 0;
  QString module;
  ASSERT_TRUE(compiler->FindDefinition("main", 2, "motor.clamp", line, module));
  EXPECT_EQ(line, 2);
  EXPECT_EQ(module, "motor");
  EXPECT_FALSE(compiler->FindDefinition("main", 2, "nothing", line, module));

  QString fullName;
  ASSERT_TRUE(compiler->GetFullName("main", 2, "motor.speed", fullName));
  EXPECT_EQ(fullName, "motor.speed");
  EXPECT_FALSE(compiler->GetFullName("main", 2, "nothing", fullName));
  EXPECT_EQ(fullName, QString());
}

TEST_F(V2CompilerTest, BuildAfterAnErrorWritesNothingThenTheFixedBuildMatchesAFreshOne) {
  TProjectSide side;
  SetThreeModules(side, kMotorBroken);
  auto compiler = MakeCompiler(side);
  ASSERT_TRUE(WaitIdle(side, 1));
  compiler->Build(Base());
  ASSERT_TRUE(WaitIdle(side, 2));

  // The later modules are compiled but the error of the first one stands.
  EXPECT_EQ(side.states, (std::vector<int>{0, 1, 2, 0}));
  EXPECT_EQ(side.compiled, (QStringList{"motor", "display", "main"}));
  EXPECT_GE(side.errorCounts["motor"], 1);
  EXPECT_TRUE(side.moduleMessages.value(0).startsWith("motor (2) :"))
      << side.moduleMessages.value(0).toStdString();
  EXPECT_FALSE(QFileInfo::exists(Base() + ".vmc"));
  EXPECT_FALSE(QFileInfo::exists(Base() + ".dbg"));

  side.sources["motor"] = QByteArray(kMotor);
  const std::size_t before = side.states.size();
  compiler->Build(Base());
  ASSERT_TRUE(WaitIdle(side, 3));
  EXPECT_EQ(side.StatesFrom(before), (std::vector<int>{1, 2, 3, 4, 0}));
  const QByteArray rebuilt = Contents(Base() + ".dbg");
  ASSERT_FALSE(rebuilt.isEmpty());
  compiler.reset();

  QTemporaryDir other;
  ASSERT_TRUE(other.isValid());
  TProjectSide freshSide;
  SetThreeModules(freshSide);
  auto fresh = MakeCompiler(freshSide);
  const QString freshBase = QDir(other.path()).filePath("demo");
  fresh->Build(freshBase);
  ASSERT_TRUE(WaitIdle(freshSide, 2));
  EXPECT_EQ(Contents(freshBase + ".dbg"), rebuilt);
  EXPECT_EQ(Contents(freshBase + ".vmc"), Contents(Base() + ".vmc"));
  EXPECT_TRUE(dialogs_->calls.empty());
}

TEST_F(V2CompilerTest, CompileModuleMarksThatModuleAndEveryLaterOne) {
  TProjectSide side;
  SetThreeModules(side);
  auto compiler = MakeCompiler(side);
  compiler->Build(Base());
  ASSERT_TRUE(WaitIdle(side, 2));

  const struct {
    const char* fileName;
    QStringList compiled;
  } cases[] = {
      {"display.v2", {"display", "main"}},
      {"/home/user/project/Display.V2", {"display", "main"}},
      {"C:\\Projekte\\MOTOR.v2", {"motor", "display", "main"}},
      {"main", {"main"}},
      {"nothing.v2", {}},
      {"display.v2x", {}},
  };
  int idles = side.idles;
  for (const auto& c : cases) {
    side.compiled.clear();
    compiler->CompileModule(QString::fromUtf8(c.fileName));
    ASSERT_TRUE(WaitIdle(side, ++idles)) << c.fileName;
    EXPECT_EQ(side.compiled, c.compiled) << c.fileName;
  }
}

TEST_F(V2CompilerTest, ARequestPostedWhileTheWorkerWorksIsAnsweredBeforeItWaits) {
  TProjectSide side;
  SetThreeModules(side);
  auto compiler = MakeCompiler(side);
  // Posted from an event, while the worker waits for it to return.
  auto onState = compiler->OnStateChange;
  compiler->OnStateChange = [&](TV2Compiler& Sender, TV2Compiler::TState State,
                                const QString& Text) {
    onState(Sender, State, Text);
    if (State == TV2Compiler::TState::Built) Sender.CompileModule("main.v2");
  };
  compiler->Build(Base());
  ASSERT_TRUE(WaitIdle(side, 2));
  EXPECT_EQ(side.states, (std::vector<int>{0, 1, 2, 3, 4, 2, 0}));
  EXPECT_EQ(side.compiled, (QStringList{"motor", "display", "main", "main"}));
  // Nothing was left raised for another round.
  EXPECT_FALSE(manual_->PumpUntil([&] { return side.idles > 2; }, 200ms));
}

// The serial port COM7 is the device at Path while it lives.
class TPortDevice {
 public:
  explicit TPortDevice(const QString& Path) {
    ::setenv("VEXA_COM7", Path.toLocal8Bit().constData(), 1);
  }
  ~TPortDevice() { ::unsetenv("VEXA_COM7"); }
};

TEST_F(V2CompilerTest, DownloadRunsOnlyAfterACleanBuildAndNeverFromAnEmptyImage) {
  TPortDevice port(dir_.filePath("no-such-device"));
  const QString cannotOpen = QStringLiteral("Konnte die Schnittstelle COM7 nicht öffnen");
  {
    // Build and download together: the final step first, the download after it.
    TProjectSide side;
    SetThreeModules(side);
    auto compiler = MakeCompiler(side);
    ASSERT_TRUE(WaitIdle(side, 1));
    compiler->Build(Base());
    compiler->Download(7);
    ASSERT_TRUE(WaitIdle(side, 2));
    EXPECT_EQ(side.states, (std::vector<int>{0, 1, 2, 3, 4, 6, 0}));
    ASSERT_EQ(side.statusTexts.size(), 1);
    EXPECT_TRUE(side.statusTexts[0].startsWith(cannotOpen)) << side.statusTexts[0].toStdString();

    // A compile after the build leaves no image: nothing is sent, the port stays shut.
    compiler->CompileModule("main.v2");
    ASSERT_TRUE(WaitIdle(side, 3));
    compiler->Download(7);
    ASSERT_TRUE(WaitIdle(side, 4));
    EXPECT_EQ(side.statusTexts.value(1), QStringLiteral("Kein Programm zum Übertragen vorhanden!"));
  }
  {
    // After compile errors the download is dropped without a word.
    TProjectSide side;
    SetThreeModules(side, kMotorBroken);
    auto compiler = MakeCompiler(side);
    compiler->Build(Base("broken"));
    compiler->Download(7);
    ASSERT_TRUE(WaitIdle(side, 2));
    EXPECT_EQ(side.StatesFrom(1), (std::vector<int>{1, 2, 0}));
    EXPECT_TRUE(side.statusTexts.isEmpty());
  }
  EXPECT_TRUE(dialogs_->calls.empty());
}

// Sleeps cost nothing; every reading of the counter moves it on by 100 ms.
// Worker thread only.
class TSteppingClock final : public platform::Clock {
 public:
  std::uint32_t milliseconds() override { return now += 100; }
  void sleep(std::uint32_t ms) override { now += ms; }
  platform::LocalTime localTime() override { return {}; }

 private:
  std::uint32_t now = 0;
};

TEST_F(V2CompilerTest, DownloadSendsTheBuiltImageAndDestroyEndsAWaitingOneAtOnce) {
  using boardemu::FaultKind;
  const QString testing = QStringLiteral("Teste Verbindung zur Vexa Unit...");
  TSteppingClock clock;
  {
    boardemu::V2BoardOptions options;
    options.identifyReply = "VX2 HOST V1.00 !";
    boardemu::V2Board board(options);
    if (!board.start()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
    TPortDevice port(QString::fromStdString(board.path()));
    TProjectSide side;
    SetThreeModules(side);
    auto compiler = MakeCompiler(side, {}, &clock);
    compiler->Build(Base());
    compiler->Download(7);
    ASSERT_TRUE(WaitIdle(side, 2));

    ASSERT_GE(side.statusTexts.size(), 27);
    EXPECT_EQ(side.statusTexts.first(), testing);
    EXPECT_EQ(side.statusTexts[25],
              QStringLiteral("Lösche den Flash-Speicher der Vexa Unit (100 % fertig)"));
    EXPECT_EQ(side.statusTexts.last(),
              QStringLiteral("Übertrage Anwenderprogramm in die Vexa Unit (100 % fertig)"));
    EXPECT_EQ(side.states.back(), int(TV2Compiler::TState::Idle));
    ASSERT_TRUE(board.recording().waitForEvent("program-vmc", 2s));
    EXPECT_GT(board.recording().image("program").size(), 8u);
  }
  {
    boardemu::V2Board board({}, {FaultKind::NoAnswer});
    if (!board.start()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
    TPortDevice port(QString::fromStdString(board.path()));
    TProjectSide side;
    SetThreeModules(side);
    auto compiler = MakeCompiler(side, {}, &clock);
    compiler->Build(Base());
    compiler->Download(7);
    ASSERT_TRUE(manual_->PumpUntil([&] { return !side.statusTexts.isEmpty(); }, 10s));
    // The worker now waits up to a second for the board's answer.
    const auto start = std::chrono::steady_clock::now();
    compiler.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 900ms);
    manual_->Pump();
    EXPECT_EQ(side.statusTexts, QStringList{testing});
  }
  EXPECT_TRUE(dialogs_->calls.empty());
}

class V2CompilerFakeTest : public V2CompilerTest {
 protected:
  void SetUp() override {
    V2CompilerTest::SetUp();
    fake_.completions = "b (variable)\r\na (variable)";
    fake_.defModule = fake_.defLine = 1;
    fake_.fullName = "m.x";
    side_.names = {"m", "n", "o"};
    for (const QString& name : side_.names) side_.sources[name] = "int x;\n";
  }
  test::TFakeVx2Comp fake_;
  TProjectSide side_;
};

TEST_F(V2CompilerFakeTest, DestroyingWhileACallIsQueuedReturnsAtOnceAndTheCallNeverRuns) {
  auto compiler = MakeCompiler(side_, test::TFakeVx2Comp::Functions());
  ASSERT_TRUE(WaitIdle(side_, 1));
  const int queued = invoker_->queued.load();
  compiler->Build(Base());
  // The worker now waits for its "working" report to run on the main thread.
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (invoker_->queued.load() == queued && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(1ms);
  ASSERT_EQ(invoker_->queued.load(), queued + 1);

  const auto start = std::chrono::steady_clock::now();
  compiler.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  manual_->Pump();
  EXPECT_EQ(side_.states, std::vector<int>{0});
  EXPECT_EQ(invoker_->queued.load(), queued + 1);
  EXPECT_TRUE(dialogs_->calls.empty());
}

TEST_F(V2CompilerFakeTest, NoTwoLibraryCallsOverlapWhileTheServicesHammerTheLock) {
  auto compiler = MakeCompiler(side_, test::TFakeVx2Comp::Functions());
  int answered = 0, refused = 0;
  auto hammer = [&] {
    QStringList list;
    int line = 0;
    QString text;
    for (bool ok : {compiler->GetCompletions("n", 1, "x", list),
                    compiler->FindDefinition("n", 1, "x", line, text),
                    compiler->GetFullName("n", 1, "x", text)})
      ++(ok ? answered : refused);
  };
  constexpr int kBuilds = 15;
  for (int build = 1; build <= kBuilds; ++build) {
    compiler->Build(Base());
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (side_.idles < build + 1 && std::chrono::steady_clock::now() < deadline) {
      hammer();
      manual_->Pump();
    }
    ASSERT_EQ(side_.idles, build + 1);
  }
  hammer();
  EXPECT_FALSE(fake_.overlapped.load());
  EXPECT_EQ(std::count(side_.states.begin(), side_.states.end(), int(TV2Compiler::TState::Built)),
            kBuilds);
  // Both answers came: "not now" while the worker worked, the library's otherwise.
  EXPECT_GT(refused, 0);
  EXPECT_GT(answered, 0);
  EXPECT_GT(fake_.identCalls.load(), 0);
}

TEST_F(V2CompilerFakeTest, AFailedCallShowsItsBoxAndTheWorkerReportsIdle) {
  const struct {
    const char* failing;
    std::int32_t addModuleResult;
    QString box;
  } cases[] = {
      {"compileModule", 0, "dll function compileModule() failed"},
      {"removeAll", 0, "dll function removeAll() failed"},
      {"writeOutputFile", 0, "dll function writeOutputFile() failed"},
      {"", -2,
       "internal error \"EV2DllException\": dll function addModule() failed - \"m\" is not a "
       "valid module name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failing);
    fake_.failing = c.failing;
    fake_.addModuleResult = c.addModuleResult;
    TProjectSide side = side_;
    auto compiler = MakeCompiler(side, test::TFakeVx2Comp::Functions());
    ASSERT_TRUE(WaitIdle(side, 1));
    compiler->Build(Base());
    ASSERT_TRUE(WaitIdle(side, 2));
    EXPECT_EQ(dialogs_->Texts(), QStringList{c.box});
    EXPECT_EQ(side.states.back(), int(TV2Compiler::TState::Idle));
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!compiler->Finished() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(compiler->Finished());
    compiler.reset();
    dialogs_->calls.clear();
  }
  // A refused close is shown; the worker goes anyway.
  fake_.failing = "closeProject";
  fake_.addModuleResult = 0;
  MakeCompiler(side_, test::TFakeVx2Comp::Functions()).reset();
  EXPECT_EQ(dialogs_->Texts(), QStringList{"dll function closeProject() failed"});
}

}  // namespace
}  // namespace vexa::ide
