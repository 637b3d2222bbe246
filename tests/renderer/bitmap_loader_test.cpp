#include "renderer/bitmap_loader.h"
#include "tests/renderer/bitmap_test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kovessa {
namespace {

namespace fs = std::filesystem;
using test::BitmapHeader;
using test::MakeBitmap;

struct Shown {
    std::string text;
    std::string caption;
    bool operator==(const Shown&) const = default;
};

class RecordingSink : public MessageSink {
public:
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon) override {
        shown.push_back({text, caption});
    }
    std::vector<Shown> shown;
};

std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << "[" << s.caption << "] " << s.text;
}

class BitmapLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kovessa-bmp-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::vector<uint8_t>& bytes, const std::string& name = "in.bmp") {
        const fs::path path = dir_ / name;
        test::WriteFile(path, bytes);
        return path.string();
    }

    // Every pixel of the loaded picture, against the test colours in red, green, blue order.
    static void ExpectTestPixels(const Bitmap& bitmap, int width, int height) {
        ASSERT_EQ(bitmap.width, width);
        ASSERT_EQ(bitmap.height, height);
        ASSERT_EQ(bitmap.pixels.size(), bitmap.RowBytes() * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = bitmap.pixels.data() + y * bitmap.RowBytes() + 3 * x;
                ASSERT_EQ(p[0], test::TestRed(x, y)) << x << "," << y;
                ASSERT_EQ(p[1], test::TestGreen(x, y)) << x << "," << y;
                ASSERT_EQ(p[2], test::TestBlue(x, y)) << x << "," << y;
            }
        }
    }

    fs::path dir_;
    RecordingSink sink_;
};

TEST(SwapRedBlue, ExchangesFirstAndThirdByteOfEachGroup) {
    std::vector<uint8_t> bytes{1, 2, 3, 4, 5, 6, 7};
    SwapRedBlue(bytes.data(), 2);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 7}));
}

// The two hand-off pictures, with the pixel-data size stated and left 0: every pixel arrives
// as red, green, blue with the bottom row first, and nothing is reported.
TEST_F(BitmapLoaderTest, HandOffPicturesLoadExactly) {
    for (int side : {64, 320}) {
        for (bool stated : {true, false}) {
            BitmapHeader h;
            h.width = h.height = side;
            h.sizeImage = stated ? static_cast<uint32_t>(side * side * 3) : 0;
            const auto bitmap = LoadTextureBitmap(Write(MakeBitmap(h)), sink_);
            ASSERT_TRUE(bitmap.has_value()) << side;
            ExpectTestPixels(*bitmap, side, side);
        }
    }
    EXPECT_TRUE(sink_.shown.empty());
}

TEST_F(BitmapLoaderTest, ColourTableIsSkippedAndOddWidthsAndTopDownRowsAreConverted) {
    BitmapHeader withPalette;
    withPalette.clrUsed = 3;
    auto bitmap = LoadBitmapFile(Write(MakeBitmap(withPalette, 3)), sink_);
    ASSERT_TRUE(bitmap);
    ExpectTestPixels(*bitmap, 64, 64);

    // Rows of 5 pixels carry one alignment byte; the alignment byte is not taken for a pixel.
    BitmapHeader odd;
    odd.width = 5;
    odd.height = 3;
    bitmap = LoadBitmapFile(Write(MakeBitmap(odd)), sink_);
    ASSERT_TRUE(bitmap);
    ExpectTestPixels(*bitmap, 5, 3);
    EXPECT_EQ(bitmap->pixels[15], 0xEE);

    BitmapHeader topDown;
    topDown.width = 8;
    topDown.height = -6;
    bitmap = LoadBitmapFile(Write(MakeBitmap(topDown)), sink_);
    ASSERT_TRUE(bitmap);
    ExpectTestPixels(*bitmap, 8, 6);
    EXPECT_TRUE(sink_.shown.empty());
}

TEST_F(BitmapLoaderTest, FailuresShowTheirMessagesInOrder) {
    const std::string missing = (dir_ / "Zeruma1.bmp").string();
    EXPECT_FALSE(LoadTextureBitmap(missing, sink_));
    EXPECT_EQ(sink_.shown, (std::vector<Shown>{{"Error opening \"" + missing, "BMP Unit"},
                                               {"Unable to load " + missing, "Loading Textures"}}));

    sink_.shown.clear();
    BitmapHeader h;
    h.clrUsed = 16; // announces 64 bytes of colour table, the file has 8
    std::vector<uint8_t> bytes = MakeBitmap(h, 0);
    bytes.resize(54 + 8);
    const std::string shortPalette = Write(bytes);
    EXPECT_FALSE(LoadTextureBitmap(shortPalette, sink_));
    EXPECT_EQ(sink_.shown,
              (std::vector<Shown>{{"Error reading palette", "BMP Unit"},
                                  {"Unable to load " + shortPalette, "Loading Textures"}}));

    // Cut inside the pixel data: reported once, and the complete rows that arrived still make
    // a picture, so the renderer goes on.
    sink_.shown.clear();
    bytes = MakeBitmap(BitmapHeader{});
    bytes.resize(54 + 10 * 64 * 3 + 50);
    const auto bitmap = LoadTextureBitmap(Write(bytes), sink_);
    EXPECT_EQ(sink_.shown, (std::vector<Shown>{{"Error reading bitmap data", "BMP Unit"}}));
    ASSERT_TRUE(bitmap);
    ExpectTestPixels(*bitmap, 64, 10);
}

