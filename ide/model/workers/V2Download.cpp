#include "model/workers/V2Download.h"

#include "vexa/download/Protocol.h"
#include "vexa/platform/SerialPort.h"

#include <string>

namespace vexa::ide {

namespace {

const char* const kNoAnswer = "Keine Verbindung zur Vexa Unit (kein HOST Modus?)";
const char* const kTransferError =
    "Es trat ein Fehler bei der Übertragung auf, Vorgang muss wiederholt werden!";

// The link's failures as the IDE words them (UTF-8).
class TDownloadTexts final : public download::LinkTexts {
 public:
  std::string cannotOpen(const std::string& port, int error) const override {
    return "Konnte die Schnittstelle " + port + " nicht öffnen: Fehlercode " +
           std::to_string(error) + "!";
  }
  std::string cannotSetup(const std::string&, const char* call, int error) const override {
    return "Konnte die Schnittstelle nicht einstellen: Fehlercode " + std::to_string(error) +
           " bei " + call + "!";
  }
  std::string readError(int error) const override {
    return "Fehler beim Lesen von der Schnittstelle: Fehlercode " + std::to_string(error) + "!";
  }
  std::string writeError(int error) const override {
    return "Fehler beim Schreiben auf die Schnittstelle: Fehlercode " + std::to_string(error) + "!";
  }
  std::string truncatedReply(std::size_t, std::size_t) const override { return kTransferError; }
  std::string replyDifferent() const override { return kTransferError; }
  // Only the worker's end cancels: nothing is shown then.
  std::string canceled() const override { return {}; }
  std::string noAnswer() const override { return kNoAnswer; }
};

// 100 * Part / Whole, rounded.
int Percent(std::size_t Part, std::size_t Whole) {
  return int((100 * std::uint64_t(Part) + Whole / 2) / Whole);
}

// Closes the link however the transfer ends.
struct TCloseOnExit {
  download::Link& link;
  ~TCloseOnExit() { link.close(); }
};

}  // namespace

TV2Download::TV2Download(platform::Clock& Clock)
    : texts_(std::make_unique<TDownloadTexts>()), clock_(Clock), link_(*texts_, Clock) {
  link_.onMessage = [this](download::MessageKind, const std::string& Text) {
    if (!Text.empty()) Status(QString::fromStdString(Text));
  };
}

TV2Download::~TV2Download() = default;

void TV2Download::Status(const QString& Text) {
  if (OnStatus) OnStatus(Text);
}

bool TV2Download::Run(int Port, const std::vector<std::uint8_t>& Image) {
  if (Image.size() < download::kVMCHeaderSize) {
    Status(QStringLiteral("Kein Programm zum Übertragen vorhanden!"));
    return false;
  }
  TCloseOnExit closer{link_};
  return Transfer(Port, Image);
}

bool TV2Download::Transfer(int Port, const std::vector<std::uint8_t>& Image) {
  if (!link_.openPort(Port) || !link_.setup(kSlowBaud, kTimeouts) ||
      !link_.writeByte(download::cmdSwitchSpeed) || !link_.wait(kSwitchPauseMs) ||
      !link_.setup(kFastBaud, kTimeouts))
    return false;

  Status(QStringLiteral("Teste Verbindung zur Vexa Unit..."));
  std::uint8_t reply[kIdentifyReplySize];
  std::size_t received = 0;
  if (!link_.writeByte(download::cmdIdentify) || !link_.readAnswer(reply, sizeof reply, received))
    return false;

  if (!link_.writeByte(download::cmdEraseVMC)) return false;
  for (int step = 1; step <= kEraseSteps; ++step) {
    if (!link_.wait(kEraseStepMs)) return false;
    Status(QStringLiteral("Lösche den Flash-Speicher der Vexa Unit (%1 % fertig)")
               .arg(100 * step / kEraseSteps));
  }
  if (!link_.readAnswer(reply, 1, received)) return false;

  auto transferStatus = [](int Percent) {
    return QStringLiteral("Übertrage Anwenderprogramm in die Vexa Unit (%1 % fertig)").arg(Percent);
  };
  // Unsigned differences: right across the counter's wrap-around.
  std::uint32_t nextReport = clock_.milliseconds() + kReportIntervalMs;
  link_.onProgress = [&](std::size_t Position, std::size_t Total, bool&) {
    // The end is reported once, below.
    if (Position >= Total) return;
    if (std::int32_t(clock_.milliseconds() - nextReport) < 0) return;
    nextReport += kReportIntervalMs;
    Status(transferStatus(Percent(Position, Total)));
  };
  const bool sent = link_.writeByte(download::cmdLoadVMC) &&
                    link_.writeEchoed(Image.data(), download::kVMCHeaderSize) &&
                    link_.sendBlocks(Image.data(), Image.size(), download::kVMCHeaderSize,
                                     download::kVMCBlockSize, true);
  link_.onProgress = nullptr;
  if (!sent) return false;
  Status(transferStatus(100));
  return true;
}

bool SerialPortAvailable(int Port) {
  platform::SerialPort port;
  if (!port.openPort(Port)) return false;
  port.close();
  return true;
}

std::vector<int> OpenableSerialPorts(int Count) {
  std::vector<int> ports;
  for (int n = 1; n <= Count; ++n)
    if (SerialPortAvailable(n)) ports.push_back(n);
  return ports;
}

}  // namespace vexa::ide
