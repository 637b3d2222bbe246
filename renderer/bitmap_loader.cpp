#include "renderer/bitmap_loader.h"

#include "common/file_open.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kovessa {

namespace {

constexpr size_t kHeaderBytes = 14 + 40;

// Reads up to `count` bytes, retrying after interruptions; returns how many arrived.
size_t ReadFully(int fd, uint8_t* into, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, into + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return done;
}

uint32_t U32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

class FileCloser {
public:
    explicit FileCloser(int fd) : fd_(fd) {}
    ~FileCloser() { ::close(fd_); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

private:
    int fd_;
};

} // namespace

void SwapRedBlue(uint8_t* pixels, uint32_t groups) {
    for (uint32_t i = 0; i < groups; ++i) {
        std::swap(pixels[3 * size_t{i}], pixels[3 * size_t{i} + 2]);
    }
}

std::optional<Bitmap> LoadBitmapFile(const std::string& name, MessageSink& messages) {
    // Non-blocking, so that a FIFO planted under the name cannot hang the renderer before it is
    // recognised as something other than a plain file.
    const int fd = OpenForReading(name);
    struct stat info = {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        messages.ShowMessage("Error opening \"" + name, kBmpUnitCaption, MessageIcon::None);
        return std::nullopt;
    }
    if (fd < 0) {
        messages.ShowMessage("Error opening \"" + name, kBmpUnitCaption, MessageIcon::None);
        return std::nullopt;
    }
    FileCloser closer(fd);
    return LoadBitmapFromDescriptor(fd, messages);
}

std::optional<Bitmap> LoadBitmapFromDescriptor(int fd, MessageSink& messages) {
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        return std::nullopt;
    }
    // Every size below is checked against what the file holds before anything is allocated,
    // so a header that claims gigabytes costs nothing.
    const uint64_t fileBytes = info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;

    uint8_t header[kHeaderBytes];
    if (ReadFully(fd, header, kHeaderBytes) < kHeaderBytes) {
        return std::nullopt;
    }
    const auto biWidth = static_cast<int32_t>(U32(header + 18));
    const auto biHeight = static_cast<int32_t>(U32(header + 22));
    const uint16_t biBitCount = U16(header + 28);
    const uint32_t biCompression = U32(header + 30);
    const uint32_t biSizeImage = U32(header + 34);
    const uint32_t biClrUsed = U32(header + 46);

    // The colour table is not used; it only has to be there.
    const uint64_t paletteBytes = uint64_t{biClrUsed} * 4;
    const uint64_t afterHeader = fileBytes > kHeaderBytes ? fileBytes - kHeaderBytes : 0;
    if (paletteBytes > afterHeader ||
        (paletteBytes > 0 &&
         ::lseek(fd, static_cast<off_t>(paletteBytes), SEEK_CUR) == static_cast<off_t>(-1))) {
        messages.ShowMessage("Error reading palette", kBmpUnitCaption, MessageIcon::None);
        return std::nullopt;
    }

    // Only 24-bit uncompressed pictures with a real size are textures; anything else is
    // refused rather than guessed at. Top-down pictures (negative height) are turned over.
    if (biBitCount != 24 || biCompression != 0 || biWidth <= 0 || biHeight == 0 ||
        biHeight == INT32_MIN) {
        return std::nullopt;
    }
    const bool topDown = biHeight < 0;
    const uint64_t rows = topDown ? uint64_t{0} - static_cast<uint64_t>(int64_t{biHeight})
                                  : static_cast<uint64_t>(biHeight);
    const uint64_t rowBytes = (uint64_t{static_cast<uint32_t>(biWidth)} * 3 + 3) & ~uint64_t{3};
    const uint64_t imageBytes = rowBytes * rows;
    // A stated pixel-data size smaller than the rows it must hold belongs to another format.
    if (biSizeImage != 0 && biSizeImage < imageBytes) {
        return std::nullopt;
    }

    const uint64_t available = afterHeader - paletteBytes;
    const uint64_t wanted = std::min(imageBytes, available);
    std::vector<uint8_t> data(static_cast<size_t>(wanted));
    const size_t got = ReadFully(fd, data.data(), data.size());

    Bitmap bitmap;
    bitmap.width = biWidth;
    uint64_t completeRows = rows;
    if (got < imageBytes) {
        messages.ShowMessage("Error reading bitmap data", kBmpUnitCaption, MessageIcon::None);
        completeRows = got / rowBytes;
        if (completeRows == 0) {
            bitmap.width = 1;
            bitmap.height = 1;
            bitmap.pixels.assign(4, 0);
            return bitmap;
        }
        data.resize(static_cast<size_t>(completeRows * rowBytes));
    }
    bitmap.height = static_cast<int32_t>(completeRows);

    if (topDown) {
        bitmap.pixels.resize(data.size());
        for (uint64_t r = 0; r < completeRows; ++r) {
            std::memcpy(bitmap.pixels.data() + (completeRows - 1 - r) * rowBytes,
                        data.data() + r * rowBytes, static_cast<size_t>(rowBytes));
        }
    } else {
        bitmap.pixels = std::move(data);
    }
    // Row by row, so that alignment bytes at a row's end are never taken for a pixel.
    for (uint64_t r = 0; r < completeRows; ++r) {
        SwapRedBlue(bitmap.pixels.data() + r * rowBytes, static_cast<uint32_t>(biWidth));
    }
    return bitmap;
}

std::optional<Bitmap> LoadTextureBitmap(const std::string& name, MessageSink& messages) {
    std::optional<Bitmap> bitmap = LoadBitmapFile(name, messages);
    if (!bitmap) {
        messages.ShowMessage("Unable to load " + name, kLoadingTexturesCaption, MessageIcon::None);
    }
    return bitmap;
}

} // namespace kovessa
