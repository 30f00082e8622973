#include "tools/varnel_page/layout_json.hpp"

#include <string>

using namespace varnel;

namespace varnel_page {

namespace {

// A JSON string of raw 8-bit bytes; each byte above 0x7F stands for the
// code point of the same number.
std::string Quote(const char* text) {
  std::string out = "\"";
  if (text) {
    for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
      char escaped[8];
      if (*p == '"' || *p == '\\') {
        out += '\\';
        out += static_cast<char>(*p);
      } else if (*p < 0x20 || *p >= 0x7F) {
        std::snprintf(escaped, sizeof escaped, "\\u%04x", *p);
        out += escaped;
      } else {
        out += static_cast<char>(*p);
      }
    }
  }
  return out + "\"";
}

}  // namespace

void PrintLayoutJson(const Article& article, FILE* out) {
  for (int32_t i = 0; i < article.ArtLinesNum; ++i) {
    const TextSegment& s = article.segments[i];
    std::fprintf(out,
                 "{\"index\":%d,\"left\":%d,\"top\":%d,\"right\":%d,\"bottom\":%d,\"length\":%d,"
                 "\"text\":%s,\"bitmapText\":%d,\"justified\":%d,\"isLink\":%d,\"link\":%s,"
                 "\"breakCount\":%d,\"breakExtra\":%d}\n",
                 i, s.left, s.top, s.right, s.bottom, s.length, Quote(s.text).c_str(), s.bitmapText,
                 s.justified, s.isLink, s.link ? Quote(s.link).c_str() : "null", s.breakCount,
                 s.breakExtra);
  }
  std::fprintf(out, "{\"rowCount\":%d,\"ArtLinesNum\":%d,\"twoColumns\":%d,\"title\":%s,\"topRow\":%d}\n",
               article.rowCount, article.ArtLinesNum, article.twoColumns, Quote(article.title).c_str(),
               article.topRow);
}

}  // namespace varnel_page
