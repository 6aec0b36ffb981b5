// Expressions that the compiler folds from constants against the same expressions that the
// machine computes from variables, compiled and run through the exported functions. Where the
// folding is meant to differ from the machine, each side is held to its own result.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>

#include "ExportHarness.h"
#include "vx2comp.h"

namespace vexa::vx2sim::test {
namespace {

// Operands: a V2 constant expression for each (the lexer has no exponents and reads integers in
// 32 bits, so the large ones are products). The prelude names each V<i>.
struct Operand {
  const char* source;
  double value;
};
const Operand kOperands[] = {
    {"0", 0.0},
    {"-1", -1.0},
    {"255", 255.0},
    {"32767", 32767.0},
    {"-32768", -32768.0},
    {"2147483647", 2147483647.0},
    {"2147483647 + 1", 2147483648.0},
    {"-2147483647 - 1", -2147483648.0},
    {"65536.0 * 65536.0 * 65536.0 * 32768.0", 9223372036854775808.0},
    {"-65536.0 * 65536.0 * 65536.0 * 32768.0", -9223372036854775808.0},
    {"E5 * E5 * E5 * E5", 1e20},
    {"-E5 * E5 * E5 * E5", -1e20},
    {"INF - INF", std::nan("")},  // 0 / 0 would not compile: a constant division by zero
};
constexpr int kOperandCount = sizeof kOperands / sizeof kOperands[0];

std::string operandName(int i) { return "V" + std::to_string(i); }

// A result variable pair: `folded` is built from constants only, `computed` from the variables
// that the setup statements filled.
struct Case {
  std::string what;
  std::string type;  // of the folded result variable
  std::string setup;
  std::string folded;
  std::string computed;
  std::string computedType = type;
};

struct Outcome {
  double folded;
  double computed;
};

bool sameNumber(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

class FoldVersusRun : public ::testing::Test {
 protected:
  void TearDown() override {
    destroyMachine(machine_);
    if (project_) closeProject(project_);
  }

  // Compiles the source as module "m"; true when it built. The messages stay in messages_.
  bool build(const std::string& source) {
    destroyMachine(machine_);
    machine_ = nullptr;
    if (project_) closeProject(project_);
    source_ = source;
    project_ = openProject("fold");
    if (project_ == 0) return false;
    setMessageBuffer(project_, messages_, sizeof messages_);
    const int32_t module = addModule(project_, "m", source_.c_str(), VX2COMP_SOURCE_TEXT);
    if (beginBuild(project_) != 1 || compileModule(project_, module) != -1) return false;
    return finishBuild(project_) == 1;
  }

  // Builds and runs the cases in one program; the two results of each case.
  std::vector<Outcome> run(const std::vector<Case>& cases) {
    std::string source =
        "const E5 = 100000.0;\n"
        "const E20 = E5 * E5 * E5 * E5;\n"
        "const INF = E20 * E20 * E20 * E20 * E20 * E20 * E20 * E20 * E20 * E20 * E20 * E20 * E20 * "
        "E20 * E20 * E20;\n"
        "const Z = 0;\n"
        "const M1 = -1;\n"
        "float a; float b; long la; long lb; int ia; int ib;\n";
    for (int i = 0; i < kOperandCount; ++i)
      source += "const " + operandName(i) + " = " + kOperands[i].source + ";\n";
    std::string body;
    for (std::size_t k = 0; k < cases.size(); ++k) {
      const std::string n = std::to_string(k);
      source += cases[k].type + " f" + n + "; " + cases[k].computedType + " c" + n + ";\n";
      body += "  " + cases[k].setup + "\n  f" + n + " = " + cases[k].folded + ";\n  c" + n + " = " +
              cases[k].computed + ";\n";
    }
    source += "thread main {\n" + body + "  quit 1;\n}\n";
    std::vector<Outcome> outcomes;
    if (!build(source)) {
      ADD_FAILURE() << messages_;
      return outcomes;
    }
    machine_ = loadBuilt();
    if (!machine_) {
      ADD_FAILURE() << "no machine";
      return outcomes;
    }
    StepInfo info{};
    for (int i = 0; i < 100000 && info.runState == VX2SIM_RUNNING; ++i)
      EXPECT_EQ(step(machine_, &info), 1);
    EXPECT_EQ(info.runState, VX2SIM_HALTED);
    EXPECT_EQ(info.haltCode, 1);
    for (std::size_t k = 0; k < cases.size(); ++k) {
      const std::string n = std::to_string(k);
      outcomes.push_back(
          {value(cases[k].type, "m.f" + n), value(cases[k].computedType, "m.c" + n)});
    }
    return outcomes;
  }

  // The machine of the project just built.
  Vx2SimHandle loadBuilt() {
    const std::string base = files_.write("fold", "");
    EXPECT_EQ(writeOutputFile(project_, base.c_str()), 1);
    return createMachine(base.c_str());
  }

  double value(const std::string& type, const std::string& name) {
    const int32_t index = variableIndex(machine_, name.c_str());
    if (type == "float") {
      double v = 0;
      EXPECT_EQ(getFloatValue(machine_, index, &v), 1) << name;
      return v;
    }
    int32_t v = 0;
    EXPECT_EQ(getIntegerValue(machine_, index, &v), 1) << name;
    return v;
  }

  // Runs the cases and holds each pair to expect(case index, machine's result) for the folded one.
  void expectFolded(const std::vector<Case>& cases,
                    const std::function<double(std::size_t, double)>& expect) {
    const std::vector<Outcome> outcomes = run(cases);
    ASSERT_EQ(outcomes.size(), cases.size());
    for (std::size_t k = 0; k < cases.size(); ++k) {
      const double expected = expect(k, outcomes[k].computed);
      EXPECT_TRUE(sameNumber(outcomes[k].folded, expected))
          << cases[k].what << ": folded " << outcomes[k].folded << ", expected " << expected
          << " (machine " << outcomes[k].computed << ")";
    }
  }

  char messages_[4096] = {};
  Vx2SimHandle machine_ = nullptr;

 private:
  TempFiles files_;
  std::string source_;
  Vx2ProjectHandle project_ = 0;
};

std::string floatSetup(int i, int j) {
  return "a = " + operandName(i) + "; b = " + operandName(j) + ";";
}

TEST_F(FoldVersusRun, FloatArithmeticAndComparisonsAgree) {
  struct Operator {
    const char* token;
    const char* type;
  };
  const Operator operators[] = {{"+", "float"}, {"-", "float"}, {"*", "float"}, {"/", "float"},
                                {"==", "int"},  {"!=", "int"},  {">", "int"},   {"<", "int"},
                                {">=", "int"},  {"<=", "int"}};
  for (int i = 0; i < kOperandCount; ++i) {
    std::vector<Case> cases;
    for (int j = 0; j < kOperandCount; ++j) {
      for (const Operator& op : operators) {
        if (std::strcmp(op.token, "/") == 0 && kOperands[j].value == 0)
          continue;  // a compile error
        const std::string expression = std::string(" ") + op.token + " ";
        cases.push_back({std::string(kOperands[i].source) + expression + kOperands[j].source,
                         op.type, floatSetup(i, j), operandName(i) + expression + operandName(j),
                         "a" + expression + "b"});
      }
    }
    expectFolded(cases, [](std::size_t, double machine) { return machine; });
  }
}

// The integer operands, with their 64-bit values.
const int kIntegerOperands[] = {0, 1, 2, 3, 4, 5, 7};
int64_t integerOperand(int i) { return static_cast<int64_t>(kOperands[i].value); }

TEST_F(FoldVersusRun, IntegerArithmeticAgreesWithoutOverflowAndFoldsOverflowUnwrapped) {
  struct Operator {
    const char* token;
    int64_t (*exact)(int64_t, int64_t);
  };
  const Operator operators[] = {{"+", [](int64_t l, int64_t r) { return l + r; }},
                                {"-", [](int64_t l, int64_t r) { return l - r; }},
                                {"*", [](int64_t l, int64_t r) { return l * r; }}};
  std::vector<Case> cases;
  std::vector<double> exact;
  std::vector<double> wrapped;  // by the machine, where the width overflows
  for (int i : kIntegerOperands) {
    for (int j : kIntegerOperands) {
      for (const Operator& op : operators) {
        const int64_t l = integerOperand(i), r = integerOperand(j), e = op.exact(l, r);
        const std::string expression = std::string(" ") + op.token + " ";
        const std::string what =
            std::string(kOperands[i].source) + expression + kOperands[j].source;
        const std::string folded = operandName(i) + expression + operandName(j);
        // In long variables; an overflow is read as a float on the folded side.
        const bool longFits = e >= INT32_MIN && e <= INT32_MAX;
        cases.push_back({what + " in long", longFits ? "long" : "float",
                         "la = " + operandName(i) + "; lb = " + operandName(j) + ";", folded,
                         "la" + expression + "lb", "long"});
        exact.push_back(static_cast<double>(e));
        wrapped.push_back(static_cast<int32_t>(static_cast<uint32_t>(e)));
        // In int variables, where both operands are int16.
        if (l < INT16_MIN || l > INT16_MAX || r < INT16_MIN || r > INT16_MAX) continue;
        const bool intFits = e >= INT16_MIN && e <= INT16_MAX;
        cases.push_back({what + " in int", intFits ? "int" : "float",
                         "ia = " + operandName(i) + "; ib = " + operandName(j) + ";", folded,
                         "ia" + expression + "ib", "int"});
        exact.push_back(static_cast<double>(e));
        wrapped.push_back(static_cast<int16_t>(static_cast<uint16_t>(e)));
      }
    }
  }
  const std::vector<Outcome> outcomes = run(cases);
  ASSERT_EQ(outcomes.size(), cases.size());
  int overflows = 0;
  for (std::size_t k = 0; k < cases.size(); ++k) {
    SCOPED_TRACE(cases[k].what);
    EXPECT_EQ(outcomes[k].folded, exact[k]);
    EXPECT_EQ(outcomes[k].computed, wrapped[k]);
    overflows += exact[k] != wrapped[k];
  }
  EXPECT_GT(overflows, 10);  // the table holds both kinds
}

TEST_F(FoldVersusRun, TruncationsInFoldedBitwiseAndLogicFollowTheMachineConversion) {
  // Each folded expression truncates V; the machine converts the float variable a = V into
  // the computed type.
  struct Form {
    const char* folded;  // with V for the operand
    const char* type;
    const char* computedType;
    double (*expect)(double constant, double machineConversion);
  };
  const auto identity = [](double, double m) { return m; };
  const auto isZero = [](double, double m) { return m == 0 ? 1.0 : 0.0; };
  const Form forms[] = {
      {"V & M1", "long", "long", identity},
      {"V & M1", "int", "int", identity},
      {"V | Z", "long", "long", identity},
      {"V ^ Z", "int", "int", identity},
      {"V << Z", "long", "long", identity},
      {"V >> Z", "long", "long", identity},
      {"M1 & V", "int", "int", identity},
      // Logic: 1 when the low 32 bits are 0.
      {"V !| Z", "int", "long", isZero},
      {"V !& M1", "int", "long", isZero},
      // Not: a value that a long holds is a truth value, any other one is complemented.
      {"!V", "float", "long",
       [](double c, double m) {
         return c == m ? (m == 0 ? 1.0 : 0.0) : static_cast<double>(~static_cast<int32_t>(m));
       }},
  };
  std::vector<Case> cases;
  std::vector<std::pair<const Form*, double>> expectations;
  for (int i = 0; i < kOperandCount; ++i) {
    for (const Form& form : forms) {
      std::string folded = form.folded;
      folded.replace(folded.find('V'), 1, operandName(i));
      cases.push_back({std::string(form.folded) + " with V = " + kOperands[i].source, form.type,
                       "a = " + operandName(i) + ";", folded, "a", form.computedType});
      expectations.emplace_back(&form, kOperands[i].value);
    }
  }
  expectFolded(cases, [&](std::size_t k, double machine) {
    return expectations[k].first->expect(expectations[k].second, machine);
  });
}

TEST_F(FoldVersusRun, BitwiseAndLogicResultsDifferOnPurpose) {
  // Folding reads the low 32 bits unsigned and gives 1 for a true logic result; the machine
  // keeps int16 operands in 16 bits and complements. With float operands the machine's groups
  // are truth tests while folding still works on the truncations.
  struct Difference {
    const char* left;
    const char* op;
    const char* right;
    const char* variables;  // "i" int16, "f" float
    double folded;
    double computed;
  };
  const Difference differences[] = {
      {"-1", "&", "-1", "i", 4294967295.0, -1},
      {"-1", "|", "0", "i", 4294967295.0, -1},
      {"-32768", "^", "0", "i", 4294934528.0, -32768},
      {"3", "!&", "4", "i", 1, -1},
      {"3", "!&", "1", "i", 0, -2},
      {"0", "!|", "0", "i", 1, -1},
      {"5", "!|", "0", "i", 0, -6},
      {"-1", ">>", "28", "i", 15, 0},
      {"-1", "<<", "16", "i", 4294901760.0, 0},
      {"2.5", "&", "3.5", "f", 2, -1},
      {"0.5", "|", "0.0", "f", 0, -1},
      {"2.5", "^", "0.0", "f", 2, -1},
      {"0.5", "!&", "0.5", "f", 1, 0},
  };
  std::vector<Case> cases;
  for (const Difference& d : differences) {
    const bool floats = std::strcmp(d.variables, "f") == 0;
    const std::string setup = std::string(floats ? "a = " : "ia = ") + d.left + "; " +
                              (floats ? "b = " : "ib = ") + d.right + ";";
    const std::string computed =
        std::string(floats ? "a " : "ia ") + d.op + (floats ? " b" : " ib");
    // The shifts of two int16 values stay int16; the float results of folding need a float.
    cases.push_back({std::string(d.left) + " " + d.op + " " + d.right, "float", setup,
                     std::string(d.left) + " " + d.op + " " + d.right, computed, "int"});
  }
  const std::vector<Outcome> outcomes = run(cases);
  ASSERT_EQ(outcomes.size(), cases.size());
  for (std::size_t k = 0; k < cases.size(); ++k) {
    SCOPED_TRACE(cases[k].what);
    EXPECT_EQ(outcomes[k].folded, differences[k].folded);
    EXPECT_EQ(outcomes[k].computed, differences[k].computed);
  }
}

TEST_F(FoldVersusRun, ConstantDivisionByZeroIsACompileErrorAndAMathErrorAtRunTime) {
  const char* const divisions[] = {"1.5 / 0", "V1 / Z", "7 % 0", "8 % 0.5"};
  for (const char* division : divisions) {
    SCOPED_TRACE(division);
    EXPECT_FALSE(
        build(std::string("const Z = 0;\nconst V1 = -1;\nfloat x;\nthread main {\n  x = ") +
              division + ";\n}\n"));
    EXPECT_STREQ(messages_, "m (5) : division by zero in constant expression\n");
  }
  struct Division {
    const char* type;
    const char* right;
  };
  for (const Division& d : {Division{"float", "0.0"}, Division{"int", "0"}, Division{"long", "0"},
                            Division{"int", "0.5"}}) {
    SCOPED_TRACE(std::string(d.type) + " % " + d.right);
    const std::string source = std::string(d.type) + " l; " + d.type +
                               " r; int after;\nthread main {\n  l = 7; r = " + d.right +
                               ";\n  l = l % r;\n  after = 1;\n  quit 1;\n}\n";
    ASSERT_TRUE(build(source)) << messages_;
    machine_ = loadBuilt();
    ASSERT_NE(machine_, nullptr);
    StepInfo info{};
    for (int i = 0; i < 100 && info.runState == VX2SIM_RUNNING; ++i)
      EXPECT_EQ(step(machine_, &info), 1);
    EXPECT_EQ(info.runState, VX2SIM_MATH_ERROR);
    EXPECT_EQ(info.line, 4);
  }
}

}  // namespace
}  // namespace vexa::vx2sim::test
