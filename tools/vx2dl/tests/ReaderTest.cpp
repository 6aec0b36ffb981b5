#include <gtest/gtest.h>

#include "TestSupport.h"
#include "vx2dl/Downloader.h"

namespace vexa::vx2dl {
namespace {

using testing::hexDataLine;
using testing::MessageLog;
using testing::sequence;
using testing::TempDir;
using testing::vmcImage;
using testing::vmcText;
using Bytes = std::vector<std::uint8_t>;

class ProgramReaders : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.SetLanguage(kEnglish);
    log.attach(engine);
  }
  // Runs a reader; returns "ok", "false" or "abort".
  template <typename Reader>
  std::string run(Reader reader) {
    try {
      return reader() ? "ok" : "false";
    } catch (const DownloadAborted&) {
      return "abort";
    }
  }
  std::string loadProgram(const std::string& content, const std::string& name = "p.vmc") {
    const std::string file = dir.write(name, content);
    return run([&] { return engine.LoadUserProgram(file); });
  }
  TempDir dir;
  TVX2Downloader engine;
  MessageLog log;
};

TEST_F(ProgramReaders, VMCFileGivesTheBinaryImage) {
  const auto bytes = sequence(64, 7, 13, 256);
  const auto words = sequence(32, 100, 2111, 65536);
  for (const char* eol : {"\r\n", "\n"}) {
    ASSERT_EQ(loadProgram(vmcText(bytes, words, eol)), "ok")
        << (log.errors().empty() ? "" : log.errors()[0]);
    EXPECT_FALSE(engine.UserProgramIsHex());
    EXPECT_EQ(engine.ProgramImage(), vmcImage(bytes, words));
  }
  ASSERT_FALSE(log.entries.empty());
  EXPECT_EQ(log.entries.front().first, MessageKind::FileLoading);
  EXPECT_EQ(log.entries.front().second, "Loading IDE format file: " + dir.file("p.vmc"));
}

TEST_F(ProgramReaders, VMCEdgeFormats) {
  struct Case {
    std::string content;
    std::string outcome;
    Bytes image;
  } const cases[] = {
      // Header only.
      {"VX2VMC\r\n0 \r\n0 \r\n\r\n\r\n", "ok", {0, 0, 0, 0, 0, 0, 0, 0}},
      // Only the first six characters decide; signs and other text separate numbers.
      {"VX2VMC v2\n0\n-16 x\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 65535",
       "ok",
       {0, 0, 0, 0, 16, 0, 0,  0, 1,  0, 2,  0, 3,  0, 4,  0, 5,  0, 6,   0,
        7, 0, 8, 0, 9,  0, 10, 0, 11, 0, 12, 0, 13, 0, 14, 0, 15, 0, 255, 255}},
      // Numbers at line ends without a blank stay apart.
      {"VX2VMC\n0\n16\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16",
       "ok",
       {0, 0, 0, 0, 16, 0, 0,  0, 1,  0, 2,  0, 3,  0, 4,  0, 5,  0, 6,  0,
        7, 0, 8, 0, 9,  0, 10, 0, 11, 0, 12, 0, 13, 0, 14, 0, 15, 0, 16, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(loadProgram(c.content), c.outcome) << c.content;
    EXPECT_EQ(engine.ProgramImage(), c.image) << c.content;
  }
}

TEST_F(ProgramReaders, BadVMCFilesAreReportedOnceAndAbort) {
  struct Case {
    std::string content;
    std::string error;
  } const cases[] = {
      {"VX2VMC\n", "Format error: unexpected end of file"},
      {"VX2VMC\n32\n", "Format error: unexpected end of file"},
      {"VX2VMC\n32\n16\n1 2 3", "Format error: unexpected end of file"},
      {"VX2VMC\n33\n16\n", "Invalid number of constant bytes in VMC file: 33"},
      {"VX2VMC\n131104\n16\n", "Invalid number of constant bytes in VMC file: 131104"},
      {"VX2VMC\n99999999999999999999999\n16\n",
       "Invalid number of constant bytes in VMC file: 2147483647"},
      {"VX2VMC\n4294967296\n16\n", "Invalid number of constant bytes in VMC file: 2147483647"},
      {"VX2VMC\n0\n8\n", "Invalid number of code words in VMC file: 8"},
      {"VX2VMC\n0\n65552\n", "Invalid number of code words in VMC file: 65552"},
      {"VX2VMC\n32\n0\n" + std::string("1 2 256"),
       "Invalid constant byte in VMC file - value out of range"},
      {"VX2VMC\n0\n16\n1 65536", "Invalid code word in VMC file - value out of range"},
      {"VX2VMC\n0\n16\n1 18446744073709551617",
       "Invalid code word in VMC file - value out of range"},
      {"", "File is empty: "},
  };
  for (const Case& c : cases) {
    log.entries.clear();
    EXPECT_EQ(loadProgram(c.content), "abort") << c.content;
    const auto errors = log.errors();
    ASSERT_EQ(errors.size(), 1u) << c.content;
    EXPECT_EQ(errors[0].substr(0, c.error.size()), c.error);
  }
}

TEST_F(ProgramReaders, LargestImageIsAccepted) {
  const std::vector<int> bytes(0x20000, 255);
  const std::vector<int> words(0x10000, 65535);
  ASSERT_EQ(loadProgram(vmcText(bytes, words)), "ok");
  EXPECT_EQ(engine.ProgramImage().size(), 8u + 0x20000 + 0x20000);
}

TEST_F(ProgramReaders, HexProgramBecomesRecordsWithEndMark) {
  const std::string content = hexDataLine(0x0100, {1, 2, 3}) + "\r\n" + ":020000040000FA\r\n" +
                              hexDataLine(0x0000, Bytes(32, 0xAB)) + "\r\n" + ":00000001FF\r\n" +
                              hexDataLine(0x0200, {9}) + "\r\n";
  ASSERT_EQ(loadProgram(content, "p.hex"), "ok");
  EXPECT_TRUE(engine.UserProgramIsHex());
  Bytes expected = {0x01, 0x00, 3, 1, 2, 3};
  expected.resize(35, 0xFF);
  expected.insert(expected.end(), {0x00, 0x00, 32});
  expected.resize(70, 0xAB);
  expected.insert(expected.end(), {0xFF, 0xFF});
  EXPECT_EQ(engine.ProgramImage(), expected);
  EXPECT_EQ(log.entries.front().second, "Loading IHEX format file: " + dir.file("p.hex"));
}

TEST_F(ProgramReaders, HexWithoutEndRecordHasNoEndMark) {
  const std::string content = hexDataLine(0, {5, 6}) + "\n" + hexDataLine(2, {7});
  ASSERT_EQ(loadProgram(content, "q.hex"), "ok");
  EXPECT_EQ(engine.ProgramImage().size(), 70u);
  EXPECT_EQ(engine.ProgramImage()[69], 0xFF);
  EXPECT_EQ(engine.ProgramImage()[37], 1);
  ASSERT_TRUE(engine.LoadOSHex(dir.file("q.hex")));
  EXPECT_EQ(engine.OSImage(), engine.ProgramImage());
}

TEST_F(ProgramReaders, LowerCaseFirstLineIsReadAsHex) {
  EXPECT_EQ(loadProgram("vx2vmc file\n0\n0\n"), "abort");
  ASSERT_EQ(log.errors().size(), 1u);
  EXPECT_EQ(log.errors()[0],
            "Format error: " + dir.file("p.vmc") + " line 1 does not start with \":\"");
}

TEST_F(ProgramReaders, HexLineErrorsNameFileAndLine) {
  struct Case {
    std::string content;
    std::string error;  // after "Format error: <file> "
  } const cases[] = {
      {hexDataLine(0, {1}) + "\n\n:00000001FF\n", "line 2 too short"},
      {hexDataLine(0, {1}) + "\r\n" + hexDataLine(1, {2}) + "\r\n;00000001FF\r\n",
       "line 3 does not start with \":\""},
      {":0100000001FE\n:0100000Z01FE\n", "line 2 does not contain valid data"},
      {":0400000300001234B1\n", "line 1 does not contain valid data"},
  };
  for (const Case& c : cases) {
    log.entries.clear();
    EXPECT_EQ(loadProgram(c.content, "e.hex"), "abort");
    ASSERT_EQ(log.errors().size(), 1u) << c.content;
    EXPECT_EQ(log.errors()[0], "Format error: " + dir.file("e.hex") + " " + c.error);
  }
}

TEST_F(ProgramReaders, HexWithoutDataIsEmpty) {
  for (const std::string& content :
       {std::string(":00000001FF\n"), std::string(":020000040000FA\n:00000001FF\n"),
        std::string(":020000040000FA\n")}) {
    log.entries.clear();
    const std::string file = dir.write("os.hex", content);
    EXPECT_EQ(run([&] { return engine.LoadOSHex(file); }), "abort");
    EXPECT_EQ(run([&] { return engine.LoadBootHex(file); }), "abort");
    EXPECT_EQ(loadProgram(content, "u.hex"), "abort");
    const auto errors = log.errors();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0], "File is empty: " + file);
  }
}

