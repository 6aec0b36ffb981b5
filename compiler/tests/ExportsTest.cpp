#include <cstring>

#include "CompilerFixture.h"

namespace {

using Exports = CompilerFixture;

TEST_F(Exports, ModuleNumbersDuplicatesAndInvalidNames) {
  EXPECT_EQ(add("a", ""), 1);
  EXPECT_EQ(add("A", ""), 2);  // names differ in case
  EXPECT_EQ(add("a", ""), -1);
  for (const char* bad : {"", "1abc", "a.b", "if", "b\n", "two words"})
    EXPECT_EQ(add(bad, ""), -2) << bad;
  EXPECT_EQ(add(" spaced ", ""), 3);
  EXPECT_EQ(add("c // note", ""), 4);
  EXPECT_EQ(compile(3), " spaced  : OK\n");  // stored as passed, blanks included
  EXPECT_EQ(compile(4), "c // note : OK\n");
  EXPECT_EQ(removeModule(project, 2), 1);
  EXPECT_EQ(removeModule(project, 2), 0);
  EXPECT_EQ(add("d", ""), 5);  // removed numbers are not reused
  EXPECT_EQ(add("A", ""), 6);  // the name is free again
  EXPECT_EQ(removeAll(project), 1);
  EXPECT_EQ(add("a", ""), 1);
}

TEST_F(Exports, FileModeAndNullSources) {
  EXPECT_EQ(addModule(project, "f", nullptr, VX2COMP_SOURCE_FILE), 0);
  EXPECT_EQ(addModule(project, "t", nullptr, VX2COMP_SOURCE_TEXT), 1);
  EXPECT_EQ(compileModule(project, 1), -1);
  EXPECT_EQ(messages(), "? : OK\n");
  EXPECT_EQ(replaceModuleSource(project, 1, nullptr, VX2COMP_SOURCE_TEXT), 1);
  EXPECT_EQ(compileModule(project, 1), -1);
  EXPECT_EQ(messages(), "t : OK\n");
  EXPECT_EQ(replaceModuleSource(project, 9, "x", VX2COMP_SOURCE_TEXT), 0);
}

TEST_F(Exports, NullAndStaleHandlesFailWithoutCrashing) {
  EXPECT_EQ(closeProject(0), 1);
  Vx2ProjectHandle other = openProject("other");
  ASSERT_NE(other, 0u);
  EXPECT_EQ(closeProject(other), 1);
  EXPECT_EQ(closeProject(other), 0);
  EXPECT_EQ(addModule(other, "m", "", 0), 0);
  EXPECT_EQ(compileModule(other, 1), 0);
  EXPECT_EQ(finishBuild(12345), 0);
  EXPECT_EQ(getRequiredVMCBufferSize(other), 0u);
  uint8_t byte = 0;
  EXPECT_EQ(fillVMCBuffer(other, &byte), 0);
  EXPECT_EQ(openProject(nullptr), 0u);
  EXPECT_EQ(isValidModuleName(nullptr), 0);
  EXPECT_EQ(addModule(project, nullptr, "", 0), 0);
  EXPECT_EQ(setMessageBuffer(project, nullptr, 10), 0);
  EXPECT_EQ(renameProject(project, nullptr), 0);
  EXPECT_EQ(renameProject(project, "new"), 1);
  int32_t m = 1, l = 1;
  EXPECT_EQ(getIdentDefPos(project, nullptr, &m, &l), 0);
  EXPECT_EQ(getIdentFullName(project, "x", 1, 1, nullptr, 4), 0);
}

TEST_F(Exports, IsValidModuleNameNeedsNoProject) {
  EXPECT_EQ(isValidModuleName("motor"), 1);
  EXPECT_EQ(isValidModuleName("  motor  "), 1);
  EXPECT_EQ(isValidModuleName("motor drive"), 0);
  EXPECT_EQ(isValidModuleName("9motor"), 0);
  EXPECT_EQ(isValidModuleName("while"), 0);
  EXPECT_EQ(isValidModuleName(""), 0);
}

TEST_F(Exports, CompileReportsOkAndOnlyTheLastCallsText) {
  int m = add("M", "int a;\n");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(compileModule(project, m), -1);
  EXPECT_EQ(std::string(buffer, 8), std::string("M : OK\n\0", 8));
  replaceModuleSource(project, m, "int a b;\nint c;\n", VX2COMP_SOURCE_TEXT);
  EXPECT_EQ(compileModule(project, m), 1);
  EXPECT_EQ(messages(), "M (1) : ; expected\n");
  replaceModuleSource(project, m, "int a b;\n", VX2COMP_SOURCE_TEXT);
  EXPECT_EQ(compileModule(project, m), 2);
  EXPECT_EQ(messages(), "M (1) : ; expected\nM (2) : unexpected end of file\n");
  replaceModuleSource(project, m, "int c;", VX2COMP_SOURCE_TEXT);
  EXPECT_EQ(compileModule(project, m), -1);
  EXPECT_EQ(messages(), "M : OK\n");
  EXPECT_EQ(compileModule(project, 77), -1);
}

TEST_F(Exports, MessagesCutAtTheBufferStayTerminated) {
  char small[8];
  std::memset(small, 'x', sizeof small);
  setMessageBuffer(project, small, sizeof small);
  int m = add("Module", "");
  EXPECT_EQ(compileModule(project, m), -1);
  EXPECT_EQ(std::string(small), "Module ");  // 7 bytes of text and the NUL
  char one[1] = {'x'};
  setMessageBuffer(project, one, 1);
  EXPECT_EQ(compileModule(project, m), -1);
  EXPECT_EQ(one[0], '\0');
}

TEST_F(Exports, LineInfosOfBlankAndCommentLines) {
  int m = add("M", "// one\n\n/* three\nfour */\r\n\r\n");
  EXPECT_EQ(compileModule(project, m), -1);
  EXPECT_EQ(messages(), "M : OK\n");
  uint8_t infos[16];
  std::memset(infos, 0xEE, sizeof infos);
  EXPECT_EQ(getModuleLineInfos(project, m, infos, sizeof infos), 1);
  EXPECT_EQ(std::vector<uint8_t>(infos, infos + 7), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0xEE}));
  uint8_t two[2] = {0xEE, 0xEE};
  EXPECT_EQ(getModuleLineInfos(project, m, two, 1), 1);
  EXPECT_EQ(two[1], 0xEE);
  EXPECT_EQ(getModuleLineInfos(project, 99, two, 1), 0);
}

TEST_F(Exports, ErrorLinesSetBitSevenOfTheirLine) {
  int m = add("M", "int a;\n\n\n\n\n\nint b c;\nint d;\n");
  EXPECT_EQ(compileModule(project, m), 1);
  EXPECT_EQ(messages(), "M (7) : ; expected\n");
  uint8_t infos[9] = {};
  getModuleLineInfos(project, m, infos, sizeof infos);
  EXPECT_EQ(infos[6], 0x80);
  EXPECT_EQ(infos[5], 0);
  EXPECT_EQ(infos[7], 0);
}

TEST_F(Exports, NoImageBeforeABuild) {
  EXPECT_EQ(getRequiredVMCBufferSize(project), 0u);
  uint8_t untouched[4] = {7, 7, 7, 7};
  EXPECT_EQ(fillVMCBuffer(project, untouched), 1);
  EXPECT_EQ(untouched[0], 7);
  EXPECT_EQ(finishBuild(project), 0);  // no build in progress
  EXPECT_EQ(messages(), "fatal error, cannot create VMC\n");
}

}  // namespace
