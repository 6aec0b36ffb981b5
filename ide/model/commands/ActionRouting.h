#pragma once

// The IDE's commands: one table of every action, a row each (list, name,
// category, caption, hint, image, shortcut, and the rules that route its
// execution and its enabled and checked states to whatever currently owns
// that kind of command: the handler and service variables of Services.h, the
// command module). Qt Core only: the widget layer makes the QActions from
// the table and asks these rules.

#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace vexa::ide {

// The three action lists, in the order a shortcut is looked up.
enum class TActionList { Standard, View, Development };

enum class TAction : int {
  MRUFile1,
  MRUFile2,
  MRUFile3,
  MRUFile4,
  MRUFile5,
  MRUProject1,
  MRUProject2,
  MRUProject3,
  MRUProject4,
  MRUProject5,
  FileNew,
  FileNewBasicProject,
  FileNewV2Project,
  FileNewV2Module,
  FileOpen,
  FileSave,
  FileSaveAs,
  FileSaveAll,
  FilePrint,
  FileClose,
  FileCloseActiveProject,
  FileCloseAll,
  EditUndo,
  EditRedo,
  EditCut,
  EditCopy,
  EditPaste,
  EditDelete,
  EditSelectAll,
  SearchFind,
  SearchFindNext,
  SearchFindPrev,
  SearchReplace,
  SearchCaseSensitive,
  SearchWholeWords,
  SearchDefinition,
  SearchDefinitionReturn,
  ViewProjectEditor,
  ViewMessageViewer,
  ViewVariables,
  ViewDigitalPorts,
  ViewAnalogPorts,
  ViewOutput1,  // the output window: always enabled, does nothing
  ActiveProjectBuild,
  ActiveProjectDownload,
  ProjectActivate,
  ProjectAddWatch,
  ProjectClose,
  ProjectDeleteModule,
  ProjectEditSystemModules,
  ProjectEditCommonModules,
  ProjectEditProjectModules,
  ProjectInsertModule,
  ProjectNextError,
  ProjectOpenModuleSource,
  SimulatorStart,
  ProjectPrevError,
  SimulatorPause,
  SimulatorReset,
  SimulatorStepInto,
  SimulatorStepOver,
  SimulatorStepOut,
  SimulatorRunToCursor,
  SimulatorShowCurrent,
  ProjectToggleBrkpt,
  SimulatorClearAllBrkpts,
  ProjectToggleUsedInProject,
  Count
};

constexpr int kActionCount = int(TAction::Count);

struct TActionState {
  bool Enabled = false;
  bool Checked = false;
  // Recent-list actions only: shown while their entry exists, with its name.
  bool Visible = true;
  QString Caption;
};

// A row's rules; they get the row's action so one rule can serve a group
// of rows (the recent lists, the module lists).
using TActionStateRule = TActionState (*)(TAction Action);
using TActionExecuteRule = void (*)(TAction Action);

struct TActionDef {
  TAction Id;
  TActionList List;
  const char* Name;      // "actFileSave": the QAction's object name
  const char* Category;  // "Datei"
  const char* Caption;   // "&Speichern"
  const char* Hint;      // "Speichern"; empty for none
  int Image;             // index into the list's images; -1 for none
  const char* Shortcut;  // portable key text ("Ctrl+Shift+S"); empty for none
  bool InitiallyEnabled;
  bool Checkable;
  TActionStateRule State;      // enabled, checked, visible and caption now
  TActionExecuteRule Execute;  // carries the action out
};

// Every action, in list order (Standard, View, Development), indexed by TAction.
std::span<const TActionDef> ActionDefs();
const TActionDef& ActionDef(TAction Action);
std::optional<TAction> FindAction(QStringView Name);

// The recent-list action for entry K (1..5).
TAction MRUFileAction(int K);
TAction MRUProjectAction(int K);

// The state the action should show now.
TActionState ActionState(TAction Action);
// Carries out the action, when whoever it goes to is there. Does not look at
// the enabled state: callers trigger enabled actions only.
void ExecuteAction(TAction Action);

}  // namespace vexa::ide
