#pragma once
// A test fixture whose test owns a fresh folder (named by the process and the
// test, so parallel runs never meet), removed afterwards, with the small file
// helpers the file tests use.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace ardenvis::testing {

class FolderTest : public ::testing::Test {
 protected:
  explicit FolderTest(const std::string& tag)
      : dir_(std::filesystem::temp_directory_path() /
             ("ardenvis-" + tag + "-" + std::to_string(getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~FolderTest() override { std::filesystem::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  std::string read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }

  const std::filesystem::path dir_;
};

}  // namespace ardenvis::testing
