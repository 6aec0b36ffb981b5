#include "vx2dl/Messages.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace vexa::vx2dl {

namespace {

struct Pair {
  const char* english;
  const char* german;
};

constexpr Pair kTexts[kMessageCount] = {
    {"File not found: %s", "Datei nicht gefunden: %s"},
    {"File is empty: %s", "Datei ist leer: %s"},
    {"Format error: %s line %d too short", "Formatfehler: %s Zeile %d zu kurz"},
    {"Format error: %s line %d does not start with \":\"",
     "Formatfehler: %s Zeile %d beginnt nicht mit \":\""},
    {"Format error: %s line %d does not contain valid data",
     "Formatfehler: %s Zeile %d enthaelt ungueltige Daten"},
    {"Format error: unexpected end of file", "Formatfehler: unerwartetes Dateiende"},
    {"Could not open %s - error code %d", "Konnte die %s nicht oeffnen - Fehlercode %d"},
    {"Could not setup %s - %s: %d", "Konnte die %s nicht einstellen - %s: %d"},
    {"Error reading from COM - error code %d",
     "Fehler beim lesen von der COM-Schnittstelle - Fehlercode %d"},
    {"Error writing to COM - error code %d",
     "Fehler beim Schreiben zur COM-Schnittstelle - Fehlercode %d"},
    {"Communication error - truncated reply of data block (%d/%d bytes)",
     "Kommunikationsfehler - abgeschnittenes Echo des Datenblocks (%d/%d Bytes)"},
    {"Communication error - reply of data block is different",
     "Kommunikationsfehler - Echo des Datenblocks veraendert"},
    {"User request - canceled", "Abbruch durch Anwender"},
    {"Trying to connect to the Vexa II unit...", "Verbinde mit der Vexa II Unit..."},
    {"No answer, check connection cable", "Keine Antwort, bitte Verbindungskabel pruefen"},
    {"Sending %d bytes bootloader code", "Uebertrage %d Bytes Bootloadercode"},
    {"The flash is being erased...", "Flash Speicher wird geloescht..."},
    {"Sending %d bytes OS code", "Uebertrage %d Bytes Betriebssystemcode"},
    {"Sending %d bytes user program code", "Uebertrage %d Bytes Anwenderprogrammcode"},
    {"Invalid number of constant bytes in VMC file: %d",
     "Ungueltige Anzahl von Konstantenbytes in der VMC Datei: %d"},
    {"Invalid constant byte in VMC file - value out of range",
     "Ungueltiges Konstantenbyte in der VMC Datei - Bereichsueberschreitung"},
    {"Invalid number of code words in VMC file: %d",
     "Ungueltige Anzahl von Befehlscodes in der VMC Datei: %d"},
    {"Invalid code word in VMC file - value out of range",
     "Ungueltiger Befehlscode in der VMC Datei - Bereichsueberschreitung"},
    {"Loading IDE format file: %s", "Lade im Format der IDE: %s"},
    {"Loading IHEX format file: %s", "Lade im INTEL HEX Format: %s"},
    {"Invalid option: %s", "Ungueltige Option: %s"},
    {"File not found: %s", "Datei nicht gefunden: %s"},
};

constexpr const char* kUsageEnglish[] = {
    "Syntax: vx2dl [-1|-2|-3|-4] [-DE|-EN] [zap-os|info|FILENAME]",
    "   -[1..4]    Selects the COM interface, COM 2 will be used as the default",
    "   -DE        Forces program output in German",
    "   -EN        Forces program output in English",
    "    zap-os    Writes a new version of the operating system into the",
    "              Vexa II unit, which has to be in BOOT mode",
    "    info      Reads ID and version information of the Vexa II unit,",
    "              which has to be in HOST mode, and writes it to the screen",
    "    FILENAME  Writes the user program FILENAME in either the format of the IDE",
    "              or in INTEL HEX format to the Vexa II unit, which has to be",
    "              in HOST mode. The file must be on the path, but the extensions",
    "              .vmc and .hex may be omitted",
};

constexpr const char* kUsageGerman[] = {
    "Syntax: vx2dl [-1|-2|-3|-4] [-DE|-EN] [zap-os|info|DATEINAME]",
    "   -[1..4]    Auswahl der verwendeten COM-Schnittstelle, Vorgabe ist COM2",
    "   -DE        Erzwingt Programmausgaben in Deutsch",
    "   -EN        Erzwingt Programmausgaben in Englisch",
    "    zap-os    Uebertraegt eine neue Version des Betriebssystems in die",
    "              Vexa II Unit, diese muss sich im BOOT Modus befinden",
    "    info      Liest ID und Versionsinformationen aus der Vexa II Unit,",
    "              die sich im HOST Modus befinden muss, und gibt diese aus",
    "    DATEINAME Uebertraegt die Anwenderprogrammdatei DATEINAME im Format der",
    "              Windows-Entwicklungsumgebung oder im INTEL HEX Format in die",
    "              Vexa II Unit, die sich im HOST Modus befinden muss.",
    "              Die Datei muss sich im aktuellen Verzeichnis oder im Pfad ",
    "              befinden, die Erweiterungen .vmc und .hex muessen jedoch nicht",
    "              angegeben werden",
};

}  // namespace

const char* const kBanner = "Vexa II Downloader Version 1.0";

const char* messageFormat(unsigned char language, MessageId id) {
  if (id < 0 || id >= kMessageCount) return "";
  return language == kGerman ? kTexts[id].german : kTexts[id].english;
}

std::string formatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<std::size_t>(length));
  }
  va_end(args);
  return text;
}

std::string usageText(unsigned char language) {
  std::string text;
  auto append = [&text](const auto& lines) {
    for (const char* line : lines) {
      if (!text.empty()) text += '\n';
      text += line;
    }
  };
  if (language == kGerman) {
    append(kUsageGerman);
  } else {
    append(kUsageEnglish);
  }
  return text;
}

std::string EngineMessages::cannotOpen(const std::string& port, int error) const {
  return formatMessage(language_, kCannotOpen, port.c_str(), error);
}

std::string EngineMessages::cannotSetup(const std::string& port, const char* call,
                                        int error) const {
  return formatMessage(language_, kCannotSetup, port.c_str(), call, error);
}

std::string EngineMessages::readError(int error) const {
  return formatMessage(language_, kReadError, error);
}

std::string EngineMessages::writeError(int error) const {
  return formatMessage(language_, kWriteError, error);
}

std::string EngineMessages::truncatedReply(std::size_t received, std::size_t expected) const {
  return formatMessage(language_, kTruncatedReply, static_cast<int>(received),
                       static_cast<int>(expected));
}

std::string EngineMessages::replyDifferent() const {
  return formatMessage(language_, kReplyDifferent);
}

std::string EngineMessages::canceled() const { return formatMessage(language_, kCanceled); }

std::string EngineMessages::noAnswer() const { return formatMessage(language_, kNoAnswer); }

std::string EngineMessages::connecting() const { return formatMessage(language_, kConnecting); }

std::string EngineMessages::sendingBootloader(std::size_t bytes) const {
  return formatMessage(language_, kSendingBootloader, static_cast<int>(bytes));
}

std::string EngineMessages::erasingFlash() const { return formatMessage(language_, kErasingFlash); }

std::string EngineMessages::sendingOS(std::size_t bytes) const {
  return formatMessage(language_, kSendingOS, static_cast<int>(bytes));
}

std::string EngineMessages::sendingUserProgram(std::size_t bytes) const {
  return formatMessage(language_, kSendingUserProgram, static_cast<int>(bytes));
}

}  // namespace vexa::vx2dl
