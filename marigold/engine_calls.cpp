#include "marigold/engine_calls.hpp"

#include "kestrel/kestrel.h"

namespace marigold {
namespace {

KLdevice* Device() {
  KLdevice* device = nullptr;
  return klGetLowLevelVar(KL_VAR_DEVICE, &device) ? device : nullptr;
}

void ApplyKestrelStateBlock() {
  KLdevice* device = Device();
  uint64_t block = 0;  // the engine writes 32 bits into room for a pointer
  if (!device) return;
  if (!klGetLowLevelVar(KL_VAR_STATEBLOCK, &block)) return;
  device->ApplyStateBlock(device, static_cast<uint32_t>(block));
}

void SetKestrelRenderState(uint32_t state, uint32_t value) {
  if (KLdevice* device = Device()) device->SetRenderState(device, state, value);
}

void* OpenTexture(void* record, const char* name) { return klOpenTexture(record, name); }
int LoadTexture(const char* file, void* texture) {
  return klLoadTexture(file, static_cast<KLtexture*>(texture));
}
void* OpenArchiveFile(const char* name, const char* mode) { return alfOpen(name, mode); }
size_t ReadArchiveFile(void* buffer, size_t size, size_t count, void* file) {
  return alfRead(buffer, size, count, static_cast<KLarchiveFile*>(file));
}
void CloseArchiveFile(void* file) { alfClose(static_cast<KLarchiveFile*>(file)); }
FILE* LogStream() {
  FILE* log = nullptr;
  return klGetLowLevelVar(KL_VAR_LOG, &log) ? log : nullptr;
}

int LoadScene(const char* file, void* record) { return klLoadLWS(file, record); }
int SetTarget(void* record) { return klSetRenderTarget(record); }

const EngineCalls kKestrel{klInitialize,
                           klSetupRendererDialog,
                           klSetupRenderer,
                           alfInit,
                           klGetInfo,
                           klSetState,
                           klDone,
                           SetTarget,
                           klCopyScreenToTarget,
                           LoadScene,
                           klRenderFrame,
                           klUploadTextures,
                           klEvictTextures,
                           klUploadSurfaces,
                           klDoneScene,
                           klStartRendering,
                           klEndRendering,
                           klShowRender,
                           klPutImage,
                           klPutImageEx,
                           klPutRect,
                           ApplyKestrelStateBlock,
                           SetKestrelRenderState,
                           klCreateRenderTarget,
                           OpenTexture,
                           LoadTexture,
                           klOpenSurface,
                           OpenArchiveFile,
                           ReadArchiveFile,
                           CloseArchiveFile,
                           LogStream};

const EngineCalls* current = &kKestrel;

}  // namespace

const EngineCalls& Engine() { return *current; }
void SetEngineCalls(const EngineCalls* calls) { current = calls ? calls : &kKestrel; }
const EngineCalls& KestrelCalls() { return kKestrel; }

}  // namespace marigold
