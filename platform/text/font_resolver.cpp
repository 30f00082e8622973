#include "platform/text/font_resolver.hpp"

#include <fontconfig/fontconfig.h>

#include <map>
#include <tuple>

namespace platform {
namespace {

// Family list tried in order for a request without a face name.
const char* const kOemFamilies[] = {"Liberation Mono", "DejaVu Sans Mono", "monospace"};
const char* const kAnsiFamilies[] = {"sans-serif"};

FcConfig* Config() {
  static FcConfig* config = FcInitLoadConfigAndFonts();
  return config;
}

std::optional<ResolvedFace> Match(const std::string& face, int weight, bool italic,
                                  bool oemCharSet) {
  FcConfig* config = Config();
  if (!config) return std::nullopt;
  FcPattern* pattern = FcPatternCreate();
  const auto addFamily = [pattern](const char* family) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  };
  if (!face.empty()) {
    addFamily(face.c_str());
  } else if (oemCharSet) {
    for (const char* family : kOemFamilies) addFamily(family);
  } else {
    for (const char* family : kAnsiFamilies) addFamily(family);
  }
  const bool wantBold = weight >= 600;
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight > 0 ? weight : 400));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return std::nullopt;

  std::optional<ResolvedFace> resolved;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    ResolvedFace found{};
    found.file = reinterpret_cast<const char*>(file);
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    found.index = index;
    FcChar8* family = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) {
      found.family = reinterpret_cast<const char*>(family);
    }
    int fileWeight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match, FC_WEIGHT, 0, &fileWeight);
    int fileSlant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_SLANT, 0, &fileSlant);
    // fontconfig's own rules may already mark a face for synthesis, with
    // its weight and slant then reported as the synthetic ones.
    FcBool embolden = FcFalse;
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
    FcMatrix* matrix = nullptr;
    const bool sheared =
        FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix->xy != 0;
    found.needsEmbolden = wantBold && (embolden || fileWeight < FC_WEIGHT_DEMIBOLD);
    found.needsSlant = italic && (sheared || fileSlant == FC_SLANT_ROMAN);
    resolved = found;
  }
  FcPatternDestroy(match);
  return resolved;
}

}  // namespace

std::optional<ResolvedFace> ResolveFace(const std::string& face, int weight, bool italic,
                                        bool oemCharSet) {
  // Matching takes a while; articles ask for the same few faces again and again.
  using Key = std::tuple<std::string, int, bool, bool>;
  static std::map<Key, std::optional<ResolvedFace>> cache;
  const Key key{face, weight, italic, face.empty() && oemCharSet};
  const auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  return cache[key] = Match(face, weight, italic, oemCharSet);
}

}  // namespace platform

#if defined(SUITE_SANITIZED)
// fontconfig loses a few blocks while it parses its configuration files,
// once per process, and Mesa's software OpenGL driver keeps its caches to the
// end; the leak checker is not to count them against us. (The one hook of
// the process lives here.)
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:swrast_dri.so\nleak:kms_swrast_dri.so\n"
         "leak:libEGL_mesa.so\nleak:libLLVM\n";
}
#endif
