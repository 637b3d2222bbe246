#pragma once

#include "renderer/message_sink.h"

#include <cstdint>
#include <string>

namespace kovessa {

// LoadTextureFile: loads the bitmap and makes a mipmapped texture of it, left bound to
// GL_TEXTURE_2D. When the bitmap cannot be loaded it shows "Unable to load " + name and ends
// the process at once with exit code 1; it returns only with a texture.
bool LoadTextureFile(const std::string& name, uint32_t& texture, MessageSink& messages);

} // namespace kovessa
