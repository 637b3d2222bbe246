#pragma once

#include <cstdint>
#include <cstdlib>

namespace kovessa {

// The renderer ends when the pointer stands more than 30 pixels away from where it was when
// the loop started, on both axes at once: a nudge along one axis (a desk bump, a scroll) does
// not end the show.
class PointerWatch {
public:
    static constexpr int64_t kLimit = 30;

    void Start(int32_t x, int32_t y) {
        startX_ = x;
        startY_ = y;
    }

    bool MovedAway(int32_t x, int32_t y) const {
        return std::llabs(int64_t{x} - startX_) > kLimit &&
               std::llabs(int64_t{y} - startY_) > kLimit;
    }

private:
    int64_t startX_ = 0;
    int64_t startY_ = 0;
};

} // namespace kovessa
