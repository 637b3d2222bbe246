#pragma once

// The theme daemons (mate-screensaver, xfce4-screensaver) run a theme's program only from a few
// system folders. A test of a build puts a link to the build's Kovessa.scr in the folder the
// package uses, as the package's own link lies there.
#include "tests/harness/harness.h"

#include <string>

namespace kovessa::test {

// A link in the hack folder to `target`, named after this test run, removed at the end. The
// program finds Kovessa.xy beside the file the link points at, as it does when installed.
class HackLink {
public:
    static const fs::path kHackFolder_;

    explicit HackLink(const fs::path& target);
    ~HackLink();
    HackLink(const HackLink&) = delete;
    HackLink& operator=(const HackLink&) = delete;

    // Empty when the link could not be made.
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
    bool madeFolder_ = false;
};

// The theme entry the package installs (data/kovessa.desktop.in), with `program` filled in.
std::string ThemeEntry(const fs::path& program);

} // namespace kovessa::test
