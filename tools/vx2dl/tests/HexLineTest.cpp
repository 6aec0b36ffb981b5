#include <gtest/gtest.h>

#include "vx2dl/Downloader.h"

namespace vexa::vx2dl {
namespace {

TEST(ParseHexLine, ResultsForEachKindOfLine) {
  struct Case {
    std::string line;
    int result;
    int type;
  } const cases[] = {
      {"", -1, 0},
      {":0000000", -1, 0},  // 8 characters
      {"X00000001FF", 1, 0},
      {":00000001FF", 0, 1},  // end of file
      {":00000001ff", 0, 1},
      {":0000G001FF", 6, 0},   // position of the first non-hex digit
      {":00000001F ", 11, 0},  // trailing blank
      {":020000021000EC", 0, 2},
      {":02000002100", -1, 2},  // 12 characters
      {":020000040800F2", 0, 4},
      {":020000040800", 0, 4},  // 13 characters, checksum missing
      {":020000040", -1, 4},
      {":0400000300001234B1", 9, 3},   // start segment address: unknown
      {":0400000A00001234B1", 9, 17},  // type digit A
      {":21000000", 2, 0},             // 33 bytes
      {":0200000011", -1, 0},          // two bytes announced, one given
      {":02000000112", -1, 0},
      {":021234001122", 0, 0},  // checksum not needed
  };
  for (const Case& c : cases) {
    HexRecord record;
    EXPECT_EQ(ParseHexLine(c.line, record), c.result) << '"' << c.line << '"';
    if (c.result == 0) {
      EXPECT_EQ(record.recordType, c.type) << c.line;
    }
  }
}

TEST(ParseHexLine, DataRecordFields) {
  HexRecord record;
  ASSERT_EQ(ParseHexLine(":03ABcd00a1B2c3FF", record), 0);
  EXPECT_EQ(record.recordType, 0);
  EXPECT_EQ(record.count, 3);
  EXPECT_EQ(record.addressHigh, 0xAB);
  EXPECT_EQ(record.addressLow, 0xCD);
  EXPECT_EQ(record.data[0], 0xA1);
  EXPECT_EQ(record.data[1], 0xB2);
  EXPECT_EQ(record.data[2], 0xC3);
  EXPECT_EQ(record.data[3], 0);

  // The record is cleared before each line.
  ASSERT_EQ(ParseHexLine(":00000001FF", record), 0);
  EXPECT_EQ(record.count, 0);
  EXPECT_EQ(record.data[0], 0);

  std::string full = ":20000000";
  for (int i = 0; i < 32; ++i) full += "5A";
  ASSERT_EQ(ParseHexLine(full, record), 0);
  EXPECT_EQ(record.count, 32);
  EXPECT_EQ(record.data[31], 0x5A);
}

}  // namespace
}  // namespace vexa::vx2dl
