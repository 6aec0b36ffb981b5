#include "model/core/ActionRouting.h"

#include "model/core/CommandsModule.h"
#include "model/core/Services.h"

#include <array>

namespace vexa::ide {

namespace {

using A = TAction;
constexpr auto S = TActionList::Standard;
constexpr auto V = TActionList::View;
constexpr auto D = TActionList::Development;

// clang-format off
constexpr std::array<TActionDef, kActionCount> kActions = {{
  {A::MRUFile1, S, "actMRUFile1", "MRU", "MRU1", "", -1, "", true, false},
  {A::MRUFile2, S, "actMRUFile2", "MRU", "MRU2", "", -1, "", true, false},
  {A::MRUFile3, S, "actMRUFile3", "MRU", "MRU3", "", -1, "", true, false},
  {A::MRUFile4, S, "actMRUFile4", "MRU", "MRU4", "", -1, "", true, false},
  {A::MRUFile5, S, "actMRUFile5", "MRU", "MRU5", "", -1, "", true, false},
  {A::MRUProject1, S, "actMRUProject1", "MRU", "MRU1", "", -1, "", true, false},
  {A::MRUProject2, S, "actMRUProject2", "MRU", "MRU2", "", -1, "", true, false},
  {A::MRUProject3, S, "actMRUProject3", "MRU", "MRU3", "", -1, "", true, false},
  {A::MRUProject4, S, "actMRUProject4", "MRU", "MRU4", "", -1, "", true, false},
  {A::MRUProject5, S, "actMRUProject5", "MRU", "MRU5", "", -1, "", true, false},
  {A::FileNew, S, "actFileNew", "Datei", "&Neu", "Neu", 1, "Ctrl+N", true, false},
  {A::FileNewBasicProject, S, "actFileNewBasicProject", "Datei", "Vexa/&BASIC Projekt", "", -1, "", true, false},
  {A::FileNewV2Project, S, "actFileNewV2Project", "Datei", "Vexa II &Projekt", "", -1, "", true, false},
  {A::FileNewV2Module, S, "actFileNewV2Module", "Datei", "Vexa II &Modul", "", -1, "", true, false},
  {A::FileOpen, S, "actFileOpen", "Datei", "Öffnen...", "Öffnen", 3, "Ctrl+O", false, false},
  {A::FileSave, S, "actFileSave", "Datei", "&Speichern", "Speichern", 4, "Ctrl+S", false, false},
  {A::FileSaveAs, S, "actFileSaveAs", "Datei", "Speichern &unter...", "Speichern unter", -1, "", false, false},
  {A::FileSaveAll, S, "actFileSaveAll", "Datei", "&Alle speichern", "Alle speichern", 5, "Ctrl+Shift+S", false, false},
  {A::FilePrint, S, "actFilePrint", "Datei", "Dr&ucken...", "Drucken", 6, "Ctrl+P", false, false},
  {A::FileClose, S, "actFileClose", "Datei", "S&chliessen", "Schliessen", -1, "Ctrl+F4", false, false},
  {A::FileCloseActiveProject, S, "actFileCloseActiveProject", "Datei", "Aktives P&rojekt schliessen", "Projekt schliessen", -1, "", false, false},
  {A::FileCloseAll, S, "actFileCloseAll", "Datei", "Alle schliessen", "Alle schliessen", -1, "Ctrl+Shift+F4", false, false},
  {A::EditUndo, S, "actEditUndo", "Bearbeiten", "&Rückgängig", "Rückgängig", 12, "Ctrl+Z", false, false},
  {A::EditRedo, S, "actEditRedo", "Bearbeiten", "&Wiederherstellen", "Wiederherstellen", 13, "Ctrl+Shift+Z", false, false},
  {A::EditCut, S, "actEditCut", "Bearbeiten", "&Ausschneiden", "Ausschneiden", 8, "Ctrl+X", false, false},
  {A::EditCopy, S, "actEditCopy", "Bearbeiten", "&Kopieren", "Kopieren", 9, "Ctrl+C", false, false},
  {A::EditPaste, S, "actEditPaste", "Bearbeiten", "&Einfügen", "Einfügen", 10, "Ctrl+V", false, false},
  {A::EditDelete, S, "actEditDelete", "Bearbeiten", "&Löschen", "Löschen", 11, "", false, false},
  {A::EditSelectAll, S, "actEditSelectAll", "Bearbeiten", "Alles &markieren", "Alles markieren", -1, "Ctrl+A", false, false},
  {A::SearchFind, S, "actSearchFind", "Suchen", "&Suchen...", "Suchen", 14, "Ctrl+F", false, false},
  {A::SearchFindNext, S, "actSearchFindNext", "Suchen", "Vorwärts weitersuchen", "Vorwärts weitersuchen", 15, "F3", false, false},
  {A::SearchFindPrev, S, "actSearchFindPrev", "Suchen", "Rückwärts weitersuchen", "Rückwärts weitersuchen", 16, "Shift+F3", false, false},
  {A::SearchReplace, S, "actSearchReplace", "Suchen", "&Ersetzen...", "Ersetzen", 19, "Ctrl+H", false, false},
  {A::SearchCaseSensitive, S, "actSearchCaseSensitive", "Suchen", "Gross- und Kleinbuchstaben unterscheiden", "Gross- und Kleinbuchstaben", 17, "", false, true},
  {A::SearchWholeWords, S, "actSearchWholeWords", "Suchen", "Ganze Wörter suchen", "Ganze Wörter", 18, "", false, true},
  {A::SearchDefinition, S, "actSearchDefinition", "Suchen", "Gehe zur &Definition", "Zur Definition gehen", 20, "Ctrl+F11", false, false},
  {A::SearchDefinitionReturn, S, "actSearchDefinitionReturn", "Suchen", "&Zurück von Definition ", "Von Definition zurückkehren", 21, "Ctrl+Shift+F11", false, false},
  {A::ViewProjectEditor, V, "actViewProjectEditor", "Ansicht", "&Projekte", "Projektfenster", 0, "Ctrl+Alt+P", false, false},
  {A::ViewMessageViewer, V, "actViewMessageViewer", "Ansicht", "&Meldungen", "Meldungen", 1, "Ctrl+Alt+M", false, false},
  {A::ViewVariables, V, "actViewVariables", "Ansicht", "Überwachte &Variablen", "Variablenfenster", 2, "Ctrl+Alt+V", false, false},
  {A::ViewDigitalPorts, V, "actViewDigitalPorts", "Ansicht", "&Digitalports", "Digitalports", 3, "Ctrl+Alt+D", false, false},
  {A::ViewAnalogPorts, V, "actViewAnalogPorts", "Ansicht", "&Analogports", "Analogports", 4, "Ctrl+Alt+A", false, false},
  {A::ViewOutput1, V, "actViewOutput1", "Ansicht", "A&usgabefenster", "Ausgabefenster", 5, "", false, false},
  {A::ActiveProjectBuild, D, "actActiveProjectBuild", "Projekt", "Projekt neu &erstellen", "Projekt neu erstellen", 0, "Ctrl+F9", false, false},
  {A::ActiveProjectDownload, D, "actActiveProjectDownload", "Projekt", "In Vexa Unit übertragen", "Projekt in Vexa Unit übertragen", 1, "F12", false, false},
  {A::ProjectActivate, D, "actProjectActivate", "Projekt", "Projekt &aktivieren", "Projekt aktivieren", -1, "", false, false},
  {A::ProjectAddWatch, D, "actProjectAddWatch", "Projekt", "&Variable überwachen", "Variable überwachen", 16, "Ctrl+F7", false, false},
  {A::ProjectClose, D, "actProjectClose", "Projekt", "Projekt s&chliessen", "", -1, "", false, false},
  {A::ProjectDeleteModule, D, "actProjectDeleteModule", "Projekt", "Modul aus Projekt &löschen", "", -1, "", false, false},
  {A::ProjectEditSystemModules, D, "actProjectEditSystemModules", "Projekt", "Verwendete &Systemmodule...", "", -1, "", false, false},
  {A::ProjectEditCommonModules, D, "actProjectEditCommonModules", "Projekt", "Verwendete &Gemeinsame Module...", "", -1, "", false, false},
  {A::ProjectEditProjectModules, D, "actProjectEditProjectModules", "Projekt", "&Projektmodule bearbeiten...", "", -1, "", false, false},
  {A::ProjectInsertModule, D, "actProjectInsertModule", "Projekt", "Modul &einfügen...", "", -1, "", false, false},
  {A::ProjectNextError, D, "actProjectNextError", "Projekt", "&Nächste Fehlermeldung anzeigen", "Nächste Fehlermeldung anzeigen", 4, "Alt+F8", false, false},
  {A::ProjectOpenModuleSource, D, "actProjectOpenModuleSource", "Projekt", "Ö&ffnen", "Quelltext des Moduls öffnen", -1, "", false, false},
  {A::SimulatorStart, D, "actSimulatorStart", "Simulator", "Programm ausführen", "Programm ausführen", 6, "F9", false, false},
  {A::ProjectPrevError, D, "actProjectPrevError", "Projekt", "&Vorhergehenden Fehlermeldung anzeigen", "Vorherige Fehlermeldung anzeigen", 5, "Alt+F7", false, false},
  {A::SimulatorPause, D, "actSimulatorPause", "Simulator", "Programmlauf anhalten", "Programm anhalten", 7, "", false, false},
  {A::SimulatorReset, D, "actSimulatorReset", "Simulator", "Programm zurücksetzen", "Programm zurücksetzen", 8, "Ctrl+F2", false, false},
  {A::SimulatorStepInto, D, "actSimulatorStepInto", "Simulator", "Einzelne Anweisung ausführen", "Einzelne Anweisung ausführen", 9, "F7", false, false},
  {A::SimulatorStepOver, D, "actSimulatorStepOver", "Simulator", "Ganze Routine ausführen", "Ganze Routine ausführen", 10, "F8", false, false},
  {A::SimulatorStepOut, D, "actSimulatorStepOut", "Simulator", "Bis nach Rücksprung ausführen", "Bis nach Rücksprung ausführen", 11, "Shift+F8", false, false},
  {A::SimulatorRunToCursor, D, "actSimulatorRunToCursor", "Simulator", "Programm bis Cursor ausführen", "Programm bis Cursor ausführen", 12, "F4", false, false},
  {A::SimulatorShowCurrent, D, "actSimulatorShowCurrent", "Simulator", "Ausführungsposition anzeigen", "Ausführungsposition anzeigen", 13, "", false, false},
  {A::ProjectToggleBrkpt, D, "actProjectToggleBrkpt", "Projekt", "Haltepunkt umschalten", "Haltepunkt umschalten", 14, "Ctrl+F8", false, false},
  {A::SimulatorClearAllBrkpts, D, "actSimulatorClearAllBrkpts", "Simulator", "Alle Haltepunkte löschen", "Alle Haltepunkte löschen", 15, "Ctrl+Shift+F8", false, false},
  {A::ProjectToggleUsedInProject, D, "actProjectToggleUsedInProject", "Projekt", "Modul in Projekt &verwenden", "", -1, "", false, true},
}};
// clang-format on

constexpr bool TableInOrder() {
  for (int i = 0; i < kActionCount; ++i)
    if (int(kActions[std::size_t(i)].Id) != i) return false;
  return true;
}
static_assert(TableInOrder(), "the action table must follow TAction's order");

// The project of the IDE's module commands and of build, run and breakpoints.
Ref<IVexaProject> ActiveProject() {
  Ref<IVexaIDE> ide = VexaIDE;
  return ide ? ide->GetActiveProject() : nullptr;
}

int ModuleKindOf(TAction Action) {
  switch (Action) {
    case A::ProjectEditSystemModules: return ModuleKindSystem;
    case A::ProjectEditCommonModules: return ModuleKindCommon;
    default: return ModuleKindProject;
  }
}

// The module-list actions go to the focused project command handler, else to
// the active project.
bool CanModuleListAction(TAction Action) {
  const bool insert = Action == A::ProjectInsertModule;
  if (Ref<IProjectCommands> h = ProjectCommandHandler)
    return insert ? h->CanInsertModule() : h->CanEditModules(ModuleKindOf(Action));
  if (Ref<IVexaProject> p = ActiveProject())
    return insert ? p->CanInsertModule() : p->CanEditModules(ModuleKindOf(Action));
  return false;
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

void ShowToolWindow(const Ref<IVexaToolWindow>& Window, bool Focus) {
  if (Window) Window->Show(Focus);
}

// The state when it hangs on one handler query.
template <class H, class Q>
TActionState Query(const Ref<H>& Handler, Q Fn) {
  TActionState s;
  s.Enabled = Handler && (Handler.get()->*Fn)();
  return s;
}

template <class H, class F>
void Call(const Ref<H>& Handler, F Function) {
  // A copy: the call may empty the handler variable.
  if (Ref<H> h = Handler) (h.get()->*Function)();
}

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
  using E = IEditCommands;
  using F = IFileCommands;
  using S = ISearchCommands;
  using G = IDebugCommands;
  using P = IProjectCommands;
  using M = IMessageView;
  using Sim = IVexaSimulator;
  TActionState s;
  switch (Action) {
    case A::MRUFile1:
    case A::MRUFile2:
    case A::MRUFile3:
    case A::MRUFile4:
    case A::MRUFile5:
    case A::MRUProject1:
    case A::MRUProject2:
    case A::MRUProject3:
    case A::MRUProject4:
    case A::MRUProject5: {
      const bool file = Action <= A::MRUFile5;
      const int k = int(Action) - int(file ? A::MRUFile1 : A::MRUProject1);
      s.Enabled = true;
      s.Visible = false;
      if (CommandsModule) {
        const TRecentList& list =
            file ? CommandsModule->RecentFiles : CommandsModule->RecentProjects;
        s.Visible = k < list.Count();
        s.Caption = list.At(k);
      }
      return s;
    }
    case A::FileNew:
    case A::FileNewBasicProject:
    case A::FileNewV2Project:
    case A::FileNewV2Module:
    case A::FileOpen: s.Enabled = VexaIDE != nullptr; return s;
    case A::FileSave: return Query(FileCommandHandler, &F::CanSave);
    case A::FileSaveAs: return Query(FileCommandHandler, &F::CanSaveAs);
    case A::FileSaveAll: return Query(VexaIDE, &IVexaIDE::AnyModified);
    case A::FilePrint: return Query(FileCommandHandler, &F::CanPrint);
    case A::FileClose: s.Enabled = FileCommandHandler != nullptr; return s;
    case A::FileCloseActiveProject: s.Enabled = ActiveProject() != nullptr; return s;
    case A::FileCloseAll:
      if (Ref<IVexaIDE> ide = VexaIDE)
        s.Enabled = ide->GetProjectCount() >= 1 || ide->GetEditorCount() >= 1;
      return s;
    case A::EditUndo: return Query(EditCommandHandler, &E::CanUndo);
    case A::EditRedo: return Query(EditCommandHandler, &E::CanRedo);
    case A::EditCut: return Query(EditCommandHandler, &E::CanCut);
    case A::EditCopy: return Query(EditCommandHandler, &E::CanCopy);
    case A::EditPaste: return Query(EditCommandHandler, &E::CanPaste);
    case A::EditDelete: return Query(EditCommandHandler, &E::CanDelete);
    case A::EditSelectAll: return Query(EditCommandHandler, &E::CanSelectAll);
    case A::SearchFind: return Query(SearchCommandHandler, &S::CanFind);
    case A::SearchFindNext: return Query(SearchCommandHandler, &S::CanFindNext);
    case A::SearchFindPrev: return Query(SearchCommandHandler, &S::CanFindPrev);
    case A::SearchReplace: return Query(SearchCommandHandler, &S::CanReplace);
    case A::SearchCaseSensitive:
    case A::SearchWholeWords:
      if (Ref<ISearchCommands> h = SearchCommandHandler) {
        s.Enabled = true;
        s.Checked = Action == A::SearchCaseSensitive ? h->IsCaseSensitive() : h->IsWholeWords();
      }
      return s;
    case A::SearchDefinition: return Query(SearchCommandHandler, &S::CanFindDefinition);
    case A::SearchDefinitionReturn: return Query(SearchCommandHandler, &S::CanReturnFromDefinition);
    case A::ViewProjectEditor: s.Enabled = ProjectEditor != nullptr; return s;
    case A::ViewMessageViewer: s.Enabled = MessageView != nullptr; return s;
    case A::ViewVariables: s.Enabled = WatchesView != nullptr; return s;
    case A::ViewDigitalPorts:
    case A::ViewAnalogPorts:
    case A::ViewOutput1:
    case A::SimulatorShowCurrent: return s;
    case A::ActiveProjectBuild:
      if (Ref<IVexaProject> p = ActiveProject()) s.Enabled = p->CanBuild();
      return s;
    case A::ActiveProjectDownload:
      if (Ref<IVexaProject> p = ActiveProject()) s.Enabled = p->CanDownload();
      return s;
    case A::ProjectActivate: return Query(ProjectCommandHandler, &P::CanActivate);
    case A::ProjectAddWatch: return Query(DebugCommandHandler, &G::CanAddWatch);
    case A::ProjectClose: return Query(ProjectCommandHandler, &P::CanClose);
    case A::ProjectDeleteModule: return Query(ProjectCommandHandler, &P::CanDeleteModule);
    case A::ProjectEditSystemModules:
    case A::ProjectEditCommonModules:
    case A::ProjectEditProjectModules:
    case A::ProjectInsertModule: s.Enabled = CanModuleListAction(Action); return s;
    case A::ProjectNextError: return Query(MessageView, &M::CanNextError);
    case A::ProjectOpenModuleSource: return Query(ProjectCommandHandler, &P::CanOpenModuleSource);
    case A::SimulatorStart: return Query(CurrentSimulator, &Sim::CanRun);
    case A::ProjectPrevError: return Query(MessageView, &M::CanPrevError);
    case A::SimulatorPause: return Query(CurrentSimulator, &Sim::IsRunning);
    case A::SimulatorReset: return Query(CurrentSimulator, &Sim::IsPaused);
    case A::SimulatorStepInto: return Query(CurrentSimulator, &Sim::CanStepInto);
    case A::SimulatorStepOver: return Query(CurrentSimulator, &Sim::CanStepOver);
    case A::SimulatorStepOut: return Query(CurrentSimulator, &Sim::CanStepOut);
    case A::SimulatorRunToCursor: return Query(DebugCommandHandler, &G::CanRunToCursor);
    case A::ProjectToggleBrkpt: return Query(DebugCommandHandler, &G::CanToggleBreakpoint);
    case A::SimulatorClearAllBrkpts:
      if (Ref<IVexaProject> p = ActiveProject()) s.Enabled = p->HasBreakpoints();
      return s;
    case A::ProjectToggleUsedInProject:
      if (Ref<IProjectCommands> h = ProjectCommandHandler) {
        s.Enabled = h->CanToggleUsedInProject();
        s.Checked = s.Enabled && h->IsUsedInProject();
      }
      return s;
    case A::Count: break;
  }
  return s;
}

void ExecuteAction(TAction Action) {
  using E = IEditCommands;
  using F = IFileCommands;
  using S = ISearchCommands;
  using G = IDebugCommands;
  using P = IProjectCommands;
  using M = IMessageView;
  using Sim = IVexaSimulator;
  switch (Action) {
    case A::MRUFile1:
    case A::MRUFile2:
    case A::MRUFile3:
    case A::MRUFile4:
    case A::MRUFile5:
      if (CommandsModule) CommandsModule->OpenRecentFile(int(Action) - int(A::MRUFile1) + 1);
      return;
    case A::MRUProject1:
    case A::MRUProject2:
    case A::MRUProject3:
    case A::MRUProject4:
    case A::MRUProject5:
      if (CommandsModule) CommandsModule->OpenRecentProject(int(Action) - int(A::MRUProject1) + 1);
      return;
    case A::FileNew:
      if (CommandsModule) CommandsModule->FileNew();
      return;
    case A::FileNewV2Project:
      if (CommandsModule) CommandsModule->FileNewKind(FileKindV2Project);
      return;
    case A::FileNewV2Module:
      if (CommandsModule) CommandsModule->FileNewKind(FileKindV2Module);
      return;
    case A::FileNewBasicProject:
      if (CommandsModule) CommandsModule->FileNewKind(FileKindBasicProject);
      return;
    case A::FileOpen:
      if (CommandsModule) CommandsModule->FileOpen();
      return;
    case A::FileSave:
      if (Ref<IFileCommands> h = FileCommandHandler) h->Save();
      return;
    case A::FileSaveAs: return Call(FileCommandHandler, &F::SaveAs);
    case A::FileSaveAll: return Call(VexaIDE, &IVexaIDE::SaveAll);
    case A::FilePrint: return Call(FileCommandHandler, &F::Print);
    case A::FileClose:
      if (Ref<IFileCommands> h = FileCommandHandler)
        if (h->CloseQuery()) h->Close();
      return;
    case A::FileCloseActiveProject:
      if (Ref<IVexaIDE> ide = VexaIDE)
        if (Ref<IVexaProject> p = ide->GetActiveProject())
          if (ide->CanCloseProject(p)) ide->RemoveProject(p);
      return;
    case A::FileCloseAll: return Call(VexaIDE, &IVexaIDE::CloseAll);
    case A::EditUndo: return Call(EditCommandHandler, &E::Undo);
    case A::EditRedo: return Call(EditCommandHandler, &E::Redo);
    case A::EditCut: return Call(EditCommandHandler, &E::Cut);
    case A::EditCopy: return Call(EditCommandHandler, &E::Copy);
    case A::EditPaste: return Call(EditCommandHandler, &E::Paste);
    case A::EditDelete: return Call(EditCommandHandler, &E::Delete);
    case A::EditSelectAll: return Call(EditCommandHandler, &E::SelectAll);
    case A::SearchFind: return Call(SearchCommandHandler, &S::Find);
    case A::SearchFindNext: return Call(SearchCommandHandler, &S::FindNext);
    case A::SearchFindPrev: return Call(SearchCommandHandler, &S::FindPrev);
    case A::SearchReplace: return Call(SearchCommandHandler, &S::Replace);
    case A::SearchCaseSensitive: return Call(SearchCommandHandler, &S::ToggleCaseSensitive);
    case A::SearchWholeWords: return Call(SearchCommandHandler, &S::ToggleWholeWords);
    case A::SearchDefinition: return Call(SearchCommandHandler, &S::FindDefinition);
    case A::SearchDefinitionReturn: return Call(SearchCommandHandler, &S::ReturnFromDefinition);
    case A::ViewProjectEditor:
      if (Ref<IProjectEditor> v = ProjectEditor) ShowToolWindow(v->GetToolWindow(), true);
      return;
    case A::ViewMessageViewer:
      if (Ref<IMessageView> v = MessageView) ShowToolWindow(v->GetToolWindow(), true);
      return;
    case A::ViewVariables:
      if (Ref<IWatchesView> v = WatchesView) ShowToolWindow(v->GetToolWindow(), true);
      return;
    case A::ViewDigitalPorts:
    case A::ViewAnalogPorts:
    case A::ViewOutput1:
    case A::SimulatorShowCurrent: return;
    case A::ActiveProjectBuild:
    case A::ActiveProjectDownload:
      if (Ref<IVexaProject> p = ActiveProject()) {
        if (Ref<IMessageView> v = MessageView) ShowToolWindow(v->GetToolWindow(), false);
        if (Action == A::ActiveProjectBuild)
          p->Build();
        else
          p->Download();
      }
      return;
    case A::ProjectActivate: return Call(ProjectCommandHandler, &P::Activate);
    case A::ProjectAddWatch: return Call(DebugCommandHandler, &G::AddWatch);
    case A::ProjectClose: return Call(ProjectCommandHandler, &P::Close);
    case A::ProjectDeleteModule: return Call(ProjectCommandHandler, &P::DeleteModule);
    case A::ProjectEditSystemModules:
    case A::ProjectEditCommonModules:
    case A::ProjectEditProjectModules:
    case A::ProjectInsertModule: return ExecuteModuleListAction(Action);
    case A::ProjectNextError: return Call(MessageView, &M::NextError);
    case A::ProjectOpenModuleSource: return Call(ProjectCommandHandler, &P::OpenModuleSource);
    case A::SimulatorStart: return Call(CurrentSimulator, &Sim::Run);
    case A::ProjectPrevError: return Call(MessageView, &M::PrevError);
    case A::SimulatorPause: return Call(CurrentSimulator, &Sim::Pause);
    case A::SimulatorReset: return Call(CurrentSimulator, &Sim::Stop);
    case A::SimulatorStepInto: return Call(CurrentSimulator, &Sim::StepInto);
    case A::SimulatorStepOver: return Call(CurrentSimulator, &Sim::StepOver);
    case A::SimulatorStepOut: return Call(CurrentSimulator, &Sim::StepOut);
    case A::SimulatorRunToCursor: return Call(DebugCommandHandler, &G::RunToCursor);
    case A::ProjectToggleBrkpt: return Call(DebugCommandHandler, &G::ToggleBreakpoint);
    case A::SimulatorClearAllBrkpts:
      if (Ref<IVexaProject> p = ActiveProject()) p->ClearAllBreakpoints();
      return;
    case A::ProjectToggleUsedInProject: return Call(ProjectCommandHandler, &P::ToggleUsedInProject);
    case A::Count: return;
  }
}

}  // namespace vexa::ide
