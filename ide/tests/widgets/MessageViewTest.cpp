#include "widgets/views/MessageViewer.h"

#include "MockIntfs.h"
#include "TestApp.h"
#include "model/core/Services.h"
#include "widgets/views/MessageDelegate.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include <vector>

namespace vexa::ide {
namespace {

using namespace test;
using testing::_;
using testing::NiceMock;
using testing::Return;

constexpr TMessageKind E = TMessageKind::Error;
constexpr TMessageKind I = TMessageKind::Information;

Ref<IVexaMessage> MakeMessage(TMessageKind Kind, int Line = 0, Ref<IVexaModule> Module = nullptr,
                              Ref<IVexaProject> Source = nullptr, QString Text = "Meldung") {
  auto message = std::make_shared<NiceMock<MockVexaMessage>>();
  ON_CALL(*message, GetKind()).WillByDefault(Return(Kind));
  ON_CALL(*message, GetLine()).WillByDefault(Return(Line));
  ON_CALL(*message, GetModule()).WillByDefault(Return(Module));
  ON_CALL(*message, GetSource()).WillByDefault(Return(Source));
  ON_CALL(*message, GetText()).WillByDefault(Return(Text));
  return message;
}

class MessageViewTest : public testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ide_ = std::make_shared<NiceMock<MockVexaIDE>>();
    VexaIDE = ide_;
    viewer_ = std::make_shared<TMessageViewer>();
  }

  void TearDown() override {
    viewer_.reset();
    ReleaseServices();
  }

  // Messages of the given kinds, from one project.
  void AddKinds(std::initializer_list<TMessageKind> Kinds) {
    for (TMessageKind kind : Kinds) viewer_->Add(MakeMessage(kind, 1, module_, project_));
  }

  std::shared_ptr<NiceMock<MockVexaIDE>> ide_;
  std::shared_ptr<TMessageViewer> viewer_;
  Ref<IVexaModule> module_ = std::make_shared<NiceMock<MockVexaModule>>();
  Ref<IVexaProject> project_ = std::make_shared<NiceMock<MockVexaProject>>();
};

TEST_F(MessageViewTest, TheFirstMessageBecomesCurrentAndLaterOnesLeaveIt) {
  EXPECT_EQ(viewer_->GetCurrentIndex(), -1);
  AddKinds({I});
  EXPECT_EQ(viewer_->GetCurrentIndex(), 0);
  viewer_->SetCurrentIndex(0);
  AddKinds({E, I});
  EXPECT_EQ(viewer_->GetCurrentIndex(), 0);
  EXPECT_EQ(viewer_->GetCount(), 3);
  EXPECT_EQ(viewer_->GetMessage(1)->GetKind(), E);
  EXPECT_EQ(viewer_->GetMessage(3), nullptr);
  EXPECT_EQ(viewer_->GetMessage(-1), nullptr);
}

TEST_F(MessageViewTest, AfterClearTheNextFirstMessageIsCurrentAgain) {
  AddKinds({I, I, I});
  viewer_->SetCurrentIndex(2);
  viewer_->Clear();
  EXPECT_EQ(viewer_->GetCount(), 0);
  EXPECT_EQ(viewer_->GetCurrentIndex(), -1);
  AddKinds({E});
  EXPECT_EQ(viewer_->GetCurrentIndex(), 0);
  EXPECT_FALSE(viewer_->CanNextError());
}

TEST_F(MessageViewTest, SetCurrentIndexCutsAtTheLastMessage) {
  AddKinds({I, I, I});
  viewer_->SetCurrentIndex(7);
  EXPECT_EQ(viewer_->GetCurrentIndex(), 2);
  viewer_->SetCurrentIndex(-1);
  EXPECT_EQ(viewer_->GetCurrentIndex(), -1);
}

// Errors at rows 2 and 5 of six messages.
struct StepCase {
  int Current;
  bool CanNext;
  int AfterNext;
  bool CanPrev;
  int AfterPrev;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << "current " << c.Current; }

class MessageViewStepTest : public MessageViewTest, public testing::WithParamInterface<StepCase> {};

TEST_P(MessageViewStepTest, NextAndPreviousErrorSkipOtherMessagesAndStopAtTheEnds) {
  const StepCase c = GetParam();
  AddKinds({I, I, E, I, I, E});
  viewer_->SetCurrentIndex(c.Current);
  EXPECT_EQ(viewer_->CanNextError(), c.CanNext);
  EXPECT_EQ(viewer_->CanPrevError(), c.CanPrev);
  viewer_->NextError();
  EXPECT_EQ(viewer_->GetCurrentIndex(), c.AfterNext);
  viewer_->SetCurrentIndex(c.Current);
  viewer_->PrevError();
  EXPECT_EQ(viewer_->GetCurrentIndex(), c.AfterPrev);
}

