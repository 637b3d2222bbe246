#include "music/media_platform.h"
#include "music/zeruma_bgm.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kovessa {
namespace {

// Records what the module sends and answers from a script: commands not in the script succeed
// with an empty answer.
class ScriptedPlatform final : public MediaPlatform {
public:
    struct Reply {
        int32_t code = 0;
        std::string answer;
    };
    struct Sent {
        std::string command;
        uint32_t answerSize;
        bool operator==(const Sent&) const = default;
    };

    std::map<std::string, Reply> script;
    std::vector<Sent> sent;
    std::map<int32_t, std::string> errorTexts{{263, "not open"}, {282, "out of range"}};
    int32_t devices = 1;
    int32_t playSoundResult = 1;
    std::vector<std::pair<std::optional<std::string>, uint32_t>> sounds;

    int32_t SendString(const char* command, char* answer, uint32_t answerSize) override {
        sent.push_back({command, answerSize});
        const auto it = script.find(command);
        const Reply reply = it == script.end() ? Reply{} : it->second;
        if (reply.code == 0 && answer != nullptr && answerSize > 0) {
            const size_t n = std::min<size_t>(reply.answer.size(), answerSize - 1);
            std::memcpy(answer, reply.answer.data(), n);
            answer[n] = '\0';
        }
        return reply.code;
    }
    bool GetErrorString(int32_t code, char* text, uint32_t size) override {
        const auto it = errorTexts.find(code);
        if (it == errorTexts.end()) {
            return false;
        }
        std::snprintf(text, size, "%s", it->second.c_str());
        return true;
    }
    int32_t WaveOutGetNumDevs() override { return devices; }
    int32_t PlaySound(const char* name, uint32_t flags) override {
        sounds.emplace_back(name ? std::optional<std::string>(name) : std::nullopt, flags);
        return playSoundResult;
    }

    std::vector<std::string> Commands() const {
        std::vector<std::string> out;
        for (const Sent& s : sent) {
            out.push_back(s.command);
        }
        return out;
    }
};

class ZerumaBGMTest : public ::testing::Test {
protected:
    void Disc(const std::string& track, const std::string& mode) {
        platform_.script["status cdaudio current track"] = {0, track};
        platform_.script["status cdaudio number of tracks"] = {0, "5"};
        platform_.script["status cdaudio mode"] = {0, mode};
    }

