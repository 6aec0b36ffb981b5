#pragma once

// What the IDE's windows and projects share around files: the recent-file and
// recent-project lists, the numbers of untitled documents, the open, insert
// and save dialogs, the kind last created and the two highlighters'
// attributes. One instance lives as long as the main window (the widget
// layer's TCommandsDataModule); CommandsModule refers to it meanwhile.
// Creating it loads its settings, destroying it saves them.

#include "model/core/Dialogs.h"
#include "model/core/UntitledNumbers.h"
#include "model/core/VexaIntfs.h"
#include "model/settings/HighlighterSettings.h"
#include "model/settings/RecentFiles.h"

#include <QString>

namespace vexa::ide {

class TCommandsModule {
 public:
  TCommandsModule();
  virtual ~TCommandsModule();
  TCommandsModule(const TCommandsModule&) = delete;
  TCommandsModule& operator=(const TCommandsModule&) = delete;

  TRecentList RecentFiles;
  TRecentList RecentProjects;
  TUntitledNumbers UntitledNumbers;
  // Shared by every editor of the language.
  THighlighterAttributes hlBasic{THighlighterLanguage::Basic};
  THighlighterAttributes hlV2{THighlighterLanguage::V2};

  TFileDialog dlgFileOpen;
  TFileDialog dlgModuleInsert;
  TFileDialog dlgFileSaveV2Project;
  TFileDialog dlgFileSaveV2Module;
  TFileDialog dlgFileSaveBasic;
  TFileDialog dlgFileSave;

  // The file kind last created (1..3), preselected in the new-item dialog.
  TFileKind LastCreateType = TFileKind::V2Project;

  void AddRecentFile(const QString& FileName) { RecentFiles.Add(FileName); }
  void AddRecentProject(const QString& FileName) { RecentProjects.Add(FileName); }
  bool BothRecentListsUsed() const {
    return vexa::ide::BothRecentListsUsed(RecentFiles, RecentProjects);
  }
  // Takes FileName off both recent lists, then VexaIDE->OpenByKind (an empty
  // name makes a new, untitled item).
  void OpenItem(const QString& FileName, TFileKind Kind);

  int AllocateUntitledNumber() { return UntitledNumbers.Allocate(); }
  void ReleaseUntitledNumber(int N) { UntitledNumbers.Release(N); }

  // True with FileName set to the chosen module; false leaves it.
  bool ExecuteInsertModuleDialog(QString& FileName);
  // The save dialog of the file kind; true with FileName set to the choice.
  bool ExecuteSaveDialog(TFileKind Kind, QString& FileName);

  // Action handlers.
  void FileNew();
  void FileNewKind(TFileKind Kind);
  void FileOpen();
  void OpenRecentFile(int K);  // 1..5
  void OpenRecentProject(int K);

 protected:
  // Asks which kind to create, Kind preselected; true with Kind on OK. The
  // widget layer shows the new-item dialog; without one nothing is created.
  virtual bool ExecuteNewDialog(TFileKind& Kind);

 private:
  void LoadSettings();
  void SaveSettings() const;
};

extern TCommandsModule* CommandsModule;

}  // namespace vexa::ide
