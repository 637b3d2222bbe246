#pragma once

#include "launcher/app_context.h"
#include "settings/display_strip.h"
#include "settings/ini_writer.h"
#include "settings/music_choice.h"
#include "settings/win32_text_drawer.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kovessa {

class Command;
class StripView;

// The settings dialog "<Kovessa>" on Windows, where the user chooses the music of the shows:
// none, an audio CD (the whole disc or one repeated track) or one MP3 or WAV file. Confirming
// stores the choice in the settings file (a failed save is told in a message box and the
// dialog stays open); cancelling or closing stores nothing. Its bottom left holds the animated
// link strip, which opens the program's documentation on a click.
//
// A top-level window of its own class. Its labels, frames and option marks have no windows of
// their own: the dialog paints them, and a press on a mark or its caption reaches the dialog.
// The track combo, the three Command buttons and the strip are child windows. Positions are
// pixels at 96 dots per inch, scaled to the screen's density.
class Zeruma_P {
public:
    static constexpr const wchar_t* kClassName = L"Kovessa.Settings";

    explicit Zeruma_P(AppContext& app);
    ~Zeruma_P();
    Zeruma_P(const Zeruma_P&) = delete;
    Zeruma_P& operator=(const Zeruma_P&) = delete;

    // Creates, loads and shows the dialog, and runs its messages until it is unloaded.
    void ShowModal();

    // The address a click on the strip opens: a README beside the program, if there is one.
    static std::wstring DocumentationPath(const std::string& programFolder);
    // The words the strip shows.
    static std::string LinkText();

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void BuildControls();
    void Form_Load();
    void Form_Unload();
    void InitCommands();
    void Paint(HDC dc);
    void OptionPressed(POINT at);
    void Img_BGM_MouseDown(int index);
    void ShowChoice();
    void ShowFileName();
    void Cmd_BGM_Click();
    void Cmd_Set_Click();
    void Cmd_Can_Click();
    void Timer1_Timer();
    void picDisplay_Click();
    void Tell(const std::wstring& text);
    int Px(int pixelsAt96) const;
    RECT PicC(int left, int top, int width, int height) const;
    RECT Place(int left, int top, int width, int height) const;
    RECT OptionCaptionRect(int index) const;

    AppContext& app_;
    MusicChoice choice_;
    Win32TextDrawer textDrawer_;
    DisplayStrip strip_;
    std::unique_ptr<IniWriter> writer_;
    int dpi_ = 96;
    HWND hwnd_ = nullptr;
    HFONT labelFont_ = nullptr;
    HICON icon_ = nullptr;
    std::array<std::vector<uint32_t>, 2> Img_Ra_; // 0: option not chosen, 1: chosen; 12 x 12
    std::wstring fileLabel_;
    std::wstring documentation_;

    HWND BGM_Repeat_ = nullptr;
    std::unique_ptr<Command> Cmd_BGM_;
    std::unique_ptr<Command> Cmd_Set_;
    std::unique_ptr<Command> Cmd_Can_;
    std::unique_ptr<StripView> picDisplay_;
};

} // namespace kovessa
