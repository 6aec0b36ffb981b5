#include "CompilerFixture.h"
#include "vexa/isa_testing.h"

namespace {

using vexa::isa::testing::sameCode;

using Build = CompilerFixture;

std::string threads(int count, const char* prefix) {
  std::string source;
  for (int i = 0; i < count; ++i)
    source += "thread " + std::string(prefix) + std::to_string(i) + " { yield; }\n";
  return source;
}

TEST_F(Build, NoMainThread) {
  int m = add("M", "thread Main { yield; }\n");
  EXPECT_FALSE(build({m}));
  EXPECT_EQ(std::string(buffer, 22), std::string("no main thread found\n\0", 22));
  EXPECT_EQ(getRequiredVMCBufferSize(project), 0u);
  std::string base = tempPath("failed");
  EXPECT_EQ(writeOutputFile(project, base.c_str()), 1);
  EXPECT_EQ(readAll(base + ".vmc"), "");
  EXPECT_EQ(readAll(base + ".dbg"), "");
}

TEST_F(Build, ThreadsAreNumberedOverModulesInRegistrationOrder) {
  int a = add("A", "thread Main { yield; }\nthread main { run B.other; halt Main; }\n");
  int b = add("B", "thread other { resume; reset other; }\n");
  ASSERT_TRUE(build({b, a})) << messages();
  auto img = image();
  auto word = [&](int i) { return img.constants[2 * i] | img.constants[2 * i + 1] << 8; };
  EXPECT_EQ(word(0), 3);
  EXPECT_EQ(word(4), 0);   // Main: start slice 0, only "main" gets 32
  EXPECT_EQ(word(8), 32);  // main
  EXPECT_EQ(word(12), 0);
  EXPECT_TRUE(
      sameCode(img.code, {"Yield", "Jump -3 -> 0000",  // Main
                          "PushByte 32", "ThreadSetSlice 3", "PushInt 0", "ThreadSetSlice 1",
                          "Jump -7 -> 0003",                                              // main
                          "ThreadRestoreSlice 0", "ThreadStart 3", "Jump -4 -> 000A"}));  // other
}

TEST_F(Build, ThreadLimitJustUnderAndOver) {
  int m = add("M", threads(254, "t") + "thread main { yield; }\n");
  EXPECT_TRUE(build({m})) << messages();
  replaceModuleSource(project, m,
                      (sources.back() = std::make_unique<std::string>(threads(255, "t") +
                                                                      "thread main { yield; }\n"))
                          ->c_str(),
                      VX2COMP_SOURCE_TEXT);
  EXPECT_FALSE(build({m}));
  EXPECT_EQ(messages(), "too many threads\n");
}

TEST_F(Build, VariableLimitCountsTheThreadContexts) {
  // 20 bytes of context, the array and 96 bytes of stack.
  int m = add("M", "byte a[65400];\nthread main { a[0] = 1; }\n");
  EXPECT_TRUE(build({m})) << messages();
  int n = add("N", "byte b[65430];\nthread main { b[0] = 1; }\n");
  removeModule(project, m);
  EXPECT_FALSE(build({n}));
  EXPECT_EQ(messages(), "too much variable data\n");
}

TEST_F(Build, ConstantLimitJustUnderAndOver) {
  auto arrays = [](int count) {
    std::string s;
    for (char name : {'A', 'B'}) {
      s += "const " + std::string(1, name) + "[] = 1000";
      for (int i = 1; i < count; ++i) s += ", 1000";
      s += ";\n";
    }
    return s + "int x;\nthread main { x = A[0] + B[0]; }\n";
  };
  int m = add("M", arrays(32000));
  EXPECT_TRUE(build({m})) << messages();
  removeModule(project, m);
  int n = add("N", arrays(33000));
  EXPECT_FALSE(build({n}));
  EXPECT_EQ(messages(), "too much constant data\n");
}

TEST_F(Build, CodeLimitJustUnderAndOver) {
  auto statements = [](int count) {
    std::string s = "int x;\nthread main {\n";
    for (int i = 0; i < count; ++i) s += "x = 1;\n";
    return s + "}\n";
  };
  int m = add("M", statements(21000));
  EXPECT_TRUE(build({m})) << messages();
  removeModule(project, m);
  int n = add("N", statements(22000));
  EXPECT_FALSE(build({n}));
  EXPECT_EQ(messages(), "program too big\n");
}

TEST_F(Build, StatementPositionLimit) {
  auto yields = [](int count) {
    std::string s = "thread main {\n";
    for (int i = 0; i < count; ++i) s += "yield;\n";
    return s + "}\n";
  };
  // 65534 one-word statements and the closing jump fill the code image exactly.
  int m = add("M", yields(65534));
  EXPECT_TRUE(build({m})) << messages();
  removeModule(project, m);
  // The 65536th statement of a build has no position left.
  int n = add("N", yields(65536));
  beginBuild(project);
  EXPECT_EQ(compileModule(project, n), 1);
  EXPECT_EQ(messages(), "N (65537) : program too big\n");
}

TEST_F(Build, FinishNeedsABuildWithoutErrors) {
  int m = add("M", "thread main { yield; }\n");
  compileModule(project, m);
  EXPECT_EQ(finishBuild(project), 0);
  EXPECT_EQ(messages(), "fatal error, cannot create VMC\n");
  beginBuild(project);
  int bad = add("Bad", "int a b;\nint c;\n");
  EXPECT_EQ(compileModule(project, bad), 1);
  EXPECT_EQ(compileModule(project, m), -1);
  EXPECT_EQ(finishBuild(project), 0);
  EXPECT_EQ(messages(), "fatal error, cannot create VMC\n");
}

TEST_F(Build, AnyCompileAfterABuildDropsTheImage) {
  int m = add("M", "thread main { yield; }\n");
  ASSERT_TRUE(build({m}));
  EXPECT_GT(getRequiredVMCBufferSize(project), 0u);
  compileModule(project, m);
  EXPECT_EQ(getRequiredVMCBufferSize(project), 0u);
}

TEST_F(Build, RecompiledDeclarationIsNeverUsedFromOldCode) {
  int lib = add("Lib", "int g;\nfunction f() returns int { return g; }\n");
  int app = add("App", "thread main { Lib.g = Lib.f(); }\n");
  beginBuild(project);
  ASSERT_EQ(compileModule(project, lib), -1);
  ASSERT_EQ(compileModule(project, app), -1);
  ASSERT_EQ(compileModule(project, lib), -1);  // replaces g and f under App's code
  EXPECT_EQ(finishBuild(project), 0);
  EXPECT_EQ(messages(), "fatal error, cannot create VMC\n");
  // Compiled in order, the same modules build.
  EXPECT_TRUE(build({lib, app})) << messages();
}

TEST_F(Build, RemovedModuleIsNeverUsedFromOldCode) {
  int lib = add("Lib", "type T { int a; long b; }\nT v;\ninline function w() { inline 7; }\n");
  int app = add("App", "Lib.T local;\nthread main { Lib.v.b = 1; local.a = 2; Lib.w(); }\n");
  beginBuild(project);
  ASSERT_EQ(compileModule(project, lib), -1);
  ASSERT_EQ(compileModule(project, app), -1);
  removeModule(project, lib);
  EXPECT_EQ(finishBuild(project), 0);
  EXPECT_EQ(messages(), "fatal error, cannot create VMC\n");
  removeAll(project);
  EXPECT_EQ(finishBuild(project), 0);
}

TEST_F(Build, UnusedGlobalsAndFunctionsTakeNoSpace) {
  int m = add(
      "M", "int unused;\nint used;\nfunction never() { used = 2; }\nthread main { used = 1; }\n");
  ASSERT_TRUE(build({m}));
  auto img = image();
  EXPECT_TRUE(sameCode(img.code, {"PushByte 1", "StoreInt [0014]", "Jump -5 -> 0000"}));
}

}  // namespace
