// Any bytes as XScreenSaver's settings file: the edits never crash, an add is found by the
// next add, and the remove after an add gives the file back.
#include "tools/xscreensaver_list.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kovessa;
    const std::string file(reinterpret_cast<const char*>(data), size);
    RemoveKovessaEntry(file);
    const ListEdit added = AddKovessaEntry(file);
    if (added.outcome != ListOutcome::Changed) {
        return 0;
    }
    if (AddKovessaEntry(added.text).outcome != ListOutcome::AlreadyThere) {
        std::abort();
    }
    const ListEdit removed = RemoveKovessaEntry(added.text);
    if (removed.outcome != ListOutcome::Changed) {
        std::abort();
    }
    // Only a file that had to get a line end or an empty line before a new list gains it, and
    // a file that ended on an empty list just like the one an add makes loses that list.
    if (!removed.text.starts_with(file) && !file.starts_with(removed.text)) {
        std::abort();
    }
    return 0;
}
