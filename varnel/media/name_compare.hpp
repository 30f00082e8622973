// How the reader compares names: the letters a-z in either case, nothing
// folded beyond ASCII; file names also take '\' for '/'.
#pragma once

namespace varnel {

inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A file name character as the archive matches it.
inline char FoldNameChar(char c) {
  c = UpperAscii(c);
  return c == '\\' ? '/' : c;
}

inline bool EqualsIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (UpperAscii(*a) != UpperAscii(*b)) return false;
  return *a == '\0' && *b == '\0';
}

inline bool StartsWithIgnoringCase(const char* text, const char* prefix) {
  for (; *prefix; ++prefix, ++text)
    if (UpperAscii(*text) != UpperAscii(*prefix)) return false;
  return true;
}

}  // namespace varnel
