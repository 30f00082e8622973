// The reading loop's own rules: history, key commands, link actions.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/shell/shell_service.hpp"
#include "tests/varnel/text/text_fixture.hpp"
#include "varnel/shell/magazine_state.hpp"
#include "varnel/shell/main_sequence.hpp"
#include "varnel/shell/reader_frame.hpp"
#include "varnel/shell/settings.hpp"
#include "varnel/sound/music_player.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

std::string played;
int stops = 0;
void CountPlay(const char* module) { played = module; }
void CountStop() { ++stops; }

class ReadingTest : public TextEngineTest {
 protected:
  void SetUp() override {
    TextEngineTest::SetUp();
    WriteFile("menu.txt", std::string("<#FTPE BITS#>Menu\r\n") + BitmapLines(60));
    WriteFile("a.txt", std::string("Article A\r\n"));
    std::filesystem::create_directories("ARTS");
    WriteFile("ARTS/help.txt", std::string("Help\r\n"));
    StartReading("menu.txt", &font_);
    musicPlayer = {kSilentPlayer, CountPlay, CountStop, nullptr, nullptr};
    played.clear();
    stops = 0;
    platform::FakeShell().opened.clear();
    std::memset(pendingArticle, 0, sizeof pendingArticle);
    openPending = 0;
    crossFadePending = 0;
    SetDefaultSettings();
  }
  void TearDown() override {
    StopReading();
    musicPlayer = {};
    TextEngineTest::TearDown();
  }
  void Open(const char* name) {
    std::strcpy(pendingArticle, name);
    openPending = 1;
    OpenPendingArticle();
  }
};

TEST_F(ReadingTest, HistoryKeepsTheNewest32AndGoesBackWithTopRows) {
  CurrentArticle()->topRow = 17;
  Open("a.txt");
  EXPECT_EQ(historyDepth, 0);
  EXPECT_STREQ(NavigationHistory[0].fileName, "menu.txt");
  EXPECT_EQ(crossFadePending, 1);
  GoBack();
  EXPECT_EQ(historyDepth, -1);
  EXPECT_STREQ(CurrentArticle()->fileName, "menu.txt");
  EXPECT_EQ(CurrentArticle()->topRow, 17);

  // A menu whose articles link back to it: 40 clicks must not end the
  // magazine; the oldest entries give way.
  for (int i = 0; i < 40; ++i) Open(i % 2 ? "menu.txt" : "a.txt");
  EXPECT_EQ(historyDepth, kHistoryDepth - 1);
  EXPECT_STREQ(NavigationHistory[kHistoryDepth - 1].fileName, "a.txt");
  for (int i = 0; i < 40; ++i) GoBack();
  EXPECT_EQ(historyDepth, -1);
}

TEST_F(ReadingTest, BackWithAnEmptyHistoryChangesNothing) {
  GoBack();
  EXPECT_EQ(historyDepth, -1);
  EXPECT_STREQ(CurrentArticle()->fileName, "menu.txt");
}

TEST_F(ReadingTest, HelpIsNotOpenedOverItself) {
  RunKeyCommand('H');
  EXPECT_EQ(openPending, 1);
  EXPECT_STREQ(pendingArticle, "ARTS/help.txt");
  OpenPendingArticle();
  openPending = 0;
  std::strcpy(CurrentArticle()->fileName, "arts/HELP.TXT");
  RunKeyCommand('H');
  EXPECT_EQ(openPending, 0);
}

TEST_F(ReadingTest, FunctionKeysChooseThePageTurn) {
  RunKeyCommand(112);
  EXPECT_EQ(settings.useScroll + settings.softScroll + settings.plasmaLike, 0);
  RunKeyCommand(113);
  EXPECT_EQ(settings.softScroll, 1);
  EXPECT_EQ(settings.plasmaLike, 0);
  RunKeyCommand(114);
  EXPECT_EQ(settings.softScroll, 0);
  EXPECT_EQ(settings.plasmaLike, 1);
  EXPECT_EQ(settings.useScroll, 1);
}

TEST_F(ReadingTest, TuneKeysAndMusicLinks) {
  RunKeyCommand('2');
  EXPECT_EQ(played, "Msx1.xm");
  FollowLink("PMSX:Bonus.mod");
  EXPECT_EQ(played, "Bonus.mod");
  FollowLink("SILENT");
  RunKeyCommand(120);  // F9
  EXPECT_EQ(stops, 2);
}

TEST_F(ReadingTest, LinkFormsByPrefixInAnyLetterCase) {
  FollowLink("art:a.txt");
  EXPECT_EQ(openPending, 1);
  EXPECT_STREQ(pendingArticle, "a.txt");
  openPending = 0;
  FollowLink(("ART:" + std::string(300, 'n')).c_str());  // does not fit: refused, not cut
  EXPECT_EQ(openPending, 0);
  FollowLink("URL:https://example.org/issue3");
  FollowLink("mailto:editor@example.org");
  ASSERT_EQ(platform::FakeShell().opened.size(), 2u);
  EXPECT_EQ(platform::FakeShell().opened[0], "https://example.org/issue3");
  EXPECT_EQ(platform::FakeShell().opened[1], "mailto:editor@example.org");
  FollowLink("PANEL_V1");
  EXPECT_EQ(currentPanel, &panel1);
  EXPECT_EQ(panelShown, 1);
  FollowLink("panel_v0");
  EXPECT_EQ(currentPanel, &panel0);
  FollowLink("");
  FollowLink("nothing known");
  EXPECT_EQ(openPending, 0);
}

}  // namespace
