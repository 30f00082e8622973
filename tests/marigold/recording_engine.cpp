#include "tests/marigold/recording_engine.hpp"

#include <cstring>

#include "platform/clock/clock_service.hpp"

#include "kestrel/kestrel.h"

namespace marigold::testing {
namespace {

RecordingEngine recorder;

void Record(const char* name, std::vector<double> args, const void* record = nullptr) {
  recorder.calls.push_back({name, std::move(args), record});
  if (recorder.onCall) recorder.onCall(recorder.calls.back());
}

int Initialize(void*, int) {
  Record("klInitialize", {});
  return 1;
}
int SetupRendererDialog(void*, void*) {
  Record("klSetupRendererDialog", {});
  return recorder.rendererAccepted;
}
int SetupRenderer(const void*) {
  Record("klSetupRenderer", {});
  return recorder.rendererOpens;
}
int AlfInit(const char* archive) {
  Record(("alfInit " + std::string(archive)).c_str(), {});
  return 1;
}

int GetInfo(int n) {
  switch (n) {
    case KL_INFO_RUNNING: return recorder.running;
    case KL_INFO_WIDTH: return recorder.width;
    case KL_INFO_HEIGHT: return recorder.height;
    default: return 0;
  }
}
void SetState(int state, int value) { Record("klSetState", {double(state), double(value)}); }
void Done() {
  Record("klDone", {});
  recorder.running = 0;
}
int SetRenderTarget(void* record) {
  Record("klSetRenderTarget", {}, record);
  return 1;
}
int CopyScreenToTarget(void* record) {
  Record("klCopyScreenToTarget", {}, record);
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
void ShowRender() {
  Record("klShowRender", {});
  platform::FakeClock().now += recorder.presentMs;
}
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
void SetRenderState(uint32_t state, uint32_t value) {
  Record("SetRenderState", {double(state), double(value)});
}
int CreateRenderTarget(void* record) {
  uint16_t width = 0;
  uint16_t height = 0;
  std::memcpy(&width, static_cast<char*>(record) + KL_RENDER_TARGET_WIDTH, sizeof width);
  std::memcpy(&height, static_cast<char*>(record) + KL_RENDER_TARGET_HEIGHT, sizeof height);
  Record("klCreateRenderTarget", {double(width), double(height)}, record);
  return 1;
}
void* OpenTexture(void* record, const char* name) {
  Record(("klOpenTexture " + std::string(name)).c_str(), {}, record);
  auto& texture = recorder.textures[name];
  if (!texture) texture = std::make_unique<char>(0);
  return texture.get();
}
int LoadTexture(const char* file, void* texture) {
  Record(("klLoadTexture " + std::string(file)).c_str(), {}, texture);
  return 1;
}
void* OpenSurface(void*, const char* name) {
  auto& surface = recorder.surfaces[name];
  if (!surface) {
    surface = std::make_unique<RecordingEngine::Surface>();
    const void* image = &surface->image;
    std::memcpy(surface->record + KL_SURFACE_IMAGE, &image, sizeof image);
  }
  return surface->record;
}

struct ArchiveFile {
  int32_t size;
  const std::string* data;
};
void* AlfOpen(const char* name, const char*) {
  auto found = recorder.files.find(name);
  if (found == recorder.files.end()) return nullptr;
  return new ArchiveFile{static_cast<int32_t>(found->second.size()), &found->second};
}
size_t AlfRead(void* buffer, size_t size, size_t count, void* file) {
  auto* archived = static_cast<ArchiveFile*>(file);
  if (size * count > archived->data->size()) return 0;
  std::memcpy(buffer, archived->data->data(), size * count);
  return count;
}
void AlfClose(void* file) { delete static_cast<ArchiveFile*>(file); }

char* logText = nullptr;
size_t logLength = 0;
FILE* logStream = nullptr;

FILE* LogStream() {
  if (!logStream) logStream = open_memstream(&logText, &logLength);
  return logStream;
}

const EngineCalls kRecording{Initialize, SetupRendererDialog, SetupRenderer, AlfInit, GetInfo,        SetState,       Done,           SetRenderTarget, CopyScreenToTarget,
                             LoadLws,        RenderFrame,    UploadTextures, EvictTextures,
                             UploadSurfaces, DoneScene,      StartRendering, EndRendering,
                             ShowRender,     PutImage,       PutImageEx,     PutRect,
                             ApplyStateBlock, SetRenderState, CreateRenderTarget, OpenTexture,
                             LoadTexture,    OpenSurface,    AlfOpen,        AlfRead,
                             AlfClose,       LogStream};

}  // namespace

RecordingEngine& Recorder() { return recorder; }

std::string LogText() {
  if (!logStream) return "";
  std::fflush(logStream);
  return std::string(logText, logLength);
}

const void* SurfaceImage(const std::string& name) {
  void* surface = OpenSurface(nullptr, name.c_str());
  return klSurfaceImage(surface);
}

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
