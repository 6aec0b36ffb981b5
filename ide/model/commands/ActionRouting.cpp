#include "model/commands/ActionRouting.h"

#include "model/commands/CommandsModule.h"
#include "model/core/Services.h"

#include <array>

namespace vexa::ide {

namespace {

using A = TAction;
constexpr auto S = TActionList::Standard;
constexpr auto V = TActionList::View;
constexpr auto D = TActionList::Development;

void ShowToolWindow(const Ref<IVexaToolWindow>& Window, bool Focus) {
  if (Window) Window->Show(Focus);
}

// The common rules: enabled while a variable is assigned, or while its
// object's query answers true; run an operation of whatever it holds.

TActionState Enabled(bool Value) {
  TActionState s;
  s.Enabled = Value;
  return s;
}

TActionState Never(TAction) { return {}; }
void Nothing(TAction) {}

template <auto& Variable>
TActionState Assigned(TAction) {
  return Enabled(Variable != nullptr);
}

template <auto& Handler, auto Query>
TActionState Asks(TAction) {
  return Enabled(Handler && (Handler.get()->*Query)());
}

template <auto& Handler, auto Function>
void Runs(TAction) {
  // A copy: the call may empty the handler variable.
  if (auto h = Handler) (h.get()->*Function)();
}

template <auto Query>
TActionState ProjectAsks(TAction) {
  Ref<IVexaProject> p = ActiveProject();
  return Enabled(p && (p.get()->*Query)());
}

template <auto Function>
void ProjectRuns(TAction) {
  if (Ref<IVexaProject> p = ActiveProject()) (p.get()->*Function)();
}

template <auto Function>
void ModuleRuns(TAction) {
  if (CommandsModule) (CommandsModule->*Function)();
}

template <auto Kind>
void NewOfKind(TAction) {
  if (CommandsModule) CommandsModule->FileNewKind(Kind);
}

// A view command shows its window with the focus.
template <auto& View>
void Shows(TAction) {
  if (auto v = View) ShowToolWindow(v->GetToolWindow(), true);
}

// Build and download show the messages, without the focus, first.
template <auto Function>
void Builds(TAction) {
  if (Ref<IVexaProject> p = ActiveProject()) {
    if (Ref<IMessageView> v = MessageView) ShowToolWindow(v->GetToolWindow(), false);
    (p.get()->*Function)();
  }
}

// A search option: enabled with a search handler, checked by its query.
template <auto Query>
TActionState Toggle(TAction) {
  TActionState s;
  if (Ref<ISearchCommands> h = SearchCommandHandler) {
    s.Enabled = true;
    s.Checked = (h.get()->*Query)();
  }
  return s;
}

// The special cases.

bool IsRecentFileAction(TAction Action) { return Action >= A::MRUFile1 && Action <= A::MRUFile5; }

// A recent-list action is always enabled and shown while its entry exists.
TActionState RecentState(TAction Action) {
  const bool file = IsRecentFileAction(Action);
  const int k = int(Action) - int(file ? A::MRUFile1 : A::MRUProject1);
  TActionState s;
  s.Enabled = true;
  s.Visible = false;
  if (CommandsModule) {
    const TRecentList& list = file ? CommandsModule->RecentFiles : CommandsModule->RecentProjects;
    s.Visible = k < list.Count();
    s.Caption = list.At(k);
  }
  return s;
}

void OpenRecent(TAction Action) {
  if (!CommandsModule) return;
  if (IsRecentFileAction(Action))
    CommandsModule->OpenRecentFile(int(Action) - int(A::MRUFile1) + 1);
  else
    CommandsModule->OpenRecentProject(int(Action) - int(A::MRUProject1) + 1);
}

TActionState HasActiveProject(TAction) { return Enabled(ActiveProject() != nullptr); }

TActionState CanCloseAll(TAction) {
  Ref<IVexaIDE> ide = VexaIDE;
  return Enabled(ide && (ide->GetProjectCount() >= 1 || ide->GetEditorCount() >= 1));
}

void CloseFile(TAction) {
  if (Ref<IFileCommands> h = FileCommandHandler)
    if (h->CloseQuery()) h->Close();
}

void CloseActiveProject(TAction) {
  if (Ref<IVexaIDE> ide = VexaIDE)
    if (Ref<IVexaProject> p = ide->GetActiveProject())
      if (ide->CanCloseProject(p)) ide->RemoveProject(p);
}

TActionState UsedInProjectState(TAction) {
  TActionState s;
  if (Ref<IProjectCommands> h = ProjectCommandHandler) {
    s.Enabled = h->CanToggleUsedInProject();
    s.Checked = s.Enabled && h->IsUsedInProject();
  }
  return s;
}

TModuleKind ModuleKindOf(TAction Action) {
  switch (Action) {
    case A::ProjectEditSystemModules: return TModuleKind::System;
    case A::ProjectEditCommonModules: return TModuleKind::Common;
    default: return TModuleKind::Project;
  }
}

// The module-list actions go to the focused project command handler, else to
// the active project.
TActionState ModuleListState(TAction Action) {
  const bool insert = Action == A::ProjectInsertModule;
  if (Ref<IProjectCommands> h = ProjectCommandHandler)
    return Enabled(insert ? h->CanInsertModule() : h->CanEditModules(ModuleKindOf(Action)));
  if (Ref<IVexaProject> p = ActiveProject())
    return Enabled(insert ? p->CanInsertModule() : p->CanEditModules(ModuleKindOf(Action)));
  return {};
}

void ExecuteModuleListAction(TAction Action) {
  const bool insert = Action == A::ProjectInsertModule;
  if (Ref<IProjectCommands> h = ProjectCommandHandler) {
    if (insert)
      h->InsertModule();
    else
      h->EditModules(ModuleKindOf(Action));
  } else if (Ref<IVexaProject> p = ActiveProject()) {
    if (insert)
      p->InsertModule();
    else
      p->EditModules(ModuleKindOf(Action));
  }
}

using E = IEditCommands;
using F = IFileCommands;
using Srch = ISearchCommands;
using G = IDebugCommands;
using P = IProjectCommands;
using M = IMessageView;
using Sim = IVexaSimulator;

// clang-format off
constexpr std::array<TActionDef, kActionCount> kActions = {{
  {A::MRUFile1, S, "actMRUFile1", "MRU", "MRU1", "", -1, "", true, false,
   RecentState, OpenRecent},
  {A::MRUFile2, S, "actMRUFile2", "MRU", "MRU2", "", -1, "", true, false,
   RecentState, OpenRecent},
  {A::MRUFile3, S, "actMRUFile3", "MRU", "MRU3", "", -1, "", true, false,
   RecentState, OpenRecent},
  {A::MRUFile4, S, "actMRUFile4", "MRU", "MRU4", "", -1, "", true, false,
   RecentState, OpenRecent},
  {A::MRUFile5, S, "actMRUFile5", "MRU", "MRU5", "", -1, "", true, false,
   RecentState, OpenRecent},
  {A::MRUProject1, S, "actMRUProject1", "MRU", "MRU1", "", -1, "", true, false,
   RecentState, OpenRecent},
  {A::MRUProject2, S, "actMRUProject2", "MRU", "MRU2", "", -1, "", true, false,
   RecentState, OpenRecent},
  {A::MRUProject3, S, "actMRUProject3", "MRU", "MRU3", "", -1, "", true, false,
   RecentState, OpenRecent},
  {A::MRUProject4, S, "actMRUProject4", "MRU", "MRU4", "", -1, "", true, false,
   RecentState, OpenRecent},
  {A::MRUProject5, S, "actMRUProject5", "MRU", "MRU5", "", -1, "", true, false,
   RecentState, OpenRecent},
  {A::FileNew, S, "actFileNew", "Datei", "&Neu", "Neu", 1, "Ctrl+N", true, false,
   Assigned<VexaIDE>, ModuleRuns<&TCommandsModule::FileNew>},
  {A::FileNewBasicProject, S, "actFileNewBasicProject", "Datei", "Vexa/&BASIC Projekt", "", -1, "", true, false,
   Assigned<VexaIDE>, NewOfKind<TFileKind::BasicProject>},
  {A::FileNewV2Project, S, "actFileNewV2Project", "Datei", "Vexa II &Projekt", "", -1, "", true, false,
   Assigned<VexaIDE>, NewOfKind<TFileKind::V2Project>},
  {A::FileNewV2Module, S, "actFileNewV2Module", "Datei", "Vexa II &Modul", "", -1, "", true, false,
   Assigned<VexaIDE>, NewOfKind<TFileKind::V2Module>},
  {A::FileOpen, S, "actFileOpen", "Datei", "Öffnen...", "Öffnen", 3, "Ctrl+O", false, false,
   Assigned<VexaIDE>, ModuleRuns<&TCommandsModule::FileOpen>},
  {A::FileSave, S, "actFileSave", "Datei", "&Speichern", "Speichern", 4, "Ctrl+S", false, false,
   Asks<FileCommandHandler, &F::CanSave>, Runs<FileCommandHandler, &F::Save>},
  {A::FileSaveAs, S, "actFileSaveAs", "Datei", "Speichern &unter...", "Speichern unter", -1, "", false, false,
   Asks<FileCommandHandler, &F::CanSaveAs>, Runs<FileCommandHandler, &F::SaveAs>},
  {A::FileSaveAll, S, "actFileSaveAll", "Datei", "&Alle speichern", "Alle speichern", 5, "Ctrl+Shift+S", false, false,
   Asks<VexaIDE, &IVexaIDE::AnyModified>, Runs<VexaIDE, &IVexaIDE::SaveAll>},
  {A::FilePrint, S, "actFilePrint", "Datei", "Dr&ucken...", "Drucken", 6, "Ctrl+P", false, false,
   Asks<FileCommandHandler, &F::CanPrint>, Runs<FileCommandHandler, &F::Print>},
  {A::FileClose, S, "actFileClose", "Datei", "S&chliessen", "Schliessen", -1, "Ctrl+F4", false, false,
   Assigned<FileCommandHandler>, CloseFile},
  {A::FileCloseActiveProject, S, "actFileCloseActiveProject", "Datei", "Aktives P&rojekt schliessen", "Projekt schliessen", -1, "", false, false,
   HasActiveProject, CloseActiveProject},
  {A::FileCloseAll, S, "actFileCloseAll", "Datei", "Alle schliessen", "Alle schliessen", -1, "Ctrl+Shift+F4", false, false,
   CanCloseAll, Runs<VexaIDE, &IVexaIDE::CloseAll>},
  {A::EditUndo, S, "actEditUndo", "Bearbeiten", "&Rückgängig", "Rückgängig", 12, "Ctrl+Z", false, false,
   Asks<EditCommandHandler, &E::CanUndo>, Runs<EditCommandHandler, &E::Undo>},
  {A::EditRedo, S, "actEditRedo", "Bearbeiten", "&Wiederherstellen", "Wiederherstellen", 13, "Ctrl+Shift+Z", false, false,
   Asks<EditCommandHandler, &E::CanRedo>, Runs<EditCommandHandler, &E::Redo>},
  {A::EditCut, S, "actEditCut", "Bearbeiten", "&Ausschneiden", "Ausschneiden", 8, "Ctrl+X", false, false,
   Asks<EditCommandHandler, &E::CanCut>, Runs<EditCommandHandler, &E::Cut>},
  {A::EditCopy, S, "actEditCopy", "Bearbeiten", "&Kopieren", "Kopieren", 9, "Ctrl+C", false, false,
   Asks<EditCommandHandler, &E::CanCopy>, Runs<EditCommandHandler, &E::Copy>},
  {A::EditPaste, S, "actEditPaste", "Bearbeiten", "&Einfügen", "Einfügen", 10, "Ctrl+V", false, false,
   Asks<EditCommandHandler, &E::CanPaste>, Runs<EditCommandHandler, &E::Paste>},
  {A::EditDelete, S, "actEditDelete", "Bearbeiten", "&Löschen", "Löschen", 11, "", false, false,
   Asks<EditCommandHandler, &E::CanDelete>, Runs<EditCommandHandler, &E::Delete>},
  {A::EditSelectAll, S, "actEditSelectAll", "Bearbeiten", "Alles &markieren", "Alles markieren", -1, "Ctrl+A", false, false,
   Asks<EditCommandHandler, &E::CanSelectAll>, Runs<EditCommandHandler, &E::SelectAll>},
  {A::SearchFind, S, "actSearchFind", "Suchen", "&Suchen...", "Suchen", 14, "Ctrl+F", false, false,
   Asks<SearchCommandHandler, &Srch::CanFind>, Runs<SearchCommandHandler, &Srch::Find>},
  {A::SearchFindNext, S, "actSearchFindNext", "Suchen", "Vorwärts weitersuchen", "Vorwärts weitersuchen", 15, "F3", false, false,
   Asks<SearchCommandHandler, &Srch::CanFindNext>, Runs<SearchCommandHandler, &Srch::FindNext>},
  {A::SearchFindPrev, S, "actSearchFindPrev", "Suchen", "Rückwärts weitersuchen", "Rückwärts weitersuchen", 16, "Shift+F3", false, false,
   Asks<SearchCommandHandler, &Srch::CanFindPrev>, Runs<SearchCommandHandler, &Srch::FindPrev>},
  {A::SearchReplace, S, "actSearchReplace", "Suchen", "&Ersetzen...", "Ersetzen", 19, "Ctrl+H", false, false,
   Asks<SearchCommandHandler, &Srch::CanReplace>, Runs<SearchCommandHandler, &Srch::Replace>},
  {A::SearchCaseSensitive, S, "actSearchCaseSensitive", "Suchen", "Gross- und Kleinbuchstaben unterscheiden", "Gross- und Kleinbuchstaben", 17, "", false, true,
   Toggle<&Srch::IsCaseSensitive>, Runs<SearchCommandHandler, &Srch::ToggleCaseSensitive>},
  {A::SearchWholeWords, S, "actSearchWholeWords", "Suchen", "Ganze Wörter suchen", "Ganze Wörter", 18, "", false, true,
   Toggle<&Srch::IsWholeWords>, Runs<SearchCommandHandler, &Srch::ToggleWholeWords>},
  {A::SearchDefinition, S, "actSearchDefinition", "Suchen", "Gehe zur &Definition", "Zur Definition gehen", 20, "Ctrl+F11", false, false,
   Asks<SearchCommandHandler, &Srch::CanFindDefinition>, Runs<SearchCommandHandler, &Srch::FindDefinition>},
  {A::SearchDefinitionReturn, S, "actSearchDefinitionReturn", "Suchen", "&Zurück von Definition ", "Von Definition zurückkehren", 21, "Ctrl+Shift+F11", false, false,
   Asks<SearchCommandHandler, &Srch::CanReturnFromDefinition>, Runs<SearchCommandHandler, &Srch::ReturnFromDefinition>},
  {A::ViewProjectEditor, V, "actViewProjectEditor", "Ansicht", "&Projekte", "Projektfenster", 0, "Ctrl+Alt+P", false, false,
   Assigned<ProjectEditor>, Shows<ProjectEditor>},
  {A::ViewMessageViewer, V, "actViewMessageViewer", "Ansicht", "&Meldungen", "Meldungen", 1, "Ctrl+Alt+M", false, false,
   Assigned<MessageView>, Shows<MessageView>},
  {A::ViewVariables, V, "actViewVariables", "Ansicht", "Überwachte &Variablen", "Variablenfenster", 2, "Ctrl+Alt+V", false, false,
   Assigned<WatchesView>, Shows<WatchesView>},
  {A::ViewDigitalPorts, V, "actViewDigitalPorts", "Ansicht", "&Digitalports", "Digitalports", 3, "Ctrl+Alt+D", false, false,
   Never, Nothing},
  {A::ViewAnalogPorts, V, "actViewAnalogPorts", "Ansicht", "&Analogports", "Analogports", 4, "Ctrl+Alt+A", false, false,
   Never, Nothing},
  {A::ViewOutput1, V, "actViewOutput1", "Ansicht", "A&usgabefenster", "Ausgabefenster", 5, "", false, false,
   Never, Nothing},
  {A::ActiveProjectBuild, D, "actActiveProjectBuild", "Projekt", "Projekt neu &erstellen", "Projekt neu erstellen", 0, "Ctrl+F9", false, false,
   ProjectAsks<&IVexaProject::CanBuild>, Builds<&IVexaProject::Build>},
  {A::ActiveProjectDownload, D, "actActiveProjectDownload", "Projekt", "In Vexa Unit übertragen", "Projekt in Vexa Unit übertragen", 1, "F12", false, false,
   ProjectAsks<&IVexaProject::CanDownload>, Builds<&IVexaProject::Download>},
  {A::ProjectActivate, D, "actProjectActivate", "Projekt", "Projekt &aktivieren", "Projekt aktivieren", -1, "", false, false,
   Asks<ProjectCommandHandler, &P::CanActivate>, Runs<ProjectCommandHandler, &P::Activate>},
  {A::ProjectAddWatch, D, "actProjectAddWatch", "Projekt", "&Variable überwachen", "Variable überwachen", 16, "Ctrl+F7", false, false,
   Asks<DebugCommandHandler, &G::CanAddWatch>, Runs<DebugCommandHandler, &G::AddWatch>},
  {A::ProjectClose, D, "actProjectClose", "Projekt", "Projekt s&chliessen", "", -1, "", false, false,
   Asks<ProjectCommandHandler, &P::CanClose>, Runs<ProjectCommandHandler, &P::Close>},
  {A::ProjectDeleteModule, D, "actProjectDeleteModule", "Projekt", "Modul aus Projekt &löschen", "", -1, "", false, false,
   Asks<ProjectCommandHandler, &P::CanDeleteModule>, Runs<ProjectCommandHandler, &P::DeleteModule>},
  {A::ProjectEditSystemModules, D, "actProjectEditSystemModules", "Projekt", "Verwendete &Systemmodule...", "", -1, "", false, false,
   ModuleListState, ExecuteModuleListAction},
  {A::ProjectEditCommonModules, D, "actProjectEditCommonModules", "Projekt", "Verwendete &Gemeinsame Module...", "", -1, "", false, false,
   ModuleListState, ExecuteModuleListAction},
  {A::ProjectEditProjectModules, D, "actProjectEditProjectModules", "Projekt", "&Projektmodule bearbeiten...", "", -1, "", false, false,
   ModuleListState, ExecuteModuleListAction},
  {A::ProjectInsertModule, D, "actProjectInsertModule", "Projekt", "Modul &einfügen...", "", -1, "", false, false,
   ModuleListState, ExecuteModuleListAction},
  {A::ProjectNextError, D, "actProjectNextError", "Projekt", "&Nächste Fehlermeldung anzeigen", "Nächste Fehlermeldung anzeigen", 4, "Alt+F8", false, false,
   Asks<MessageView, &M::CanNextError>, Runs<MessageView, &M::NextError>},
  {A::ProjectOpenModuleSource, D, "actProjectOpenModuleSource", "Projekt", "Ö&ffnen", "Quelltext des Moduls öffnen", -1, "", false, false,
   Asks<ProjectCommandHandler, &P::CanOpenModuleSource>, Runs<ProjectCommandHandler, &P::OpenModuleSource>},
  {A::SimulatorStart, D, "actSimulatorStart", "Simulator", "Programm ausführen", "Programm ausführen", 6, "F9", false, false,
   Asks<CurrentSimulator, &Sim::CanRun>, Runs<CurrentSimulator, &Sim::Run>},
  {A::ProjectPrevError, D, "actProjectPrevError", "Projekt", "&Vorhergehenden Fehlermeldung anzeigen", "Vorherige Fehlermeldung anzeigen", 5, "Alt+F7", false, false,
   Asks<MessageView, &M::CanPrevError>, Runs<MessageView, &M::PrevError>},
  {A::SimulatorPause, D, "actSimulatorPause", "Simulator", "Programmlauf anhalten", "Programm anhalten", 7, "", false, false,
   Asks<CurrentSimulator, &Sim::IsRunning>, Runs<CurrentSimulator, &Sim::Pause>},
  {A::SimulatorReset, D, "actSimulatorReset", "Simulator", "Programm zurücksetzen", "Programm zurücksetzen", 8, "Ctrl+F2", false, false,
   Asks<CurrentSimulator, &Sim::IsPaused>, Runs<CurrentSimulator, &Sim::Stop>},
  {A::SimulatorStepInto, D, "actSimulatorStepInto", "Simulator", "Einzelne Anweisung ausführen", "Einzelne Anweisung ausführen", 9, "F7", false, false,
   Asks<CurrentSimulator, &Sim::CanStepInto>, Runs<CurrentSimulator, &Sim::StepInto>},
  {A::SimulatorStepOver, D, "actSimulatorStepOver", "Simulator", "Ganze Routine ausführen", "Ganze Routine ausführen", 10, "F8", false, false,
   Asks<CurrentSimulator, &Sim::CanStepOver>, Runs<CurrentSimulator, &Sim::StepOver>},
  {A::SimulatorStepOut, D, "actSimulatorStepOut", "Simulator", "Bis nach Rücksprung ausführen", "Bis nach Rücksprung ausführen", 11, "Shift+F8", false, false,
   Asks<CurrentSimulator, &Sim::CanStepOut>, Runs<CurrentSimulator, &Sim::StepOut>},
  {A::SimulatorRunToCursor, D, "actSimulatorRunToCursor", "Simulator", "Programm bis Cursor ausführen", "Programm bis Cursor ausführen", 12, "F4", false, false,
   Asks<DebugCommandHandler, &G::CanRunToCursor>, Runs<DebugCommandHandler, &G::RunToCursor>},
  {A::SimulatorShowCurrent, D, "actSimulatorShowCurrent", "Simulator", "Ausführungsposition anzeigen", "Ausführungsposition anzeigen", 13, "", false, false,
   Never, Nothing},
  {A::ProjectToggleBrkpt, D, "actProjectToggleBrkpt", "Projekt", "Haltepunkt umschalten", "Haltepunkt umschalten", 14, "Ctrl+F8", false, false,
   Asks<DebugCommandHandler, &G::CanToggleBreakpoint>, Runs<DebugCommandHandler, &G::ToggleBreakpoint>},
  {A::SimulatorClearAllBrkpts, D, "actSimulatorClearAllBrkpts", "Simulator", "Alle Haltepunkte löschen", "Alle Haltepunkte löschen", 15, "Ctrl+Shift+F8", false, false,
   ProjectAsks<&IVexaProject::HasBreakpoints>, ProjectRuns<&IVexaProject::ClearAllBreakpoints>},
  {A::ProjectToggleUsedInProject, D, "actProjectToggleUsedInProject", "Projekt", "Modul in Projekt &verwenden", "", -1, "", false, true,
   UsedInProjectState, Runs<ProjectCommandHandler, &P::ToggleUsedInProject>},
}};
// clang-format on

constexpr bool TableInOrder() {
  for (int i = 0; i < kActionCount; ++i)
    if (int(kActions[std::size_t(i)].Id) != i) return false;
  return true;
}
static_assert(TableInOrder(), "the action table must follow TAction's order");

bool InTable(TAction Action) { return int(Action) >= 0 && Action < A::Count; }

}  // namespace

std::span<const TActionDef> ActionDefs() { return kActions; }

const TActionDef& ActionDef(TAction Action) { return kActions.at(std::size_t(Action)); }

std::optional<TAction> FindAction(QStringView Name) {
  for (const TActionDef& d : kActions)
    if (Name == QLatin1String(d.Name)) return d.Id;
  return std::nullopt;
}

TAction MRUFileAction(int K) { return TAction(int(A::MRUFile1) + K - 1); }
TAction MRUProjectAction(int K) { return TAction(int(A::MRUProject1) + K - 1); }

TActionState ActionState(TAction Action) {
  return InTable(Action) ? ActionDef(Action).State(Action) : TActionState();
}

void ExecuteAction(TAction Action) {
  if (InTable(Action)) ActionDef(Action).Execute(Action);
}

}  // namespace vexa::ide
