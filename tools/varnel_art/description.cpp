#include "tools/varnel_art/description.hpp"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace varnel_art {
namespace {

struct NamedColour {
  const char* name;
  uint32_t rgb;
};

// Longer names first, so "yellow-green" wins over "yellow".
constexpr NamedColour kColours[] = {
    {"yellow-green", 0xB0E050}, {"blue-violet", 0x6040B0}, {"blue-grey", 0x607090},
    {"grey-blue", 0x7080A0},    {"steel blue", 0x4A6A9A},  {"navy", 0x101840},
    {"teal", 0x208890},         {"cyan", 0x50D8F0},        {"turquoise", 0x40C8C0},
    {"copper", 0xB8683A},       {"orange", 0xF0A030},      {"amber", 0xFFC060},
    {"gold", 0xF0B446},         {"yellow", 0xFFE060},      {"cream", 0xF0E6C8},
    {"crimson", 0x8C285A},      {"red", 0xD83C3C},         {"pink", 0xF090B0},
    {"magenta", 0xD040B0},      {"purple", 0x6A2C90},      {"violet", 0x9060D0},
    {"lime", 0xA0F064},         {"green", 0x40B050},       {"blue", 0x3060C8},
    {"brown", 0x704428},        {"white", 0xFFFFFF},       {"silver", 0xC0C8D0},
    {"grey", 0x808088},         {"gray", 0x808088},        {"black", 0x101010},
};

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-'; }

bool IsModifier(std::string_view word) {
  return word == "light" || word == "pale" || word == "bright" || word == "dark" || word == "deep";
}

Color Shade(Color c, std::string_view modifier) {
  if (modifier == "light" || modifier == "pale") return Mix(c, Rgb(0xFFFFFF), 0.45f);
  if (modifier == "bright") return Mix(c, Rgb(0xFFFFFF), 0.2f);
  if (modifier == "dark" || modifier == "deep") return Scale(c, 0.45f);
  return c;
}

// A colour name starting at `at` in lower-case `text`, with its length.
std::optional<Color> NameAt(std::string_view text, size_t at, size_t* length) {
  for (const NamedColour& colour : kColours) {
    const std::string_view name = colour.name;
    if (text.substr(at, name.size()) == name &&
        (at + name.size() == text.size() || !IsWordChar(text[at + name.size()]))) {
      *length = name.size();
      return Rgb(colour.rgb);
    }
  }
  return std::nullopt;
}

std::optional<Color> FirstColourIn(std::string_view text) {
  std::string_view modifier;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && !IsWordChar(text[i])) ++i;
    size_t end = i;
    while (end < text.size() && IsWordChar(text[end])) ++end;
    if (end == i) break;
    size_t length = 0;
    if (const auto colour = NameAt(text, i, &length)) return Shade(*colour, modifier);
    const std::string_view word = text.substr(i, end - i);
    modifier = IsModifier(word) ? word : std::string_view();
    if (modifier.empty()) return std::nullopt;  // only modifiers may stand before the name
    i = end;
  }
  return std::nullopt;
}

}  // namespace

Color Description::At(size_t index, uint32_t fallback) const {
  return index < colours.size() ? colours[index] : Rgb(fallback);
}

std::optional<Color> Description::NamedAfter(std::string_view phrase) const {
  const size_t at = lower.find(phrase);
  if (at == std::string::npos) return std::nullopt;
  return FirstColourIn(std::string_view(lower).substr(at + phrase.size()));
}

std::optional<Color> Description::ColourOf(std::string_view noun, int* width) const {
  const size_t at = lower.find(noun);
  if (at == std::string::npos) return std::nullopt;
  // The clause starts after the last separator outside parentheses.
  size_t start = at;
  for (int depth = 0; start > 0; --start) {
    const char c = lower[start - 1];
    if (c == ')') ++depth;
    if (c == '(') --depth;
    if (depth == 0 && (c == ',' || c == ';' || c == ':')) break;
  }
  const std::string_view clause = std::string_view(lower).substr(start, at - start);
  if (width) {
    const size_t pixel = clause.find("-pixel");
    if (pixel != std::string::npos && pixel > 0 &&
        std::isdigit(static_cast<unsigned char>(clause[pixel - 1])))
      *width = clause[pixel - 1] - '0';
  }
  const Description inner = ParseDescription(clause);
  if (!inner.colours.empty()) return inner.colours.back();
  // The last colour word, with the modifier standing before it.
  std::optional<Color> found;
  std::string_view modifier;
  size_t i = 0;
  while (i < clause.size()) {
    while (i < clause.size() && !IsWordChar(clause[i])) ++i;
    size_t end = i, length = 0;
    while (end < clause.size() && IsWordChar(clause[end])) ++end;
    if (const auto colour = NameAt(clause, i, &length)) {
      found = Shade(*colour, modifier);
      end = i + length;
    }
    const std::string_view word = clause.substr(i, end - i);
    modifier = IsModifier(word) ? word : std::string_view();
    i = end;
  }
  return found;
}

std::string Description::CapitalWord(std::string_view fallback) const {
  size_t i = 0;
  while (i < text.size()) {
    size_t end = i;
    while (end < text.size() && std::isupper(static_cast<unsigned char>(text[end]))) ++end;
    const bool wordStart = i == 0 || !std::isalnum(static_cast<unsigned char>(text[i - 1]));
    const bool wordEnd = end == text.size() || !std::isalnum(static_cast<unsigned char>(text[end]));
    if (end - i >= 2 && wordStart && wordEnd && text.substr(i, end - i) != "CD")
      return text.substr(i, end - i);
    i = end + 1;
  }
  return std::string(fallback);
}

int Description::NumberAfter(std::string_view phrase, int fallback) const {
  const size_t at = lower.find(phrase);
  if (at == std::string::npos) return fallback;
  const char* start = lower.c_str() + at + phrase.size();
  while (*start == ' ') ++start;
  if (!std::isdigit(static_cast<unsigned char>(*start))) return fallback;
  return static_cast<int>(std::strtol(start, nullptr, 10));
}

Description ParseDescription(std::string_view text) {
  Description d;
  d.text = std::string(text);
  d.lower = d.text;
  for (char& c : d.lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t i = 0; i < d.lower.size(); ++i) {
    if (d.lower[i] == '(') {
      int r = 0, g = 0, b = 0, used = 0;
      if (std::sscanf(d.lower.c_str() + i, "(%d ,%d ,%d )%n", &r, &g, &b, &used) == 3 && used > 0 &&
          r >= 0 && g >= 0 && b >= 0 && r < 256 && g < 256 && b < 256) {
        d.colours.push_back({static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)});
        i += static_cast<size_t>(used) - 1;
      }
      continue;
    }
    size_t length = 0;
    if ((i == 0 || !IsWordChar(d.lower[i - 1])))
      if (const auto colour = NameAt(d.lower, i, &length)) {
        d.named.push_back(*colour);
        i += length - 1;
      }
  }
  return d;
}

std::optional<Color> ColourByName(std::string_view words) {
  std::string lower(words);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return FirstColourIn(lower);
}

}  // namespace varnel_art
