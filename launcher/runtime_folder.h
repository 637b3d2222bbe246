#pragma once

#include <string>

namespace kovessa {

// Some daemons start a hack with an environment rebuilt from a short list that drops
// XDG_RUNTIME_DIR, and without it neither PulseAudio nor PipeWire can be found. When it is
// missing, this sets it to `userRuntimeFolder` (normally /run/user/<uid>) if that folder is a
// real folder of this user that only the user may enter. True when the variable was set.
bool FillMissingRuntimeFolder(const std::string& userRuntimeFolder);

// When XDG_RUNTIME_DIR is still missing, the window toolkit makes a folder of its own in the
// temporary folder, warns about it, and leaves it behind. This makes a private folder there
// instead ($TMPDIR, or /tmp), names it in XDG_RUNTIME_DIR for this process and its children,
// and EndProcessAtOnce removes it. True when the variable was set.
bool UsePrivateRuntimeFolder();

// Removes the folder UsePrivateRuntimeFolder made, with whatever was put into it; nothing when
// it made none.
void RemovePrivateRuntimeFolder();

// /run/user/<uid> for the calling user.
std::string UserRuntimeFolder();

} // namespace kovessa
