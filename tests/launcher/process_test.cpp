#include "launcher/preview_size.h"
#include "launcher/process_start.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

namespace kovessa {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

bool waitFor(const std::function<bool()>& condition) {
    for (auto end = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(5ms)) {
        if (condition()) {
            return true;
        }
    }
    return false;
}

TEST(StartProgram, StartsWithoutWaitingAndLeavesNoZombie) {
    TempDir dir;
    const std::string pidFile = dir.file("pid");
    const std::string gate = dir.file("gate");
    const std::string script = dir.write(
        "child.sh", "#!/bin/sh\necho $$ $# > '" + pidFile + ".tmp'\nmv '" + pidFile + ".tmp' '" +
                        pidFile + "'\nwhile [ ! -e '" + gate + "' ]; do sleep 0.01; done\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);

    ASSERT_TRUE(StartProgram(script));
    // It returned while the child still waits for the gate.
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(pidFile); }));
    std::string pid, argumentCount;
    std::ifstream(pidFile) >> pid >> argumentCount;
    EXPECT_EQ(argumentCount, "0");
    const std::string proc = "/proc/" + pid;
    EXPECT_TRUE(std::filesystem::exists(proc));

    std::ofstream(gate) << "open";
    // Once ended, the child is reaped: a zombie would keep its /proc entry.
    EXPECT_TRUE(waitFor([&] { return !std::filesystem::exists(proc); }));
}

TEST(StartProgram, RefusesWhatCannotBeStarted) {
    TempDir dir;
    const std::string plain = dir.write("data.txt", "not a program");
    EXPECT_FALSE(StartProgram(""));
    EXPECT_FALSE(StartProgram("relative/Kovessa.xy"));
    EXPECT_FALSE(StartProgram(dir.file("missing")));
    EXPECT_FALSE(StartProgram(dir.path()));
    EXPECT_FALSE(StartProgram(plain)); // no execute permission, which binds even the superuser
}

TEST(PreviewSize, ParentSizeThroughSixteenBitTwips) {
    struct Case {
        ScreenRect parent;
        double dpi;
        PreviewSize expected;
    };
    const Case cases[] = {
        {{100, 50, 252, 162}, 96, {2280, 1680, 152, 112}},
        {{0, 0, 2184, 2184}, 96, {32760, 32760, 2184, 2184}},
        {{0, 0, 2185, 10}, 96, {0, 150, 0, 10}}, // 32775 twips do not fit: that size stays 0
        {{0, 0, 1920, 1080}, 144, {19200, 10800, 1920, 1080}},
        {{0, 0, 3000, 100}, 120, {0, 1200, 0, 100}},
        {{0, 0, 0, 0}, 96, {0, 0, 0, 0}}, // no window
        {{-20, -10, 20, 10}, 96, {600, 300, 40, 20}},
    };
    for (const Case& c : cases) {
        const double tpp = TwipsPerPixel(c.dpi);
        EXPECT_EQ(ComputePreviewSize(c.parent, tpp, tpp), c.expected)
            << c.parent.right - c.parent.left << " at " << c.dpi << " dpi";
    }
    EXPECT_DOUBLE_EQ(TwipsPerPixel(96), 15);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(0), 15);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(std::nan("")), 15);
}

} // namespace
} // namespace kovessa
