// An engine that records the demo's calls with their arguments, for tests.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kestrel/kestrel.h"

#include "marigold/engine_calls.hpp"

namespace marigold::testing {

struct EngineCall {
  std::string name;
  std::vector<double> args;      // numbers in call order
  const void* record = nullptr;  // the image, target or scene passed
};

struct RecordingEngine {
  std::vector<EngineCall> calls;
  int running = 1;                // klGetInfo(1)
  float framesPerSecond = 30;     // written by loadLWS
  std::vector<std::string> loaded;  // scene files asked for
  bool loadFails = false;
  int rendererAccepted = 1;       // klSetupRendererDialog's answer
  int rendererOpens = 1;          // klSetupRenderer's answer
  std::function<void(const EngineCall&)> onCall;  // told of every call as it is made
  uint32_t presentMs = 0;         // the fake clock moves this much per klShowRender
  int width = 640;                // klGetInfo(2), (3)
  int height = 480;
  // Data archive: file name -> contents.
  std::map<std::string, std::string> files;
  // Surfaces and textures by name, made on first request.
  struct Surface {
    alignas(8) unsigned char record[KL_SURFACE_SIZE] = {};
    char image = 0;
  };
  std::map<std::string, std::unique_ptr<Surface>> surfaces;
  std::map<std::string, std::unique_ptr<char>> textures;
};

// Everything written to the log stream so far.
std::string LogText();
// The image of the surface `name`, as the engine hands it out.
const void* SurfaceImage(const std::string& name);

RecordingEngine& Recorder();
// Installs the recording table and clears the recorder.
void UseRecordingEngine();
// The calls named `name`, in order.
std::vector<EngineCall> CallsNamed(const std::string& name);
// The names of all calls, in order.
std::vector<std::string> CallNames();

}  // namespace marigold::testing
