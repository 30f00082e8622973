// Releasing an article, its pictures, and saving its text without tags.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/clock/clock_service.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/media/resource_archive.hpp"
#include "varnel/text/article_parser.hpp"

namespace varnel {

using namespace platform;

namespace {

int32_t saveCounter = 0;

char* CopyString(const char* text) {
  const size_t length = std::strlen(text);
  char* copy = static_cast<char*>(AllocZeroed(static_cast<int32_t>(length)));
  std::memcpy(copy, text, length);
  return copy;
}

// An earlier picture of the list whose file (or hover file) is the same.
const ArticlePicture* FindEarlier(const Article* article, const ArticlePicture* picture, bool hover) {
  for (const ArticlePicture* earlier = article->pictures; earlier != picture; earlier = earlier->next) {
    if (hover) {
      if (earlier->hasHover && SameFileName(earlier->hoverFile, picture->hoverFile) == 0) return earlier;
    } else if (SameFileName(earlier->pictureFile, picture->pictureFile) == 0) {
      return earlier;
    }
  }
  return nullptr;
}

// Opens the first "art-<n>.txt" that does not exist yet, never following or
// replacing anything of that name.
int CreateSaveFile() {
  for (;;) {
    char name[32];
    std::snprintf(name, sizeof name, "art-%i.txt", saveCounter);
    ++saveCounter;
    const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
}

}  // namespace

int SameFileName(const char* a, const char* b) { return ResourceNamesMatch(a, b) ? 0 : 1; }

void AddArticlePicture(Article* article, const char* pictureFile, const char* hoverFile,
                       const char* link, int32_t x, int32_t y) {
  auto* picture = static_cast<ArticlePicture*>(AllocZeroed(sizeof(ArticlePicture)));
  picture->pictureFile = CopyString(pictureFile);
  picture->x = x;
  picture->y = y;
  if (hoverFile) {
    picture->hasHover = 1;
    picture->hoverFile = CopyString(hoverFile);
    picture->link = CopyString(link ? link : "");
  }
  ArticlePicture** tail = &article->pictures;
  while (*tail) tail = &(*tail)->next;
  *tail = picture;
}

void LoadArticlePictures(Article* article) {
  for (ArticlePicture* picture = article->pictures; picture; picture = picture->next) {
    picture->pictureShared = 0;
    picture->hoverShared = 0;
    if (const ArticlePicture* earlier = FindEarlier(article, picture, false)) {
      picture->picture = earlier->picture;
      picture->pictureShared = 1;
    } else {
      LoadPicture(picture->pictureFile, &picture->picture);
    }
    if (!picture->hasHover) continue;
    if (const ArticlePicture* earlier = FindEarlier(article, picture, true)) {
      picture->hoverPicture = earlier->hoverPicture;
      picture->hoverShared = 1;
    } else {
      LoadPicture(picture->hoverFile, &picture->hoverPicture);
    }
  }
}

void ReleaseArticlePictures(Article* article) {
  while (ArticlePicture* picture = article->pictures) {
    article->pictures = picture->next;
    std::free(picture->pictureFile);
    std::free(picture->hoverFile);
    std::free(picture->link);
    if (!picture->pictureShared) std::free(picture->picture.pixels);
    if (!picture->hoverShared) std::free(picture->hoverPicture.pixels);
    std::free(picture);
  }
}

void ReleaseArticle(Article* article) {
  std::free(article->text);
  article->text = nullptr;
  for (int32_t i = 0; i < article->ArtLinesNum; ++i) std::free(article->segments[i].text);
  while (LinkNode* node = article->links) {
    article->links = node->next;
    std::free(node->link);
    std::free(node);
  }
  // No article font may be selected while it is deleted.
  if (textSurface.CompatibleHDC) SelectObject(textSurface.CompatibleHDC, textSurface.defaultFont);
  while (FontNode* node = article->fonts) {
    article->fonts = node->next;
    DeleteObject(node->font);
    std::free(node);
  }
  ReleaseArticlePictures(article);
  std::free(article->segments);
  article->segments = nullptr;
  article->ArtLinesNum = 0;
}

void SaveArticleText(const Article* article) {
  const int fd = CreateSaveFile();
  if (fd >= 0) {
    auto* copy = static_cast<uint8_t*>(AllocZeroed(article->textLength));
    int32_t kept = 0;
    const uint8_t* text = article->text;
    for (int32_t i = 0; i < article->textLength;) {
      if (text[i] == '<' && i + 1 < article->textLength && text[i + 1] == '#') {
        // Drop up to and including the closing marker, or to the end.
        int32_t p = i + 2;
        while (p + 1 < article->textLength && !(text[p] == '#' && text[p + 1] == '>')) ++p;
        i = p + 1 < article->textLength ? p + 2 : article->textLength;
        continue;
      }
      copy[kept++] = text[i++];
    }
    FILE* file = fdopen(fd, "wb");
    if (file) {
      std::fwrite(copy, 1, static_cast<size_t>(kept), file);
      std::fflush(file);
      std::fclose(file);
    } else {
      close(fd);
    }
    std::free(copy);
  }
  Sleep(500);
}

}  // namespace varnel
