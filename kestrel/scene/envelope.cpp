// Envelope evaluation after LightWave's SDK description: Hermite-based
// TCB, Hermite and 1D Bezier spans, linear, stepped and 2D Bezier spans,
// and the six pre/post behaviours. Repeat, oscillate and offset repeat fold
// time into [first key, last key] wherever the first key lies.
#include <cmath>

#include "kestrel/scene/model.hpp"

namespace kestrel {
namespace {

// Below this the 2D Bezier time search stops; its curve may not be monotonic.
constexpr int kBezierSearchSteps = 48;
constexpr double kBezierTimeTolerance = 1e-4;
constexpr double kTinyTangentTime = 1e-5;

double Outgoing(const Key* prev, const Key& key0, const Key& key1) {
  switch (key0.shape) {
    case SpanShape::Tcb: {
      const double a = (1 - key0.tension) * (1 + key0.continuity) * (1 + key0.bias);
      const double b = (1 - key0.tension) * (1 - key0.continuity) * (1 - key0.bias);
      const double d = key1.value - key0.value;
      if (!prev) return b * d;
      const double t = (key1.time - key0.time) / (key1.time - prev->time);
      return t * (a * (key0.value - prev->value) + b * d);
    }
    case SpanShape::Linear: {
      const double d = key1.value - key0.value;
      if (!prev) return d;
      const double t = (key1.time - key0.time) / (key1.time - prev->time);
      return t * (key0.value - prev->value + d);
    }
    case SpanShape::Bezier:
    case SpanShape::Hermite: {
      double out = key0.param[1];
      if (prev) out *= (key1.time - key0.time) / (key1.time - prev->time);
      return out;
    }
    case SpanShape::Bezier2D: {
      double out = key0.param[3] * (key1.time - key0.time);
      if (std::fabs(key0.param[2]) > kTinyTangentTime)
        out /= key0.param[2];
      else
        out *= 1 / kTinyTangentTime;
      return out;
    }
    case SpanShape::Stepped:
      break;
  }
  return 0;
}

double Incoming(const Key& key0, const Key& key1, const Key* next) {
  switch (key1.shape) {
    case SpanShape::Linear: {
      const double d = key1.value - key0.value;
      if (!next) return d;
      const double t = (key1.time - key0.time) / (next->time - key0.time);
      return t * (next->value - key1.value + d);
    }
    case SpanShape::Tcb: {
      const double a = (1 - key1.tension) * (1 - key1.continuity) * (1 + key1.bias);
      const double b = (1 - key1.tension) * (1 + key1.continuity) * (1 - key1.bias);
      const double d = key1.value - key0.value;
      if (!next) return a * d;
      const double t = (key1.time - key0.time) / (next->time - key0.time);
      return t * (b * (next->value - key1.value) + a * d);
    }
    case SpanShape::Bezier:
    case SpanShape::Hermite: {
      double in = key1.param[0];
      if (next) in *= (key1.time - key0.time) / (next->time - key0.time);
      return in;
    }
    case SpanShape::Bezier2D: {
      double in = key1.param[1] * (key1.time - key0.time);
      if (std::fabs(key1.param[0]) > kTinyTangentTime)
        in /= key1.param[0];
      else
        in *= 1 / kTinyTangentTime;
      return in;
    }
    case SpanShape::Stepped:
      break;
  }
  return 0;
}

double Bezier(double x0, double x1, double x2, double x3, double t) {
  const double c = 3 * (x1 - x0);
  const double b = 3 * (x2 - x1) - c;
  const double a = x3 - x0 - c - b;
  return ((a * t + b) * t + c) * t + x0;
}

// Curve parameter whose x is `time`, by bisection with a bounded number of
// steps (the reference recursion never ends on a non-monotonic curve).
double BezierParameter(double x0, double x1, double x2, double x3, double time) {
  double lo = 0, hi = 1, t = 0.5;
  for (int step = 0; step < kBezierSearchSteps; ++step) {
    t = lo + (hi - lo) * 0.5;
    const double x = Bezier(x0, x1, x2, x3, t);
    if (std::fabs(time - x) <= kBezierTimeTolerance) break;
    if (x > time)
      hi = t;
    else
      lo = t;
  }
  return t;
}

double Bezier2D(const Key& key0, const Key& key1, double time) {
  const bool outBezier = key0.shape == SpanShape::Bezier2D;
  const double x1 = outBezier ? key0.time + key0.param[2] : key0.time + (key1.time - key0.time) / 3;
  const double t = BezierParameter(key0.time, x1, key1.time + key1.param[0], key1.time, time);
  const double y1 = outBezier ? key0.value + key0.param[3] : key0.value + key0.param[1] / 3;
  return Bezier(key0.value, y1, key1.param[1] + key1.value, key1.value, t);
}

// Folds `time` into [lo, hi); `cycle` is how many whole ranges were removed.
double Fold(double time, double lo, double hi, long* cycle) {
  const double range = hi - lo;
  if (range <= 0) {
    *cycle = 0;
    return lo;
  }
  const double n = std::floor((time - lo) / range);
  *cycle = static_cast<long>(n);
  return time - n * range;
}

}  // namespace

double EvaluateEnvelope(const Envelope& envelope, double time) {
  const auto& keys = envelope.keys;
  if (keys.empty()) return 0;
  if (keys.size() == 1) return keys.front().value;
  if (!std::isfinite(time)) return keys.front().value;

  const Key& first = keys.front();
  const Key& last = keys.back();
  double offset = 0;
  const bool before = time < first.time;
  const bool after = time > last.time;
  if (before || after) {
    const Behavior behavior = before ? envelope.pre : envelope.post;
    long cycle = 0;
    switch (behavior) {
      case Behavior::Reset:
        return 0;
      case Behavior::Constant:
        return before ? first.value : last.value;
      case Behavior::Repeat:
        time = Fold(time, first.time, last.time, &cycle);
        break;
      case Behavior::Oscillate:
        time = Fold(time, first.time, last.time, &cycle);
        if (cycle % 2 != 0) time = first.time + last.time - time;
        break;
      case Behavior::OffsetRepeat:
        time = Fold(time, first.time, last.time, &cycle);
        offset = static_cast<double>(cycle) * (last.value - first.value);
        break;
      case Behavior::Linear:
        if (before) {
          const Key& second = keys[1];
          const double out = Outgoing(nullptr, first, second) / (second.time - first.time);
          return out * (time - first.time) + first.value;
        } else {
          const Key& prev = keys[keys.size() - 2];
          const double in = Incoming(prev, last, nullptr) / (last.time - prev.time);
          return in * (time - last.time) + last.value;
        }
    }
  }

  // The span holding `time`: keys[i] .. keys[i + 1].
  size_t i = 0;
  {
    size_t lo = 0, hi = keys.size() - 1;  // keys[lo].time <= time <= keys[hi].time
    while (hi - lo > 1) {
      const size_t mid = (lo + hi) / 2;
      if (time > keys[mid].time)
        lo = mid;
      else
        hi = mid;
    }
    i = lo;
  }
  const Key& key0 = keys[i];
  const Key& key1 = keys[i + 1];
  if (time == key0.time) return key0.value + offset;
  if (time == key1.time) return key1.value + offset;
  const double span = key1.time - key0.time;
  if (span <= 0) return key1.value + offset;
  const double t = (time - key0.time) / span;

  const Key* prev = i > 0 ? &keys[i - 1] : nullptr;
  const Key* next = i + 2 < keys.size() ? &keys[i + 2] : nullptr;
  switch (key1.shape) {
    case SpanShape::Tcb:
    case SpanShape::Bezier:
    case SpanShape::Hermite: {
      const double out = Outgoing(prev, key0, key1);
      const double in = Incoming(key0, key1, next);
      const double t2 = t * t;
      const double t3 = t2 * t;
      const double h2 = 3 * t2 - 2 * t3;
      const double h1 = 1 - h2;
      const double h4 = t3 - t2;
      const double h3 = h4 - t2 + t;
      return h1 * key0.value + h2 * key1.value + h3 * out + h4 * in + offset;
    }
    case SpanShape::Bezier2D:
      return Bezier2D(key0, key1, time) + offset;
    case SpanShape::Linear:
      return key0.value + t * (key1.value - key0.value) + offset;
    case SpanShape::Stepped:
      return key0.value + offset;
  }
  return offset;
}

}  // namespace kestrel
