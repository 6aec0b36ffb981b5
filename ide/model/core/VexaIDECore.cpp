#include "model/core/VexaIDECore.h"

#include "model/core/Helpers.h"
#include "model/core/Services.h"

namespace vexa::ide {

void TVexaIDECore::AddProject(const Ref<IVexaProject>& Project) {
  // A second AddProject would list the project twice in the tree.
  if (!Project || projects_.IndexOf(Project) >= 0) return;
  Ref<IVexaProject> project = Project;
  projects_.Add(project);
  SetActiveProject(project);
  if (ProjectEditor) ProjectEditor->ProjectAdded(project);
}

void TVexaIDECore::AddEditor(const Ref<IVexaSourceEditor>& Editor) { editors_.Add(Editor); }

bool TVexaIDECore::CanCloseProject(const Ref<IVexaProject>& Project) {
  if (!Project) return true;
  Ref<IVexaProject> project = Project;
  for (int i = 0; i < project->GetModuleCount(); ++i) {
    Ref<IVexaModule> module = project->GetModule(i);
    if (!module) continue;
    Ref<IVexaSourceEditor> editor = module->GetEditor();
    if (editor && !editor->CloseQuery()) return false;
  }
  return project->CloseQuery();
}

bool TVexaIDECore::AnyModified() {
  for (int i = 0; i < editors_.Count(); ++i)
    if (editors_.Get(i)->GetModified()) return true;
  for (int i = 0; i < projects_.Count(); ++i)
    if (projects_.Get(i)->GetModified()) return true;
  return false;
}

void TVexaIDECore::ClearStatusPanels() {
  for (int panel = 0; panel < 3; ++panel) SetStatusText(panel, QString());
}

void TVexaIDECore::RemoveProject(const Ref<IVexaProject>& Project) {
  if (!Project || removing_.IndexOf(Project) >= 0) return;
  Ref<IVexaProject> project = Project;
  removing_.Add(project);
  for (int i = project->GetModuleCount() - 1; i >= 0; --i) {
    Ref<IVexaModule> module = project->GetModule(i);
    if (!module) continue;
    if (Ref<IVexaSourceEditor> editor = module->GetEditor()) editor->Close();
  }
  project->Close();
  projects_.Remove(project);
  if (activeProject_ == project) activeProject_.reset();
  if (ProjectEditor) ProjectEditor->ProjectRemoved(project);
  removing_.Remove(project);
}

void TVexaIDECore::CloseAll() {
  for (int i = 0; i < projects_.Count(); ++i)
    if (!CanCloseProject(projects_.Get(i))) return;
  for (int i = projects_.Count() - 1; i >= 0; --i)
    if (Ref<IVexaProject> project = projects_.Get(i)) RemoveProject(project);
  for (int i = 0; i < editors_.Count(); ++i)
    if (!editors_.Get(i)->CloseQuery()) return;
  for (int i = editors_.Count() - 1; i >= 0; --i)
    if (Ref<IVexaSourceEditor> editor = editors_.Get(i)) editor->Close();
}

void TVexaIDECore::RefreshEditors() {
  for (int i = editors_.Count() - 1; i >= 0; --i)
    if (Ref<IVexaSourceEditor> editor = editors_.Get(i)) editor->ApplySettings();
}

Ref<IVexaSourceEditor> TVexaIDECore::ShowModuleEditor(const Ref<IVexaModule>& Module) {
  if (!Module) return nullptr;
  Ref<IVexaModule> module = Module;
  for (int i = 0; i < editors_.Count(); ++i) {
    Ref<IVexaSourceEditor> editor = editors_.Get(i);
    if (editor->GetModule() == module) {
      SetActiveEditor(editor);
      return editor;
    }
  }
  const QString fileName = module->GetFileName();
  for (int i = 0; i < editors_.Count(); ++i) {
    Ref<IVexaSourceEditor> editor = editors_.Get(i);
    if (!SameFileName(editor->GetFileName(), fileName)) continue;
    Ref<IVexaProject> project = module->GetProject();
    if (project && project == activeProject_) editor->SetModule(module);
    SetActiveEditor(editor);
    return editor;
  }
  if (!SourceEditorFactory) return nullptr;
  return SourceEditorFactory->CreateForModule(PageControl(), module);
}

Ref<IVexaSourceEditor> TVexaIDECore::OpenFile(const QString& FileName, TFileKind Kind) {
  const QString fileName = ExpandFileName(FileName);
  if (!fileName.isEmpty()) {
    for (int i = 0; i < editors_.Count(); ++i) {
      Ref<IVexaSourceEditor> editor = editors_.Get(i);
      if (SameFileName(editor->GetFileName(), fileName)) {
        SetActiveEditor(editor);
        return editor;
      }
    }
  }
  if (!SourceEditorFactory) return nullptr;
  return SourceEditorFactory->CreateForFile(PageControl(), fileName, Kind);
}

void TVexaIDECore::OpenByKind(const QString& FileName, TFileKind Kind) {
  switch (Kind) {
    case TFileKind::Plain:
    case TFileKind::V2Module: OpenFile(FileName, Kind); break;
    case TFileKind::V2Project:
    case TFileKind::BasicProject:
      if (Ref<IVexaProject> open = FindProjectByFile(FileName)) {
        SetActiveProject(open);
      } else {
        Ref<IVexaProjectFactory> factory =
            Kind == TFileKind::V2Project ? V2ProjectFactory : BASICProjectFactory;
        if (factory) factory->CreateProject(FileName);
      }
      break;
    default: return;
  }
  RebindEditors();
}

void TVexaIDECore::RemoveEditor(const Ref<IVexaSourceEditor>& Editor) {
  if (!Editor) return;
  Ref<IVexaSourceEditor> editor = Editor;
  editors_.Remove(editor);
  // A closed editor must not stay the target of the editor commands.
  if (activeEditor_ == editor) activeEditor_.reset();
}

void TVexaIDECore::SaveAll() {
  for (int i = 0; i < editors_.Count(); ++i) {
    Ref<IVexaSourceEditor> editor = editors_.Get(i);
    if (editor->GetModified() && !editor->Save()) return;
  }
  for (int i = 0; i < projects_.Count(); ++i) {
    Ref<IVexaProject> project = projects_.Get(i);
    if (project->GetModified() && !project->Save()) return;
  }
}

void TVexaIDECore::SetStatusText(int Panel, const QString& Text) {
  if (frame_ && Panel >= 0 && Panel < kStatusPanelCount) frame_->SetStatusText(Panel, Text);
}

QWidget* TVexaIDECore::GetMainForm() { return frame_ ? frame_->GetMainForm() : nullptr; }

void TVexaIDECore::SetActiveEditor(const Ref<IVexaSourceEditor>& Editor) {
  if (Editor == activeEditor_) return;
  Ref<IVexaSourceEditor> editor = Editor;
  activeEditor_ = editor;
  if (editor) editor->Activate();
}

void TVexaIDECore::SetActiveProject(const Ref<IVexaProject>& Project) {
  if (Project == activeProject_) return;
  Ref<IVexaProject> project = Project;
  if (activeProject_ && !activeProject_->MayDeactivate()) return;
  Ref<IVexaProject> old = activeProject_;
  if (old && ProjectEditor) ProjectEditor->RepaintProject(old);
  activeProject_ = project;
  if (project) {
    project->Activate();
    if (ProjectEditor) ProjectEditor->RepaintProject(project);
  }
  if (MessageView) MessageView->Clear();
  RebindEditors();
}

void TVexaIDECore::RebindEditors() {
  Ref<IVexaProject> project = activeProject_;
  if (!project) return;
  for (int i = 0; i < editors_.Count(); ++i) {
    Ref<IVexaSourceEditor> editor = editors_.Get(i);
    Ref<IVexaModule> bound = editor->GetModule();
    if (bound && bound->IsProjectFile()) continue;
    if (project->IsSingleModule())
      editor->SetModule(nullptr);
    else
      editor->SetModule(project->FindModule(editor->GetFileName()));
  }
}

std::vector<TProjectMenuItem> TVexaIDECore::ProjectMenuItems() {
  std::vector<TProjectMenuItem> items;
  for (int i = 0; i < projects_.Count(); ++i) {
    Ref<IVexaProject> project = projects_.Get(i);
    items.push_back({project->GetName(), project == activeProject_});
  }
  return items;
}

void TVexaIDECore::ActivateProjectAt(int Index) {
  // An item left from an older list must not make no project active.
  if (Ref<IVexaProject> project = projects_.Get(Index)) SetActiveProject(project);
}

bool TVexaIDECore::CloseQuery() {
  for (int i = editors_.Count() - 1; i >= 0; --i) {
    Ref<IVexaSourceEditor> editor = editors_.Get(i);
    if (!editor || editor->GetModule() || !editor->GetModified()) continue;
    if (!editor->CloseQuery()) return false;
  }
  for (int i = projects_.Count() - 1; i >= 0; --i) {
    Ref<IVexaProject> project = projects_.Get(i);
    if (project && !CanCloseProject(project)) return false;
  }
  return true;
}

void TVexaIDECore::Shutdown() {
  if (MessageView) MessageView->Clear();
  if (ProjectEditor) ProjectEditor->Clear();
  ClearCommandHandlers();
  for (int i = editors_.Count() - 1; i >= 0; --i)
    if (Ref<IVexaSourceEditor> editor = editors_.Get(i)) editor->Close();
  for (int i = projects_.Count() - 1; i >= 0; --i)
    if (Ref<IVexaProject> project = projects_.Get(i)) project->Close();
  projects_.Clear();
  activeProject_.reset();
  editors_.Clear();
  activeEditor_.reset();
  if (VexaIDE.get() == this) VexaIDE.reset();
}

Ref<IVexaProject> TVexaIDECore::FindProjectByFile(const QString& FileName) {
  if (FileName.isEmpty()) return nullptr;
  for (int i = 0; i < projects_.Count(); ++i) {
    Ref<IVexaProject> project = projects_.Get(i);
    if (SameFileName(project->GetFileName(), FileName)) return project;
  }
  return nullptr;
}

}  // namespace vexa::ide
