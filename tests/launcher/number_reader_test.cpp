#include "launcher/command_line.h"
#include "launcher/number_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kovessa {
namespace {

struct ValCase {
    const char* text;
    double expected;
};

TEST(NumberReader, ValReadsLikeTheProgramAlwaysDid) {
    const ValCase cases[] = {
        {"", 0},
        {"abc", 0},
        {"1234", 1234},
        {"  1234  ", 1234},
        {"1 2\t3\n4", 1234}, // blanks, tabs and line feeds vanish anywhere
        {"- 5", -5},         // even between the sign and the digits
        {"+7", 7},
        {"--5", 0}, // a second sign ends the number before any digit
        {"12abc", 12},
        {"1.5", 1.5},
        {".5", 0.5},
        {"-.25", -0.25},
        {"1.2.3", 1.2},
        {"1e3", 1000},
        {"1E-2", 0.01},
        {"2d2", 200}, // D is an exponent mark too
        {"1e", 1},    // a mark without digits does not belong to the number
        {"1e+", 1},
        {"1e+x5", 1},
        {"&H10", 16},
        {"&hff", 255},
        {"& H 1 0", 16},
        {"&HFFFFFFFF", -1}, // a 32-bit pattern
        {"&H7FFFFFFF", 2147483647},
        {"&O17", 15},
        {"&O8", 0}, // 8 is no octal digit
        {"&HG", 0},
        {"&", 0},
        {"&X10", 0},
        {"1e-400", 0}, // too small for a double reads as zero, not as an overflow
        {"0.000", 0},
    };
    for (const ValCase& c : cases) {
        EXPECT_DOUBLE_EQ(Val(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(NumberReader, OverflowIsInfiniteNeverAWrappedValue) {
    for (const char* text : {"1e400", "-1e400", "&H100000000", "&O40000000000",
                             "99999999999999999999999999999999999999e99999999999999"}) {
        const NumberReading r = ReadNumber(text, true);
        EXPECT_TRUE(r.overflow) << text;
        EXPECT_TRUE(std::isinf(r.value)) << text;
        EXPECT_FALSE(RoundToInt32(r.value).has_value()) << text;
    }
    // A long run of digits that still fits is read exactly enough.
    EXPECT_DOUBLE_EQ(Val(std::string(300, '0') + "42"), 42);
}

TEST(NumberReader, StrictNumberWantsTheWholeText) {
    struct Case {
        const char* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"2", 2},     {" 1.9 ", 1.9}, {"-0.5", -0.5}, {"\t3\t", 3},  {"1e2", 100},
        {"&H10", 16}, {"abc", {}},    {"", {}},       {"1 2", {}},   {"- 5", {}},
        {"1.9x", {}}, {"x1", {}},     {".", {}},      {"1e999", {}}, {"2;c", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StrictNumber(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(NumberReader, RoundingIsHalfToEvenWithinRange) {
    EXPECT_EQ(RoundToInt32(2.5), 2);
    EXPECT_EQ(RoundToInt32(3.5), 4);
    EXPECT_EQ(RoundToInt32(-2.5), -2);
    EXPECT_EQ(RoundToInt32(-2147483648.0), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(RoundToInt32(2147483647.4), std::numeric_limits<int32_t>::max());
    EXPECT_FALSE(RoundToInt32(2147483647.5).has_value());
    EXPECT_FALSE(RoundToInt32(std::nan("")).has_value());
    EXPECT_EQ(RoundToInt16(32767.0), 32767);
    EXPECT_EQ(RoundToInt16(-32768.4), -32768);
    EXPECT_FALSE(RoundToInt16(32767.5).has_value());
    EXPECT_FALSE(RoundToInt16(-32769.0).has_value());
}

TEST(CommandLine, ArgumentsJoinWithOneBlank) {
    EXPECT_EQ(ArgumentText({}), "");
    EXPECT_EQ(ArgumentText({"/s"}), "/s");
    EXPECT_EQ(ArgumentText({"/p", "1234"}), "/p 1234");
    EXPECT_EQ(ArgumentText({"", "x"}), " x");
}

TEST(CommandLine, WindowsLineLosesTheProgramPathAndItsBlanks) {
    // Windows starts a screensaver with its path quoted or bare, and a preview as /p <HWND>.
    EXPECT_EQ(ArgumentTextOfCommandLine("\"C:\\Program Files\\Kovessa\\Kovessa.scr\" /p 1234"),
              "/p 1234");
    EXPECT_EQ(ArgumentTextOfCommandLine("C:\\WINDOWS\\KOVESS~1.SCR /s"), "/s");
    EXPECT_EQ(ArgumentTextOfCommandLine("Kovessa.scr \t /c:4711"), "/c:4711");
    EXPECT_EQ(ArgumentTextOfCommandLine("\"C:\\a b\\Kovessa.scr\"/S"), "/S");
    // Only the separating blanks go; the arguments keep theirs.
    EXPECT_EQ(ArgumentTextOfCommandLine("Kovessa.scr /p  0x2a "), "/p  0x2a ");
    EXPECT_EQ(ArgumentTextOfCommandLine("\"C:\\Kovessa.scr\""), "");
    EXPECT_EQ(ArgumentTextOfCommandLine("Kovessa.scr"), "");
    EXPECT_EQ(ArgumentTextOfCommandLine("\"unclosed /s"), "");
    EXPECT_EQ(ArgumentTextOfCommandLine(""), "");
}

TEST(CommandLine, ModeLetterAndPreviewHandle) {
    struct Case {
        const char* line;
        const char* letter;
        int32_t handle;
    };
    const Case cases[] = {
        {"/p 1234", "P", 1234},
        {"/P 1234", "P", 1234},
        {"/p:1234", "P", 1234},
        {"-p 77", "P", 77},
        {"/p", "P", 0},
        {"/p ", "P", 0},
        {"/p &H2A", "P", 42},
        {"/p 12.5", "P", 12}, // half to even
        {"/p 13.5", "P", 14},
        {"/p -1", "P", -1},
        {"/p 99999999999", "P", 0}, // does not fit 32 bits: no window
        {"/p &Hzz", "P", 0},
        {"/p 1e400", "P", 0},
        {"/s", "S", 0},
        {"-s", "S", 0},
        {"xs", "S", 0},
        {"/c:4711", "C", 4711}, // the handle reader ignores the mode, the caller does not
        {"S", "", 0},
        {"", "", 0},
        {"/a", "A", 0},
        {"/\xC3\xA4", "\xC3", 0}, // a multi-byte character is not folded
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ModeLetter(c.line), c.letter) << '"' << c.line << '"';
        EXPECT_EQ(PreviewHandle(c.line), c.handle) << '"' << c.line << '"';
    }
}

} // namespace
} // namespace kovessa
