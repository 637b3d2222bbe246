#pragma once

#include "music/media_platform.h"
#include "music/music_settings.h"

#include <array>
#include <cstdint>
#include <string>

namespace kovessa {

// The music module of the show: starts the chosen music, keeps it repeating from the show
// window's timers and stops it. Every failure is silent: a query that fails answers with its
// error text, and the watches act on that. The command sender keeps each command's code in
// `APIResult` and decides on it there. Runs on the user-interface thread, and every call
// returns at once.
class Zeruma_BGM {
public:
    Zeruma_BGM(MusicSettings& settings, int32_t& apiResult, MediaPlatform& platform);

    // True (-1) while the disc can be queried; the show's CD timer follows it.
    int16_t CDReady = 0;

    void OpenCD();
    // The CD watch, every 200 ms: starts the disc when it stands, keeps the chosen track
    // repeating, and sets CDReady false once the disc can no longer be queried or the chosen
    // track is a data track.
    void CheckCD();
    void CloseCD();

    void PlayMP3();
    bool IsMP3Playing();
    // The MP3 watch, every second: starts the file again from its beginning once it stopped.
    void RepeatMP3();
    void CloseMP3();

    void PlayWave();
    void StopWave();

    // Sends one command; returns 0, -1 for an empty command, or the interpreter's error code,
    // with the answer or the error's text in `answer`. A command that was sent leaves its code
    // in `APIResult`.
    int32_t SendMCICommand(const std::string& command, std::string& answer);
    // The answer of a query, or "Error:" and the code when it failed.
    std::string MCIQuery(const std::string& command);
    int32_t MCIPlay(const std::string& device, const std::string& from, const std::string& to);

private:
    MusicSettings& settings_;
    int32_t& apiResult_;
    MediaPlatform& platform_;

    // The buffers live as long as the module and are never cleared: a query that fails leaves
    // the mode text of the last one that succeeded, and the mode checks then answer as before.
    std::array<char, 256> cdMode_{};
    std::array<char, 512> commandAnswer_{};
    std::array<char, 256> errorText_{};
    std::array<char, 30> mp3Mode_{};
    std::string lastAnswer_;
};

} // namespace kovessa
