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

    std::vector<std::string> commands() const {
        std::vector<std::string> out;
        for (const Sent& s : sent) {
            out.push_back(s.command);
        }
        return out;
    }
};

class ZerumaBGMTest : public ::testing::Test {
protected:
    void disc(const std::string& track, const std::string& mode) {
        platform.script["status cdaudio current track"] = {0, track};
        platform.script["status cdaudio number of tracks"] = {0, "5"};
        platform.script["status cdaudio mode"] = {0, mode};
    }

    MusicSettings settings;
    int32_t apiResult = 12345;
    ScriptedPlatform platform;
    Zeruma_BGM bgm{settings, apiResult, platform};
};

TEST_F(ZerumaBGMTest, StartAndStopSendExactlyTheirCommands) {
    settings.BGMFile = "/home/u/Music/a b.mp3";
    platform.script["set cdaudio time format tmsf"] = {282, ""};
    bgm.OpenCD();
    bgm.CloseCD();
    bgm.PlayMP3();
    bgm.CloseMP3();
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
    EXPECT_EQ(platform.sent, expected);
    EXPECT_EQ(apiResult, 12345) << "only the command sender keeps a result";
}

TEST_F(ZerumaBGMTest, PlayMP3SendsNoPlayWhenTheOpenFails) {
    settings.BGMFile = "/nowhere.mp3";
    platform.script["open \"/nowhere.mp3\" type MPEGVideo Alias MP3Play"] = {275, ""};
    bgm.PlayMP3();
    EXPECT_EQ(platform.commands().size(), 1u);
}

TEST_F(ZerumaBGMTest, AQuoteInTheFileNameStaysPartOfTheName) {
    settings.BGMFile = "/m/x\" type cdaudio alias MP3Play wait \".mp3";
    bgm.PlayMP3();
    ASSERT_FALSE(platform.sent.empty());
    EXPECT_EQ(platform.sent[0].command,
              "open \"/m/x\"\" type cdaudio alias MP3Play wait \"\".mp3\" type MPEGVideo Alias "
              "MP3Play");
}

TEST_F(ZerumaBGMTest, RepeatMP3RestartsOnlyWhenNotPlaying) {
    platform.script["status MP3Play mode"] = {0, "playing"};
    bgm.RepeatMP3();
    platform.script["status MP3Play mode"] = {0, "stopped"};
    bgm.RepeatMP3();
    const std::vector<ScriptedPlatform::Sent> expected = {
        {"status MP3Play mode", 30},
        {"status MP3Play mode", 30},
        {"stop MP3Play", 0},
        {"play MP3Play from 0", 0},
    };
    EXPECT_EQ(platform.sent, expected);
}

TEST_F(ZerumaBGMTest, AFailedModeQueryLeavesTheLastModeInItsBuffer) {
    platform.script["status MP3Play mode"] = {0, "playing"};
    EXPECT_TRUE(bgm.IsMP3Playing());
    platform.script["status MP3Play mode"] = {263, ""};
    EXPECT_TRUE(bgm.IsMP3Playing()) << "stale buffer answers as last time";
    platform.script["status MP3Play mode"] = {0, "Playing"};
    EXPECT_FALSE(bgm.IsMP3Playing()) << "case-sensitive";
    platform.script["status MP3Play mode"] = {0, "stop"};
    EXPECT_FALSE(bgm.IsMP3Playing());
    // A shorter answer keeps the tail of the one before ("play", NUL, "ng"): no "playing".
    platform.script["status MP3Play mode"] = {0, "play"};
    EXPECT_FALSE(bgm.IsMP3Playing());
}

TEST_F(ZerumaBGMTest, SendMCICommandCodesAndTexts) {
    std::string answer = "old";
    EXPECT_EQ(bgm.SendMCICommand("", answer), -1);
    EXPECT_EQ(answer, "コマンド文字列が指定されていません");
    EXPECT_EQ(apiResult, 12345) << "no call was made";
    EXPECT_TRUE(platform.sent.empty());

    platform.script["status x mode"] = {263, ""};
    EXPECT_EQ(bgm.SendMCICommand("status x mode", answer), 263);
    EXPECT_EQ(answer, "not open");
    EXPECT_EQ(apiResult, 263);
    EXPECT_EQ(platform.sent.back(), (ScriptedPlatform::Sent{"status x mode", 512}));

    platform.script["status y mode"] = {999, ""};
    EXPECT_EQ(bgm.SendMCICommand("status y mode", answer), 999);
    EXPECT_EQ(answer, "Error (文字列が取れません)");

    platform.script["status cdaudio mode"] = {0, "stopped"};
    EXPECT_EQ(bgm.SendMCICommand("status cdaudio mode", answer), 0);
    EXPECT_EQ(answer, "stopped");
    EXPECT_EQ(apiResult, 0);

    EXPECT_EQ(bgm.MCIQuery(""), "Error:-1");
    EXPECT_EQ(bgm.MCIQuery("status x mode"), "Error:263");
    EXPECT_EQ(bgm.MCIQuery("status cdaudio mode"), "stopped");
}

