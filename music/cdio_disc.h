#pragma once

#include "music/cd_disc.h"

#include <memory>
#include <string>

namespace kovessa {

struct CdioHandle;

// An audio disc read through libcdio: the default drive, a named drive device, or a CUE sheet
// whose BIN image lies beside it. The sound is read digitally with libcdio-paranoia, since a
// modern drive has no analogue path to the speakers.
class CdioDisc final : public CdDisc {
public:
    // `source` empty: the system's default drive. A path ending in .cue (any case): that image.
    // Anything else: that drive device. Null when there is no drive, no disc or no audio track.
    static std::unique_ptr<CdioDisc> Open(const std::string& source);
    ~CdioDisc() override;

    const CdToc& Toc() const override { return toc_; }
    std::unique_ptr<PcmSource> OpenAudio() override;

private:
    explicit CdioDisc(std::shared_ptr<CdioHandle> handle) : handle_(std::move(handle)) {}
    std::shared_ptr<CdioHandle> handle_;
    CdToc toc_;
};

} // namespace kovessa
