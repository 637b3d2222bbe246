#include "renderer/key_latch.h"

#include <cstddef>

namespace kovessa {

namespace {
bool ValidKey(int vk) {
    return vk >= 0 && vk < static_cast<int>(KeyState{}.size());
}
} // namespace

void KeyLatch::Press(int vk) {
    if (!ValidKey(vk)) {
        return;
    }
    down_[vk] = true;
    pressedSinceFrame_[vk] = true;
    releasedUnseen_[vk] = false;
}

void KeyLatch::Release(int vk) {
    if (!ValidKey(vk)) {
        return;
    }
    if (pressedSinceFrame_[vk]) {
        releasedUnseen_[vk] = true;
    } else {
        down_[vk] = false;
    }
}

void KeyLatch::FrameSeen() {
    for (std::size_t vk = 0; vk < down_.size(); ++vk) {
        if (releasedUnseen_[vk]) {
            down_[vk] = false;
        }
    }
    pressedSinceFrame_.fill(false);
    releasedUnseen_.fill(false);
}

} // namespace kovessa
