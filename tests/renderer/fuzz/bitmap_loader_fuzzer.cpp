// Feeds arbitrary bytes to the bitmap loader as a file. Whatever the header claims, the loader
// must stay inside its buffers (AddressSanitizer watches), allocate no more than the file
// holds, and hand back a picture whose buffer covers all of its rows.

#include "renderer/bitmap_loader.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

class SilentSink : public kovessa::MessageSink {
public:
    void ShowMessage(const std::string&, const std::string&, kovessa::MessageIcon) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = memfd_create("bitmap", MFD_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n <= 0) {
            ::close(fd);
            return 0;
        }
        written += static_cast<size_t>(n);
    }
    ::lseek(fd, 0, SEEK_SET);
    SilentSink sink;
    const auto bitmap = kovessa::LoadBitmapFromDescriptor(fd, sink);
    ::close(fd);
    if (bitmap) {
        if (bitmap->width <= 0 || bitmap->height <= 0 ||
            bitmap->pixels.size() != bitmap->RowBytes() * static_cast<size_t>(bitmap->height) ||
            bitmap->pixels.size() > size + 4) {
            std::abort();
        }
    }
    return 0;
}
