// varnel-tune: turns a tune score into a tracker module for the magazine.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "tools/chiptune/module_writer.hpp"
#include "tools/chiptune/score_parser.hpp"

namespace {

constexpr const char* kUsage =
    "usage: varnel-tune SCORE -o OUT [--format xm|mod|s3m|it]\n"
    "  -o OUT         the module to write\n"
    "  --format NAME  module format; by default OUT's extension decides\n";

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "varnel-tune: %s\n", message.c_str());
  std::exit(1);
}

[[noreturn]] void Usage() {
  std::fputs(kUsage, stderr);
  std::exit(1);
}

struct Options {
  std::string score, output, format;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-o" && hasValue) {
      options.output = argv[++i];
    } else if (arg == "--format" && hasValue) {
      options.format = argv[++i];
    } else if (arg.empty() || arg[0] == '-' || !options.score.empty()) {
      Usage();
    } else {
      options.score = arg;
    }
  }
  if (options.score.empty() || options.output.empty()) Usage();
  return options;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) Fail("cannot create " + path);
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (std::fclose(out) != 0 || !ok) Fail("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  const std::optional<chiptune::ModuleFormat> format =
      options.format.empty() ? chiptune::FormatFromPath(options.output)
                             : chiptune::FormatFromName(options.format);
  if (!format) {
    if (!options.format.empty()) Fail("unknown format '" + options.format + "' (xm, mod, s3m, it)");
    Fail("cannot tell the format from '" + options.output + "'; name it with --format");
  }
  const std::string text = ReadText(options.score);
  std::vector<uint8_t> module;
  try {
    module = chiptune::WriteModule(chiptune::ParseScore(text), *format);
  } catch (const chiptune::ScoreError& error) {
    const std::string where = error.line() > 0 ? ":" + std::to_string(error.line()) : "";
    Fail(options.score + where + ": " + error.message());
  } catch (const chiptune::FormatError& error) {
    Fail(options.score + ": " + error.what());
  }
  WriteBytes(options.output, module);
  return 0;
}
