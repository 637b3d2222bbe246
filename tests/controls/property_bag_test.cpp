#include "controls/property_bag.h"

#include <gtest/gtest.h>

#include <limits>

namespace kovessa::test {
namespace {

TEST(PropertyBag, ParsesTheTextForm) {
    const auto bag = PropertyBag::Parse("# Cmd_Set\n"
                                        "  Caption = \"Say \\\"hi\\\"\\n\\x01\\\\\"  \r\n"
                                        "\n"
                                        "Enabled=-1\n"
                                        "BeginProperty Font\n"
                                        "    Name = \"ＭＳ Ｐゴシック\"\n"
                                        "    Size = 9.75\n"
                                        "    Italic = 1\n"
                                        "EndProperty\n"
                                        "FontColour = +4294967295");
    ASSERT_TRUE(bag);
    EXPECT_EQ(bag->Names(), (std::vector<std::string>{"Caption", "Enabled", "Font", "FontColour"}));
    EXPECT_EQ(bag->ReadString("Caption", ""), "Say \"hi\"\n\x01\\");
    EXPECT_EQ(bag->ReadBoolean("Enabled", false), true);
    const FontSpec font{"ＭＳ Ｐゴシック", 9.75, false, true};
    EXPECT_EQ(bag->ReadFont("Font", {}), font);
    EXPECT_EQ(bag->ReadInteger("FontColour", 0, 0, 0xFFFFFFFF), 0xFFFFFFFF);
}

TEST(PropertyBag, RefusesMalformedText) {
    const char* const cases[] = {
        "Caption\n",                                       // no value
        "Caption = \n",                                    // empty value
        "Caption = \"open\n",                              // unterminated string
        "Caption = \"a\" b\n",                             // text after the string
        "Caption = \"\\q\"\n",                             // unknown escape
        "Caption = \"\\x4\"\n",                            // short hex escape
        "Caption = \"tab\there\"\n",                       // raw control character
        "Caption = 1\nCaption = 2\n",                      // repeated name
        "9Lives = 1\n",                                    // not a name
        "Enabled = True\n",                                // bare word
        "Enabled = 1.5\n",                                 // integers only outside fonts
        "Enabled = 99999999999999999999\n",                // out of range
        "Enabled = +-1\n",                                 //
        "BeginProperty Font\nName = \"A\"\nSize = 9\n",    // no end
        "BeginProperty Font\nSize = 9\nEndProperty\n",     // no name
        "BeginProperty Font\nName = \"A\"\nEndProperty\n", // no size
        "BeginProperty Font\nName = \"A\"\nSize = 0\nEndProperty\n",
        "BeginProperty Font\nName = \"A\"\nSize = 1e400\nEndProperty\n",
        "BeginProperty Font\nName = \"A\"\nSize = nan\nEndProperty\n",
        "BeginProperty Font\nName = \"A\"\nSize = 9\nWeight = 700\nEndProperty\n",
        "BeginProperty Font\nBeginProperty Font\n",
        "EndProperty\n",
    };
    for (const char* text : cases) {
        EXPECT_FALSE(PropertyBag::Parse(text)) << text;
    }
    EXPECT_TRUE(PropertyBag::Parse(""));
}

TEST(PropertyBag, SerializedFormReadsBackEqual) {
    PropertyBag bag;
    bag.WriteString("Caption", std::string("q\"\\\n\r\t\x7f\x1f end ü", 16), "");
    bag.WriteInteger("Big", std::numeric_limits<int64_t>::min(), 0);
    bag.WriteBoolean("Enabled", false, true);
    bag.WriteFont("Font", FontSpec{"A \"B\"", 10.125, true, false, true, true}, FontSpec{});
    // The largest size, and sizes so small that their fixed forms run to hundreds of digits.
    bag.WriteFont("Large", FontSpec{"L", 2048.0}, FontSpec{});
    bag.WriteFont("Tiny", FontSpec{"T", 1e-70}, FontSpec{});
    bag.WriteFont("Least", FontSpec{"D", std::numeric_limits<double>::denorm_min()}, FontSpec{});
    const auto again = PropertyBag::Parse(bag.Serialize());
    ASSERT_TRUE(again) << bag.Serialize();
    EXPECT_EQ(*again, bag);
}

TEST(PropertyBag, WritingTheDefaultStoresNothingAndDropsAnEarlierEntry) {
    PropertyBag bag;
    bag.WriteInteger("A", 1, 0);
    bag.WriteInteger("B", 2, 0);
    bag.WriteInteger("A", 3, 0); // replaced in place
    EXPECT_EQ(bag.Names(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(bag.ReadInteger("A", 0, 0, 9), 3);
    bag.WriteInteger("A", 0, 0);
    bag.WriteString("S", "x", "x");
    EXPECT_EQ(bag.Names(), std::vector<std::string>{"B"});
}

TEST(PropertyBag, ReadsConvertOrRefuse) {
    const auto bag = *PropertyBag::Parse("Num = 7\nNeg = -1\nText = \"12\"\nWord = \"False\"\n"
                                         "Junk = \"12a\"\n"
                                         "BeginProperty F\nName = \"A\"\nSize = 8\nEndProperty\n");
    // Booleans: numbers and the words True and False.
    EXPECT_EQ(bag.ReadBoolean("Num", false), true);
    EXPECT_EQ(bag.ReadBoolean("Word", true), false);
    EXPECT_EQ(bag.ReadBoolean("Text", false), true);
    EXPECT_EQ(bag.ReadBoolean("Junk", false), std::nullopt);
    EXPECT_EQ(bag.ReadBoolean("F", false), std::nullopt);
    EXPECT_EQ(bag.ReadBoolean("Missing", true), true);
    // Integers: numbers and numeric text, within the asked range.
    EXPECT_EQ(bag.ReadInteger("Text", 0, 0, 255), 12);
    EXPECT_EQ(bag.ReadInteger("Neg", 0, 0, 255), std::nullopt);
    EXPECT_EQ(bag.ReadInteger("Num", 0, 0, 5), std::nullopt);
    EXPECT_EQ(bag.ReadInteger("Junk", 0, 0, 255), std::nullopt);
    EXPECT_EQ(bag.ReadInteger("Missing", 4, 0, 255), 4);
    // Strings: text and numbers; fonts only from fonts.
    EXPECT_EQ(bag.ReadString("Neg", ""), "-1");
    EXPECT_EQ(bag.ReadString("F", ""), std::nullopt);
    EXPECT_EQ(bag.ReadFont("Text", {}), std::nullopt);
    EXPECT_EQ(bag.ReadFont("F", {})->size, 8.0);
}

} // namespace
} // namespace kovessa::test
