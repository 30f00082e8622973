// Helpers of the text service tests: a 640 x 480 page bitmap selected into
// a memory context, a font that deletes itself, and pixel queries.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/text/text_service.hpp"

namespace text_test {

using namespace platform;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::uint16_t kPaper = 0x1234;  // background no text colour maps to

struct Box {
  int left = kWidth, top = kHeight, right = -1, bottom = -1;  // inclusive
};

class Page {
 public:
  explicit Page(HFONT font = nullptr, bool topDown = true) {
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), kWidth, topDown ? -kHeight : kHeight, 1, 16, BI_RGB};
    void* bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    memory = static_cast<std::uint16_t*>(bits);
    stockBitmap = SelectObject(dc, bitmap);
    if (font) SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    Fill(kPaper);
  }
  ~Page() {
    SelectObject(dc, stockBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  void Fill(std::uint16_t value) { std::fill(memory, memory + kWidth * kHeight, value); }
  std::uint16_t At(int x, int y) const { return memory[y * kWidth + x]; }
  bool Ink(int x, int y) const { return At(x, y) != kPaper; }

  void Draw(int x, int y, const std::string& text) {
    ASSERT_TRUE(TextOutA(dc, x, y, text.data(), static_cast<int>(text.size())));
  }

  Box InkBounds() const {
    Box box;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (!Ink(x, y)) continue;
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
    }
    return box;
  }
  int InkCount() const {
    int count = 0;
    for (int i = 0; i < kWidth * kHeight; ++i) count += memory[i] != kPaper;
    return count;
  }
  bool SameAs(const Page& other) const {
    return std::memcmp(memory, other.memory, kWidth * kHeight * 2) == 0;
  }

  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  std::uint16_t* memory = nullptr;
  HGDIOBJ stockBitmap = nullptr;
};

class Font {
 public:
  Font(int height, int width, int weight, bool italic, const char* face,
       DWORD charSet = OEM_CHARSET, bool underline = false, bool strikeOut = false)
      : handle(CreateFontA(height, width, 0, 0, weight, italic, underline, strikeOut, charSet, 0, 0,
                           0, 0, face)) {}
  ~Font() { DeleteObject(handle); }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  HFONT handle;
};

inline std::string FaceOf(HDC dc) {
  char name[64] = {};
  GetTextFaceA(dc, sizeof name, name);
  return name;
}

inline int ExtentOf(HDC dc, const std::string& text) {
  SIZE size{};
  EXPECT_TRUE(GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size));
  return size.cx;
}

}  // namespace text_test
