#include "tools/chiptune/effect_codes.hpp"

namespace chiptune {
namespace {

constexpr uint8_t Letter(char letter) { return static_cast<uint8_t>(letter - 'A' + 1); }

}  // namespace

EffectCode ProTrackerEffect(const Cell& cell) {
  const uint8_t p = cell.param;
  switch (cell.effect) {
    case Effect::None:
      return {};
    case Effect::Arpeggio:
      return {0x0, p};
    case Effect::PortaUp:
      return {0x1, p};
    case Effect::PortaDown:
      return {0x2, p};
    case Effect::TonePorta:
      return {0x3, p};
    case Effect::Vibrato:
      return {0x4, p};
    case Effect::VolumeSlide:
      return {0xA, p};
    case Effect::PositionJump:
      return {0xB, p};
    case Effect::SetVolume:
      return {0xC, p};
    case Effect::PatternBreak:
      return {0xD, 0};
    case Effect::NoteCut:
      return {0xE, static_cast<uint8_t>(0xC0 | p)};
    case Effect::NoteDelay:
      return {0xE, static_cast<uint8_t>(0xD0 | p)};
    case Effect::Sync:
      return {0xE, static_cast<uint8_t>(0x80 | p)};
    case Effect::SetSpeed:
    case Effect::SetTempo:
      return {0xF, p};
  }
  return {};
}

EffectCode ScreamTrackerEffect(const Cell& cell) {
  const uint8_t p = cell.param;
  switch (cell.effect) {
    case Effect::None:
    case Effect::SetVolume:  // these formats have a volume column
      return {};
    case Effect::Arpeggio:
      return {Letter('J'), p};
    case Effect::PortaUp:
      return {Letter('F'), p};
    case Effect::PortaDown:
      return {Letter('E'), p};
    case Effect::TonePorta:
      return {Letter('G'), p};
    case Effect::Vibrato:
      return {Letter('H'), p};
    case Effect::VolumeSlide:
      return {Letter('D'), p};
    case Effect::PositionJump:
      return {Letter('B'), p};
    case Effect::PatternBreak:
      return {Letter('C'), 0};
    case Effect::NoteCut:
      return {Letter('S'), static_cast<uint8_t>(0xC0 | p)};
    case Effect::NoteDelay:
      return {Letter('S'), static_cast<uint8_t>(0xD0 | p)};
    case Effect::Sync:
      return {Letter('S'), static_cast<uint8_t>(0x20 | p)};
    case Effect::SetSpeed:
      return {Letter('A'), p};
    case Effect::SetTempo:
      return {Letter('T'), p};
  }
  return {};
}

}  // namespace chiptune
