#pragma once

#include "renderer/firefly_scene.h"
#include "renderer/gl_scene_painter.h"
#include "renderer/message_sink.h"

#include <cstdint>
#include <string>

namespace kovessa {

// SetupScene: the OpenGL start state, the two textures, glow first, and then the fireflies from
// `seed`. A bitmap that cannot be loaded is shown through `messages` and ends the process. The
// glow texture is left bound, as the trails are drawn with it.
void SetupScene(const std::string& glowFile, const std::string& backgroundFile, uint32_t seed,
                FireflyScene& scene, SceneTextures& textures, MessageSink& messages);

} // namespace kovessa
