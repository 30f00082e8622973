// Reading an article file and laying it out once into an Article.
//
// The format: 8-bit text with CR LF line ends and tags "<#NAME args#>",
// recognised only after one of the prefixes CO FT IC SE EN JU JE TW TI.
// See article.hpp for the result.
#pragma once

#include <cstdint>

#include "varnel/text/article.hpp"

namespace varnel {

// Fills `article` (allocated by the caller) from `fileName`, read through the
// archive. Every failure is fatal, so a returned article is complete.
Article* ParseArticle(Article* article, const char* fileName, int32_t windowTop,
                      int32_t windowBottom, const BitmapFont* bitmapFont);

// Releases everything the article owns, but not the Article block itself.
void ReleaseArticle(Article* article);

// Writes the article's text with every tag span removed to the first free
// "art-<n>.txt" in the current directory, then pauses 500 ms.
void SaveArticleText(const Article* article);

// 0 when two file names are equal ignoring the case of a-z and the kind of
// slash, 1 otherwise.
int SameFileName(const char* a, const char* b);

// Whether a tag starts at `at` (four readable bytes): the opening marker
// followed by one of the nine known prefixes.
bool IsArticleTagStart(const uint8_t* at);

// Steps of the above.
void AddArticlePicture(Article* article, const char* pictureFile, const char* hoverFile,
                       const char* link, int32_t x, int32_t y);
void LoadArticlePictures(Article* article);
void ReleaseArticlePictures(Article* article);

}  // namespace varnel
