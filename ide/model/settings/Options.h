#pragma once

// The IDE's options: process-wide variables, read from the settings once at
// start (ReadOptions) and written back once at the end (WriteOptions). The
// option pages, the editor and the search dialogs change the variables, never
// the settings. The three paths are read only.

#include "model/settings/VexaColor.h"

#include <QString>

namespace vexa::ide::options {

// Projects
extern QString DefaultProjectPath;
extern QString SystemModulesPath;
extern QString UserCommonModulesPath;
extern bool BackgroundCompilationBASIC;
extern int BackgroundCompilationDelayBASIC;  // ms, at least 200
extern bool BackgroundCompilationV2;
extern int BackgroundCompilationDelayV2;  // ms, at least 200
extern int DownloadComBASIC;              // 1..8
extern int DownloadComV2;                 // 1..8

// Editor
extern bool AutoIndent;
extern bool DragDropEditing;
extern bool InsertMode;
extern bool SearchTextAtCaret;
extern bool ShowGutter;
extern bool ShowRightEdge;
extern int EditorFontSize;
extern QString EditorFontFace;

// Editor\Print
extern int LeftMargin;
extern int RightMargin;
extern int TopMargin;
extern int BottomMargin;
extern bool Header;
extern bool LineNumbers;
extern bool SyntaxHighlighted;
extern bool UseColors;
extern bool WrapLongLines;

// Editor\Colors
extern TVexaColor SelectedTextBG;
extern TVexaColor SelectedTextFG;
extern TVexaColor CurrentLineBG;
extern TVexaColor CurrentLineFG;
extern TVexaColor ErrorLineBG;
extern TVexaColor ErrorLineFG;
extern TVexaColor BreakpointLineBG;
extern TVexaColor BreakpointLineFG;
extern TVexaColor InvalidBreakpointLineBG;
extern TVexaColor InvalidBreakpointLineFG;

// SearchAndReplace. The histories hold up to ten earlier texts, one per line,
// separated by CR LF, newest first as the search dialogs keep them.
extern QString SearchText;
extern QString SearchTextHistory;
extern QString ReplaceText;
extern QString ReplaceTextHistory;
extern bool SearchBackwards;
extern bool SearchCaseSensitive;
extern bool SearchFromCaret;
extern bool SearchInSelectionOnly;
extern bool SearchWholeWordsOnly;

// SyntaxHighlighting; read and written by the command module with the
// highlighter settings.
extern bool UseSyntaxHighlighting;

constexpr int kMaxHistory = 10;

void ReadOptions();
void WriteOptions();

// "Vexa Projects" in the user's home: the default of DefaultProjectPath when
// the program's folder has no "Projects" (it belongs to the installation). The
// file dialogs make it when they first open there.
QString UserProjectPath();

// The lines of a history text (CR LF or LF separated; a final line break ends
// the last line rather than starting an empty one).
QStringList HistoryLines(const QString& History);

}  // namespace vexa::ide::options
