#include "model/settings/Options.h"

#include "model/core/Helpers.h"
#include "model/settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <variant>

namespace vexa::ide::options {

QString DefaultProjectPath;
QString SystemModulesPath;
QString UserCommonModulesPath;
bool BackgroundCompilationBASIC = true;
int BackgroundCompilationDelayBASIC = 1000;
bool BackgroundCompilationV2 = true;
int BackgroundCompilationDelayV2 = 1000;
int DownloadComBASIC = 1;
int DownloadComV2 = 1;

bool AutoIndent = true;
bool DragDropEditing = false;
bool InsertMode = true;
bool SearchTextAtCaret = true;
bool ShowGutter = true;
bool ShowRightEdge = true;
int EditorFontSize = 10;
QString EditorFontFace = QStringLiteral("Courier New");

int LeftMargin = 25;
int RightMargin = 20;
int TopMargin = 15;
int BottomMargin = 15;
bool Header = true;
bool LineNumbers = false;
bool SyntaxHighlighted = true;
bool UseColors = true;
bool WrapLongLines = false;

TVexaColor SelectedTextBG = TVexaColor::System(13);
TVexaColor SelectedTextFG = TVexaColor::System(14);
TVexaColor CurrentLineBG(0x00FF0000);
TVexaColor CurrentLineFG(0x00FFFFFF);
TVexaColor ErrorLineBG(0x00000080);
TVexaColor ErrorLineFG(0x00FFFFFF);
TVexaColor BreakpointLineBG(0x000000FF);
TVexaColor BreakpointLineFG(0x00FFFFFF);
TVexaColor InvalidBreakpointLineBG(0x00808080);
TVexaColor InvalidBreakpointLineFG(0x00FFFFFF);

QString SearchText;
QString SearchTextHistory;
QString ReplaceText;
QString ReplaceTextHistory;
bool SearchBackwards = false;
bool SearchCaseSensitive = false;
bool SearchFromCaret = true;
bool SearchInSelectionOnly = true;
bool SearchWholeWordsOnly = false;

bool UseSyntaxHighlighting = true;

namespace {

using Target = std::variant<bool*, int*, QString*, TVexaColor*>;
using Default = std::variant<bool, int, QString, TVexaColor>;

struct Option {
  const char* section;
  const char* name;
  Target target;
  Default value;
};

// A row whose default is the variable's initial value: the tables are made after
// the variables above, before anything reads the settings.
template <class T>
Option Row(const char* Section, const char* Name, T* Variable) {
  return {Section, Name, Variable, *Variable};
}

// The values read at start and written at exit, in the order of reading.
const Option kProjects[] = {
    Row("Projects", "BackgroundCompilationBASIC", &BackgroundCompilationBASIC),
    Row("Projects", "BackgroundCompilationDelayBASIC", &BackgroundCompilationDelayBASIC),
    Row("Projects", "BackgroundCompilationV2", &BackgroundCompilationV2),
    Row("Projects", "BackgroundCompilationDelayV2", &BackgroundCompilationDelayV2),
    Row("Projects", "DownloadComBASIC", &DownloadComBASIC),
    Row("Projects", "DownloadComV2", &DownloadComV2),
};

const Option kEditor[] = {
    Row("Editor", "AutoIndent", &AutoIndent),
    Row("Editor", "DragDropEditing", &DragDropEditing),
    Row("Editor", "InsertMode", &InsertMode),
    Row("Editor", "SearchTextAtCaret", &SearchTextAtCaret),
    Row("Editor", "ShowGutter", &ShowGutter),
    Row("Editor", "ShowRightEdge", &ShowRightEdge),
    Row("Editor", "EditorFontSize", &EditorFontSize),
    Row("Editor", "EditorFontFace", &EditorFontFace),
    Row("Editor\\Print", "LeftMargin", &LeftMargin),
    Row("Editor\\Print", "RightMargin", &RightMargin),
    Row("Editor\\Print", "TopMargin", &TopMargin),
    Row("Editor\\Print", "BottomMargin", &BottomMargin),
    Row("Editor\\Print", "Header", &Header),
    Row("Editor\\Print", "LineNumbers", &LineNumbers),
    Row("Editor\\Print", "SyntaxHighlighted", &SyntaxHighlighted),
    Row("Editor\\Print", "UseColors", &UseColors),
    Row("Editor\\Print", "WrapLongLines", &WrapLongLines),
    Row("Editor\\Colors", "SelectedTextBG", &SelectedTextBG),
    Row("Editor\\Colors", "SelectedTextFG", &SelectedTextFG),
    Row("Editor\\Colors", "CurrentLineBG", &CurrentLineBG),
    Row("Editor\\Colors", "CurrentLineFG", &CurrentLineFG),
    Row("Editor\\Colors", "ErrorLineBG", &ErrorLineBG),
    Row("Editor\\Colors", "ErrorLineFG", &ErrorLineFG),
    Row("Editor\\Colors", "BreakpointLineBG", &BreakpointLineBG),
    Row("Editor\\Colors", "BreakpointLineFG", &BreakpointLineFG),
    Row("Editor\\Colors", "InvalidBreakpointLineBG", &InvalidBreakpointLineBG),
    Row("Editor\\Colors", "InvalidBreakpointLineFG", &InvalidBreakpointLineFG),
};

const Option kSearchFlags[] = {
    Row("SearchAndReplace", "SearchBackwards", &SearchBackwards),
    Row("SearchAndReplace", "SearchCaseSensitive", &SearchCaseSensitive),
    Row("SearchAndReplace", "SearchFromCaret", &SearchFromCaret),
    Row("SearchAndReplace", "SearchInSelectionOnly", &SearchInSelectionOnly),
    Row("SearchAndReplace", "SearchWholeWordsOnly", &SearchWholeWordsOnly),
};

const char* const kSearch = "SearchAndReplace";

template <class... F>
struct Overload : F... {
  using F::operator()...;
};
template <class... F>
Overload(F...) -> Overload<F...>;

void Read(const Option& o) {
  const QString section = QString::fromLatin1(o.section);
  const QString name = QString::fromLatin1(o.name);
  std::visit(
      Overload{
          [&](bool* v) { *v = settings::ReadBool(section, name, std::get<bool>(o.value)); },
          [&](int* v) { *v = settings::ReadInteger(section, name, std::get<int>(o.value)); },
          [&](QString* v) { *v = settings::ReadString(section, name, std::get<QString>(o.value)); },
          [&](TVexaColor* v) {
            *v = TVexaColor(quint32(
                settings::ReadInteger(section, name, int(std::get<TVexaColor>(o.value).Value()))));
          },
      },
      o.target);
}

void Write(const Option& o) {
  const QString section = QString::fromLatin1(o.section);
  const QString name = QString::fromLatin1(o.name);
  std::visit(Overload{
                 [&](bool* v) { settings::WriteBool(section, name, *v); },
                 [&](int* v) { settings::WriteInteger(section, name, *v); },
                 [&](QString* v) { settings::WriteString(section, name, *v); },
                 [&](TVexaColor* v) { settings::WriteInteger(section, name, int(v->Value())); },
             },
             o.target);
}

QString ReadHistory(const QString& baseName) {
  QStringList lines;
  for (int i = 1; i <= kMaxHistory; ++i) {
    QString value = settings::ReadString(kSearch, baseName + QString::number(i), QString());
    if (!value.isEmpty()) lines << value;
  }
  return lines.join(QStringLiteral("\r\n"));
}

// At most ten values, as many as the dialogs keep and the next start reads.
void WriteHistory(const QString& baseName, const QString& history) {
  const QStringList lines = HistoryLines(history).mid(0, kMaxHistory);
  int k = 1;
  for (; k <= lines.size(); ++k)
    settings::WriteString(kSearch, baseName + QString::number(k), lines[k - 1]);
  for (; k <= kMaxHistory; ++k) settings::DeleteValue(kSearch, baseName + QString::number(k));
}

}  // namespace

QStringList HistoryLines(const QString& History) {
  if (History.isEmpty()) return {};
  QString text = History;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  return text.split(QLatin1Char('\n'));
}

QString UserProjectPath() { return QDir::homePath() + QStringLiteral("/Vexa Projects"); }

void ReadOptions() {
  const QString dir = ProgramDirectory();
  const QString shipped = dir + "Projects";
  DefaultProjectPath = settings::ReadString(
      "Projects", "DefaultProjectPath", QFileInfo(shipped).isDir() ? shipped : UserProjectPath());
  SystemModulesPath = settings::ReadString("Projects", "SystemModulesPath", dir + "Lib");
  UserCommonModulesPath =
      settings::ReadString("Projects", "UserCommonModulesPath", dir + "UserLib");

  for (const Option& o : kProjects) Read(o);
  BackgroundCompilationDelayBASIC = Max(200, BackgroundCompilationDelayBASIC);
  BackgroundCompilationDelayV2 = Max(200, BackgroundCompilationDelayV2);
  DownloadComBASIC = EnsureRange(DownloadComBASIC, 1, 8);
  DownloadComV2 = EnsureRange(DownloadComV2, 1, 8);

  for (const Option& o : kEditor) Read(o);

  SearchText = settings::ReadString(kSearch, "SearchText", QString());
  SearchTextHistory = ReadHistory("SearchTextHistory");
  ReplaceText = settings::ReadString(kSearch, "ReplaceText", QString());
  ReplaceTextHistory = ReadHistory("ReplaceTextHistory");

  for (const Option& o : kSearchFlags) Read(o);
}

void WriteOptions() {
  for (const Option& o : kProjects) Write(o);
  for (const Option& o : kEditor) Write(o);
  settings::WriteString(kSearch, "SearchText", SearchText);
  WriteHistory("SearchTextHistory", SearchTextHistory);
  settings::WriteString(kSearch, "ReplaceText", ReplaceText);
  WriteHistory("ReplaceTextHistory", ReplaceTextHistory);
  for (const Option& o : kSearchFlags) Write(o);
}

}  // namespace vexa::ide::options
