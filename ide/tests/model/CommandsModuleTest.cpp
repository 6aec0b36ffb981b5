#include "model/commands/CommandsModule.h"

#include "FakeDialogs.h"
#include "MockIntfs.h"
#include "TempSettings.h"
#include "model/commands/ActionRouting.h"
#include "model/core/Helpers.h"
#include "model/core/Services.h"
#include "model/settings/Options.h"
#include "model/settings/Settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace vexa::ide {
namespace {

using test::MockVexaIDE;
using test::TScopedFakeDialogs;
using test::TTempSettings;
using testing::InSequence;
using testing::NiceMock;

class CommandsModuleTest : public testing::Test {
 protected:
  void TearDown() override { ReleaseServices(); }

  // A file name in the temporary folder (the file is not made).
  QString Name(const QString& Leaf) const { return dir_.path() + "/" + Leaf; }

  QString Setting(const QString& Key) { return temp_.File()->value("1.0/" + Key).toString(); }
  bool HasSetting(const QString& Key) { return temp_.File()->contains("1.0/" + Key); }

  TTempSettings temp_;
  TScopedFakeDialogs dialogs_;
  QTemporaryDir dir_;
};

TEST_F(CommandsModuleTest, RecentListKeepsFiveNewestFirstWithoutDuplicates) {
  TRecentList list;
  for (int i = 1; i <= 6; ++i) list.Add(Name(QString("f%1.v2").arg(i)));
  EXPECT_EQ(list.Items(), QStringList({Name("f6.v2"), Name("f5.v2"), Name("f4.v2"), Name("f3.v2"),
                                       Name("f2.v2")}));
  list.Add(Name("f3.v2"));
  EXPECT_EQ(list.Items(), QStringList({Name("f3.v2"), Name("f6.v2"), Name("f5.v2"), Name("f4.v2"),
                                       Name("f2.v2")}));
  // Another spelling of the same path is the same file ...
  list.Add(dir_.path() + "/sub/../f5.v2");
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list.At(1), Name("f3.v2"));
  // ... another letter case is another file on Linux.
  list.Add(Name("F2.v2"));
  EXPECT_EQ(list.Items(), QStringList({Name("F2.v2"), dir_.path() + "/sub/../f5.v2", Name("f3.v2"),
                                       Name("f6.v2"), Name("f4.v2")}));
  list.Remove(Name("f6.v2"));
  EXPECT_EQ(list.Count(), 4);
  EXPECT_FALSE(list.Items().contains(Name("f6.v2")));
}

TEST_F(CommandsModuleTest, UntitledNumbersReuseTheSmallestAndGrow) {
  TUntitledNumbers numbers;
  EXPECT_EQ(numbers.Allocate(), 1);
  EXPECT_EQ(numbers.Allocate(), 2);
  EXPECT_EQ(numbers.Allocate(), 3);
  numbers.Release(2);
  EXPECT_EQ(numbers.Allocate(), 2);
  for (int n : {0, -1, 33, 1000}) numbers.Release(n);  // outside the set: ignored
  EXPECT_TRUE(numbers.InUse(1) && numbers.InUse(2) && numbers.InUse(3));
  for (int n = 4; n <= 32; ++n) EXPECT_EQ(numbers.Allocate(), n);
  EXPECT_EQ(numbers.Size(), 32);
  EXPECT_EQ(numbers.Allocate(), 33);
  EXPECT_EQ(numbers.Size(), 64);
  numbers.Release(33);
  EXPECT_FALSE(numbers.InUse(33));
  EXPECT_EQ(numbers.Allocate(), 33);
}

