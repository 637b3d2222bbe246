#pragma once

#include <string>

namespace kovessa {

// Some daemons start a hack with an environment rebuilt from a short list that drops
// XDG_RUNTIME_DIR, and without it neither PulseAudio nor PipeWire can be found. When it is
// missing, this sets it to `userRuntimeFolder` (normally /run/user/<uid>) if that folder is a
// real folder of this user that only the user may enter. True when the variable was set.
bool FillMissingRuntimeFolder(const std::string& userRuntimeFolder);

// /run/user/<uid> for the calling user.
std::string UserRuntimeFolder();

} // namespace kovessa