INSTANTIATE_TEST_SUITE_P(Rows, MessageViewStepTest,
                         testing::Values(StepCase{3, true, 5, true, 2},
                                         StepCase{5, false, 5, true, 2},
                                         StepCase{2, true, 5, false, 2},
                                         StepCase{0, true, 2, false, 0},
                                         StepCase{1, true, 2, false, 1}));

TEST_F(MessageViewTest, ASingleErrorInRowZeroIsReachedBackwards) {
  AddKinds({E, I, I});
  viewer_->SetCurrentIndex(2);
  EXPECT_TRUE(viewer_->CanPrevError());
  EXPECT_FALSE(viewer_->CanNextError());
  viewer_->PrevError();
  EXPECT_EQ(viewer_->GetCurrentIndex(), 0);
  EXPECT_FALSE(viewer_->CanPrevError());
}

TEST_F(MessageViewTest, TheErrorRangeFollowsLaterMessages) {
  AddKinds({I, I});
  EXPECT_FALSE(viewer_->CanNextError());
  AddKinds({E});
  EXPECT_TRUE(viewer_->CanNextError());
  viewer_->RemoveMessagesOf(project_);
  EXPECT_FALSE(viewer_->CanNextError());
}

TEST_F(MessageViewTest, StepToAnErrorOpensItsModule) {
  auto editor = std::make_shared<NiceMock<MockVexaSourceEditor>>();
  viewer_->Add(MakeMessage(I, 3, module_, project_));
  viewer_->Add(MakeMessage(E, 12, module_, project_));
  EXPECT_CALL(*ide_, ShowModuleEditor(module_)).WillOnce(Return(editor));
  EXPECT_CALL(*editor, SetErrorLine(12));
  viewer_->NextError();
}

TEST_F(MessageViewTest, RemovingOneProjectsMessagesKeepsTheOthersAndDropsThoseWithoutSource) {
  Ref<IVexaProject> other = std::make_shared<NiceMock<MockVexaProject>>();
  const std::vector<Ref<IVexaMessage>> messages = {
      MakeMessage(E, 1, module_, project_, "a1"), MakeMessage(I, 0, nullptr, nullptr, "free1"),
      MakeMessage(I, 2, module_, other, "b1"),    MakeMessage(E, 3, module_, project_, "a2"),
      MakeMessage(E, 4, module_, other, "b2"),    MakeMessage(I, 0, nullptr, nullptr, "free2")};
  for (const auto& m : messages) viewer_->Add(m);
  viewer_->SetCurrentIndex(4);  // "b2", behind three messages that go
  viewer_->RemoveMessagesOf(project_);
  ASSERT_EQ(viewer_->GetCount(), 2);
  EXPECT_EQ(viewer_->GetMessage(0), messages[2]);
  EXPECT_EQ(viewer_->GetMessage(1), messages[4]);
  EXPECT_EQ(viewer_->GetCurrentIndex(), 1);
  EXPECT_FALSE(viewer_->CanPrevError());
  EXPECT_FALSE(viewer_->CanNextError());

  // The current message itself goes: nothing is current.
  viewer_->RemoveMessagesOf(other);
  EXPECT_EQ(viewer_->GetCount(), 0);
  EXPECT_EQ(viewer_->GetCurrentIndex(), -1);
}

struct GoToCase {
  const char* Name;
  TMessageKind Kind;
  int Line;
  bool EditorShown;
  int ErrorLine;  // 0: SetErrorLine is not called
};

void PrintTo(const GoToCase& c, std::ostream* os) { *os << c.Name; }

class MessageViewGoToTest : public MessageViewTest, public testing::WithParamInterface<GoToCase> {};

TEST_P(MessageViewGoToTest, OpensTheModuleAndMarksOnlyAnErrorLine) {
  const GoToCase c = GetParam();
  auto editor = std::make_shared<NiceMock<MockVexaSourceEditor>>();
  viewer_->Add(MakeMessage(c.Kind, c.Line, module_, project_));
  EXPECT_CALL(*ide_, ShowModuleEditor(module_))
      .WillOnce(Return(c.EditorShown ? Ref<IVexaSourceEditor>(editor) : nullptr));
  if (c.ErrorLine > 0)
    EXPECT_CALL(*editor, SetErrorLine(c.ErrorLine));
  else
    EXPECT_CALL(*editor, SetErrorLine(_)).Times(0);
  viewer_->GoToCurrent();
}

