#include "model/workers/V2Download.h"

#include <gtest/gtest.h>

#include "QStringPrinter.h"
#include "boardemu/PtyLink.h"
#include "boardemu/V2Board.h"
#include "vexa/platform/SerialPort.h"

#include <QStringList>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace vexa::ide {
namespace {

using namespace std::chrono_literals;
using boardemu::FaultKind;
using boardemu::FaultOptions;
using boardemu::V2Board;
using boardemu::V2BoardOptions;
using Bytes = std::vector<std::uint8_t>;

constexpr int kPort = 3;

// Sleeps cost nothing; every reading of the counter moves it on by Step ms.
class SteppingClock final : public platform::Clock {
 public:
  std::uint32_t milliseconds() override {
    const std::uint32_t value = now;
    now += step;
    return value;
  }
  void sleep(std::uint32_t ms) override {
    sleeps.push_back(ms);
    now += ms;
  }
  platform::LocalTime localTime() override { return {}; }

  // After the 2510 ms of waits before the transfer, 300 ms short of the
  // wrap-around: the counter wraps before the first report is due.
  std::uint32_t now = 0xFFFFF506u;
  std::uint32_t step = 100;
  std::vector<std::uint32_t> sleeps;
};

// Port kPort is the device at Path while it lives.
class TPortDevice {
 public:
  explicit TPortDevice(const std::string& Path) { ::setenv(kVariable, Path.c_str(), 1); }
  ~TPortDevice() { ::unsetenv(kVariable); }

 private:
  static constexpr const char* kVariable = "VEXA_COM3";
};

// A binary VMC image: the header (byte count and word count) and Body bytes
// (Body even: half of it constant bytes).
Bytes Image(std::uint32_t Body) {
  Bytes image;
  for (std::uint32_t v : {Body / 2, Body / 4})
    for (int i = 0; i < 4; ++i) image.push_back(std::uint8_t(v >> (8 * i)));
  for (std::uint32_t i = 0; i < Body; ++i) image.push_back(std::uint8_t(i * 13 + 1));
  return image;
}

QStringList EraseTexts() {
  QStringList texts;
  for (int percent = 4; percent <= 100; percent += 4)
    texts << QStringLiteral("Lösche den Flash-Speicher der Vexa Unit (%1 % fertig)").arg(percent);
  return texts;
}

const QString kTesting = QStringLiteral("Teste Verbindung zur Vexa Unit...");

bool PortIsFree(const std::string& Path) {
  platform::SerialPort probe;
  return probe.open(Path);
}

class V2DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    download.OnStatus = [this](const QString& Text) { statuses << Text; };
  }

  SteppingClock clock;
  TV2Download download{clock};
  QStringList statuses;
};

