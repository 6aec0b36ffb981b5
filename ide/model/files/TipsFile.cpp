#include "model/files/TipsFile.h"

#include "model/core/Helpers.h"

#include <QFile>
#include <QStringDecoder>

namespace vexa::ide {

QString DefaultTipsFileName() { return ProgramDirectory() + QStringLiteral("TipsOfTheDay.txt"); }

bool ReadTipsFile(const QString& FileName, QStringList& Lines) {
  Lines.clear();
  QFile file(FileName);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return false;

  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);

  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c != QLatin1Char('\n') && c != QLatin1Char('\r')) continue;
    Lines.append(text.mid(start, i - start));
    if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
    start = i + 1;
  }
  if (start < text.size()) Lines.append(text.mid(start));
  return true;
}

QString DecodeTip(const QString& Line) {
  QString result;
  result.reserve(Line.size());
  for (qsizetype i = 0; i < Line.size(); ++i) {
    const QChar c = Line[i];
    if (c == QLatin1Char('\\') && i + 1 < Line.size()) {
      const QChar next = Line[i + 1];
      if (next == QLatin1Char('\\')) {
        result += QLatin1Char('\\');
        ++i;
        continue;
      }
      if (next == QLatin1Char('n')) {
        result += QLatin1Char('\n');
        ++i;
        continue;
      }
    }
    result += c;
  }
  return result;
}

bool NextTip(const QStringList& Lines, int& TipIndex, QString& Tip) {
  // A negative index (a damaged setting) would otherwise never show a tip.
  if (TipIndex < 0 || TipIndex >= Lines.size()) TipIndex = 0;
  if (Lines.isEmpty()) return false;
  Tip = DecodeTip(Lines[TipIndex]);
  ++TipIndex;
  return true;
}

}  // namespace vexa::ide
