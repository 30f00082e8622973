#include "tools/chiptune/score_parser.hpp"

#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <vector>

#include "tools/chiptune/score_rows.hpp"

namespace chiptune {

ScoreError::ScoreError(int line, const std::string& message)
    : std::runtime_error(line > 0 ? "line " + std::to_string(line) + ": " + message : message),
      line_(line),
      message_(message) {}

namespace {

constexpr int kMaxRows = 256;
constexpr int kMaxOrders = 256;

struct Token {
  std::string text;
  bool quoted = false;
};

// Words and "quoted strings". A '#' that begins a word starts a comment;
// inside a word it is part of it (the sharp of "C#4").
std::vector<Token> Tokenize(std::string_view text, int line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      const size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) throw ScoreError(line, "unterminated \"string\"");
      tokens.push_back({std::string(text.substr(i + 1, close - i - 1)), true});
      i = close + 1;
    } else {
      const size_t start = i;
      while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) &&
             text[i] != '"')
        ++i;
      tokens.push_back({std::string(text.substr(start, i - start)), false});
    }
  }
  return tokens;
}

// A row line without its comment: a '#' at the start or after a blank.
std::string_view StripComment(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(text[i - 1]))))
      return text.substr(0, i);
  return text;
}

bool IsBlank(std::string_view text) {
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) return false;
  return true;
}

int Number(const std::string& text, int low, int high, const std::string& what, int line) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data() + (text.starts_with('+') ? 1 : 0), end, value);
  if (ec != std::errc() || ptr != end || text.empty() || value < low || value > high)
    throw ScoreError(line, what + " must be a whole number " + std::to_string(low) + ".." +
                               std::to_string(high) + ", not '" + text + "'");
  return value;
}

std::string Name(const Token& token, const char* what, int line) {
  if (!token.quoted) throw ScoreError(line, std::string(what) + " must be in \"quotes\"");
  for (char c : token.text)
    if (c < 0x20 || c > 0x7E) throw ScoreError(line, std::string(what) + " must be plain ASCII");
  return token.text;
}

bool IsIdentifier(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.')
      return false;
  return true;
}

Waveform ParseWaveform(const std::string& text, int line) {
  if (text == "square") return Waveform::Square;
  if (text == "triangle") return Waveform::Triangle;
  if (text == "saw") return Waveform::Saw;
  if (text == "sine") return Waveform::Sine;
  if (text == "noise") return Waveform::Noise;
  throw ScoreError(line, "unknown waveform '" + text + "' (square, triangle, saw, sine, noise)");
}

void SetInstrumentKey(const std::string& key, const std::string& value, int line,
                      Instrument* instrument) {
  if (key == "duty") {
    if (instrument->wave != Waveform::Square)
      throw ScoreError(line, "duty belongs to the square waveform");
    instrument->duty = Number(value, 1, 99, "duty", line);
  } else if (key == "volume") {
    instrument->volume = Number(value, 0, 64, "volume", line);
  } else if (key == "attack") {
    instrument->attackMs = Number(value, 0, 5000, "attack", line);
  } else if (key == "decay") {
    instrument->decayMs = Number(value, 0, 10000, "decay", line);
  } else if (key == "sustain") {
    instrument->sustain = Number(value, 0, 100, "sustain", line);
  } else if (key == "sweep") {
    instrument->sweep = Number(value, -48, 48, "sweep", line);
  } else if (key == "sweeptime") {
    instrument->sweepMs = Number(value, 0, 5000, "sweeptime", line);
  } else if (key == "base") {
    if (!ParseNote(value, &instrument->baseNote) || instrument->baseNote < 0)
      throw ScoreError(line, "base must be a note such as C-4, not '" + value + "'");
  } else {
    throw ScoreError(line, "unknown instrument setting '" + key +
                               "' (duty, volume, attack, decay, sustain, sweep, sweeptime, base)");
  }
}

class Parser {
 public:
  Song Run(std::string_view text);

 private:
  void Statement(const std::vector<Token>& tokens, int line);
  void SetOnce(const std::string& key, int line);
  void ParseInstrument(const std::vector<Token>& tokens, int line);
  void OpenPattern(const std::vector<Token>& tokens, int line);
  void PatternLine(std::string_view text, int line);
  void ClosePattern(int line);
  void Finish();

