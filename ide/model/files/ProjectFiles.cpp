#include "model/files/ProjectFiles.h"

#include "model/core/Helpers.h"
#include "model/core/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QtEndian>

#include <cstdint>
#include <cstring>
#include <optional>

namespace vexa::ide {

namespace {

const QString kSystemPrefix = QStringLiteral("SYSTEM::");
const QString kCommonPrefix = QStringLiteral("COMMON::");

// Longest module or watch name a state file may hold; longer means damage.
constexpr std::int32_t kMaxStateName = 4096;

enum : std::uint8_t { TagEnd = 0, TagBreakpoints = 1, TagWatches = 2 };

QString WithSeparator(const QString& Directory) {
  QString dir = ToLocalSeparators(Directory);
  if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir;
}

QByteArray EncodeName(const QString& Name) {
  TTextFormat format;
  format.Encoding = TTextEncoding::Windows1252;
  return EncodeText(Name, format);
}

// A stored name: UTF-8 when the bytes are valid UTF-8, else Windows-1252, as
// EncodeName writes it. Leading EF BB BF is part of the name, not a BOM.
QString DecodeName(const QByteArray& Bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8,
                      QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString name = utf8.decode(Bytes);
  return utf8.hasError() ? FromWindows1252(Bytes) : name;
}

// Reads a state file's values with every length checked against the bytes
// left; the first failure sticks.
class TStateReader {
 public:
  explicit TStateReader(QFile& File) : file_(File) {}

  bool AtEnd() const { return !ok_ || file_.atEnd(); }
  bool Ok() const { return ok_; }

  std::uint8_t Byte() {
    char c = 0;
    if (ok_ && !file_.getChar(&c)) ok_ = false;
    return ok_ ? std::uint8_t(c) : 0;
  }

  std::int32_t Int32() {
    char bytes[4] = {};
    if (ok_ && file_.read(bytes, 4) != 4) ok_ = false;
    return ok_ ? qFromLittleEndian<std::int32_t>(bytes) : 0;
  }

  qint64 Left() const { return file_.size() - file_.pos(); }

  // Count values of Size bytes each must fit into what is left.
  bool Fits(std::int32_t Count, qint64 Size) {
    if (ok_ && (Count < 0 || qint64(Count) * Size > Left())) ok_ = false;
    return ok_;
  }

  QString Name(std::int32_t Length) {
    if (!ok_ || Length > kMaxStateName || !Fits(Length, 1)) {
      ok_ = false;
      return QString();
    }
    QByteArray bytes = file_.read(Length);
    if (bytes.size() != Length) ok_ = false;
    return ok_ ? DecodeName(bytes) : QString();
  }

