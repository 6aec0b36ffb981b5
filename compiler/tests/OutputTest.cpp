#include <algorithm>

#include "CompilerFixture.h"
#include "vexa/isa.h"

namespace {

using Output = CompilerFixture;

std::string row(const std::vector<int>& numbers) {
  std::string out;
  for (int n : numbers) out += std::to_string(n) + " ";
  return out;
}

std::string repeat(const std::string& text, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

TEST_F(Output, VmcAndDbgOfTheWorkedExampleByteForByte) {
  int m = add("M", "int g;\nthread main {\n g = g + 1;\n}\n");
  ASSERT_TRUE(build({m}));
  std::string base = tempPath("demo");
  ASSERT_EQ(writeOutputFile(project, base.c_str()), 1);
  const std::string constants = row({1, 0, 0, 0, 22, 0, 22, 0, 32, 0}) + repeat("255 ", 22);
  const std::string vmc = "VX2VMC\r\n32 \r\n16 \r\n\r\n" + constants + "\r\n\r\n" +
                          row({140, 20, 324, 69, 148, 20, 132, 65528}) + repeat("65535 ", 8) +
                          "\r\n";
  EXPECT_EQ(readAll(base + ".vmc"), vmc);
  const std::string dbg = "32 \r\n16 \r\n\r\n" + constants + "\r\n\r\n" +
                          row({0, 140, 0, 20, 0, 324, 0, 69, 0, 148, 0, 20, 0, 132, 0, 65528}) +
                          repeat("65535 65535 ", 8) + "\r\n\r\n" + "1\r\n1 3 \r\n\r\n" +
                          "1 \r\nM.g 1 20 1 0 0\r\n";
  EXPECT_EQ(readAll(base + ".dbg"), dbg);
}

TEST_F(Output, BinaryImagePadsBytesAndWords) {
  int m = add("M", "int g;\nthread main {\n g = g + 1;\n}\n");
  ASSERT_TRUE(build({m}));
  ASSERT_EQ(getRequiredVMCBufferSize(project), 72u);
  std::vector<uint8_t> raw(72, 0);
  ASSERT_EQ(fillVMCBuffer(project, raw.data()), 1);
  EXPECT_EQ(std::vector<uint8_t>(raw.begin(), raw.begin() + 8),
            (std::vector<uint8_t>{32, 0, 0, 0, 16, 0, 0, 0}));
  EXPECT_EQ(raw[8 + 4], 22);
  for (int i = 18; i < 40; ++i) EXPECT_EQ(raw[i], 255) << i;
  EXPECT_EQ(raw[40], 140);
  EXPECT_EQ(raw[41], 0);
  EXPECT_EQ(raw[54], 0xF8);  // 65528, little-endian
  EXPECT_EQ(raw[55], 0xFF);
  for (int i = 56; i < 72; ++i) EXPECT_EQ(raw[i], 0xFF) << i;
}

TEST_F(Output, VariableLinesOfTheDebugFile) {
  int m = add("M",
              "int unused;\nint g;\nstring s;\nlong arr[2];\ntype T { int a; }\nT t;\n"
              "function f(int p, string q) { g = p; s = q; }\n"
              "thread main {\n byte b;\n b = 1;\n g = b;\n s = \"x\";\n arr[0] = 1;\n t.a = 1;\n "
              "f(1, s);\n}\n");
  ASSERT_TRUE(build({m})) << messages();
  std::string base = tempPath("vars");
  ASSERT_EQ(writeOutputFile(project, base.c_str()), 1);
  std::string dbg = readAll(base + ".dbg");
  size_t at = dbg.rfind("\r\n\r\n");
  ASSERT_NE(at, std::string::npos);
  // Globals first (arrays and user types left out), then the locals of main and of f.
  // main has a frame (b and a temporary) and runs from word 0; f follows it.
  auto img = image();
  std::string lines = dbg.substr(at + 4);
  EXPECT_EQ(lines.substr(0, lines.find("\r\nM.main.b")), "5 \r\nM.g 1 20 1 0 0\r\nM.s 1 22 -1 0 0");
  // Locals carry their procedure's first and last word: main ends where f, the callee, begins.
  auto call = std::find(img.code.begin(), img.code.end(), vexa::isa::encode(vexa::isa::Op::Call));
  ASSERT_NE(call, img.code.end());
  const std::string f = std::to_string(call[1]), fLast = std::to_string(img.code.size() - 1);
  const std::string mainLast = std::to_string(call[1] - 1);
  EXPECT_NE(lines.find("\r\nM.main.b 2 0 0 0 " + mainLast + "\r\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("\r\nM.f.p 2 -8 1 " + f + " " + fLast + "\r\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("\r\nM.f.q 2 -6 -1 " + f + " " + fLast + "\r\n"), std::string::npos)
      << lines;
}

TEST_F(Output, WithoutAnImageBothFilesAreCreatedEmpty) {
  std::string base = tempPath("none");
  EXPECT_EQ(writeOutputFile(project, base.c_str()), 1);
  EXPECT_TRUE(std::filesystem::exists(base + ".vmc"));
  EXPECT_EQ(readAll(base + ".vmc"), "");
  EXPECT_EQ(readAll(base + ".dbg"), "");
}

TEST_F(Output, UnwritableFileFails) {
  std::string base = tempPath("no/such/dir/out");
  EXPECT_EQ(writeOutputFile(project, base.c_str()), 0);  // also without an image
  int m = add("M", "thread main { yield; }\n");
  ASSERT_TRUE(build({m}));
  EXPECT_EQ(writeOutputFile(project, base.c_str()), 0);
}

TEST_F(Output, SixtyFourConstantBytesNeedNoExtraRow) {
  // 4 threads: 17 words of table; 15 more words of constants make 64 bytes.
  int m = add("M",
              "const A[] = 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, "
              "1000, 1000, 1000;\n"
              "int x;\nthread main { x = A[0]; }\nthread b { yield; }\nthread c { yield; }\nthread "
              "d { yield; }\n");
  ASSERT_TRUE(build({m})) << messages();
  std::vector<uint8_t> raw(getRequiredVMCBufferSize(project));
  fillVMCBuffer(project, raw.data());
  EXPECT_EQ(raw[0], 64);
}

}  // namespace
