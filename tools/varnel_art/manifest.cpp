#include "tools/varnel_art/manifest.hpp"

#include <cctype>
#include <fstream>
#include <sstream>

namespace varnel_art {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

std::string_view NextToken(std::string_view* rest) {
  *rest = Trim(*rest);
  size_t end = 0;
  while (end < rest->size() && !std::isspace(static_cast<unsigned char>((*rest)[end]))) ++end;
  const std::string_view token = rest->substr(0, end);
  rest->remove_prefix(end);
  return token;
}

bool ParseSize(std::string_view token, int* width, int* height) {
  const size_t x = token.find('x');
  if (x == std::string_view::npos || x == 0 || x + 1 == token.size()) return false;
  int* targets[2] = {width, height};
  const std::string_view parts[2] = {token.substr(0, x), token.substr(x + 1)};
  for (int i = 0; i < 2; ++i) {
    if (parts[i].size() > 4) return false;
    int value = 0;
    for (const char c : parts[i]) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
      value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 4096) return false;
    *targets[i] = value;
  }
  return true;
}

// The reader picks the loader by what follows the first '.' of the name.
const char* CheckPath(std::string_view path, PictureFormat* format) {
  if (path.front() == '/' || path.find("..") != std::string_view::npos)
    return "the path must stay inside the issue";
  if (path.find('\\') != std::string_view::npos) return "the path must use '/'";
  const size_t dot = path.find('.');
  if (dot == std::string_view::npos) return "the path has no extension";
  const std::string extension = Lower(path.substr(dot + 1));
  if (extension == "gif")
    *format = PictureFormat::Gif;
  else if (extension == "png")
    *format = PictureFormat::Png;
  else if (extension == "jpg")
    *format = PictureFormat::Jpeg;
  else
    return "the extension after the first '.' must be gif, png or jpg";
  return nullptr;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return Lower(slash == std::string::npos ? path : path.substr(slash + 1));
}

std::string Stem(const std::string& path) {
  const std::string name = BaseName(path);
  return name.substr(0, name.find('.'));
}

}  // namespace

bool ParseManifest(std::string_view text, const std::string& source,
                   std::vector<ManifestEntry>* entries, std::string* error) {
  entries->clear();
  int lineNumber = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == '#') continue;
    const auto fail = [&](const std::string& reason) {
      *error = source + ":" + std::to_string(lineNumber) + ": " + reason + ": " + std::string(line);
      return false;
    };
    ManifestEntry entry;
    std::string_view rest = line;
    entry.path = std::string(NextToken(&rest));
    const std::string_view size = NextToken(&rest);
    entry.description = std::string(Trim(rest));
    entry.line = lineNumber;
    if (size.empty()) return fail("expected PATH WIDTHxHEIGHT DESCRIPTION");
    if (!ParseSize(size, &entry.width, &entry.height))
      return fail("the size must be WIDTHxHEIGHT, 1 to 4096 each");
    if (const char* problem = CheckPath(entry.path, &entry.format)) return fail(problem);
    for (const ManifestEntry& earlier : *entries)
      if (Lower(earlier.path) == Lower(entry.path))
        return fail("the picture is listed before, on line " + std::to_string(earlier.line));
    entries->push_back(std::move(entry));
  }
  return true;
}

bool ReadManifest(const std::string& path, std::vector<ManifestEntry>* entries,
                  std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseManifest(text.str(), path, entries, error);
}

bool IsHoverEntry(const ManifestEntry& entry) {
  const std::string stem = Stem(entry.path);
  const std::string description = Lower(entry.description);
  return (stem.size() > 2 && stem.ends_with("_h")) || stem.find("hover") != std::string::npos ||
         description.find("highlighted variant") != std::string::npos ||
         description.find("hover variant") != std::string::npos;
}

const ManifestEntry* FindHoverBase(const ManifestEntry& hover,
                                   const std::vector<ManifestEntry>& entries) {
  const std::string description = Lower(hover.description);
  const size_t named = description.find("variant of ");
  if (named != std::string::npos) {
    std::string_view rest = std::string_view(description).substr(named + 11);
    std::string name(NextToken(&rest));
    while (!name.empty() && (name.back() == ':' || name.back() == ',' || name.back() == ';'))
      name.pop_back();
    for (const ManifestEntry& entry : entries)
      if (&entry != &hover && (BaseName(entry.path) == name || Lower(entry.path) == name))
        return &entry;
  }
  std::string stem = Stem(hover.path);
  if (stem.ends_with("_h")) stem.resize(stem.size() - 2);
  for (const char* word : {"_hover", "hover"})
    if (const size_t at = stem.find(word); at != std::string::npos)
      stem.erase(at, std::string(word).size());
  const std::string folder = Lower(hover.path.substr(0, hover.path.rfind('/') + 1));
  for (const ManifestEntry& entry : entries)
    if (&entry != &hover && !IsHoverEntry(entry) && Stem(entry.path) == stem &&
        Lower(entry.path.substr(0, entry.path.rfind('/') + 1)) == folder)
      return &entry;
  return nullptr;
}

}  // namespace varnel_art