TEST_F(CommandsModuleTest, OpeningTakesAnItemOffTheListsClosingPutsItBackInFront) {
  auto ide = std::make_shared<NiceMock<MockVexaIDE>>();
  VexaIDE = ide;
  TCommandsModule module;
  EXPECT_EQ(CommandsModule, &module);
  module.AddRecentFile(Name("a.v2"));
  module.AddRecentFile(Name("b.v2"));
  module.AddRecentProject(Name("p.v2p"));
  EXPECT_TRUE(module.BothRecentListsUsed());

  EXPECT_CALL(*ide, OpenByKind(Name("a.v2"), TFileKind::V2Module));
  ExecuteAction(MRUFileAction(2));
  EXPECT_EQ(module.RecentFiles.Items(), QStringList({Name("b.v2")}));
  module.AddRecentFile(Name("a.v2"));
  EXPECT_EQ(module.RecentFiles.At(0), Name("a.v2"));

  EXPECT_CALL(*ide, OpenByKind(Name("p.v2p"), TFileKind::V2Project));
  ExecuteAction(MRUProjectAction(1));
  EXPECT_FALSE(module.BothRecentListsUsed());
  ExecuteAction(MRUProjectAction(3));  // no such entry: nothing

  // An empty name makes a new item and leaves the lists.
  EXPECT_CALL(*ide, OpenByKind(QString(), TFileKind::BasicProject));
  ExecuteAction(TAction::FileNewBasicProject);
  EXPECT_EQ(module.LastCreateType, TFileKind::BasicProject);
  EXPECT_EQ(module.RecentFiles.Count(), 2);
}

TEST_F(CommandsModuleTest, RecentActionsShowTheirEntries) {
  TCommandsModule module;
  for (const char* f : {"c.v2", "b.v2", "a.v2"}) module.AddRecentFile(Name(f));
  for (int k = 1; k <= 5; ++k) {
    const TActionState s = ActionState(MRUFileAction(k));
    EXPECT_EQ(s.Visible, k <= 3) << k;
    EXPECT_TRUE(s.Enabled);
  }
  EXPECT_EQ(ActionState(MRUFileAction(1)).Caption, Name("a.v2"));
  EXPECT_FALSE(ActionState(MRUProjectAction(1)).Visible);
}

TEST_F(CommandsModuleTest, RecentListsLoadWithoutGapsAndSaveRenumbered) {
  settings::WriteString("MostRecentlyUsed", "MRUFile1", "/x/one.v2");
  settings::WriteString("MostRecentlyUsed", "MRUFile2", "/x/two.v2");
  settings::WriteString("MostRecentlyUsed", "MRUFile4", "/x/four.v2");
  settings::WriteString("MostRecentlyUsed", "MRUProject5", "/x/p.v2p");
  {
    TCommandsModule module;
    EXPECT_EQ(module.RecentFiles.Items(), QStringList({"/x/one.v2", "/x/two.v2", "/x/four.v2"}));
    EXPECT_EQ(module.RecentProjects.Items(), QStringList({"/x/p.v2p"}));
  }
  EXPECT_EQ(CommandsModule, nullptr);
  EXPECT_EQ(Setting("MostRecentlyUsed/MRUFile3"), "/x/four.v2");
  EXPECT_FALSE(HasSetting("MostRecentlyUsed/MRUFile4"));
  EXPECT_EQ(Setting("MostRecentlyUsed/MRUProject1"), "/x/p.v2p");
  EXPECT_FALSE(HasSetting("MostRecentlyUsed/MRUProject5"));
}

class LastCreateTypeLoad : public CommandsModuleTest,
                           public testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(LastCreateTypeLoad, OnlyTwoAndThreeAreKept) {
  const auto [stored, expected] = GetParam();
  if (stored != -1) settings::WriteInteger("Misc", "LastCreateType", stored);
  TCommandsModule module;
  EXPECT_EQ(int(module.LastCreateType), expected);
}

INSTANTIATE_TEST_SUITE_P(Values, LastCreateTypeLoad,
                         testing::Values(std::pair(-1, 1), std::pair(0, 1), std::pair(1, 1),
                                         std::pair(2, 2), std::pair(3, 3), std::pair(4, 1)));

