#include "varnel/shell/display.hpp"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/display/display_service.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/shell/settings.hpp"

namespace varnel {

std::recursive_mutex displayLock;
int displayInitialised = 0;
int displayIs565 = 0;

namespace {

using namespace platform;

constexpr int32_t kRowPixels = platform::kScreenWidth;
constexpr int32_t kRowBytes = kRowPixels * 2;

DisplayDevice* directDraw = nullptr;
DisplaySurface* primarySurface = nullptr;
DisplaySurface* backBuffer = nullptr;
DisplaySurface* offscreenSurface = nullptr;

// Creation runs inside the caller's hold on displayLock; a failure gives it
// up before it reports.
[[noreturn]] void FailCreation(const char* message) {
  displayLock.unlock();
  FatalError(message);
}

void RestoreIfLost(DisplaySurface* surface) {
  if (surface && surface->IsLost()) surface->Restore();
}

void CopyRow(const uint16_t* from, uint8_t* to) {
  if (!displayIs565) {
    std::memcpy(to, from, kRowBytes);
    return;
  }
  uint16_t* target = reinterpret_cast<uint16_t*>(to);
  if (settings.useMmx == 1) {
    ConvertRow565Simd(from, target, kRowPixels);
  } else {
    ConvertRow565(from, target, kRowPixels);
  }
}

}  // namespace

namespace {

// Per pixel (p & 0x001F) | ((p << 1) & 0xFFE0): blue stays, red and green
// move up one bit, and the lowest green bit takes the highest blue bit. Bits
// shifted out of one pixel fall under the other's 0x001F-masked part, so
// whole words convert as pixels do.
constexpr uint32_t kBlueMasks = 0x001F001Fu;
constexpr uint32_t kRedGreenMasks = 0xFFE0FFE0u;

inline void ConvertPair(const uint16_t* from, uint16_t* to) {
  uint32_t pair;
  std::memcpy(&pair, from, 4);
  pair = (pair & kBlueMasks) | ((pair << 1) & kRedGreenMasks);
  std::memcpy(to, &pair, 4);
}

// A fixed number of pixels between rows that do not overlap: a loop the
// compiler may run with vector registers.
constexpr int kBlockPixels = 64;
void ConvertBlock565(const uint16_t* __restrict from, uint16_t* __restrict to) {
  for (int i = 0; i < kBlockPixels; i += 2) ConvertPair(from + i, to + i);
}

}  // namespace

void ConvertRow565(const uint16_t* from, uint16_t* to, int count) {
  int i = 0;
  for (; i + kBlockPixels <= count; i += kBlockPixels) ConvertBlock565(from + i, to + i);
  for (; i + 2 <= count; i += 2) ConvertPair(from + i, to + i);
  if (i < count) to[i] = static_cast<uint16_t>((from[i] & 0x001F) | ((from[i] << 1) & 0xFFE0));
}

void ConvertRow565Simd(const uint16_t* from, uint16_t* to, int count) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i blue = _mm_set1_epi16(0x001F);
  const __m128i redGreen = _mm_set1_epi16(static_cast<short>(0xFFE0));
  for (; i + 8 <= count; i += 8) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    const __m128i shifted = _mm_slli_epi32(pixels, 1);
    const __m128i result =
        _mm_or_si128(_mm_and_si128(pixels, blue), _mm_and_si128(shifted, redGreen));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), result);
  }
#else
  // Four pixels in a 64-bit word, as the four 16-bit lanes of a register.
  for (; i + 4 <= count; i += 4) {
    uint64_t quad;
    std::memcpy(&quad, from + i, 8);
    quad = (quad & 0x001F001F001F001Full) | ((quad << 1) & 0xFFE0FFE0FFE0FFE0ull);
    std::memcpy(to + i, &quad, 8);
  }
#endif
  ConvertRow565(from + i, to + i, count - i);
}

void CreateDisplay(WindowHandle mainWindow) {
  directDraw = DirectDrawCreate();
  if (!directDraw) FailCreation("DirectDrawCreate FAILED !");

  if (!directDraw->SetCooperativeLevel(mainWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN))
    FailCreation("SetCooperativeLevel FAILED !");

  if (!directDraw->SetDisplayMode(platform::kScreenWidth, platform::kScreenHeight, 15) &&
      !directDraw->SetDisplayMode(platform::kScreenWidth, platform::kScreenHeight, 16))
    FailCreation("SetDisplayMode FAILED \n No 15/16 bit modes !");

  SurfaceDescription primary{};
  primary.flags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  primary.caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  primary.backBufferCount = 1;
  primarySurface = directDraw->CreateSurface(primary);
  if (!primarySurface) FailCreation("CreateSurface FAILED !");

  backBuffer = primarySurface->GetAttachedSurface(DDSCAPS_BACKBUFFER);
  if (!backBuffer) FailCreation("GetAttachedSurface FAILED !");

  if (settings.useBltFast == 1) {
    SurfaceDescription offscreen{};
    offscreen.flags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    offscreen.caps = DDSCAPS_OFFSCREENPLAIN;
    offscreen.width = platform::kScreenWidth;
    offscreen.height = platform::kScreenHeight;
    offscreenSurface = directDraw->CreateSurface(offscreen);
    if (!offscreenSurface) FailCreation("CreateSurface FAILED (DDSCAPS_OFFSCREENPLAIN) !");
  }

  DisplayMode mode{};
  if (!directDraw->GetDisplayMode(mode)) FailCreation("GetDisplayMode FAILED !");
  displayIs565 = mode.redMask == 0xF800 ? 1 : 0;
}

void PresentFrame(const uint16_t* pixels) {
  std::lock_guard lock(displayLock);
  // Nothing to show on before creation or after the release.
  if (!primarySurface || !backBuffer) return;
  const SurfaceRect whole{0, 0, platform::kScreenWidth, platform::kScreenHeight};
  const bool staged = settings.useBltFast == 1 && offscreenSurface;

  RestoreIfLost(primarySurface);
  RestoreIfLost(backBuffer);
  if (staged) RestoreIfLost(offscreenSurface);

  DisplaySurface* target = staged ? offscreenSurface : backBuffer;
  LockedSurface locked{};
  if (!target->Lock(locked)) {
    target->Unlock();
    return;
  }
  for (int32_t row = 0; row < platform::kScreenHeight; ++row)
    CopyRow(pixels + row * kRowPixels, locked.surface + row * locked.pitch);
  target->Unlock();
  if (staged) backBuffer->BltFast(0, 0, *offscreenSurface, whole);

  primarySurface->Flip(settings.waitForVsync == 1);
}

void ReleaseDisplay() {
  if (!displayInitialised) return;
  std::lock_guard lock(displayLock);
  if (!directDraw) return;
  if (primarySurface) {
    primarySurface->Release();  // the back buffer goes with it
    primarySurface = nullptr;
    backBuffer = nullptr;
  }
  if (offscreenSurface) {
    offscreenSurface->Release();
    offscreenSurface = nullptr;
  }
  directDraw->Release();
  directDraw = nullptr;
}

}  // namespace varnel
