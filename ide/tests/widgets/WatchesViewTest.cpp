#include "widgets/views/WatchesViewer.h"

#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "TestApp.h"
#include "model/core/Services.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTest>

#include <ostream>
#include <vector>

namespace vexa::ide {
namespace {

using testing::_;
using testing::NiceMock;
using testing::Return;

// A double click on a cell as the mouse gives it: a click, then the
// double-click press.
void DoubleClick(QTableView* Grid, int Row, int Column) {
  const QPoint at = Grid->visualRect(Grid->model()->index(Row, Column)).center();
  QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(Grid->viewport(), Qt::LeftButton, {}, at);
}

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

// A watch with fixed answers; the format follows SetFormat.
class FakeWatch : public NiceMock<test::MockVexaWatch> {
 public:
  FakeWatch(QString Name, TWatchType Type, QString Value, bool HasValue = true)
      : name(std::move(Name)), value(std::move(Value)) {
    ON_CALL(*this, GetName).WillByDefault([this] { return name; });
    ON_CALL(*this, GetType).WillByDefault(Return(Type));
    ON_CALL(*this, GetValueText).WillByDefault([this] { return value; });
    ON_CALL(*this, HasValue).WillByDefault(Return(HasValue));
    ON_CALL(*this, GetChanged).WillByDefault([this] { return changed; });
    ON_CALL(*this, GetFormat).WillByDefault([this] { return format; });
    ON_CALL(*this, SetFormat).WillByDefault([this](TWatchFormat Format) { format = Format; });
  }
  QString name;
  QString value;
  bool changed = false;
  TWatchFormat format = TWatchFormat::Decimal;
};

// A project whose watch list the test fills.
class FakeProject : public NiceMock<test::MockVexaProject> {
 public:
  FakeProject() {
    ON_CALL(*this, GetWatchCount).WillByDefault([this] { return int(watches.size()); });
    ON_CALL(*this, GetWatch).WillByDefault([this](int Index) -> Ref<IVexaWatch> {
      return Index >= 0 && Index < int(watches.size()) ? watches[Index] : nullptr;
    });
  }
  std::vector<std::shared_ptr<FakeWatch>> watches;
};

class WatchesViewTest : public testing::Test {
 protected:
  WatchesViewTest() {
    ON_CALL(*ide, GetActiveProject).WillByDefault([this] { return active; });
    ON_CALL(*simulator, GetProject).WillByDefault([this] { return simulatedProject; });
    ON_CALL(*simulator, IsPausedAgain).WillByDefault([this] { return paused; });
    VexaIDE = ide;
  }

  ~WatchesViewTest() override {
    viewer.reset();
    ReleaseServices();
  }

  // Shows the view floating at a known size.
  TWatchesViewerForm* Open() {
    viewer->Show(false);
    Settle();
    TVexaDockWidget* dock = viewer->DockWidget();
    EXPECT_NE(dock, nullptr);
    if (dock) dock->resize(400, 200);
    Settle();
    return viewer->ViewerForm();
  }

  std::shared_ptr<FakeWatch> AddWatch(const QString& Name, TWatchType Type, const QString& Value,
                                      bool HasValue = true) {
    auto watch = std::make_shared<FakeWatch>(Name, Type, Value, HasValue);
    project->watches.push_back(watch);
    return watch;
  }

  // Makes Row the grid's current cell.
  static void Select(TWatchesViewerForm* Form, int Row) {
    Form->dgWatches->setCurrentIndex(Form->Model->index(Row, 0));
  }

  static std::vector<QAction*> Items(TWatchesViewerForm* Form) {
    return {Form->lmiEditValue,       Form->lmiShowBinary, Form->lmiShowDecimal,
            Form->lmiShowHexaDecimal, Form->lmiAddWatch,   Form->lmiDeleteWatch};
  }

