// The laid-out article as JSON lines, for authors' checks and tests.
#pragma once

#include <cstdio>

#include "varnel/text/article.hpp"

namespace varnel_page {

// One line per segment, then one line with the article's own figures.
void PrintLayoutJson(const varnel::Article& article, FILE* out);

}  // namespace varnel_page
