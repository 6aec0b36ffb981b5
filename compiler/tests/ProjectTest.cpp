#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "Project.h"

namespace vexa::vx2 {
namespace {

class ProjectFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("vx2comp_project_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  static std::string read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void write(const std::string& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
  }
  std::filesystem::path dir;
};

TEST_F(ProjectFiles, ErrorFileIsTruncatedAndWrittenWithCrLf) {
  Project project("p");
  write(path("a.v2"), "int a b;\nint c;\n");
  write(path("b.v2"), "int x;\n");
  project.setErrorFileName(path("p.err"));
  ASSERT_EQ(project.addModule("a", path("a.v2"), nullptr), 1);
  ASSERT_EQ(project.addModule("b", path("b.v2"), nullptr), 2);
  EXPECT_EQ(project.buildAll(), 1);
  EXPECT_EQ(read(path("p.err")), path("a.v2") + " (1) : ; expected\r\n" + path("b.v2") +
                                     " : OK\r\n" + std::string(1, '\0'));
  write(path("a.v2"), "int a;\nthread main { a = 1; }\n");
  EXPECT_EQ(project.buildAll(), 0);
  EXPECT_EQ(read(path("p.err")), std::string("compilation ready, VMC available\r\n") + '\0');
}

TEST_F(ProjectFiles, MissingModuleFileIsAnError) {
  Project project("p");
  char buffer[256];
  project.setMessageBuffer(buffer, sizeof buffer);
  ASSERT_EQ(project.addModule("gone", path("gone.v2"), nullptr), 1);
  EXPECT_EQ(project.compileModule(1), 1);
  EXPECT_EQ(std::string(buffer), path("gone.v2") + " (1) : cannot open file\n");
  EXPECT_EQ(project.module(1)->lineInfos, std::vector<uint8_t>{0x80});
  ASSERT_EQ(project.addModule("dir", dir.string(), nullptr), 2);
  EXPECT_EQ(project.compileModule(2), 1);
}

TEST_F(ProjectFiles, MessageTargetThatCannotBeOpened) {
  Project project("p");
  project.addModule("a", "?", nullptr);
  EXPECT_EQ(project.compileModule(1), -1);  // no target at all
  project.setErrorFileName(path("no/such/dir/p.err"));
  EXPECT_EQ(project.compileModule(1), -1);
  EXPECT_FALSE(project.finishBuild());
}

TEST(Project, TwoProjectsHaveTheirOwnLabels) {
  Project a("a"), b("b");
  EXPECT_EQ(a.program().newLabel(), 1);
  EXPECT_EQ(a.program().newLabel(), 2);
  EXPECT_EQ(b.program().newLabel(), 1);
}

}  // namespace
}  // namespace vexa::vx2
