// Stands in for the renderer where a test must see what the show program alone does: it starts
// where the renderer would, draws nothing, marks its start with "<its own path>.started" and
// waits until a signal ends it.
#include <climits>
#include <fcntl.h>
#include <string>
#include <unistd.h>

int main() {
    char self[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        const std::string mark = std::string(self, static_cast<size_t>(length)) + ".started";
        const int fd = open(mark.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) {
            close(fd);
        }
    }
    for (;;) {
        pause();
    }
}
