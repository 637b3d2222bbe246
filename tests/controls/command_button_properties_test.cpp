#include "controls/command_button_properties.h"
#include "tests/controls/recording_surface.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kovessa::test {
namespace {

const FontSpec kAmbient{"IPAPGothic", 9.0};

// A button as a host places it: nothing read from a design yet.
struct Placed {
    RecordingSurface surface;
    CommandButtonState state{surface};
    CommandButtonProperties properties{state, surface, kAmbient};

    // As the settings dialog loads a button from its stored design.
    void Load(const PropertyBag& bag) {
        properties.ReadProperties(bag, kAmbient);
        state.Initialize();
        surface.Clear();
    }
    bool Notified(const std::string& name) const {
        return std::ranges::count(surface.calls, "notify " + name) == 1;
    }
};

TEST(CommandButtonProperties, CaptionCommandComesBackAsCommand1) {
    for (const auto& [written, readBack] :
         {std::pair("Command", "Command1"), std::pair("Set", "Set"), std::pair("", "")}) {
        Placed a;
        a.Load(PropertyBag{});
        a.properties.SetCaption(written);
        PropertyBag bag;
        a.properties.WriteProperties(bag, kAmbient);
        const auto text = bag.Serialize();

        Placed b;
        b.Load(*PropertyBag::Parse(text));
        EXPECT_EQ(b.properties.Caption(), readBack) << text;
        EXPECT_EQ(b.surface.captionText, readBack);
    }
}

TEST(CommandButtonProperties, FreshButtonShowsCommandAndIsDisabled) {
    Placed a;
    EXPECT_EQ(a.properties.Caption(), "Command");
    EXPECT_EQ(a.properties.FirstRun(), 0);
    EXPECT_FALSE(a.state.Enabled());
}

TEST(CommandButtonProperties, FirstEnabledReadEnablesAndKeepsColourOfFreshButton) {
    Placed a;
    a.properties.SetFontColour(0x0000FF); // disabled: ResetFace does nothing
    EXPECT_EQ(a.surface.captionColour, 0x0000FFu);
    a.surface.Clear();
    EXPECT_TRUE(a.properties.Enabled());
    EXPECT_EQ(a.properties.FirstRun(), 1);
    EXPECT_EQ(a.surface.captionColour, 0x0000FFu);
    EXPECT_EQ(a.surface.Faces(), std::vector<std::string>{"Normal"});
}

TEST(CommandButtonProperties, FirstEnabledReadTurnsCaptionBlackWhenAlreadyEnabled) {
    Placed a;
    a.properties.SetFontColour(0x0000FF);
    a.properties.SetEnabled(true); // redraws, but leaves the colour
    EXPECT_EQ(a.surface.captionColour, 0x0000FFu);
    a.properties.Enabled();
    EXPECT_EQ(a.surface.captionColour, 0u);
    EXPECT_EQ(a.properties.FirstRun(), 1);
}

TEST(CommandButtonProperties, ColourWrittenBeforeFirstReadIsUndone) {
    Placed a;
    a.properties.SetEnabled(true);
    a.properties.SetFontColour(0x00FF00);
    EXPECT_EQ(a.surface.captionColour, 0u);
    a.properties.Enabled();
    a.properties.SetFontColour(0x00FF00);
    EXPECT_EQ(a.surface.captionColour, 0x00FF00u);
}

TEST(CommandButtonProperties, ReadsThatRedrawTheFace) {
    Placed a;
    a.Load(PropertyBag{});
    a.state.GotFocus();
    a.state.MouseMove(); // hovered and focused
    a.surface.Clear();

    EXPECT_EQ(a.properties.Visible(), 255);
    EXPECT_EQ(a.properties.FontColour(), 0u);
    EXPECT_TRUE(a.properties.Enabled());
    EXPECT_EQ(a.surface.Faces(), (std::vector<std::string>{"Normal", "Normal", "Normal"}));
    EXPECT_EQ(a.state.ButtonState(), 4);
    EXPECT_EQ(a.properties.Caption(), "Command1");

    a.properties.SetVisible(0);
    a.surface.Clear();
    EXPECT_EQ(a.properties.Visible(), 0);
    EXPECT_TRUE(a.surface.calls.empty());
}

TEST(CommandButtonProperties, WritesNotifyAndRedrawAsEachPropertyDoes) {
    Placed a;
    a.Load(PropertyBag{});
    a.state.GotFocus();
    a.surface.Clear();

    a.properties.SetCaption("Go");
    EXPECT_TRUE(a.Notified("Caption"));
    EXPECT_TRUE(a.surface.Faces().empty());

    a.surface.Clear();
    a.properties.SetFontColour(0x123456);
    EXPECT_EQ(a.surface.captionColour, 0x123456u);
    EXPECT_EQ(a.surface.Faces(), std::vector<std::string>{"Normal"});
    EXPECT_TRUE(a.Notified("FontColour"));
    EXPECT_EQ(a.state.ButtonState(), 3);

    // A colour the caption cannot show is refused, the face is reset all the same.
    a.surface.Clear();
    a.properties.SetFontColour(0x80000012);
    EXPECT_EQ(a.surface.captionColour, 0x123456u);
    EXPECT_EQ(a.surface.Faces(), std::vector<std::string>{"Normal"});
    EXPECT_FALSE(a.Notified("FontColour"));

    a.surface.Clear();
    a.properties.SetEnabled(false);
    EXPECT_EQ(a.surface.calls,
              (std::vector<std::string>{"notify Enabled", "face Disable", "caption off"}));
    a.surface.Clear();
    a.properties.SetEnabled(true);
    EXPECT_EQ(a.surface.calls,
              (std::vector<std::string>{"notify Enabled", "face Normal", "caption on"}));

    a.surface.Clear();
    a.properties.SetVisible(0);
    EXPECT_EQ(a.surface.calls, (std::vector<std::string>{"transparent", "notify Visible"}));
    a.surface.Clear();
    a.properties.SetVisible(7);
    EXPECT_EQ(a.surface.calls,
              (std::vector<std::string>{"opaque", "caption on", "face Normal", "notify Visible"}));
    EXPECT_EQ(a.properties.Visible(), 255);
}

TEST(CommandButtonProperties, WritesOnlyWhatDiffersInItsOrder) {
    Placed a;
    a.Load(PropertyBag{});
    // A loaded button reads "Command1", which is not the caption's default.
    PropertyBag defaults;
    a.properties.WriteProperties(defaults, kAmbient);
    EXPECT_EQ(defaults.Names(), std::vector<std::string>{"Caption"});
    a.properties.SetCaption("Command");
    defaults = PropertyBag{};
    a.properties.WriteProperties(defaults, kAmbient);
    EXPECT_TRUE(defaults.Names().empty()) << defaults.Serialize();

    Placed b;
    b.Load(*PropertyBag::Parse("FirstRun = 0\n"));
    b.properties.SetCaption("Cancel");
    b.properties.SetFont(FontSpec{"Liberation Serif", 12.5, true});
    b.properties.SetVisible(0);
    b.properties.SetEnabled(false);
    b.properties.SetFontColour(0xFF); // disabled, so the reset leaves it
    PropertyBag bag;
    b.properties.WriteProperties(bag, kAmbient);
    EXPECT_EQ(bag.Names(), (std::vector<std::string>{"Enabled", "Caption", "FirstRun", "Font",
                                                     "FontColour", "Visible"}));

    Placed c;
    c.Load(*PropertyBag::Parse(bag.Serialize()));
    EXPECT_FALSE(c.state.Enabled());
    EXPECT_EQ(c.properties.Caption(), "Cancel");
    EXPECT_EQ(c.properties.FirstRun(), 0);
    EXPECT_EQ(c.properties.Font(), (FontSpec{"Liberation Serif", 12.5, true}));
    EXPECT_EQ(c.surface.captionColour, 0xFFu);
    EXPECT_EQ(c.properties.Visible(), 0);
}

TEST(CommandButtonProperties, UnreadableEntriesKeepTheirValueAndTheRestStillApplies) {
    Placed a;
    a.Load(*PropertyBag::Parse("Caption = \"Keep\"\nFontColour = 255\n"));
    ASSERT_EQ(a.surface.captionColour, 255u);
    a.properties.ReadProperties(*PropertyBag::Parse("Enabled = \"maybe\"\n"
                                                    "Caption = 12\n"
                                                    "Font = \"Arial\"\n"
                                                    "FirstRun = 300\n"
                                                    "FontColour = \"red\"\n"
                                                    "Visible = 2\n"),
                                kAmbient);
    EXPECT_TRUE(a.state.Enabled());
    EXPECT_EQ(a.properties.Caption(), "12"); // a number reads as its text
    EXPECT_EQ(a.properties.Font(), kAmbient);
    EXPECT_EQ(a.properties.FirstRun(), 1);
    EXPECT_EQ(a.surface.captionColour, 255u);
    EXPECT_EQ(a.properties.Visible(), 255);

    // A colour out of the caption's range is refused on reading too.
    a.properties.ReadProperties(*PropertyBag::Parse("FontColour = 16777216\n"), kAmbient);
    EXPECT_EQ(a.surface.captionColour, 255u);
}

TEST(CommandButtonProperties, ReadingEndsWithFaceResetOnlyWhenEnabled) {
    Placed a;
    a.properties.ReadProperties(PropertyBag{}, kAmbient);
    EXPECT_EQ(a.surface.Faces(), std::vector<std::string>{"Normal"});
    Placed b;
    b.properties.ReadProperties(*PropertyBag::Parse("Enabled = 0\n"), kAmbient);
    EXPECT_TRUE(b.surface.Faces().empty());
    b.state.Resize();
    EXPECT_EQ(b.surface.Faces(), std::vector<std::string>{"Disable"});
}

} // namespace
} // namespace kovessa::test
