// Contexts, DIB sections, selection and deletion, with the fake font driver.
#include <climits>

#include "tests/platform/text/text_test_page.hpp"

namespace text_test {
namespace {

BITMAPINFO Header(LONG width, LONG height, WORD bits = 16, DWORD compression = BI_RGB) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, bits, compression};
  return info;
}

HBITMAP Bitmap(LONG width, LONG height, void** bits = nullptr) {
  const BITMAPINFO info = Header(width, height);
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

TEST(TextDibSection, RowsAre1280BytesApartInEitherOrder) {
  Font font(16, 8, FW_NORMAL, false, nullptr);
  Page topDown(font.handle), bottomUp(font.handle, false);
  topDown.Draw(10, 20, "A");  // a box over rows 21..31, columns 10..16
  bottomUp.Draw(10, 20, "A");
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(topDown.memory);
  std::uint16_t first, last, above;
  std::memcpy(&first, bytes + 21 * 1280 + 10 * 2, 2);
  std::memcpy(&last, bytes + 31 * 1280 + 16 * 2, 2);
  std::memcpy(&above, bytes + 20 * 1280 + 10 * 2, 2);
  EXPECT_NE(first, kPaper);
  EXPECT_NE(last, kPaper);
  EXPECT_EQ(above, kPaper);
  EXPECT_NE(bottomUp.memory[(kHeight - 1 - 21) * kWidth + 10], kPaper);
  EXPECT_EQ(bottomUp.memory[21 * kWidth + 10], kPaper);
}

TEST(TextDibSection, StartsZeroAndRefusesWhatItCannotHold) {
  void* bits = nullptr;
  HBITMAP odd = Bitmap(3, -2, &bits);
  ASSERT_NE(odd, nullptr);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(static_cast<std::uint16_t*>(bits)[i], 0);  // 8-byte rows
  EXPECT_TRUE(DeleteObject(odd));

  BITMAPINFO refused[] = {Header(640, -480, 32), Header(640, -480, 16, 3), Header(0, -480),
                          Header(640, 0),        Header(20000, 10),        Header(640, INT_MIN),
                          Header(640, -480)};
  refused[6].bmiHeader.biPlanes = 2;
  for (const BITMAPINFO& info : refused) {
    bits = &bits;
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
  }
  const BITMAPINFO good = Header(640, -480);
  int fileSection = 0;
  EXPECT_EQ(CreateDIBSection(nullptr, &good, DIB_RGB_COLORS, nullptr, &fileSection, 0), nullptr);
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(TextObjects, SelectObjectReturnsThePreviousObjectOfItsKind) {
  HDC dc = CreateCompatibleDC(nullptr);
  Font first(16, 8, FW_NORMAL, false, "First"), second(16, 8, FW_NORMAL, false, "Second");
  HGDIOBJ stockFont = SelectObject(dc, first.handle);
  ASSERT_NE(stockFont, nullptr);
  EXPECT_EQ(SelectObject(dc, second.handle), first.handle);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), second.handle);
  EXPECT_EQ(SelectObject(dc, stockFont), second.handle);

  HBITMAP bitmap = Bitmap(8, -8);
  HGDIOBJ stockBitmap = SelectObject(dc, bitmap);
  ASSERT_NE(stockBitmap, nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
  EXPECT_EQ(SelectObject(dc, stockBitmap), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(TextObjects, BitmapsSelectIntoOneContextTheStockOneIntoAny) {
  Page page;
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, page.bitmap), nullptr);
  EXPECT_EQ(SelectObject(page.dc, page.bitmap), page.bitmap);  // already there
  HBITMAP bitmap = Bitmap(8, -8);
  HGDIOBJ stock = SelectObject(other, bitmap);
  EXPECT_EQ(SelectObject(page.dc, stock), page.bitmap);
  EXPECT_EQ(SelectObject(other, stock), bitmap);
  EXPECT_TRUE(DeleteObject(stock));  // stock objects stay
  EXPECT_EQ(SelectObject(other, bitmap), stock);
  EXPECT_EQ(SelectObject(page.dc, page.bitmap), stock);
  EXPECT_TRUE(DeleteDC(other));
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(TextObjects, RefusesHandlesThatAreNotLive) {
  HDC dc = CreateCompatibleDC(nullptr);
  Font font(16, 8, FW_NORMAL, false, nullptr);
  int notAnObject = 0;
  EXPECT_EQ(SelectObject(nullptr, font.handle), nullptr);
  EXPECT_EQ(SelectObject(dc, &notAnObject), nullptr);
  EXPECT_EQ(SelectObject(dc, dc), nullptr);
  EXPECT_FALSE(DeleteObject(nullptr));
  EXPECT_FALSE(DeleteObject(dc));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
  EXPECT_EQ(SetTextCharacterExtra(dc, 1), INT_MIN);
  EXPECT_FALSE(TextOutA(dc, 0, 0, "a", 1));
  EXPECT_FALSE(GetCharWidthA(dc, 0, 255, &notAnObject));
}

TEST(TextObjects, DeletingSelectedObjectsWaitsForTheirRelease) {
  Page page;
  HFONT font = CreateFontA(16, 8, 0, 0, FW_NORMAL, 0, 0, 0, OEM_CHARSET, 0, 0, 0, 0, nullptr);
  HGDIOBJ stockFont = SelectObject(page.dc, font);
  EXPECT_TRUE(DeleteObject(font));
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, font), nullptr);  // the handle is gone at once
  page.Draw(0, 0, "A");                           // the context still draws with it
  EXPECT_EQ(page.InkBounds().right, 6);
  EXPECT_EQ(SelectObject(page.dc, stockFont), font);
  EXPECT_TRUE(DeleteObject(stockFont));  // stock objects stay
  page.Draw(0, 20, "A");
  EXPECT_EQ(page.InkBounds().bottom, 31);

  // A context deleted with its bitmap selected frees the deleted bitmap.
  HBITMAP bitmap = Bitmap(8, -8);
  SelectObject(other, bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(other));
}

TEST(TextFonts, KeepTheRequestAndRefuseCellsBeyond1024Pixels) {
  const char* longFace = "A face name well beyond thirty-one bytes";
  Font font(-20, 7, FW_BOLD, true, longFace, OEM_CHARSET, true);
  LOGFONTA logFont{};
  EXPECT_EQ(GetObjectA(font.handle, sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
  EXPECT_EQ(logFont.lfHeight, -20);
  EXPECT_EQ(logFont.lfWidth, 7);
  EXPECT_EQ(logFont.lfWeight, FW_BOLD);
  EXPECT_EQ(logFont.lfItalic + logFont.lfUnderline, 2);
  EXPECT_EQ(std::string(logFont.lfFaceName), std::string(longFace, LF_FACESIZE - 1));

  EXPECT_NE(Font(1024, 1024, FW_NORMAL, false, nullptr).handle, nullptr);
  EXPECT_EQ(Font(1025, 0, FW_NORMAL, false, nullptr).handle, nullptr);
  EXPECT_EQ(Font(16, -1025, FW_NORMAL, false, nullptr).handle, nullptr);
  EXPECT_EQ(Font(INT_MIN, 0, FW_NORMAL, false, nullptr).handle, nullptr);
}

}  // namespace
}  // namespace text_test
