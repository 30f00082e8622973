// Test helpers: a fresh working directory per test, and small file helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<uint8_t>;

// Makes a new empty directory under the system's temporary folder, enters it
// for the test and removes it afterwards.
class ScratchDirTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
  std::string previous_;
};

void WriteFile(const std::string& path, const Bytes& bytes);
void WriteFile(const std::string& path, const std::string& text);
Bytes ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// Names in the current directory that look like the reader's temporary files.
std::vector<std::string> TemporaryFilesHere();

// ../shared/testdata/<relative>, or empty when the folder is absent.
std::string TestDataPath(const std::string& relative);

// Runs a shell command line, returns its exit status (-1 if it did not run).
int RunCommand(const std::string& commandLine);
// Path of a real ImageMagick `convert`, or empty when it is not installed.
std::string ImageMagickConvert();

}  // namespace testing_support

// Skips the current test when a file of the shared test data is absent.
#define REQUIRE_TESTDATA(path_var, relative)                                          \
  std::string path_var = ::testing_support::TestDataPath(relative);                   \
  if (path_var.empty()) GTEST_SKIP() << "shared test data not present: " << relative
