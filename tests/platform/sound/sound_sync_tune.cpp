#include "tests/platform/sound/sound_sync_tune.hpp"

#include <regex>

#include "tools/chiptune/score_parser.hpp"

namespace sync_tune {
namespace {

// Held notes on both channels, so that panning or tuning would be heard.
constexpr const char* kScore = R"(title "Sync Marks"
tempo 125
speed 6
channels 2
instrument 1 "Lead" square duty=30 volume=48 sustain=100 base=C-4
instrument 2 "Low" saw volume=40 sustain=100 base=C-3
pattern a 16
C-4 01 .. E81 | C-3 02
.             | .
.             | .
.             | .
.             | . .. .. E83
E-4 01        | .
.             | .
.             | G-3 02
.             | .
G-4 01 .. E8F | .
.             | .
.             | .
.             | .
.             | .
.             | .
.             | .
end
pattern b 16
A-4 01        | F-3 02
.             | .
. .. .. E80   | .
.             | .
.             | .
.             | .
.             | .
C-5 01 .. E86 | . .. .. E85
.             | .
.             | .
.             | .
.             | .
.             | .
.             | .
.             | .
.             | .
end
order a b a
)";

}  // namespace

const std::vector<Expected>& Syncs() {
  static const std::vector<Expected> kSyncs = {
      {0, 0, 1}, {0, 4, 3}, {0, 9, 15}, {1, 2, 0}, {1, 7, 6},
      {1, 7, 5}, {2, 0, 1}, {2, 4, 3},  {2, 9, 15}};
  return kSyncs;
}

std::vector<uint8_t> Write(chiptune::ModuleFormat format, bool withSyncs) {
  std::string score = kScore;
  if (!withSyncs) score = std::regex_replace(score, std::regex("(\\.\\. )?E8[0-9A-F]"), "");
  return chiptune::WriteModule(chiptune::ParseScore(score), format);
}

}  // namespace sync_tune
