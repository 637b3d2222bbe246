#include "show/zeruma_bgm_music.h"

#include <utility>

namespace kovessa {

ZerumaBgmMusic::ZerumaBgmMusic(MusicSettings& settings, int32_t& apiResult,
                               PlatformFactory makePlatform)
    : settings_(settings), apiResult_(apiResult), makePlatform_(std::move(makePlatform)) {}

// The module refers to the platform, so it goes first.
ZerumaBgmMusic::~ZerumaBgmMusic() {
    bgm_.reset();
    platform_.reset();
}

Zeruma_BGM& ZerumaBgmMusic::Bgm() {
    if (bgm_ == nullptr) {
        platform_ = makePlatform_();
        bgm_ = std::make_unique<Zeruma_BGM>(settings_, apiResult_, *platform_);
    }
    return *bgm_;
}

} // namespace kovessa
