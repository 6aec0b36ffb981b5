#include "model/core/Dialogs.h"

#include <cstdio>

namespace vexa::ide {
namespace {

// Without a window: nothing is confirmed, nothing chosen.
class TConsoleDialogs final : public IDialogs {
 public:
  void ShowError(const QString& Text) override { Print(Text); }
  bool Confirm(const QString& Text) override {
    Print(Text);
    return false;
  }
  int ConfirmCancel(const QString& Text) override {
    Print(Text);
    return IdCancel;
  }
  bool ExecuteFileDialog(TFileDialog&) override { return false; }
  bool EditModules(TModuleKind, const Ref<IVexaProject>&) override { return false; }
  bool InputQuery(const QString&, const QString& Prompt, QString&) override {
    Print(Prompt);
    return false;
  }
  std::optional<int> SimulatorInput(int) override { return std::nullopt; }

 private:
  static void Print(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  }
};

std::shared_ptr<IDialogs>& Installed() {
  static std::shared_ptr<IDialogs> dialogs;
  return dialogs;
}

}  // namespace

IDialogs& Dialogs() {
  static TConsoleDialogs console;
  auto& installed = Installed();
  if (installed) return *installed;
  return console;
}

std::shared_ptr<IDialogs> SetDialogs(std::shared_ptr<IDialogs> Dialogs) {
  auto previous = std::move(Installed());
  Installed() = std::move(Dialogs);
  return previous;
}

QStringList FileDialogFilters(const QString& Filter) {
  QStringList result;
  const QStringList parts = Filter.split(QLatin1Char('|'));
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : patterns) {
      p = p.trimmed();
      if (p == QLatin1String("*.*")) p = QStringLiteral("*");
    }
    result << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return result;
}

}  // namespace vexa::ide
