#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/common/archive_writer.hpp"
#include "tools/common/tool_support.hpp"
#include "tools/varnel_rs/commands.hpp"

namespace varnel_rs {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) tools::Fail("cannot read " + path.string());
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The logical name of an input: its path as given, with forward slashes.
std::string EntryName(const std::string& path) {
  std::string name = fs::path(path).lexically_normal().generic_string();
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

void AddInput(const fs::path& base, const std::string& input, std::vector<std::string>* names);

// Every regular file below a directory, in name order so the archive is the
// same from run to run.
void AddDirectory(const fs::path& base, const std::string& dir, std::vector<std::string>* names) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(base / dir))
    if (entry.is_regular_file())
      found.push_back(fs::relative(entry.path(), base).generic_string());
  std::sort(found.begin(), found.end());
  names->insert(names->end(), found.begin(), found.end());
}

// A list file names one input per line; blank lines and lines starting with
// '#' are skipped. Its paths are relative to the base directory.
void AddListFile(const fs::path& base, const std::string& listPath, std::vector<std::string>* names) {
  std::ifstream in(tools::AbsolutePath(listPath));
  if (!in) tools::Fail("cannot read list file " + listPath);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    AddInput(base, line, names);
  }
}

void AddInput(const fs::path& base, const std::string& input, std::vector<std::string>* names) {
  if (!input.empty() && input[0] == '@') return AddListFile(base, input.substr(1), names);
  std::error_code error;
  if (fs::is_directory(base / input, error)) return AddDirectory(base, input, names);
  names->push_back(input);
}

}  // namespace

int Pack(const std::vector<std::string>& args, const char* usage) {
  std::string output;
  std::string baseDir = ".";
  tools::PackMode mode = tools::PackMode::Auto;
  std::vector<std::string> inputs;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-o" && i + 1 < args.size()) {
      output = args[++i];
    } else if (arg == "-C" && i + 1 < args.size()) {
      baseDir = args[++i];
    } else if (arg == "--store") {
      mode = tools::PackMode::Store;
    } else if (arg == "--huffman") {
      mode = tools::PackMode::Huffman;
    } else if (arg == "--auto") {
      mode = tools::PackMode::Auto;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      tools::UsageError(usage);
    } else {
      inputs.push_back(arg);
    }
  }
  if (output.empty() || inputs.empty()) tools::UsageError(usage);

  const fs::path base = tools::AbsolutePath(baseDir);
  std::vector<std::string> names;
  for (const std::string& input : inputs) AddInput(base, input, &names);

  std::vector<tools::ArchiveEntry> entries;
  for (const std::string& name : names)
    entries.push_back({EntryName(name), ReadWholeFile(base / name)});

  std::string error;
  if (!tools::WriteArchive(tools::AbsolutePath(output), entries, mode, &error)) tools::Fail(error);
  return 0;
}

}  // namespace varnel_rs
