#include "marigold/engine_calls.hpp"

#include "kestrel/kestrel.h"

namespace marigold {
namespace {

void ApplyKestrelStateBlock() {
  KLdevice* device = nullptr;
  uint64_t block = 0;  // the engine writes 32 bits into room for a pointer
  if (!klGetLowLevelVar(KL_VAR_DEVICE, &device) || !device) return;
  if (!klGetLowLevelVar(KL_VAR_STATEBLOCK, &block)) return;
  device->ApplyStateBlock(device, static_cast<uint32_t>(block));
}

int LoadScene(const char* file, void* record) { return klLoadLWS(file, record); }
int SetTarget(void* record) { return klSetRenderTarget(record); }

const EngineCalls kKestrel{
    klGetInfo,       klSetState,       klDone,          SetTarget,        LoadScene,
    klRenderFrame,   klUploadTextures, klEvictTextures, klUploadSurfaces, klDoneScene,
    klStartRendering, klEndRendering,  klShowRender,    klPutImage,       klPutImageEx,
    klPutRect,       ApplyKestrelStateBlock};

const EngineCalls* current = &kKestrel;

}  // namespace

const EngineCalls& Engine() { return *current; }
void SetEngineCalls(const EngineCalls* calls) { current = calls ? calls : &kKestrel; }
const EngineCalls& KestrelCalls() { return kKestrel; }

}  // namespace marigold
