#include "widgets/views/ProjectEditor.h"

namespace vexa::ide {

// --- TProjectEditor ---

TProjectEditor::TProjectEditor(QWidget* MainForm) : TVexaDockable(MainForm) {}

TProjectEditor::~TProjectEditor() {
  RemoveCommands();
  // The form's commands reach this editor: it goes first.
  delete FForm.data();
}

Ref<IVexaToolWindow> TProjectEditor::GetToolWindow() {
  return std::static_pointer_cast<IVexaToolWindow>(
      std::static_pointer_cast<TVexaDockable>(shared_from_this()));
}

Ref<IProjectCommands> TProjectEditor::Commands() {
  return Ref<IProjectCommands>(shared_from_this(), &FCommands);
}

QWidget* TProjectEditor::CreateForm(QWidget* Owner) {
  auto* form = new TProjectEditorForm(this, Owner);
  FForm = form;
  return form;
}

void TProjectEditor::ProjectAdded(const Ref<IVexaProject>& Project) {
  if (FForm) FForm->UpdateProject(Project, true);
}

void TProjectEditor::InstallCommands() { ProjectCommandHandler = Commands(); }

void TProjectEditor::Clear() {
  if (FForm) FForm->ClearNodeData();
}

void TProjectEditor::RemoveCommands() {
  if (ProjectCommandHandler.get() == &FCommands) ProjectCommandHandler.reset();
}

void TProjectEditor::RepaintProject(const Ref<IVexaProject>& Project) {
  if (FForm) FForm->RepaintProject(Project);
}

void TProjectEditor::ItemChanged(const Ref<IVexaModule>& Module) {
  if (FForm) FForm->ItemChanged(Module);
}

void TProjectEditor::ProjectChanged(const Ref<IVexaProject>& Project) {
  if (FForm) FForm->UpdateProject(Project, false);
}

void TProjectEditor::ProjectRemoved(const Ref<IVexaProject>& Project) {
  if (FForm) FForm->RemoveProject(Project);
}

void TProjectEditor::SelectItem(const Ref<IVexaModule>& Module) {
  if (FForm) FForm->SelectItem(Module);
}

// --- TProjectEditor::TCommands ---

Ref<IVexaProject> TProjectEditor::TCommands::Project() const {
  return FEditor->FForm ? FEditor->FForm->SelectedProject() : nullptr;
}

Ref<IVexaModule> TProjectEditor::TCommands::Module() const {
  return FEditor->FForm ? FEditor->FForm->SelectedModule() : nullptr;
}

bool TProjectEditor::TCommands::CanActivate() { return Project() != nullptr; }

bool TProjectEditor::TCommands::CanClose() { return Project() != nullptr; }

bool TProjectEditor::TCommands::CanDeleteModule() {
  const Ref<IVexaProject> project = Project();
  const Ref<IVexaModule> module = Module();
  return project && module && project->CanDeleteModule(module);
}

bool TProjectEditor::TCommands::CanEditModules(TModuleKind Kind) {
  const Ref<IVexaProject> project = Project();
  return project && project->CanEditModules(Kind);
}

bool TProjectEditor::TCommands::CanInsertModule() {
  const Ref<IVexaProject> project = Project();
  return project && project->CanInsertModule();
}

bool TProjectEditor::TCommands::CanOpenModuleSource() { return Module() != nullptr; }

bool TProjectEditor::TCommands::CanToggleUsedInProject() {
  const Ref<IVexaModule> module = Module();
  if (!module) return false;
  const TModuleKind kind = module->GetKind();
  return kind == TModuleKind::System || kind == TModuleKind::Common;
}

bool TProjectEditor::TCommands::IsUsedInProject() {
  const Ref<IVexaModule> module = Module();
  return CanToggleUsedInProject() && module->IsUsed();
}

void TProjectEditor::TCommands::Activate() {
  const Ref<IVexaProject> project = Project();
  const Ref<IVexaIDE> ide = VexaIDE;
  if (project && ide) ide->SetActiveProject(project);
}

void TProjectEditor::TCommands::Close() {
  const Ref<IVexaProject> project = Project();
  const Ref<IVexaIDE> ide = VexaIDE;
  if (project && ide && ide->CanCloseProject(project)) ide->RemoveProject(project);
}

void TProjectEditor::TCommands::DeleteModule() {
  if (!CanDeleteModule()) return;
  const Ref<IVexaProject> project = Project();
  project->DeleteModule(Module());
}

void TProjectEditor::TCommands::EditModules(TModuleKind Kind) {
  if (!CanEditModules(Kind)) return;
  const Ref<IVexaProject> project = Project();
  project->EditModules(Kind);
}

void TProjectEditor::TCommands::InsertModule() {
  if (!CanInsertModule()) return;
  const Ref<IVexaProject> project = Project();
  project->InsertModule();
}

void TProjectEditor::TCommands::OpenModuleSource() {
  const Ref<IVexaModule> module = Module();
  const Ref<IVexaIDE> ide = VexaIDE;
  if (module && ide) ide->ShowModuleEditor(module);
}

void TProjectEditor::TCommands::ToggleUsedInProject() {
  if (!CanToggleUsedInProject()) return;
  const Ref<IVexaModule> module = Module();
  module->ToggleUsed();
}

// --- start-up ---

void RegisterProjectEditor() {
  if (ProjectEditor) return;
  auto editor = std::make_shared<TProjectEditor>();
  ProjectEditor = editor;
  RegisterToolWindow(editor->GetToolWindow());
}

}  // namespace vexa::ide
