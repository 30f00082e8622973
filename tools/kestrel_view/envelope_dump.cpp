// --envelope: every item's own channels at the asked frames, as JSON lines.
#include <cstdio>
#include <numbers>
#include <string>

#include "kestrel/archive/archive.hpp"
#include "kestrel/scene/lws.hpp"
#include "tools/kestrel_view/view.hpp"

namespace kestrel_view {
namespace {

constexpr double kToDegrees = 180.0 / std::numbers::pi;

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(char(c));
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out.push_back(char(c));
    }
  }
  return out + "\"";
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value == 0 ? 0.0 : value);  // no "-0"
  return text;
}

std::string Triple(double a, double b, double c) {
  return "[" + Number(a) + ", " + Number(b) + ", " + Number(c) + "]";
}

void PrintItem(const kestrel::Scene& scene, kestrel::ItemRef ref, double frame) {
  const kestrel::ItemBase* item = scene.Item(ref);
  // Channels in double precision: the printed values are the envelopes' own.
  const double seconds = frame / scene.framesPerSecond;
  double v[kestrel::kChannelCount];
  for (int c = 0; c < kestrel::kChannelCount; ++c)
    v[c] = kestrel::EvaluateEnvelope(item->motion.channels[size_t(c)], seconds);
  std::printf("{\"item\": %s, \"frame\": %s, \"position\": %s, \"rotation\": %s, \"scale\": %s}\n",
              JsonString(item->name).c_str(), Number(frame).c_str(),
              Triple(v[kestrel::kPositionX], v[kestrel::kPositionY], v[kestrel::kPositionZ]).c_str(),
              Triple(v[kestrel::kHeading] * kToDegrees, v[kestrel::kPitch] * kToDegrees,
                     v[kestrel::kBank] * kToDegrees).c_str(),
              Triple(v[kestrel::kScaleX], v[kestrel::kScaleY], v[kestrel::kScaleZ]).c_str());
}

}  // namespace

int PrintEnvelopes(const Options& options) {
  if (!options.archive.empty() && !kestrel::AlfInit(options.archive.c_str())) {
    std::fprintf(stderr, "kestrel-view: cannot open archive \"%s\"\n", options.archive.c_str());
    return 1;
  }
  std::string error;
  const auto scene = kestrel::LoadScene(options.scene, &error);
  if (!scene) {
    std::fprintf(stderr, "kestrel-view: %s\n", error.c_str());
    return 1;
  }
  for (size_t i = 0; i < scene->objects.size(); ++i)
    for (double frame : options.frames) PrintItem(*scene, {kestrel::ItemKind::Object, int(i)}, frame);
  for (size_t i = 0; i < scene->lights.size(); ++i)
    for (double frame : options.frames) PrintItem(*scene, {kestrel::ItemKind::Light, int(i)}, frame);
  for (size_t i = 0; i < scene->cameras.size(); ++i)
    for (double frame : options.frames) PrintItem(*scene, {kestrel::ItemKind::Camera, int(i)}, frame);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace kestrel_view
