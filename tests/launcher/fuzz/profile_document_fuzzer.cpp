// Any bytes as a settings file: reading must not crash, and a value that was stored must read
// back as stored while every other line of the file stays as it was.
#include "launcher/profile_document.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first line of the input names the section, key and value to store; the rest is the
    // file.
    const size_t split = bytes.find('\x01');
    const std::string_view file = split == std::string_view::npos ? bytes : bytes.substr(split + 1);
    const std::string_view edit = split == std::string_view::npos ? "" : bytes.substr(0, split);
    const size_t a = edit.find('\x02');
    const size_t b = a == std::string_view::npos ? a : edit.find('\x02', a + 1);
    // Names are compared without their surrounding blanks.
    const std::string section(Trimmed(edit.substr(0, a)));
    const std::string key(
        Trimmed(a == std::string_view::npos ? "k" : edit.substr(a + 1, b - a - 1)));
    const std::string value(b == std::string_view::npos ? "v" : edit.substr(b + 1));

    kovessa::ProfileDocument document(file);
    if (document.Text() != file) {
        std::abort(); // parsing alone must keep the text byte for byte
    }
    (void)document.Get(section, key);

    const auto result = document.Set(section, key, value);
    if (result == kovessa::ProfileDocument::SetResult::Refused) {
        if (document.Text() != file) {
            std::abort();
        }
        return 0;
    }
    const kovessa::ProfileDocument reread(document.Text());
    const auto stored = reread.Get(section, key);
    if (!stored) {
        std::abort();
    }
    // Blanks around the value are dropped, and a quoted value reads back without its quotes.
    std::string_view expected = Trimmed(value);
    if (expected.size() >= 2 && (expected.front() == '"' || expected.front() == '\'') &&
        expected.back() == expected.front()) {
        expected = expected.substr(1, expected.size() - 2);
    }
    if (*stored != expected) {
        std::abort();
    }
    return 0;
}
