#include "launcher/open_point.h"

#include <cstdint>
#include <limits>

namespace kovessa {

namespace {

void StoreIfItFits(int value, int16_t& into) {
    if (value >= std::numeric_limits<int16_t>::min() &&
        value <= std::numeric_limits<int16_t>::max()) {
        into = static_cast<int16_t>(value);
    }
}

} // namespace

void RecordOpenPoint(SharedState& shared, std::optional<ScreenPoint> at) {
    if (!at) {
        shared.OpenPointX = 0;
        shared.OpenPointY = 0;
        return;
    }
    StoreIfItFits(at->x, shared.OpenPointX);
    StoreIfItFits(at->y, shared.OpenPointY);
}

} // namespace kovessa
