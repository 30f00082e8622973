// The per-article checks of varnel-rs check.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace varnel_rs {

struct Problems {
  int count = 0;
  // Prints "FILE:LINE: message" (or "FILE: message" for line 0).
  void Add(const std::string& file, int line, const std::string& message);
};

struct CheckContext {
  std::string moduleDirectory;  // where "PMSX:" modules must be, beside the archive
  std::set<std::string> picturesSeen;
  std::set<std::string> modulesSeen;
  int picturesChecked = 0;
  int modulesChecked = 0;
};

// Upper-cased with forward slashes: how the reader compares names.
std::string CanonicalName(const std::string& name);
bool InArchive(const char* name);

// Checks the tags of one article (closing markers, links, pictures, title)
// and returns the "ART:" targets it links to.
std::vector<std::string> CheckArticleText(const std::string& article, CheckContext& context,
                                          Problems* problems);

// Parses and draws the article as the reader does, in a child process:
// any fatal error, and rows that run past the text window.
void CheckArticleLayout(const std::string& article, Problems* problems);

}  // namespace varnel_rs
