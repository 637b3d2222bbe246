#pragma once

#include "renderer/cell_table.h"
#include "renderer/firefly.h"
#include "renderer/frame_geometry.h"
#include "renderer/random_source.h"
#include "renderer/virtual_keys.h"

#include <array>
#include <cstdint>

namespace kovessa {

// The firefly scene as plain state and arithmetic: the walk through the lattice, the trail
// colours, the glow colours and the two turning angles are all functions of the scene time and
// the seed, so any frame can be replayed without a window. The GL layer only draws what
// BuildFrame leaves in a FrameGeometry.
class FireflyScene {
public:
    // The firefly set-up: seed, the firefly table, then the cell table.
    void SetUp(uint32_t seed);

    // One frame at scene time t (milliseconds): steps the due fireflies, then computes every
    // trail and glow and the two angles.
    void BuildFrame(int64_t t, FrameGeometry& frame);

    void StepFireflies(int64_t t);
    // Sets each firefly's Progress for time t and writes its trail strip.
    void ComputeTrails(int64_t t, FrameGeometry& frame);
    // Glow colours and centres; the centres are the trail heads, so ComputeTrails runs first.
    void ComputeGlows(FrameGeometry& frame) const;

    // The scene keys: keypad plus and minus change the count by one per frame, B toggles the
    // background and clears its key so that only the keyboard's repeat toggles it again.
    void HandleKeys(KeyState& keys);

    // Turn angles in degrees. They are reduced to one full turn in integer arithmetic before
    // the division, so the turning stays smooth however long the show runs.
    static float BackgroundAngle(int64_t t);
    static float CameraAngle(int64_t t);

    // Step period in milliseconds: 10 / speed rounded to the nearest millisecond.
    static int64_t StepPeriod(float speed);

    std::array<Firefly, kMaxFireflies> Fireflies{};
    int32_t FireflyCount = 500;
    bool ShowBackground = true;
    RandomSource random;
    CellTable cells{};

private:
    Vec3f PointBetween(int32_t from, int32_t to, float progress) const;
};

} // namespace kovessa
