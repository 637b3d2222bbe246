#include "launcher/child_process.h"
#include "launcher/preview_size.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kovessa {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

bool WaitFor(const std::function<bool()>& condition) {
    for (auto end = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(5ms)) {
        if (condition()) {
            return true;
        }
    }
    return false;
}

TEST(ChildProcess, StartsWithoutWaitingAndIsReapedOnceEnded) {
    TempDir dir;
    const std::string pidFile = dir.File("pid");
    const std::string gate = dir.File("gate");
    const std::string script = dir.Write(
        "child.sh", "#!/bin/sh\necho $$ $# > '" + pidFile + ".tmp'\nmv '" + pidFile + ".tmp' '" +
                        pidFile + "'\nwhile [ ! -e '" + gate + "' ]; do sleep 0.01; done\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);

    const std::optional<StartedChild> child = StartChild(script);
    ASSERT_TRUE(child);
    // It returned while the child still waits for the gate.
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(pidFile); }));
    std::string pid, argumentCount;
    std::ifstream(pidFile) >> pid >> argumentCount;
    EXPECT_EQ(argumentCount, "0");
    const std::string proc = "/proc/" + pid;
    EXPECT_TRUE(std::filesystem::exists(proc));

    EXPECT_FALSE(ReapChild(child->pid));

    std::ofstream(gate) << "open";
    // The exit descriptor turns readable when the child ends; reaping then removes the zombie.
    pollfd fd{child->exitFd, POLLIN, 0};
    ASSERT_EQ(poll(&fd, 1, 10000), 1);
    EXPECT_EQ(ReapChild(child->pid), 0);
    EXPECT_FALSE(std::filesystem::exists(proc));
    EXPECT_FALSE(ReapChild(child->pid)); // no longer listed
}

// A child that ignores SIGTERM (a renderer stuck in a driver) is killed once its grace is over,
// and the wait never takes much longer than the grace.
TEST(ChildProcess, AskedToEndAChildGetsSigtermThenSigkill) {
    TempDir dir;
    const std::string ready = dir.File("ready");
    const std::string stubborn =
        dir.Write("stubborn.sh",
                  "#!/bin/sh\ntrap '' TERM\ntouch '" + ready + "'\nwhile :; do sleep 0.05; done\n");
    const std::string polite = dir.Write("polite.sh", "#!/bin/sh\nexec sleep 30\n");
    std::filesystem::permissions(stubborn, std::filesystem::perms::owner_all);
    std::filesystem::permissions(polite, std::filesystem::perms::owner_all);

    const std::optional<StartedChild> a = StartChild(stubborn);
    const std::optional<StartedChild> b = StartChild(polite);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(ready); }));

    const auto start = std::chrono::steady_clock::now();
    AskChildrenToEnd(300ms);
    FinishEndingChildren();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, 3s);
    EXPECT_FALSE(std::filesystem::exists("/proc/" + std::to_string(a->pid)));
    EXPECT_FALSE(std::filesystem::exists("/proc/" + std::to_string(b->pid)));
}

// A renderer inside a daemon's window must go when its parent dies, even by SIGKILL.
TEST(ChildProcess, EndWithParentSurvivesNoParentDeath) {
    TempDir dir;
    const std::string pidFile = dir.File("grandchild");
    const std::string script =
        dir.Write("child.sh", "#!/bin/sh\necho $$ > '" + pidFile + ".tmp'\nmv '" + pidFile +
                                  ".tmp' '" + pidFile + "'\nexec sleep 30\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);

    const pid_t parent = fork();
    ASSERT_GE(parent, 0);
    if (parent == 0) {
        ChildOptions options;
        options.endWithParent = true;
        if (!StartChild(script, options)) {
            _exit(1);
        }
        pause();
        _exit(0);
    }
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(pidFile); }));
    std::string grandchild;
    std::ifstream(pidFile) >> grandchild;
    kill(parent, SIGKILL);
    int status = 0;
    waitpid(parent, &status, 0);
    // The orphan is reaped by whoever adopts it; gone from /proc or a zombie, it has ended.
    EXPECT_TRUE(WaitFor([&] {
        std::ifstream stat("/proc/" + grandchild + "/stat");
        std::string pid, name, state;
        return !(stat >> pid >> name >> state) || state == "Z";
    }));
}

TEST(ChildProcess, RefusesWhatCannotBeStarted) {
    TempDir dir;
    const std::string plain = dir.Write("data.txt", "not a program");
    EXPECT_FALSE(StartChild(""));
    EXPECT_FALSE(StartChild("relative/Kovessa.xy"));
    EXPECT_FALSE(StartChild(dir.File("missing")));
    EXPECT_FALSE(StartChild(dir.Path()));
    EXPECT_FALSE(StartChild(plain)); // no execute permission, which binds even the superuser
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
