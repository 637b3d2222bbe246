#include "show/early_start.h"

#include "common/handoff_folder.h"
#include "common/window_id.h"
#include "show/handoff_bitmap.h"
#include "show/qt_rgb_pixels.h"
#include "show/show_pictures.h"

#include <QImage>

namespace kovessa {

EarlyStart StartShowEarly(const RendererLaunch& launch,
                          const std::function<void(const std::string&)>& report) {
    EarlyStart start;
    // The show window's two pictures, the sources of the renderer's textures.
    const QImage Pic1 = GlowPicture();  // the glow of a firefly, 64 x 64
    const QImage Pic2 = EarthPicture(); // the Earth, 320 x 320
    const HandoffResult pictures = HandOverPictures({
        {kGlowBitmapName, ToRgbPixels(Pic1)},
        {kBackgroundBitmapName, ToRgbPixels(Pic2)},
    });
    for (const std::string& error : pictures.errors) {
        report(error);
    }
    start.picturesHandedOver = pictures.written > 0;
    // Without either picture the renderer could only cover the screen with error boxes.
    if (!start.picturesHandedOver) {
        return start;
    }

    ChildOptions options;
    if (launch.window) {
        options.arguments = {"--window-id", WindowIdText(*launch.window)};
        options.endWithParent = true;
    }
    if (pictures.oneShotFolder) {
        options.arguments.insert(options.arguments.end(),
                                 {"--handoff-folder", *pictures.oneShotFolder});
    }
    start.renderer = StartChild(launch.path, options);
    if (start.renderer) {
        start.oneShotFolder = pictures.oneShotFolder;
    } else {
        report("cannot start " + launch.path);
        if (pictures.oneShotFolder) {
            RemoveOneShotHandoffFolder(*pictures.oneShotFolder);
        }
    }
    return start;
}

} // namespace kovessa
