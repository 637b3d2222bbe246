#pragma once

#include "common/screen_rect.h"
#include "launcher/shared_state.h"

#include <optional>

namespace kovessa {

// Remembers where the pointer stood when the show window or the settings dialog was loaded.
// A position that could not be read is remembered as (0, 0); a coordinate that the 16-bit
// variable cannot hold leaves that variable as it was.
void RecordOpenPoint(SharedState& shared, std::optional<ScreenPoint> at);

} // namespace kovessa
