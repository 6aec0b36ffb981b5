#include "model/core/Helpers.h"

#include "model/core/VexaIntfs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cxxabi.h>
#include <clocale>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace vexa::ide {

int Min(int A, int B) { return A < B ? A : B; }
int Max(int A, int B) { return A > B ? A : B; }
int EnsureRange(int Value, int Lo, int Hi) { return Max(Min(Value, Hi), Lo); }

QString FormatText(const QString& Format, std::initializer_list<TFormatArg> Args) {
  QString out;
  out.reserve(Format.size());
  auto next = Args.begin();
  const qsizetype n = Format.size();
  qsizetype i = 0;
  while (i < n) {
    QChar c = Format[i];
    if (c != QLatin1Char('%')) {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < n && Format[i + 1] == QLatin1Char('%')) {
      out += QLatin1Char('%');
      i += 2;
      continue;
    }
    // %[-][width](s|d)
    qsizetype j = i + 1;
    bool left = false;
    if (j < n && Format[j] == QLatin1Char('-')) left = true, ++j;
    int width = 0;
    while (j < n && Format[j].isDigit() && width < 1000)
      width = width * 10 + Format[j++].digitValue();
    if (j < n && (Format[j] == QLatin1Char('s') || Format[j] == QLatin1Char('d')) &&
        next != Args.end()) {
      QString text = (next++)->Text();
      out += left ? text.leftJustified(width) : text.rightJustified(width);
      i = j + 1;
    } else {
      out += Format.mid(i, j - i);
      i = j;
    }
  }
  return out;
}

void ShowError(const QString& Text) { Dialogs().ShowError(Text); }
bool Confirm(const QString& Text) { return Dialogs().Confirm(Text); }

bool CheckDownloadPort(int Port) {
  if (Port >= 1 && Port <= 8) return true;
  ShowError(QStringLiteral(
      "Sie müssen zuerst die serielle Schnittstelle zur Übertragung des Programms zur Vexa "
      "Unit auswählen!"));
  return false;
}
int ConfirmCancel(const QString& Text) { return Dialogs().ConfirmCancel(Text); }

QString ExceptionClassName(const std::exception& E) {
  const char* mangled = typeid(E).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  QString name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
  // Drop the namespaces, but not a "::" inside template arguments.
  int depth = 0;
  qsizetype start = 0;
  for (qsizetype i = 0; i + 1 < name.size(); ++i) {
    if (name[i] == QLatin1Char('<'))
      ++depth;
    else if (name[i] == QLatin1Char('>'))
      --depth;
    else if (depth == 0 && name[i] == QLatin1Char(':') && name[i + 1] == QLatin1Char(':'))
      start = i + 2;
  }
  return name.mid(start);
}

void ShowExceptionError(const std::exception& E, const QString& Text) {
  ShowError(Text + QStringLiteral("\r\n\r\n") + ExceptionClassName(E) + QStringLiteral(": ") +
            QString::fromLocal8Bit(E.what()));
}

namespace {

qsizetype LastSeparator(const QString& name) {
  return qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
}

}  // namespace

QString ExtractFileName(const QString& FileName) {
  return FileName.mid(LastSeparator(FileName) + 1);
}

QString ExtractFileDir(const QString& FileName) {
  qsizetype sep = LastSeparator(FileName);
  if (sep < 0) return QString();
  if (sep == 0) return FileName.left(1);
  return FileName.left(sep);
}

QString ToLocalSeparators(const QString& FileName) {
  QString name = FileName;
  return name.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

bool IsReadOnlyFile(const QString& FileName) {
  if (FileName.isEmpty()) return false;
  QFileInfo info(FileName);
  return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

QString ModuleNameOf(const QString& FileName, bool StripExtension) {
  QString name = ExtractFileName(FileName).toLower();
  if (StripExtension && name.endsWith(QLatin1String(".v2"))) name.chop(3);
  return name;
}

TFileKind FileKindOf(const QString& FileName) {
  QString name = ExtractFileName(FileName);
  qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot < 0) return TFileKind::Plain;
  QString ext = name.mid(dot).toLower();
  if (ext == QLatin1String(".v2p")) return TFileKind::V2Project;
  if (ext == QLatin1String(".v2")) return TFileKind::V2Module;
  if (ext == QLatin1String(".bas")) return TFileKind::BasicProject;
  return TFileKind::Plain;
}

QString RelativeFileName(const QString& FileName, const QString& Directory) {
  qsizetype sep = LastSeparator(FileName);
  if (sep >= 0 && FileName.left(sep) == Directory) return FileName.mid(sep + 1);
  return FileName;
}

bool IsCommentLine(const QString& Line) {
  return Line.size() < 2 || Line.startsWith(QLatin1String("//"));
}

QString ExpandFileName(const QString& FileName) {
  if (FileName.isEmpty()) return QString();
  return QDir::cleanPath(QFileInfo(FileName).absoluteFilePath());
}

bool SameFileName(const QString& A, const QString& B) {
  if (A.isEmpty() || B.isEmpty()) return false;
  auto key = [](const QString& name) {
    QString canonical = QFileInfo(name).canonicalFilePath();
    return canonical.isEmpty() ? ExpandFileName(name) : canonical;
  };
  return key(A) == key(B);
}

QString ProgramDirectory() {
  QString dir;
  if (QCoreApplication::instance())
    dir = QCoreApplication::applicationDirPath();
  else
    dir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir;
}

QString UserDataDirectory() {
  // Where the application data location lies for this program's names, also
  // before the application object has them.
  QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (dir.isEmpty()) return QString();
  dir += QStringLiteral("/Dornik Electronic/Vexa IDE/");
  if (!QDir().mkpath(dir)) return QString();
  return dir;
}

void FixNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }

}  // namespace vexa::ide
