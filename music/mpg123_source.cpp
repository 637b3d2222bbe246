#include "music/mpg123_source.h"

#include "music/mci_errors.h"

#include <mpg123.h>

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace kovessa {

namespace {

// mpg123_init is process-wide and must run once before the first handle (a no-op since 1.27,
// kept for older libraries).
void InitOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

// The decoder looks this far for the first frame. MPEG frames can sync on random bytes, so a
// file that is not MP3 is searched briefly instead of to its end; real files start at once (the
// ID3v2 tag ahead of the audio is skipped by the decoder itself).
constexpr long kResyncLimitBytes = 4096;

} // namespace

std::unique_ptr<Mpg123Source> Mpg123Source::Open(const std::string& path, int32_t& error) {
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = mci::kFileNotFound;
        return nullptr;
    }
    InitOnce();
    int rc = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &rc);
    if (handle == nullptr) {
        error = mci::kOutOfMemory;
        return nullptr;
    }
    std::unique_ptr<Mpg123Source> source(new Mpg123Source(handle));
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_param(handle, MPG123_RESYNC_LIMIT, kResyncLimitBytes, 0.0);
    mpg123_format_none(handle);
    for (const long rate :
         {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L}) {
        mpg123_format(handle, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (mpg123_open(handle, path.c_str()) != MPG123_OK) {
        error = errno == ENOENT ? mci::kFileNotFound : mci::kInvalidFile;
        return nullptr;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        (channels != 1 && channels != 2) || encoding != MPG123_ENC_SIGNED_16) {
        error = mci::kInvalidFile;
        return nullptr;
    }
    // A second check against chance syncs in files of other kinds: the first frames must decode.
    int16_t probe[4096];
    size_t done = 0;
    rc = mpg123_read(handle, reinterpret_cast<unsigned char*>(probe), sizeof probe, &done);
    if ((rc != MPG123_OK && rc != MPG123_DONE && rc != MPG123_NEW_FORMAT) || done == 0 ||
        mpg123_seek(handle, 0, SEEK_SET) < 0) {
        error = mci::kInvalidFile;
        return nullptr;
    }
    source->format_ = PcmFormat{static_cast<int>(rate), channels};
    const off_t length = mpg123_length(handle);
    source->length_ = length > 0 ? static_cast<int64_t>(length) : -1;
    error = mci::kOk;
    return source;
}

Mpg123Source::~Mpg123Source() {
    mpg123_close(handle_);
    mpg123_delete(handle_);
}

size_t Mpg123Source::Read(int16_t* out, size_t frames) {
    const size_t frameBytes = sizeof(int16_t) * format_.channels;
    size_t total = 0;
    while (!ended_ && total < frames) {
        size_t done = 0;
        const int rc =
            mpg123_read(handle_, reinterpret_cast<unsigned char*>(out) + total * frameBytes,
                        (frames - total) * frameBytes, &done);
        total += done / frameBytes;
        if (rc == MPG123_NEW_FORMAT) {
            // The format was fixed to one encoding; a change of rate or channels mid-file would
            // play at the wrong pitch, so the file ends there.
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            mpg123_getformat(handle_, &rate, &channels, &encoding);
            if (rate != format_.rate || channels != format_.channels) {
                ended_ = true;
            }
        } else if (rc != MPG123_OK) {
            ended_ = true; // MPG123_DONE or a decode error: both end the sound
        } else if (done == 0) {
            ended_ = true;
        }
    }
    return total;
}

bool Mpg123Source::Seek(int64_t frame) {
    ended_ = false;
    return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

} // namespace kovessa
