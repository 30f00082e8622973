// Envelope evaluation: span shapes and pre/post behaviours against values
// worked out by hand from the spline definitions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kestrel/scene/model.hpp"

namespace kestrel {
namespace {

Key MakeKey(double time, double value, SpanShape shape = SpanShape::Linear) {
  Key key;
  key.time = time;
  key.value = value;
  key.shape = shape;
  return key;
}

// Keys (10 s, 0) and (20 s, 10), linear: the value is time - 10 inside.
Envelope Ramp(Behavior pre, Behavior post) {
  Envelope e;
  e.keys = {MakeKey(10, 0), MakeKey(20, 10)};
  e.pre = pre;
  e.post = post;
  return e;
}

TEST(EnvelopeShapes, NoKeysIsZeroAndOneKeyIsConstant) {
  Envelope e;
  EXPECT_EQ(EvaluateEnvelope(e, 3), 0);
  e.keys = {MakeKey(5, 7)};
  EXPECT_EQ(EvaluateEnvelope(e, -100), 7);
  EXPECT_EQ(EvaluateEnvelope(e, 100), 7);
}

TEST(EnvelopeShapes, LinearAndSteppedSpans) {
  Envelope e = Ramp(Behavior::Constant, Behavior::Constant);
  EXPECT_DOUBLE_EQ(EvaluateEnvelope(e, 12.5), 2.5);
  e.keys[1].shape = SpanShape::Stepped;
  EXPECT_DOUBLE_EQ(EvaluateEnvelope(e, 19.9), 0);
  EXPECT_DOUBLE_EQ(EvaluateEnvelope(e, 20), 10);
}

TEST(EnvelopeShapes, TcbWithTwoPlainKeysIsAStraightLine) {
  // Without neighbours both tangents equal the value step: h2 + h3 + h4 = t.
  Envelope e;
  e.keys = {MakeKey(0, 0, SpanShape::Tcb), MakeKey(1, 10, SpanShape::Tcb)};
  EXPECT_NEAR(EvaluateEnvelope(e, 0.25), 2.5, 1e-12);
  EXPECT_NEAR(EvaluateEnvelope(e, 0.5), 5, 1e-12);
}

TEST(EnvelopeShapes, TcbTensionOneFlattensTheTangents) {
  // Tension 1 zeroes both tangents: value = 10 * h2 = 10 * (3t^2 - 2t^3).
  Envelope e;
  e.keys = {MakeKey(0, 0, SpanShape::Tcb), MakeKey(1, 10, SpanShape::Tcb)};
  e.keys[0].tension = 1;
  e.keys[1].tension = 1;
  EXPECT_NEAR(EvaluateEnvelope(e, 0.25), 10 * (3 * 0.0625 - 2 * 0.015625), 1e-12);
}

TEST(EnvelopeShapes, HermiteUsesTheStoredTangents) {
  // Values 0 and 0, outgoing tangent 2: value = 2 * (t^3 - 2t^2 + t).
  Envelope e;
  e.keys = {MakeKey(0, 0, SpanShape::Hermite), MakeKey(1, 0, SpanShape::Hermite)};
  e.keys[0].param[1] = 2;
  EXPECT_NEAR(EvaluateEnvelope(e, 0.5), 2 * (0.125 - 0.5 + 0.5), 1e-12);
  e.keys[1].shape = SpanShape::Bezier;  // 1D Bezier spans evaluate the same way
  EXPECT_NEAR(EvaluateEnvelope(e, 0.5), 0.25, 1e-12);
}

TEST(EnvelopeShapes, HermiteTangentsScaleWithNeighbouringSpans) {
  // Keys at 0, 1, 3: the middle key's outgoing tangent 3 is scaled by
  // (3 - 1) / (3 - 0); at the span's middle value = 1 + h3 * 2 + h4 * 0.
  Envelope e;
  e.keys = {MakeKey(0, 0, SpanShape::Hermite), MakeKey(1, 1, SpanShape::Hermite),
            MakeKey(3, 1, SpanShape::Hermite)};
  e.keys[1].param[1] = 3;
  const double h2 = 0.5, h3 = 0.125;
  EXPECT_NEAR(EvaluateEnvelope(e, 2), (1 - h2) * 1 + h2 * 1 + h3 * 2, 1e-12);
}

TEST(EnvelopeShapes, TwoDimensionalBezierFollowsItsControlPoints) {
  // Control points on the line y = 3x: the curve is that line.
  Envelope e;
  e.keys = {MakeKey(0, 0, SpanShape::Bezier2D), MakeKey(1, 3, SpanShape::Bezier2D)};
  e.keys[0].param = {0, 0, 1.0 / 3, 1};
  e.keys[1].param = {-1.0 / 3, -1, 0, 0};
  EXPECT_NEAR(EvaluateEnvelope(e, 0.4), 1.2, 1e-3);
}

TEST(EnvelopeShapes, NonMonotonicBezierEndsInBoundedTime) {
  Envelope e;
  e.keys = {MakeKey(0, 0, SpanShape::Bezier2D), MakeKey(1, 1, SpanShape::Bezier2D)};
  e.keys[0].param = {0, 0, 5, 4};
  e.keys[1].param = {-7, 2, 0, 0};
  for (double t = 0.01; t < 1; t += 0.01) EXPECT_TRUE(std::isfinite(EvaluateEnvelope(e, t)));
}

TEST(EnvelopeShapes, NonFiniteTimeGivesAValue) {
  Envelope e = Ramp(Behavior::Repeat, Behavior::Repeat);
  EXPECT_TRUE(std::isfinite(EvaluateEnvelope(e, std::numeric_limits<double>::quiet_NaN())));
  EXPECT_TRUE(std::isfinite(EvaluateEnvelope(e, std::numeric_limits<double>::infinity())));
}

TEST(EnvelopeBehaviors, ResetAndConstant) {
  const Envelope reset = Ramp(Behavior::Reset, Behavior::Reset);
  EXPECT_EQ(EvaluateEnvelope(reset, 5), 0);
  EXPECT_EQ(EvaluateEnvelope(reset, 25), 0);
  const Envelope constant = Ramp(Behavior::Constant, Behavior::Constant);
  EXPECT_EQ(EvaluateEnvelope(constant, 5), 0);
  EXPECT_EQ(EvaluateEnvelope(constant, 25), 10);
}

// The first key sits at 10 s, not 0: folding must measure from it.
TEST(EnvelopeBehaviors, RepeatFoldsFromTheFirstKey) {
  const Envelope e = Ramp(Behavior::Repeat, Behavior::Repeat);
  EXPECT_NEAR(EvaluateEnvelope(e, 25), 5, 1e-12);
  EXPECT_NEAR(EvaluateEnvelope(e, 37), 7, 1e-12);
  EXPECT_NEAR(EvaluateEnvelope(e, 5), 5, 1e-12);
  EXPECT_NEAR(EvaluateEnvelope(e, -3), 7, 1e-12);
}

TEST(EnvelopeBehaviors, OffsetRepeatAddsTheRiseOfEachCycle) {
  const Envelope e = Ramp(Behavior::OffsetRepeat, Behavior::OffsetRepeat);
  EXPECT_NEAR(EvaluateEnvelope(e, 25), 15, 1e-12);
  EXPECT_NEAR(EvaluateEnvelope(e, 37), 27, 1e-12);
  EXPECT_NEAR(EvaluateEnvelope(e, 5), -5, 1e-12);
}

TEST(EnvelopeBehaviors, OscillateMirrorsOddCycles) {
  const Envelope e = Ramp(Behavior::Oscillate, Behavior::Oscillate);
  EXPECT_NEAR(EvaluateEnvelope(e, 22), 8, 1e-12);   // 2 s back from the end
  EXPECT_NEAR(EvaluateEnvelope(e, 32), 2, 1e-12);   // forward again
  EXPECT_NEAR(EvaluateEnvelope(e, 8), 2, 1e-12);    // 2 s before: mirrored
}

TEST(EnvelopeBehaviors, LinearExtendsTheEndTangents) {
  const Envelope e = Ramp(Behavior::Linear, Behavior::Linear);
  EXPECT_NEAR(EvaluateEnvelope(e, 25), 15, 1e-12);
  EXPECT_NEAR(EvaluateEnvelope(e, 4), -6, 1e-12);
}

}  // namespace
}  // namespace kestrel
