#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kovessa {

// Error codes of the media command interpreter. The numbers are the ones the Windows media
// control interface used, so code that stored or compared them keeps its meaning.
namespace mci {
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kInvalidDeviceId = 257;
inline constexpr int32_t kUnrecognizedKeyword = 259;
inline constexpr int32_t kUnrecognizedCommand = 261;
inline constexpr int32_t kHardware = 262;
inline constexpr int32_t kInvalidDeviceName = 263;
inline constexpr int32_t kOutOfMemory = 264;
inline constexpr int32_t kDeviceOpen = 265;
inline constexpr int32_t kCannotLoadDriver = 266;
inline constexpr int32_t kMissingCommandString = 267;
inline constexpr int32_t kBadInteger = 270;
inline constexpr int32_t kMissingParameter = 273;
inline constexpr int32_t kUnsupportedFunction = 274;
inline constexpr int32_t kFileNotFound = 275;
inline constexpr int32_t kDeviceNotReady = 276;
inline constexpr int32_t kExtensionNotFound = 281;
inline constexpr int32_t kOutOfRange = 282;
inline constexpr int32_t kDuplicateAlias = 289;
inline constexpr int32_t kBadTimeFormat = 293;
inline constexpr int32_t kNoClosingQuote = 294;
inline constexpr int32_t kInvalidFile = 296;
inline constexpr int32_t kDeviceNotInstalled = 306;
} // namespace mci

// The standard English text of an error code, or nullopt for a code without one.
std::optional<std::string_view> MciErrorText(int32_t code);

} // namespace kovessa
