#include "fake_media.h"
#include "music/mci_command.h"
#include "music/mci_errors.h"
#include "music/mci_interpreter.h"
#include "music/mci_media_platform.h"
#include "tests/music/recording_audio_output.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kovessa {
namespace {

using test::FakeMediaLibrary;

TEST(MciCommandParse, SplitsWordsAndQuotes) {
    struct Case {
        const char* text;
        int32_t error;
        std::string verb;
        std::string device;
        bool deviceQuoted;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"open cdaudio", 0, "open", "cdaudio", false, {}},
        {"  PLAY\tcdaudio   from  3 ", 0, "play", "cdaudio", false, {"from", "3"}},
        {"open \"C:/a b/c.mp3\" type MPEGVideo",
         0,
         "open",
         "C:/a b/c.mp3",
         true,
         {"type", "MPEGVideo"}},
        {"open \"a\"\"b\" alias x", 0, "open", "a\"b", true, {"alias", "x"}},
        {"open \"\"", 0, "open", "", true, {}},
        {"open \"\"\"\"", 0, "open", "\"", true, {}},
        {"open a\"b", 0, "open", "a\"b", false, {}},
        {"open \"x\"y", 0, "open", "x", true, {"y"}},
        {"status", 0, "status", "", false, {}},
        {"open \"never closed", mci::kNoClosingQuote, "", "", false, {}},
        {"open \"ends in a doubled quote\"\"", mci::kNoClosingQuote, "", "", false, {}},
        {"", mci::kMissingCommandString, "", "", false, {}},
        {" \t ", mci::kMissingCommandString, "", "", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const MciParseResult r = ParseMciCommand(c.text);
        EXPECT_EQ(r.error, c.error);
        if (c.error != 0) {
            continue;
        }
        EXPECT_EQ(r.command.verb, c.verb);
        EXPECT_EQ(r.command.device.text, c.device);
        EXPECT_EQ(r.command.device.quoted, c.deviceQuoted);
        std::vector<std::string> words;
        for (const MciWord& w : r.command.words) {
            words.push_back(w.text);
        }
        EXPECT_EQ(words, c.words);
    }
}

TEST(MciCommandParse, QuotingReadsBackAnyName) {
    for (const std::string name : {"plain.mp3", "a b.mp3", "\"", "x\" type cdaudio alias y",
                                   "ends with quote\"", "日本語 の 曲.mp3", ""}) {
        const MciParseResult r = ParseMciCommand("open " + QuoteMciWord(name) + " alias z");
        ASSERT_EQ(r.error, 0) << name;
        EXPECT_EQ(r.command.device.text, name);
        ASSERT_EQ(r.command.words.size(), 2u) << name;
    }
}

class MciInterpreterTest : public ::testing::Test {
protected:
    MciInterpreterTest() {
        library_.discTracks = 3;
        library_.discSectors = 150; // 2 s per track
        library_.files["/music/song.mp3"] = 44100;
        library_.files["/music/a \"quoted\" name.mp3"] = 44100;
        library_.badFiles["/music/text.mp3"] = mci::kInvalidFile;
    }
    MciReply Run(const std::string& command) { return interpreter_.Execute(command); }

