#pragma once

// The small files beside a project's sources: the V2 project file (".v2p"),
// the lists of system and common modules ("modules.txt") and the binary state
// file of breakpoints and watches (".ide"). Text files are written in
// Windows-1252 with CR LF (UTF-8 when a name has no Windows-1252 byte) and read
// with LF, CR LF or CR line ends. The readers of the module lists and the
// project file give records; the project makes its modules from them
// (model/projects/V2Module.h). Every error box goes through Dialogs(). Main
// thread.

#include "model/core/InterfaceList.h"
#include "model/core/VexaIntfs.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace vexa::ide {

// The module name of a source file: its lower-cased name without directory
// ("/" or "\") and without the extension ".v2" in any case; another extension
// stays part of the name ("Motor_2.V2" -> "motor_2", "a.txt" -> "a.txt").
QString ModuleNameOf(const QString& FileName);

// A line of a project or module list file that carries nothing: shorter than
// two characters, or starting with "//".
bool IsSkippedLine(const QString& Line);

// The lines of a text file (LF, CR LF or CR ends; UTF-8 when the bytes are
// valid UTF-8, else Windows-1252); none when the file cannot be read.
std::optional<QStringList> ReadTextLines(const QString& FileName);

// Writes each line followed by CR LF, replacing the file whole (QSaveFile; in
// place when its folder cannot be written). False when anything failed; the
// old file is then unchanged, unless it was being written in place.
bool WriteTextLines(const QString& FileName, const QStringList& Lines);

// FileName when it exists; else the single file of its folder whose name
// equals its name ignoring case (files written on Windows); else empty.
QString ResolveFileName(const QString& FileName);

// A module as a module list or project file names it: its file (as
// ResolveFileName found it), its kind and whether it starts out used. The
// project makes its modules from these.
struct TModuleRecord {
  QString FileName;
  TModuleKind Kind = TModuleKind::Project;
  bool Used = false;
};

// The modules listed in Directory/modules.txt as records of Kind
// (TModuleKind::System or TModuleKind::Common), in list order. A line ending in "!"
// makes its module start out used. Error boxes: the list file missing or
// unreadable (no records), a listed file missing (line skipped), a module name
// in TakenNames or earlier in the list (line skipped).
std::vector<TModuleRecord> ReadModuleList(TModuleKind Kind, const QString& Directory,
                                          const QStringList& TakenNames);

// What a V2 project file says about a project's modules.
struct TV2ProjectFileRecords {
  // The names of the modules already in the list (the system and common
  // ones) that the project uses; every other one of them is unused.
  QStringList UsedNames;
  // The project's own modules, used, to be appended in file order.
  std::vector<TModuleRecord> Modules;
};

// Reads the project file FileName over the modules named KnownNames (the
// system and common ones already in the list). Lines "SYSTEM::x.v2" and
// "COMMON::x.v2" (prefixes in any case, either prefix finds a module of either
// kind) mark a known module used (one the file itself added is used already);
// every other line is a project module. A bare file name lies in the project
// file's folder, a relative path is taken from there; the path keeps its case,
// and when it is missing a single case-insensitive match in its folder is
// taken. Error boxes: unreadable file (no lines), unknown system/common
// module, module name already known or read (line skipped), missing module
// file (line skipped). The caller sets its module-list-changed flag afterwards.
TV2ProjectFileRecords ReadV2ProjectFile(const QString& FileName, const QStringList& KnownNames);

// The lines of the project file for Modules: one per used module with a file
// name, in list order; system and common modules as "SYSTEM::" / "COMMON::" +
// name + ".v2", project modules by their file name alone when they lie in the
// project file's folder, else by their full path.
QStringList V2ProjectFileLines(const QString& FileName,
                               const TVexaInterfaceList<IVexaModule>& Modules);

// Writes V2ProjectFileLines to FileName. On failure the error box "Fehler beim
// Schreiben der Projektdatei" with the name, and false; the old file stays.
bool WriteV2ProjectFile(const QString& FileName, const TVexaInterfaceList<IVexaModule>& Modules);

// The state file of a project file: its full name + ".ide".
QString StateFileName(const QString& ProjectFileName);

// Reads the state file of ProjectFileName when the name is not empty and the
// file exists: V2 records (SingleModule false: each breakpoint record names its
// module) or VXBasic records (true: Toggle gets an empty module name). Toggle
// is called once per stored breakpoint line (a line stored twice is toggled
// twice); AddWatchName once per stored watch, and its watch (when any) gets the
// stored format when it is 0, 1 or 2. Names are UTF-8 when valid, else
// Windows-1252; a leading EF BB BF stays part of the name. A stored name length
// of 0 or less reads nothing more of that breakpoint record or watch entry
// (reading goes on with the next record or entry); one or more bytes never
// decode to an empty name. A record cut off, a length or count beyond the
// bytes left, or an unknown tag stops reading quietly; what was applied stays.
void ReadStateFile(const QString& ProjectFileName, bool SingleModule,
                   const std::function<void(const QString& Module, int Line)>& Toggle,
                   const std::function<Ref<IVexaWatch>(const QString& Name)>& AddWatchName);

// What the state file keeps of a project.
struct TStateBreakpoints {
  QString Module;          // ignored for VXBasic
  std::vector<int> Lines;  // ascending
};
struct TProjectState {
  std::vector<TStateBreakpoints> Breakpoints;             // in module order
  std::vector<std::pair<QString, TWatchFormat>> Watches;  // name, display format
};

// The breakpoints of every module that has some (in list order) and every
// watch with its format.
TProjectState CollectProjectState(const TVexaInterfaceList<IVexaModule>& Modules,
                                  const TVexaInterfaceList<IVexaWatch>& Watches);

// The bytes of a state file: a breakpoint record for each entry with lines and
// (V2) a module name, VXBasic only for the first such entry; a watch record
// when there are watches (entries with an empty name left out); tag 0.
QByteArray StateFileBytes(bool SingleModule, const TProjectState& State);

// Writes StateFileBytes to the state file of ProjectFileName (nothing for an
// empty name). On any error the state file is deleted; nothing is reported.
void WriteStateFile(const QString& ProjectFileName, bool SingleModule, const TProjectState& State);

}  // namespace vexa::ide
