// The real font driver: fontconfig finds the face, FreeType scales, hints and
// rasterises it one bit per pixel, the way the desktop's default quality
// drew text at 640 x 480.
//
// Sizes follow the desktop's font mapper: a positive height is the cell
// (the face's Windows ascent + descent), a width scales the face so that its
// average character width comes out at that many pixels. The average is the
// frequency-weighted one of the lowercase letters and the space, the one the
// fonts of that time recorded; the free faces record a plain average over
// all glyphs instead, which would make their widths differ from the faces
// they stand in for.
//
// Advances are the face's design advances at that scale, rounded: those are
// what a metric-compatible face shares with the face it replaces. The free
// faces' own hinting narrows many advances by a pixel, which the replaced
// faces did not. Glyph images are hinted.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "platform/text/code_pages.hpp"
#include "platform/text/font_driver.hpp"
#include "platform/text/font_resolver.hpp"
#include "platform/text/text_service.hpp"

namespace platform {
namespace {

constexpr FT_Int32 kLoadFlags = FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP;
constexpr int kOemCharSet = 255;

// Lowercase letters and space with their weights per thousand.
constexpr char kAverageLetters[] = "abcdefghijklmnopqrstuvwxyz ";
constexpr int kAverageWeights[] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                   56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};

double WeightedAverageWidth(FT_Face face) {
  double sum = 0;
  for (int i = 0; kAverageLetters[i]; ++i) {
    const FT_UInt glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(kAverageLetters[i]));
    FT_Fixed advance = 0;
    if (!glyph || FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE, &advance)) return 0;
    sum += kAverageWeights[i] * static_cast<double>(advance);
  }
  return sum / 1000;
}

int Round(double value) { return static_cast<int>(std::lround(value)); }

class FreeTypeFace final : public FontFace {
 public:
  FreeTypeFace(FT_Face face, const ResolvedFace& resolved, const FontRequest& request)
      : face_(face),
        oem_(request.charSet == kOemCharSet),
        embolden_(resolved.needsEmbolden),
        slant_(resolved.needsSlant) {
    symbolMap_ = FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 &&
                 FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0;
    metrics_.family = !resolved.family.empty() ? resolved.family
                      : face->family_name      ? face->family_name
                                               : "";
    metrics_.weight = request.weight > 0 ? request.weight : 400;
    metrics_.italic = request.italic;
  }
  ~FreeTypeFace() override { FT_Done_Face(face_); }

  bool SetSize(const FontRequest& request);
  const FaceMetrics& Metrics() const override { return metrics_; }
  int Advance(std::uint8_t byte) override;
  GlyphBitmap Rasterize(std::uint8_t byte) override;

 private:
  FT_UInt GlyphIndex(std::uint8_t byte) const {
    if (symbolMap_) return FT_Get_Char_Index(face_, 0xF000u | byte);
    return FT_Get_Char_Index(face_, oem_ ? Cp437ToUnicode(byte) : Cp1252ToUnicode(byte));
  }

  FT_Face face_;
  bool oem_;
  bool embolden_;
  bool slant_;
  bool symbolMap_ = false;
  int fixedAdvance_ = 0;  // every advance of a fixed-pitch face
  double xScale_ = 0;     // pixels per font unit across
  FaceMetrics metrics_{};
};

