#pragma once

#include "music/media_platform.h"

#include <memory>
#include <string>

namespace kovessa {

// The media calls on the desktop: our interpreter over SDL2 audio, with the system's default
// CD drive.
std::unique_ptr<MediaPlatform> CreateDefaultMediaPlatform();

// The same with another disc source: a drive device or a .cue image (demo player, tests).
std::unique_ptr<MediaPlatform> CreateMediaPlatform(const std::string& cdSource);

} // namespace kovessa
