// The whole life of the magazine on the magazine thread: opening cover,
// loading, the reading loop over the article tree with its keys, mouse and
// history, closing cover and clean-up.
#pragma once

#include <cstdint>

#include "varnel/text/article.hpp"

namespace varnel {

constexpr int32_t kHistoryDepth = 32;

struct HistoryEntry {
  char fileName[256];
  int32_t topRow;
};

extern HistoryEntry NavigationHistory[kHistoryDepth];
extern int32_t historyDepth;  // index of the top entry; -1 when empty

void MagazineMain();

// One key command of the reading loop for the current article.
void RunKeyCommand(int32_t key);

// Steps of the reading loop, for the loop and its tests: the article being
// read (opened with an empty history by StartReading), opening
// pendingArticle with a history entry for the current one, and going back.
void StartReading(const char* menu, const BitmapFont* font);
Article* CurrentArticle();
void OpenPendingArticle();
void GoBack();
void StopReading();

}  // namespace varnel
