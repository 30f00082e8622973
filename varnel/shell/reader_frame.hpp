// One pass of reading: draw the page, animate a page turn or cross-fade
// from the previous page, present, and follow the link under the pointer.
#pragma once

#include "varnel/text/article.hpp"

namespace varnel {

void ReaderFrame(Article* article);

// The link action for `link` (what a click on it does).
void FollowLink(const char* link);

}  // namespace varnel