bool FreeTypeFace::SetSize(const FontRequest& request) {
  const double units = face_->units_per_EM;
  const TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
  const bool hasOs2 = os2 && os2->version != 0xFFFF;
  double ascent = hasOs2 ? os2->usWinAscent : face_->ascender;
  double descent = hasOs2 ? os2->usWinDescent : -face_->descender;
  if (ascent + descent <= 0) {
    ascent = 0.8 * units;
    descent = 0.2 * units;
  }

  const int height = request.height == 0 ? 16 : request.height;
  double em;
  if (height > 0) {
    em = height * units / (ascent + descent);
    metrics_.ascent = Round(height * ascent / (ascent + descent));
    metrics_.descent = height - metrics_.ascent;
  } else {
    em = -height;
    metrics_.ascent = Round(ascent * em / units);
    metrics_.descent = Round(descent * em / units);
  }
  double average = WeightedAverageWidth(face_);
  if (average <= 0) average = hasOs2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : units / 2;
  const double xEm = request.width > 0 ? request.width * units / average : em;
  const auto toF26Dot6 = [](double pixels) {
    return std::max<FT_F26Dot6>(64, std::lround(pixels * 64));
  };
  if (FT_Set_Char_Size(face_, toF26Dot6(xEm), toF26Dot6(em), 72, 72)) return false;

  const int bolder = embolden_ ? 1 : 0;
  const double xScale = xEm / units;
  xScale_ = xScale;
  const double yScale = em / units;
  metrics_.internalLeading = metrics_.ascent + metrics_.descent - Round(em);
  metrics_.averageWidth = (request.width > 0 ? request.width : Round(average * xScale)) + bolder;
  metrics_.maxWidth = std::max(1, Round(face_->max_advance_width * xScale)) + bolder;
  metrics_.fixedPitch = FT_IS_FIXED_WIDTH(face_);
  if (metrics_.fixedPitch) fixedAdvance_ = metrics_.maxWidth;

  // The underline keeps inside the cell where the cell has room for it.
  const int thickness = std::max(1, Round(face_->underline_thickness * yScale));
  int top = face_->underline_position != 0
                ? Round(-face_->underline_position * yScale) - thickness / 2
                : metrics_.descent / 2;
  top = std::max(0, std::min(top, metrics_.descent - thickness));
  metrics_.underlineTop = top;
  metrics_.underlineThickness = thickness;
  const bool hasStrikeout = hasOs2 && os2->yStrikeoutSize > 0;
  metrics_.strikeoutThickness =
      hasStrikeout ? std::max(1, Round(os2->yStrikeoutSize * yScale)) : thickness;
  metrics_.strikeoutTop =
      -(hasStrikeout ? Round(os2->yStrikeoutPosition * yScale) : metrics_.ascent / 3);
  return true;
}

int FreeTypeFace::Advance(std::uint8_t byte) {
  if (fixedAdvance_) return fixedAdvance_;
  FT_Fixed units = 0;
  if (FT_Get_Advance(face_, GlyphIndex(byte), FT_LOAD_NO_SCALE, &units)) {
    return metrics_.averageWidth;
  }
  return Round(units * xScale_) + (embolden_ ? 1 : 0);
}

GlyphBitmap FreeTypeFace::Rasterize(std::uint8_t byte) {
  GlyphBitmap image;
  if (FT_Load_Glyph(face_, GlyphIndex(byte), kLoadFlags)) return image;
  FT_GlyphSlot slot = face_->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (embolden_) FT_Outline_EmboldenXY(&slot->outline, 64, 0);
    if (slant_) {
      const FT_Matrix shear{0x10000, 0x366A, 0, 0x10000};  // x += 0.21 y
      FT_Outline_Transform(&slot->outline, &shear);
    }
  }
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO)) return image;
  const FT_Bitmap& bitmap = slot->bitmap;
  image.left = slot->bitmap_left;
  image.top = slot->bitmap_top;
  image.width = static_cast<int>(bitmap.width);
  image.rows = static_cast<int>(bitmap.rows);
  image.ink.resize(static_cast<std::size_t>(image.width) * image.rows);
  const int pitch = std::abs(bitmap.pitch);
  for (int row = 0; row < image.rows; ++row) {
    const int stored = bitmap.pitch >= 0 ? row : image.rows - 1 - row;
    const unsigned char* bits = bitmap.buffer + static_cast<std::ptrdiff_t>(stored) * pitch;
    std::uint8_t* ink = image.ink.data() + static_cast<std::size_t>(row) * image.width;
    for (int column = 0; column < image.width; ++column) {
      ink[column] = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                        ? (bits[column >> 3] >> (7 - (column & 7))) & 1
                        : bits[column] >= 128;
    }
  }
  return image;
}

class FreeTypeService final : public TextService {
 public:
  const char* DriverName() const override { return "freetype"; }

  std::unique_ptr<FontFace> OpenFont(const FontRequest& request) override {
    if (!library_ && FT_Init_FreeType(&library_)) return nullptr;
    const std::optional<ResolvedFace> resolved =
        ResolveFace(request.face, request.weight, request.italic, request.charSet == kOemCharSet);
    if (!resolved) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library_, resolved->file.c_str(), resolved->index, &face)) return nullptr;
    if (!FT_IS_SCALABLE(face)) {
      FT_Done_Face(face);
      return nullptr;
    }
    auto opened = std::make_unique<FreeTypeFace>(face, *resolved, request);
    if (!opened->SetSize(request)) return nullptr;
    return opened;
  }

 private:
  FT_Library library_ = nullptr;
};

}  // namespace

TextService& FreeTypeTextService() {
  // Never destroyed: fonts may outlive static destruction.
  static auto* service = new FreeTypeService;
  return *service;
}

}  // namespace platform
