#include "show/early_start.h"

#include "common/handoff_folder.h"
#include "common/problem_report.h"
#include "show/handoff_bitmap.h"
#include "show/qt_rgb_pixels.h"
#include "show/show_pictures.h"
#include "show/show_start_services.h"

#include <QImage>

#include <string>
#include <vector>

namespace kovessa {

namespace {

class EarlyStartServices : public ShowStartServices {
public:
    explicit EarlyStartServices(std::optional<StartedChild>& renderer) : renderer_(renderer) {}

    HandoffResult HandOverPictures() override {
        // The show window's two pictures, the sources of the renderer's textures.
        const QImage pic1 = GlowPicture();  // the glow of a firefly, 64 x 64
        const QImage pic2 = EarthPicture(); // the Earth, 320 x 320
        return kovessa::HandOverPictures({
            {kGlowBitmapName, ToRgbPixels(pic1)},
            {kBackgroundBitmapName, ToRgbPixels(pic2)},
        });
    }

    bool StartRenderer(const RendererLaunch& launch,
                       const std::vector<std::string>& arguments) override {
        renderer_ = StartChild(launch.path, {arguments, launch.window.has_value()});
        return renderer_.has_value();
    }

    void ReportProblem(const std::string& text) override { kovessa::ReportProblem(text); }

private:
    std::optional<StartedChild>& renderer_;
};

} // namespace

EarlyStart StartShowEarly(const RendererLaunch& launch) {
    EarlyStart early;
    EarlyStartServices services(early.renderer);
    early.start = StartShow(launch, services);
    return early;
}

} // namespace kovessa