TEST_F(CommandsModuleTest, MiscSettingsRoundTrip) {
  options::DefaultProjectPath = Name("projects/");
  {
    TCommandsModule module;
    // The default folder is the project folder, without a trailing separator.
    EXPECT_EQ(module.dlgFileOpen.InitialDir, Name("projects"));
    EXPECT_EQ(module.dlgFileOpen.FilterIndex, -1);
    module.dlgFileOpen.FilterIndex = 3;
    module.LastCreateType = TFileKind::V2Module;
  }
  EXPECT_EQ(Setting("Misc/LastOpenType"), "3");
  EXPECT_EQ(Setting("Misc/LastCreateType"), "2");
  EXPECT_EQ(Setting("Misc/LastOpenDirectory"), Name("projects"));
  options::DefaultProjectPath.clear();

  // After a choice, the folder of the chosen file is kept.
  dialogs_->fileAnswers.push_back(QStringList{"/data/work/a.bas", "/data/work/b.v2p"});
  {
    TCommandsModule module;
    EXPECT_EQ(module.dlgFileOpen.FilterIndex, 3);
    module.FileOpen();
  }
  EXPECT_EQ(Setting("Misc/LastOpenDirectory"), "/data/work");
}

TEST_F(CommandsModuleTest, OpenRunsTheOpenDialogAndOpensEachChoiceByKind) {
  auto ide = std::make_shared<NiceMock<MockVexaIDE>>();
  VexaIDE = ide;
  TCommandsModule module;
  module.AddRecentFile("/w/b.v2p");
  module.dlgFileOpen.FileName = "/old/name.v2";
  {
    InSequence order;
    EXPECT_CALL(*ide, OpenByKind(QString("/w/a.bas"), TFileKind::BasicProject));
    EXPECT_CALL(*ide, OpenByKind(QString("/w/b.v2p"), TFileKind::V2Project));
    EXPECT_CALL(*ide, OpenByKind(QString("/w/c.txt"), TFileKind::Plain));
  }
  dialogs_->fileAnswers.push_back(QStringList{"/w/a.bas", "/w/b.v2p", "/w/c.txt"});
  ExecuteAction(TAction::FileOpen);
  ASSERT_EQ(dialogs_->fileDialogs.size(), 1u);
  const TFileDialog& shown = dialogs_->fileDialogs[0];
  EXPECT_TRUE(shown.FileName.isEmpty());
  EXPECT_TRUE(shown.MultiSelect);
  EXPECT_EQ(shown.DialogMode, TFileDialog::Mode::Open);
  EXPECT_EQ(shown.Filter,
            "Vexa II Projekte|*.v2p|Vexa II Module|*.v2|Vexa/BASIC Projekte|*.bas|Alle "
            "Dateien|*.*");
  EXPECT_TRUE(module.RecentFiles.IsEmpty());

  // Cancel opens nothing.
  EXPECT_CALL(*ide, OpenByKind).Times(0);
  module.FileOpen();
}

struct SaveDialogRow {
  int kind;
  const char* ext;
  const char* filter;
};

class SaveDialogByKind : public CommandsModuleTest,
                         public testing::WithParamInterface<SaveDialogRow> {};

TEST_P(SaveDialogByKind, ProposesTheNameInItsFolder) {
  const SaveDialogRow row = GetParam();
  TCommandsModule module;
  QString name = "/src/dir/Name.x";
  dialogs_->fileAnswers.push_back(QStringList{"/other/chosen.x"});
  EXPECT_TRUE(module.ExecuteSaveDialog(static_cast<TFileKind>(row.kind), name));
  EXPECT_EQ(name, "/other/chosen.x");
  const TFileDialog& shown = dialogs_->fileDialogs.at(0);
  EXPECT_EQ(shown.DialogMode, TFileDialog::Mode::Save);
  EXPECT_EQ(shown.DefaultExt, row.ext);
  EXPECT_EQ(shown.Filter, QString::fromUtf8(row.filter));
  EXPECT_EQ(shown.InitialDir, "/src/dir");
  EXPECT_EQ(shown.FileName, "Name.x");

  // Cancel leaves the name.
  EXPECT_FALSE(module.ExecuteSaveDialog(static_cast<TFileKind>(row.kind), name));
  EXPECT_EQ(name, "/other/chosen.x");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SaveDialogByKind,
    testing::Values(SaveDialogRow{1, "v2p", "Vexa II Projekt|*.v2p|Alle Dateien|*.*"},
                    SaveDialogRow{2, "v2", "Vexa II Module|*.v2|Alle Dateien|*.*"},
                    SaveDialogRow{3, "bas", "Vexa/BASIC Projekt|*.bas|Alle Dateien|*.*"},
                    SaveDialogRow{0, "", "Alle Dateien|*.*"},
                    SaveDialogRow{7, "", "Alle Dateien|*.*"}));

