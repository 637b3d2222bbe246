#include "common/file_open.h"
#include "common/win32_text.h"

#include <fcntl.h>
#include <io.h>

namespace kovessa {

int OpenForReading(const std::string& path) {
    // Binary mode: the C library would otherwise turn CR LF into LF and stop at a Ctrl-Z.
    return ::_wopen(WideFromUtf8(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

} // namespace kovessa
