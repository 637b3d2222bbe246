#pragma once

#include "renderer/frame_geometry.h"

#include <cstdint>

// The OpenGL 1.1 layer of the renderer: fixed-function state, the projection and the
// immediate-mode drawing of one FrameGeometry. It decides nothing; every position, colour and
// angle comes from the scene. Depth testing is never on, so draw order alone decides what
// covers what: background, then trails, then the additive glows.
namespace kovessa {

struct SceneTextures {
    uint32_t GlowTexture = 0;
    uint32_t BackgroundTexture = 0;
};

// The OpenGL start state of the scene, all in one place: black clear colour, smooth shading,
// additive blending whenever blending is on, perspective-correct texturing, 2D textures on.
void SetupRenderState();

// Viewport and projection for a client area; a height of 0 counts as 1.
void ResizeScene(int32_t width, int32_t height);

// Draws one frame into the current context; the caller swaps the buffers.
void DrawScene(const FrameGeometry& frame, const SceneTextures& textures);

} // namespace kovessa
