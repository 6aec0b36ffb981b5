#pragma once

// How a source file's bytes become editor text and back: UTF-8 when the bytes
// are valid UTF-8, else Windows-1252; bytes without a BOM and without a byte
// above 0x7F take the encoding the caller gives (Windows-1252 for the tool
// chain's sources). The first line end tells the file's line-end style.
// Writing uses the format the file came in, or UTF-8 when the text now holds
// a character Windows-1252 cannot encode.

#include <QByteArray>
#include <QString>

namespace vexa::ide {

enum class TTextEncoding { Utf8, Windows1252 };
enum class TLineEnd { LF, CRLF, CR };

struct TTextFormat {
  TTextEncoding Encoding = TTextEncoding::Utf8;
  TLineEnd LineEnd = TLineEnd::LF;
  bool Bom = false;  // UTF-8 only: the file started with EF BB BF

  friend bool operator==(const TTextFormat&, const TTextFormat&) = default;
};

struct TDecodedText {
  QString Text;  // line ends as they were in the bytes
  TTextFormat Format;
};

// Ascii: the encoding of bytes with no BOM and no byte above 0x7F.
TDecodedText DecodeText(const QByteArray& Bytes, TTextEncoding Ascii = TTextEncoding::Utf8);

// Text in Format; Format.Encoding becomes Utf8 (without BOM) when the text
// cannot be written in Windows-1252. Line ends are written as they are in
// Text.
QByteArray EncodeText(const QString& Text, TTextFormat& Format);

// The bytes EncodeText writes for Text in Encoding, without a BOM: what the
// compilers read as a module's text.
QByteArray EncodeWithoutBom(const QString& Text, TTextEncoding Encoding);

// Every character of Text has a Windows-1252 byte.
bool FitsWindows1252(const QString& Text);

// Text as Windows-1252 bytes, one per character; a character without one
// becomes "?". For the tool libraries, which read and write Windows-1252.
QByteArray ToWindows1252(const QString& Text);

// Windows-1252 bytes as text, one character per byte.
QString FromWindows1252(QByteArrayView Bytes);

// The line-end characters of a style: "\n", "\r\n" or "\r".
QString LineEndText(TLineEnd LineEnd);

}  // namespace vexa::ide
