#include "common/window_titles.h"
#include "launcher/main_flow.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace kovessa {
namespace {

// Records every step the start takes, in order, and answers from a small description of the
// system around it.
class RecordingPlatform : public MainPlatform {
public:
    std::set<std::string> windows;
    bool rendererPresent = true;
    std::vector<std::string> steps;

    bool WindowExists(const std::string& title) override {
        steps.push_back("find " + title);
        return windows.count(title) != 0;
    }
    void LoadSettings() override { steps.push_back("settings"); }
    bool FileExists(const std::string& path) override {
        steps.push_back("exists " + path);
        return rendererPresent;
    }
    void ShowMissingRendererMessage() override { steps.push_back("box"); }
    void ShowPreview(int32_t parent) override {
        steps.push_back("preview " + std::to_string(parent));
    }
    void ShowSettingsDialog() override { steps.push_back("dialog"); }
    void HideCursor() override { steps.push_back("hide pointer"); }
    void LoadShow() override { steps.push_back("show"); }
};

const std::vector<std::string> kGuard = {"find Zeruma_Main", "find <Kovessa>",
                                         "find Zeruma_Pelios"};

std::vector<std::string> guardThen(std::vector<std::string> rest) {
    std::vector<std::string> all = kGuard;
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

TEST(MainFlow, EveryModeTakesItsSteps) {
    const std::string checkRenderer = "exists /opt/k/Kovessa.xy";
    struct Case {
        const char* line;
        bool renderer;
        MainResult result;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {"/p 1234", true, MainResult::RunMessageLoop, guardThen({"preview 1234"})},
        {"/P:1234", false, MainResult::RunMessageLoop, guardThen({"preview 1234"})},
        {"/p", false, MainResult::RunMessageLoop, guardThen({"preview 0"})},
        {"/c", true, MainResult::EndProcess, guardThen({"settings", checkRenderer, "dialog"})},
        {"/c:4711", true, MainResult::EndProcess, guardThen({"settings", checkRenderer, "dialog"})},
        {"/s", true, MainResult::RunMessageLoop,
         guardThen({"settings", checkRenderer, "hide pointer", "show"})},
        {"-S", true, MainResult::RunMessageLoop,
         guardThen({"settings", checkRenderer, "hide pointer", "show"})},
        {"", true, MainResult::RunMessageLoop, guardThen({"settings", checkRenderer, "show"})},
        {"/a", true, MainResult::EndProcess, guardThen({"settings", checkRenderer})},
        {"S", true, MainResult::EndProcess, guardThen({"settings", checkRenderer})},
        {"/c", false, MainResult::EndProcess, guardThen({"settings", checkRenderer, "box"})},
        {"/s", false, MainResult::EndProcess, guardThen({"settings", checkRenderer, "box"})},
        {"", false, MainResult::EndProcess, guardThen({"settings", checkRenderer, "box"})},
        {"/a", false, MainResult::EndProcess, guardThen({"settings", checkRenderer, "box"})},
    };
    for (const Case& c : cases) {
        RecordingPlatform platform;
        platform.rendererPresent = c.renderer;
        EXPECT_EQ(Main(c.line, "/opt/k", platform), c.result) << '"' << c.line << '"';
        EXPECT_EQ(platform.steps, c.steps) << '"' << c.line << '"';
    }
}

TEST(MainFlow, AnyLiveWindowOfTheSystemEndsEveryModeAfterAllThreeLookups) {
    for (const char* title : {kShowWindowTitle, kSettingsWindowTitle, kRendererWindowTitle}) {
        for (const char* line : {"/p 1234", "/c", "/s", "", "/a"}) {
            RecordingPlatform platform;
            platform.windows = {title};
            EXPECT_EQ(Main(line, "/opt/k", platform), MainResult::EndProcess) << title << line;
            EXPECT_EQ(platform.steps, kGuard) << title << ' ' << line;
        }
    }
    // The preview's own title is not part of the guard.
    RecordingPlatform platform;
    platform.windows = {kPreviewWindowTitle};
    EXPECT_EQ(Main("/s", "/opt/k", platform), MainResult::RunMessageLoop);
}

TEST(MainFlow, RendererIsLookedForBesideTheProgram) {
    RecordingPlatform platform;
    Main("/s", "/", platform);
    EXPECT_EQ(platform.steps.at(4), "exists /Kovessa.xy");
}

} // namespace
} // namespace kovessa
