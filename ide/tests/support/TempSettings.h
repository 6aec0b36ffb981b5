#pragma once

// Points the settings store at a file in a fresh temporary folder for one
// test, never at the user's own settings.

#include "model/settings/Settings.h"

#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace vexa::ide::test {

class TTempSettings {
 public:
  TTempSettings() { settings::SetSettingsFile(Path()); }
  ~TTempSettings() { settings::SetSettingsFile(dir_.path() + "/released.ini"); }
  TTempSettings(const TTempSettings&) = delete;
  TTempSettings& operator=(const TTempSettings&) = delete;

  QString Path() const { return dir_.path() + "/settings.ini"; }

  // The file as written so far, read with Qt directly (keys as
  // "1.0/Editor/Print/LeftMargin").
  std::unique_ptr<QSettings> File() {
    settings::Flush();
    return std::make_unique<QSettings>(Path(), QSettings::IniFormat);
  }

 private:
  QTemporaryDir dir_;
};

}  // namespace vexa::ide::test
