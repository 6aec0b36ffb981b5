// A VXBasic program through the real editor, the main window's hub, the
// worker on the Qt event loop and the input dialog.
#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "PumpUntil.h"
#include "TempSettings.h"
#include "TestApp.h"
#include "model/commands/CommandsModule.h"
#include "model/core/Services.h"
#include "model/core/VexaIDECore.h"
#include "model/files/ProjectFiles.h"
#include "model/projects/BasicProject.h"
#include "model/settings/Options.h"
#include "widgets/dialogs/SimulatorInputDialog.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/editor/VexaEditControl.h"

#include "boardemu/FirstGenBoard.h"
#include "vxbas32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace vexa::ide {
namespace {

using ::testing::NiceMock;

class TFrame final : public IVexaIDEFrame {
 public:
  void SetStatusText(int, const QString&) override {}
  QWidget* GetMainForm() override { return nullptr; }
  QTabWidget* GetPageControl() override { return &pages; }
  QTabWidget pages;
};

// Answers the next modal input dialog with Fn.
void AnswerModal(std::function<void(TSimulatorInputDialog&)> Fn) {
  QTimer::singleShot(5, [Fn] {
    auto* dialog = qobject_cast<TSimulatorInputDialog*>(QApplication::activeModalWidget());
    if (!dialog) return AnswerModal(Fn);
    Fn(*dialog);
  });
}

bool ProcessUntil(const std::function<bool()>& Done, int TimeoutMs = 10000) {
  return test::PumpUntil(Done, std::chrono::milliseconds(TimeoutMs));
}

class BasicEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    core_ = std::make_shared<TVexaIDECore>(&frame_);
    VexaIDE = core_;
    RegisterSourceEditorFactory();
    view_ = std::make_shared<NiceMock<test::MockMessageView>>();
    ON_CALL(*view_, Add).WillByDefault([this](const Ref<IVexaMessage>& M) {
      messages_ << M->GetText();
    });
    ON_CALL(*view_, Clear).WillByDefault([this] { messages_.clear(); });
    MessageView = view_;
    watchesView_ = std::make_shared<NiceMock<test::MockWatchesView>>();
    ON_CALL(*watchesView_, RefreshAll).WillByDefault([this] {
      if (onRest_) onRest_();
    });
    WatchesView = watchesView_;
    options::BackgroundCompilationBASIC = true;
    RegisterBASICProjects();
    dialogs_->simulatorInput = &ShowSimulatorInputDialog;
    TSimulatorInputDialog::ClearHistory();
  }

  void TearDown() override {
    core_->CloseAll();
    QApplication::processEvents();
    ReleaseServices();
  }

  // Runs Action and processes events until the worker rests in State.
  template <class F>
  bool Rest(TVexaBASICProjectAndModule& P, TQuorin::TState State, F&& Action) {
    bool rested = false;
    onRest_ = [&] { rested = rested || (P.Worker() && P.Worker()->State() == State); };
    Action();
    const bool done = ProcessUntil([&] { return rested; });
    onRest_ = nullptr;
    return done;
  }

  QApplication& app_ = test::TestApp();
  test::TTempSettings settings_;
  test::TScopedFakeDialogs dialogs_;
  TCommandsModule commands_;
  QTemporaryDir dir_;
  TFrame frame_;
  std::shared_ptr<TVexaIDECore> core_;
  std::shared_ptr<NiceMock<test::MockMessageView>> view_;
  std::shared_ptr<NiceMock<test::MockWatchesView>> watchesView_;
  QStringList messages_;
  std::function<void()> onRest_;
};

