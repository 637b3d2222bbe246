#include "show/show_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

namespace kovessa {
namespace {

using ::testing::ElementsAre;

// Records every call of the controller, music and services alike, in one ordered log.
struct Recorder : ShowServices, ShowMusic {
    std::vector<std::string> log;
    std::deque<std::optional<ScreenPoint>> pointer; // answers of GetCursorPos, last one repeats
    bool cdReady = true;
    std::set<ShowTimer> running; // the timers as the window runs them
    ShowController* controller = nullptr;

    bool ClaimMusic() override {
        log.push_back("ClaimMusic");
        return musicFree;
    }
    std::optional<ScreenPoint> GetCursorPos() override {
        log.push_back("GetCursorPos");
        if (pointer.empty()) {
            return std::nullopt;
        }
        std::optional<ScreenPoint> p = pointer.front();
        if (pointer.size() > 1) {
            pointer.pop_front();
        }
        return p;
    }
    void ShowCursor() override { log.push_back("ShowCursor"); }
    void SetTimerEnabled(ShowTimer t, bool on) override {
        if (on) {
            running.insert(t);
        } else {
            running.erase(t);
        }
        log.push_back(std::string(on ? "enable " : "disable ") + (t == ShowTimer::Timer1 ? "Timer1"
                                                                  : t == ShowTimer::Timer2
                                                                      ? "Timer2"
                                                                      : "Timer3"));
    }
    // As the window does: unloading runs the end sequence.
    void Unload() override {
        log.push_back("Unload");
        controller->Form_QueryUnload();
    }
    void EndProcessAtOnce(int code) override {
        log.push_back(code == 0 ? "EndProcessAtOnce" : "EndProcessAtOnce " + std::to_string(code));
    }
    bool musicFree = true;

    void OpenCD() override { log.push_back("OpenCD"); }
    void CheckCD() override { log.push_back("CheckCD"); }
    bool IsCDReady() const override { return cdReady; }
    void CloseCD() override { log.push_back("CloseCD"); }
    void PlayMP3() override { log.push_back("PlayMP3"); }
    void RepeatMP3() override { log.push_back("RepeatMP3"); }
    void CloseMP3() override { log.push_back("CloseMP3"); }
    void PlayWave() override { log.push_back("PlayWave"); }
    void StopWave() override { log.push_back("StopWave"); }
};

struct Show {
    AppContext app;
    Recorder rec;
    ShowController controller;

