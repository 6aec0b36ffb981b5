// Shared pieces of the IDE's fuzz targets: quiet dialogs and Qt strings.
#pragma once

#include "model/core/Dialogs.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <optional>

namespace vexa::fuzz {

// Error boxes of the IDE readers are counted, questions answered No.
class QuietDialogs final : public vexa::ide::IDialogs {
 public:
  void ShowError(const QString&) override { ++errors; }
  bool Confirm(const QString&) override { return false; }
  int ConfirmCancel(const QString&) override { return vexa::ide::IdCancel; }
  bool ExecuteFileDialog(vexa::ide::TFileDialog&) override { return false; }
  bool InputQuery(const QString&, const QString&, QString&) override { return false; }
  std::optional<int> SimulatorInput(int) override { return std::nullopt; }
  bool EditModules(vexa::ide::TModuleKind,
                   const vexa::ide::Ref<vexa::ide::IVexaProject>&) override {
    return false;
  }

  int errors = 0;
};

// Installed once for the process.
inline QuietDialogs& quietDialogs() {
  static const std::shared_ptr<QuietDialogs> dialogs = [] {
    auto d = std::make_shared<QuietDialogs>();
    vexa::ide::SetDialogs(d);
    return d;
  }();
  return *dialogs;
}

inline QString qPath(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

}  // namespace vexa::fuzz