TEST_F(BitmapLoaderTest, DirectoriesAndFifosAreNotOpenedAsPictures) {
    const fs::path fifo = dir_ / "fifo.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {dir_.string(), fifo.string()}) {
        sink_.shown.clear();
        EXPECT_FALSE(LoadBitmapFile(name, sink_));
        ASSERT_EQ(sink_.shown.size(), 1u);
        EXPECT_EQ(sink_.shown[0].text, "Error opening \"" + name);
    }
}

// Headers outside the hand-off format are refused through "Unable to load " alone, or, where
// they only claim more pixel data than the file holds, give what the file holds: never more
// memory than the file's size, never a read past a buffer.
TEST_F(BitmapLoaderTest, HostileHeadersAreRefusedOrCutToWhatTheFileHolds) {
    struct Case {
        const char* what;
        BitmapHeader header;
        size_t keepBytes; // 0: the whole file
        bool loads;
        std::vector<std::string> messages;
    };
    auto with = [](auto change) {
        BitmapHeader h;
        change(h);
        return h;
    };
    const Case cases[] = {
        {"shorter than its headers", BitmapHeader{}, 40, false, {"Unable to load"}},
        {"32 bits a pixel",
         with([](BitmapHeader& h) { h.bitCount = 32; }),
         0,
         false,
         {"Unable to load"}},
        {"8 bits a pixel",
         with([](BitmapHeader& h) { h.bitCount = 8; }),
         0,
         false,
         {"Unable to load"}},
        {"compressed",
         with([](BitmapHeader& h) { h.compression = 1; }),
         0,
         false,
         {"Unable to load"}},
        {"zero width", with([](BitmapHeader& h) { h.width = 0; }), 0, false, {"Unable to load"}},
        {"zero height", with([](BitmapHeader& h) { h.height = 0; }), 0, false, {"Unable to load"}},
        {"negative width",
         with([](BitmapHeader& h) { h.width = -64; }),
         54 + 64 * 64 * 3,
         false,
         {"Unable to load"}},
        {"size smaller than the rows",
         with([](BitmapHeader& h) { h.sizeImage = 100; }),
         0,
         false,
         {"Unable to load"}},
        {"huge colour table",
         with([](BitmapHeader& h) { h.clrUsed = 0xFFFFFFFFu; }),
         0,
         false,
         {"Error reading palette", "Unable to load"}},
        {"huge stated size", with([](BitmapHeader& h) { h.sizeImage = 0xFFFFFFFFu; }), 0, true, {}},
    };
    for (const Case& c : cases) {
        sink_.shown.clear();
        std::vector<uint8_t> bytes = MakeBitmap(c.header);
        if (c.keepBytes != 0) {
            bytes.resize(c.keepBytes);
        }
        const auto bitmap = LoadTextureBitmap(Write(bytes), sink_);
        EXPECT_EQ(bitmap.has_value(), c.loads) << c.what;
        ASSERT_EQ(sink_.shown.size(), c.messages.size()) << c.what;
        for (size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_EQ(sink_.shown[i].text.rfind(c.messages[i], 0), 0u) << c.what;
        }
    }
}

TEST_F(BitmapLoaderTest, HugeDimensionsInATinyFileAllocateNoMoreThanTheFile) {
    const std::pair<int32_t, int32_t> sizes[] = {
        {0x7FFFFFFF, 0x7FFFFFFF}, {30000, 30000}, {1, 0x7FFFFFFF}, {64, -0x7FFFFFFF}};
    for (auto [width, height] : sizes) {
        sink_.shown.clear();
        std::vector<uint8_t> bytes = MakeBitmap(BitmapHeader{});
        bytes[18] = static_cast<uint8_t>(width);
        bytes[19] = static_cast<uint8_t>(width >> 8);
        bytes[20] = static_cast<uint8_t>(width >> 16);
        bytes[21] = static_cast<uint8_t>(width >> 24);
        bytes[22] = static_cast<uint8_t>(height);
        bytes[23] = static_cast<uint8_t>(height >> 8);
        bytes[24] = static_cast<uint8_t>(height >> 16);
        bytes[25] = static_cast<uint8_t>(height >> 24);
        const auto bitmap = LoadBitmapFile(Write(bytes), sink_);
        ASSERT_TRUE(bitmap) << width << "x" << height;
        EXPECT_EQ(sink_.shown, (std::vector<Shown>{{"Error reading bitmap data", "BMP Unit"}}));
        EXPECT_LE(bitmap->pixels.size(), bytes.size());
        EXPECT_EQ(bitmap->pixels.size(), bitmap->RowBytes() * bitmap->height);
    }
}

} // namespace
} // namespace kovessa
