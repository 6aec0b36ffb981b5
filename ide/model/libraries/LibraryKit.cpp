#include "model/libraries/LibraryKit.h"

#include "model/core/TextCodec.h"

#include <QByteArrayView>

#include <cstring>

namespace vexa::ide {

std::string FailedCallText(const char* Function) { return std::string(Function) + "() failed"; }

QString BoundedText(const char* Buffer, std::size_t Size) {
  return FromWindows1252(QByteArrayView(Buffer, qsizetype(::strnlen(Buffer, Size))));
}

QStringList MessageLines(const QString& Text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype size = Text.size();
  for (qsizetype i = 0; i <= size; ++i) {
    if (i < size && Text[i] != QLatin1Char('\r') && Text[i] != QLatin1Char('\n')) continue;
    if (i > start) lines << Text.mid(start, i - start);
    if (i + 1 < size && Text[i] == QLatin1Char('\r') && Text[i + 1] == QLatin1Char('\n')) ++i;
    start = i + 1;
  }
  return lines;
}

}  // namespace vexa::ide
