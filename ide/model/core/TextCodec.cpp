#include "model/core/TextCodec.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace vexa::ide {

namespace {

// Characters of the bytes 0x80..0x9F. The five bytes without a character map
// to the control character of the same number, so every byte survives a round
// trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int Windows1252Byte(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (int i = 0; i < int(kHighControls.size()); ++i) {
    if (kHighControls[i] == c) return 0x80 + i;
  }
  return -1;
}

TLineEnd FirstLineEnd(const QString& Text) {
  for (qsizetype i = 0; i < Text.size(); ++i) {
    if (Text[i] == u'\n') return TLineEnd::LF;
    if (Text[i] == u'\r') {
      return i + 1 < Text.size() && Text[i + 1] == u'\n' ? TLineEnd::CRLF : TLineEnd::CR;
    }
  }
  return TLineEnd::LF;
}

}  // namespace

TDecodedText DecodeText(const QByteArray& Bytes, TTextEncoding Ascii) {
  TDecodedText result;
  QByteArrayView body(Bytes);
  if (body.startsWith("\xEF\xBB\xBF")) {
    result.Format.Bom = true;
    body = body.sliced(3);
  }
  // A second BOM is text: the decoder must not drop it.
  QStringDecoder utf8(QStringDecoder::Utf8,
                      QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString text = utf8.decode(body);
  if (utf8.hasError()) {
    result.Format.Bom = false;
    result.Format.Encoding = TTextEncoding::Windows1252;
    text = FromWindows1252(Bytes);
  } else if (!result.Format.Bom && Ascii == TTextEncoding::Windows1252 &&
             std::all_of(body.begin(), body.end(), [](char b) { return (b & 0x80) == 0; })) {
    result.Format.Encoding = TTextEncoding::Windows1252;
  }
  result.Format.LineEnd = FirstLineEnd(text);
  result.Text = std::move(text);
  return result;
}

QString FromWindows1252(QByteArrayView Bytes) {
  QString text;
  text.reserve(Bytes.size());
  for (char b : Bytes) {
    const auto u = static_cast<unsigned char>(b);
    text.append(QChar(u >= 0x80 && u < 0xA0 ? kHighControls[u - 0x80] : char16_t(u)));
  }
  return text;
}

QByteArray ToWindows1252(const QString& Text) {
  QByteArray bytes;
  bytes.reserve(Text.size());
  for (QChar c : Text) {
    const int b = Windows1252Byte(c.unicode());
    bytes.append(b < 0 ? '?' : char(b));
  }
  return bytes;
}

bool FitsWindows1252(const QString& Text) {
  for (QChar c : Text) {
    if (Windows1252Byte(c.unicode()) < 0) return false;
  }
  return true;
}

QByteArray EncodeText(const QString& Text, TTextFormat& Format) {
  if (Format.Encoding == TTextEncoding::Windows1252) {
    if (FitsWindows1252(Text)) return ToWindows1252(Text);
    Format.Encoding = TTextEncoding::Utf8;
    Format.Bom = false;
  }
  QByteArray bytes = Format.Bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
  return bytes + Text.toUtf8();
}

QByteArray EncodeWithoutBom(const QString& Text, TTextEncoding Encoding) {
  TTextFormat format{Encoding, TLineEnd::LF, false};
  return EncodeText(Text, format);
}

QString LineEndText(TLineEnd LineEnd) {
  switch (LineEnd) {
    case TLineEnd::CRLF: return QStringLiteral("\r\n");
    case TLineEnd::CR: return QStringLiteral("\r");
    case TLineEnd::LF: break;
  }
  return QStringLiteral("\n");
}

}  // namespace vexa::ide
