#include "tests/support/scratch_dir.hpp"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace testing_support {

void ScratchDirTest::SetUp() {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  previous_ = cwd;
  std::string pattern = std::filesystem::temp_directory_path().string() + "/varnel-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  dir_ = pattern;
  ASSERT_EQ(chdir(dir_.c_str()), 0);
}

void ScratchDirTest::TearDown() {
  if (!previous_.empty()) (void)chdir(previous_.c_str());
  std::error_code ignored;
  if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteFile(const std::string& path, const std::string& text) {
  WriteFile(path, Bytes(text.begin(), text.end()));
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> TemporaryFilesHere() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("_#q_", 0) == 0) names.push_back(name);
  }
  return names;
}

std::string TestDataPath(const std::string& relative) {
  const std::string path = std::string(SUITE_TESTDATA_DIR) + "/" + relative;
  return FileExists(path) ? path : std::string();
}

int RunCommand(const std::string& commandLine) {
  const int status = std::system(commandLine.c_str());
  if (status == -1 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::string ImageMagickConvert() {
  // /usr/local/bin may hold a stand-in of the same name; only the packaged
  // program writes and reads pictures.
  for (const char* candidate : {"/usr/bin/convert", "/usr/bin/convert-im6.q16"}) {
    if (access(candidate, X_OK) == 0) return candidate;
  }
  return {};
}

}  // namespace testing_support
