#include "launcher/qt_main_platform.h"

#include "common/problem_report.h"
#include "common/window_titles.h"
#include "launcher/file_exists.h"
#include "launcher/main_flow.h"
#include "launcher/preview_size.h"
#include "launcher/qt_form.h"
#include "launcher/qt_message_box.h"
#include "launcher/settings_file.h"
#include "launcher/x11_desktop.h"
#include "settings/zeruma_p.h"
#include "show/early_start.h"
#include "show/show_start.h"
#include "show/zeruma_r.h"
#include "show/zeruma_s.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWindow>

#include <string>
#include <unistd.h>
#include <utility>

namespace kovessa {

void QtMainPlatform::StartToolkit() {
    if (toolkitStarted_) {
        return;
    }
    toolkitStarted_ = true;
    // Qt sees no arguments: a switch such as -s or -style belongs to the screensaver, not to
    // Qt. The application lives as long as the process, which ends without unwinding.
    static int qtArgc = 1;
    static char* qtArgv[] = {programName_, nullptr};
    new QApplication(qtArgc, qtArgv);
    Form::InstallTerminationHandlers();
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"));
}

bool QtMainPlatform::WindowExists(const std::string& title) {
    return x11::FindWindowByTitle(title) != 0;
}

void QtMainPlatform::LoadSettings() {
    kovessa::LoadSettings(app_.music, app_.programFolder);
}

bool QtMainPlatform::FileExists(const std::string& path) {
    return kovessa::FileExists(path);
}

void QtMainPlatform::ShowMissingRendererMessage() {
    StartToolkit();
    MakeMissingRendererBox()->exec();
}

void QtMainPlatform::ShowPreview(int32_t parentHandle) {
    StartToolkit();
    // X window ids are unsigned; a negative handle keeps its 32-bit pattern and names no window.
    const unsigned long parent = static_cast<uint32_t>(parentHandle);
    const std::optional<ScreenRect> rect = x11::GetWindowRect(parent);

    double dpiX = 96, dpiY = 96;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        dpiX = screen->logicalDotsPerInchX();
        dpiY = screen->logicalDotsPerInchY();
    }
    const PreviewSize size =
        ComputePreviewSize(rect.value_or(ScreenRect{}), TwipsPerPixel(dpiX), TwipsPerPixel(dpiY));

    auto* preview = new Zeruma_R(app_);
    preview->Load();
    // Only a real window can take the preview in; for anything else the preview stays a
    // window of no size of its own.
    if (rect && preview->windowHandle() != nullptr) {
        if (QWindow* foreign = QWindow::fromWinId(parent)) {
            preview->windowHandle()->setParent(foreign);
        }
    }
    preview->setGeometry(0, 0, size.widthPixels, size.heightPixels);
    preview->Img_Prev()->setGeometry(0, 0, size.widthPixels, size.heightPixels);
    preview->WatchParent(parent);
    preview->ShowModeless();
}

void QtMainPlatform::ShowSettingsDialog() {
    StartToolkit();
    // Left to the end of the process: the dialog may take its own way out of the loop.
    auto* dialog = new Zeruma_P(app_);
    dialog->ShowModal();
}

void QtMainPlatform::HideCursor() {
    x11::HideCursor();
}

void QtMainPlatform::LoadShow() {
    // The show's first two steps before the toolkit: the renderer starts while it comes up.
    EarlyStart early = StartShowEarly(RendererLaunchFor(app_));
    StartToolkit();
    (new Zeruma_S(app_, std::move(early)))->Load();
}

bool QtMainPlatform::ClaimShow() {
    return x11::ClaimSelection("_KOVESSA_SHOW_" + std::to_string(getuid()));
}

bool QtMainPlatform::IsWindow(unsigned long window) {
    return x11::GetWindowRect(window).has_value();
}

unsigned long QtMainPlatform::RootWindow() {
    return x11::ScreenRootWindow();
}

void QtMainPlatform::ReportProblem(const std::string& text) {
    kovessa::ReportProblem(text);
}

void QtMainPlatform::LoadHack(unsigned long window) {
    app_.hackMode = true;
    app_.hackWindow = window;
    LoadShow();
}

} // namespace kovessa
