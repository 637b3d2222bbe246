#pragma once

namespace kovessa {

// Neither program needs the desktop's message bus. Where the environment names none, the bus
// library would start one of its own through the X server: a daemon that outlives the show,
// and a start that can stall the process for seconds while it comes up. This names the bus as
// disabled instead, for the process and the programs it starts. A bus the session names is
// left as it is.
void KeepOffUnnamedSessionBus();

} // namespace kovessa
