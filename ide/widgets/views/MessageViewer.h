#pragma once

// The message view: the compiler and status messages of every project in
// one tool window ("Meldungen"), the current one marked with an arrow, errors
// in red. The list and its current index live in TMessageViewer and work
// without a form; the form shows them in a one-column list view.

#include "model/core/InterfaceList.h"
#include "model/core/Services.h"
#include "widgets/views/MessageViewerForm.h"
#include "widgets/views/VexaDockable.h"

#include <QPointer>

#include <memory>

namespace vexa::ide {

class TMessageViewer final : public TVexaDockable,
                             public IMessageView,
                             public std::enable_shared_from_this<TMessageViewer> {
 public:
  explicit TMessageViewer(QWidget* MainForm = nullptr);
  ~TMessageViewer() override;

  // IMessageView
  void GoToCurrent() override;
  void Add(const Ref<IVexaMessage>& Message) override;
  bool CanNextError() override;
  bool CanPrevError() override;
  void Clear() override;
  void RemoveMessagesOf(const Ref<IVexaProject>& Source) override;
  void NextError() override;
  void PrevError() override;
  int GetCurrentIndex() override { return FCurrentIndex; }
  Ref<IVexaMessage> GetMessage(int Index) override { return FMessages.Get(Index); }
  int GetCount() override { return FMessages.Count(); }
  Ref<IVexaToolWindow> GetToolWindow() override;
  void SetCurrentIndex(int Index) override;

  // IVexaToolWindow
  QString GetName() override { return QStringLiteral("MessageViewer"); }

  // The form, nullptr until the tool window is first docked or shown.
  TMessageViewerForm* ViewerForm() const { return FForm; }

 protected:
  QWidget* CreateForm(QWidget* Owner) override;

 private:
  // Recomputes FirstError and LastError while they are dirty.
  void UpdateErrorRange();
  static bool IsError(const Ref<IVexaMessage>& Message);

  TVexaInterfaceList<IVexaMessage> FMessages;
  int FCurrentIndex = -1;
  bool FErrorRangeDirty = true;
  int FFirstError = -1;
  int FLastError = -1;
  QPointer<TMessageViewerForm> FForm;
};

// Makes the message view, publishes it as MessageView and registers its
// tool window. Idempotent.
void RegisterMessageView();

}  // namespace vexa::ide
