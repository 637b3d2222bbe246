#include "settings/win32_zeruma_p.h"

#include "common/win32_ansi_text.h"
#include "common/win32_text.h"
#include "common/win32_window_class.h"
#include "common/window_titles.h"
#include "controls/property_bag.h"
#include "controls/win32_command.h"
#include "controls/win32_font.h"
#include "launcher/file_exists.h"
#include "launcher/open_point.h"
#include "launcher/program_paths.h"
#include "launcher/settings_place.h"
#include "settings/embedded_designs.h"
#include "settings/embedded_settings_pictures.h"
#include "settings/repeat_text.h"
#include "settings/settings_file_writer.h"
#include "settings/strip_pictures.h"
#include "settings/win32_strip_view.h"

#include <commdlg.h>
#include <cstddef>
#include <optional>
#include <shellapi.h>
#include <string>
#include <utility>
#include <windowsx.h>

namespace kovessa {

namespace {

constexpr int kClientWidth = 481;
constexpr int kClientHeight = 231;
constexpr UINT_PTR kTimer1Id = 1;
// Control ids: the track combo and the three buttons, in their Tab order.
constexpr int kIdRepeat = 101;
constexpr int kIdBrowse = 102;
constexpr int kIdSet = 103;
constexpr int kIdCancel = 104;
constexpr int kMarkSize = 12;
constexpr COLORREF kWhite = RGB(255, 255, 255);
// The longest path the file dialog hands back; a longer choice than the settings keep is told
// to the user rather than lost in a failing dialog.
constexpr DWORD kFileBufferChars = 32768;

#ifndef KOVESSA_VERSION
#define KOVESSA_VERSION "1.0"
#endif

const char* const kLabelFontName = "ＭＳ Ｐゴシック";
constexpr double kLabelPoints = 9.75;

// The options in screen order: CD, none, file. Their index is their kind.
struct Option {
    int index;
    int top;
    const wchar_t* caption;
};
constexpr Option kOptions[] = {{1, 40, L"音楽CD"}, {0, 60, L"無し"}, {2, 80, L"MP3、WAV"}};

FontSpec LabelFontSpec() {
    FontSpec font;
    font.name = kLabelFontName;
    font.size = kLabelPoints;
    return font;
}

DisplayStrip NewStrip(TextDrawer& text) {
    StripPictures pictures = LoadStripPictures();
    return DisplayStrip(text, std::move(pictures.hilite), std::move(pictures.stars));
}

// 32-bit pixels (blue, green, red, unused) of a picture carried in the program.
std::vector<uint32_t> DibPixels(const RgbPixels& pixels, int width, int height) {
    std::vector<uint32_t> out(static_cast<std::size_t>(width) * height, 0);
    if (!pixels.IsValid() || pixels.width != width || pixels.height != height) {
        return out;
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = (uint32_t{pixels.rgb[3 * i]} << 16) | (uint32_t{pixels.rgb[3 * i + 1]} << 8) |
                 pixels.rgb[3 * i + 2];
    }
    return out;
}

void StretchPixels(HDC dc, const RECT& to, const std::vector<uint32_t>& pixels, int width,
                   int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, 0, width, height,
                  pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

HICON MakeIcon(const RgbPixels& pixels) {
    constexpr int kSize = 32;
    const std::vector<uint32_t> colour = DibPixels(pixels, kSize, kSize);
    const std::vector<uint8_t> mask(kSize * kSize / 8, 0); // every pixel opaque
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = CreateBitmap(kSize, kSize, 1, 32, colour.data());
    info.hbmMask = CreateBitmap(kSize, kSize, 1, 1, mask.data());
    const HICON icon = info.hbmColor && info.hbmMask ? CreateIconIndirect(&info) : nullptr;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return icon;
}

std::unique_ptr<Command> MakeCommand(HWND parent, int id, const RECT& rect,
                                     std::string_view design) {
    auto button = std::make_unique<Command>(parent, id, rect, LabelFontSpec());
    if (const auto bag = PropertyBag::Parse(design)) {
        button->ReadProperties(*bag);
    }
    return button;
}

} // namespace

Zeruma_P::Zeruma_P(AppContext& app)
    : app_(app), choice_(app.music), strip_(NewStrip(textDrawer_)),
      writer_(std::make_unique<SettingsFileWriter>()), dpi_(ScreenDotsPerInch()) {
    Img_Ra_[0] = DibPixels(MarkOffPixels(), kMarkSize, kMarkSize);
    Img_Ra_[1] = DibPixels(MarkOnPixels(), kMarkSize, kMarkSize);
}

Zeruma_P::~Zeruma_P() {
    Cmd_BGM_.reset();
    Cmd_Set_.reset();
    Cmd_Can_.reset();
    picDisplay_.reset();
    DestroyOwnedWindow(hwnd_);
    if (labelFont_ != nullptr) {
        DeleteObject(labelFont_);
    }
    if (icon_ != nullptr) {
        DestroyIcon(icon_);
    }
}

int Zeruma_P::Px(int pixelsAt96) const {
    return MulDiv(pixelsAt96, dpi_, 96);
}

RECT Zeruma_P::Place(int left, int top, int width, int height) const {
    return RECT{Px(left), Px(top), Px(left + width), Px(top + height)};
}

// A rectangle inside the music panel Pic_C(0), which stands at 12, 28 of the window.
RECT Zeruma_P::PicC(int left, int top, int width, int height) const {
    return Place(12 + left, 28 + top, width, height);
}

void Zeruma_P::ShowModal() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &OwnedWindowProc<Zeruma_P, &Zeruma_P::hwnd_, &Zeruma_P::Handle>;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    // A fixed single border with a title bar: the dialog cannot be resized or maximised.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT outer{0, 0, Px(kClientWidth), Px(kClientHeight)};
    AdjustWindowRectEx(&outer, style, FALSE, WS_EX_DLGMODALFRAME);
    const std::wstring title = WideFromUtf8(kSettingsWindowTitle);
    hwnd_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, title.c_str(),
                            style, CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                            outer.bottom - outer.top, nullptr, nullptr, GetModuleHandleW(nullptr),
                            this);
    if (hwnd_ == nullptr) {
        return;
    }
    BuildControls();
    Form_Load();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);

    MSG message;
    while (hwnd_ != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab and Shift+Tab move the focus among the controls, as in any dialog.
        if (hwnd_ != nullptr && IsDialogMessageW(hwnd_, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Zeruma_P::BuildControls() {
    labelFont_ = MakeGdiFont(LabelFontSpec());
    icon_ = MakeIcon(DialogIconPixels());
    if (icon_ != nullptr) {
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }

    // The window order is the Tab order: the combo, "...", then confirm and cancel.
    const RECT repeat = PicC(92, 36, 41, 20);
    BGM_Repeat_ = CreateWindowExW(0, L"COMBOBOX", L"",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN |
                                      CBS_AUTOHSCROLL,
                                  repeat.left, repeat.top, repeat.right - repeat.left, Px(20 + 200),
                                  hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdRepeat)),
                                  GetModuleHandleW(nullptr), nullptr);
    SendMessageW(BGM_Repeat_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_), FALSE);
    // The edit field, borders included, as high as the combo's place.
    SendMessageW(BGM_Repeat_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Px(20) - 6);

    Cmd_BGM_ = MakeCommand(hwnd_, kIdBrowse, PicC(36, 96, 29, 21), CmdBgmDesign());
    Cmd_BGM_->onClick = [this] { Cmd_BGM_Click(); };

    picDisplay_ = std::make_unique<StripView>(
        hwnd_, strip_.picDisplay,
        Place(12, 180, DisplayStrip::kDisplayWidth, DisplayStrip::kDisplayHeight));
    picDisplay_->onClick = [this] { picDisplay_Click(); };

    Cmd_Set_ = MakeCommand(hwnd_, kIdSet, Place(320, 180, 73, 25), CmdSetDesign());
    Cmd_Set_->onClick = [this] { Cmd_Set_Click(); };
    Cmd_Can_ = MakeCommand(hwnd_, kIdCancel, Place(396, 180, 69, 25), CmdCanDesign());
    Cmd_Can_->onClick = [this] { Cmd_Can_Click(); };
    // The strip reaches one pixel under 設定; the button lies above it, and the strip's blits
    // leave it alone.
    SetWindowPos(picDisplay_->Window(), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Zeruma_P::Form_Load() {
    // 1. Centred across, a third of the free height from the top of the primary screen.
    RECT outer;
    GetWindowRect(hwnd_, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 3, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // 2.
    InitCommands();
    // 3. The window class paints black behind everything; the panel is the window's own black.
    // 4, 5. Marks and enabled states for the kind read from the settings file.
    choice_.ShowCurrentKind();
    ShowChoice();
    // 6. The text first, then the list; nothing selected, so the text stays as set.
    const std::wstring repeatText = WideFromUtf8(FormatRepeat(app_.music.BGMRepeat));
    SetWindowTextW(BGM_Repeat_, repeatText.c_str());
    for (int16_t track = 0; track <= 30; ++track) {
        const std::wstring item = WideFromUtf8(FormatRepeat(track));
        SendMessageW(BGM_Repeat_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageW(BGM_Repeat_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(BGM_Repeat_, repeatText.c_str());
    // 7.
    ShowFileName();
    // 8.
    documentation_ = DocumentationPath(app_.programFolder);
    strip_.Start(LinkText());
    SetTimer(hwnd_, kTimer1Id, DisplayStrip::kTimerIntervalMs, nullptr);
    // 9.
    POINT at;
    const bool read = GetCursorPos(&at) != 0;
    app_.shared.APIResult = read ? 1 : 0;
    RecordOpenPoint(app_.shared,
                    read ? std::optional<ScreenPoint>(ScreenPoint{at.x, at.y}) : std::nullopt);
    // 10. From the pointer to the window, as the system animates a window's opening.
    GetWindowRect(hwnd_, &outer);
    const RECT from{app_.shared.OpenPointX, app_.shared.OpenPointY, app_.shared.OpenPointX,
                    app_.shared.OpenPointY};
    DrawAnimatedRects(hwnd_, IDANI_CAPTION, &from, &outer);
    // 11.
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
}

void Zeruma_P::Form_Unload() {
    KillTimer(hwnd_, kTimer1Id);
    strip_.Stop();
    RECT outer;
    GetWindowRect(hwnd_, &outer);
    const RECT to{app_.shared.OpenPointX, app_.shared.OpenPointY, app_.shared.OpenPointX,
                  app_.shared.OpenPointY};
    DrawAnimatedRects(hwnd_, IDANI_CAPTION, &outer, &to);
}

void Zeruma_P::InitCommands() {
    for (Command* button : {Cmd_BGM_.get(), Cmd_Set_.get(), Cmd_Can_.get()}) {
        button->Initialize();
    }
}

LRESULT Zeruma_P::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd_, &paint);
        Paint(dc);
        EndPaint(hwnd_, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // Any mouse button on a mark or its caption chooses that option at once.
        OptionPressed(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_TIMER:
        if (wParam == kTimer1Id) {
            Timer1_Timer();
            return 0;
        }
        break;
    case WM_CTLCOLORBTN:
        // What a Command button with a transparent background shows: the dialog's black.
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    case WM_COMMAND:
        // Enter and Esc reach the dialog as IDOK and IDCANCEL; like the dialog's other keys
        // they do nothing. Only the buttons confirm and cancel.
        return 0;
    case WM_CLOSE:
        // The window manager's close: the same as cancel.
        Cmd_Can_Click();
        return 0;
    case WM_DESTROY:
        hwnd_ = nullptr;
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Zeruma_P::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    // Composed off screen and shown in one copy.
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    FillRect(memory, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const HGDIOBJ oldFont = SelectObject(memory, labelFont_);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, kWhite);

    // Shape3(3): the white outline that frames the title.
    const HBRUSH white = CreateSolidBrush(kWhite);
    const RECT shape = PicC(20, 12, 113, 21);
    FrameRect(memory, &shape, white);
    RECT title = PicC(20, 16, 111, 13);
    DrawTextW(memory, L"BGM", 3, &title, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOCLIP);

    for (const Option& option : kOptions) {
        const RECT mark = PicC(20, option.top, kMarkSize, kMarkSize);
        StretchPixels(memory, mark, Img_Ra_[choice_.MarkChosen(option.index) ? 1 : 0], kMarkSize,
                      kMarkSize);
        const RECT caption = PicC(36, option.top, 0, 0);
        TextOutW(memory, caption.left, caption.top, option.caption,
                 static_cast<int>(wcslen(option.caption)));
    }
    const RECT repeat = PicC(136, 40, 0, 0);
    const wchar_t* const repeatCaption = L"曲目をﾘﾋﾟｰﾄ";
    TextOutW(memory, repeat.left, repeat.top, repeatCaption,
             static_cast<int>(wcslen(repeatCaption)));

    // lbl_Fname: one line in a single border. A path longer than the box loses letters in its
    // middle, so the file name at its end stays in sight.
    const RECT fileBox = PicC(68, 96, 357, 29);
    FrameRect(memory, &fileBox, white);
    RECT fileText{fileBox.left + Px(2), fileBox.top + 1, fileBox.right - Px(2), fileBox.bottom - 1};
    DrawTextW(memory, fileLabel_.c_str(), static_cast<int>(fileLabel_.size()), &fileText,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);

    // lbl(7): the credit and version.
    const std::wstring credit =
        WideFromUtf8(std::string("Kovessa Ver ") + KOVESSA_VERSION + "  for Windows");
    const RECT creditAt = Place(12, 204, 0, 0);
    TextOutW(memory, creditAt.left, creditAt.top, credit.c_str(), static_cast<int>(credit.size()));

    DeleteObject(white);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

RECT Zeruma_P::OptionCaptionRect(int index) const {
    for (const Option& option : kOptions) {
        if (option.index != index) {
            continue;
        }
        RECT at = PicC(36, option.top, 0, 0);
        SIZE size{};
        if (const HDC dc = GetDC(hwnd_); dc != nullptr) {
            const HGDIOBJ old = SelectObject(dc, labelFont_);
            GetTextExtentPoint32W(dc, option.caption, static_cast<int>(wcslen(option.caption)),
                                  &size);
            SelectObject(dc, old);
            ReleaseDC(hwnd_, dc);
        }
        at.right = at.left + size.cx;
        at.bottom = at.top + size.cy;
        return at;
    }
    return RECT{};
}

void Zeruma_P::OptionPressed(POINT at) {
    for (const Option& option : kOptions) {
        const RECT mark = PicC(20, option.top, kMarkSize, kMarkSize);
        const RECT caption = OptionCaptionRect(option.index);
        if (PtInRect(&mark, at) || PtInRect(&caption, at)) {
            Img_BGM_MouseDown(option.index);
            return;
        }
    }
}

void Zeruma_P::Img_BGM_MouseDown(int index) {
    choice_.ChooseOption(index);
    ShowChoice();
}

void Zeruma_P::ShowChoice() {
    for (const Option& option : kOptions) {
        const RECT mark = PicC(20, option.top, kMarkSize, kMarkSize);
        InvalidateRect(hwnd_, &mark, FALSE);
    }
    Cmd_BGM_->SetEnabled(choice_.BrowseEnabled());
    EnableWindow(BGM_Repeat_, choice_.RepeatEnabled() ? TRUE : FALSE);
}

void Zeruma_P::ShowFileName() {
    // A path kept in its short form is shown by the file's own name.
    std::wstring path = WideFromUtf8(app_.music.BGMFile);
    if (!path.empty()) {
        if (const DWORD length = GetLongPathNameW(path.c_str(), nullptr, 0); length > 0) {
            std::wstring full(length, L'\0');
            const DWORD written = GetLongPathNameW(path.c_str(), full.data(), length);
            if (written > 0 && written < length) {
                full.resize(written);
                path = std::move(full);
            }
        }
    }
    fileLabel_ = std::move(path);
    const RECT fileBox = PicC(68, 96, 357, 29);
    InvalidateRect(hwnd_, &fileBox, FALSE);
}

void Zeruma_P::Cmd_BGM_Click() {
    std::wstring buffer(kFileBufferChars, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = hwnd_;
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = L"BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0\0";
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kFileBufferChars;
    dialog.lpstrTitle = L"ﾌｧｲﾙを開く";
    // No options: a typed name that does not exist is accepted too; the next start drops a
    // file that cannot be read.
    dialog.Flags = 0;
    const BOOL chosen = GetOpenFileNameW(&dialog);
    app_.shared.APIResult = chosen;
    if (!chosen) {
        return;
    }
    const std::wstring wide(buffer.c_str());
    std::string path = Utf8FromWide(wide);
    // The settings file and the media commands take paths in the system's code page. A name
    // that the code page cannot spell (Cyrillic on a Western system, say) is kept by the
    // path's short form, which is plain ASCII and names the same file.
    if (!AnsiFromUtf8(path)) {
        const std::optional<std::string> ansi = AnsiPathFromUtf8(path);
        if (!ansi) {
            Tell(L"このファイルのパスは設定に残せる文字で書けません。\n"
                 L"The path of this file cannot be written in the characters of this system's "
                 L"code page, and the file has no short name.\n\n" +
                 wide);
            return;
        }
        path = Utf8FromAnsi(*ansi);
    }
    if (choice_.FileChosen(path) == MusicChoice::FileAnswer::TooLong) {
        Tell(L"このファイルのパスは長すぎて設定に残せません（" + std::to_wstring(path.size()) +
             L" バイト、最大 " + std::to_wstring(MusicChoice::kMaxFilePathBytes) +
             L" バイト）。\nThe path of this file is too long to be kept in the settings (" +
             std::to_wstring(path.size()) + L" bytes, at most " +
             std::to_wstring(MusicChoice::kMaxFilePathBytes) + L").\n\n" + wide);
        return;
    }
    ShowFileName();
}

void Zeruma_P::Cmd_Set_Click() {
    const SettingsPlace place = LocateSettings(app_.programFolder, UserConfigHome());
    std::string error;
    bool saved = true;
    if (place.perUser && !MakeSettingsFolder(place.writePath)) {
        error = "cannot make the folder of the settings file";
        saved = false;
    }
    if (saved) {
        const int length = GetWindowTextLengthW(BGM_Repeat_);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(BGM_Repeat_, text.data(), length + 1)));
        saved = choice_.Confirm(Utf8FromWide(text), *writer_, place.writePath, &error);
    }
    const std::wstring repeatText = WideFromUtf8(FormatRepeat(app_.music.BGMRepeat));
    SetWindowTextW(BGM_Repeat_, repeatText.c_str());
    if (!saved) {
        // The dialog stays open with the choice on it, so the user can try again or cancel.
        Tell(L"設定を保存できませんでした。\nThe settings could not be saved.\n\n" +
             WideFromUtf8(place.writePath) + L"\n" + WideFromUtf8(error));
        return;
    }
    Form_Unload();
    DestroyWindow(hwnd_);
}

void Zeruma_P::Cmd_Can_Click() {
    Form_Unload();
    DestroyWindow(hwnd_);
}

void Zeruma_P::Timer1_Timer() {
    strip_.Timer1_Timer();
    picDisplay_->Show();
}

void Zeruma_P::picDisplay_Click() {
    const HCURSOR old = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    if (!documentation_.empty()) {
        ShellExecuteW(hwnd_, L"open", documentation_.c_str(), L"", L"", SW_SHOWNORMAL);
    }
    SetCursor(old);
}

std::wstring Zeruma_P::DocumentationPath(const std::string& programFolder) {
    if (programFolder.empty()) {
        return {};
    }
    for (const char* name : {"README.txt", "README.md"}) {
        const std::string path = JoinPath(programFolder, name);
        if (FileExists(path)) {
            return WideFromUtf8(path);
        }
    }
    return {};
}

std::string Zeruma_P::LinkText() {
    return DisplayStrip::kLinkText;
}

void Zeruma_P::Tell(const std::wstring& text) {
    const std::wstring title = WideFromUtf8(kSettingsWindowTitle);
    MessageBoxW(hwnd_, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
}

} // namespace kovessa
