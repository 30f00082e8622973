// Command line of kestrel-view.
#include <charconv>
#include <cmath>
#include <string_view>

#include "tools/kestrel_view/view.hpp"

namespace kestrel_view {
namespace {

constexpr int kMaxSide = 16384;

bool ParseNumber(std::string_view text, double* out) {
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return ec == std::errc() && ptr == text.data() + text.size() && std::isfinite(*out);
}

bool ParseFrames(std::string_view text, std::vector<double>* frames) {
  while (true) {
    const size_t comma = text.find(',');
    double value = 0;
    if (!ParseNumber(text.substr(0, comma), &value)) return false;
    frames->push_back(value);
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

bool ParseSize(std::string_view text, int* width, int* height) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return false;
  int w = 0, h = 0;
  auto [p1, e1] = std::from_chars(text.data(), text.data() + x, w);
  auto [p2, e2] = std::from_chars(text.data() + x + 1, text.data() + text.size(), h);
  if (e1 != std::errc() || e2 != std::errc() || p1 != text.data() + x || p2 != text.data() + text.size())
    return false;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return false;
  *width = w;
  *height = h;
  return true;
}

}  // namespace

bool ParseArguments(int argc, char** argv, Options* options, std::string* error) {
  bool haveFrames = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](const char* what) -> const char* {
      if (i + 1 >= argc) {
        *error = std::string(arg) + " needs " + what;
        return nullptr;
      }
      return argv[++i];
    };
    if (arg == "--archive") {
      const char* v = value("an archive file");
      if (!v) return false;
      options->archive = v;
    } else if (arg == "--envelope") {
      options->envelope = true;
    } else if (arg == "--frames") {
      const char* v = value("a list of frames");
      if (!v) return false;
      if (!ParseFrames(v, &options->frames)) {
        *error = std::string("bad frame list \"") + v + "\"";
        return false;
      }
      haveFrames = true;
    } else if (arg == "--frame") {
      const char* v = value("a frame");
      if (!v) return false;
      if (!ParseNumber(v, &options->frame)) {
        *error = std::string("bad frame \"") + v + "\"";
        return false;
      }
      options->render = true;
    } else if (arg == "-o") {
      const char* v = value("an output file");
      if (!v) return false;
      options->output = v;
    } else if (arg == "--size") {
      const char* v = value("WxH");
      if (!v) return false;
      if (!ParseSize(v, &options->width, &options->height)) {
        *error = std::string("bad size \"") + v + "\" (expected WxH)";
        return false;
      }
    } else if (!arg.empty() && arg.front() == '-') {
      *error = "unknown option " + std::string(arg);
      return false;
    } else if (options->scene.empty()) {
      options->scene = std::string(arg);
    } else {
      *error = "more than one scene given";
      return false;
    }
  }
  if (options->scene.empty()) {
    *error = "no scene given";
    return false;
  }
  if (options->envelope == options->render) {
    *error = "choose one of --envelope and --frame";
    return false;
  }
  if (options->envelope && !haveFrames) {
    *error = "--envelope needs --frames F1,F2,...";
    return false;
  }
  if (options->render && options->output.empty()) {
    *error = "--frame needs -o OUT.png";
    return false;
  }
  return true;
}

}  // namespace kestrel_view
