// varnel-rs check: lints an issue the way a reader would hit it. Every
// problem is one line naming the file (and the article line where there is
// one); a fatal error in one article does not hide the others.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tools/common/tool_support.hpp"
#include "tools/varnel_rs/article_checks.hpp"
#include "tools/varnel_rs/commands.hpp"
#include "tools/varnel_rs/isolated.hpp"
#include "varnel/media/gif_decoder.hpp"
#include "varnel/media/picture.hpp"
#include "varnel/media/resource_archive.hpp"

using namespace varnel;

namespace varnel_rs {
namespace {

namespace fs = std::filesystem;

struct RequiredPicture {
  const char* name;
  int width, height;
  void (*load)(const char*, Picture*);
};

void LoadIndexedAsPicture(const char* name, Picture* picture) {
  IndexedImage image{};
  uint8_t palette[kGifPaletteBytes];
  LoadGifIndexed(name, &image, palette);
  picture->width = image.width;
  picture->height = image.height;
  std::free(image.pixels);
}

const RequiredPicture kRequiredPictures[] = {
    {"DATA/p1.gif", 282, 19, LoadGifPicture},
    {"DATA/panel0.png", 640, 480, LoadPngPicture},
    {"DATA/panel1.png", 640, 480, LoadPngPicture},
    {"DATA/pmap.gif", 640, 480, LoadIndexedAsPicture},
    {"DATA/begcvr.jpg", 640, 480, LoadJpegPicture},
    {"DATA/endcvr.jpg", 640, 480, LoadJpegPicture},
};

void CheckRequiredFiles(Problems* problems) {
  for (const RequiredPicture& required : kRequiredPictures) {
    if (!InArchive(required.name)) {
      problems->Add(required.name, 0, "missing from the archive");
      continue;
    }
    const IsolatedResult result = RunIsolated([&] {
      Picture picture{};
      required.load(required.name, &picture);
      std::printf("%dx%d", picture.width, picture.height);
    });
    const std::string expected = std::to_string(required.width) + "x" + std::to_string(required.height);
    if (!result.completed) {
      problems->Add(required.name, 0, result.failure);
    } else if (result.out != expected) {
      problems->Add(required.name, 0, "is " + result.out + ", must be " + expected);
    }
  }
  if (!InArchive("DATA/font1.fnt")) {
    problems->Add("DATA/font1.fnt", 0, "missing from the archive");
  } else {
    int32_t size = 0;
    std::free(LoadBinaryFile("DATA/font1.fnt", &size));
    if (size != 4096) problems->Add("DATA/font1.fnt", 0, "is " + std::to_string(size) + " bytes, must be 4096");
  }
  for (const char* name : {"ARTS/menu.vn2", "ARTS/help.txt"})
    if (!InArchive(name)) problems->Add(name, 0, "missing from the archive");
}

// The menu, the help page, every ART: target they lead to, and every other
// entry under ARTS/.
std::vector<std::string> ArticlesToCheck(CheckContext& context, Problems* problems) {
  std::vector<std::string> order;
  std::set<std::string> seen;
  std::deque<std::string> queue = {"ARTS/menu.vn2", "ARTS/help.txt"};
  for (const ResourceDirectoryEntry* e = ResourceDirectory(); e; e = e->next)
    if (strncasecmp(e->name, "ARTS/", 5) == 0 || strncasecmp(e->name, "ARTS\\", 5) == 0) queue.push_back(e->name);
  while (!queue.empty()) {
    const std::string name = queue.front();
    queue.pop_front();
    const std::string key = CanonicalName(name);
    if (!seen.insert(key).second || !InArchive(name.c_str())) continue;
    order.push_back(name);
    for (const std::string& target : CheckArticleText(name, context, problems)) queue.push_back(target);
  }
  return order;
}

}  // namespace

int Check(const std::vector<std::string>& args, const char* usage) {
  if (args.size() != 1) tools::UsageError(usage);
  CheckContext context;
  context.moduleDirectory = fs::path(tools::AbsolutePath(args[0])).parent_path().string();
  const std::string absolute = tools::AbsolutePath(args[0]);
  tools::EnterScratchDirectory();
  SetResourceArchivePath(absolute.c_str());
  OpenResourceArchive();

  Problems problems;
  CheckRequiredFiles(&problems);
  const std::vector<std::string> articles = ArticlesToCheck(context, &problems);
  for (const std::string& article : articles) CheckArticleLayout(article, &problems);

  if (problems.count > 0) {
    std::printf("%d problem%s\n", problems.count, problems.count == 1 ? "" : "s");
    return 1;
  }
  std::printf("ok: %zu articles, %d pictures, %d modules\n", articles.size(), context.picturesChecked,
              context.modulesChecked);
  return 0;
}

}  // namespace varnel_rs