  Song song_;
  std::map<std::string, int> firstSet_;  // statement -> line
  std::map<std::string, int> patternIndex_;
  std::vector<std::pair<std::string, int>> orderNames_;  // name, line
  std::vector<std::pair<int, int>> instrumentUses_;      // instrument, line
  std::optional<int> restartLine_;
  // The pattern being read.
  bool inPattern_ = false;
  int patternLine_ = 0;
  int declaredRows_ = 0;
  std::vector<int> channelInstrument_;
};

Song Parser::Run(std::string_view text) {
  int line = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view content = text.substr(start, end - start);
    if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
    ++line;
    if (inPattern_) {
      PatternLine(content, line);
    } else {
      const std::vector<Token> tokens = Tokenize(content, line);
      if (!tokens.empty()) Statement(tokens, line);
    }
    start = end + 1;
  }
  if (inPattern_)
    throw ScoreError(patternLine_,
                     "pattern '" + song_.patterns.back().name + "' is not closed with 'end'");
  Finish();
  return std::move(song_);
}

void Parser::SetOnce(const std::string& key, int line) {
  const auto [it, added] = firstSet_.emplace(key, line);
  if (!added)
    throw ScoreError(line, "'" + key + "' is already set on line " + std::to_string(it->second));
}

void Parser::Statement(const std::vector<Token>& tokens, int line) {
  const std::string& key = tokens[0].text;
  if (tokens[0].quoted) throw ScoreError(line, "a line starts with a keyword, not a string");
  const auto expectOne = [&] {
    if (tokens.size() != 2) throw ScoreError(line, "'" + key + "' takes one value");
  };
  if (key == "title") {
    SetOnce(key, line);
    expectOne();
    song_.title = Name(tokens[1], "the title", line);
  } else if (key == "tempo") {
    SetOnce(key, line);
    expectOne();
    song_.tempo = Number(tokens[1].text, 32, 255, "tempo", line);
  } else if (key == "speed") {
    SetOnce(key, line);
    expectOne();
    song_.speed = Number(tokens[1].text, 1, 31, "speed", line);
  } else if (key == "channels") {
    SetOnce(key, line);
    expectOne();
    if (!song_.patterns.empty()) throw ScoreError(line, "'channels' must come before patterns");
    song_.channels = Number(tokens[1].text, 1, 32, "channels", line);
  } else if (key == "restart") {
    SetOnce(key, line);
    expectOne();
    song_.restart = Number(tokens[1].text, 0, kMaxOrders - 1, "restart", line);
    restartLine_ = line;
  } else if (key == "instrument") {
    ParseInstrument(tokens, line);
  } else if (key == "pattern") {
    OpenPattern(tokens, line);
  } else if (key == "order") {
    if (tokens.size() < 2) throw ScoreError(line, "'order' names one or more patterns");
    for (size_t i = 1; i < tokens.size(); ++i) orderNames_.emplace_back(tokens[i].text, line);
    if (orderNames_.size() > kMaxOrders)
      throw ScoreError(line, "the order list is longer than " + std::to_string(kMaxOrders));
  } else if (key == "end") {
    throw ScoreError(line, "'end' without a pattern");
  } else {
    throw ScoreError(line, "unknown keyword '" + key +
                               "' (title, tempo, speed, channels, restart, instrument, pattern, "
                               "order)");
  }
}

void Parser::ParseInstrument(const std::vector<Token>& tokens, int line) {
  if (tokens.size() < 4)
    throw ScoreError(line, "instrument NUMBER \"name\" WAVEFORM [key=value...]");
  const int number = Number(tokens[1].text, 1, 99, "the instrument number", line);
  const int expected = static_cast<int>(song_.instruments.size()) + 1;
  if (number != expected)
    throw ScoreError(line, "instrument " + std::to_string(number) + " should be numbered " +
                               std::to_string(expected) + " (instruments count up from 1)");
  Instrument instrument;
  instrument.name = Name(tokens[2], "the instrument name", line);
  instrument.wave = ParseWaveform(tokens[3].text, line);
  std::map<std::string, bool> seen;
  for (size_t i = 4; i < tokens.size(); ++i) {
    const std::string& setting = tokens[i].text;
    const size_t equals = setting.find('=');
    if (tokens[i].quoted || equals == std::string::npos)
      throw ScoreError(line, "instrument setting '" + setting + "' must be key=value");
    const std::string key = setting.substr(0, equals);
    if (!seen.emplace(key, true).second)
      throw ScoreError(line, "instrument setting '" + key + "' given twice");
    SetInstrumentKey(key, setting.substr(equals + 1), line, &instrument);
  }
  if (instrument.sustain == 0 && instrument.decayMs == 0)
    throw ScoreError(line, "sustain=0 needs a decay time (decay=MS) or the sound is empty");
  if (instrument.sweep != 0 && instrument.sweepMs == 0)
    throw ScoreError(line, "sweep needs a glide time (sweeptime=MS)");
  if (instrument.sweep != 0 && instrument.wave == Waveform::Noise)
    throw ScoreError(line, "noise has no pitch to sweep");
  song_.instruments.push_back(instrument);
}

