// kestrel-view: loads a LightWave scene as the engine does and prints its
// evaluated motion or renders one frame to a PNG.
#pragma once

#include <string>
#include <vector>

namespace kestrel_view {

struct Options {
  std::string scene;
  std::string archive;          // empty: files from the directory
  bool envelope = false;        // --envelope
  std::vector<double> frames;   // --frames F1,F2,...
  bool render = false;          // --frame F
  double frame = 0;
  std::string output;           // -o OUT.png
  int width = 640, height = 480;  // --size WxH
};

// Parses the command line; false with a message in `error` when it is wrong.
bool ParseArguments(int argc, char** argv, Options* options, std::string* error);

// One JSON line per item and frame on standard output; exit code.
int PrintEnvelopes(const Options& options);
// Renders options.frame to options.output; exit code.
int RenderFrame(const Options& options);

}  // namespace kestrel_view