TEST_F(ProgramReaders, BootAndOSImages) {
  const std::string content = hexDataLine(0x1000, {0x10, 0x20}) + "\n" +
                              hexDataLine(0x1002, Bytes(32, 0x77)) + "\n:00000001FF\n";
  const std::string file = dir.write("boot.hex", content);
  ASSERT_TRUE(engine.LoadBootHex(file));
  Bytes boot = {0x10, 0x20};
  boot.resize(32, 0xFF);
  boot.resize(64, 0x77);
  EXPECT_EQ(engine.BootImage(), boot);

  ASSERT_TRUE(engine.LoadOSHex(file));
  Bytes os = {0x10, 0x00, 2, 0x10, 0x20};
  os.resize(35, 0xFF);
  os.insert(os.end(), {0x10, 0x02, 32});
  os.resize(70, 0x77);
  os.insert(os.end(), {0xFF, 0xFF});
  EXPECT_EQ(engine.OSImage(), os);

  // Each reader replaces what was there.
  ASSERT_TRUE(engine.LoadBootHex(dir.write("b2.hex", hexDataLine(0, {1}) + "\n")));
  EXPECT_EQ(engine.BootImage().size(), 32u);
  EXPECT_TRUE(log.errors().empty());
}

TEST_F(ProgramReaders, MissingFilesAreNotFound) {
  const std::string missing = dir.file("none.vmc");
  struct Case {
    std::string name;
  } const cases[] = {{missing}, {dir.path().string()}, {"/dev/null"}, {""}};
  for (const Case& c : cases) {
    log.entries.clear();
    EXPECT_EQ(run([&] { return engine.LoadUserProgram(c.name); }), "false") << c.name;
    EXPECT_EQ(run([&] { return engine.LoadOSHex(c.name); }), "false") << c.name;
    EXPECT_EQ(run([&] { return engine.LoadBootHex(c.name); }), "false") << c.name;
    const auto errors = log.errors();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0], "File not found: " + c.name);
  }
}

}  // namespace
}  // namespace vexa::vx2dl
