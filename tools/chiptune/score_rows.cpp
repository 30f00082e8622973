#include "tools/chiptune/score_rows.hpp"

#include <cctype>
#include <string>

#include "tools/chiptune/score_parser.hpp"

namespace chiptune {
namespace {

bool IsPlaceholder(std::string_view token) {
  if (token.empty()) return false;
  for (char c : token)
    if (c != '.' && c != '-') return false;
  return true;
}

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const size_t start = i;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

// Fields are at most two digits wide.
int ParseDecimal(std::string_view token, int low, int high, const char* what, int line) {
  int value = 0;
  bool ok = !token.empty() && token.size() <= 2;
  for (size_t i = 0; ok && i < token.size(); ++i) {
    ok = std::isdigit(static_cast<unsigned char>(token[i])) != 0;
    value = value * 10 + (token[i] - '0');
  }
  if (!ok || value < low || value > high)
    throw ScoreError(line, std::string(what) + " must be " + std::to_string(low) + ".." +
                               std::to_string(high) + ", not '" + std::string(token) + "'");
  return value;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void ParseEffect(std::string_view token, int line, Cell* cell) {
  const std::string text(token);
  if (token.size() != 3 || HexDigit(token[1]) < 0 || HexDigit(token[2]) < 0)
    throw ScoreError(line, "effect '" + text + "' must be a letter and two hex digits");
  const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(token[0])));
  const int x = HexDigit(token[1]), y = HexDigit(token[2]);
  const int xy = x * 16 + y;
  cell->param = static_cast<uint8_t>(xy);
  switch (kind) {
    case '0':
      if (xy == 0) throw ScoreError(line, "arpeggio 000 does nothing; leave the effect empty");
      cell->effect = Effect::Arpeggio;
      return;
    case '1':
    case '2':
      if (xy == 0 || xy > 0xDF) throw ScoreError(line, "portamento '" + text + "' needs 01..DF");
      cell->effect = kind == '1' ? Effect::PortaUp : Effect::PortaDown;
      return;
    case '3':
      cell->effect = Effect::TonePorta;
      return;
    case '4':
      cell->effect = Effect::Vibrato;
      return;
    case 'A':
      if ((x == 0) == (y == 0) || x == 15 || y == 15)
        throw ScoreError(line, "volume slide '" + text + "' needs x0 or 0y with 1..E");
      cell->effect = Effect::VolumeSlide;
      return;
    case 'E':
      if ((x == 0xC || x == 0xD) && y > 0) {
        cell->effect = x == 0xC ? Effect::NoteCut : Effect::NoteDelay;
        cell->param = static_cast<uint8_t>(y);
        return;
      }
      if (x == 0x8) {
        cell->effect = Effect::Sync;
        cell->param = static_cast<uint8_t>(y);
        return;
      }
      throw ScoreError(line, "effect '" + text +
                                 "': only E8x (sync), ECx (cut) and EDx (delay), x 1..F");
    case 'B':
    case 'D':
      throw ScoreError(line,
                       "effect '" + text + "': jumps and breaks come from 'order' and 'restart'");
    case 'C':
      throw ScoreError(line, "effect '" + text + "': write the volume in the volume field");
    case 'F':
      throw ScoreError(line, "effect '" + text + "': set 'speed' and 'tempo' for the song");
    default:
      throw ScoreError(line, "unsupported effect '" + text + "'");
  }
}

Cell ParseCell(std::string_view text, int line) {
  const std::vector<std::string_view> words = SplitWords(text);
  if (words.size() > 4)
    throw ScoreError(
        line, "cell '" + std::string(text) + "' has more than NOTE INSTRUMENT VOLUME EFFECT");
  Cell cell;
  if (words.size() > 0 && !ParseNote(words[0], &cell.note))
    throw ScoreError(line, "'" + std::string(words[0]) + "' is not a note (C-4, F#2, ===)");
  if (words.size() > 1 && !IsPlaceholder(words[1]))
    cell.instrument = ParseDecimal(words[1], 1, 99, "instrument", line);
  if (words.size() > 2 && !IsPlaceholder(words[2]))
    cell.volume = ParseDecimal(words[2], 0, 64, "volume", line);
  if (words.size() > 3 && !IsPlaceholder(words[3])) ParseEffect(words[3], line, &cell);
  if (cell.instrument != 0 && cell.note == kNoNote)
    throw ScoreError(line, "instrument " + std::to_string(cell.instrument) + " without a note");
  if (cell.instrument != 0 && cell.note == kNoteOff)
    throw ScoreError(line, "note off (===) takes no instrument");
  return cell;
}

}  // namespace

bool ParseNote(std::string_view text, int* note) {
  if (IsPlaceholder(text)) {
    *note = kNoNote;
    return true;
  }
  if (text == "===") {
    *note = kNoteOff;
    return true;
  }
  if (text.size() != 3) return false;
  static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (letter < 'A' || letter > 'G' || (text[1] != '-' && text[1] != '#')) return false;
  if (text[2] < '0' || text[2] > '8') return false;
  const int semitone = kSemitone[letter - 'A'] + (text[1] == '#' ? 1 : 0);
  if (text[1] == '#' && (letter == 'E' || letter == 'B')) return false;
  *note = (text[2] - '0' + 1) * 12 + semitone;
  return true;
}

std::vector<Cell> ParseRow(std::string_view text, int channels, int line) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t bar = text.find('|'); bar != std::string_view::npos; bar = text.find('|', start)) {
    parts.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  parts.push_back(text.substr(start));
  if (parts.size() == 1 && channels > 1) {
    const std::vector<std::string_view> words = SplitWords(text);
    if (words.size() == 1 && IsPlaceholder(words[0])) return std::vector<Cell>(channels);
  }
  if (static_cast<int>(parts.size()) != channels)
    throw ScoreError(line, "row has " + std::to_string(parts.size()) + " cells; the song has " +
                               std::to_string(channels) + " channels");
  std::vector<Cell> cells;
  for (std::string_view part : parts) cells.push_back(ParseCell(part, line));
  return cells;
}

}  // namespace chiptune
