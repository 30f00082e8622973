// LightWave scene reader. Versions 3 to 5 keep each channel in an
// "{ Envelope" block with key times in seconds and angles in radians;
// version 1 lists all channels' values per key with frame numbers, and
// version 2 lists keys per channel with times in seconds, both in degrees
// and with colours in 0..255.
#include "kestrel/scene/lws.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <numbers>

#include "kestrel/archive/archive.hpp"
#include "kestrel/render/log.hpp"
#include "kestrel/scene/lwo.hpp"

namespace kestrel {
namespace {

constexpr int kLatestVersion = 5;
constexpr double kDegrees = std::numbers::pi / 180.0;
constexpr double kColorScale = 1.0 / 255.0;
constexpr int kItemIdDigits = 8;
// Keys or channels beyond these counts mean a damaged file.
constexpr long kMaxKeys = 1 << 20;
constexpr long kMaxChannels = 64;

struct ParseError {
  std::string message;
};

class Lines {
 public:
  explicit Lines(std::string_view text) {
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find_first_of("\r\n", start);
      if (end == std::string_view::npos) end = text.size();
      lines_.push_back(text.substr(start, end - start));
      start = end + 1;
      if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
  }
  bool AtEnd() const { return next_ >= lines_.size(); }
  size_t Number() const { return next_; }  // 1-based number of the line last taken
  std::string_view Take() {
    if (AtEnd()) throw ParseError{"unexpected end of file"};
    return lines_[next_++];
  }
  // Next line that is not blank.
  std::string_view TakeContent() {
    for (;;) {
      std::string_view line = Take();
      if (line.find_first_not_of(" \t") != std::string_view::npos) return line;
    }
  }
  std::string_view Peek() const { return AtEnd() ? std::string_view() : lines_[next_]; }

