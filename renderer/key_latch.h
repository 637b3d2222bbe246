#pragma once

#include "renderer/virtual_keys.h"

namespace kovessa {

// The key state that each frame reads. A key is down from its key-down message to its key-up
// message, except that a key pressed since the previous frame stays down until a frame has
// seen it: at a low frame rate a quick tap of Esc or B brings both messages between two frames,
// and without the latch no frame would ever see the key.
class KeyLatch {
public:
    void Press(int vk);
    void Release(int vk);

    // The state for the frame being drawn; the frame may clear a key it has used up.
    KeyState& KeyDown() { return down_; }
    // Called once the frame has read the keys: the taps it has seen are now let go.
    void FrameSeen();

private:
    KeyState down_{};
    KeyState pressedSinceFrame_{};
    KeyState releasedUnseen_{}; // let go while its press was still unseen
};

} // namespace kovessa
