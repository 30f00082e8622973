// The sample demo's content: every object, scene and picture the demo opens,
// under the names and folders it asks for.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/marigold_content/lwo2_writer.hpp"
#include "tools/marigold_content/lws_writer.hpp"
#include "tools/marigold_content/pictures.hpp"

namespace demotools {

// Objects by path under the content folder, e.g. "objects/spiral_cube.lwo".
std::map<std::string, ObjectFile> DemoObjects();
// Scenes by path, e.g. "scenes/PicSpiral.lws".
std::map<std::string, Scene> DemoScenes();
// Pictures by path, e.g. "small1.jpg", "images/metal.jpg".
std::map<std::string, Picture> DemoPictures();

// Writes everything under `folder` (created as needed); returns the paths
// written, or stops at the first failure with `error` set.
bool WriteDemoContent(const std::string& folder, std::vector<std::string>* written, std::string* error);

}  // namespace demotools