TEST_F(CommandsModuleTest, InsertModuleDialogStartsInTheNamesFolderOrTheProjectPath) {
  TCommandsModule module;
  options::DefaultProjectPath = "/projects";
  QString name;
  dialogs_->fileAnswers.push_back(QStringList{"/projects/m.v2"});
  dialogs_->fileAnswers.push_back(std::nullopt);
  EXPECT_TRUE(module.ExecuteInsertModuleDialog(name));
  EXPECT_EQ(name, "/projects/m.v2");
  EXPECT_FALSE(module.ExecuteInsertModuleDialog(name));
  EXPECT_EQ(name, "/projects/m.v2");
  ASSERT_EQ(dialogs_->fileDialogs.size(), 2u);
  EXPECT_EQ(dialogs_->fileDialogs[0].InitialDir, "/projects");
  EXPECT_EQ(dialogs_->fileDialogs[0].Title, "Modul einfügen");
  EXPECT_EQ(dialogs_->fileDialogs[0].DefaultExt, "v2");
  EXPECT_FALSE(dialogs_->fileDialogs[0].MultiSelect);
  EXPECT_EQ(dialogs_->fileDialogs[1].InitialDir, "/projects");
  options::DefaultProjectPath.clear();
}

// The new-item dialog answers from a script.
class ScriptedModule : public TCommandsModule {
 public:
  std::optional<TFileKind> answer;
  TFileKind shownWith = TFileKind::Plain;

 protected:
  bool ExecuteNewDialog(TFileKind& Kind) override {
    shownWith = Kind;
    if (!answer) return false;
    Kind = *answer;
    return true;
  }
};

TEST_F(CommandsModuleTest, NewAsksWhatToCreateWithTheLastKindPreselected) {
  auto ide = std::make_shared<NiceMock<MockVexaIDE>>();
  VexaIDE = ide;
  ScriptedModule module;
  module.LastCreateType = TFileKind::V2Module;
  EXPECT_CALL(*ide, OpenByKind).Times(0);
  ExecuteAction(TAction::FileNew);  // cancelled
  EXPECT_EQ(module.shownWith, TFileKind::V2Module);
  EXPECT_EQ(module.LastCreateType, TFileKind::V2Module);
  testing::Mock::VerifyAndClearExpectations(ide.get());

  module.answer = TFileKind::BasicProject;
  EXPECT_CALL(*ide, OpenByKind(QString(), TFileKind::BasicProject));
  ExecuteAction(TAction::FileNew);
  EXPECT_EQ(module.LastCreateType, TFileKind::BasicProject);
}

TEST_F(CommandsModuleTest, HighlighterAttributesStartWithGreenCommentsAndBlueNumbers) {
  TCommandsModule module;
  const TVexaColor green = TVexaColor::FromRgb(0, 128, 0);
  const TVexaColor blue = TVexaColor::FromRgb(0, 0, 255);
  for (const THighlighterAttributes* h : {&module.hlV2, &module.hlBasic}) {
    EXPECT_EQ(h->Find("Comment")->Foreground, green);
    EXPECT_EQ(h->Find("Comment")->Style, FontStyleItalic);
    EXPECT_EQ(h->Find("Number")->Foreground, blue);
    EXPECT_EQ(h->Find("Keyword")->Style, FontStyleBold);
    EXPECT_TRUE(h->Find("Whitespace")->Background.IsNone());
  }
  EXPECT_EQ(module.hlV2.Count(), 8);
  EXPECT_EQ(module.hlBasic.Count(), 10);
  EXPECT_EQ(module.hlBasic.Find("Label")->Foreground, TVexaColor::FromRgb(128, 0, 128));
  EXPECT_EQ(module.hlV2.Find("Label"), nullptr);
  // A fresh attribute set (the options page's copy) has the lexer's own colours.
  THighlighterAttributes plain(THighlighterLanguage::V2);
  EXPECT_EQ(plain.Find("Comment")->Foreground, TVexaColor::FromRgb(128, 128, 128));
}

