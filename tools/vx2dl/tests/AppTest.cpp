#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "TestSupport.h"
#include "boardemu/V2Board.h"
#include "vx2dl/DownloaderApp.h"

namespace vexa::vx2dl {
namespace {

using namespace std::chrono_literals;
using boardemu::FaultKind;
using boardemu::FaultOptions;
using boardemu::V2Board;
using boardemu::V2BoardOptions;
using boardemu::V2Mode;
using testing::hexDataLine;
using testing::ScopedCwd;
using testing::ScopedEnv;
using testing::sequence;
using testing::TempDir;
using testing::vmcText;

const std::string kBannerText = "\nVexa II Downloader Version 1.0\n\n";

// The front end in a scratch directory, its output in a string, the
// protocol's waits skipped through the engine's wait handler.
class Vx2dlApp : public ::testing::Test {
 protected:
  Vx2dlApp() : cwd(dir.path()), locale("LC_ALL", "C") {}

  int run(const std::vector<std::string>& arguments) {
    out.str("");
    TVX2DownloaderApp app(out);
    app.Downloader().OnWait = [](TVX2Downloader&, std::uint32_t, bool&) {};
    return app.Run(arguments);
  }
  bool startBoard(V2BoardOptions options = {}, FaultOptions faults = {},
                  const char* port = "VEXA_COM2") {
    env.reset();
    board = std::make_unique<V2Board>(std::move(options), faults);
    if (!board->start()) return false;
    env = std::make_unique<ScopedEnv>(port, board->path());
    return true;
  }
  std::string vmcFile() const {
    return vmcText(sequence(64, 1, 5, 256), sequence(32, 9, 777, 65536));
  }

  TempDir dir;
  ScopedCwd cwd;
  ScopedEnv locale;
  std::ostringstream out;
  std::unique_ptr<V2Board> board;
  std::unique_ptr<ScopedEnv> env;
};

#define START_BOARD(...) \
  if (!startBoard(__VA_ARGS__)) GTEST_SKIP() << "no pseudo-terminal can be opened here"

TEST_F(Vx2dlApp, UsageInTheChosenLanguage) {
  struct Case {
    std::vector<std::string> arguments;
    const char* locale;
    unsigned char language;
  } const cases[] = {
      {{}, "C", kEnglish},
      {{}, "de_DE.UTF-8", kGerman},
      {{"-DE", "-EN"}, "de_DE", kEnglish},
      {{"-EN", "-DE"}, "C", kGerman},
      {{"-2"}, "C", kEnglish},
  };
  for (const Case& c : cases) {
    ScopedEnv language("LC_ALL", c.locale);
    EXPECT_EQ(run(c.arguments), kExitOk);
    EXPECT_EQ(out.str(), kBannerText + usageText(c.language) + "\n");
  }
}

TEST_F(Vx2dlApp, InfoPrintsTheThreeReplies) {
  V2BoardOptions options;
  options.info2Reply = std::string("S\0N", 3);
  struct Case {
    std::vector<std::string> arguments;
    const char* port;
    std::string before;
  } const cases[] = {
      {{"info"}, "VEXA_COM2", ""},
      {{"-5", "info"}, "VEXA_COM2", "Invalid option: -5\n"},
      {{"info", "extra"}, "VEXA_COM2", ""},
      {{"-x", "-DE", "-3", "info"}, "VEXA_COM3", "Ungueltige Option: -x\n"},
  };
  for (const Case& c : cases) {
    START_BOARD(options, {}, c.port);
    EXPECT_EQ(run(c.arguments), kExitOk);
    EXPECT_EQ(out.str(),
              kBannerText + c.before + "  VX2 HOST  " + std::string("S\0N", 3) + "  OS 1.00\n");
    EXPECT_EQ(board->recording().events(),
              (std::vector<std::string>{"identify", "info2", "info1"}));
  }
}

TEST_F(Vx2dlApp, InfoOnAPortThatCannotOpenFailsOnce) {
  ScopedEnv device("VEXA_COM2", "/nonexistent/tty");
  EXPECT_EQ(run({"info"}), kExitTransferFailed);
  const std::string error = "Could not open COM2 - error code 2\n";
  EXPECT_EQ(out.str(), kBannerText + error);
}

TEST_F(Vx2dlApp, ProgramFileIsFoundWithOrWithoutExtension) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> files;
    std::string argument;
    std::string resolved;
  } const cases[] = {
      {{{"prog.vmc", "v"}, {"prog.hex", "h"}}, "prog", "prog.vmc"},
      {{{"prog.hex", "h"}}, "prog", "prog.hex"},
      {{{"prog", "p"}, {"prog.vmc", "v"}}, "prog", "prog"},
      {{{"prog.hex", "h"}}, "prog.txt", ""},
      {{{"prog.txt.vmc", "v"}}, "prog.txt", ""},
      {{{"a.d/prog.vmc", "v"}}, "a.d/prog", "a.d/prog.vmc"},
      {{{"a.d/prog.vmc", "v"}}, "a.d\\prog", ""},
      {{{"sub.vmc/x", "v"}}, "sub", ""},  // a directory is no program file
      {{{".vmc", "v"}}, "", ""},
  };
  for (const Case& c : cases) {
    TempDir scratch;
    ScopedCwd here(scratch.path());
    for (const auto& [name, content] : c.files) {
      std::filesystem::create_directories(std::filesystem::path(name).parent_path().empty()
                                              ? scratch.path()
                                              : scratch.path() /
                                                    std::filesystem::path(name).parent_path());
      scratch.write(name, content);
    }
    EXPECT_EQ(ResolveProgramFile(c.argument), c.resolved) << c.argument;
  }
}

