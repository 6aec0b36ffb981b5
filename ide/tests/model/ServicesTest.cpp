#include "model/core/Services.h"

#include "MockIntfs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa::ide {
namespace {

using test::MockVexaToolWindow;
using testing::NiceMock;

class ServicesTest : public testing::Test {
 protected:
  void TearDown() override { ReleaseServices(); }
};

TEST_F(ServicesTest, RegisterToolWindowKeepsEachWindowOnceInOrder) {
  auto a = std::make_shared<NiceMock<MockVexaToolWindow>>();
  auto b = std::make_shared<NiceMock<MockVexaToolWindow>>();
  RegisterToolWindow(a);
  RegisterToolWindow(nullptr);
  RegisterToolWindow(b);
  RegisterToolWindow(a);
  ASSERT_EQ(ToolWindows().size(), 2u);
  EXPECT_EQ(ToolWindows()[0], a);
  EXPECT_EQ(ToolWindows()[1], b);
}

// Each fake writes its name into the log when it is destroyed.
std::vector<std::string> gLog;

template <class Mock>
struct Logged : NiceMock<Mock> {
  explicit Logged(std::string name) : name_(std::move(name)) {}
  ~Logged() override { gLog.push_back(name_); }
  std::string name_;
};

template <class Mock>
std::shared_ptr<Mock> Make(const char* name) {
  return std::make_shared<Logged<Mock>>(name);
}

TEST_F(ServicesTest, ReleaseEmptiesHandlersThenToolWindowsThenServicesSimulatorFirst) {
  using namespace test;
  gLog.clear();
  VexaIDE = Make<MockVexaIDE>("VexaIDE");
  BASICProjectFactory = Make<MockVexaProjectFactory>("BASICProjectFactory");
  V2ProjectFactory = Make<MockVexaProjectFactory>("V2ProjectFactory");
  SourceEditorFactory = Make<MockVexaSourceEditorFactory>("SourceEditorFactory");
  MessageView = Make<MockMessageView>("MessageView");
  ProjectEditor = Make<MockProjectEditor>("ProjectEditor");
  WatchesView = Make<MockWatchesView>("WatchesView");
  CurrentSimulator = Make<MockVexaSimulator>("CurrentSimulator");
  EditCommandHandler = Make<MockEditCommands>("EditCommandHandler");
  FileCommandHandler = Make<MockFileCommands>("FileCommandHandler");
  DebugCommandHandler = Make<MockDebugCommands>("DebugCommandHandler");
  ProjectCommandHandler = Make<MockProjectCommands>("ProjectCommandHandler");
  SearchCommandHandler = Make<MockSearchCommands>("SearchCommandHandler");
  RegisterToolWindow(Make<MockVexaToolWindow>("ToolWindow"));

  ReleaseServices();

  const std::vector<std::string> expected = {"EditCommandHandler",   "FileCommandHandler",
                                             "DebugCommandHandler",  "ProjectCommandHandler",
                                             "SearchCommandHandler", "ToolWindow",
                                             "CurrentSimulator",     "WatchesView",
                                             "ProjectEditor",        "MessageView",
                                             "SourceEditorFactory",  "V2ProjectFactory",
                                             "BASICProjectFactory",  "VexaIDE"};
  EXPECT_EQ(gLog, expected);
  EXPECT_TRUE(ToolWindows().empty());
  EXPECT_FALSE(VexaIDE || CurrentSimulator || SearchCommandHandler);
}

TEST_F(ServicesTest, AReleasedServiceSeesItsVariableEmpty) {
  // A simulation that ends may look at the variable while it is destroyed.
  struct Simulator : NiceMock<test::MockVexaSimulator> {
    bool* sawEmpty;
    explicit Simulator(bool* s) : sawEmpty(s) {}
    ~Simulator() override { *sawEmpty = CurrentSimulator == nullptr; }
  };
  bool sawEmpty = false;
  CurrentSimulator = std::make_shared<Simulator>(&sawEmpty);
  ReleaseServices();
  EXPECT_TRUE(sawEmpty);
}

TEST_F(ServicesTest, ClearCommandHandlersLeavesTheServices) {
  auto view = std::make_shared<NiceMock<test::MockMessageView>>();
  MessageView = view;
  EditCommandHandler = std::make_shared<NiceMock<test::MockEditCommands>>();
  ProjectCommandHandler = std::make_shared<NiceMock<test::MockProjectCommands>>();
  ClearCommandHandlers();
  EXPECT_FALSE(EditCommandHandler || ProjectCommandHandler);
  EXPECT_EQ(MessageView, view);
}

}  // namespace
}  // namespace vexa::ide
