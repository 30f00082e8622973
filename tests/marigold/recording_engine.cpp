#include "tests/marigold/recording_engine.hpp"

#include <cstring>

#include "kestrel/kestrel.h"

namespace marigold::testing {
namespace {

RecordingEngine recorder;

void Record(const char* name, std::vector<double> args, const void* record = nullptr) {
  recorder.calls.push_back({name, std::move(args), record});
}

int GetInfo(int n) { return n == KL_INFO_RUNNING ? recorder.running : 0; }
void SetState(int state, int value) { Record("klSetState", {double(state), double(value)}); }
void Done() {
  Record("klDone", {});
  recorder.running = 0;
}
int SetRenderTarget(void* record) {
  Record("klSetRenderTarget", {}, record);
  return 1;
}
int LoadLws(const char* file, void* record) {
  recorder.loaded.push_back(file);
  if (recorder.loadFails) return 0;
  std::memcpy(static_cast<char*>(record) + KL_SCENE_FPS, &recorder.framesPerSecond,
              sizeof(float));
  return 1;
}
int RenderFrame(void* record, float frame) {
  Record("klRenderFrame", {frame}, record);
  return 1;
}
int UploadTextures(void* record) {
  Record("klUploadTextures", {}, record);
  return 1;
}
int EvictTextures(void* record) {
  Record("klEvictTextures", {}, record);
  return 1;
}
int UploadSurfaces(void* record) {
  Record("klUploadSurfaces", {}, record);
  return 1;
}
void DoneScene(void* record) { Record("klDoneScene", {}, record); }
void StartRendering() { Record("klStartRendering", {}); }
void EndRendering() { Record("klEndRendering", {}); }
void ShowRender() { Record("klShowRender", {}); }
void PutImage(float x, float y, float sx, float sy, const void* image, float alpha, int r0, int r1,
              int src, int dst) {
  Record("klPutImage", {x, y, sx, sy, alpha, double(r0), double(r1), double(src), double(dst)},
         image);
}
void PutImageEx(float x, float y, float sx, float sy, const void* image, float alpha, int r0,
                int r1, int src, int dst, float r, float g, float b, float su, float sv) {
  Record("klPutImageEx",
         {x, y, sx, sy, alpha, double(r0), double(r1), double(src), double(dst), r, g, b, su, sv},
         image);
}
void PutRect(float x, float y, float sx, float sy, float alpha, float r, float g, float b, int src,
             int dst) {
  Record("klPutRect", {x, y, sx, sy, alpha, r, g, b, double(src), double(dst)});
}
void ApplyStateBlock() { Record("ApplyStateBlock", {}); }

const EngineCalls kRecording{GetInfo,        SetState,       Done,           SetRenderTarget,
                             LoadLws,        RenderFrame,    UploadTextures, EvictTextures,
                             UploadSurfaces, DoneScene,      StartRendering, EndRendering,
                             ShowRender,     PutImage,       PutImageEx,     PutRect,
                             ApplyStateBlock};

}  // namespace

RecordingEngine& Recorder() { return recorder; }

void UseRecordingEngine() {
  recorder = RecordingEngine{};
  SetEngineCalls(&kRecording);
}

std::vector<EngineCall> CallsNamed(const std::string& name) {
  std::vector<EngineCall> found;
  for (const EngineCall& call : recorder.calls)
    if (call.name == name) found.push_back(call);
  return found;
}

std::vector<std::string> CallNames() {
  std::vector<std::string> names;
  for (const EngineCall& call : recorder.calls) names.push_back(call.name);
  return names;
}

}  // namespace marigold::testing
