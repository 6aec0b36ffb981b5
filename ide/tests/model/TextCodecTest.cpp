#include "model/core/TextCodec.h"

#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

TEST(TextCodec, DecodesByContentAndKeepsTheFormat) {
  struct Case {
    const char* name;
    QByteArray bytes;
    QString text;
    TTextFormat format;
  } const cases[] = {
      {"ascii is utf-8", "a\nb\n", "a\nb\n", {TTextEncoding::Utf8, TLineEnd::LF, false}},
      {"utf-8 umlauts",
       "Gr\xC3\xB6\xC3\x9F"
       "e",
       QString::fromUtf8("Größe"),
       {TTextEncoding::Utf8, TLineEnd::LF, false}},
      {"invalid utf-8 is windows-1252",
       "Gr\xF6\xDF"
       "e\r\n",
       QString::fromUtf8("Größe\r\n"),
       {TTextEncoding::Windows1252, TLineEnd::CRLF, false}},
      {"1252 high controls",
       "\x80\x81\x9F",
       QString::fromUtf8("€\u0081Ÿ"),
       {TTextEncoding::Windows1252, TLineEnd::LF, false}},
      {"utf-8 with bom", "\xEF\xBB\xBFx\ry", "x\ry", {TTextEncoding::Utf8, TLineEnd::CR, true}},
      {"first line end decides",
       "a\r\nb\nc",
       "a\r\nb\nc",
       {TTextEncoding::Utf8, TLineEnd::CRLF, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TDecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(decoded.Text, c.text);
    EXPECT_EQ(decoded.Format, c.format);
    // Written back unchanged, every byte kept.
    TTextFormat format = decoded.Format;
    EXPECT_EQ(EncodeText(decoded.Text, format), c.bytes);
    EXPECT_EQ(format, c.format);
  }
}

TEST(TextCodec, EveryByteSequenceComesBackByteForByte) {
  QByteArray allBytes;
  for (int b = 0; b < 256; ++b) allBytes.append(char(b));
  using namespace Qt::Literals::StringLiterals;
  struct Case {
    const char* name;
    QByteArray bytes;
    TTextEncoding encoding;
  } const cases[] = {
      {"empty", ""_ba, TTextEncoding::Utf8},
      {"bom only", "\xEF\xBB\xBF"_ba, TTextEncoding::Utf8},
      {"two boms", "\xEF\xBB\xBF\xEF\xBB\xBF"_ba, TTextEncoding::Utf8},
      {"two boms and text", "\xEF\xBB\xBF\xEF\xBB\xBFx\n"_ba, TTextEncoding::Utf8},
      {"three boms", "\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF"_ba, TTextEncoding::Utf8},
      {"bom inside the text", "a\xEF\xBB\xBF"_ba, TTextEncoding::Utf8},
      {"bom and nul", "\xEF\xBB\xBF\0"_ba, TTextEncoding::Utf8},
      {"nul only", "\0"_ba, TTextEncoding::Utf8},
      {"nuls only", "\0\0\0"_ba, TTextEncoding::Utf8},
      {"nul inside a line", "abc\0def\nline2\n"_ba, TTextEncoding::Utf8},
      {"utf-8 after a nul",
       "\0Gr\xC3\xB6\xC3\x9F"
       "e"_ba,
       TTextEncoding::Utf8},
      {"every byte value", allBytes, TTextEncoding::Windows1252},
      {"bom then invalid utf-8", "\xEF\xBB\xBF\xF6\0"_ba, TTextEncoding::Windows1252},
      {"two boms then invalid utf-8", "\xEF\xBB\xBF\xEF\xBB\xBF\xFF"_ba,
       TTextEncoding::Windows1252},
      {"cut sequence at the end", "ab\xC3"_ba, TTextEncoding::Windows1252},
      {"encoded surrogate", "\xED\xA0\x80"_ba, TTextEncoding::Windows1252},
      {"overlong slash", "\xC0\xAF"_ba, TTextEncoding::Windows1252},
      {"nul and invalid utf-8", "\0\x81\x8D\x8F\x90\x9D"_ba, TTextEncoding::Windows1252},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TDecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(decoded.Format.Encoding, c.encoding);
    TTextFormat format = decoded.Format;
    EXPECT_EQ(EncodeText(decoded.Text, format), c.bytes);
    EXPECT_EQ(format, decoded.Format);
  }
}

TEST(TextCodec, OnlyTheFirstBomIsTheFormatsTheOthersAreText) {
  const TDecodedText two = DecodeText("\xEF\xBB\xBF\xEF\xBB\xBFx");
  EXPECT_TRUE(two.Format.Bom);
  EXPECT_EQ(two.Text, QString(QChar(0xFEFF)) + u'x');

  const TDecodedText nul = DecodeText(QByteArray("\xEF\xBB\xBF\0x", 5));
  EXPECT_TRUE(nul.Format.Bom);
  EXPECT_EQ(nul.Text, QString(QChar(0)) + u'x');
}

TEST(TextCodec, WindowsTextThatNoLongerFitsIsWrittenAsUtf8) {
  TTextFormat format{TTextEncoding::Windows1252, TLineEnd::CRLF, false};
  const QString text = QString::fromUtf8("Größe \u03A9\r\n");
  EXPECT_EQ(EncodeText(text, format), text.toUtf8());
  EXPECT_EQ(format.Encoding, TTextEncoding::Utf8);
  EXPECT_EQ(format.LineEnd, TLineEnd::CRLF);

  TTextFormat fits{TTextEncoding::Windows1252, TLineEnd::LF, false};
  EXPECT_EQ(EncodeText(QString::fromUtf8("€ä"), fits), QByteArray("\x80\xE4"));
  EXPECT_EQ(fits.Encoding, TTextEncoding::Windows1252);
}

// V2 modules and VXBasic programs: ASCII without a BOM is Windows-1252, and
// stays so while the text fits; every other file decodes as any other.
TEST(TextCodec, ToolSourcesTakeAsciiAsWindows1252) {
  using namespace Qt::Literals::StringLiterals;
  struct Case {
    const char* name;
    QByteArray bytes;
    TTextFormat format;
  } const cases[] = {
      {"ascii", "a\r\nb\r\n"_ba, {TTextEncoding::Windows1252, TLineEnd::CRLF, false}},
      {"empty", ""_ba, {TTextEncoding::Windows1252, TLineEnd::LF, false}},
      {"nul", "\0x"_ba, {TTextEncoding::Windows1252, TLineEnd::LF, false}},
      {"bom and ascii",
       "\xEF\xBB\xBF"
       "a\n"_ba,
       {TTextEncoding::Utf8, TLineEnd::LF, true}},
      {"bom only", "\xEF\xBB\xBF"_ba, {TTextEncoding::Utf8, TLineEnd::LF, true}},
      {"one multi-byte sequence", "a\xC3\xA4"_ba, {TTextEncoding::Utf8, TLineEnd::LF, false}},
      {"invalid utf-8", "a\xE4\x80"_ba, {TTextEncoding::Windows1252, TLineEnd::LF, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TDecodedText decoded = DecodeText(c.bytes, TTextEncoding::Windows1252);
    EXPECT_EQ(decoded.Format, c.format);
    EXPECT_EQ(decoded.Text, DecodeText(c.bytes).Text);
    TTextFormat format = decoded.Format;
    EXPECT_EQ(EncodeText(decoded.Text, format), c.bytes);
    EXPECT_EQ(EncodeWithoutBom(decoded.Text, decoded.Format.Encoding),
              c.format.Bom ? c.bytes.sliced(3) : c.bytes);
  }
  // The same ASCII in any other file is UTF-8.
  EXPECT_EQ(DecodeText("a\n").Format.Encoding, TTextEncoding::Utf8);

  // Typed into an ASCII module: "ä" and "€" in Windows-1252; with a character
  // beyond it the whole file becomes UTF-8.
  TTextFormat ascii = DecodeText("s = \"\";\n", TTextEncoding::Windows1252).Format;
  const QString typed = QString::fromUtf8("s = \"ä€\";\n");
  EXPECT_EQ(EncodeWithoutBom(typed, ascii.Encoding), QByteArray("s = \"\xE4\x80\";\n"));
  EXPECT_EQ(EncodeText(typed, ascii), QByteArray("s = \"\xE4\x80\";\n"));
  const QString beyond = QString::fromUtf8("s = \"ä€Ω\";\n");
  EXPECT_EQ(EncodeWithoutBom(beyond, ascii.Encoding), beyond.toUtf8());
  EXPECT_EQ(EncodeText(beyond, ascii), beyond.toUtf8());
  EXPECT_EQ(ascii.Encoding, TTextEncoding::Utf8);
  // A UTF-8 file stays UTF-8 for characters Windows-1252 has; a BOM is not
  // part of the compilers' bytes.
  EXPECT_EQ(EncodeWithoutBom(typed, TTextEncoding::Utf8), typed.toUtf8());
  TTextFormat bom = DecodeText("\xEF\xBB\xBFx", TTextEncoding::Windows1252).Format;
  EXPECT_EQ(EncodeText(typed, bom), "\xEF\xBB\xBF" + typed.toUtf8());
}

// The tool libraries' texts: every byte one character, both ways; a
// character without a byte goes as "?".
TEST(TextCodec, ToolTextsAreWindows1252BytesWithoutFallback) {
  QByteArray all;
  for (int b = 1; b < 256; ++b) all.append(char(b));
  const QString text = FromWindows1252(all);
  ASSERT_EQ(text.size(), all.size());
  EXPECT_EQ(text[0x80 - 1], QChar(0x20AC));
  EXPECT_EQ(text[0x9F - 1], QChar(0x0178));
  EXPECT_EQ(ToWindows1252(text), all);
  // Valid UTF-8 is read as Windows-1252 all the same.
  EXPECT_EQ(FromWindows1252("\xC3\xA4"), QString::fromUtf8("Ã¤"));
  EXPECT_EQ(ToWindows1252(QString::fromUtf8("Größe \u03A9€")), QByteArray("Gr\xF6\xDF"
                                                                          "e ?\x80"));
}

}  // namespace
}  // namespace vexa::ide
