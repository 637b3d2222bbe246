#include "renderer/gl_texture.h"

#include "renderer/bitmap_loader.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>

namespace kovessa {

bool LoadTextureFile(const std::string& name, uint32_t& texture, MessageSink& messages) {
    const std::optional<Bitmap> bitmap = LoadTextureBitmap(name, messages);
    if (!bitmap) {
        // No further set-up and no teardown: the X server takes the window away with the
        // connection.
        std::fflush(stderr);
        std::_Exit(1);
    }
    GLuint textureName = 0;
    glGenTextures(1, &textureName);
    texture = textureName;
    glBindTexture(GL_TEXTURE_2D, textureName);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Rows are padded to 4 bytes, the default unpack alignment. The first row is the bottom
    // of the picture, so texture coordinate (0, 0) is its lower left corner.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, bitmap->width, bitmap->height, GL_RGB, GL_UNSIGNED_BYTE,
                      bitmap->pixels.data());
    return true;
}

} // namespace kovessa
