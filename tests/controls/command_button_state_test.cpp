#include "controls/command_button_state.h"
#include "tests/controls/recording_surface.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace kovessa::test {
namespace {

// One thing that can happen to the button.
enum class Step { Move, DownL, UpL, DownR, UpR, Focus, Blur, TickIn, TickOut, Resize };

void Apply(CommandButtonState& button, Step step) {
    switch (step) {
    case Step::Move:
        return button.MouseMove();
    case Step::DownL:
        return button.MouseDown(MouseButton::Left);
    case Step::UpL:
        return button.MouseUp(MouseButton::Left);
    case Step::DownR:
        return button.MouseDown(MouseButton::Right);
    case Step::UpR:
        return button.MouseUp(MouseButton::Right);
    case Step::Focus:
        return button.GotFocus();
    case Step::Blur:
        return button.LostFocus();
    case Step::TickIn:
        return button.MouseTimerTick(true);
    case Step::TickOut:
        return button.MouseTimerTick(false);
    case Step::Resize:
        return button.Resize();
    }
}

// Ways to reach each state from an initialized, enabled button.
const std::vector<Step> kToState1 = {};
const std::vector<Step> kToState2 = {Step::Move};
const std::vector<Step> kToState3 = {Step::Focus};
const std::vector<Step> kToState4 = {Step::Focus, Step::Move};

struct Row {
    const char* name;
    std::vector<Step> before; // brings the button into the row's state, unrecorded
    std::vector<Step> steps;  // recorded
    int state;
    std::vector<std::string> faces;
    int clicks;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

class StateTable : public ::testing::TestWithParam<Row> {};

TEST_P(StateTable, MovesAndDraws) {
    const Row& row = GetParam();
    RecordingSurface surface;
    CommandButtonState button(surface);
    button.SetEnabledFlag(true);
    button.Initialize();
    for (Step step : row.before) {
        Apply(button, step);
    }
    surface.Clear();
    for (Step step : row.steps) {
        Apply(button, step);
    }
    EXPECT_EQ(button.ButtonState(), row.state);
    EXPECT_EQ(surface.Faces(), row.faces);
    EXPECT_EQ(surface.clicks, row.clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StateTable,
    ::testing::Values(
        Row{"MoveInNormalHighlights", kToState1, {Step::Move}, 2, {"HighLight/hover"}, 0},
        Row{"MoveInFocusedHighlightsSelected", kToState3, {Step::Move}, 4, {"HighLightSelect"}, 0},
        Row{"MoveWhileHoveredDrawsNothing", kToState2, {Step::Move}, 2, {}, 0},
        Row{"FocusWithoutPointerSelects", kToState1, {Step::Focus}, 3, {"Selected"}, 0},
        Row{"FocusOnHoveredDrawsPressed", kToState2, {Step::Focus}, 4, {"Pressed/hover"}, 0},
        Row{"FocusAgainSelects", kToState4, {Step::Focus}, 3, {"Selected"}, 0},
        Row{"BlurFromHoveredFocused", kToState4, {Step::Blur}, 1, {"Normal"}, 0},
        Row{"BlurFromFocused", kToState3, {Step::Blur}, 1, {"Normal"}, 0},
        Row{"BlurInNormalDrawsNothing", kToState1, {Step::Blur}, 1, {}, 0},
        Row{"LeftPressKeepsState", kToState2, {Step::DownL}, 2, {"Pressed/hover"}, 0},
        Row{"RightPressDrawsNothing", kToState2, {Step::DownR}, 2, {}, 0},
        Row{"LeftReleaseHoveredDrawsNormal", kToState2, {Step::UpL}, 2, {"Normal/hover"}, 1},
        Row{"LeftReleaseHoveredFocused", kToState4, {Step::UpL}, 4, {"HighLightSelect"}, 1},
        Row{"ReleaseFocusedOutsideNoClick", kToState3, {Step::UpL}, 3, {}, 0},
        Row{"RightReleaseOverButtonClicks", kToState2, {Step::DownR, Step::UpR}, 2, {}, 1},
        Row{"RightReleaseInNormalClicks", kToState1, {Step::UpR}, 1, {}, 1},
        Row{"TickOutsideLeavesHover", kToState2, {Step::TickOut}, 1, {"Normal"}, 0},
        Row{"TickOutsideLeavesFocusedHover", kToState4, {Step::TickOut}, 3, {"Selected"}, 0},
        Row{"TickInsideKeepsHover", kToState2, {Step::TickIn}, 2, {}, 0},
        Row{"TickOutsideHarmlessWhenOut", kToState3, {Step::TickOut}, 3, {}, 0},
        Row{"ResizeDrawsNormalInAnyState", kToState4, {Step::Resize}, 4, {"Normal"}, 0},
        // Pressing a hovered button focuses it; dragged off, the release withdraws the click.
        Row{"DragOffAfterFocusingPress",
            kToState2,
            {Step::Focus, Step::DownL, Step::TickOut, Step::UpL},
            3,
            {"Pressed/hover", "Pressed/hover", "Selected"},
            0},
        // A press that brings no focus: the tick leaves the hover, the release still clicks.
        Row{"DragOffWithoutFocusStillClicks",
            kToState2,
            {Step::DownL, Step::TickOut, Step::UpL},
            1,
            {"Pressed/hover", "Normal"},
            1},
        // The held left button keeps a focused button from highlighting on a move.
        Row{"HeldButtonBlocksFocusedHighlight",
            kToState3,
            {Step::DownL, Step::Move},
            3,
            {"Pressed"},
            0},
        // Normal after a release stays until the pointer leaves and comes back.
        Row{"NormalAfterReleaseUntilReentry",
            kToState2,
            {Step::UpL, Step::Move, Step::TickIn, Step::TickOut, Step::Move},
            2,
            {"Normal/hover", "Normal", "HighLight/hover"},
            1},
        // Focus arriving from a hovered button keeps the hovered gradient; from focus without
        // the pointer it keeps the resting one.
        Row{"FocusedHoverKeepsRestingGradient",
            kToState3,
            {Step::Move, Step::DownL},
            4,
            {"HighLightSelect", "Pressed"},
            0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandButtonState, InitializeStartsTimerAndDrawsNothing) {
    RecordingSurface surface;
    CommandButtonState button(surface);
    EXPECT_EQ(button.ButtonState(), 0);
    button.Initialize();
    EXPECT_EQ(button.ButtonState(), 1);
    EXPECT_TRUE(surface.timerRunning);
    EXPECT_TRUE(surface.calls.empty());
}

TEST(CommandButtonState, BeforeInitializeOnlyFocusMoves) {
    RecordingSurface surface;
    CommandButtonState button(surface);
    button.SetEnabledFlag(true);
    button.MouseMove();
    EXPECT_EQ(button.ButtonState(), 0);
    button.GotFocus();
    EXPECT_EQ(button.ButtonState(), 3);
    button.LostFocus();
    EXPECT_EQ(button.ButtonState(), 1);
    EXPECT_EQ(surface.Faces(), (std::vector<std::string>{"Selected", "Normal"}));
}

TEST(CommandButtonState, MouseIsDownFollowsLeftButtonOnly) {
    RecordingSurface surface;
    CommandButtonState button(surface);
    button.SetEnabledFlag(true);
    button.Initialize();
    button.MouseDown(MouseButton::Right);
    EXPECT_FALSE(button.MouseIsDown());
    button.MouseDown(MouseButton::Left);
    EXPECT_TRUE(button.MouseIsDown());
    button.MouseUp(MouseButton::Right);
    EXPECT_TRUE(button.MouseIsDown());
    button.MouseUp(MouseButton::Left);
    EXPECT_FALSE(button.MouseIsDown());
}

TEST(CommandButtonState, DisabledIgnoresEveryMouseFocusAndTimerEvent) {
    for (const auto& before : {kToState1, kToState2, kToState3, kToState4}) {
        RecordingSurface surface;
        CommandButtonState button(surface);
        button.SetEnabledFlag(true);
        button.Initialize();
        for (Step step : before) {
            Apply(button, step);
        }
        const int state = button.ButtonState();
        button.SetEnabledFlag(false);
        button.ApplyEnabled();
        surface.Clear();
        for (Step step : {Step::Move, Step::DownL, Step::UpL, Step::DownR, Step::UpR, Step::Focus,
                          Step::Blur, Step::TickIn, Step::TickOut}) {
            Apply(button, step);
        }
        EXPECT_EQ(button.ButtonState(), state);
        EXPECT_TRUE(surface.calls.empty()) << surface.calls.front();
        EXPECT_EQ(surface.clicks, 0);
        // A resize still acts, and shows the disabled face.
        button.Resize();
        ASSERT_EQ(surface.calls.size(), 2u);
        EXPECT_TRUE(surface.calls[0].starts_with("face Disable")) << surface.calls[0];
        EXPECT_EQ(surface.calls[1], "caption off");
    }
}

} // namespace
} // namespace kovessa::test
