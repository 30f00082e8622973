// Byte-to-Unicode tables of the two character sets the text layer knows:
// the OEM set (code page 437, with its graphic glyphs for the control bytes)
// and the Windows ANSI set (code page 1252).
#pragma once

#include <cstdint>

namespace platform {

char32_t Cp437ToUnicode(std::uint8_t byte);
char32_t Cp1252ToUnicode(std::uint8_t byte);

}  // namespace platform
