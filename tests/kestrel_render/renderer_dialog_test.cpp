// The renderer dialog through the dialog manager's test driver.
#include <gtest/gtest.h>

#include <cstring>

#include "kestrel/kestrel.h"
#include "platform/dialog/dialog.hpp"

namespace {

using platform::dialog::DialogInput;
using platform::dialog::DialogKey;
using platform::dialog::FakeDialogs;

int32_t Field(const unsigned char* record, size_t offset) {
  int32_t value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

class RendererDialog : public testing::Test {
 protected:
  void SetUp() override { FakeDialogs().Reset(); }
  unsigned char info_[KL_RENDERER_INFO_SIZE] = {};
  unsigned char config_[KL_RENDERER_CONFIG_SIZE] = {};
};

TEST_F(RendererDialog, EnterAcceptsSixForty480InAWindow) {
  FakeDialogs().script = {DialogInput::Press(DialogKey::Enter)};
  EXPECT_NE(klSetupRendererDialog(info_, config_), 0);
  EXPECT_EQ(Field(config_, KL_CONFIG_WIDTH), 640);
  EXPECT_EQ(Field(config_, KL_CONFIG_HEIGHT), 480);
  EXPECT_EQ(Field(config_, KL_CONFIG_FULLSCREEN), 0);
  EXPECT_EQ(Field(config_, KL_CONFIG_VSYNC), 0);
  EXPECT_GE(Field(info_, KL_INFO_MODE_COUNT), 1);
  EXPECT_EQ(FakeDialogs().caption, "Renderer");
}

TEST_F(RendererDialog, EscapeDeclinesAndLeavesTheConfigAlone) {
  FakeDialogs().script = {DialogInput::Press(DialogKey::Escape)};
  std::memset(config_, 0x5A, sizeof config_);
  EXPECT_EQ(klSetupRendererDialog(info_, config_), 0);
  EXPECT_EQ(config_[0], 0x5A);
}

TEST_F(RendererDialog, FullScreenAndVerticalSyncAreChosen) {
  // Control ids of the dialog: full screen 20, vertical sync 22.
  FakeDialogs().script = {DialogInput::Click(20), DialogInput::Click(22),
                          DialogInput::Click(platform::dialog::IDOK)};
  EXPECT_NE(klSetupRendererDialog(info_, config_), 0);
  EXPECT_EQ(Field(config_, KL_CONFIG_FULLSCREEN), 1);
  EXPECT_EQ(Field(config_, KL_CONFIG_VSYNC), 1);
  EXPECT_EQ(Field(config_, KL_CONFIG_WIDTH), 640);
}

}  // namespace
