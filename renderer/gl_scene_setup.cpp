#include "renderer/gl_scene_setup.h"

#include "renderer/gl_texture.h"

#include <GL/gl.h>

namespace kovessa {

void SetupScene(const std::string& glowFile, const std::string& backgroundFile, uint32_t seed,
                FireflyScene& scene, SceneTextures& textures, MessageSink& messages) {
    SetupRenderState();
    LoadTextureFile(glowFile, textures.GlowTexture, messages);
    LoadTextureFile(backgroundFile, textures.BackgroundTexture, messages);
    glBindTexture(GL_TEXTURE_2D, textures.GlowTexture);
    scene.SetUp(seed);
}

} // namespace kovessa