 private:
  QFile& file_;
  bool ok_ = true;
};

void AppendInt32(QByteArray& Bytes, std::int32_t Value) {
  char buffer[4];
  qToLittleEndian(Value, buffer);
  Bytes.append(buffer, 4);
}

void AppendName(QByteArray& Bytes, const QString& Name) {
  const QByteArray encoded = EncodeName(Name);
  AppendInt32(Bytes, std::int32_t(encoded.size()));
  Bytes.append(encoded);
}

}  // namespace

QString ModuleNameOf(const QString& FileName) { return ModuleNameOf(FileName, true); }

bool IsSkippedLine(const QString& Line) { return IsCommentLine(Line); }

std::optional<QStringList> ReadTextLines(const QString& FileName) {
  QFile file(FileName);
  if (!QFileInfo(FileName).isFile() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  QString text = DecodeText(bytes).Text;
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QStringList lines = text.split(QLatin1Char('\n'));
  // A final line end ends the last line rather than starting an empty one.
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

bool WriteTextLines(const QString& FileName, const QStringList& Lines) {
  QString text;
  for (const QString& line : Lines) text += line + QLatin1String("\r\n");
  TTextFormat format;
  format.Encoding = TTextEncoding::Windows1252;
  format.LineEnd = TLineEnd::CRLF;
  const QByteArray bytes = EncodeText(text, format);
  QSaveFile file(FileName);
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

QString ResolveFileName(const QString& FileName) {
  if (FileName.isEmpty()) return QString();
  QFileInfo info(FileName);
  if (info.isFile()) return FileName;
  QDir dir = info.dir();
  if (!dir.exists()) return QString();
  const QString name = info.fileName();
  QString match;
  const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& entry : entries) {
    if (entry.compare(name, Qt::CaseInsensitive) != 0) continue;
    if (!match.isEmpty()) return QString();  // more than one: none is meant
    match = entry;
  }
  return match.isEmpty() ? QString() : dir.filePath(match);
}

std::vector<TModuleRecord> ReadModuleList(TModuleKind Kind, const QString& Directory,
                                          const QStringList& TakenNames) {
  std::vector<TModuleRecord> records;
  const QString dir = WithSeparator(Directory);
  const QString listFile = dir + QStringLiteral("modules.txt");
  if (!QFileInfo(listFile).isFile()) {
    ShowErrorFmt(QStringLiteral("Die Datei gemeinsam benutzter Module \"%s\" existiert nicht!"),
                 listFile);
    return records;
  }
  std::optional<QStringList> lines = ReadTextLines(listFile);
  if (!lines) {
    ShowErrorFmt(QStringLiteral("Fehler beim Lesen der Datei gemeinsam benutzter Module \"%s\"!"),
                 listFile);
    lines.emplace();
  }
  QStringList names = TakenNames;
  for (QString line : *lines) {
    if (IsSkippedLine(line)) continue;
    const bool used = line.endsWith(QLatin1Char('!'));
    if (used) line.chop(1);
    const QString path = dir + ToLocalSeparators(line);
    const QString found = ResolveFileName(path);
    if (found.isEmpty()) {
      ShowErrorFmt(QStringLiteral("Die gemeinsam benutzte Moduldatei \"%s\" existiert nicht!"),
                   path);
      continue;
    }
    const QString name = ModuleNameOf(found);
    if (names.contains(name)) {
      ShowErrorFmt(QStringLiteral("Die Datei gemeinsam benutzter Module \"%s\" enthält das Modul "
                                  "\"%s\" mehr als einmal!"),
                   listFile, found);
      continue;
    }
    names << name;
    records.push_back({found, Kind, used});
  }
  return records;
}

TV2ProjectFileRecords ReadV2ProjectFile(const QString& FileName, const QStringList& KnownNames) {
  TV2ProjectFileRecords records;
  std::optional<QStringList> lines = ReadTextLines(FileName);
  if (!lines) {
    ShowErrorFmt(QStringLiteral("Fehler beim Lesen der Projektdatei \"%s\"!"), FileName);
    lines.emplace();
  }
  const QString projectDir = WithSeparator(ExtractFileDir(ToLocalSeparators(FileName)));
  // The project modules read so far; a system or common line naming one of
  // them finds it (it is used already).
  QStringList readNames;
  for (const QString& line : *lines) {
    if (IsSkippedLine(line)) continue;
    if (line.startsWith(kSystemPrefix, Qt::CaseInsensitive) ||
        line.startsWith(kCommonPrefix, Qt::CaseInsensitive)) {
      const QString fileName = ExtractFileName(line.mid(kSystemPrefix.size())).toLower();
      const QString name = ModuleNameOf(fileName);
      if (KnownNames.contains(name)) {
        records.UsedNames << name;
      } else if (!readNames.contains(name)) {
        ShowErrorFmt(QStringLiteral(
                         "Das Projekt verweist auf das nicht existierende gemeinsam benutzte Modul "
                         "\"%s\"!"),
                     fileName);
      }
      continue;
    }
    const QString name = ModuleNameOf(line);
    if (KnownNames.contains(name) || readNames.contains(name)) {
      ShowErrorFmt(QStringLiteral("Das Projekt enthält bereits ein Modul \"%s\"!"), name);
      continue;
    }
    QString path = ToLocalSeparators(line);
    if (QFileInfo(path).isRelative()) path = projectDir + path;
    const QString found = ResolveFileName(path);
    if (found.isEmpty()) {
      ShowErrorFmt(QStringLiteral("Das Projekt verweist auf das nicht existierende Modul \"%s\"!"),
                   path);
      continue;
    }
    readNames << ModuleNameOf(found);
    records.Modules.push_back({found, TModuleKind::Project, true});
  }
  return records;
}

QStringList V2ProjectFileLines(const QString& FileName,
                               const TVexaInterfaceList<IVexaModule>& Modules) {
  const QString projectDir = ExtractFileDir(ToLocalSeparators(FileName));
  QStringList lines;
  for (int i = 0; i < Modules.Count(); ++i) {
    const Ref<IVexaModule> module = Modules.Get(i);
    const QString moduleFile = module->GetFileName();
    if (!module->IsUsed() || moduleFile.isEmpty()) continue;
    switch (module->GetKind()) {
      case TModuleKind::System:
        lines << kSystemPrefix + module->GetName() + QStringLiteral(".v2");
        break;
      case TModuleKind::Common:
        lines << kCommonPrefix + module->GetName() + QStringLiteral(".v2");
        break;
      default: {
        const QString moduleDir = ExtractFileDir(ToLocalSeparators(moduleFile));
        const bool sameDir = moduleDir == projectDir ||
                             (!moduleDir.isEmpty() && SameFileName(moduleDir, projectDir));
        lines << (sameDir ? ExtractFileName(moduleFile) : moduleFile);
      }
    }
  }
  return lines;
}

bool WriteV2ProjectFile(const QString& FileName, const TVexaInterfaceList<IVexaModule>& Modules) {
  if (!FileName.isEmpty() && WriteTextLines(FileName, V2ProjectFileLines(FileName, Modules)))
    return true;
  ShowErrorFmt(QStringLiteral("Fehler beim Schreiben der Projektdatei \"%s\"!"), FileName);
  return false;
}

QString StateFileName(const QString& ProjectFileName) {
  return ProjectFileName + QStringLiteral(".ide");
}

void ReadStateFile(const QString& ProjectFileName, bool SingleModule,
                   const std::function<void(const QString& Module, int Line)>& Toggle,
                   const std::function<Ref<IVexaWatch>(const QString& Name)>& AddWatchName) {
  if (ProjectFileName.isEmpty()) return;
  QFile file(StateFileName(ProjectFileName));
  if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) return;
  TStateReader in(file);
  while (!in.AtEnd()) {
    const std::uint8_t tag = in.Byte();
    if (!in.Ok()) return;
    if (tag == TagBreakpoints) {
      QString module;
      if (!SingleModule) {
        const std::int32_t length = in.Int32();
        if (length <= 0) continue;
        module = in.Name(length);
        if (!in.Ok()) return;
      }
      // A V2 record's lines need its module's name (a name read is never empty).
      const bool apply = SingleModule || !module.isEmpty();
      const std::int32_t count = in.Int32();
      if (!in.Fits(count, 4)) return;
      for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t line = in.Int32();
        if (!in.Ok()) return;
        if (apply) Toggle(module, line);
      }
    } else if (tag == TagWatches) {
      const std::int32_t count = in.Int32();
      if (!in.Fits(count, 4)) return;
      for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t length = in.Int32();
        if (length <= 0) continue;
        const QString name = in.Name(length);
        if (!in.Ok()) return;
        // Only a name adds a watch (a name read is never empty).
        Ref<IVexaWatch> watch = name.isEmpty() ? Ref<IVexaWatch>() : AddWatchName(name);
        const std::int32_t format = in.Int32();
        if (!in.Ok()) return;
        // Checked before it becomes a format: other numbers leave the watch as it is.
        const std::optional<TWatchFormat> known = WatchFormatOf(format);
        if (watch && known) watch->SetFormat(*known);
      }
    } else {
      return;
    }
  }
}

