// The demo as the program loads it, from the sample folder, drawing
// offscreen (no window) at a chosen size.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "marigold/demo.hpp"

namespace marigold_bench {

// The folder holding "Marigold.alf": $MARIGOLD_SAMPLE_DIR, else the build's
// sample folder. Entered by OpenEngine.
std::string SampleDir();

// Starts the engine offscreen at width x height over the sample's archive.
bool OpenEngine(int width, int height, std::string* error);
// A file of the archive, empty when missing.
std::vector<unsigned char> ReadArchiveFile(const char* name);
// The sound device, render targets, scenes, music and pictures, as the
// program loads them with the current drivers (a failure ends the process
// through the demo's exit path, with its message).
std::unique_ptr<marigold::Demo> LoadSampleDemo();
// Frees the demo, then the engine.
void CloseEngine(std::unique_ptr<marigold::Demo>& demo);

}  // namespace marigold_bench
