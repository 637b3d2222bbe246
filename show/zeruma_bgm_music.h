#pragma once

#include "music/media_platform.h"
#include "music/music_settings.h"
#include "music/zeruma_bgm.h"
#include "show/show_music.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace kovessa {

// The show's music through the music module Zeruma_BGM. The media platform (and with it the
// audio output) is made on the first music call only, so a show without music never opens an
// audio device and costs no audio thread.
class ZerumaBgmMusic : public ShowMusic {
public:
    using PlatformFactory = std::function<std::unique_ptr<MediaPlatform>()>;

    ZerumaBgmMusic(MusicSettings& settings, int32_t& apiResult, PlatformFactory makePlatform);
    ~ZerumaBgmMusic() override;

    void OpenCD() override { Bgm().OpenCD(); }
    void CheckCD() override { Bgm().CheckCD(); }
    bool IsCDReady() const override { return bgm_ == nullptr || bgm_->CDReady != 0; }
    void CloseCD() override { Bgm().CloseCD(); }
    void PlayMP3() override { Bgm().PlayMP3(); }
    void RepeatMP3() override { Bgm().RepeatMP3(); }
    void CloseMP3() override { Bgm().CloseMP3(); }
    void PlayWave() override { Bgm().PlayWave(); }
    void StopWave() override { Bgm().StopWave(); }

private:
    Zeruma_BGM& Bgm();

    MusicSettings& settings_;
    int32_t& apiResult_;
    PlatformFactory makePlatform_;
    std::unique_ptr<MediaPlatform> platform_;
    std::unique_ptr<Zeruma_BGM> bgm_;
};

} // namespace kovessa
