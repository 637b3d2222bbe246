#pragma once

#include <array>
#include <cstdint>

namespace kovessa {

// One firefly: where it goes, when it steps next and the cells it came through.
struct Firefly {
    int32_t Cell = 0;         // the cell it is moving to
    int64_t NextStepTime = 0; // scene milliseconds of its next step (64-bit: runs never overflow)
    std::array<int32_t, 6> Trail{}; // [0] the cell it moves from, then older cells, newest first
    float Speed = 0.01f;            // 0.01 .. 0.05; the step period is 10 / Speed milliseconds
    float Progress = 0.0f;          // share of the current step already done, in [0, 1)
};

} // namespace kovessa