    // `start` is what the show's first two steps left for the window.
    explicit Show(int16_t kind = 0, std::string file = {}, std::string mode = "S",
                  ShowStart start = {true, true, std::nullopt})
        : controller(app, rec, rec, start) {
        app.programFolder = "/opt/kovessa";
        app.modeLetter = std::move(mode);
        app.music.BGMKind = kind;
        app.music.BGMFile = std::move(file);
        rec.controller = &controller;
    }
    // Loads at the given pointer position and forgets the load's calls.
    void Load(ScreenPoint at = {500, 400}) {
        rec.pointer = {at};
        controller.Form_Load();
        rec.log.clear();
    }
};

TEST(ShowControllerLoad, WithTheRendererRunningWatchesThePointerStartsMusicThenReadsThePointer) {
    Show show(2, "/music/song.mp3");
    show.rec.pointer = {ScreenPoint{640, 360}};
    show.controller.Form_Load();
    EXPECT_THAT(show.rec.log,
                ElementsAre("enable Timer3", "PlayMP3", "enable Timer1", "GetCursorPos"));
    EXPECT_EQ(show.app.shared.OpenPointX, 640);
    EXPECT_EQ(show.app.shared.OpenPointY, 360);
}

struct MusicCase {
    int16_t kind;
    const char* file;
    std::vector<std::string> atLoad; // music calls and timers between the start and the pointer
    std::vector<std::string> atEnd;  // the end sequence before ShowCursor
};

TEST(ShowControllerLoad, ChoosesTheMusicByKindAndTheLastThreeCharacters) {
    const std::vector<MusicCase> cases = {
        {0, "/m/a.mp3", {}, {}},
        {3, "/m/a.mp3", {}, {}},
        {-1, "/m/a.wav", {}, {}},
        {1, "", {"OpenCD", "enable Timer2"}, {"disable Timer2", "CloseCD"}},
        {2, "/m/a.mp3", {"PlayMP3", "enable Timer1"}, {"CloseMP3"}},
        {2, "/m/A.Mp3", {"PlayMP3", "enable Timer1"}, {"CloseMP3"}},
        {2, "/m/xmp3", {"PlayMP3", "enable Timer1"}, {"CloseMP3"}},
        {2, "/m/a.wav", {"PlayWave"}, {"StopWave"}},
        {2, "/m/a.Wav", {"PlayWave"}, {"StopWave"}},
        {2, "/m/a.mid", {}, {}},
        {2, "/m/a.wma", {}, {}},
        {2, "/m/noextension", {}, {}},
        {2, "", {}, {}},
        {2, "av", {}, {}},
    };
    for (const MusicCase& c : cases) {
        SCOPED_TRACE(std::string("BGMKind ") + std::to_string(c.kind) + " file " + c.file);
        Show show(c.kind, c.file);
        show.rec.pointer = {ScreenPoint{1, 1}};
        show.controller.Form_Load();
        const std::vector<std::string> load(show.rec.log.begin() + 1, show.rec.log.end() - 1);
        EXPECT_EQ(load, c.atLoad);
        show.rec.log.clear();
        show.controller.Form_QueryUnload();
        std::vector<std::string> end = c.atEnd;
        end.push_back("ShowCursor");
        end.push_back("EndProcessAtOnce");
        EXPECT_EQ(show.rec.log, end);
    }
}

TEST(ShowControllerLoad, PointerThatCannotBeReadRecordsTheOrigin) {
    Show show;
    show.app.shared.OpenPointX = 12;
    show.app.shared.OpenPointY = 34;
    show.rec.pointer = {std::nullopt};
    show.controller.Form_Load();
    EXPECT_EQ(show.app.shared.OpenPointX, 0);
    EXPECT_EQ(show.app.shared.OpenPointY, 0);
}

TEST(ShowControllerLoad, CoordinateBeyondSixteenBitsKeepsTheEarlierValue) {
    Show show;
    show.app.shared.OpenPointX = 7;
    show.app.shared.OpenPointY = 8;
    show.rec.pointer = {ScreenPoint{40000, -200}};
    show.controller.Form_Load();
    EXPECT_EQ(show.app.shared.OpenPointX, 7);
    EXPECT_EQ(show.app.shared.OpenPointY, -200);
}

struct PointerCase {
    int dx;
    int dy;
    bool ends;
};

TEST(ShowControllerPointer, EndsOnlyWhenBothAxesMovedMoreThanThirtyPixels) {
    const std::vector<PointerCase> cases = {
        {0, 0, false},   {200, 0, false}, {0, 200, false},  {30, 30, false}, {31, 30, false},
        {30, 31, false}, {31, 31, true},  {-31, -31, true}, {-31, 31, true}, {500, -40, true},
    };
    for (const PointerCase& c : cases) {
        SCOPED_TRACE("moved by " + std::to_string(c.dx) + ", " + std::to_string(c.dy));
        Show show;
        show.Load({500, 400});
        show.rec.pointer = {ScreenPoint{500 + c.dx, 400 + c.dy}};
        show.controller.Timer3_Timer();
        if (c.ends) {
            EXPECT_THAT(show.rec.log, ElementsAre("GetCursorPos", "disable Timer3", "Unload",
                                                  "ShowCursor", "EndProcessAtOnce"));
        } else {
            EXPECT_THAT(show.rec.log, ElementsAre("GetCursorPos"));
            EXPECT_TRUE(show.rec.running.count(ShowTimer::Timer3) == 1);
        }
    }
}

TEST(ShowControllerPointer, FailedReadCountsAsTheOrigin) {
    Show near; // start point close to the origin: a failed read is no move
    near.Load({10, 20});
    near.rec.pointer = {std::nullopt};
    near.controller.Timer3_Timer();
    EXPECT_TRUE(near.rec.running.count(ShowTimer::Timer3) == 1);

    Show far;
    far.Load({100, 100});
    far.rec.pointer = {std::nullopt};
    far.controller.Timer3_Timer();
    EXPECT_FALSE(far.rec.running.count(ShowTimer::Timer3) == 1);
    EXPECT_EQ(far.rec.log.back(), "EndProcessAtOnce");
}

TEST(ShowControllerPointer, DistanceIsComputedWithoutSixteenBitOverflow) {
    Show show;
    show.Load({-32768, -32768});
    show.rec.pointer = {ScreenPoint{32767, 32767}};
    show.controller.Timer3_Timer();
    EXPECT_EQ(show.rec.log.back(), "EndProcessAtOnce");
}

TEST(ShowControllerWatches, CdWatchStopsForGoodAtTheFirstTickWithoutDisc) {
    Show show(1);
    show.Load();
    show.rec.cdReady = true;
    show.controller.Timer2_Timer();
    EXPECT_THAT(show.rec.log, ElementsAre("CheckCD", "enable Timer2"));
    EXPECT_TRUE(show.rec.running.count(ShowTimer::Timer2) == 1);

    show.rec.log.clear();
    show.rec.cdReady = false;
    show.controller.Timer2_Timer();
    EXPECT_THAT(show.rec.log, ElementsAre("CheckCD", "disable Timer2"));
    EXPECT_FALSE(show.rec.running.count(ShowTimer::Timer2) == 1);

    // With the watch stopped, the end sequence leaves the CD device alone.
    show.rec.log.clear();
    show.controller.Form_QueryUnload();
    EXPECT_THAT(show.rec.log, ElementsAre("ShowCursor", "EndProcessAtOnce"));
}

TEST(ShowControllerWatches, Mp3WatchRepeatsTheFile) {
    Show show(2, "/m/a.mp3");
    show.Load();
    show.controller.Timer1_Timer();
    show.controller.Timer1_Timer();
    EXPECT_THAT(show.rec.log, ElementsAre("RepeatMP3", "RepeatMP3"));
}

TEST(ShowControllerEnd, PointerIsShownAgainOnlyAfterTheHidingSwitch) {
    for (const char* mode : {"", "s"}) {
        SCOPED_TRACE(std::string("mode letter '") + mode + "'");
        Show show(0, {}, mode);
        show.Load();
        show.controller.Form_QueryUnload();
        EXPECT_THAT(show.rec.log, ElementsAre("EndProcessAtOnce"));
    }
}

TEST(ShowControllerLoad, WithoutAnyPictureTheShowEndsAtOnceAndFails) {
    Show show(2, "/m/a.mp3", "S", {false, false, std::nullopt});
    show.controller.Form_Load();
    EXPECT_THAT(show.rec.log, ElementsAre("Unload", "ShowCursor", "EndProcessAtOnce 1"));
}

// The renderer ending by itself (Esc, its pointer rule, a close request, a crash) ends the show
// as a pointer move would: the music stops and the pointer comes back.
TEST(ShowControllerEnd, TheRendererEndingEndsTheShow) {
    for (const int status : {0, 137}) {
        Show show(2, "/m/a.mp3");
        show.Load();
        show.controller.RendererEnded(status);
        EXPECT_THAT(show.rec.log, ElementsAre("disable Timer3", "Unload", "CloseMP3", "ShowCursor",
                                              "EndProcessAtOnce"));
    }
}

TEST(ShowControllerLoad, ARendererThatCannotStartEndsTheShowBeforeAnyMusic) {
    Show show(2, "/m/a.wav", "S", {true, false, std::nullopt});
    show.controller.Form_Load();
    EXPECT_THAT(show.rec.log,
                ElementsAre("disable Timer3", "Unload", "ShowCursor", "EndProcessAtOnce"));
}

struct Hack : Show {
    explicit Hack(int16_t kind = 0, std::string file = {},
                  ShowStart start = {true, true, std::nullopt})
        : Show(kind, std::move(file), "-", start) {
        app.hackMode = true;
        app.hackWindow = 0x600001;
    }
};

TEST(ShowControllerHack, DrawsIntoTheDaemonsWindowWithoutWatchingThePointer) {
    Hack hack(2, "/m/a.mp3");
    hack.controller.Form_Load();
    EXPECT_THAT(hack.rec.log, ElementsAre("ClaimMusic", "PlayMP3", "enable Timer1"));
    EXPECT_FALSE(hack.rec.running.count(ShowTimer::Timer3) == 1);
}

TEST(ShowControllerHack, OnlyTheInstanceWithTheClaimPlaysMusic) {
    Hack second(1);
    second.rec.musicFree = false;
    second.controller.Form_Load();
    EXPECT_THAT(second.rec.log, ElementsAre("ClaimMusic"));
    second.rec.log.clear();
    second.controller.Form_QueryUnload();
    EXPECT_THAT(second.rec.log, ElementsAre("EndProcessAtOnce"));
}

TEST(ShowControllerHack, ARendererThatFailedFailsTheHackAndTheCursorIsNeverTouched) {
    Hack clean(2, "/m/a.wav");
    clean.controller.Form_Load();
    clean.rec.log.clear();
    clean.controller.RendererEnded(0);
    EXPECT_THAT(clean.rec.log,
                ElementsAre("disable Timer3", "Unload", "StopWave", "EndProcessAtOnce"));

    Hack crashed;
    crashed.controller.Form_Load();
    crashed.rec.log.clear();
    crashed.controller.RendererEnded(139);
    EXPECT_THAT(crashed.rec.log, ElementsAre("disable Timer3", "Unload", "EndProcessAtOnce 1"));

    Hack neverStarted(0, {}, {true, false, std::nullopt});
    neverStarted.controller.Form_Load();
    EXPECT_THAT(neverStarted.rec.log,
                ElementsAre("disable Timer3", "Unload", "EndProcessAtOnce 1"));
}

TEST(ShowControllerEnd, RunsOnceWhenCloseRequestsArriveTwice) {
    Show show(2, "/m/a.wav");
    show.Load();
    show.controller.Form_QueryUnload();
    show.controller.Form_QueryUnload();
    EXPECT_THAT(show.rec.log, ElementsAre("StopWave", "ShowCursor", "EndProcessAtOnce"));
}

} // namespace
} // namespace kovessa