TEST_F(BasicEndToEndTest, TheExampleCompilesStopsAtABreakpointTakesItsInputAndClosesWithItsEditor) {
  const QString file = dir_.filePath("input.bas");
  ASSERT_TRUE(QFile::copy(VEXA_EXAMPLES_DIR "/basic/input.bas", file));
  core_->OpenByKind(file, TFileKind::BasicProject);
  ASSERT_EQ(core_->GetProjectCount(), 1);
  std::weak_ptr<TVexaBASICProjectAndModule> weak =
      std::dynamic_pointer_cast<TVexaBASICProjectAndModule>(core_->GetProject(0));
  auto p = weak.lock();
  ASSERT_TRUE(p);
  auto editor = std::dynamic_pointer_cast<TSourceEditor>(p->GetEditor());
  ASSERT_TRUE(editor);
  ASSERT_TRUE(ProcessUntil([&] { return p->IsBuilt() && p->Worker()->CanRun(); }))
      << messages_.join("\n").toStdString();
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_TRUE(messages_[0].startsWith("OK - "));

  // The line after the INPUT.
  const QStringList lines = editor->GetText()->Text.split(QRegularExpression("\r\n|\n"));
  const int line = int(lines.indexOf(QRegularExpression("^INPUT.*"))) + 2;
  ASSERT_GT(line, 1);
  p->ToggleBreakpoint(line);
  Ref<IVexaWatch> watch = p->AddWatchName("Zahl");
  Ref<IVexaWatch> other = p->AddWatchName("QUADRAT");
  other->SetFormat(TWatchFormat::Hex);

  QString preset;
  AnswerModal([&](TSimulatorInputDialog& Dialog) {
    preset = Dialog.cbValue()->currentText();
    Dialog.cbValue()->setEditText("5");
    Dialog.OkButton()->click();
  });
  ASSERT_TRUE(Rest(*p, TQuorin::TState::Paused, [&] { CurrentSimulator->Run(); }));
  EXPECT_EQ(preset, "0");
  EXPECT_TRUE(p->IsRunning());
  EXPECT_TRUE(editor->Control()->isReadOnly());
  EXPECT_EQ(watch->GetValueText(), "5");
  watch->SetFormat(TWatchFormat::Hex);
  EXPECT_EQ(watch->GetValueText(), "&H0005");
  watch->SetFormat(TWatchFormat::Binary);
  EXPECT_EQ(watch->GetValueText(), "&B0000000000000101");
  EXPECT_EQ(TSimulatorInputDialog::History(), QStringList{"5"});

  // Stopped, its editor closes: the project goes and leaves its state behind once.
  ASSERT_TRUE(Rest(*p, TQuorin::TState::Ready, [&] { CurrentSimulator->Stop(); }));
  EXPECT_FALSE(p->IsRunning());
  EXPECT_FALSE(editor->Control()->isReadOnly());
  editor->Close();
  EXPECT_EQ(core_->GetProjectCount(), 0);
  EXPECT_FALSE(CurrentSimulator);
  TProjectState expected;
  expected.Breakpoints = {{QString(), {line}}};
  expected.Watches = {{"Zahl", TWatchFormat::Binary}, {"QUADRAT", TWatchFormat::Hex}};
  QFile ide(file + ".ide");
  ASSERT_TRUE(ide.open(QIODevice::ReadOnly));
  EXPECT_EQ(ide.readAll(), StateFileBytes(true, expected));
  p.reset();
  editor.reset();
  watch.reset();
  other.reset();
  QApplication::processEvents();
  EXPECT_TRUE(weak.expired());
  EXPECT_TRUE(dialogs_->calls.empty()) << dialogs_->Texts().join("\n").toStdString();
}

