#pragma once

// The window titles by which the processes of Kovessa recognise one another. A new start of
// Kovessa.scr refuses to run while any of them exists on the display.
namespace kovessa {

inline constexpr const char* kShowWindowTitle = "Zeruma_Main";       // hidden show window
inline constexpr const char* kSettingsWindowTitle = "<Kovessa>";     // settings dialog
inline constexpr const char* kRendererWindowTitle = "Zeruma_Pelios"; // renderer window
inline constexpr const char* kPreviewWindowTitle = "Preview Window"; // not guarded
inline constexpr const char* kProgramTitle = "Kovessa(ScreenSaver)"; // message box caption

inline constexpr const char* kScreensaverFileName = "Kovessa.scr";
inline constexpr const char* kRendererFileName = "Kovessa.xy";
inline constexpr const char* kSettingsFileName = "Kovessa.ini";

} // namespace kovessa
