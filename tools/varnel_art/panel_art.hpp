// The two frame pictures around the text window: header with the title
// artwork (rows 0-104), a dark text window (rows 105-384) and a footer with
// the title slot at (64, 432) and the scroll-bar recess at x 97-236, y 396-414.
#pragma once

#include <string>

#include "tools/varnel_art/canvas.hpp"

namespace varnel_art {

constexpr int kScreenWidth = 640, kScreenHeight = 480;
constexpr int kWindowTop = 105, kWindowBottom = 385;  // bottom exclusive

struct IssueInfo {
  std::string title = "SALTGLASS";
  int number = 3;
};

enum class PanelLook {
  BlueSteel,  // panel0
  Copper,     // panel1
};

bool MakePanel(PanelLook look, const IssueInfo& issue, Canvas* panel, std::string* error);

}  // namespace varnel_art
