#include "launcher/settings_file.h"
#include "settings/music_choice.h"
#include "settings/repeat_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kovessa {
namespace {

struct Write {
    std::string section, key, value, file;
    bool operator==(const Write&) const = default;
};

class RecordingWriter : public IniWriter {
public:
    void WriteIniString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) override {
        writes.push_back({section, key, value, file});
    }
    bool Commit(std::string* error) override {
        commits.push_back(writes.size());
        if (error != nullptr) {
            *error = failWith;
        }
        return failWith.empty();
    }
    std::vector<Write> writes;
    std::vector<std::size_t> commits; // how many writes had come before each commit
    std::string failWith;
};

TEST(RepeatText, ComboShowsTrackWithEmptyTextForWholeDisc) {
    const struct {
        int16_t track;
        const char* text;
    } cases[] = {{0, ""}, {7, "7"}, {30, "30"}, {-3, "-3"}, {32767, "32767"}, {-32768, "-32768"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatRepeat(c.track), c.text) << c.track;
    }
}

TEST(RepeatText, ComboTextBecomesTrackRoundedHalfToEven) {
    const struct {
        const char* text;
        int16_t previous;
        int16_t track;
    } cases[] = {
        {"7", 0, 7},
        {"  7  ", 0, 7},
        {"2.5", 0, 2},
        {"3.5", 0, 4},
        {"-2.5", 0, -2},
        {"2.4999", 0, 2},
        {"1e1", 0, 10},
        {"+12", 0, 12},
        {"abc", 5, 0},
        {"", 5, 0},
        {"   ", 5, 0},
        {"7abc", 5, 0},
        {"7 8", 5, 0},
        {"32767", 0, 32767},
        {"-32768", 0, -32768},
        // Beyond the 16-bit range the track cannot be held and stays as it was.
        {"32768", 9, 9},
        {"70000", 9, 9},
        {"1e300", 9, 9},
        {"32767.5", 9, 9},
        // Even beyond what any number can hold, in either direction; a tiny one is just 0.
        {"1e400", 9, 9},
        {" -1e400 ", 9, 9},
        {"1e-400", 9, 0},
        {"1e400x", 9, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RepeatFromText(c.text, c.previous), c.track) << '"' << c.text << '"';
    }
}

TEST(MusicChoice, EachKindEnablesOnlyItsOwnControl) {
    const struct {
        int kind;
        bool repeat, browse;
    } cases[] = {{0, false, false}, {1, true, false}, {2, false, true}};
    for (const auto& c : cases) {
        MusicSettings settings;
        settings.BGMKind = 2; // start from another kind, so the press must change things
        MusicChoice choice(settings);
        choice.ShowCurrentKind();
        choice.ChooseOption(c.kind);
        EXPECT_EQ(settings.BGMKind, c.kind);
        EXPECT_EQ(choice.RepeatEnabled(), c.repeat) << c.kind;
        EXPECT_EQ(choice.BrowseEnabled(), c.browse) << c.kind;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(choice.MarkChosen(i), i == c.kind) << "kind " << c.kind << " mark " << i;
        }
        // Pressing the same option again changes nothing.
        choice.ChooseOption(c.kind);
        EXPECT_EQ(choice.RepeatEnabled(), c.repeat);
        EXPECT_EQ(choice.BrowseEnabled(), c.browse);
    }
}

TEST(MusicChoice, KindOutsideTheOptionsShowsNoMarkAndIsWrittenBackUnchanged) {
    for (int16_t kind : {int16_t{-1}, int16_t{3}, int16_t{7}}) {
        MusicSettings settings{kind, 4, "/music/a.mp3"};
        MusicChoice choice(settings);
        choice.ShowCurrentKind();
        for (int i = 0; i < 3; ++i) {
            EXPECT_FALSE(choice.MarkChosen(i));
        }
        EXPECT_FALSE(choice.RepeatEnabled());
        EXPECT_FALSE(choice.BrowseEnabled());
        RecordingWriter writer;
        std::string error;
        choice.Confirm("4", writer, "/p/Kovessa.ini", &error);
        ASSERT_EQ(writer.writes.size(), 3u);
        EXPECT_EQ(writer.writes[0].value, std::to_string(kind));
    }
}

TEST(MusicChoice, ConfirmWritesKindTrackAndFileInOrderWhateverTheKind) {
    MusicSettings settings{2, 3, "/music/old.wav"};
    MusicChoice choice(settings);
    choice.ShowCurrentKind();
    choice.ChooseOption(0);
    RecordingWriter writer;
    // With no music chosen, the track still comes from the (disabled) combo.
    std::string error;
    EXPECT_TRUE(choice.Confirm(" 2.5 ", writer, "/p/Kovessa.ini", &error));
    const std::vector<Write> expected = {
        {"Section", "BGM\x8B\xE6\x95\xAA", "0", "/p/Kovessa.ini"},
        {"Section", "BGM\xD8\xCB\xDF\xB0\xC4", "2", "/p/Kovessa.ini"},
        {"Section", "BGM\xCC\xA7\xB2\xD9", "/music/old.wav", "/p/Kovessa.ini"},
    };
    EXPECT_EQ(writer.writes, expected);
    // One commit after all three: they reach the file together.
    EXPECT_EQ(writer.commits, std::vector<std::size_t>{3});
    EXPECT_EQ(settings.BGMRepeat, 2);

    writer.failWith = "disk full";
    EXPECT_FALSE(choice.Confirm("1", writer, "/p/Kovessa.ini", &error));
    EXPECT_EQ(error, "disk full");
}

TEST(MusicChoice, CancelledOrTooLongFileKeepsThePath) {
    MusicSettings settings{2, 0, "/music/old.mp3"};
    MusicChoice choice(settings);
    EXPECT_EQ(choice.FileChosen(""), MusicChoice::FileAnswer::Kept);
    EXPECT_EQ(settings.BGMFile, "/music/old.mp3");
    EXPECT_EQ(choice.FileChosen("/music/new.MP3"), MusicChoice::FileAnswer::Taken);
    EXPECT_EQ(settings.BGMFile, "/music/new.MP3");

    // 255 bytes read back whole; one more would come back cut. "曲" is three bytes in UTF-8.
    std::string longest = "/";
    while (longest.size() + 3 <= 251) {
        longest += "\xE6\x9B\xB2";
    }
    longest += std::string(255 - 4 - longest.size(), 'a') + ".mp3";
    ASSERT_EQ(longest.size(), 255u);
    EXPECT_EQ(choice.FileChosen(longest), MusicChoice::FileAnswer::Taken);
    EXPECT_EQ(settings.BGMFile, longest);
    EXPECT_EQ(choice.FileChosen("/" + longest), MusicChoice::FileAnswer::TooLong);
    EXPECT_EQ(settings.BGMFile, longest);
}

} // namespace
} // namespace kovessa
