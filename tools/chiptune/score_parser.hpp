// Reads a tune score: a plain-text description of a song that people write
// and read. The grammar is described in tools/chiptune/README.md.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/chiptune/song.hpp"

namespace chiptune {

// A fault in the score; line 0 means the score as a whole.
class ScoreError : public std::runtime_error {
 public:
  ScoreError(int line, const std::string& message);
  int line() const { return line_; }
  const std::string& message() const { return message_; }

 private:
  int line_;
  std::string message_;
};

// Throws ScoreError naming the first faulty line.
Song ParseScore(std::string_view text);

}  // namespace chiptune
