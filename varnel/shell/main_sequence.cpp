#include "varnel/shell/main_sequence.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/clock/clock_service.hpp"
#include "platform/window/window_service.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/media/gif_decoder.hpp"
#include "varnel/media/name_compare.hpp"
#include "varnel/shell/display.hpp"
#include "varnel/shell/input_state.hpp"
#include "varnel/shell/magazine_state.hpp"
#include "varnel/shell/music_calls.hpp"
#include "varnel/shell/reader_frame.hpp"
#include "varnel/shell/settings.hpp"
#include "varnel/shell/window_procedure.hpp"
#include "varnel/sound/cd_audio.hpp"
#include "varnel/text/article_parser.hpp"
#include "varnel/text/page_renderer.hpp"
#include "varnel/text/scrolling.hpp"
#include "varnel/text/text_surface.hpp"

namespace varnel {

Picture FrameBuffer = {};
Picture panel0 = {}, panel1 = {};
int32_t panelShown = 0;
IndexedImage plasmaMap = {};
char pendingArticle[kPendingArticleBytes] = {};
int32_t openPending = 0;
int32_t crossFadePending = 0;
std::atomic<bool> magazineStopRequested{false};
HistoryEntry NavigationHistory[kHistoryDepth] = {};
int32_t historyDepth = -1;

namespace {

BitmapFont* bitmapFont = nullptr;
const BitmapFont* readingFont = nullptr;
Article* ArticlePointer = nullptr;
int32_t backRequest = 0;

// Copies `picture` into a 640 x 480 frame-sized block; a cover of another
// size shows what it has, so no step reads outside it.
void FitToFrame(Picture* picture) {
  if (picture->width == platform::kScreenWidth && picture->height == platform::kScreenHeight) return;
  auto* pixels = AllocZeroedArray<uint16_t>(kFramePixels);
  for (int32_t y = 0; y < platform::kScreenHeight && y < picture->height; ++y)
    for (int32_t x = 0; x < platform::kScreenWidth && x < picture->width; ++x)
      pixels[y * platform::kScreenWidth + x] = picture->pixels[static_cast<size_t>(y) * picture->width + x];
  std::free(picture->pixels);
  *picture = {platform::kScreenWidth, platform::kScreenHeight, pixels};
}

void ShowOpeningCover() {
  Picture cover{};
  LoadJpegPicture("DATA/begcvr.jpg", &cover);
  FitToFrame(&cover);
  MagazineWait(2000);
  std::memset(FrameBuffer.pixels, 0, static_cast<size_t>(kFramePixels) * 2);
  for (int32_t c = 4; c < 256 && !magazineStopRequested;) {
    const uint32_t start = platform::GetTickCount();
    for (int32_t y = 0; y < platform::kScreenHeight; ++y)
      for (int32_t x = 0; x < platform::kScreenWidth; ++x)
        if (((x ^ y) & 255) <= c) FrameBuffer.pixels[y * platform::kScreenWidth + x] = cover.pixels[y * platform::kScreenWidth + x];
    const uint32_t elapsed = platform::GetTickCount() - start;
    if (elapsed > 40) {
      c += static_cast<int32_t>(elapsed / 40) * 4;
    } else {
      MagazineWaitSince(start, 40);
    }
    c += 4;
    PresentFrame(FrameBuffer.pixels);
  }
  PresentFrame(cover.pixels);
  std::free(cover.pixels);
  MagazineWait(4000);
}

void ShowClosingCover() {
  cursorIdleTicks = 16777215;
  Picture cover{};
  LoadJpegPicture("DATA/endcvr.jpg", &cover);
  FitToFrame(&cover);
  std::memset(FrameBuffer.pixels, 0, static_cast<size_t>(kFramePixels) * 2);
  PresentFrame(FrameBuffer.pixels);
  for (int32_t w = 4; w < platform::kScreenWidth && !magazineStopRequested;) {
    const uint32_t start = platform::GetTickCount();
    for (int32_t y = 0; y < platform::kScreenHeight; ++y) {
      uint16_t* to = FrameBuffer.pixels + y * platform::kScreenWidth;
      const uint16_t* from = cover.pixels + y * platform::kScreenWidth;
      if (y & 1) {
        std::memcpy(to, from + platform::kScreenWidth - w, static_cast<size_t>(w) * 2);
      } else {
        std::memcpy(to + platform::kScreenWidth - w, from, static_cast<size_t>(w) * 2);
      }
    }
    PresentFrame(FrameBuffer.pixels);
    const uint32_t elapsed = platform::GetTickCount() - start;
    if (elapsed > 18) {
      w += static_cast<int32_t>(elapsed / 18) * 4;
    } else {
      MagazineWaitSince(start, 18);
    }
    w += 4;
  }
  PresentFrame(cover.pixels);
  std::free(cover.pixels);
}

// The dissolve reads one byte per screen pixel; a map of another size is
// fitted to the screen (missing parts change at the first step).
void LoadPlasmaMap() {
  uint8_t palette[kGifPaletteBytes];
  LoadGifIndexed("DATA/pmap.gif", &plasmaMap, palette);
  if (plasmaMap.width == platform::kScreenWidth && plasmaMap.height == platform::kScreenHeight) return;
  auto* fitted = AllocZeroedArray<uint8_t>(kFramePixels);
  for (int32_t y = 0; y < platform::kScreenHeight && y < plasmaMap.height; ++y)
    for (int32_t x = 0; x < platform::kScreenWidth && x < plasmaMap.width; ++x)
      fitted[y * platform::kScreenWidth + x] = plasmaMap.pixels[static_cast<size_t>(y) * plasmaMap.width + x];
  std::free(plasmaMap.pixels);
  plasmaMap = {platform::kScreenWidth, platform::kScreenHeight, fitted};
}

Article* OpenArticle(const char* fileName) {
  auto* article = static_cast<Article*>(std::calloc(1, sizeof(Article)));
  if (!article || !ParseArticle(article, fileName, 105, 385, readingFont)) FatalError("ArticlePointer == NULL");
  return article;
}

void CloseArticle(Article* article) {
  ReleaseArticle(article);
  std::free(article);
}

}  // namespace

void StartReading(const char* menu, const BitmapFont* font) {
  readingFont = font;
  historyDepth = -1;
  backRequest = 0;
  ArticlePointer = OpenArticle(menu);
}

Article* CurrentArticle() { return ArticlePointer; }

void StopReading() {
  if (ArticlePointer) CloseArticle(ArticlePointer);
  ArticlePointer = nullptr;
}

void OpenPendingArticle() {
  openPending = 0;
  // The history keeps its 32 newest entries: a 33rd open drops the oldest
  // rather than ending the magazine.
  if (historyDepth + 1 >= kHistoryDepth) {
    std::memmove(NavigationHistory, NavigationHistory + 1, sizeof(HistoryEntry) * (kHistoryDepth - 1));
    --historyDepth;
  }
  ++historyDepth;
  HistoryEntry& entry = NavigationHistory[historyDepth];
  std::snprintf(entry.fileName, sizeof entry.fileName, "%s", ArticlePointer->fileName);
  entry.topRow = ArticlePointer->topRow;
  CloseArticle(ArticlePointer);
  ArticlePointer = OpenArticle(pendingArticle);
  if (settings.crossFade == 1) crossFadePending = 1;
  MagazineWait(100);
}

void GoBack() {
  backRequest = 0;
  if (historyDepth >= 0) {
    CloseArticle(ArticlePointer);
    const HistoryEntry& entry = NavigationHistory[historyDepth];
    ArticlePointer = OpenArticle(entry.fileName);
    if (settings.crossFade == 1) crossFadePending = 1;
    ArticlePointer->topRow = entry.topRow;
    --historyDepth;
  }
  MagazineWait(100);
}

namespace {

void PageMoves(void (*move)(Article*), bool twice, bool pause) {
  move(ArticlePointer);
  if (twice) move(ArticlePointer);
  if (pause) MagazineWait(100);
}

bool IsKeyOf(int32_t key, char letter) {
  const auto lower = static_cast<int16_t>(platform::VkKeyScanA(static_cast<char>(letter | 0x20)));
  const auto upper = static_cast<int16_t>(platform::VkKeyScanA(static_cast<char>(letter & ~0x20)));
  return key == lower || key == upper;
}

void ReadingLoop() {
  // With no vertical blank to wait for, a pass lasts at least this long, so
  // held keys repeat at a display's pace instead of the processor's.
  constexpr uint32_t kShortestPass = 16;
  SampleInput();  // presses made before the loop are no commands
  while (!magazineStopRequested) {
    const uint32_t passStart = platform::GetTickCount();
    SampleInput();
    if (IsKeyOf(passInput.key, 'x')) break;
    ReaderFrame(ArticlePointer);
    if (IsKeyOf(passInput.key, 's')) SaveArticleText(ArticlePointer);
    RunKeyCommand(passInput.key);

    const int32_t buttons = passInput.buttons;
    if (buttons == kRightButton) backRequest = 1;
    if (buttons == kLeftButton) {
      const bool twice = ArticlePointer->twoColumns != 0;
      if (passInput.mouseX < 64) PageMoves(PageBack, twice, false);
      if (passInput.mouseX > 576) PageMoves(PageForward, twice, false);
    }
    if (openPending == 1) OpenPendingArticle();
    if (backRequest) GoBack();
    MagazineWaitSince(passStart, kShortestPass);
  }
}

}  // namespace

void MagazineWait(uint32_t milliseconds) {
  const uint32_t start = platform::GetTickCount();
  MagazineWaitSince(start, milliseconds);
}

void MagazineWaitSince(uint32_t start, uint32_t milliseconds) {
  for (;;) {
    if (magazineStopRequested) return;
    const uint32_t elapsed = platform::GetTickCount() - start;
    if (elapsed >= milliseconds) return;
    const uint32_t left = milliseconds - elapsed;
    platform::Sleep(left < 20 ? left : 20);
  }
}

void RunKeyCommand(int32_t key) {
  const bool twoColumns = ArticlePointer->twoColumns == 1;
  switch (key) {
    case platform::VK_ESCAPE: backRequest = 1; break;
    case platform::VK_PRIOR: case platform::VK_LEFT: PageMoves(PageBack, twoColumns, true); break;
    case platform::VK_NEXT: case platform::VK_RIGHT: PageMoves(PageForward, twoColumns, true); break;
    case platform::VK_END: for (int i = 0; i < 1000; ++i) PageForward(ArticlePointer); break;
    case platform::VK_HOME: for (int i = 0; i < 1000; ++i) PageBack(ArticlePointer); break;
    case platform::VK_UP:
      if (twoColumns) PageMoves(PageBack, true, true); else LineUp(ArticlePointer);
      break;
    case platform::VK_DOWN:
      if (twoColumns) PageMoves(PageForward, true, true); else LineDown(ArticlePointer);
      break;
    case '1': CdAudioCommand(CdCommand::Stop); MusicPlay("Msx0.xm"); break;
    case '2': CdAudioCommand(CdCommand::Stop); MusicPlay("Msx1.xm"); break;
    case '3': CdAudioCommand(CdCommand::Stop); MusicPlay("Msx2.xm"); break;
    case 'H':
      if (!EqualsIgnoringCase(ArticlePointer->fileName, "ARTS/help.txt")) {
        std::memset(pendingArticle, 0, sizeof pendingArticle);
        std::strcpy(pendingArticle, "ARTS/help.txt");
        openPending = 1;
      }
      break;
    case 'P':
      currentPanel = panelShown == 0 ? &panel1 : &panel0;
      panelShown = panelShown == 0 ? 1 : 0;
      MagazineWait(100);
      break;
    case platform::VK_F1: settings.useScroll = 0; settings.softScroll = 0; settings.plasmaLike = 0; break;
    case platform::VK_F2: settings.useScroll = 1; settings.softScroll = 1; settings.plasmaLike = 0; break;
    case platform::VK_F3: settings.useScroll = 1; settings.softScroll = 0; settings.plasmaLike = 1; break;
    case platform::VK_F4: CdAudioCommand(CdCommand::Eject); MagazineWait(100); break;
    case platform::VK_F5: CdAudioCommand(CdCommand::Play); MusicStop(); break;
    case platform::VK_F6: CdAudioCommand(CdCommand::Next); MusicStop(); break;
    case platform::VK_F7: CdAudioCommand(CdCommand::Previous); MusicStop(); break;
    case platform::VK_F8: CdAudioCommand(CdCommand::Stop); break;
    case platform::VK_F9: MusicStop(); break;
    case platform::VK_F10: CdAudioCommand(CdCommand::Stop); MusicResume(); break;
    default: break;
  }
}

void MagazineMain() {
  FrameBuffer = {platform::kScreenWidth, platform::kScreenHeight, AllocZeroedArray<uint16_t>(kFramePixels)};
  cursorIdleTicks = 16777215;
  BindPointer(&passInput.mouseX, &passInput.mouseY);
  BindPageTurnSettings(&settings.softScroll, &settings.plasmaLike);
  ShowOpeningCover();

  LoadGifPicture("DATA/p1.gif", &scrollBarPicture);
  LoadPngPicture("DATA/panel0.png", &panel0);
  LoadPngPicture("DATA/panel1.png", &panel1);
  FitToFrame(&panel0);
  FitToFrame(&panel1);
  currentPanel = &panel0;
  panelShown = 0;
  bitmapFont = static_cast<BitmapFont*>(std::calloc(1, sizeof(BitmapFont)));
  if (!bitmapFont) FatalError("Allocator Error !");
  LoadBitmapFont(bitmapFont, "DATA/font1.fnt");
  LoadPlasmaMap();
  CreateTextSurface(nullptr);

  StartReading("ARTS/menu.vn2", bitmapFont);
  ReadingLoop();
  // A window that went away has nothing left to show the closing cover on.
  if (!magazineStopRequested) ShowClosingCover();

  StopReading();
  ReleaseBitmapFont(bitmapFont);
  std::free(bitmapFont);
  bitmapFont = nullptr;
  currentPanel = nullptr;
  for (Picture* picture : {&FrameBuffer, &panel0, &panel1, &scrollBarPicture}) {
    std::free(picture->pixels);
    *picture = {};
  }
  std::free(plasmaMap.pixels);
  plasmaMap = {};
  ReleaseTextSurface();
  MagazineWait(2000);
  CdAudioCommand(CdCommand::Stop);
  std::fflush(stdout);
}

}  // namespace varnel