    MusicSettings settings_;
    int32_t apiResult_ = 12345;
    ScriptedPlatform platform_;
    Zeruma_BGM bgm_{settings_, apiResult_, platform_};
};

TEST_F(ZerumaBGMTest, StartAndStopSendExactlyTheirCommands) {
    settings_.BGMFile = "/home/u/Music/a b.mp3";
    platform_.script["set cdaudio time format tmsf"] = {282, ""};
    bgm_.OpenCD();
    bgm_.CloseCD();
    bgm_.PlayMP3();
    bgm_.CloseMP3();
    const std::vector<ScriptedPlatform::Sent> expected = {
        {"open cdaudio", 0},
        {"set cdaudio time format tmsf", 0},
        {"stop cdaudio", 0},
        {"close cdaudio", 0},
        {"open \"/home/u/Music/a b.mp3\" type MPEGVideo Alias MP3Play", 0},
        {"play MP3Play", 0},
        {"stop MP3Play", 0},
        {"close MP3Play", 0},
    };
    EXPECT_EQ(platform_.sent, expected);
    EXPECT_EQ(apiResult_, 12345) << "only the command sender keeps a result";
}

TEST_F(ZerumaBGMTest, PlayMP3SendsNoPlayWhenTheOpenFails) {
    settings_.BGMFile = "/nowhere.mp3";
    platform_.script["open \"/nowhere.mp3\" type MPEGVideo Alias MP3Play"] = {275, ""};
    bgm_.PlayMP3();
    EXPECT_EQ(platform_.Commands().size(), 1u);
}

TEST_F(ZerumaBGMTest, AQuoteInTheFileNameStaysPartOfTheName) {
    settings_.BGMFile = "/m/x\" type cdaudio alias MP3Play wait \".mp3";
    bgm_.PlayMP3();
    ASSERT_FALSE(platform_.sent.empty());
    EXPECT_EQ(platform_.sent[0].command,
              "open \"/m/x\"\" type cdaudio alias MP3Play wait \"\".mp3\" type MPEGVideo Alias "
              "MP3Play");
}

TEST_F(ZerumaBGMTest, RepeatMP3RestartsOnlyWhenNotPlaying) {
    platform_.script["status MP3Play mode"] = {0, "playing"};
    bgm_.RepeatMP3();
    platform_.script["status MP3Play mode"] = {0, "stopped"};
    bgm_.RepeatMP3();
    const std::vector<ScriptedPlatform::Sent> expected = {
        {"status MP3Play mode", 30},
        {"status MP3Play mode", 30},
        {"stop MP3Play", 0},
        {"play MP3Play from 0", 0},
    };
    EXPECT_EQ(platform_.sent, expected);
}

TEST_F(ZerumaBGMTest, AFailedModeQueryLeavesTheLastModeInItsBuffer) {
    platform_.script["status MP3Play mode"] = {0, "playing"};
    EXPECT_TRUE(bgm_.IsMP3Playing());
    platform_.script["status MP3Play mode"] = {263, ""};
    EXPECT_TRUE(bgm_.IsMP3Playing()) << "stale buffer answers as last time";
    platform_.script["status MP3Play mode"] = {0, "Playing"};
    EXPECT_FALSE(bgm_.IsMP3Playing()) << "case-sensitive";
    platform_.script["status MP3Play mode"] = {0, "stop"};
    EXPECT_FALSE(bgm_.IsMP3Playing());
    // A shorter answer keeps the tail of the one before ("play", NUL, "ng"): no "playing".
    platform_.script["status MP3Play mode"] = {0, "play"};
    EXPECT_FALSE(bgm_.IsMP3Playing());
}

TEST_F(ZerumaBGMTest, SendMCICommandCodesAndTexts) {
    std::string answer = "old";
    EXPECT_EQ(bgm_.SendMCICommand("", answer), -1);
    EXPECT_EQ(answer, "コマンド文字列が指定されていません");
    EXPECT_EQ(apiResult_, 12345) << "no call was made";
    EXPECT_TRUE(platform_.sent.empty());

    platform_.script["status x mode"] = {263, ""};
    EXPECT_EQ(bgm_.SendMCICommand("status x mode", answer), 263);
    EXPECT_EQ(answer, "not open");
    EXPECT_EQ(apiResult_, 263);
    EXPECT_EQ(platform_.sent.back(), (ScriptedPlatform::Sent{"status x mode", 512}));

    platform_.script["status y mode"] = {999, ""};
    EXPECT_EQ(bgm_.SendMCICommand("status y mode", answer), 999);
    EXPECT_EQ(answer, "Error (文字列が取れません)");

    platform_.script["status cdaudio mode"] = {0, "stopped"};
    EXPECT_EQ(bgm_.SendMCICommand("status cdaudio mode", answer), 0);
    EXPECT_EQ(answer, "stopped");
    EXPECT_EQ(apiResult_, 0);

    EXPECT_EQ(bgm_.MCIQuery(""), "Error:-1");
    EXPECT_EQ(bgm_.MCIQuery("status x mode"), "Error:263");
    EXPECT_EQ(bgm_.MCIQuery("status cdaudio mode"), "stopped");
}

TEST_F(ZerumaBGMTest, MCIPlayBuildsItsFourForms) {
    platform_.script["play cd from 1 to 2"] = {282, ""};
    EXPECT_EQ(bgm_.MCIPlay("cd", "", ""), 0);
    EXPECT_EQ(bgm_.MCIPlay("cd", "1", ""), 0);
    EXPECT_EQ(bgm_.MCIPlay("cd", "", "2"), 0);
    EXPECT_EQ(bgm_.MCIPlay("cd", "1", "2"), 282);
    const std::vector<std::string> expected = {"play cd", "play cd from 1", "play cd to 2",
                                               "play cd from 1 to 2"};
    EXPECT_EQ(platform_.Commands(), expected);
}

TEST_F(ZerumaBGMTest, CheckCDPlaysTheWholeDiscWhenItStands) {
    settings_.BGMRepeat = 0;
    Disc("4", "stopped");
    bgm_.CheckCD();
    EXPECT_EQ(bgm_.CDReady, -1);
    Disc("4", "playing");
    bgm_.CheckCD();
    const std::vector<ScriptedPlatform::Sent> expected = {
        {"status cdaudio current track", 512}, {"status cdaudio number of tracks", 512},
        {"status cdaudio mode", 255},          {"play cdaudio", 512},
        {"status cdaudio current track", 512}, {"status cdaudio number of tracks", 512},
        {"status cdaudio mode", 255},
    };
    EXPECT_EQ(platform_.sent, expected);
}

TEST_F(ZerumaBGMTest, CheckCDKeepsTheChosenTrackRepeating) {
    settings_.BGMRepeat = 3;
    platform_.script["status cdaudio position track 3"] = {0, "03:00:00:00"};
    platform_.script["status cdaudio type track 3"] = {0, "audio"};
    Disc("5", "playing"); // playback has moved on to track 5
    bgm_.CheckCD();
    Disc("3", "playing"); // track 3 plays: nothing to do
    bgm_.CheckCD();
    Disc("3", "stopped"); // the disc stopped inside track 3
    bgm_.CheckCD();
    Disc("03abc", "playing"); // taken as a number, the answer still says 3
    bgm_.CheckCD();
    // Before each jump back the watch also asks whether the track holds sound at all (see
    // CheckCDEndsTheWatchWhenTheChosenTrackIsData).
    const std::vector<std::string> query = {
        "status cdaudio current track", "status cdaudio number of tracks", "status cdaudio mode"};
    const std::vector<std::string> jump = {"status cdaudio position track 3",
                                           "status cdaudio type track 3",
                                           "play cdaudio from 03:00:00:00"};
    std::vector<std::string> expected;
    for (const bool jumps : {true, false, true, false}) {
        expected.insert(expected.end(), query.begin(), query.end());
        if (jumps) {
            expected.insert(expected.end(), jump.begin(), jump.end());
        }
    }
    EXPECT_EQ(platform_.Commands(), expected);
    EXPECT_EQ(bgm_.CDReady, -1);
}

TEST_F(ZerumaBGMTest, CheckCDWithATrackBeyondTheDiscRetriesSilentlyEveryTick) {
    settings_.BGMRepeat = 9;
    Disc("1", "stopped");
    platform_.script["status cdaudio position track 9"] = {282, ""};
    platform_.script["play cdaudio from Error:282"] = {270, ""};
    for (int tick = 0; tick < 3; ++tick) {
        platform_.sent.clear();
        bgm_.CheckCD();
        EXPECT_EQ(bgm_.CDReady, -1);
        ASSERT_EQ(platform_.sent.size(), 5u);
        EXPECT_EQ(platform_.sent[3].command, "status cdaudio position track 9");
        EXPECT_EQ(platform_.sent[4].command, "play cdaudio from Error:282");
        EXPECT_EQ(apiResult_, 270);
    }
}

TEST_F(ZerumaBGMTest, CheckCDEndsTheWatchWhenTheChosenTrackIsData) {
    settings_.BGMRepeat = 2;
    Disc("1", "stopped");
    platform_.script["status cdaudio position track 2"] = {0, "02:00:00:00"};
    platform_.script["status cdaudio type track 2"] = {0, "other"};
    bgm_.CheckCD();
    EXPECT_EQ(bgm_.CDReady, 0);
    const std::vector<std::string> expected = {
        "status cdaudio current track", "status cdaudio number of tracks", "status cdaudio mode",
        "status cdaudio position track 2", "status cdaudio type track 2"};
    EXPECT_EQ(platform_.Commands(), expected);
}

TEST_F(ZerumaBGMTest, CheckCDEndsTheWatchOnAFailedQuery) {
    struct Case {
        ScriptedPlatform::Reply track;
        ScriptedPlatform::Reply count;
        size_t commandsSent;
    };
    const Case cases[] = {
        {{263, ""}, {0, "3"}, 1},
        {{0, "2"}, {263, ""}, 2},
        {{0, "ERROR"}, {0, "3"}, 1}, // an answer with "err" in it counts as a failure too
        {{0, "1"}, {0, "seRRa"}, 2},
    };
    for (const Case& c : cases) {
        platform_.sent.clear();
        platform_.script["status cdaudio current track"] = c.track;
        platform_.script["status cdaudio number of tracks"] = c.count;
        bgm_.CheckCD();
        EXPECT_EQ(bgm_.CDReady, 0);
        EXPECT_EQ(platform_.sent.size(), c.commandsSent);
    }
}

TEST_F(ZerumaBGMTest, CheckCDComparesTheModeFromItsOwnStaleBuffer) {
    settings_.BGMRepeat = 0;
    Disc("1", "stopped");
    bgm_.CheckCD(); // writes "stopped" into the CD mode buffer
    platform_.script["status cdaudio mode"] = {276, ""};
    platform_.sent.clear();
    bgm_.CheckCD();
    EXPECT_EQ(platform_.sent.back().command, "play cdaudio");
}

TEST_F(ZerumaBGMTest, WaveStartsOnlyWithAnOutputDevice) {
    settings_.BGMFile = "/m/loop.wav";
    platform_.devices = 0;
    bgm_.PlayWave();
    EXPECT_TRUE(platform_.sounds.empty());
    platform_.devices = 2;
    bgm_.PlayWave();
    bgm_.StopWave();
    ASSERT_EQ(platform_.sounds.size(), 2u);
    EXPECT_EQ(platform_.sounds[0], std::make_pair(std::optional<std::string>("/m/loop.wav"), 9u));
    EXPECT_EQ(platform_.sounds[1], std::make_pair(std::optional<std::string>(), 0u));
}

} // namespace
} // namespace kovessa