TEST_F(Vx2dlApp, DownloadPrintsMessagesAndDots) {
  // One record padded with 0xFF, then the end mark.
  std::vector<std::uint8_t> hexImage = {0x12, 0x34, 3, 1, 2, 3};
  hexImage.resize(37, 0xFF);
  struct Case {
    std::string file, content;
    std::vector<std::string> arguments;
    std::string output, event;
    std::vector<std::uint8_t> image;
  } const cases[] = {
      {"prog.vmc",
       vmcFile(),
       {"prog"},
       "Loading IDE format file: prog.vmc\n"
       "The flash is being erased...\n"
       "Sending 128 bytes user program code\n"
       "......OK\n",
       "program-vmc",
       testing::vmcImage(sequence(64, 1, 5, 256), sequence(32, 9, 777, 65536))},
      {"prog.hex",
       hexDataLine(0x1234, {1, 2, 3}) + "\n:00000001FF\n",
       {"-DE", "prog"},
       "Lade im INTEL HEX Format: prog.hex\n"
       "Flash Speicher wird geloescht...\n"
       "Uebertrage 34 Bytes Anwenderprogrammcode\n"
       "...OK\n",
       "program-hex",
       hexImage},
  };
  for (const Case& c : cases) {
    TempDir scratch;
    ScopedCwd here(scratch.path());
    scratch.write(c.file, c.content);
    START_BOARD();
    EXPECT_EQ(run(c.arguments), kExitOk);
    EXPECT_EQ(out.str(), kBannerText + c.output);
    ASSERT_TRUE(board->recording().waitForEvent(c.event, 2s));
    EXPECT_EQ(board->recording().image("program"), c.image) << c.file;
  }
}

TEST_F(Vx2dlApp, ExitCodesOfFailures) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> arguments;
    FaultKind fault;
    int exitCode;
    std::string output;
  };
  const Case cases[] = {
      {{}, {"prog.txt"}, FaultKind::None, kExitFileError, "File not found: prog.txt\n"},
      {{}, {"-DE", "prog"}, FaultKind::None, kExitFileError, "Datei nicht gefunden: prog\n"},
      {{{"bad.vmc", "VX2VMC\n33\n"}},
       {"bad"},
       FaultKind::None,
       kExitFileError,
       "Loading IDE format file: bad.vmc\nInvalid number of constant bytes in VMC file: 33\n"},
      {{{"empty.hex", ":00000001FF\n"}},
       {"empty.hex"},
       FaultKind::None,
       kExitFileError,
       "Loading IHEX format file: empty.hex\nFile is empty: empty.hex\n"},
      {{{"p.vmc", vmcFile()}},
       {"p"},
       FaultKind::NoAnswer,
       kExitTransferFailed,
       "Loading IDE format file: p.vmc\nThe flash is being erased...\nNo answer, check connection "
       "cable\n"},
      {{}, {"zap-os"}, FaultKind::None, kExitTransferFailed, "File not found: boot.hex\n"},
      {{{"boot.hex", hexDataLine(0, {1}) + "\n"}},
       {"zap-os"},
       FaultKind::None,
       kExitTransferFailed,
       "File not found: os.hex\n"},
      {{{"boot.hex", hexDataLine(0, {1}) + "\n"}, {"os.hex", "\n"}},
       {"-DE", "zap-os"},
       FaultKind::None,
       kExitFileError,
       "Formatfehler: os.hex Zeile 1 zu kurz\n"},
  };
  for (const Case& c : cases) {
    TempDir scratch;
    ScopedCwd here(scratch.path());
    for (const auto& [name, content] : c.files) scratch.write(name, content);
    START_BOARD(V2BoardOptions{}, FaultOptions{c.fault, 0, 0});
    EXPECT_EQ(run(c.arguments), c.exitCode) << c.arguments.back();
    EXPECT_EQ(out.str(), kBannerText + c.output);
    // Nothing reached the board unless a transfer was tried.
    if (c.exitCode == kExitFileError) {
      EXPECT_TRUE(board->recording().received().empty());
    }
  }
}

TEST_F(Vx2dlApp, ZapOSFromTheCurrentDirectory) {
  V2BoardOptions options;
  options.mode = V2Mode::Boot;
  options.bootSize = 32;
  START_BOARD(options);
  dir.write("boot.hex", hexDataLine(0, std::vector<std::uint8_t>(20, 0x11)) + "\n:00000001FF\n");
  dir.write("os.hex", hexDataLine(0, std::vector<std::uint8_t>(32, 0x22)) + "\n" +
                          hexDataLine(32, {0x33}) + "\n:00000001FF\n");
  EXPECT_EQ(run({"zap-os"}), kExitOk);
  EXPECT_EQ(out.str(), kBannerText +
                           "Trying to connect to the Vexa II unit...\n"
                           "Sending 32 bytes bootloader code\n"
                           "...OK\n"
                           "The flash is being erased...\n"
                           "Sending 66 bytes OS code\n"
                           "....OK\n");
  ASSERT_TRUE(board->recording().waitForEvent("os-complete", 2s));
  EXPECT_EQ(board->recording().image("os").size(), 72u);
}

}  // namespace
}  // namespace vexa::vx2dl