TProjectState CollectProjectState(const TVexaInterfaceList<IVexaModule>& Modules,
                                  const TVexaInterfaceList<IVexaWatch>& Watches) {
  TProjectState state;
  for (int i = 0; i < Modules.Count(); ++i) {
    const Ref<IVexaModule> module = Modules.Get(i);
    const int count = module->GetBreakpointCount();
    if (count <= 0) continue;
    TStateBreakpoints entry{module->GetName(), {}};
    for (int k = 0; k < count; ++k) entry.Lines.push_back(module->GetBreakpoint(k));
    state.Breakpoints.push_back(std::move(entry));
  }
  for (int i = 0; i < Watches.Count(); ++i) {
    const Ref<IVexaWatch> watch = Watches.Get(i);
    state.Watches.emplace_back(watch->GetName(), watch->GetFormat());
  }
  return state;
}

QByteArray StateFileBytes(bool SingleModule, const TProjectState& State) {
  QByteArray bytes;
  for (const TStateBreakpoints& entry : State.Breakpoints) {
    if (entry.Lines.empty() || (!SingleModule && entry.Module.isEmpty())) continue;
    bytes.append(char(TagBreakpoints));
    if (!SingleModule) AppendName(bytes, entry.Module);
    AppendInt32(bytes, std::int32_t(entry.Lines.size()));
    for (int line : entry.Lines) AppendInt32(bytes, line);
    if (SingleModule) break;
  }
  std::vector<std::pair<QString, TWatchFormat>> watches;
  for (const auto& watch : State.Watches)
    if (!watch.first.isEmpty()) watches.push_back(watch);
  if (!watches.empty()) {
    bytes.append(char(TagWatches));
    AppendInt32(bytes, std::int32_t(watches.size()));
    for (const auto& [name, format] : watches) {
      AppendName(bytes, name);
      AppendInt32(bytes, static_cast<std::int32_t>(format));
    }
  }
  bytes.append(char(TagEnd));
  return bytes;
}

void WriteStateFile(const QString& ProjectFileName, bool SingleModule, const TProjectState& State) {
  if (ProjectFileName.isEmpty()) return;
  const QString fileName = StateFileName(ProjectFileName);
  const QByteArray bytes = StateFileBytes(SingleModule, State);
  QSaveFile file(fileName);
  file.setDirectWriteFallback(true);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return;
  file.cancelWriting();
  QFile::remove(fileName);
}

}  // namespace vexa::ide