INSTANTIATE_TEST_SUITE_P(Messages, MessageViewGoToTest,
                         testing::Values(GoToCase{"ErrorLine7", E, 7, true, 7},
                                         GoToCase{"ErrorLine0", E, 0, true, 0},
                                         GoToCase{"ErrorNoLine", E, -1, true, 0},
                                         GoToCase{"InformationLine7", I, 7, true, 0},
                                         GoToCase{"NoEditor", E, 7, false, 0}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(MessageViewTest, GoToCurrentWithoutMessagesDoesNothing) {
  EXPECT_CALL(*ide_, ShowModuleEditor(_)).Times(0);
  viewer_->GoToCurrent();
  viewer_->NextError();
  viewer_->PrevError();
}

TEST_F(MessageViewTest, IsAToolWindowAndRegistersOnce) {
  EXPECT_EQ(viewer_->GetName(), "MessageViewer");
  EXPECT_EQ(viewer_->GetToolWindow().get(), static_cast<IVexaToolWindow*>(viewer_.get()));
  RegisterMessageView();
  const Ref<IMessageView> first = MessageView;
  ASSERT_NE(first, nullptr);
  RegisterMessageView();
  EXPECT_EQ(MessageView, first);
  int registered = 0;
  for (const auto& window : ToolWindows())
    if (window == first->GetToolWindow()) ++registered;
  EXPECT_EQ(registered, 1);
}

// --- the form ---

class MessageViewFormTest : public MessageViewTest {
 protected:
  void SetUp() override {
    MessageViewTest::SetUp();
    viewer_->Show(false);
    form_ = viewer_->ViewerForm();
    ASSERT_NE(form_, nullptr);
    form_->window()->resize(400, 200);
    (void)QTest::qWaitForWindowExposed(form_->window());
  }

  QListView* List() const { return form_->dgMessages; }
  QRect RowRect(int Row) const { return List()->visualRect(form_->Model()->index(Row)); }

  // Pixels of the row's text area that are plainly red.
  int RedPixels(int Row) const {
    QCoreApplication::processEvents();
    const QImage image = List()->viewport()->grab().toImage();
    const QRect rect = RowRect(Row).adjusted(TMessageDelegate::kMargin, 0, 0, 0);
    int red = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = rect.left(); x <= rect.right() && x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.red() > 180 && c.green() < 90 && c.blue() < 90) ++red;
      }
    return red;
  }

  // Pixels of the row's left margin that differ from the background.
  int MarkPixels(int Row) const {
    const QImage image = List()->viewport()->grab().toImage();
    const QRect rect = RowRect(Row);
    const QColor base = List()->palette().color(QPalette::Base);
    int marked = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      for (int x = rect.left(); x < rect.left() + TMessageDelegate::kMargin; ++x)
        if (image.pixelColor(x, y) != base) ++marked;
    return marked;
  }

  TMessageViewerForm* form_ = nullptr;
};

TEST_F(MessageViewFormTest, AnEmptyViewShowsOneBlankRowAndTheRowsFollowTheList) {
  EXPECT_EQ(form_->windowTitle(), "Meldungen");
  EXPECT_FALSE(form_->CurrentMessageBitmap.isNull());
  EXPECT_EQ(form_->Model()->rowCount(), 1);
  EXPECT_FALSE(form_->Model()->data(form_->Model()->index(0), Qt::DisplayRole).isValid());
  AddKinds({I, E, I});
  EXPECT_EQ(form_->Model()->rowCount(), 3);
  EXPECT_EQ(RowRect(1).height(), TMessageDelegate::kRowHeight);
  viewer_->Clear();
  EXPECT_EQ(form_->Model()->rowCount(), 1);
}

TEST_F(MessageViewFormTest, AnErrorRowIsRedAndOnlyTheCurrentRowHasTheArrow) {
  viewer_->Add(MakeMessage(I, 0, nullptr, project_, "Übersetzung gestartet"));
  viewer_->Add(MakeMessage(E, 7, module_, project_, "robot (7) : Fehler"));
  EXPECT_EQ(RedPixels(0), 0);
  EXPECT_GT(RedPixels(1), 0);
  EXPECT_GT(MarkPixels(0), 0);
  EXPECT_EQ(MarkPixels(1), 0);
  viewer_->SetCurrentIndex(1);
  QCoreApplication::processEvents();
  EXPECT_EQ(MarkPixels(0), 0);
  EXPECT_GT(MarkPixels(1), 0);
}

TEST_F(MessageViewFormTest, ADoubleClickOpensTheModuleAtTheErrorLine) {
  auto editor = std::make_shared<NiceMock<MockVexaSourceEditor>>();
  viewer_->Add(MakeMessage(I, 0, nullptr, project_, "Übersetzung gestartet"));
  viewer_->Add(MakeMessage(E, 7, module_, project_, "robot (7) : Fehler"));
  EXPECT_CALL(*ide_, ShowModuleEditor(module_)).WillOnce(Return(editor));
  EXPECT_CALL(*editor, SetErrorLine(7));
  const QPoint row = RowRect(1).center();
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row);
  EXPECT_EQ(viewer_->GetCurrentIndex(), 1);
  QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, row);
}

TEST_F(MessageViewFormTest, StepsScrollTheCurrentRowIntoView) {
  for (int i = 0; i < 40; ++i) AddKinds({I});
  AddKinds({E});
  viewer_->NextError();
  EXPECT_EQ(viewer_->GetCurrentIndex(), 40);
  EXPECT_EQ(List()->currentIndex().row(), 40);
  EXPECT_TRUE(List()->viewport()->rect().intersects(RowRect(40)));
}

}  // namespace
}  // namespace vexa::ide
