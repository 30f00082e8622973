// Dialog units and the dialog's look: sizes from the real dialog font, and
// the marks, frames and focus drawn into the client pixels.
#include <memory>

#include "platform/dialog/dialog_painter.hpp"
#include "tests/platform/dialog/dialog_test_template.hpp"

namespace dialog_test {
namespace {

using namespace palette;

TEST(DialogUnits, EightPointHelvIsAnElevenPixelSansFace) {
  platform::SetTextService(&platform::FreeTypeTextService());
  DialogFont font("Helv", 8);
  DialogLayout layout;
  const bool measured = ComputeDialogLayout(kTemplate, font.handle(), &layout);
  char face[64] = {};
  platform::HDC dc = platform::CreateCompatibleDC(nullptr);
  platform::SelectObject(dc, font.handle());
  platform::GetTextFaceA(dc, sizeof face, face);
  platform::DeleteDC(dc);
  platform::SetTextService(&platform::FakeTextService());
  ASSERT_TRUE(measured);
  EXPECT_EQ(PointsToPixels(8), 11);
  EXPECT_STREQ(face, "Liberation Sans");  // the metric twin of the face "Helv" stood for
  // Its 52 letters average 5.7 pixels, its cell is 12 rows.
  EXPECT_EQ(layout.baseX, 6);
  EXPECT_EQ(layout.baseY, 12);
  EXPECT_EQ(layout.width, 195);   // 130 units
  EXPECT_EQ(layout.height, 135);  // 90 units
}

TEST(DialogUnits, PixelsRoundToTheNearest) {
  // The fake font: cells of 11 rows, advances of 8 pixels, so 8 x 11 base units.
  DialogFont font("Helv", 8);
  DialogLayout layout;
  ASSERT_TRUE(ComputeDialogLayout(kTemplate, font.handle(), &layout));
  EXPECT_EQ(layout.baseX, 8);
  EXPECT_EQ(layout.baseY, 11);
  const PixelRect red = layout.items[1];  // 10, 25, 50, 10 units
  EXPECT_EQ(red.x, 20);
  EXPECT_EQ(red.y, 34);  // 34.375
  EXPECT_EQ(red.width, 100);
  EXPECT_EQ(red.height, 14);              // 13.75
  EXPECT_EQ(layout.items[0].y, 7);        // 6.875
  EXPECT_EQ(layout.items[6].y, 34);       // 25 units again
  EXPECT_EQ(layout.items[7].height, 11);  // 8 units: exactly one cell
  EXPECT_EQ(layout.items[5].y, 7);
  EXPECT_EQ(layout.height, 124);  // 123.75
}

INT_PTR Quiet(HWND, UINT, WPARAM, LPARAM) { return 0; }

// A session of the test dialog painted with the fake font.
class DialogLook : public testing::Test {
 protected:
  DialogLook() : session_(kTemplate, Quiet, 0) {}
  void Paint() {
    canvas_ = std::make_unique<DialogCanvas>(session_.layout().width, session_.layout().height);
    PaintDialog(session_, *canvas_);
  }
  PixelRect Rect(int id) const { return session_.layout().items[session_.IndexOf(id)]; }
  // Box of a check box or radio button: left in the control, centred.
  std::uint16_t MarkPixel(int id, int size, int dx, int dy) const {
    const PixelRect rect = Rect(id);
    return canvas_->At(rect.x + dx, rect.y + (rect.height - size) / 2 + dy);
  }
  int Count(const PixelRect& area, std::uint16_t color) const {
    int n = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
      for (int x = area.x; x < area.x + area.width; ++x) n += canvas_->At(x, y) == color;
    }
    return n;
  }
  DialogSession session_;
  std::unique_ptr<DialogCanvas> canvas_;
};

TEST_F(DialogLook, CheckBoxShowsATickOnlyWhenChecked) {
  Paint();
  const PixelRect box{Rect(kAlpha).x, Rect(kAlpha).y + (Rect(kAlpha).height - 13) / 2, 13, 13};
  EXPECT_EQ(Count(Inset(box, 2), kWindow), 81);  // an empty white square
  EXPECT_EQ(MarkPixel(kAlpha, 13, 0, 0), kShadow);
  EXPECT_EQ(MarkPixel(kAlpha, 13, 1, 1), kDarkShadow);
  EXPECT_EQ(MarkPixel(kAlpha, 13, 12, 12), kHighlight);
  session_.SetCheck(session_.IndexOf(kAlpha), true);
  Paint();
  EXPECT_EQ(Count(Inset(box, 2), kMark), 21);     // the tick's pixels
  EXPECT_EQ(MarkPixel(kAlpha, 13, 5, 9), kMark);  // the tick's foot
  EXPECT_EQ(MarkPixel(kAlpha, 13, 9, 3), kMark);  // its top right
}

TEST_F(DialogLook, RadioButtonShowsADotWhenChecked) {
  session_.SetCheck(session_.IndexOf(kGreen), true);
  Paint();
  for (int id : {kRed, kGreen}) {
    const bool checked = id == kGreen;
    const std::uint16_t centre = checked ? kMark : kWindow;
    EXPECT_EQ(MarkPixel(id, 12, 5, 5), centre) << id;
    EXPECT_EQ(MarkPixel(id, 12, 6, 6), centre) << id;
    EXPECT_EQ(MarkPixel(id, 12, 4, 4), kWindow) << id;  // the dot is round
    EXPECT_EQ(MarkPixel(id, 12, 0, 0), kFace) << id;    // so is the button
    EXPECT_EQ(MarkPixel(id, 12, 0, 5), kShadow) << id;
    EXPECT_EQ(MarkPixel(id, 12, 11, 6), kHighlight) << id;
  }
}

TEST_F(DialogLook, DefaultButtonIsFramedAndFollowsTheFocusedPushButton) {
  Paint();
  const PixelRect ok = Rect(IDOK), cancel = Rect(IDCANCEL);
  EXPECT_EQ(canvas_->At(ok.x, ok.y), kDarkShadow);  // OK is the default
  EXPECT_EQ(canvas_->At(cancel.x, cancel.y), kHighlight);
  EXPECT_EQ(canvas_->At(cancel.x + cancel.width - 1, cancel.y + 5), kDarkShadow);
  session_.Key(DialogKey::Tab, true);  // focus on Cancel
  Paint();
  EXPECT_EQ(canvas_->At(ok.x, ok.y), kHighlight);
  EXPECT_EQ(canvas_->At(cancel.x, cancel.y), kDarkShadow);
  // The focus rectangle, dotted, four pixels in.
  EXPECT_EQ(canvas_->At(cancel.x + 4, cancel.y + 4), kDarkShadow);
  EXPECT_EQ(canvas_->At(cancel.x + 5, cancel.y + 4), kFace);
  EXPECT_EQ(canvas_->At(cancel.x + 6, cancel.y + 4), kDarkShadow);
}

TEST_F(DialogLook, HeldMouseSinksTheButtonUntilItLeaves) {
  const PixelRect ok = Rect(IDOK);
  session_.MouseDown(ok.x + 5, ok.y + 5);
  Paint();
  EXPECT_EQ(canvas_->At(ok.x + 1, ok.y + 1), kShadow);  // sunk: no light edge
  EXPECT_EQ(canvas_->At(ok.x + ok.width - 2, ok.y + ok.height - 2), kShadow);
  session_.MouseMove(ok.x + ok.width + 3, ok.y + 5);
  Paint();
  EXPECT_EQ(canvas_->At(ok.x + 1, ok.y + 1), kHighlight);
}

}  // namespace
}  // namespace dialog_test