 private:
  std::vector<std::string_view> lines_;
  size_t next_ = 0;
};

std::vector<std::string_view> Split(std::string_view line) {
  std::vector<std::string_view> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

// The text after the first `skip` tokens, trimmed.
std::string_view Rest(std::string_view line, size_t skip) {
  size_t i = 0;
  for (size_t n = 0; n < skip; ++n) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
  }
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  size_t end = line.size();
  while (end > i && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  return line.substr(i, end - i);
}

bool ToNumber(std::string_view token, double* out) {
  if (!token.empty() && token.front() == '+') token.remove_prefix(1);
  const char* begin = token.data();
  const char* end = begin + token.size();
  auto [ptr, ec] = std::from_chars(begin, end, *out);
  return ec == std::errc() && ptr == end && std::isfinite(*out);
}

double Number(std::string_view token, const Lines& lines) {
  double value = 0;
  if (!ToNumber(token, &value))
    throw ParseError{"bad number \"" + std::string(token) + "\" in line " + std::to_string(lines.Number())};
  return value;
}

long Count(std::string_view token, long limit, const Lines& lines) {
  const double value = Number(token, lines);
  if (value < 0 || value > static_cast<double>(limit) || value != std::floor(value))
    throw ParseError{"bad count \"" + std::string(token) + "\" in line " + std::to_string(lines.Number())};
  return static_cast<long>(value);
}

bool IsHexId(std::string_view token) {
  return token.size() == kItemIdDigits &&
         std::all_of(token.begin(), token.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

// Item number in its hexadecimal ("10000002") or decimal ("268435458") form.
bool ParseItemId(std::string_view token, uint32_t* id) {
  unsigned long value = 0;
  const int base = IsHexId(token) ? 16 : 10;
  auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value, base);
  if (ec != std::errc() || ptr != token.data() + token.size() || value > 0xffffffffUL) return false;
  *id = static_cast<uint32_t>(value);
  return true;
}

Behavior ToBehavior(double value) {
  const int v = static_cast<int>(value);
  if (v < 0 || v > static_cast<int>(Behavior::Linear)) return Behavior::Constant;
  return static_cast<Behavior>(v);
}

SpanShape ToShape(double value) {
  const int v = static_cast<int>(value);
  if (v < 0 || v > static_cast<int>(SpanShape::Bezier2D)) return SpanShape::Tcb;
  return static_cast<SpanShape>(v);
}

void SortKeys(Envelope* envelope) {
  std::stable_sort(envelope->keys.begin(), envelope->keys.end(),
                   [](const Key& a, const Key& b) { return a.time < b.time; });
}

// "{ Envelope" block (versions 3 to 5); the opening line is taken already.
Envelope ReadEnvelopeBlock(Lines& lines) {
  Envelope envelope;
  const auto countTokens = Split(lines.TakeContent());
  if (countTokens.empty()) throw ParseError{"envelope without key count"};
  const long count = Count(countTokens[0], kMaxKeys, lines);
  for (;;) {
    const auto tokens = Split(lines.TakeContent());
    if (tokens[0] == "}") break;
    if (tokens[0] == "Key") {
      if (tokens.size() < 4) throw ParseError{"short key in line " + std::to_string(lines.Number())};
      Key key;
      key.value = Number(tokens[1], lines);
      key.time = Number(tokens[2], lines);
      key.shape = ToShape(Number(tokens[3], lines));
      double p[6] = {};
      for (size_t i = 0; i < 6 && 4 + i < tokens.size(); ++i) p[i] = Number(tokens[4 + i], lines);
      if (key.shape == SpanShape::Bezier2D) {
        for (int i = 0; i < 4; ++i) key.param[i] = p[i];
      } else {
        key.tension = p[0];
        key.continuity = p[1];
        key.bias = p[2];
        key.param[0] = p[3];
        key.param[1] = p[4];
      }
      envelope.keys.push_back(key);
    } else if (tokens[0] == "Behaviors" && tokens.size() >= 3) {
      envelope.pre = ToBehavior(Number(tokens[1], lines));
      envelope.post = ToBehavior(Number(tokens[2], lines));
    } else if (tokens[0] == "{") {
      throw ParseError{"unexpected block in envelope, line " + std::to_string(lines.Number())};
    }
  }
  if (static_cast<long>(envelope.keys.size()) != count)
    throw ParseError{"envelope promises " + std::to_string(count) + " keys, holds " +
                     std::to_string(envelope.keys.size())};
  SortKeys(&envelope);
  return envelope;
}

// Skips a "{ Name" block (already opened) to its closing brace.
void SkipBlock(Lines& lines) {
  int depth = 1;
  while (depth > 0) {
    const std::string_view line = lines.Take();
    const auto tokens = Split(line);
    if (tokens.empty()) continue;
    if (tokens[0].front() == '{') ++depth;
    if (tokens[0] == "}") --depth;
  }
}

struct Reader {
  Lines lines;
  int version = 0;
  std::string folder;
  Scene* scene = nullptr;
  ItemRef current;
  std::map<std::string, std::shared_ptr<ObjectFile>> objectCache;

  ItemBase* CurrentItem() { return const_cast<ItemBase*>(scene->Item(current)); }

  // Versions 3 to 5: "NumChannels n" and n "Channel c" envelope blocks.
  void ReadMotionV3(Motion* motion) {
    const auto head = Split(lines.TakeContent());
    if (head.size() < 2 || head[0] != "NumChannels") throw ParseError{"motion without NumChannels"};
    const long channels = Count(head[1], kMaxChannels, lines);
    for (long n = 0; n < channels; ++n) {
      const auto channelLine = Split(lines.TakeContent());
      if (channelLine.size() < 2 || channelLine[0] != "Channel") throw ParseError{"motion channel missing"};
      const long index = Count(channelLine[1], kMaxChannels, lines);
      const auto open = Split(lines.TakeContent());
      if (open.empty() || open[0] != "{") throw ParseError{"channel without envelope"};
      Envelope envelope = ReadEnvelopeBlock(lines);
      if (index < kChannelCount) motion->channels[static_cast<size_t>(index)] = std::move(envelope);
    }
  }

  // Version 1: keys carry all channels' values, then "frame linear t c b".
  void ReadMotionV1(Motion* motion) {
    const long channels = Count(Split(lines.TakeContent())[0], kMaxChannels, lines);
    const long keys = Count(Split(lines.TakeContent())[0], kMaxKeys, lines);
    Motion read;
    for (auto& envelope : read.channels) envelope.keys.clear();
    for (long k = 0; k < keys; ++k) {
      const auto values = Split(lines.TakeContent());
      const auto spans = Split(lines.TakeContent());
      if (static_cast<long>(values.size()) < channels || spans.size() < 5)
        throw ParseError{"short motion key in line " + std::to_string(lines.Number())};
      for (long c = 0; c < channels && c < kChannelCount; ++c) {
        Key key;
        key.value = Number(values[static_cast<size_t>(c)], lines);
        key.time = Number(spans[0], lines);  // frame; seconds once fps is known
        key.shape = Number(spans[1], lines) != 0 ? SpanShape::Linear : SpanShape::Tcb;
        key.tension = Number(spans[2], lines);
        key.continuity = Number(spans[3], lines);
        key.bias = Number(spans[4], lines);
        read.channels[static_cast<size_t>(c)].keys.push_back(key);
      }
    }
    for (long c = 0; c < channels && c < kChannelCount; ++c) {
      auto& envelope = read.channels[static_cast<size_t>(c)];
      if (envelope.keys.empty()) continue;
      SortKeys(&envelope);
      motion->channels[static_cast<size_t>(c)] = std::move(envelope);
    }
  }

  // Version 2: per channel a key count and "value time shape t c b" keys.
  void ReadMotionV2(Motion* motion) {
    const long channels = Count(Split(lines.TakeContent())[0], kMaxChannels, lines);
    for (long c = 0; c < channels; ++c) {
      Envelope envelope;
      const long keys = Count(Split(lines.TakeContent())[0], kMaxKeys, lines);
      for (long k = 0; k < keys; ++k) {
        const auto tokens = Split(lines.TakeContent());
        if (tokens.size() < 2) throw ParseError{"short motion key in line " + std::to_string(lines.Number())};
        Key key;
        key.value = Number(tokens[0], lines);
        key.time = Number(tokens[1], lines);
        if (tokens.size() >= 6) {
          key.tension = Number(tokens[3], lines);
          key.continuity = Number(tokens[4], lines);
          key.bias = Number(tokens[5], lines);
        }
        envelope.keys.push_back(key);
      }
      SortKeys(&envelope);
      if (c < kChannelCount && !envelope.keys.empty())
        motion->channels[static_cast<size_t>(c)] = std::move(envelope);
    }
  }

  void ReadMotion(Motion* motion) {
    if (version >= 3)
      ReadMotionV3(motion);
    else if (version == 2)
      ReadMotionV2(motion);
    else
      ReadMotionV1(motion);
  }

  // A value that may be "(envelope)" followed by an envelope: its first key.
  double ValueOrEnvelope(const std::vector<std::string_view>& tokens) {
    if (tokens.size() >= 2 && tokens[1] == "(envelope)") {
      Motion scratch;
      if (version >= 3) {
        const auto open = Split(lines.TakeContent());
        if (open.empty() || open[0] != "{") throw ParseError{"envelope missing"};
        Envelope e = ReadEnvelopeBlock(lines);
        return e.keys.empty() ? 0 : e.keys.front().value;
      }
      // Older files: a one-channel motion block and an end behaviour.
      if (version == 2) {
        ReadMotionV2(&scratch);
      } else {
        ReadMotionV1(&scratch);
        if (Split(lines.Peek()).size() && Split(lines.Peek())[0] == "EndBehavior") lines.Take();
      }
      return scratch.channels[0].keys.empty() ? 0 : scratch.channels[0].keys.front().value;
    }
    if (tokens.size() < 2) throw ParseError{"value missing in line " + std::to_string(lines.Number())};
    return Number(tokens[1], lines);
  }

  Vec3 Triple(const std::vector<std::string_view>& tokens) {
    if (tokens.size() < 4) throw ParseError{"three values expected in line " + std::to_string(lines.Number())};
    return {float(Number(tokens[1], lines)), float(Number(tokens[2], lines)), float(Number(tokens[3], lines))};
  }

  Vec3 Color(const std::vector<std::string_view>& tokens) {
    Vec3 c = Triple(tokens);
    if (version < 3) c = {float(c.x * kColorScale), float(c.y * kColorScale), float(c.z * kColorScale)};
    return c;
  }

  void AddObject(std::string_view reference, int layer, bool isNull) {
    ObjectItem item;
    item.layer = layer;
    item.isNull = isNull;
    if (isNull) {
      item.name = std::string(reference);
    } else {
      item.name = DataBaseName(std::string(reference));
      // "Disk:Objects/x.lwo" names its base after the volume too.
      if (const size_t colon = item.name.rfind(':'); colon != std::string::npos) item.name.erase(0, colon + 1);
      LoadMesh(reference, &item);
    }
    scene->objects.push_back(std::move(item));
    current = {ItemKind::Object, static_cast<int>(scene->objects.size() - 1)};
  }

  void LoadMesh(std::string_view reference, ObjectItem* item) {
    const std::string path = ResolveDataPath(folder, reference);
    if (path.empty()) {
      Log("scene \"%s\": object \"%.*s\" not found", scene->path.c_str(), int(reference.size()), reference.data());
      return;
    }
    item->sourcePath = path;
    auto cached = objectCache.find(path);
    if (cached == objectCache.end()) {
      std::string error;
      std::shared_ptr<ObjectFile> object = LoadObjectFile(path, &error);
      if (!object) Log("object \"%s\": %s", path.c_str(), error.c_str());
      cached = objectCache.emplace(path, std::move(object)).first;
    }
    if (cached->second) item->mesh = std::make_shared<const Mesh>(BuildMesh(*cached->second, item->layer));
  }

  // "Keyword [itemid] rest": the id is present in version 4 and later files.
  std::string_view AfterOptionalId(std::string_view line, const std::vector<std::string_view>& tokens,
                                    size_t first) {
    if (tokens.size() > first + 1 && IsHexId(tokens[first])) return Rest(line, first + 1);
    return Rest(line, first);
  }

  void SetParent(uint32_t id) {
    ItemBase* item = CurrentItem();
    if (!item) return;
    const uint32_t kind = id >> 28;
    const int index = static_cast<int>(id & 0x0fffffff);
    if (kind >= 1 && kind <= 3) item->parent = {static_cast<ItemKind>(kind), index};
  }

  void Line(std::string_view line) {
    const auto tokens = Split(line);
    if (tokens.empty()) return;
    const std::string_view key = tokens[0];
    if (key.front() == '{') {
      SkipBlock(lines);
    } else if (key == "Plugin") {
      while (!lines.AtEnd()) {
        const auto t = Split(lines.Take());
        if (!t.empty() && t[0] == "EndPlugin") break;
      }
    } else if (key == "FramesPerSecond" && tokens.size() >= 2) {
      scene->framesPerSecond = Number(tokens[1], lines);
      if (scene->framesPerSecond <= 0) throw ParseError{"frames per second must be positive"};
    } else if (key == "FirstFrame" && tokens.size() >= 2) {
      scene->firstFrame = Number(tokens[1], lines);
    } else if (key == "LastFrame" && tokens.size() >= 2) {
      scene->lastFrame = Number(tokens[1], lines);
    } else if (key == "LoadObjectLayer" && tokens.size() >= 3) {
      const int layer = static_cast<int>(Count(tokens[1], 0xffff, lines));
      AddObject(AfterOptionalId(line, tokens, 2), layer, false);
    } else if (key == "LoadObject" && tokens.size() >= 2) {
      AddObject(AfterOptionalId(line, tokens, 1), 0, false);
    } else if (key == "AddNullObject") {
      AddObject(AfterOptionalId(line, tokens, 1), 0, true);
    } else if (key == "AddLight") {
      scene->lights.emplace_back();
      scene->lights.back().name = "Light";
      current = {ItemKind::Light, static_cast<int>(scene->lights.size() - 1)};
    } else if (key == "AddCamera") {
      scene->cameras.emplace_back();
      scene->cameras.back().name = "Camera";
      current = {ItemKind::Camera, static_cast<int>(scene->cameras.size() - 1)};
    } else if ((key == "LightName" || key == "CameraName") && CurrentItem()) {
      CurrentItem()->name = std::string(Rest(line, 1));
    } else if (key == "ObjectMotion" || key == "LightMotion" || key == "CameraMotion") {
      ItemBase* item = CurrentItem();
      Motion scratch;
      ReadMotion(item ? &item->motion : &scratch);
    } else if (key == "EndBehavior" && tokens.size() >= 2 && CurrentItem()) {
      // Version 1: 0 reset, 1 stop, 2 repeat, for every channel.
      const int value = static_cast<int>(Number(tokens[1], lines));
      const Behavior post = value == 0 ? Behavior::Reset : value == 2 ? Behavior::Repeat : Behavior::Constant;
      for (auto& envelope : CurrentItem()->motion.channels) envelope.post = post;
    } else if (key == "Pre/PostBehavior" && CurrentItem()) {
      auto& channels = CurrentItem()->motion.channels;
      for (size_t c = 0; c < channels.size() && 2 + 2 * c < tokens.size(); ++c) {
        channels[c].pre = ToBehavior(Number(tokens[1 + 2 * c], lines));
        channels[c].post = ToBehavior(Number(tokens[2 + 2 * c], lines));
      }
    } else if (key == "ParentItem" && tokens.size() >= 2) {
      uint32_t id = 0;
      if (!ParseItemId(tokens[1], &id)) throw ParseError{"bad item number in line " + std::to_string(lines.Number())};
      SetParent(id);
    } else if (key == "ParentObject" && tokens.size() >= 2) {
      const long number = Count(tokens[1], 0x0fffffff, lines);  // 1-based object
      if (number > 0 && CurrentItem()) CurrentItem()->parent = {ItemKind::Object, static_cast<int>(number - 1)};
    } else if ((key == "PivotPosition" || key == "PivotPoint") && CurrentItem()) {
      CurrentItem()->pivot = Triple(tokens);
    } else if (key == "PivotRotation" && CurrentItem()) {
      const Vec3 r = Triple(tokens);
      CurrentItem()->pivotRotation = {float(r.x * kDegrees), float(r.y * kDegrees), float(r.z * kDegrees)};
    } else if (key == "LightColor" && current.kind == ItemKind::Light && current.Valid()) {
      scene->lights[size_t(current.index)].color = Color(tokens);
    } else if ((key == "LightIntensity" || key == "LgtIntensity") && current.kind == ItemKind::Light &&
               current.Valid()) {
      scene->lights[size_t(current.index)].intensity = float(ValueOrEnvelope(tokens));
    } else if (key == "LightType" && current.kind == ItemKind::Light && current.Valid() && tokens.size() >= 2) {
      const int type = static_cast<int>(Number(tokens[1], lines));
      if (type >= 0 && type <= static_cast<int>(LightType::Area))
        scene->lights[size_t(current.index)].type = static_cast<LightType>(type);
    } else if (key == "LightConeAngle" && current.kind == ItemKind::Light && current.Valid()) {
      scene->lights[size_t(current.index)].coneAngle = float(ValueOrEnvelope(tokens) * kDegrees);
    } else if (key == "LightEdgeAngle" && current.kind == ItemKind::Light && current.Valid()) {
      scene->lights[size_t(current.index)].edgeAngle = float(ValueOrEnvelope(tokens) * kDegrees);
    } else if (key == "ZoomFactor" && current.kind == ItemKind::Camera && current.Valid()) {
      scene->cameras[size_t(current.index)].zoomFactor = float(ValueOrEnvelope(tokens));
    } else if (key == "AmbientColor") {
      scene->ambientColor = Color(tokens);
    } else if (key == "AmbientIntensity" || key == "AmbIntensity") {
      scene->ambientIntensity = float(ValueOrEnvelope(tokens));
    } else if (key == "BackdropColor") {
      scene->backdropColor = Color(tokens);
    } else if (key == "FogType" && tokens.size() >= 2) {
      const int type = static_cast<int>(Number(tokens[1], lines));
      scene->fog.type = type >= 0 && type <= 3 ? static_cast<FogType>(type) : FogType::Off;
    } else if (key == "FogMinDistance" || key == "FogMinDist") {
      scene->fog.minDistance = float(ValueOrEnvelope(tokens));
    } else if (key == "FogMaxDistance" || key == "FogMaxDist") {
      scene->fog.maxDistance = float(ValueOrEnvelope(tokens));
    } else if (key == "FogMinAmount") {
      scene->fog.minAmount = float(ValueOrEnvelope(tokens));
    } else if (key == "FogMaxAmount") {
      scene->fog.maxAmount = float(ValueOrEnvelope(tokens));
    } else if (key == "FogColor") {
      scene->fog.color = Color(tokens);
    }
  }

  // Older files count frames and degrees; the model keeps seconds and radians.
  void ConvertOldUnits() {
    auto convert = [&](ItemBase& item) {
      for (int c = 0; c < kChannelCount; ++c) {
        for (Key& key : item.motion.channels[size_t(c)].keys) {
          if (version == 1) key.time /= scene->framesPerSecond;
          if (c >= kHeading && c <= kBank) {
            key.value *= kDegrees;
            key.param[0] *= kDegrees;
            key.param[1] *= kDegrees;
          }
        }
      }
    };
    for (auto& o : scene->objects) convert(o);
    for (auto& l : scene->lights) convert(l);
    for (auto& c : scene->cameras) convert(c);
  }

  void Run() {
    const auto magic = Split(lines.TakeContent());
    if (magic.empty() || magic[0] != "LWSC") throw ParseError{"not a LightWave scene (no LWSC header)"};
    const auto versionLine = Split(lines.TakeContent());
    version = static_cast<int>(Count(versionLine.empty() ? "" : versionLine[0], 1000, lines));
    if (version < 1 || version > kLatestVersion)
      throw ParseError{"unsupported scene version " + std::to_string(version)};
    scene->version = version;
    while (!lines.AtEnd()) Line(lines.Take());
    if (version < 3) ConvertOldUnits();
    // Parents that name no item are dropped.
    auto check = [&](ItemBase& item) {
      if (item.parent.Valid() && !scene->Item(item.parent)) item.parent = {};
    };
    for (auto& o : scene->objects) check(o);
    for (auto& l : scene->lights) check(l);
    for (auto& c : scene->cameras) check(c);
  }
};

}  // namespace

std::unique_ptr<Scene> ParseScene(std::string_view text, std::string_view path, std::string* error) {
  auto scene = std::make_unique<Scene>();
  scene->path = std::string(path);
  Reader reader{Lines(text)};
  reader.folder = DataDirectory(path);
  reader.scene = scene.get();
  try {
    reader.Run();
  } catch (const ParseError& failure) {
    const std::string message = "scene \"" + std::string(path) + "\": " + failure.message;
    Log("%s", message.c_str());
    if (error) *error = message;
    return nullptr;
  }
  return scene;
}

std::unique_ptr<Scene> LoadScene(std::string_view path, std::string* error) {
  const auto bytes = ReadDataFile(path);
  if (!bytes) {
    const std::string message = "scene \"" + std::string(path) + "\" not found";
    Log("%s", message.c_str());
    if (error) *error = message;
    return nullptr;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  return ParseScene(text, path, error);
}

}  // namespace kestrel
