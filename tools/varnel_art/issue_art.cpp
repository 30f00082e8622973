#include "tools/varnel_art/issue_art.hpp"

#include "tools/varnel_art/art_files.hpp"
#include "tools/varnel_art/bitmap_font_maker.hpp"
#include "tools/varnel_art/cover_art.hpp"
#include "tools/varnel_art/dissolve_map.hpp"
#include "tools/varnel_art/manifest.hpp"
#include "tools/varnel_art/picture_art.hpp"
#include "tools/varnel_art/scroll_strip.hpp"

namespace varnel_art {
namespace {

constexpr int kJpegQuality = 90;

class Writer {
 public:
  Writer(const std::string& root, std::vector<WrittenFile>* written, std::string* error)
      : root_(root), written_(written), error_(error) {}

  bool Canvas(const std::string& path, PictureFormat format, const varnel_art::Canvas& canvas,
              const char* what, Dither dither = Dither::None) {
    const std::string full = Full(path);
    if (!MakeParentFolders(full, error_)) return false;
    bool ok = false;
    switch (format) {
      case PictureFormat::Png:
        ok = WritePngArt(full, canvas, dither, error_);
        break;
      case PictureFormat::Gif:
        ok = WriteGifArt(full, canvas, error_);
        break;
      case PictureFormat::Jpeg:
        ok = WriteJpegArt(full, canvas, kJpegQuality, error_);
        break;
    }
    return ok && Note(path, canvas.width, canvas.height, what);
  }
  bool Indexed(const std::string& path, const tools::IndexedPicture& picture, const char* what) {
    const std::string full = Full(path);
    return MakeParentFolders(full, error_) && tools::WriteGif(full, picture, error_) &&
           Note(path, picture.width, picture.height, what);
  }
  bool Bytes(const std::string& path, const std::vector<uint8_t>& bytes, const char* what) {
    const std::string full = Full(path);
    return MakeParentFolders(full, error_) && WriteFileBytes(full, bytes, error_) &&
           Note(path, 0, 0, what);
  }
  std::string* error() { return error_; }

 private:
  std::string Full(const std::string& path) const { return root_ + "/" + path; }
  bool Note(const std::string& path, int width, int height, const char* what) {
    written_->push_back({path, width, height, what});
    return true;
  }
  std::string root_;
  std::vector<WrittenFile>* written_;
  std::string* error_;
};

bool ReaderFiles(const IssueInfo& issue, Writer* out) {
  std::string* error = out->error();
  const std::vector<uint8_t> font = MakeBitmapFont(error);
  if (font.empty() || !out->Bytes("DATA/font1.fnt", font, "bitmap font")) return false;
  varnel_art::Canvas canvas;
  if (!MakePanel(PanelLook::BlueSteel, issue, &canvas, error) ||
      !out->Canvas("DATA/panel0.png", PictureFormat::Png, canvas, "blue steel frame",
                   Dither::For555))
    return false;
  if (!MakePanel(PanelLook::Copper, issue, &canvas, error) ||
      !out->Canvas("DATA/panel1.png", PictureFormat::Png, canvas, "copper frame", Dither::For555))
    return false;
  if (!out->Canvas("DATA/p1.gif", PictureFormat::Gif, MakeScrollStrip(), "scroll-bar strip"))
    return false;
  if (!out->Indexed("DATA/pmap.gif", MakeDissolveMap(), "dissolve map")) return false;
  if (!MakeOpeningCover(issue, &canvas, error) ||
      !out->Canvas("DATA/begcvr.jpg", PictureFormat::Jpeg, canvas, "opening cover"))
    return false;
  return MakeClosingCover(issue, &canvas, error) &&
         out->Canvas("DATA/endcvr.jpg", PictureFormat::Jpeg, canvas, "closing cover");
}

}  // namespace

bool WriteIssueArt(const IssueArtOptions& options, std::vector<WrittenFile>* written,
                   std::string* error) {
  std::vector<ManifestEntry> entries;
  if (!options.manifest.empty() && !ReadManifest(options.manifest, &entries, error)) return false;
  Writer out(options.outputDir, written, error);
  if (!ReaderFiles(options.issue, &out)) return false;
  for (const ManifestEntry& entry : entries) {
    const PictureJob job = JobFor(entry, entries, options.issue.title);
    Canvas picture;
    if (!MakePicture(job, &picture, error)) return false;
    if (!out.Canvas(entry.path, entry.format, picture, PainterName(job))) return false;
  }
  return true;
}

}  // namespace varnel_art
