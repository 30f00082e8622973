// The engine calls the demo makes, through a table of function pointers:
// the kestrel engine by default, a recording stand-in in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace marigold {

struct EngineCalls {
  int (*initialize)(void* window, int flags);
  int (*setupRendererDialog)(void* info, void* config);
  int (*setupRenderer)(const void* config);
  int (*alfInit)(const char* archive);
  int (*getInfo)(int n);
  void (*setState)(int state, int value);
  void (*done)();
  int (*setRenderTarget)(void* record);
  int (*copyScreenToTarget)(void* record);
  int (*loadLWS)(const char* file, void* record);
  int (*renderFrame)(void* record, float frame);
  int (*uploadTextures)(void* record);
  int (*evictTextures)(void* record);
  int (*uploadSurfaces)(void* record);
  void (*doneScene)(void* record);
  void (*startRendering)();
  void (*endRendering)();
  void (*showRender)();
  void (*putImage)(float x, float y, float sx, float sy, const void* image, float alpha,
                   int reserved0, int reserved1, int src, int dst);
  void (*putImageEx)(float x, float y, float sx, float sy, const void* image, float alpha,
                     int reserved0, int reserved1, int src, int dst, float r, float g, float b,
                     float su, float sv);
  void (*putRect)(float x, float y, float sx, float sy, float alpha, float r, float g, float b,
                  int src, int dst);
  // The device's ApplyStateBlock with the engine's 2D-defaults state block.
  void (*applyStateBlock)();
  // The device's SetRenderState.
  void (*setRenderState)(uint32_t state, uint32_t value);
  int (*createRenderTarget)(void* record);
  void* (*openTexture)(void* record, const char* name);
  int (*loadTexture)(const char* file, void* texture);
  void* (*openSurface)(void* record, const char* name);
  // Data archive: a handle's first 32-bit field is the file's size.
  void* (*alfOpen)(const char* name, const char* mode);
  size_t (*alfRead)(void* buffer, size_t size, size_t count, void* file);
  void (*alfClose)(void* file);
  // The engine's log stream, null when there is none.
  FILE* (*logStream)();
};

const EngineCalls& Engine();
// Replaces the table (it must outlive its use); null: the kestrel engine.
void SetEngineCalls(const EngineCalls* calls);
const EngineCalls& KestrelCalls();

}  // namespace marigold
