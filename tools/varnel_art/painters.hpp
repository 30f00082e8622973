// The painters behind MakePicture, one per motif, grouped by file.
#pragma once

#include <string>

#include "tools/varnel_art/canvas.hpp"
#include "tools/varnel_art/picture_art.hpp"

namespace varnel_art {

using Painter = bool (*)(const PictureJob& job, Canvas* canvas, std::string* error);

// painters_menu.cpp: 28 x 28 menu buttons.
bool PaintFloppyButton(const PictureJob&, Canvas*, std::string*);
bool PaintSheetsButton(const PictureJob&, Canvas*, std::string*);
bool PaintTagsButton(const PictureJob&, Canvas*, std::string*);
bool PaintPointerButton(const PictureJob&, Canvas*, std::string*);
bool PaintTrackerButton(const PictureJob&, Canvas*, std::string*);
bool PaintBubbleButton(const PictureJob&, Canvas*, std::string*);
bool PaintLighthouseButton(const PictureJob&, Canvas*, std::string*);
bool PaintPixelGridButton(const PictureJob&, Canvas*, std::string*);
bool PaintDissolveButton(const PictureJob&, Canvas*, std::string*);
bool PaintQuestionButton(const PictureJob&, Canvas*, std::string*);

// painters_controls.cpp: player buttons and small widgets.
bool PaintCdButton(const PictureJob&, Canvas*, std::string*);
bool PaintNoteButton(const PictureJob&, Canvas*, std::string*);
bool PaintSilenceButton(const PictureJob&, Canvas*, std::string*);
bool PaintWordButton(const PictureJob&, Canvas*, std::string*);
bool PaintMiniScreen(const PictureJob&, Canvas*, std::string*);

// painters_objects.cpp: things on a transparent background.
bool PaintFloppy(const PictureJob&, Canvas*, std::string*);
bool PaintMouse(const PictureJob&, Canvas*, std::string*);
bool PaintBall(const PictureJob&, Canvas*, std::string*);
bool PaintTicket(const PictureJob&, Canvas*, std::string*);
bool PaintMasthead(const PictureJob&, Canvas*, std::string*);

// painters_charts.cpp: demonstrations and screens.
bool PaintStripes(const PictureJob&, Canvas*, std::string*);
bool PaintRamp(const PictureJob&, Canvas*, std::string*);
bool PaintDither(const PictureJob&, Canvas*, std::string*);
bool PaintMaps(const PictureJob&, Canvas*, std::string*);
bool PaintWaves(const PictureJob&, Canvas*, std::string*);
bool PaintTrackerScreen(const PictureJob&, Canvas*, std::string*);

// painters_scenes.cpp: pictures of places and people, and the general
// painters for descriptions no motif above matches.
bool PaintPortrait(const PictureJob&, Canvas*, std::string*);
bool PaintHall(const PictureJob&, Canvas*, std::string*);
bool PaintGradient(const PictureJob&, Canvas*, std::string*);
bool PaintBars(const PictureJob&, Canvas*, std::string*);
bool PaintCheckerboard(const PictureJob&, Canvas*, std::string*);
bool PaintOrb(const PictureJob&, Canvas*, std::string*);
bool PaintStarfield(const PictureJob&, Canvas*, std::string*);
bool PaintGrid(const PictureJob&, Canvas*, std::string*);
bool PaintGlyph(const PictureJob&, Canvas*, std::string*);
bool PaintSunset(const PictureJob&, Canvas*, std::string*);

// Shared by the painters: the main and second colour a general painter
// uses, from (R,G,B) colours first, then colour words, then the fallbacks.
Color MainColour(const PictureJob& job, uint32_t fallback);
Color SecondColour(const PictureJob& job, uint32_t fallback);
// The 2-pixel border of highlighted variants, in the colour their
// description gives.
void HoverBorder(const PictureJob& job, Canvas* canvas, uint32_t fallback);

}  // namespace varnel_art
