// Drives the library through its exports, as the IDE does.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "vx2comp.h"

class CompilerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    project = openProject("test");
    ASSERT_NE(project, 0u);
    setMessageBuffer(project, buffer, sizeof buffer);
  }
  void TearDown() override {
    closeProject(project);
    if (!tempDir.empty()) std::filesystem::remove_all(tempDir);
  }

  // Registers a text-mode module; the text is kept by the fixture.
  int add(const std::string& name, const std::string& source) {
    sources.push_back(std::make_unique<std::string>(source));
    return addModule(project, name.c_str(), sources.back()->c_str(), VX2COMP_SOURCE_TEXT);
  }
  std::string messages() const { return buffer; }

  // Compiles one module and returns its message text.
  std::string compile(int module) {
    compileModule(project, module);
    return messages();
  }

  // beginBuild, compile every given module, finishBuild; true when the image is there.
  bool build(const std::vector<int>& modules) {
    beginBuild(project);
    for (int m : modules)
      if (compileModule(project, m) != -1) return false;
    return finishBuild(project) == 1;
  }

  // Builds one module named M from a source; the code words of the image (without padding).
  std::vector<uint16_t> codeOf(const std::string& source) {
    int m = add("M", source);
    if (!build({m})) {
      ADD_FAILURE() << messages();
      return {};
    }
    return image().code;
  }

  struct Image {
    std::vector<uint8_t> constants;
    std::vector<uint16_t> code;
  };
  // The binary image, with the padding cut away where the counts are known.
  Image image() {
    Image result;
    uint32_t size = getRequiredVMCBufferSize(project);
    if (size == 0) return result;
    std::vector<uint8_t> raw(size);
    EXPECT_EQ(fillVMCBuffer(project, raw.data()), 1);
    uint32_t cb = raw[0] | raw[1] << 8 | raw[2] << 16 | raw[3] << 24;
    uint32_t cw = raw[4] | raw[5] << 8 | raw[6] << 16 | raw[7] << 24;
    result.constants.assign(raw.begin() + 8, raw.begin() + 8 + cb);
    for (uint32_t j = 0; j < cw; ++j)
      result.code.push_back(raw[8 + cb + 2 * j] | raw[9 + cb + 2 * j] << 8);
    while (!result.code.empty() && result.code.back() == 0xFFFF) result.code.pop_back();
    return result;
  }

  std::string tempPath(const std::string& name) {
    if (tempDir.empty()) {
      tempDir = std::filesystem::temp_directory_path() /
                ("vx2comp_test_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
      std::filesystem::create_directories(tempDir);
    }
    return (tempDir / name).string();
  }
  static std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void writeAll(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }

  Vx2ProjectHandle project = 0;
  char buffer[8192] = {};
  std::vector<std::unique_ptr<std::string>> sources;
  std::filesystem::path tempDir;
};
