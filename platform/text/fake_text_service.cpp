// The test font driver: fixed metrics and box glyphs, the same on every
// machine (see FakeTextService in text_service.hpp).
#include <algorithm>
#include <cstdlib>

#include "platform/text/font_driver.hpp"
#include "platform/text/text_service.hpp"

namespace platform {
namespace {

class FakeFace final : public FontFace {
 public:
  explicit FakeFace(const FontRequest& request)
      : advance_(request.width != 0 ? std::abs(request.width) : 8), bold_(request.weight >= 600) {
    const int cell = request.height != 0 ? std::abs(request.height) : 16;
    metrics_.ascent = cell - cell / 4;
    metrics_.descent = cell / 4;
    metrics_.averageWidth = advance_;
    metrics_.maxWidth = advance_;
    metrics_.weight = request.weight > 0 ? request.weight : 400;
    metrics_.italic = request.italic;
    metrics_.fixedPitch = true;
    metrics_.underlineTop = 0;
    metrics_.underlineThickness = 1;
    metrics_.strikeoutTop = -metrics_.ascent / 2;
    metrics_.strikeoutThickness = 1;
    metrics_.family = request.face.empty() ? "Fake" : request.face;
  }

  const FaceMetrics& Metrics() const override { return metrics_; }
  int Advance(std::uint8_t) override { return advance_; }

  GlyphBitmap Rasterize(std::uint8_t byte) override {
    GlyphBitmap box;
    if (byte == 0x00 || byte == ' ') return box;
    box.width = std::max(1, bold_ ? advance_ : advance_ - 1);
    box.rows = std::max(1, metrics_.ascent - 1);
    box.top = box.rows;
    box.ink.assign(static_cast<std::size_t>(box.width) * box.rows, 1);
    return box;
  }

 private:
  int advance_;
  bool bold_;
  FaceMetrics metrics_{};
};

class FakeService final : public TextService {
 public:
  const char* DriverName() const override { return "fake"; }
  std::unique_ptr<FontFace> OpenFont(const FontRequest& request) override {
    return std::make_unique<FakeFace>(request);
  }
};

}  // namespace

TextService& FakeTextService() {
  static auto* service = new FakeService;
  return *service;
}

}  // namespace platform
