#include "model/settings/Settings.h"

#include <QSettings>
#include <QVariant>

#include <limits>
#include <memory>

namespace vexa::ide::settings {
namespace {

const char* const kOrganization = "Dornik Electronic";
const char* const kApplication = "Vexa IDE";
const char* const kBaseGroup = "1.0";

QString& FilePath() {
  static QString path;
  return path;
}

std::unique_ptr<QSettings>& Holder() {
  static std::unique_ptr<QSettings> store;
  return store;
}

QSettings& Store() {
  auto& store = Holder();
  if (!store) {
    if (FilePath().isEmpty())
      store = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kOrganization,
                                          kApplication);
    else
      store = std::make_unique<QSettings>(FilePath(), QSettings::IniFormat);
    store->setFallbacksEnabled(false);
  }
  return *store;
}

QString GroupOf(const QString& section) {
  QString group = QString::fromLatin1(kBaseGroup);
  QString path = section;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts))
    group += QLatin1Char('/') + part;
  return group;
}

QString KeyOf(const QString& section, const QString& name) {
  return GroupOf(section) + QLatin1Char('/') + name;
}

// The stored value as a 32-bit number: decimal (signed, or unsigned up to
// 0xFFFFFFFF, as colour values are) or 0x-hexadecimal. None for anything else.
bool ToInteger(const QVariant& value, int& result) {
  if (value.typeId() != QMetaType::QString) {
    if (!value.canConvert<qlonglong>()) return false;
  }
  QString text = value.toString().trimmed();
  bool ok = false;
  qlonglong n = 0;
  if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
    n = text.mid(2).toLongLong(&ok, 16);
  else
    n = text.toLongLong(&ok, 10);
  if (!ok || n < std::numeric_limits<int>::min() || n > 0xFFFFFFFFLL) return false;
  result = static_cast<int>(static_cast<quint32>(n));
  return true;
}

}  // namespace

QString ReadString(const QString& Section, const QString& Name, const QString& Default) {
  QVariant value = Store().value(KeyOf(Section, Name));
  if (!value.isValid() || value.typeId() == QMetaType::QStringList) return Default;
  if (!value.canConvert<QString>()) return Default;
  return value.toString();
}

int ReadInteger(const QString& Section, const QString& Name, int Default) {
  QVariant value = Store().value(KeyOf(Section, Name));
  int result = 0;
  if (!value.isValid() || !ToInteger(value, result)) return Default;
  return result;
}

bool ReadBool(const QString& Section, const QString& Name, bool Default) {
  QVariant value = Store().value(KeyOf(Section, Name));
  if (!value.isValid()) return Default;
  int number = 0;
  if (ToInteger(value, number)) return number != 0;
  QString text = value.toString().trimmed();
  if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
  if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
  return Default;
}

void WriteString(const QString& Section, const QString& Name, const QString& Value) {
  Store().setValue(KeyOf(Section, Name), Value);
}

void WriteInteger(const QString& Section, const QString& Name, int Value) {
  Store().setValue(KeyOf(Section, Name), Value);
}

void WriteBool(const QString& Section, const QString& Name, bool Value) {
  Store().setValue(KeyOf(Section, Name), Value ? 1 : 0);
}

void DeleteKey(const QString& Section) { Store().remove(GroupOf(Section)); }

void DeleteValue(const QString& Section, const QString& Name) {
  Store().remove(KeyOf(Section, Name));
}

bool Flush() {
  QSettings& store = Store();
  store.sync();
  return store.status() == QSettings::NoError;
}

void ReleaseSettings() {
  if (Holder()) Holder()->sync();
  Holder().reset();
}

void SetSettingsFile(const QString& Path) {
  ReleaseSettings();
  FilePath() = Path;
}

}  // namespace vexa::ide::settings
