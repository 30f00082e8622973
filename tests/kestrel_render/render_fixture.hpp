// An engine started offscreen for one test, with helpers to read pixels.
#pragma once

#include <gtest/gtest.h>

#include <array>

#include "kestrel/kestrel.h"
#include "kestrel/render/readback.hpp"
#include "tests/support/scratch_dir.hpp"

namespace kestrel_test {

using Rgba = std::array<int, 4>;

class RenderTest : public testing_support::ScratchDirTest {
 protected:
  static constexpr int kWidth = 64;
  static constexpr int kHeight = 48;

  void SetUp() override;
  void TearDown() override;

  // Pixel (x, y) from the top-left of the screen or of a render target.
  Rgba Pixel(int x, int y, const void* target = nullptr);
  // Pixel under normalised device coordinates (x right, y up).
  Rgba PixelAt(float x, float y, const void* target = nullptr);
  // Covers the whole screen with an opaque colour.
  void Fill(float r, float g, float b);
};

// Channels within `tolerance` of the expectation (alpha ignored).
testing::AssertionResult Near(const Rgba& got, const Rgba& want, int tolerance = 3);

}  // namespace kestrel_test