TEST_F(ZerumaBGMTest, MCIPlayBuildsItsFourForms) {
    platform.script["play cd from 1 to 2"] = {282, ""};
    EXPECT_EQ(bgm.MCIPlay("cd", "", ""), 0);
    EXPECT_EQ(bgm.MCIPlay("cd", "1", ""), 0);
    EXPECT_EQ(bgm.MCIPlay("cd", "", "2"), 0);
    EXPECT_EQ(bgm.MCIPlay("cd", "1", "2"), 282);
    const std::vector<std::string> expected = {"play cd", "play cd from 1", "play cd to 2",
                                               "play cd from 1 to 2"};
    EXPECT_EQ(platform.commands(), expected);
}

TEST_F(ZerumaBGMTest, CheckCDPlaysTheWholeDiscWhenItStands) {
    settings.BGMRepeat = 0;
    disc("4", "stopped");
    bgm.CheckCD();
    EXPECT_EQ(bgm.CDReady, -1);
    disc("4", "playing");
    bgm.CheckCD();
    const std::vector<ScriptedPlatform::Sent> expected = {
        {"status cdaudio current track", 512}, {"status cdaudio number of tracks", 512},
        {"status cdaudio mode", 255},          {"play cdaudio", 512},
        {"status cdaudio current track", 512}, {"status cdaudio number of tracks", 512},
        {"status cdaudio mode", 255},
    };
    EXPECT_EQ(platform.sent, expected);
}

TEST_F(ZerumaBGMTest, CheckCDKeepsTheChosenTrackRepeating) {
    settings.BGMRepeat = 3;
    platform.script["status cdaudio position track 3"] = {0, "03:00:00:00"};
    platform.script["status cdaudio type track 3"] = {0, "audio"};
    disc("5", "playing"); // playback has moved on to track 5
    bgm.CheckCD();
    disc("3", "playing"); // track 3 plays: nothing to do
    bgm.CheckCD();
    disc("3", "stopped"); // the disc stopped inside track 3
    bgm.CheckCD();
    disc("03abc", "playing"); // taken as a number, the answer still says 3
    bgm.CheckCD();
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
    EXPECT_EQ(platform.commands(), expected);
    EXPECT_EQ(bgm.CDReady, -1);
}

TEST_F(ZerumaBGMTest, CheckCDWithATrackBeyondTheDiscRetriesSilentlyEveryTick) {
    settings.BGMRepeat = 9;
    disc("1", "stopped");
    platform.script["status cdaudio position track 9"] = {282, ""};
    platform.script["play cdaudio from Error:282"] = {270, ""};
    for (int tick = 0; tick < 3; ++tick) {
        platform.sent.clear();
        bgm.CheckCD();
        EXPECT_EQ(bgm.CDReady, -1);
        ASSERT_EQ(platform.sent.size(), 5u);
        EXPECT_EQ(platform.sent[3].command, "status cdaudio position track 9");
        EXPECT_EQ(platform.sent[4].command, "play cdaudio from Error:282");
        EXPECT_EQ(apiResult, 270);
    }
}

TEST_F(ZerumaBGMTest, CheckCDEndsTheWatchWhenTheChosenTrackIsData) {
    settings.BGMRepeat = 2;
    disc("1", "stopped");
    platform.script["status cdaudio position track 2"] = {0, "02:00:00:00"};
    platform.script["status cdaudio type track 2"] = {0, "other"};
    bgm.CheckCD();
    EXPECT_EQ(bgm.CDReady, 0);
    const std::vector<std::string> expected = {
        "status cdaudio current track", "status cdaudio number of tracks", "status cdaudio mode",
        "status cdaudio position track 2", "status cdaudio type track 2"};
    EXPECT_EQ(platform.commands(), expected);
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
        platform.sent.clear();
        platform.script["status cdaudio current track"] = c.track;
        platform.script["status cdaudio number of tracks"] = c.count;
        bgm.CheckCD();
        EXPECT_EQ(bgm.CDReady, 0);
        EXPECT_EQ(platform.sent.size(), c.commandsSent);
    }
}

TEST_F(ZerumaBGMTest, CheckCDComparesTheModeFromItsOwnStaleBuffer) {
    settings.BGMRepeat = 0;
    disc("1", "stopped");
    bgm.CheckCD(); // writes "stopped" into the CD mode buffer
    platform.script["status cdaudio mode"] = {276, ""};
    platform.sent.clear();
    bgm.CheckCD();
    EXPECT_EQ(platform.sent.back().command, "play cdaudio");
}

TEST_F(ZerumaBGMTest, WaveStartsOnlyWithAnOutputDevice) {
    settings.BGMFile = "/m/loop.wav";
    platform.devices = 0;
    bgm.PlayWave();
    EXPECT_TRUE(platform.sounds.empty());
    platform.devices = 2;
    bgm.PlayWave();
    bgm.StopWave();
    ASSERT_EQ(platform.sounds.size(), 2u);
    EXPECT_EQ(platform.sounds[0], std::make_pair(std::optional<std::string>("/m/loop.wav"), 9u));
    EXPECT_EQ(platform.sounds[1], std::make_pair(std::optional<std::string>(), 0u));
}

} // namespace
} // namespace kovessa
