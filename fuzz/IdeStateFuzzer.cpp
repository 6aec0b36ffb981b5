// The state file of a project (".ide") in both layouts: V2 (each breakpoint record names its
// module) and VXBasic (none). Reading stops quietly on damage, never hands over an empty or
// overlong watch name or a watch format out of range, and a file cut short reads as a prefix
// of the whole file's reading.
#include <cstdint>
#include <cstdlib>
#include <map>

#include <QStringList>

#include "FuzzSupport.h"
#include "IdeSupport.h"
#include "model/files/ProjectFiles.h"
#include "model/projects/VexaWatch.h"

using namespace vexa::ide;

namespace {

QStringList Read(const QString& ProjectFile, bool SingleModule) {
  QStringList calls;
  std::map<QString, Ref<IVexaWatch>> watches;
  ReadStateFile(
      ProjectFile, SingleModule,
      [&](const QString& Module, int Line) {
        if (SingleModule != Module.isEmpty()) std::abort();
        calls << QStringLiteral("toggle %1 %2").arg(Module).arg(Line);
      },
      [&](const QString& Name) {
        if (Name.isEmpty() || Name.size() > 4096) std::abort();
        calls << QStringLiteral("watch ") + Name;
        Ref<IVexaWatch>& watch = watches[Name];
        if (!watch) watch = std::make_shared<TVexaV2Watch>(Name);
        return watch;
      });
  for (const auto& [name, watch] : watches) {
    const TWatchFormat format = watch->GetFormat();
    if (format < TWatchFormat::Decimal || format > TWatchFormat::Binary) std::abort();
  }
  return calls;
}

bool IsPrefix(const QStringList& Part, const QStringList& Whole) {
  return Part.size() <= Whole.size() && Part == Whole.mid(0, Part.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  vexa::fuzz::quietDialogs();
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto& dir = vexa::fuzz::scratchDir();
  vexa::fuzz::writeFile(dir / "whole.v2p.ide", text);
  // Cut somewhere inside, chosen by the last byte.
  const std::size_t cut = size == 0 ? 0 : data[size - 1] % size;
  vexa::fuzz::writeFile(dir / "cut.v2p.ide", std::string_view(text).substr(0, cut));

  for (bool single : {false, true}) {
    const QStringList whole = Read(vexa::fuzz::qPath(dir / "whole.v2p"), single);
    const QStringList part = Read(vexa::fuzz::qPath(dir / "cut.v2p"), single);
    // Each breakpoint line and each watch takes at least four bytes.
    if (whole.size() > qsizetype(size / 4) + 1) std::abort();
    if (!IsPrefix(part, whole)) std::abort();
  }
  return 0;
}
