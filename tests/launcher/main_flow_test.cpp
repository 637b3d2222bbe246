#include "common/window_titles.h"
#include "launcher/main_flow.h"
#include "launcher/program_paths.h"

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
    bool ClaimShow() override {
        steps.push_back("claim");
        return claimFree;
    }
    bool IsWindow(unsigned long window) override { return windowIds.count(window) != 0; }
    unsigned long RootWindow() override { return 0x50d; }
    void ReportProblem(const std::string& text) override { steps.push_back("stderr " + text); }
    void LoadHack(unsigned long window) override {
        steps.push_back("hack " + std::to_string(window));
    }

    bool claimFree = true;
    std::set<unsigned long> windowIds = {0x50d, 0x1200007};
};

// The renderer's path as the system writes it: a backslash joins it on Windows.
const std::string kCheckRenderer = "exists " + JoinPath("/opt/k", "Kovessa.xy");

const std::vector<std::string> kGuard = {"find Zeruma_Main", "find <Kovessa>",
                                         "find Zeruma_Pelios"};

std::vector<std::string> GuardThen(std::vector<std::string> rest) {
    std::vector<std::string> all = kGuard;
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

TEST(MainFlow, EveryModeTakesItsSteps) {
    const std::string& checkRenderer = kCheckRenderer;
    struct Case {
        const char* line;
        bool renderer;
        MainResult result;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {"/p 1234", true, MainResult::RunMessageLoop, GuardThen({"preview 1234"})},
        {"/P:1234", false, MainResult::RunMessageLoop, GuardThen({"preview 1234"})},
        {"/p", false, MainResult::RunMessageLoop, GuardThen({"preview 0"})},
        {"/c", true, MainResult::EndProcess, GuardThen({"settings", checkRenderer, "dialog"})},
        {"/c:4711", true, MainResult::EndProcess, GuardThen({"settings", checkRenderer, "dialog"})},
        {"/p 0x1200007", true, MainResult::RunMessageLoop, GuardThen({"preview 18874375"})},
        {"/p 0X1f", true, MainResult::RunMessageLoop, GuardThen({"preview 31"})},
        {"/p 0xffffffff", true, MainResult::RunMessageLoop, GuardThen({"preview -1"})},
        {"/p 0x1ffffffff", true, MainResult::RunMessageLoop, GuardThen({"preview 0"})},
        {"/s", true, MainResult::RunMessageLoop,
         GuardThen({"claim", "settings", checkRenderer, "hide pointer", "show"})},
        {"-S", true, MainResult::RunMessageLoop,
         GuardThen({"claim", "settings", checkRenderer, "hide pointer", "show"})},
        {"", true, MainResult::RunMessageLoop,
         GuardThen({"claim", "settings", checkRenderer, "show"})},
        {"/a", true, MainResult::EndProcess, GuardThen({"settings", checkRenderer})},
        {"S", true, MainResult::EndProcess, GuardThen({"settings", checkRenderer})},
        {"/c", false, MainResult::EndProcess, GuardThen({"settings", checkRenderer, "box"})},
        {"/s", false, MainResult::EndProcess,
         GuardThen({"claim", "settings", checkRenderer, "box"})},
        {"", false, MainResult::EndProcess, GuardThen({"claim", "settings", checkRenderer, "box"})},
        {"/a", false, MainResult::EndProcess, GuardThen({"settings", checkRenderer, "box"})},
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
    EXPECT_EQ(platform.steps.at(5), "exists /Kovessa.xy");
}

TEST(MainFlow, ASecondShowWithoutTheClaimEndsSilentlyBeforeReadingAnything) {
    for (const char* line : {"/s", ""}) {
        RecordingPlatform platform;
        platform.claimFree = false;
        EXPECT_EQ(Main(line, "/opt/k", platform), MainResult::EndProcess);
        EXPECT_EQ(platform.steps, GuardThen({"claim"})) << '"' << line << '"';
    }
}

TEST(HackFlow, DrawsIntoTheNamedWindowWithoutGuardOrClaim) {
    RecordingPlatform platform;
    // Every title of the system is on the display: a second monitor's instance runs anyway.
    platform.windows = {kShowWindowTitle, kSettingsWindowTitle, kRendererWindowTitle};
    EXPECT_EQ(HackMain(HackCommand{0x1200007, {}}, "/opt/k", platform), MainResult::RunMessageLoop);
    EXPECT_EQ(platform.steps,
              (std::vector<std::string>{"settings", kCheckRenderer, "hack 18874375"}));

    RecordingPlatform root;
    EXPECT_EQ(HackMain(HackCommand{std::nullopt, {}}, "/opt/k", root), MainResult::RunMessageLoop);
    EXPECT_EQ(root.steps.back(), "hack 1293");
}

TEST(HackFlow, WhatCannotRunFailsWithALineAndNoBox) {
    RecordingPlatform badText;
    EXPECT_EQ(HackMain(HackCommand{std::nullopt, "--window-id \"zz\" is not a window id"}, "/opt/k",
                       badText),
              MainResult::Fail);
    EXPECT_EQ(badText.steps,
              (std::vector<std::string>{"stderr --window-id \"zz\" is not a window id"}));

    RecordingPlatform noWindow;
    EXPECT_EQ(HackMain(HackCommand{0x4242, {}}, "/opt/k", noWindow), MainResult::Fail);
    EXPECT_EQ(noWindow.steps, (std::vector<std::string>{"stderr window 16962 is not a window"}));

    RecordingPlatform noRenderer;
    noRenderer.rendererPresent = false;
    EXPECT_EQ(HackMain(HackCommand{0x50d, {}}, "/opt/k", noRenderer), MainResult::Fail);
    EXPECT_EQ(noRenderer.steps,
              (std::vector<std::string>{"settings", kCheckRenderer,
                                        std::string("stderr ") + kMissingRendererMessage}));
}

} // namespace
} // namespace kovessa