TEST_F(V2DownloadTest, SendsTheImageWithTheStatusTextsInOrder) {
  V2BoardOptions options;
  options.identifyReply = "VX2 HOST V1.00 !";  // 16 bytes: the read ends on the count
  V2Board board(options);
  if (!board.start()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  TPortDevice device(board.path());
  const Bytes image = Image(12 * 32 + 16);  // 12 blocks and a rest

  ASSERT_TRUE(download.Run(kPort, image));

  // A report every 500 ms of the clock (every fifth block here), then the end.
  QStringList expected{kTesting};
  expected << EraseTexts();
  for (int percent : {41, 80, 100})
    expected
        << QStringLiteral("Übertrage Anwenderprogramm in die Vexa Unit (%1 % fertig)").arg(percent);
  EXPECT_EQ(statuses, expected);
  ASSERT_TRUE(board.recording().waitForEvent("program-vmc", 2s));
  EXPECT_EQ(board.recording().image("program"), image);
  // No end command: the board is left in its loaded state at the fast speed.
  EXPECT_EQ(board.recording().events(),
            (std::vector<std::string>{"switch-speed", "identify", "erase-vmc", "load-vmc",
                                      "program-vmc"}));
  std::vector<std::uint32_t> sleeps{10};
  sleeps.insert(sleeps.end(), 25, 100);
  EXPECT_EQ(clock.sleeps, sleeps);
  EXPECT_TRUE(PortIsFree(board.path()));
}

TEST_F(V2DownloadTest, FailuresEndWithTheirTextAndAClosedPort) {
  const QString transferError =
      QStringLiteral("Es trat ein Fehler bei der Übertragung auf, Vorgang muss wiederholt werden!");
  struct Case {
    const char* name;
    FaultOptions fault;
    QStringList lastTexts;
  } const cases[] = {
      {"no board",
       {FaultKind::NoAnswer},
       {kTesting, QStringLiteral("Keine Verbindung zur Vexa Unit (kein HOST Modus?)")}},
      // Echo byte 10 lies in the first data block after the header.
      {"wrong echo", {FaultKind::WrongEcho, 10}, {EraseTexts().back(), transferError}},
      {"wrong header echo", {FaultKind::WrongEcho, 3}, {EraseTexts().back(), transferError}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    statuses.clear();
    V2BoardOptions options;
    options.identifyReply = "VX2 HOST V1.00 !";
    V2Board board(options, c.fault);
    if (!board.start()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
    TPortDevice device(board.path());

    EXPECT_FALSE(download.Run(kPort, Image(100)));
    EXPECT_EQ(statuses.mid(statuses.size() - 2), c.lastTexts);
    EXPECT_FALSE(board.recording().hasEvent("program-vmc"));
    EXPECT_TRUE(PortIsFree(board.path()));
  }
}

TEST_F(V2DownloadTest, APortThatCannotBeOpenedIsNamed) {
  TPortDevice device("/nonexistent/tty");
  EXPECT_FALSE(download.Run(kPort, Image(40)));
  EXPECT_EQ(statuses,
            QStringList{QStringLiteral("Konnte die Schnittstelle COM3 nicht öffnen: Fehlercode %1!")
                            .arg(ENOENT)});
}

TEST_F(V2DownloadTest, NoImageSendsNothing) {
  boardemu::PtyLink pty;
  if (!pty.open()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  TPortDevice device(pty.path());
  for (const Bytes& image : {Bytes{}, Bytes(7, 1)}) {
    statuses.clear();
    EXPECT_FALSE(download.Run(kPort, image));
    EXPECT_EQ(statuses, QStringList{QStringLiteral("Kein Programm zum Übertragen vorhanden!")});
  }
  std::uint8_t byte = 0;
  EXPECT_EQ(pty.receive(&byte, 1, 50), 0);
}

// The worker's end cancels a download that waits for a silent board: it ends
// at once, without a text of its own.
TEST_F(V2DownloadTest, CancelEndsABlockedDownloadSilently) {
  V2Board board({}, {FaultKind::NoAnswer});
  if (!board.start()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  TPortDevice device(board.path());
  std::thread canceller([this] {
    std::this_thread::sleep_for(100ms);
    download.Cancel();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(download.Run(kPort, Image(40)));
  const auto took = std::chrono::steady_clock::now() - start;
  canceller.join();
  EXPECT_LT(took, 900ms);
  EXPECT_EQ(statuses, QStringList{kTesting});
  EXPECT_TRUE(PortIsFree(board.path()));
}

TEST(SerialPortsTest, OnlyThePortsTheSerialLayerOpensAreListedAndLeftClosed) {
  boardemu::PtyLink pty;
  if (!pty.open()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  for (int n : {1, 2, 4}) ::setenv(("VEXA_COM" + std::to_string(n)).c_str(), "/nonexistent/tty", 1);
  TPortDevice device(pty.path());
  EXPECT_FALSE(SerialPortAvailable(2));
  EXPECT_TRUE(SerialPortAvailable(3));
  EXPECT_EQ(OpenableSerialPorts(4), std::vector<int>{3});
  EXPECT_EQ(OpenableSerialPorts(4), std::vector<int>{3}) << "the probe closed the port again";
  EXPECT_EQ(OpenableSerialPorts(2), std::vector<int>{});
  {
    platform::SerialPort holder;
    ASSERT_TRUE(holder.openPort(3));
    EXPECT_EQ(OpenableSerialPorts(4), std::vector<int>{}) << "a held port is not offered";
  }
  for (int n : {1, 2, 4}) ::unsetenv(("VEXA_COM" + std::to_string(n)).c_str());
}

}  // namespace
}  // namespace vexa::ide