// The code image the library itself sends of Source, to a board of its own;
// empty when no board could be made.
std::vector<std::uint8_t> ReferenceImage(const QByteArray& Source) {
  boardemu::FirstGenBoard board;
  if (!board.start()) return {};
  const int fd = ::open(board.path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return {};
  QuorinHandle h = QuorinCreate();
  QuorinSetMemSourcePointer(h, Source.constData());
  const bool compiled = QuorinCompile(h, nullptr) == QUORIN_COMPILE_OK;
  const bool sent = compiled && QuorinDownload(h, fd) > 0;
  QuorinDestroy(h);
  ::close(fd);
  if (!sent || !board.recording().waitForEvent("code done", std::chrono::seconds(5))) return {};
  return board.recording().image("code");
}

// Types Text as key presses, one character each (QTest::keyClicks drops
// characters outside Latin-1).
void Type(QWidget* Widget, const QString& Text) {
  for (QChar c : Text) QTest::sendKeyEvent(QTest::Click, Widget, Qt::Key_unknown, QString(c), {});
}

// What the worker compiles and sends is the code the library makes of the
// saved file's bytes: "ä€" typed into an ASCII program are saved and sent as
// Windows-1252, into a program saved as UTF-8 elsewhere as UTF-8.
TEST_F(BasicEndToEndTest, TheWorkerSendsTheCodeOfTheSavedFilesBytes) {
  QFile example(VEXA_EXAMPLES_DIR "/basic/input.bas");
  ASSERT_TRUE(example.open(QIODevice::ReadOnly));
  const QByteArray ascii = example.readAll();
  ASSERT_TRUE(ascii.contains("\"Quadrat: \""));
  QByteArray utf8 = ascii;
  utf8.replace("\"Quadrat: \"", "\"Quadrat \xC3\xBC: \"");
  const struct {
    const char* name;
    QByteArray bytes;
    QByteArray saved;  // the string as saved
  } cases[] = {
      {"ascii", ascii, "\"Quadrat\xE4\x80: \""},
      {"utf-8", utf8, "\"Quadrat \xC3\xBC\xC3\xA4\xE2\x82\xAC: \""},
  };
  options::DownloadComBASIC = 7;
  // No compile of its own comes between: the download's compile is the one
  // that is sent (a newer request replaces one the worker has not taken).
  options::BackgroundCompilationBASIC = false;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = dir_.filePath(QString::fromLatin1(c.name) + ".bas");
    {
      QFile out(file);
      ASSERT_TRUE(out.open(QIODevice::WriteOnly));
      ASSERT_EQ(out.write(c.bytes), c.bytes.size());
    }
    core_->OpenByKind(file, TFileKind::BasicProject);
    ASSERT_EQ(core_->GetProjectCount(), 1);
    auto p = std::dynamic_pointer_cast<TVexaBASICProjectAndModule>(core_->GetProject(0));
    ASSERT_TRUE(p);
    auto editor = std::dynamic_pointer_cast<TSourceEditor>(p->GetEditor());
    ASSERT_TRUE(editor);
    const QStringList lines = editor->GetText()->Text.split('\n');
    const int line = int(lines.indexOf(QRegularExpression("^PRINT \"Quadrat.*")));
    ASSERT_GE(line, 0);
    editor->Control()->SetCaret({int(lines[line].indexOf(':')) + 1, line + 1});
    Type(editor->Control(), QString::fromUtf8("ä€"));
    ASSERT_TRUE(editor->Save());
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_TRUE(bytes.contains(c.saved)) << bytes.toStdString();
    const std::vector<std::uint8_t> expected = ReferenceImage(bytes);
    ASSERT_FALSE(expected.empty());

    boardemu::FirstGenBoard board;
    ASSERT_TRUE(board.start()) << board.linkError();
    ::setenv("VEXA_COM7", board.path().c_str(), 1);
    messages_.clear();
    p->Download();
    const bool sent =
        ProcessUntil([&] { return messages_.contains("Anwenderprogramm fehlerfrei übertragen"); });
    ::unsetenv("VEXA_COM7");
    ASSERT_TRUE(sent) << messages_.join('\n').toStdString();
    ASSERT_TRUE(board.recording().waitForEvent("code done", std::chrono::seconds(5)));
    const std::vector<std::uint8_t> image = board.recording().image("code");
    EXPECT_EQ(image, expected);
    // The string's bytes are in the code as saved.
    const QByteArray text = c.saved.mid(1, c.saved.size() - 4);
    EXPECT_NE(std::search(image.begin(), image.end(), text.begin(), text.end(),
                          [](std::uint8_t A, char B) { return A == std::uint8_t(B); }),
              image.end());
    editor->Close();
    ASSERT_EQ(core_->GetProjectCount(), 0);
  }
  EXPECT_TRUE(dialogs_->calls.empty()) << dialogs_->Texts().join("\n").toStdString();
}

}  // namespace
}  // namespace vexa::ide
