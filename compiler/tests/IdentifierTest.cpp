#include "CompilerFixture.h"

namespace {

class Identifiers : public CompilerFixture {
 protected:
  void SetUp() override {
    CompilerFixture::SetUp();
    motor = add("Motor",
                "int speed;\nconst MAX = 9;\ntype T { int a; }\nT t;\nfunction f(int p) {\n int "
                "local;\n}\n");
    app = add("App", "int x;\nthread main {\n byte b;\n b = Motor.speed;\n}\nint y;\n");
    ASSERT_EQ(compileModule(project, motor), -1);
    ASSERT_EQ(compileModule(project, app), -1);
  }
  int motor = 0, app = 0;
};

TEST_F(Identifiers, DefinitionPositions) {
  int32_t module = app, line = 4;
  EXPECT_EQ(getIdentDefPos(project, "Motor.speed", &module, &line), 1);
  EXPECT_EQ(module, motor);
  EXPECT_EQ(line, 1);
  module = app;
  line = 4;
  EXPECT_EQ(getIdentDefPos(project, "b", &module, &line), 1);
  EXPECT_EQ(module, app);
  EXPECT_EQ(line, 3);
  module = app;
  line = 1;
  EXPECT_EQ(getIdentDefPos(project, "Motor", &module, &line), 1);
  EXPECT_EQ(module, motor);
  EXPECT_EQ(line, 1);
  module = app;
  line = 4;
  EXPECT_EQ(getIdentDefPos(project, "nothing", &module, &line), 0);
  EXPECT_EQ(module, app);
  EXPECT_EQ(line, 4);
  EXPECT_EQ(getIdentDefPos(project, "Motor.", &module, &line), 0);
  EXPECT_EQ(getIdentDefPos(project, "x", &module, &line), 1);
}

TEST_F(Identifiers, CompletionsAtModuleAndThreadLines) {
  char list[512];
  EXPECT_EQ(getIdentCompletions(project, "", motor, 1, list, sizeof list), 1);
  EXPECT_EQ(std::string(list),
            "speed (variable)\nMAX (constant)\nT (type)\nt (variable)\nf (function)\n");
  EXPECT_EQ(getIdentCompletions(project, "", app, 4, list, sizeof list), 1);
  EXPECT_EQ(std::string(list), "b (variable)\n");
  EXPECT_EQ(getIdentCompletions(project, "Motor.T", app, 1, list, sizeof list), 1);
  EXPECT_EQ(std::string(list), "a\n");
  EXPECT_EQ(getIdentCompletions(project, "Motor.t", app, 1, list, sizeof list), 1);
  EXPECT_EQ(std::string(list), "a (variable)\n");
  EXPECT_EQ(getIdentCompletions(project, "", app, 7, list, sizeof list), 1);
  EXPECT_EQ(std::string(list), "x (variable)\nmain (thread)\ny (variable)\n");
  EXPECT_EQ(getIdentCompletions(project, "zzz", app, 1, list, sizeof list), 0);
  char small[10];
  EXPECT_EQ(getIdentCompletions(project, "", motor, 1, small, sizeof small), 1);
  EXPECT_EQ(std::string(small), "speed (va");
}

TEST_F(Identifiers, ProcedureLeftByAnErrorEndsItsScope) {
  int broken = add("Broken", "thread t x\nint after;\n");
  EXPECT_EQ(compileModule(project, broken), 1);
  char list[128];
  EXPECT_EQ(getIdentCompletions(project, "", broken, 3, list, sizeof list), 1);
  EXPECT_EQ(std::string(list), "t (thread)\nafter (variable)\n");
}

TEST_F(Identifiers, FullNames) {
  char name[64];
  EXPECT_EQ(getIdentFullName(project, "p", motor, 6, name, sizeof name), 1);
  EXPECT_EQ(std::string(name), "Motor.f.p");
  EXPECT_EQ(getIdentFullName(project, "Motor.t.a", app, 1, name, sizeof name), 1);
  EXPECT_EQ(std::string(name), "Motor.t.a");
  EXPECT_EQ(getIdentFullName(project, "unknown", app, 1, name, sizeof name), 1);
  EXPECT_EQ(std::string(name), "");
  char tiny[4];
  EXPECT_EQ(getIdentFullName(project, "p", motor, 6, tiny, sizeof tiny), 1);
  EXPECT_EQ(std::string(tiny), "Mot");
}

TEST_F(Identifiers, NamesOfManyPartsGrowTheQuerysList) {
  // More parts than a name query makes room for up front.
  const int deep = add("Deep",
                       "type A { int v; }\ntype B { A a; }\ntype C { B b; }\ntype D { C c; }\n"
                       "type E { D d; }\nE e;\n");
  ASSERT_EQ(compileModule(project, deep), -1) << messages();
  char name[64];
  EXPECT_EQ(getIdentFullName(project, "Deep.e.d.c.b.a.v", app, 1, name, sizeof name), 1);
  EXPECT_EQ(std::string(name), "Deep.e.d.c.b.a.v");
  int32_t module = app, line = 1;
  EXPECT_EQ(getIdentDefPos(project, "Deep.e.d.c.b.a", &module, &line), 1);
  EXPECT_EQ(module, deep);
  char list[64];
  EXPECT_EQ(getIdentCompletions(project, "Deep.e.d.c.b.a", app, 1, list, sizeof list), 1);
  EXPECT_EQ(std::string(list), "v (variable)\n");
  EXPECT_EQ(getIdentFullName(project, "Deep.e.d.c.b.a.w", app, 1, name, sizeof name), 1);
  EXPECT_EQ(std::string(name), "");
}

}  // namespace
