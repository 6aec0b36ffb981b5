// The V2 project's list files: the system and common module lists ("modules.txt") and the
// project file (".v2p"), read over a fixed set of module files. The input holds the three
// texts separated by NUL bytes. Every module read has a unique name and an existing file;
// the project file written back from what was read reads as the same modules.
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include <QFileInfo>
#include <QStringList>

#include "FuzzSupport.h"
#include "IdeSupport.h"
#include "model/files/ProjectFiles.h"
#include "model/projects/V2Module.h"

using namespace vexa::ide;
namespace fs = std::filesystem;

namespace {

// lib: system modules, user: common modules, prj: the project's folder.
const fs::path& Folders() {
  static const fs::path root = [] {
    const fs::path dir = vexa::fuzz::scratchDir();
    for (const char* file :
         {"lib/lcd.v2", "lib/Motor.V2", "lib/sub/gps.v2", "lib/notes.txt", "user/util.v2",
          "user/lcd.v2", "prj/main.v2", "prj/Robot.V2", "prj/sub/drive.v2"}) {
      fs::create_directories((dir / file).parent_path());
      vexa::fuzz::writeFile(dir / file, "");
    }
    return dir;
  }();
  return root;
}

void ReadLibraries(TVexaInterfaceList<IVexaModule>& Modules) {
  AddListedModules(TModuleKind::System, vexa::fuzz::qPath(Folders() / "lib"), nullptr, Modules);
  AddListedModules(TModuleKind::Common, vexa::fuzz::qPath(Folders() / "user"), nullptr, Modules);
}

// "kind:name" with "!" for a used module, in list order.
QStringList Summary(const TVexaInterfaceList<IVexaModule>& Modules) {
  QStringList out;
  for (int i = 0; i < Modules.Count(); ++i) {
    const Ref<IVexaModule> m = Modules.Get(i);
    out << QStringLiteral("%1:%2%3")
               .arg(int(m->GetKind()))
               .arg(m->GetName(), m->IsUsed() ? QStringLiteral("!") : "");
  }
  return out;
}

// System modules come first, then common ones, then the project's own.
int Rank(TModuleKind Kind) {
  return Kind == TModuleKind::System ? 0 : Kind == TModuleKind::Common ? 1 : 2;
}

void CheckModules(const TVexaInterfaceList<IVexaModule>& Modules) {
  int lastRank = 0;
  for (int i = 0; i < Modules.Count(); ++i) {
    const Ref<IVexaModule> m = Modules.Get(i);
    if (!QFileInfo(m->GetFileName()).isFile()) std::abort();
    if (m->GetName() != ModuleNameOf(m->GetFileName())) std::abort();
    for (int k = 0; k < i; ++k)
      if (Modules.Get(k)->GetName() == m->GetName()) std::abort();
    if (Rank(m->GetKind()) < lastRank) std::abort();
    lastRank = Rank(m->GetKind());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  vexa::fuzz::quietDialogs();
  const fs::path& dir = Folders();
  const auto parts = vexa::fuzz::split(data, size, '\0', 3);
  vexa::fuzz::writeFile(dir / "lib/modules.txt", parts[0]);
  vexa::fuzz::writeFile(dir / "user/modules.txt", parts.size() > 1 ? parts[1] : "");
  vexa::fuzz::writeFile(dir / "prj/p.v2p", parts.size() > 2 ? parts[2] : "");

  std::error_code ignored;
  fs::remove(dir / "prj/copy.v2p", ignored);

  TVexaInterfaceList<IVexaModule> modules;
  ReadLibraries(modules);
  const QString project = vexa::fuzz::qPath(dir / "prj/p.v2p");
  ApplyV2ProjectFile(project, nullptr, modules);
  CheckModules(modules);

  const QString copy = vexa::fuzz::qPath(dir / "prj/copy.v2p");
  if (!WriteV2ProjectFile(copy, modules)) std::abort();
  TVexaInterfaceList<IVexaModule> again;
  ReadLibraries(again);
  ApplyV2ProjectFile(copy, nullptr, again);
  if (Summary(again) != Summary(modules)) std::abort();
  return 0;
}
