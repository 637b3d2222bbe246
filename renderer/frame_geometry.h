#pragma once

#include "renderer/cell_table.h"

#include <array>
#include <cstdint>

namespace kovessa {

inline constexpr int32_t kMaxFireflies = 1000;

struct Vec3f {
    float x;
    float y;
    float z;
};

struct Rgb {
    float r;
    float g;
    float b;
};

// One trail line strip: the moving head, the five most recent cells and a tail end that slides
// along the oldest segment. The head is always white and the tail nearly black; the five inner
// levels carry the firefly's tint.
struct TrailStrip {
    Vec3f head;
    std::array<CellPos, 5> inner; // integer cell positions, handed to the GL as they are
    std::array<Rgb, 5> innerColours;
    Vec3f tail;
};

inline constexpr Rgb kTrailHeadColour{1.0f, 1.0f, 1.0f};
inline constexpr Rgb kTrailTailColour{0.0f, 0.0f, 0.1f};

// One glow sprite: a unit square centred on the trail head in the lattice's x-y plane.
struct GlowQuad {
    Vec3f centre;
    Rgb colour;
};

// Everything the GL layer needs to draw one frame, computed by the scene without any GL call.
// Fixed-size arrays: a frame allocates nothing.
struct FrameGeometry {
    bool showBackground = true;
    float backgroundAngle = 0.0f; // degrees about the line of sight
    float cameraAngle = 0.0f;     // degrees about the lattice's vertical axis
    int32_t count = 0;            // fireflies drawn this frame
    std::array<TrailStrip, kMaxFireflies> trails{};
    std::array<GlowQuad, kMaxFireflies> glows{};
};

} // namespace kovessa
