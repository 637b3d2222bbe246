#include "show/show_start.h"

#include "common/handoff_folder.h"
#include "common/window_id.h"
#include "common/window_titles.h"

#include <string>
#include <vector>

namespace kovessa {

RendererLaunch RendererLaunchFor(const AppContext& app) {
    RendererLaunch launch{app.programFolder + "/" + kRendererFileName, std::nullopt};
    if (app.hackMode) {
        launch.window = app.hackWindow;
    }
    return launch;
}

ShowStart StartShow(const RendererLaunch& launch, ShowStartServices& services) {
    ShowStart start;
    // The renderer reads both bitmaps while it starts, so they are complete before it runs.
    const HandoffResult pictures = services.HandOverPictures();
    for (const std::string& error : pictures.errors) {
        services.ReportProblem(error);
    }
    start.picturesHandedOver = pictures.written > 0;
    // Without either picture the renderer could only cover the screen with error boxes.
    if (!start.picturesHandedOver) {
        services.ReportProblem("no picture could be handed over to the renderer; the show ends");
        return start;
    }

    std::vector<std::string> arguments;
    if (launch.window) {
        arguments = {"--window-id", WindowIdText(*launch.window)};
    }
    if (pictures.oneShotFolder) {
        arguments.insert(arguments.end(), {"--handoff-folder", *pictures.oneShotFolder});
    }
    start.rendererStarted = services.StartRenderer(launch, arguments);
    if (start.rendererStarted) {
        start.oneShotFolder = pictures.oneShotFolder;
    } else {
        services.ReportProblem("cannot start " + launch.path);
        if (pictures.oneShotFolder) {
            RemoveOneShotHandoffFolder(*pictures.oneShotFolder);
        }
    }
    return start;
}

} // namespace kovessa