    FakeMediaLibrary library_;
    RecordingAudioOutput output_;
    MciInterpreter interpreter_{library_, output_};
};

TEST_F(MciInterpreterTest, AnswersCommandsAsTheOriginalDid) {
    struct Step {
        const char* command;
        int32_t code;
        const char* answer;
    };
    // One session, in order: each step's state builds on the ones before it.
    const Step steps[] = {
        {"status cdaudio mode", mci::kInvalidDeviceName, ""},
        {"close MP3Play", mci::kInvalidDeviceName, ""},
        {"open cdaudio", 0, "1"},
        {"open cdaudio", mci::kDeviceOpen, ""},
        {"set cdaudio time format tmsf", 0, ""},
        {"status cdaudio time format", 0, "tmsf"},
        {"status cdaudio mode", 0, "stopped"},
        {"status cdaudio number of tracks", 0, "3"},
        {"status cdaudio current track", 0, "1"},
        {"status cdaudio position", 0, "01:00:00:00"},
        {"status cdaudio position track 2", 0, "02:00:00:00"},
        {"status cdaudio position track 3", 0, "03:00:00:00"},
        {"status cdaudio position track 4", mci::kOutOfRange, ""},
        {"status cdaudio position track 0", mci::kOutOfRange, ""},
        {"status cdaudio position track x", mci::kBadInteger, ""},
        {"status cdaudio position track", mci::kMissingParameter, ""},
        {"status cdaudio length track 2", 0, "00:02:00"},
        {"status cdaudio type track 2", 0, "audio"},
        {"status cdaudio type track 4", mci::kOutOfRange, ""},
        {"status cdaudio length", 0, "00:06:00"},
        {"status cdaudio", mci::kMissingParameter, ""},
        {"status cdaudio colour", mci::kUnrecognizedKeyword, ""},
        {"STATUS CDAUDIO MODE", 0, "stopped"},
        {"seek cdaudio to 2:00:01:00", 0, ""},
        {"status cdaudio position", 0, "02:00:01:00"},
        {"status cdaudio current track", 0, "2"},
        {"set cdaudio time format msf", 0, ""},
        {"status cdaudio position", 0, "00:05:00"},
        {"set cdaudio time format milliseconds", 0, ""},
        {"status cdaudio position", 0, "3000"},
        {"set cdaudio time format frames", mci::kBadTimeFormat, ""},
        {"set cdaudio time format tmsf", 0, ""},
        {"play cdaudio from Error:282", mci::kBadInteger, ""},
        {"play cdaudio from 5", mci::kOutOfRange, ""},
        {"play cdaudio from 3 to 2", mci::kOutOfRange, ""},
        {"play cdaudio from", mci::kMissingParameter, ""},
        {"play cdaudio wait", mci::kUnsupportedFunction, ""},
        {"play cdaudio sideways", mci::kUnrecognizedKeyword, ""},
        {"play cdaudio from 2 notify", 0, ""},
        {"status cdaudio mode", 0, "playing"},
        {"pause cdaudio", 0, ""},
        {"status cdaudio mode", 0, "paused"},
        {"resume cdaudio", 0, ""},
        {"status cdaudio mode", 0, "playing"},
        {"stop cdaudio", 0, ""},
        {"status cdaudio mode", 0, "stopped"},
        {"status cdaudio position", 0, "02:00:00:00"},
        {"open \"/music/missing.mp3\" type MPEGVideo alias MP3Play", mci::kFileNotFound, ""},
        {"open \"/music/text.mp3\" type MPEGVideo alias MP3Play", mci::kInvalidFile, ""},
        {"open \"/music/song.mp3\" type waveaudio alias MP3Play", mci::kInvalidDeviceName, ""},
        {"open \"/music/song.wma\" alias wma", mci::kExtensionNotFound, ""},
        {"open \"/music/song.mp3\" type MPEGVideo alias", mci::kMissingParameter, ""},
        {"open \"/music/song.mp3\" type MPEGVideo Alias MP3Play", 0, "2"},
        {"open \"/music/song.mp3\" type MPEGVideo alias mp3play", mci::kDuplicateAlias, ""},
        {"status mp3play mode", 0, "stopped"},
        {"status MP3Play length", 0, "1000"},
        {"status MP3Play current track", mci::kUnrecognizedKeyword, ""},
        {"play MP3Play from 500", 0, ""},
        {"status MP3Play position", 0, "500"},
        {"status MP3Play mode", 0, "playing"},
        {"close MP3Play", 0, ""},
        {"status MP3Play mode", mci::kInvalidDeviceName, ""},
        {"open \"/music/a \"\"quoted\"\" name.mp3\" type MPEGVideo alias q", 0, "3"},
        {"open /music/song.mp3", 0, "4"},
        {"close /MUSIC/SONG.MP3", 0, ""}, // names match without regard to case
        {"dance cdaudio", mci::kUnrecognizedCommand, ""},
        {"play", mci::kInvalidDeviceName, ""},
        {"open \"/music/song.mp3", mci::kNoClosingQuote, ""},
        {"close all", 0, ""},
        {"status cdaudio mode", mci::kInvalidDeviceName, ""},
        {"status q mode", mci::kInvalidDeviceName, ""},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.command);
        const MciReply reply = Run(s.command);
        EXPECT_EQ(reply.code, s.code);
        if (s.code == 0) {
            EXPECT_EQ(reply.answer, s.answer);
        }
    }
}

TEST_F(MciInterpreterTest, NoDiscMeansTheOpenAndEveryQueryFail) {
    library_.discTracks = 0;
    EXPECT_NE(Run("open cdaudio").code, 0);
    EXPECT_EQ(Run("set cdaudio time format tmsf").code, mci::kInvalidDeviceName);
    EXPECT_EQ(Run("status cdaudio current track").code, mci::kInvalidDeviceName);
}

