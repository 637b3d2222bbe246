#pragma once

#include <array>

// The renderer keeps its key state by the virtual-key codes of the platform the show was first
// written for, so that the scene's key rules read the same whatever window system delivers the
// keys. The SDL layer translates its key codes into these.
namespace kovessa {

inline constexpr int kVkBack = 8;
inline constexpr int kVkEscape = 27;
inline constexpr int kVkB = 66;
inline constexpr int kVkAdd = 107;      // numeric keypad plus
inline constexpr int kVkSubtract = 109; // numeric keypad minus
inline constexpr int kVkOemPlus = 187;  // main keyboard '=' / '+' key
inline constexpr int kVkOemMinus = 189; // main keyboard '-' key

// True from a key's key-down event to its key-up event, indexed by virtual-key code.
using KeyState = std::array<bool, 256>;

} // namespace kovessa