void Parser::OpenPattern(const std::vector<Token>& tokens, int line) {
  if (song_.channels == 0) throw ScoreError(line, "set 'channels' before the first pattern");
  if (tokens.size() < 2 || tokens.size() > 3) throw ScoreError(line, "pattern NAME [ROWS]");
  const std::string& name = tokens[1].text;
  if (tokens[1].quoted || !IsIdentifier(name))
    throw ScoreError(line, "pattern name '" + name + "' may use letters, digits, '_', '-', '.'");
  if (!patternIndex_.emplace(name, static_cast<int>(song_.patterns.size())).second)
    throw ScoreError(line, "pattern '" + name + "' is already defined");
  declaredRows_ = tokens.size() == 3 ? Number(tokens[2].text, 1, kMaxRows, "rows", line) : 0;
  Pattern pattern;
  pattern.name = name;
  pattern.channels = song_.channels;
  song_.patterns.push_back(pattern);
  channelInstrument_.assign(static_cast<size_t>(song_.channels), 0);
  inPattern_ = true;
  patternLine_ = line;
}

void Parser::PatternLine(std::string_view text, int line) {
  text = StripComment(text);
  if (IsBlank(text)) return;
  const std::vector<Token> tokens = Tokenize(text, line);
  if (tokens.size() == 1 && tokens[0].text == "end" && !tokens[0].quoted) {
    ClosePattern(line);
    return;
  }
  Pattern& pattern = song_.patterns.back();
  const int limit = declaredRows_ > 0 ? declaredRows_ : kMaxRows;
  if (pattern.rows == limit)
    throw ScoreError(
        line, "pattern '" + pattern.name + "' has more than " + std::to_string(limit) + " rows");
  std::vector<Cell> cells = ParseRow(text, song_.channels, line);
  for (size_t channel = 0; channel < cells.size(); ++channel) {
    Cell& cell = cells[channel];
    if (cell.instrument != 0) {
      channelInstrument_[channel] = cell.instrument;
      instrumentUses_.emplace_back(cell.instrument, line);
    } else if (cell.note >= 0) {
      cell.instrument = channelInstrument_[channel];
      if (cell.instrument == 0)
        throw ScoreError(line, "note " + NoteName(cell.note) + " in channel " +
                                   std::to_string(channel + 1) +
                                   " has no instrument yet in this pattern");
    }
  }
  pattern.cells.insert(pattern.cells.end(), cells.begin(), cells.end());
  ++pattern.rows;
}

void Parser::ClosePattern(int line) {
  Pattern& pattern = song_.patterns.back();
  if (pattern.rows == 0 && declaredRows_ == 0)
    throw ScoreError(line, "pattern '" + pattern.name + "' has no rows");
  if (pattern.rows < declaredRows_) {
    pattern.cells.resize(static_cast<size_t>(declaredRows_ * pattern.channels));
    pattern.rows = declaredRows_;
  }
  inPattern_ = false;
}

void Parser::Finish() {
  if (song_.channels == 0) throw ScoreError(0, "the score sets no 'channels'");
  if (song_.instruments.empty()) throw ScoreError(0, "the score has no instruments");
  if (song_.patterns.empty()) throw ScoreError(0, "the score has no patterns");
  if (orderNames_.empty()) throw ScoreError(0, "the score has no 'order' list");
  for (const auto& [instrument, line] : instrumentUses_)
    if (instrument > static_cast<int>(song_.instruments.size()))
      throw ScoreError(line, "instrument " + std::to_string(instrument) + " is not defined");
  for (const auto& [name, line] : orderNames_) {
    const auto found = patternIndex_.find(name);
    if (found == patternIndex_.end())
      throw ScoreError(line, "the order names pattern '" + name + "', which is not defined");
    song_.order.push_back(found->second);
  }
  if (song_.restart >= static_cast<int>(song_.order.size()))
    throw ScoreError(*restartLine_, "restart " + std::to_string(song_.restart) +
                                        " is past the order list (positions 0.." +
                                        std::to_string(song_.order.size() - 1) + ")");
}

}  // namespace

Song ParseScore(std::string_view text) { return Parser().Run(text); }

}  // namespace chiptune
