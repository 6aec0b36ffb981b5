#include "model/commands/CommandsModule.h"

#include "model/core/Helpers.h"
#include "model/core/Services.h"
#include "model/settings/Options.h"
#include "model/settings/Settings.h"

namespace vexa::ide {

TCommandsModule* CommandsModule = nullptr;

namespace {

const QString kMRU = QStringLiteral("MostRecentlyUsed");
const QString kMisc = QStringLiteral("Misc");
const QString kSyntax = QStringLiteral("SyntaxHighlighting");

TFileDialog SaveDialog(const char* DefaultExt, const char* Filter) {
  TFileDialog d;
  d.DialogMode = TFileDialog::Mode::Save;
  d.DefaultExt = QString::fromUtf8(DefaultExt);
  d.Filter = QString::fromUtf8(Filter);
  return d;
}

// The command module's highlighters start with green comments and blue numbers.
void SetInitialColors(THighlighterAttributes& Attributes) {
  Attributes.SetForeground(Attributes.IndexOf(QStringLiteral("Comment")),
                           TVexaColor::FromRgb(0, 128, 0));
  Attributes.SetForeground(Attributes.IndexOf(QStringLiteral("Number")),
                           TVexaColor::FromRgb(0, 0, 255));
}

QString WithoutTrailingSeparator(QString Dir) {
  while (Dir.size() > 1 && Dir.endsWith(QLatin1Char('/'))) Dir.chop(1);
  return Dir;
}

}  // namespace

TCommandsModule::TCommandsModule() {
  dlgFileOpen.Filter = QStringLiteral(
      "Vexa II Projekte|*.v2p|Vexa II Module|*.v2|Vexa/BASIC Projekte|*.bas|Alle Dateien|*.*");
  dlgFileOpen.MultiSelect = true;

  dlgModuleInsert.Title = QStringLiteral("Modul einfügen");
  dlgModuleInsert.Filter = QStringLiteral("Vexa II Module|*.v2");
  dlgModuleInsert.DefaultExt = QStringLiteral("v2");

  dlgFileSaveV2Project = SaveDialog("v2p", "Vexa II Projekt|*.v2p|Alle Dateien|*.*");
  dlgFileSaveV2Module = SaveDialog("v2", "Vexa II Module|*.v2|Alle Dateien|*.*");
  dlgFileSaveBasic = SaveDialog("bas", "Vexa/BASIC Projekt|*.bas|Alle Dateien|*.*");
  dlgFileSave = SaveDialog("", "Alle Dateien|*.*");

  SetInitialColors(hlBasic);
  SetInitialColors(hlV2);
  LoadSettings();
  CommandsModule = this;
}

TCommandsModule::~TCommandsModule() {
  SaveSettings();
  if (CommandsModule == this) CommandsModule = nullptr;
}

void TCommandsModule::LoadSettings() {
  for (int i = 1; i <= TRecentList::kMaxRecent; ++i) {
    RecentFiles.Append(settings::ReadString(kMRU, QStringLiteral("MRUFile%1").arg(i), QString()));
    RecentProjects.Append(
        settings::ReadString(kMRU, QStringLiteral("MRUProject%1").arg(i), QString()));
  }

  // The first open dialog starts in the project folder, not among the program's files.
  const QString projects = WithoutTrailingSeparator(ToLocalSeparators(options::DefaultProjectPath));
  dlgFileOpen.InitialDir = settings::ReadString(
      kMisc, QStringLiteral("LastOpenDirectory"),
      projects.isEmpty() ? WithoutTrailingSeparator(ProgramDirectory()) : projects);
  dlgFileOpen.FilterIndex = settings::ReadInteger(kMisc, QStringLiteral("LastOpenType"), -1);
  const int created = settings::ReadInteger(kMisc, QStringLiteral("LastCreateType"), -1);
  LastCreateType = created == int(TFileKind::V2Module) || created == int(TFileKind::BasicProject)
                       ? static_cast<TFileKind>(created)
                       : TFileKind::V2Project;

  options::UseSyntaxHighlighting =
      settings::ReadBool(kSyntax, QStringLiteral("UseSyntaxHighlighting"), true);
  hlBasic.Load();
  hlV2.Load();
}

void TCommandsModule::SaveSettings() const {
  settings::DeleteKey(kMRU);
  for (int i = 0; i < RecentFiles.Count(); ++i)
    settings::WriteString(kMRU, QStringLiteral("MRUFile%1").arg(i + 1), RecentFiles.At(i));
  for (int i = 0; i < RecentProjects.Count(); ++i)
    settings::WriteString(kMRU, QStringLiteral("MRUProject%1").arg(i + 1), RecentProjects.At(i));

  const QString lastDir = dlgFileOpen.FileName.isEmpty() ? dlgFileOpen.InitialDir
                                                         : ExtractFileDir(dlgFileOpen.FileName);
  settings::WriteString(kMisc, QStringLiteral("LastOpenDirectory"), lastDir);
  settings::WriteInteger(kMisc, QStringLiteral("LastOpenType"), dlgFileOpen.FilterIndex);
  settings::WriteInteger(kMisc, QStringLiteral("LastCreateType"), int(LastCreateType));

  settings::WriteBool(kSyntax, QStringLiteral("UseSyntaxHighlighting"),
                      options::UseSyntaxHighlighting);
  hlBasic.Save();
  hlV2.Save();
}

void TCommandsModule::OpenItem(const QString& FileName, TFileKind Kind) {
  if (!FileName.isEmpty()) {
    RecentFiles.Remove(FileName);
    RecentProjects.Remove(FileName);
  }
  if (Ref<IVexaIDE> ide = VexaIDE) ide->OpenByKind(FileName, Kind);
}

bool TCommandsModule::ExecuteInsertModuleDialog(QString& FileName) {
  dlgModuleInsert.InitialDir =
      FileName.isEmpty() ? options::DefaultProjectPath : ExtractFileDir(FileName);
  dlgModuleInsert.FileName.clear();
  if (!Dialogs().ExecuteFileDialog(dlgModuleInsert)) return false;
  FileName = dlgModuleInsert.FileName;
  return true;
}

bool TCommandsModule::ExecuteSaveDialog(TFileKind Kind, QString& FileName) {
  TFileDialog& dialog = Kind == TFileKind::V2Project      ? dlgFileSaveV2Project
                        : Kind == TFileKind::V2Module     ? dlgFileSaveV2Module
                        : Kind == TFileKind::BasicProject ? dlgFileSaveBasic
                                                          : dlgFileSave;
  if (!FileName.isEmpty())
    dialog.InitialDir = ExtractFileDir(FileName);
  else if (dialog.InitialDir.isEmpty())  // a new, untitled file
    dialog.InitialDir = options::DefaultProjectPath;
  dialog.FileName = ExtractFileName(FileName);
  if (!Dialogs().ExecuteFileDialog(dialog)) return false;
  FileName = dialog.FileName;
  return true;
}

void TCommandsModule::FileNew() {
  TFileKind kind = LastCreateType;
  if (!ExecuteNewDialog(kind)) return;
  LastCreateType = kind;
  OpenItem(QString(), LastCreateType);
}

void TCommandsModule::FileNewKind(TFileKind Kind) {
  LastCreateType = Kind;
  OpenItem(QString(), Kind);
}

void TCommandsModule::FileOpen() {
  dlgFileOpen.FileName.clear();
  dlgFileOpen.Files.clear();
  if (!Dialogs().ExecuteFileDialog(dlgFileOpen)) return;
  // The next run starts where this one ended.
  dlgFileOpen.InitialDir = ExtractFileDir(dlgFileOpen.FileName);
  const QStringList files = dlgFileOpen.Files;
  for (const QString& file : files) OpenItem(file, FileKindOf(file));
}

void TCommandsModule::OpenRecentFile(int K) {
  if (K < 1 || K > RecentFiles.Count()) return;
  const QString name = RecentFiles.At(K - 1);
  OpenItem(name, FileKindOf(name));
}

void TCommandsModule::OpenRecentProject(int K) {
  if (K < 1 || K > RecentProjects.Count()) return;
  const QString name = RecentProjects.At(K - 1);
  OpenItem(name, FileKindOf(name));
}

bool TCommandsModule::ExecuteNewDialog(TFileKind&) { return false; }

}  // namespace vexa::ide
