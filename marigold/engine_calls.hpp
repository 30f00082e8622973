// The engine calls the demo makes, through a table of function pointers:
// the kestrel engine by default, a recording stand-in in tests.
#pragma once

#include <cstdint>

namespace marigold {

struct EngineCalls {
  int (*getInfo)(int n);
  void (*setState)(int state, int value);
  void (*done)();
  int (*setRenderTarget)(void* record);
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
};

const EngineCalls& Engine();
// Replaces the table (it must outlive its use); null: the kestrel engine.
void SetEngineCalls(const EngineCalls* calls);
const EngineCalls& KestrelCalls();

}  // namespace marigold
