#include "widgets/views/MessageViewer.h"

namespace vexa::ide {

// --- TMessageViewer ---

TMessageViewer::TMessageViewer(QWidget* MainForm) : TVexaDockable(MainForm) {}

TMessageViewer::~TMessageViewer() {
  // The form asks this viewer for its rows: it goes first.
  delete FForm.data();
}

Ref<IVexaToolWindow> TMessageViewer::GetToolWindow() {
  return std::static_pointer_cast<IVexaToolWindow>(
      std::static_pointer_cast<TVexaDockable>(shared_from_this()));
}

QWidget* TMessageViewer::CreateForm(QWidget* Owner) {
  auto* form = new TMessageViewerForm(this, Owner);
  FForm = form;
  return form;
}

bool TMessageViewer::IsError(const Ref<IVexaMessage>& Message) {
  return Message && Message->GetKind() == TMessageKind::Error;
}

void TMessageViewer::UpdateErrorRange() {
  if (!FErrorRangeDirty) return;
  FErrorRangeDirty = false;
  FLastError = -1;
  for (int i = FMessages.Count() - 1; i >= 0; --i) {
    if (IsError(FMessages.Get(i))) {
      FLastError = i;
      break;
    }
  }
  FFirstError = -1;
  if (FLastError < 0) return;
  for (int i = 0; i <= FLastError; ++i) {
    if (IsError(FMessages.Get(i))) {
      FFirstError = i;
      break;
    }
  }
}

void TMessageViewer::Add(const Ref<IVexaMessage>& Message) {
  if (!Message) return;
  const int before = FMessages.Count();
  FMessages.Add(Message);
  if (FMessages.Count() == before) return;  // already listed
  if (FCurrentIndex == -1) FCurrentIndex = 0;
  FErrorRangeDirty = true;
  if (FForm) FForm->UpdateRows();
}

bool TMessageViewer::CanNextError() {
  UpdateErrorRange();
  return FLastError >= 0 && FLastError > FCurrentIndex;
}

bool TMessageViewer::CanPrevError() {
  UpdateErrorRange();
  return FFirstError >= 0 && FFirstError < FCurrentIndex;
}

void TMessageViewer::Clear() {
  FMessages.Clear();
  // Nothing is left to be current; without this the first message added
  // after a clear would not become current.
  FCurrentIndex = -1;
  RemoveMessagesOf(nullptr);
}

void TMessageViewer::RemoveMessagesOf(const Ref<IVexaProject>& Source) {
  for (int i = FMessages.Count() - 1; i >= 0; --i) {
    const Ref<IVexaProject> source = FMessages.Get(i)->GetSource();
    if (source && source != Source) continue;
    FMessages.Delete(i);
    if (FCurrentIndex == i)
      FCurrentIndex = -1;
    else if (FCurrentIndex > i)
      --FCurrentIndex;
  }
  FErrorRangeDirty = true;
  if (FForm) FForm->UpdateRows();
}

void TMessageViewer::NextError() {
  for (int i = FCurrentIndex + 1; i < FMessages.Count(); ++i) {
    if (IsError(FMessages.Get(i))) {
      SetCurrentIndex(i);
      GoToCurrent();
      return;
    }
  }
}

void TMessageViewer::PrevError() {
  for (int i = FCurrentIndex - 1; i >= 0; --i) {
    if (IsError(FMessages.Get(i))) {
      SetCurrentIndex(i);
      GoToCurrent();
      return;
    }
  }
}

void TMessageViewer::SetCurrentIndex(int Index) {
  if (Index >= FMessages.Count()) Index = FMessages.Count() - 1;
  if (Index == FCurrentIndex) return;
  const int old = FCurrentIndex;
  FCurrentIndex = Index;
  if (FForm) {
    FForm->Model()->RepaintRow(old);
    FForm->Model()->RepaintRow(Index);
  }
}

void TMessageViewer::GoToCurrent() {
  const Ref<IVexaMessage> message = FMessages.Get(FCurrentIndex);
  if (!message) return;
  const Ref<IVexaIDE> ide = VexaIDE;
  const Ref<IVexaSourceEditor> editor = ide ? ide->ShowModuleEditor(message->GetModule()) : nullptr;
  if (editor && IsError(message) && message->GetLine() > 0)
    editor->SetErrorLine(message->GetLine());
  if (FForm) FForm->ShowCurrentRow();
}

// --- start-up ---

void RegisterMessageView() {
  if (MessageView) return;
  auto viewer = std::make_shared<TMessageViewer>();
  MessageView = viewer;
  RegisterToolWindow(viewer->GetToolWindow());
}

}  // namespace vexa::ide
