#include "common/handoff_folder.h"
#include "show/show_start.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kovessa {
namespace {

using ::testing::ElementsAre;

// Records the first two steps' calls in one ordered log.
struct StartRecorder : ShowStartServices {
    std::vector<std::string> log;
    HandoffResult pictures{2, std::nullopt, {}};
    bool rendererStarts = true;

    HandoffResult HandOverPictures() override {
        log.push_back("HandOverPictures");
        return pictures;
    }
    bool StartRenderer(const RendererLaunch& launch,
                       const std::vector<std::string>& arguments) override {
        std::string line = "StartRenderer " + launch.path;
        for (const std::string& argument : arguments) {
            line += " " + argument;
        }
        log.push_back(line);
        return rendererStarts;
    }
    void ReportProblem(const std::string& text) override { log.push_back("stderr " + text); }
};

AppContext App(bool hack) {
    AppContext app;
    app.programFolder = "/opt/kovessa";
    app.hackMode = hack;
    app.hackWindow = 0x600001;
    return app;
}

TEST(ShowStart, HandsOverThePicturesThenStartsTheRendererWhereItDraws) {
    StartRecorder full;
    const ShowStart started = StartShow(RendererLaunchFor(App(false)), full);
    EXPECT_THAT(full.log, ElementsAre("HandOverPictures", "StartRenderer /opt/kovessa/Kovessa.xy"));
    EXPECT_TRUE(started.picturesHandedOver);
    EXPECT_TRUE(started.rendererStarted);

    StartRecorder hack;
    hack.pictures = {1, "/tmp/kovessa-show-x", {"Zeruma2.bmp not written: disk full"}};
    StartShow(RendererLaunchFor(App(true)), hack);
    EXPECT_THAT(hack.log,
                ElementsAre("HandOverPictures", "stderr Zeruma2.bmp not written: disk full",
                            "StartRenderer /opt/kovessa/Kovessa.xy --window-id 0x600001 "
                            "--handoff-folder /tmp/kovessa-show-x"));
}

TEST(ShowStart, WithoutAnyPictureNoRendererStarts) {
    StartRecorder rec;
    rec.pictures = {0, std::nullopt, {"hand-off folder refused: not ours"}};
    const ShowStart started = StartShow(RendererLaunchFor(App(false)), rec);
    EXPECT_THAT(
        rec.log,
        ElementsAre("HandOverPictures", "stderr hand-off folder refused: not ours",
                    "stderr no picture could be handed over to the renderer; the show ends"));
    EXPECT_FALSE(started.picturesHandedOver);
    EXPECT_FALSE(started.rendererStarted);
}

TEST(ShowStart, ARendererThatCannotStartIsReportedAndItsOneShotFolderRemoved) {
    std::string error;
    const std::optional<std::string> oneShot = OneShotHandoffFolder(&error);
    ASSERT_TRUE(oneShot) << error;
    StartRecorder rec;
    rec.pictures = {2, oneShot, {}};
    rec.rendererStarts = false;
    const ShowStart started = StartShow(RendererLaunchFor(App(false)), rec);
    EXPECT_EQ(rec.log.back(), "stderr cannot start /opt/kovessa/Kovessa.xy");
    EXPECT_TRUE(started.picturesHandedOver);
    EXPECT_FALSE(started.rendererStarted);
    EXPECT_FALSE(std::filesystem::exists(*oneShot));
}

} // namespace
} // namespace kovessa
