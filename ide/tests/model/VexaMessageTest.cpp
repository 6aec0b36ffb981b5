#include "model/libraries/VexaMessage.h"

#include "MockIntfs.h"
#include "model/core/Services.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

using test::MockMessageView;
using test::MockVexaModule;
using test::MockVexaProject;
using ::testing::NiceMock;

TEST(VexaMessage, LineNumberIsTheRunOfDigitsRightAfterTheFirstParenthesis) {
  struct Case {
    const char* line;
    int number;
  } const cases[] = {
      {"motor (12) : Bezeichner erwartet", 12},
      {"motor : OK", -1},
      {"motor (0) : x", 0},
      {"motor (12a) : x", 12},
      {"motor ( 12) : x", -1},
      {"motor () : x", -1},
      {"motor (", -1},
      {"motor (7", 7},
      {"a (3) : (5) x", 3},
      {"/work/lib (x)/motor.v2 (4) : x", -1},
      {"motor (2147483647) : x", 2147483647},
      {"motor (2147483648) : x", -1},
      {"motor (99999999999999999999) : x", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageLineNumber(c.line), c.number) << c.line;
}

TEST(VexaMessage, TextSplitsAtEveryKindOfLineBreakWithoutEmptyLines) {
  struct Case {
    const char* text;
    QStringList lines;
  } const cases[] = {
      {"", {}},
      {"\r\n", {}},
      {"a : OK", {"a : OK"}},
      {"a (1) : x\r\nb : OK\r\n", {"a (1) : x", "b : OK"}},
      {"a (1) : x\nb : OK\n", {"a (1) : x", "b : OK"}},
      {"a\rb\n\nc", {"a", "b", "c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(MessageLines(c.text), c.lines) << c.text;
}

TEST(VexaMessage, ModuleMessagesAreErrorsOnlyWithALineOfOneOrMore) {
  auto project = std::make_shared<NiceMock<MockVexaProject>>();
  auto module = std::make_shared<NiceMock<MockVexaModule>>();
  const QList<Ref<IVexaMessage>> messages = MakeModuleMessages(
      project, module, "motor (12) : x\r\nmotor : OK\r\nmotor (0) : y\nmotor ( 12) : z\n");

  struct Expected {
    const char* text;
    TMessageKind kind;
    int line;
  } const expected[] = {
      {"motor (12) : x", TMessageKind::Error, 12},
      {"motor : OK", TMessageKind::Information, -1},
      {"motor (0) : y", TMessageKind::Information, 0},
      {"motor ( 12) : z", TMessageKind::Information, -1},
  };
  ASSERT_EQ(messages.size(), std::size(expected));
  for (qsizetype i = 0; i < messages.size(); ++i) {
    EXPECT_EQ(messages[i]->GetText(), expected[i].text);
    EXPECT_EQ(messages[i]->GetKind(), expected[i].kind) << expected[i].text;
    EXPECT_EQ(messages[i]->GetLine(), expected[i].line) << expected[i].text;
    EXPECT_EQ(messages[i]->GetModule(), module);
    EXPECT_EQ(messages[i]->GetSource(), project);
  }
  EXPECT_TRUE(MakeModuleMessages(project, module, "").isEmpty());
}

TEST(VexaMessage, FailedCompileAndBuildMessagesHaveTheKindTheyAreGiven) {
  auto project = std::make_shared<NiceMock<MockVexaProject>>();
  auto module = std::make_shared<NiceMock<MockVexaModule>>();

  const auto errors = MakeModuleErrors(project, module, "prog (3) : x\nprog : y");
  ASSERT_EQ(errors.size(), 2);
  EXPECT_EQ(errors[0]->GetKind(), TMessageKind::Error);
  EXPECT_EQ(errors[0]->GetLine(), 3);
  EXPECT_EQ(errors[1]->GetKind(), TMessageKind::Error);
  EXPECT_EQ(errors[1]->GetLine(), -1);
  EXPECT_EQ(errors[1]->GetModule(), module);

  for (bool isError : {true, false}) {
    const auto plain = MakeMessages(project, isError, "main (4) : a\r\nb");
    ASSERT_EQ(plain.size(), 2);
    for (const auto& m : plain) {
      EXPECT_EQ(m->GetKind(), isError ? TMessageKind::Error : TMessageKind::Information);
      EXPECT_EQ(m->GetLine(), -1);
      EXPECT_EQ(m->GetModule(), nullptr);
      EXPECT_EQ(m->GetSource(), project);
    }
  }
}

TEST(VexaMessage, MessagesGoToTheMessageViewInOrder) {
  auto view = std::make_shared<MockMessageView>();
  MessageView = view;
  auto project = std::make_shared<NiceMock<MockVexaProject>>();
  const auto messages = MakeMessages(project, false, "a\nb");
  ::testing::InSequence order;
  EXPECT_CALL(*view, Add(messages[0]));
  EXPECT_CALL(*view, Add(messages[1]));
  AddToMessageView(messages);
  MessageView.reset();
  AddToMessageView(messages);  // no view: nothing happens
}

}  // namespace
}  // namespace vexa::ide
