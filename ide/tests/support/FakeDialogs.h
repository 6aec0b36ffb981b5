#pragma once

// A stand-in for the message boxes and file dialogs: records every text and
// gives scripted answers. Install it for one test with TScopedFakeDialogs.

#include "model/core/Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vexa::ide::test {

class TFakeDialogs : public IDialogs {
 public:
  enum class Kind { Error, Confirm, ConfirmCancel, FileDialog, Input };
  struct Call {
    Kind kind;
    QString text;  // the shown text; for a file dialog and an input its caption
  };

  // Answers, used in order; when they run out Confirm answers false,
  // ConfirmCancel IdCancel and a file dialog is cancelled.
  std::deque<bool> confirmAnswers;
  std::deque<int> confirmCancelAnswers;
  // A file dialog answer: the chosen files, or none for Cancel.
  std::deque<std::optional<QStringList>> fileAnswers;
  // An input answer: the entered text, or none for Cancel.
  std::deque<std::optional<QString>> inputAnswers;
  // The simulator's inputs: answered by simulatorInput when set, else by
  // simulatorInputAnswers in order (none or none left: cancelled). Kept
  // apart from calls, with the presets shown in simulatorInputPresets.
  std::function<std::optional<int>(int Preset)> simulatorInput;
  std::deque<std::optional<int>> simulatorInputAnswers;
  std::vector<int> simulatorInputPresets;

  std::vector<Call> calls;
  // The settings each file dialog was run with.
  std::vector<TFileDialog> fileDialogs;
  // Every input as it was shown.
  struct Input {
    QString caption;
    QString prompt;
    QString value;
  };
  std::vector<Input> inputs;

  void ShowError(const QString& Text) override { calls.push_back({Kind::Error, Text}); }

  bool Confirm(const QString& Text) override {
    calls.push_back({Kind::Confirm, Text});
    if (confirmAnswers.empty()) return false;
    bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
  }

  int ConfirmCancel(const QString& Text) override {
    calls.push_back({Kind::ConfirmCancel, Text});
    if (confirmCancelAnswers.empty()) return IdCancel;
    int answer = confirmCancelAnswers.front();
    confirmCancelAnswers.pop_front();
    return answer;
  }

  bool ExecuteFileDialog(TFileDialog& Dialog) override {
    calls.push_back({Kind::FileDialog, Dialog.Title});
    fileDialogs.push_back(Dialog);
    if (fileAnswers.empty()) return false;
    std::optional<QStringList> answer = fileAnswers.front();
    fileAnswers.pop_front();
    if (!answer || answer->isEmpty()) return false;
    Dialog.Files = *answer;
    Dialog.FileName = answer->first();
    return true;
  }

  bool InputQuery(const QString& Caption, const QString& Prompt, QString& Value) override {
    calls.push_back({Kind::Input, Caption});
    inputs.push_back({Caption, Prompt, Value});
    if (inputAnswers.empty()) return false;
    std::optional<QString> answer = inputAnswers.front();
    inputAnswers.pop_front();
    if (!answer) return false;
    Value = *answer;
    return true;
  }

  std::optional<int> SimulatorInput(int Preset) override {
    simulatorInputPresets.push_back(Preset);
    if (simulatorInput) return simulatorInput(Preset);
    if (simulatorInputAnswers.empty()) return std::nullopt;
    std::optional<int> answer = simulatorInputAnswers.front();
    simulatorInputAnswers.pop_front();
    return answer;
  }

  // The texts shown, in order.
  QStringList Texts() const {
    QStringList texts;
    for (const Call& c : calls) texts << c.text;
    return texts;
  }

  // Every module list asked for: its kind and project. Nothing is shown
  // unless editModules is set (it then answers).
  struct Modules {
    TModuleKind kind;
    Ref<IVexaProject> project;
  };
  std::vector<Modules> modulesDialogs;
  std::function<void(TModuleKind Kind, const Ref<IVexaProject>& Project)> editModules;
  bool EditModules(TModuleKind Kind, const Ref<IVexaProject>& Project) override {
    modulesDialogs.push_back({Kind, Project});
    if (editModules) editModules(Kind, Project);
    return true;
  }
};

// Installs a fresh fake for the lifetime of the object.
class TScopedFakeDialogs {
 public:
  TScopedFakeDialogs() : fake_(std::make_shared<TFakeDialogs>()) { previous_ = SetDialogs(fake_); }
  ~TScopedFakeDialogs() { SetDialogs(previous_); }
  TScopedFakeDialogs(const TScopedFakeDialogs&) = delete;
  TScopedFakeDialogs& operator=(const TScopedFakeDialogs&) = delete;

  TFakeDialogs& operator*() { return *fake_; }
  TFakeDialogs* operator->() { return fake_.get(); }

 private:
  std::shared_ptr<TFakeDialogs> fake_;
  std::shared_ptr<IDialogs> previous_;
};

}  // namespace vexa::ide::test
