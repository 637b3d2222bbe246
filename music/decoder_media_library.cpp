#include "music/decoder_media_library.h"

#include "music/cdio_disc.h"
#include "music/mci_errors.h"
#include "music/mpg123_source.h"
#include "music/sndfile_source.h"

#include <sys/stat.h>

namespace kovessa {

std::unique_ptr<CdDisc> DecoderMediaLibrary::OpenDisc() {
    return CdioDisc::Open(cdSource_);
}

MediaOpenResult DecoderMediaLibrary::OpenFile(const std::string& path, MediaKind kind) {
    MediaOpenResult result;
    if (kind == MediaKind::Mpeg) {
        result.source = Mpg123Source::Open(path, result.error);
        return result;
    }
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.error = mci::kFileNotFound;
        return result;
    }
    result.source = SndfileSource::Open(path);
    result.error = result.source ? mci::kOk : mci::kInvalidFile;
    return result;
}

} // namespace kovessa
