// An engine that records the demo's calls with their arguments, for tests.
#pragma once

#include <string>
#include <vector>

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
};

RecordingEngine& Recorder();
// Installs the recording table and clears the recorder.
void UseRecordingEngine();
// The calls named `name`, in order.
std::vector<EngineCall> CallsNamed(const std::string& name);
// The names of all calls, in order.
std::vector<std::string> CallNames();

}  // namespace marigold::testing
