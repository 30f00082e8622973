// What a picture's description says, in the forms the painters use: words
// to choose a motif by, colours written as (R,G,B) in order, colour names,
// and the capitalised word or number to letter onto it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/varnel_art/canvas.hpp"

namespace varnel_art {

struct Description {
  std::string text;
  std::string lower;
  std::vector<Color> colours;  // every "(r,g,b)" in order of appearance
  std::vector<Color> named;    // colour words ("orange", "light blue") in order

  bool Has(std::string_view phrase) const { return lower.find(phrase) != std::string::npos; }
  // The index-th (R,G,B) colour, or the fallback.
  Color At(size_t index, uint32_t fallback) const;
  // The colour named right after `phrase` ("dots in orange": NamedAfter("dots in")).
  std::optional<Color> NamedAfter(std::string_view phrase) const;
  // The colour given just before `noun` in its clause ("a 2-pixel yellow
  // (255,224,96) border": ColourOf("border")), with the "N-pixel" width.
  std::optional<Color> ColourOf(std::string_view noun, int* width = nullptr) const;
  // The first word of two or more capitals ("PIXELS"), or the fallback.
  std::string CapitalWord(std::string_view fallback) const;
  // The first whole number after `phrase` ("the number 99"), or the fallback.
  int NumberAfter(std::string_view phrase, int fallback) const;
};

Description ParseDescription(std::string_view text);

// A colour word with an optional "light", "dark", "pale", "bright" before it.
std::optional<Color> ColourByName(std::string_view words);

}  // namespace varnel_art