TEST_F(MciInterpreterTest, PositionFollowsTheSoundAndTheDiscStartsOverAtItsEnd) {
    ASSERT_EQ(Run("open cdaudio alias cd").code, 0);
    ASSERT_EQ(Run("set cd time format tmsf").code, 0);
    ASSERT_EQ(Run("play cd from 3:00:01").code, 0); // the last second of track 3
    EXPECT_EQ(output_.PumpFrames(44100 / 2), 44100u / 2);
    EXPECT_EQ(Run("status cd position").answer, "03:00:01:37");
    EXPECT_EQ(Run("status cd current track").answer, "3");
    output_.PumpFrames(44100); // runs out after half a second
    EXPECT_EQ(output_.RecordedFrames(), 44100u);
    EXPECT_EQ(Run("status cd mode").answer, "stopped");
    EXPECT_EQ(Run("status cd position").answer, "01:00:00:00");
    // Played without a position, the disc starts over from its first track.
    ASSERT_EQ(Run("play cd").code, 0);
    output_.TakeRecording();
    output_.PumpFrames(10);
    const std::vector<int16_t> head = output_.TakeRecording();
    ASSERT_EQ(head.size(), 20u);
    EXPECT_EQ(head[0], 0);
    EXPECT_EQ(head[18], 9);
}

TEST_F(MciInterpreterTest, MpegFileReportsStoppedAtItsEndAndPlaysAgainFromZero) {
    ASSERT_EQ(Run("open \"/music/song.mp3\" type MPEGVideo Alias MP3Play").code, 0);
    ASSERT_EQ(Run("play MP3Play").code, 0);
    output_.PumpFrames(100000);
    EXPECT_EQ(output_.RecordedFrames(), 44100u);
    EXPECT_EQ(Run("status MP3Play mode").answer, "stopped");
    ASSERT_EQ(Run("stop MP3Play").code, 0);
    EXPECT_EQ(Run("status MP3Play position").answer, "0") << "after its end a file starts over";
    ASSERT_EQ(Run("play MP3Play from 0").code, 0);
    EXPECT_EQ(Run("status MP3Play mode").answer, "playing");
    output_.PumpFrames(100000);
    const std::vector<int16_t> all = output_.TakeRecording();
    ASSERT_EQ(all.size(), 2u * 2 * 44100);
    EXPECT_EQ(all[2 * 44100], 0); // the second pass starts at the file's first frame
    EXPECT_EQ(all[2 * 44100 + 2 * 1234], 1234);
}

TEST(MciInterpreterNoDevice, PlayFailsWithoutAnOutputDevice) {
    FakeMediaLibrary library;
    library.files["/a.mp3"] = 1000;
    RecordingAudioOutput output({}, 0);
    MciInterpreter interpreter(library, output);
    ASSERT_EQ(interpreter.Execute("open \"/a.mp3\" type MPEGVideo alias m").code, 0);
    EXPECT_EQ(interpreter.Execute("play m").code, mci::kHardware);
    EXPECT_EQ(interpreter.Execute("status m mode").answer, "stopped");
}

TEST(MciMediaPlatform, AnswerBuffersAndErrorTexts) {
    FakeMediaLibrary library;
    library.discTracks = 2;
    RecordingAudioOutput output;
    MciMediaPlatform platform(library, output);

    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    // A failing command leaves the buffer alone; a successful one writes its answer, cut to
    // the size given, with a NUL.
    EXPECT_EQ(platform.SendString("status cdaudio mode", buffer, sizeof buffer), 263);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(platform.SendString("open cdaudio", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "1");
    EXPECT_EQ(platform.SendString("status cdaudio mode", buffer, 5), 0);
    EXPECT_STREQ(buffer, "stop");
    EXPECT_EQ(platform.SendString("status cdaudio mode", nullptr, 0), 0);

    char text[256];
    struct Known {
        int32_t code;
        const char* text;
    };
    for (const Known& k : {
             Known{263, "The specified device is not open or is not recognized by MCI."},
             Known{275, "Cannot find the specified file. Make sure the path and filename are "
                        "correct."},
             Known{282, "The specified parameter is out of range for the specified command."},
             Known{296, "The specified file cannot be played on the specified MCI device. The "
                        "file may be corrupt, or not in the correct format."},
         }) {
        ASSERT_TRUE(platform.GetErrorString(k.code, text, sizeof text)) << k.code;
        EXPECT_STREQ(text, k.text);
    }
    std::strcpy(text, "untouched");
    EXPECT_FALSE(platform.GetErrorString(12345, text, sizeof text));
    EXPECT_FALSE(platform.GetErrorString(-1, text, sizeof text));
    EXPECT_STREQ(text, "untouched");
    ASSERT_TRUE(platform.GetErrorString(263, text, 10));
    EXPECT_STREQ(text, "The speci");
}

} // namespace
} // namespace kovessa