  QApplication& app = test::TestApp();
  test::TScopedFakeDialogs dialogs;
  std::shared_ptr<NiceMock<test::MockVexaIDE>> ide =
      std::make_shared<NiceMock<test::MockVexaIDE>>();
  std::shared_ptr<FakeProject> project = std::make_shared<FakeProject>();
  std::shared_ptr<NiceMock<test::MockVexaSimulator>> simulator =
      std::make_shared<NiceMock<test::MockVexaSimulator>>();
  Ref<IVexaProject> active;
  Ref<IVexaProject> simulatedProject;
  bool paused = false;
  std::shared_ptr<TWatchesViewer> viewer = std::make_shared<TWatchesViewer>();
};

TEST_F(WatchesViewTest, RegistersAsTheWatchesViewAndItsToolWindow) {
  RegisterWatchesView();
  ASSERT_TRUE(WatchesView);
  Ref<IVexaToolWindow> window = WatchesView->GetToolWindow();
  ASSERT_TRUE(window);
  EXPECT_EQ(window->GetName(), QStringLiteral("WatchesViewer"));
  ASSERT_EQ(ToolWindows().size(), 1u);
  EXPECT_EQ(ToolWindows()[0], window);
  // Refreshing before the form exists does nothing.
  WatchesView->RefreshAll();
  WatchesView->RefreshWatch(0);
  EXPECT_EQ(std::dynamic_pointer_cast<TWatchesViewer>(WatchesView)->Form(), nullptr);
}

TEST_F(WatchesViewTest, WithoutAnActiveProjectShowsTheHeaderAndOneBlankRowAndOffersNothing) {
  AddWatch("motor.speed", TWatchType::Int, "12");  // of a project that is not active
  for (bool withIDE : {true, false}) {
    SCOPED_TRACE(withIDE);
    if (!withIDE) VexaIDE.reset();
    TWatchesViewerForm* form = Open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Überwachte Variablen"));
    viewer->RefreshAll();
    TWatchesModel* model = form->Model;
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Bezeichner");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Wert");
    EXPECT_TRUE(model->data(model->index(0, 0), Qt::DisplayRole).toString().isEmpty());
    EXPECT_TRUE(form->dgWatches->horizontalHeader()->isVisible());

    Select(form, 0);
    form->UpdatePopupMenu();
    for (QAction* item : Items(form)) {
      EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
      EXPECT_FALSE(item->isChecked()) << item->objectName().toStdString();
    }
    // The keys ask nothing of a project either.
    QTest::keyClick(form->dgWatches, Qt::Key_Delete);
    QTest::keyClick(form->dgWatches, Qt::Key_Return);
    EXPECT_TRUE(dialogs->inputs.empty());
  }
}

TEST_F(WatchesViewTest, RowsFollowTheActiveProjectsWatchesOnRefresh) {
  active = project;
  auto speed = AddWatch("motor.speed", TWatchType::Int, "12");
  TWatchesViewerForm* form = Open();
  TWatchesModel* model = form->Model;
  EXPECT_EQ(model->rowCount(), 1) << "the form counts the rows when shown";
  EXPECT_EQ(model->data(model->index(0, 0), Qt::DisplayRole).toString(), "motor.speed");
  EXPECT_EQ(model->data(model->index(0, 1), Qt::DisplayRole).toString(), "12");
  EXPECT_FALSE(model->data(model->index(0, 1), Qt::ForegroundRole).isValid());

  AddWatch("text", TWatchType::String, "\"hallo\"");
  AddWatch("f", TWatchType::Float, "1.5");
  viewer->RefreshWatch(2);
  EXPECT_EQ(model->rowCount(), 3);
  EXPECT_EQ(model->data(model->index(2, 0), Qt::DisplayRole).toString(), "f");

  // A changed value is red; every paint asks the watch again.
  speed->changed = true;
  speed->value = "13";
  viewer->RefreshAll();
  EXPECT_EQ(model->data(model->index(0, 1), Qt::DisplayRole).toString(), "13");
  EXPECT_EQ(model->data(model->index(0, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
  EXPECT_FALSE(model->data(model->index(0, 0), Qt::ForegroundRole).isValid());

  project->watches.clear();
  viewer->RefreshAll();
  EXPECT_EQ(model->rowCount(), 1);
  EXPECT_TRUE(model->data(model->index(0, 0), Qt::DisplayRole).toString().isEmpty());
}

struct FormatCase {
  TWatchType Type;
  TWatchFormat Format;
  bool Enabled;
};

void PrintTo(const FormatCase& C, std::ostream* Out) {
  *Out << "type " << static_cast<int>(C.Type) << " format " << static_cast<int>(C.Format);
}

class WatchesViewFormatTest : public WatchesViewTest,
                              public testing::WithParamInterface<FormatCase> {};

TEST_P(WatchesViewFormatTest, FormatItemsOnlyForIntegerWatchesWithTheCurrentOneChecked) {
  const FormatCase& c = GetParam();
  active = project;
  auto watch = AddWatch("w", c.Type, "0");
  watch->format = c.Format;
  TWatchesViewerForm* form = Open();
  Select(form, 0);
  form->UpdatePopupMenu();
  const struct {
    QAction* Item;
    TWatchFormat Format;
  } items[] = {{form->lmiShowBinary, TWatchFormat::Binary},
               {form->lmiShowDecimal, TWatchFormat::Decimal},
               {form->lmiShowHexaDecimal, TWatchFormat::Hex}};
  for (const auto& item : items) {
    SCOPED_TRACE(item.Item->objectName().toStdString());
    EXPECT_EQ(item.Item->isEnabled(), c.Enabled);
    EXPECT_EQ(item.Item->isChecked(), c.Enabled && item.Format == c.Format);
  }
  EXPECT_TRUE(form->lmiAddWatch->isEnabled());
  EXPECT_TRUE(form->lmiDeleteWatch->isEnabled());
  // Choosing a format sets it and the menu follows.
  if (c.Enabled) {
    form->lmiShowHexaDecimal->trigger();
    EXPECT_EQ(watch->format, TWatchFormat::Hex);
    form->UpdatePopupMenu();
    EXPECT_TRUE(form->lmiShowHexaDecimal->isChecked());
    EXPECT_FALSE(form->lmiShowBinary->isChecked());
    EXPECT_FALSE(form->lmiShowDecimal->isChecked());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Types, WatchesViewFormatTest,
    testing::Values(FormatCase{TWatchType::Byte, TWatchFormat::Binary, true},
                    FormatCase{TWatchType::Int, TWatchFormat::Decimal, true},
                    FormatCase{TWatchType::Long, TWatchFormat::Hex, true},
                    FormatCase{TWatchType::Float, TWatchFormat::Decimal, false},
                    FormatCase{TWatchType::String, TWatchFormat::Hex, false},
                    FormatCase{TWatchType::Unknown, TWatchFormat::Decimal, false}));

TEST_F(WatchesViewTest, ChangingAStringValueOffersItWithoutQuotesAndRefreshesTheSimulation) {
  active = project;
  simulatedProject = project;
  paused = true;
  CurrentSimulator = simulator;
  AddWatch("name", TWatchType::Int, "7");
  auto text = AddWatch("text", TWatchType::String, "\"abc\"");
  TWatchesViewerForm* form = Open();
  Select(form, 1);
  form->UpdatePopupMenu();
  EXPECT_TRUE(form->lmiEditValue->isEnabled());

  dialogs->inputAnswers.push_back(QStringLiteral("xyz"));
  EXPECT_CALL(*text, SetTypeText(QStringLiteral("xyz"))).Times(1);
  EXPECT_CALL(*simulator, Refresh()).Times(1);
  form->lmiEditValue->trigger();
  ASSERT_EQ(dialogs->inputs.size(), 1u);
  EXPECT_EQ(dialogs->inputs[0].caption, QStringLiteral("Wert ändern"));
  EXPECT_EQ(dialogs->inputs[0].prompt,
            QStringLiteral("Geben Sie den neuen Wert des Bezeichner ein:"));
  EXPECT_EQ(dialogs->inputs[0].value, QStringLiteral("abc"));
  testing::Mock::VerifyAndClearExpectations(text.get());
  testing::Mock::VerifyAndClearExpectations(simulator.get());

  // A lone quote character is no pair of quotes; the simulation of another
  // project is not refreshed; Cancel hands nothing on.
  text->value = "\"";
  simulatedProject = std::make_shared<FakeProject>();
  dialogs->inputAnswers.push_back(QStringLiteral("q"));
  dialogs->inputAnswers.push_back(std::nullopt);
  EXPECT_CALL(*text, SetTypeText(QStringLiteral("q"))).Times(1);
  EXPECT_CALL(*simulator, Refresh()).Times(0);
  QTest::keyClick(form->dgWatches, Qt::Key_Return);
  ASSERT_EQ(dialogs->inputs.size(), 2u);
  EXPECT_EQ(dialogs->inputs[1].value, QStringLiteral("\""));
  QTest::keyClick(form->dgWatches, Qt::Key_Return);
  EXPECT_EQ(dialogs->inputs.size(), 3u);
}

TEST_F(WatchesViewTest, EditingIsRefusedUnlessTheSimulationIsPausedAndTheWatchHasAValue) {
  active = project;
  simulatedProject = project;
  auto speed = AddWatch("speed", TWatchType::Int, "5");
  auto unknown = AddWatch("unknown", TWatchType::Int, "Auswertung nicht möglich", false);
  TWatchesViewerForm* form = Open();
  EXPECT_CALL(*speed, SetTypeText(_)).Times(0);
  EXPECT_CALL(*simulator, Refresh()).Times(0);

  const struct {
    const char* State;
    bool HasSimulator;
    bool Paused;
    int Row;
  } refused[] = {{"running or stopped", true, false, 0},
                 {"no simulation", false, false, 0},
                 {"paused, but no value", true, true, 1}};
  for (const auto& c : refused) {
    SCOPED_TRACE(c.State);
    CurrentSimulator = c.HasSimulator ? Ref<IVexaSimulator>(simulator) : nullptr;
    paused = c.Paused;
    Select(form, c.Row);
    form->UpdatePopupMenu();
    EXPECT_FALSE(form->lmiEditValue->isEnabled());
    // Double click, Enter and the menu command are all ignored.
    DoubleClick(form->dgWatches, c.Row, 1);
    QTest::keyClick(form->dgWatches, Qt::Key_Return);
    form->EditValue();
    EXPECT_TRUE(dialogs->inputs.empty());
  }

  // Paused: a double click on the row asks for the new value.
  CurrentSimulator = simulator;
  paused = true;
  DoubleClick(form->dgWatches, 0, 1);
  ASSERT_EQ(dialogs->inputs.size(), 1u);
  EXPECT_EQ(dialogs->inputs[0].value, QStringLiteral("5"));
}

TEST_F(WatchesViewTest, InsertAddsAndDeleteRemovesTheSelectedWatch) {
  active = project;
  AddWatch("a", TWatchType::Int, "1");
  AddWatch("b", TWatchType::Int, "2");
  TWatchesViewerForm* form = Open();

  dialogs->inputAnswers.push_back(QStringLiteral("motor.speed"));
  EXPECT_CALL(*project, AddWatchName(QStringLiteral("motor.speed"))).Times(1);
  QTest::keyClick(form->dgWatches, Qt::Key_Insert);
  ASSERT_EQ(dialogs->inputs.size(), 1u);
  EXPECT_EQ(dialogs->inputs[0].caption, QStringLiteral("Neuer überwachter Bezeichner"));
  EXPECT_EQ(dialogs->inputs[0].prompt,
            QStringLiteral("Geben Sie den zu überwachenden Bezeichner ein:"));
  EXPECT_TRUE(dialogs->inputs[0].value.isEmpty());
  // Cancelled: nothing is added; with Shift the key is not the view's.
  QTest::keyClick(form->dgWatches, Qt::Key_Insert);
  QTest::keyClick(form->dgWatches, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(dialogs->inputs.size(), 2u);
  testing::Mock::VerifyAndClearExpectations(project.get());

  Select(form, 1);
  EXPECT_CALL(*project, DeleteWatch(1)).Times(1);
  QTest::keyClick(form->dgWatches, Qt::Key_Delete);
  QTest::keyClick(form->dgWatches, Qt::Key_Delete, Qt::ControlModifier);
  testing::Mock::VerifyAndClearExpectations(project.get());

  // The blank row of an empty list has no watch to delete.
  project->watches.clear();
  viewer->RefreshAll();
  Select(form, 0);
  EXPECT_CALL(*project, DeleteWatch(_)).Times(0);
  form->lmiDeleteWatch->trigger();
  QTest::keyClick(form->dgWatches, Qt::Key_Delete);
}

// The split kept for a share P.
int KeptSplit(int P) { return std::clamp(P, 50, 950); }

TEST_F(WatchesViewTest, TheColumnSplitStaysWithin5And95PercentThroughDragsAndResizes) {
  TWatchesViewerForm* form = Open();
  QTableView* grid = form->dgWatches;
  const int width = grid->viewport()->width();
  ASSERT_GT(width, 100);
  EXPECT_EQ(form->ColumnSplit(), KeptSplit(650));
  EXPECT_EQ(grid->columnWidth(0), width * 650 / 1000);
  EXPECT_EQ(grid->columnWidth(0) + grid->columnWidth(1), width - 1);

  // The first column dragged to a width, and the share it keeps (per mille;
  // -1: its own share).
  const struct {
    const char* Drag;
    int (*FirstWidth)(int Width);
    int Share;
  } drags[] = {{"almost the full width", [](int W) { return W - 2; }, 950},
               {"beyond the width", [](int W) { return W + 50; }, 950},
               {"almost nothing", [](int) { return 3; }, 50},
               {"a third", [](int W) { return W / 3; }, -1}};
  for (const auto& d : drags) {
    SCOPED_TRACE(d.Drag);
    const int before = grid->viewport()->width();
    const int first = d.FirstWidth(before);
    const int share = d.Share >= 0 ? d.Share : first * 1000 / before;
    grid->setColumnWidth(0, first);
    QTest::mouseRelease(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                        QPoint(std::min(first, before) - 1, 5));
    const int split = form->ColumnSplit();
    EXPECT_EQ(split, KeptSplit(share));
    // The next resizes keep the share, without drifting.
    for (int step : {60, -25, 40}) {
      viewer->DockWidget()->resize(viewer->DockWidget()->width() + step, 200);
      Settle();
    }
    EXPECT_EQ(form->ColumnSplit(), split);
    const int now = grid->viewport()->width();
    ASSERT_NE(now, before);
    EXPECT_EQ(grid->columnWidth(0), now * split / 1000);
    EXPECT_NEAR(grid->columnWidth(0), now * share / 1000, now / 100 + 1);
    EXPECT_EQ(grid->columnWidth(1), now - grid->columnWidth(0) - 1);
  }
  for (int p : {2000, 951, -5, 0}) {
    form->SetColumnSplit(p);
    const int now = grid->viewport()->width();
    EXPECT_EQ(form->ColumnSplit(), KeptSplit(p)) << p;
    EXPECT_EQ(grid->columnWidth(0), now * KeptSplit(p) / 1000) << p;
  }
}

}  // namespace
}  // namespace vexa::ide
