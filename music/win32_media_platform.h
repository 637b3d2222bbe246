#pragma once

#include "music/media_platform.h"

#include <memory>

namespace kovessa {

// The music module's four calls straight to Windows' own multimedia library: the command
// strings go to the media control interface (mciSendStringA), WAV files to PlaySoundA. The
// strings are passed as they are, in the ANSI code page.
std::unique_ptr<MediaPlatform> CreateWin32MediaPlatform();

} // namespace kovessa
