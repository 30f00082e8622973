#include "chipdisk/player/chip_tunes.hpp"

namespace chipdisk {
namespace {

constexpr int32_t kLineX = 120;
constexpr int32_t kLineWidth = 360;

}  // namespace

const TuneEntry kTunes[kTuneCount] = {
    {kLineX, 84, kLineWidth, 11, "data//7w3n7y_.it"},
    {kLineX, 95, kLineWidth, 13, "data//pussy.mod"},
    {kLineX, 108, kLineWidth, 13, "data//chiptu.s3m"},
    {kLineX, 120, kLineWidth, 14, "data//chipstep.xm"},
    {kLineX, 134, kLineWidth, 14, "data//short.xm"},
    {kLineX, 148, kLineWidth, 12, "data//dslectiq.xm"},
    {kLineX, 161, kLineWidth, 13, "data//zu_chp98.xm"},
    {kLineX, 174, kLineWidth, 14, "data//zu_regge.xm"},
    {kLineX, 187, kLineWidth, 13, "data//zu_trap2.xm"},
    {kLineX, 200, kLineWidth, 13, "data//kvo_fura.xm"},
    {kLineX, 213, kLineWidth, 13, "data//kvo_lrd.xm"},
    {kLineX, 226, kLineWidth, 12, "data//nikotine.xm"},
    {kLineX, 238, kLineWidth, 13, "data//chipt.xm"},
    {kLineX, 251, kLineWidth, 12, "data//bajka.xm"},
    {kLineX, 264, kLineWidth, 13, "data//Windofn.xm"},
    {kLineX, 305, kLineWidth, 11, "data//invi.xm"},
    {kLineX, 355, kLineWidth, 13, "data//sadness.xm"},
    {kLineX, 368, kLineWidth, 15, "data//chip.s3m"},
    {kLineX, 382, kLineWidth, 12, "data//chip.xm"},
};

}  // namespace chipdisk
