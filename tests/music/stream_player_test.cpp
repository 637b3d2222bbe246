#include "fake_media.h"
#include "music/stream_player.h"
#include "tests/music/recording_audio_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace kovessa {
namespace {

using test::RampSource;

// Frame f of channel 0 in a recording.
int16_t At(const std::vector<int16_t>& pcm, size_t f) {
    return pcm[f * 2];
}

TEST(StreamPlayer, LoopIsSeamlessAndRangesAreExact) {
    RecordingAudioOutput output;
    StreamPlayer player(std::make_unique<RampSource>(1000), output);
    ASSERT_TRUE(player.Play(100, StreamPlayer::kToEnd, StreamPlayer::Loop::Yes));
    output.PumpFrames(3000);
    const std::vector<int16_t> pcm = output.TakeRecording();
    ASSERT_EQ(pcm.size(), 6000u);
    for (size_t f = 0; f < 3000; ++f) {
        ASSERT_EQ(At(pcm, f), static_cast<int16_t>(100 + f % 900)) << "frame " << f;
    }
    EXPECT_TRUE(player.IsPlaying());

    ASSERT_TRUE(player.Play(10, 20, StreamPlayer::Loop::No));
    EXPECT_EQ(output.PumpFrames(100, std::chrono::milliseconds(100)), 10u);
    const std::vector<int16_t> range = output.TakeRecording();
    EXPECT_EQ(At(range, 0), 10);
    EXPECT_EQ(At(range, 9), 19);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_TRUE(player.ReachedEnd());
    EXPECT_EQ(player.Position(), 20);
}

TEST(StreamPlayer, StopKeepsThePositionAndSilencesAtOnce) {
    RecordingAudioOutput output;
    StreamPlayer player(std::make_unique<RampSource>(100000), output);
    ASSERT_TRUE(player.Play(0, StreamPlayer::kToEnd, StreamPlayer::Loop::No));
    output.PumpFrames(500);
    player.Stop();
    EXPECT_EQ(player.Position(), 500);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_FALSE(player.ReachedEnd());
    EXPECT_EQ(output.Pump(100), 0u) << "nothing buffered before the stop may still sound";
}

TEST(StreamPlayer, EmptyOrUnseekableSourcesEndInsteadOfSpinning) {
    RecordingAudioOutput output;
    StreamPlayer empty(std::make_unique<RampSource>(0), output);
    ASSERT_TRUE(empty.Play(0, StreamPlayer::kToEnd, StreamPlayer::Loop::Yes));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (empty.IsPlaying() && std::chrono::steady_clock::now() < deadline) {
        output.Pump(64);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(empty.IsPlaying());

    StreamPlayer shortOne(std::make_unique<RampSource>(10), output);
    ASSERT_TRUE(shortOne.Play(50, StreamPlayer::kToEnd, StreamPlayer::Loop::Yes));
    EXPECT_EQ(output.PumpFrames(100, std::chrono::milliseconds(100)), 0u);
    EXPECT_FALSE(shortOne.IsPlaying());
}

TEST(StreamPlayer, DestroyingWhilePlayingDetachesFromTheOutput) {
    RecordingAudioOutput output;
    {
        StreamPlayer player(std::make_unique<RampSource>(1 << 20), output);
        ASSERT_TRUE(player.Play(0, StreamPlayer::kToEnd, StreamPlayer::Loop::Yes));
        std::thread puller([&] { output.PumpFrames(20000); });
        puller.join();
        EXPECT_EQ(output.StreamCount(), 1u);
    }
    EXPECT_EQ(output.StreamCount(), 0u);
    EXPECT_EQ(output.Pump(10), 0u);
}

} // namespace
} // namespace kovessa
