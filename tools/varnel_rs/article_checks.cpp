#include "tools/varnel_rs/article_checks.hpp"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/varnel_rs/isolated.hpp"
#include "varnel/media/name_compare.hpp"
#include "varnel/media/picture.hpp"
#include "varnel/media/resource_archive.hpp"
#include "varnel/text/article_parser.hpp"
#include "varnel/text/page_renderer.hpp"
#include "varnel/text/scrolling.hpp"
#include "varnel/text/text_surface.hpp"

using namespace varnel;

namespace varnel_rs {
namespace {

constexpr size_t kLongestLink = kLinkBytes - 1;
constexpr size_t kLongestArticleName = 255;

struct Tag {
  std::string name;
  std::string args;
  int line;
};

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// The tags of an article as the reader finds them: the same prefixes, the
// same search for the closing marker. A tag that is never closed ends the
// list, with its line negated.
std::vector<Tag> ScanTags(const std::string& text) {
  std::string w = text + " \n" + std::string(6, ' ');
  const auto* bytes = reinterpret_cast<const uint8_t*>(w.data());
  const size_t n = text.size() + 2;
  std::vector<Tag> tags;
  int line = 1;
  for (size_t i = 0; i < n; ++i) {
    if (w[i] == '\n') {
      ++line;
      continue;
    }
    if (!IsArticleTagStart(bytes + i)) continue;
    size_t p = i + 2;
    while (p < n && !(w[p] == '#' && w[p + 1] == '>')) ++p;
    if (p >= n) {
      tags.push_back({w.substr(i + 2, 4), "", -line});
      break;
    }
    const size_t argsStart = i + 7;
    tags.push_back({w.substr(i + 2, 4), argsStart < p ? w.substr(argsStart, p - argsStart) : "", line});
    for (size_t k = i; k < p; ++k) line += w[k] == '\n';
    i = p + 1;
  }
  return tags;
}

bool ModuleBesideArchive(const std::string& dir, const std::string& name) {
  struct stat st;
  return stat((dir + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void CheckLink(const std::string& article, int line, const std::string& link, CheckContext& context,
               Problems* problems, std::vector<std::string>* targets) {
  static const char* const kWords[] = {"CD_TRAY", "CD_FRWD", "CD_BCKW", "CD_STOP",
                                       "SILENT",  "PANEL_V0", "PANEL_V1"};
  if (link.size() > kLongestLink)
    problems->Add(article, line, "link longer than 511 bytes: the reader cuts it");
  if (StartsWith(link, "ART:")) {
    const std::string target = link.substr(4);
    if (target.size() > kLongestArticleName) {
      problems->Add(article, line, "ART: target longer than 255 bytes: the reader does not open it");
    } else if (!InArchive(target.c_str())) {
      problems->Add(article, line, "ART: target " + target + " is not in the archive");
    } else {
      targets->push_back(target);
    }
    return;
  }
  if (StartsWith(link, "PMSX:")) {
    const std::string module = link.substr(5);
    if (!ModuleBesideArchive(context.moduleDirectory, module)) {
      problems->Add(article, line, "module " + module + " is not beside the archive");
    } else if (context.modulesSeen.insert(module).second) {
      ++context.modulesChecked;
    }
    return;
  }
  if (StartsWith(link, "URL:") || StartsWith(link, "mailto:")) return;
  for (const char* word : kWords)
    if (link == word) return;
  problems->Add(article, line, "link \"" + link + "\" is none of the reader's link forms");
}

void CheckPicture(const std::string& article, int line, const std::string& file, CheckContext& context,
                  Problems* problems) {
  if (!InArchive(file.c_str())) {
    problems->Add(article, line, "picture " + file + " is not in the archive");
    return;
  }
  if (!context.picturesSeen.insert(CanonicalName(file)).second) return;
  ++context.picturesChecked;
  const IsolatedResult result = RunIsolated([&] {
    Picture picture{};
    LoadPicture(file.c_str(), &picture);
  });
  if (!result.completed) problems->Add(article, line, "picture " + file + ": " + result.failure);
}

void CheckIcon(const std::string& article, const Tag& tag, CheckContext& context, Problems* problems,
               std::vector<std::string>* targets) {
  const size_t star = tag.args.find('*');
  CheckPicture(article, tag.line, tag.args.substr(0, star), context, problems);
  if (star == std::string::npos) return;
  const size_t second = tag.args.find('*', star + 1);
  CheckPicture(article, tag.line, tag.args.substr(star + 1, second - star - 1), context, problems);
  if (second == std::string::npos) {
    problems->Add(article, tag.line, "ICON with one '*' has a hover picture but no link");
    return;
  }
  const std::string link = tag.args.substr(second + 1);
  if (!link.empty()) CheckLink(article, tag.line, link, context, problems, targets);
}

}  // namespace

void Problems::Add(const std::string& file, int line, const std::string& message) {
  ++count;
  if (line > 0) {
    std::printf("%s:%d: %s\n", file.c_str(), line, message.c_str());
  } else {
    std::printf("%s: %s\n", file.c_str(), message.c_str());
  }
}

std::string CanonicalName(const std::string& name) {
  std::string key = name;
  for (char& c : key) c = FoldNameChar(c);
  return key;
}

bool InArchive(const char* name) {
  for (const ResourceDirectoryEntry* e = ResourceDirectory(); e; e = e->next)
    if (ResourceNamesMatch(e->name, name)) return true;
  return false;
}

std::vector<std::string> CheckArticleText(const std::string& article, CheckContext& context,
                                          Problems* problems) {
  int32_t size = 0;
  uint8_t* bytes = LoadBinaryFile(article.c_str(), &size);
  const std::string text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
  std::free(bytes);

  std::vector<std::string> targets;
  for (const Tag& tag : ScanTags(text)) {
    if (tag.line < 0) {
      problems->Add(article, -tag.line, "tag <#" + tag.name + " has no closing #>");
    } else if (tag.name == "SELC") {
      CheckLink(article, tag.line, tag.args, context, problems, &targets);
    } else if (tag.name == "ICON") {
      CheckIcon(article, tag, context, problems, &targets);
    } else if (tag.name == "TITL" && tag.args.size() > static_cast<size_t>(kTitleKept)) {
      problems->Add(article, tag.line, "title longer than 62 bytes: the reader cuts it");
    }
  }
  return targets;
}

void CheckArticleLayout(const std::string& article, Problems* problems) {
  const IsolatedResult result = RunIsolated([&] {
    static BitmapFont font{};
    LoadBitmapFont(&font, "DATA/font1.fnt");
    CreateTextSurface(nullptr);
    static Article parsed{};
    ParseArticle(&parsed, article.c_str(), 105, 385, &font);
    // Rows are counted by the tops of their segments, as the reader pages.
    const int32_t limit = parsed.twoColumns == 1 ? kTwoColumnWidth : kColumnWidth;
    int row = 0;
    for (int32_t i = 0; i < parsed.ArtLinesNum; ++i) {
      const TextSegment& segment = parsed.segments[i];
      if (i > 0 && segment.top != parsed.segments[i - 1].top) ++row;
      const bool lastOfRow = i + 1 == parsed.ArtLinesNum || parsed.segments[i + 1].top != segment.top;
      if (lastOfRow && segment.text && segment.right > limit)
        std::printf("%d %d %d\n", row + 1, segment.right, limit);
    }
  });
  if (!result.completed) {
    problems->Add(article, 0, result.failure);
    return;
  }
  int line = 0, right = 0, limit = 0, used = 0;
  const char* at = result.out.c_str();
  while (std::sscanf(at, "%d %d %d\n%n", &line, &right, &limit, &used) == 3) {
    problems->Add(article, line,
                  "text runs to x " + std::to_string(right) + ", past the window's " + std::to_string(limit));
    at += used;
  }
}

}  // namespace varnel_rs