TEST_F(CommandsModuleTest, HighlighterSettingsMissingValuesKeepDefaultsAllAreWritten) {
  const QString v2Keyword = "SyntaxHighlighting\\V2\\Keyword";
  settings::WriteInteger(v2Keyword, "ForegroundColor", 0x00FF0000);
  settings::WriteInteger(v2Keyword, "FontStyle", FontStyleItalic | FontStyleUnderline);
  settings::WriteInteger(v2Keyword, "BackgroundColor", -1);
  settings::WriteInteger("SyntaxHighlighting\\BASIC\\String", "BackgroundColor",
                         int(TVexaColor::System(5).Value()));
  settings::WriteBool("SyntaxHighlighting", "UseSyntaxHighlighting", false);
  options::UseSyntaxHighlighting = true;
  {
    TCommandsModule module;
    EXPECT_FALSE(options::UseSyntaxHighlighting);
    const THighlighterAttribute* keyword = module.hlV2.Find("Keyword");
    EXPECT_EQ(keyword->Foreground, TVexaColor(0x00FF0000));
    EXPECT_EQ(keyword->Style, FontStyleItalic | FontStyleUnderline);
    EXPECT_TRUE(keyword->Background.IsNone());
    EXPECT_EQ(module.hlBasic.Find("String")->Background, TVexaColor::System(5));
    EXPECT_EQ(module.hlBasic.Find("String")->Foreground, TVexaColor::FromRgb(0, 0, 255));
    // The other language's Keyword is untouched.
    EXPECT_EQ(module.hlBasic.Find("Keyword")->Style, FontStyleBold);
  }
  options::UseSyntaxHighlighting = true;
  EXPECT_EQ(Setting("SyntaxHighlighting/UseSyntaxHighlighting"), "0");
  auto file = temp_.File();
  for (const char* attribute : {"Comment", "Constant", "Identifier", "InvalidChars", "Keyword",
                                "Label", "Number", "Whitespace", "String", "Symbol"})
    for (const char* value : {"BackgroundColor", "ForegroundColor", "FontStyle"})
      EXPECT_TRUE(
          file->contains(QString("1.0/SyntaxHighlighting/BASIC/%1/%2").arg(attribute, value)))
          << attribute << " " << value;
  EXPECT_EQ(file->value("1.0/SyntaxHighlighting/V2/Keyword/BackgroundColor").toLongLong(),
            TVexaColor::NoColor);
  EXPECT_EQ(file->value("1.0/SyntaxHighlighting/V2/Number/ForegroundColor").toInt(), 0xFF0000);
  EXPECT_EQ(file->value("1.0/SyntaxHighlighting/V2/Comment/FontStyle").toInt(), FontStyleItalic);
  // A system colour survives the round trip.
  TCommandsModule again;
  EXPECT_EQ(again.hlBasic.Find("String")->Background, TVexaColor::System(5));
}

TEST_F(CommandsModuleTest, HighlighterChangesAreSignalledOnce) {
  THighlighterAttributes live(THighlighterLanguage::Basic);
  QSignalSpy spy(&live, &THighlighterAttributes::Changed);
  const quint64 version = live.Version();
  const int label = live.IndexOf("Label");
  live.SetStyle(label, FontStyleUnderline);
  live.SetStyle(label, FontStyleUnderline);  // no change
  EXPECT_EQ(spy.count(), 1);

  THighlighterAttributes copy(THighlighterLanguage::Basic);
  copy.Assign(live);
  EXPECT_EQ(copy.At(label).Style, FontStyleUnderline);
  copy.SetForeground(0, TVexaColor::FromRgb(1, 2, 3));
  copy.SetBackground(1, TVexaColor::FromRgb(4, 5, 6));
  live.Assign(copy);
  EXPECT_EQ(spy.count(), 2);
  EXPECT_EQ(live.At(1).Background, TVexaColor::FromRgb(4, 5, 6));
  live.Assign(copy);
  EXPECT_EQ(spy.count(), 2);
  EXPECT_GT(live.Version(), version);
}

}  // namespace
}  // namespace vexa::ide
