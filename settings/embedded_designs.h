#pragma once

#include <string_view>

namespace kovessa {

// The stored designs of the dialog's three buttons, as the Windows programs carry them: the
// text of the design files, taken in at build time.
std::string_view CmdSetDesign();
std::string_view CmdCanDesign();
std::string_view CmdBgmDesign();

} // namespace kovessa
