// Tune score fuzzer: arbitrary text as a score. The parser either names a
// faulty line or returns a song whose parts fit together; every module
// writer either refuses the song with a format error or writes it, and
// writing is deterministic.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/chiptune/module_writer.hpp"
#include "tools/chiptune/score_parser.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckSong(const chiptune::Song& song) {
  Check(song.channels >= 1 && song.channels <= 32);
  Check(!song.order.empty() && song.restart >= 0 &&
        song.restart < static_cast<int>(song.order.size()));
  for (int index : song.order) Check(index >= 0 && index < static_cast<int>(song.patterns.size()));
  const int instruments = static_cast<int>(song.instruments.size());
  for (const chiptune::Pattern& pattern : song.patterns) {
    Check(pattern.channels == song.channels && pattern.rows >= 1);
    Check(pattern.cells.size() == static_cast<size_t>(pattern.rows * pattern.channels));
    for (const chiptune::Cell& cell : pattern.cells) {
      if (cell.note >= 0) Check(cell.instrument >= 1 && cell.instrument <= instruments);
      if (cell.note < 0) Check(cell.instrument == 0);
      Check(cell.volume >= chiptune::kNoVolume && cell.volume <= 64);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  chiptune::Song song;
  try {
    song = chiptune::ParseScore(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const chiptune::ScoreError& error) {
    Check(error.line() >= 0);
    return 0;
  }
  CheckSong(song);
  for (chiptune::ModuleFormat format : {chiptune::ModuleFormat::Xm, chiptune::ModuleFormat::Mod,
                                        chiptune::ModuleFormat::S3m, chiptune::ModuleFormat::It}) {
    try {
      const std::vector<uint8_t> bytes = chiptune::WriteModule(song, format);
      Check(!bytes.empty());
      if (format == chiptune::ModuleFormat::Xm) Check(bytes == chiptune::WriteModule(song, format));
    } catch (const chiptune::FormatError&) {
    }
  }
  return 0;
}
