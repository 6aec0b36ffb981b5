// TABLE files and system-code files (S-records) read from a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include <unistd.h>

#include "CompileHelpers.h"
#include "ResourceFiles.h"

using vexa::vxbasic::test::compileSource;
using vexa::vxbasic::test::endedListing;
using vexa::vxbasic::test::hex;
using vexa::vxbasic::test::listing;

namespace fs = std::filesystem;

namespace {

class ResourceFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() /
           ("vxbas-res-" + std::to_string(rd()) + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void write(const std::string& name, const std::string& text) {
    std::ofstream out(dir_ / name, std::ios::binary);
    out << text;
  }
  std::string base() const { return dir_.string(); }
  fs::path dir_;
};

TEST_F(ResourceFiles, TableFileWordsInline) {
  write("t.txt", "1 2.7\n-3\t65536\r\n  40000 ");
  auto r = compileSource("TABLE T \"t.txt\"", base().c_str());
  ASSERT_EQ(r.status, 0u) << r.messages;
  EXPECT_EQ(listing(r.code), endedListing({"0004 Word 1 2 -3 0 40000"}));
}

TEST_F(ResourceFiles, TableFileErrors) {
  auto r = compileSource("TABLE T \"none.txt\"", base().c_str());
  EXPECT_EQ(r.messages, "BASIC-Modul (1) : Datei nicht gefunden " + base() + "/none.txt\r\n");
  write("bad.txt", "1 2 x3");
  r = compileSource("TABLE T \"bad.txt\"", base().c_str());
  EXPECT_EQ(r.messages, "BASIC-Modul (1) : ungueltiges Dateiformat\r\n");
  write("t.txt", "1");
  r = compileSource("TABLE T \"t.txt\" 5", base().c_str());
  EXPECT_EQ(r.messages, "BASIC-Modul (1) : Anweisungsende erwartet\r\n");
  r = compileSource("TABLE T \"" + (dir_ / "t.txt").string() + "\"", "/nonexistent-base");
  EXPECT_EQ(r.status, 0u) << r.messages;
}

TEST_F(ResourceFiles, SRecordDataBytes) {
  write("s.s19",
        "S00600004844521B\r\nS1060000AABBCC00\r\n\r\ns104000101F9\nS5030001FB\nS9030000FC\r\n");
  auto r = compileSource("SYSCODE \"s.s19\"\nEND", base().c_str());
  ASSERT_EQ(r.status, 0u) << r.messages;
  EXPECT_EQ(hex(r.sysCode), hex({0xAA, 0xBB, 0xCC, 0x01}));
}

TEST_F(ResourceFiles, MalformedSRecords) {
  const char* const bad[] = {
      "X1060000AABBCC00\n",  // not a record
      "S10600\n",            // shorter than 10 characters
      "S1020000AABB\n",      // count below 3
      "S1090000AABB\n",      // fewer data bytes than counted
      "S1060000AAGGCC00\n",  // bad hex digit
      "S1G60000AABBCC00\n",  // bad hex digit in the count
  };
  for (const char* text : bad) {
    write("b.s19", text);
    auto r = compileSource("SYSCODE \"b.s19\"", base().c_str());
    EXPECT_EQ(r.messages, "BASIC-Modul (1) : ungueltiges Dateiformat\r\n") << text;
  }
  auto r = compileSource("SYSCODE \"gone.s19\"", base().c_str());
  EXPECT_EQ(r.messages, "BASIC-Modul (1) : Datei nicht gefunden " + base() + "/gone.s19\r\n");
}

TEST(ResourcePath, Joining) {
  using vexa::vxbasic::resolveResourcePath;
  EXPECT_EQ(resolveResourcePath("", "t.txt"), "t.txt");
  EXPECT_EQ(resolveResourcePath("", "sub/t.txt"), "sub/t.txt");
  EXPECT_EQ(resolveResourcePath("/base", "/abs/t.txt"), "/abs/t.txt");
  EXPECT_EQ(resolveResourcePath("/base", "t.txt"), "/base/t.txt");
  EXPECT_EQ(resolveResourcePath("/base/", "t.txt"), "/base/t.txt");
}

}  // namespace
