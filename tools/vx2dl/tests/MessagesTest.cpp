#include "vx2dl/Messages.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vexa::vx2dl {
namespace {

TEST(Vx2dlMessages, FormatsBothLanguagesWordForWord) {
  struct Case {
    std::string english;
    std::string german;
    std::string formattedEnglish;
    std::string formattedGerman;
  };
  const Case cases[] = {
      {formatMessage(kEnglish, kFileNotFound, "a.vmc"),
       formatMessage(kGerman, kFileNotFound, "a.vmc"), "File not found: a.vmc",
       "Datei nicht gefunden: a.vmc"},
      {formatMessage(kEnglish, kLineNoColon, "x.hex", 3),
       formatMessage(kGerman, kLineNoColon, "x.hex", 3),
       "Format error: x.hex line 3 does not start with \":\"",
       "Formatfehler: x.hex Zeile 3 beginnt nicht mit \":\""},
      {formatMessage(kEnglish, kCannotSetup, "COM2", "SetCommState()", 22),
       formatMessage(kGerman, kCannotSetup, "COM2", "SetCommState()", 22),
       "Could not setup COM2 - SetCommState(): 22",
       "Konnte die COM2 nicht einstellen - SetCommState(): 22"},
      {formatMessage(kEnglish, kReadError, 5), formatMessage(kGerman, kReadError, 5),
       "Error reading from COM - error code 5",
       "Fehler beim lesen von der COM-Schnittstelle - Fehlercode 5"},
      {formatMessage(kEnglish, kTruncatedReply, 34, 35),
       formatMessage(kGerman, kTruncatedReply, 34, 35),
       "Communication error - truncated reply of data block (34/35 bytes)",
       "Kommunikationsfehler - abgeschnittenes Echo des Datenblocks (34/35 Bytes)"},
      {formatMessage(kEnglish, kCanceled), formatMessage(kGerman, kCanceled),
       "User request - canceled", "Abbruch durch Anwender"},
      {formatMessage(kEnglish, kSendingOS, 1024), formatMessage(kGerman, kSendingOS, 1024),
       "Sending 1024 bytes OS code", "Uebertrage 1024 Bytes Betriebssystemcode"},
      {formatMessage(kEnglish, kBadCodeWordCount, 17),
       formatMessage(kGerman, kBadCodeWordCount, 17),
       "Invalid number of code words in VMC file: 17",
       "Ungueltige Anzahl von Befehlscodes in der VMC Datei: 17"},
      {formatMessage(kEnglish, kLoadingIHEXFormat, "p.hex"),
       formatMessage(kGerman, kLoadingIHEXFormat, "p.hex"), "Loading IHEX format file: p.hex",
       "Lade im INTEL HEX Format: p.hex"},
      {formatMessage(kEnglish, kInvalidOption, "-5"), formatMessage(kGerman, kInvalidOption, "-5"),
       "Invalid option: -5", "Ungueltige Option: -5"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.english, c.formattedEnglish);
    EXPECT_EQ(c.german, c.formattedGerman);
  }
}

TEST(Vx2dlMessages, EveryTextIsPresentAndPlainAscii) {
  for (int id = 0; id < kMessageCount; ++id) {
    for (unsigned char language : {kEnglish, kGerman}) {
      const std::string text = messageFormat(language, static_cast<MessageId>(id));
      EXPECT_FALSE(text.empty()) << id;
      for (unsigned char c : text) EXPECT_LT(c, 0x80) << id << ": " << text;
    }
    EXPECT_STRNE(messageFormat(kEnglish, static_cast<MessageId>(id)),
                 messageFormat(kGerman, static_cast<MessageId>(id)));
  }
}

TEST(Vx2dlUsage, LinesOfBothLanguages) {
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  };
  const auto english = lines(usageText(kEnglish));
  const auto german = lines(usageText(kGerman));
  ASSERT_EQ(english.size(), 12u);
  ASSERT_EQ(german.size(), 14u);
  EXPECT_EQ(english[0], "Syntax: vx2dl [-1|-2|-3|-4] [-DE|-EN] [zap-os|info|FILENAME]");
  EXPECT_EQ(english[11], "              .vmc and .hex may be omitted");
  EXPECT_EQ(german[0], "Syntax: vx2dl [-1|-2|-3|-4] [-DE|-EN] [zap-os|info|DATEINAME]");
  EXPECT_EQ(german[11], "              Die Datei muss sich im aktuellen Verzeichnis oder im Pfad ");
  EXPECT_EQ(german[13], "              angegeben werden");
  EXPECT_EQ(usageText(kEnglish).find('\r'), std::string::npos);
}

}  // namespace
}  // namespace vexa::vx2dl
