#include "model/files/TextCodec.h"

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

}  // namespace
}  // namespace vexa::ide
