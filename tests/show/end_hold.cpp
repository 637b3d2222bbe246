// Preloaded into the show program by the music tests: its immediate end (_exit) first creates
// the file named by $KOVESSA_TEST_END_MARK and then waits, up to five seconds, for the test to
// create that name plus ".go". Meanwhile the program's other threads run on, so the test can
// hear whether the sound stopped with the show's end sequence or would only have stopped
// with the process. The variables are taken out of the environment at load, so the programs
// the show starts (the renderer) are neither preloaded nor held.
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace {

std::string& Mark() {
    static std::string mark;
    return mark;
}

__attribute__((constructor)) void TakeTheMark() {
    if (const char* mark = std::getenv("KOVESSA_TEST_END_MARK"); mark != nullptr) {
        Mark() = mark;
    }
    unsetenv("KOVESSA_TEST_END_MARK");
    unsetenv("LD_PRELOAD");
}

} // namespace

extern "C" void _exit(int code) {
    if (!Mark().empty()) {
        const int fd = open(Mark().c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
        }
        const std::string go = Mark() + ".go";
        struct stat st = {};
        for (int i = 0; i < 1000 && stat(go.c_str(), &st) != 0; ++i) {
            const timespec pause{0, 5'000'000};
            nanosleep(&pause, nullptr);
        }
    }
    syscall(SYS_exit_group, code);
    __builtin_unreachable();
}
