#include "tools/xscreensaver_list.h"

#include <gtest/gtest.h>

#include <string>

namespace kovessa {
namespace {

const std::string kEntry(kKovessaEntry);

// Adds, checks that the entry is then found in the list, and removes again.
struct RoundTrip {
    ListEdit added;
    ListOutcome addedAgain;
    ListEdit removed;
};

RoundTrip AddAndRemove(const std::string& file) {
    RoundTrip trip;
    trip.added = AddKovessaEntry(file);
    trip.addedAgain = AddKovessaEntry(trip.added.text).outcome;
    trip.removed = RemoveKovessaEntry(trip.added.text);
    return trip;
}

TEST(XScreenSaverList, TheShapeXScreenSaverWritesInEitherLineEnd) {
    for (const std::string eol : {"\n", "\r\n"}) {
        SCOPED_TRACE(eol.size());
        const std::string head = "mode:\t\trandom" + eol + "selected:\t1" + eol +
                                 "programs:\t\t\t\t\\" + eol + "\t\t\t\tmaze --root\t\\n\\" + eol +
                                 "  GL:\t\tsuperquadrics --root\t\\n\\" + eol;
        const std::string tail = eol + "pointerHysteresis:  10" + eol;
        const std::string file = head + tail;
        const RoundTrip trip = AddAndRemove(file);
        ASSERT_EQ(trip.added.outcome, ListOutcome::Changed);
        // Last in the list, before the empty line that ends it, in the file's own line end.
        EXPECT_EQ(trip.added.text, head + kEntry + eol + tail);
        EXPECT_EQ(trip.addedAgain, ListOutcome::AlreadyThere);
        ASSERT_EQ(trip.removed.outcome, ListOutcome::Changed);
        EXPECT_EQ(trip.removed.text, file);
        EXPECT_EQ(RemoveKovessaEntry(file).outcome, ListOutcome::NotThere);
    }
}

TEST(XScreenSaverList, ListsThatEndOnAnEntryOrAtTheEndOfTheFile) {
    struct Case {
        std::string file;
        std::string added;
    };
    const Case cases[] = {
        // The header goes on into the end of the file.
        {"mode: one\nprograms:\t\\\n", "mode: one\nprograms:\t\\\n" + kEntry + "\n"},
        {"programs:\t\\\r\n  maze \\n\\", "programs:\t\\\r\n  maze \\n\\\r\n" + kEntry},
        // The header is the file's last line, with or without a line end.
        {"mode: one\nprograms:\n",
         "mode: one\nprograms:\\\n" + kEntry.substr(0, kEntry.size() - 1) + "\n"},
        {"mode: one\r\nprograms:",
         "mode: one\r\nprograms:\\\r\n" + kEntry.substr(0, kEntry.size() - 1)},
        // Edited by hand: the last entry ends the list and the next key follows.
        {"programs: foo -root \\n\\\n  bar -root \\n\nlock: False",
         "programs: foo -root \\n\\\n  bar -root \\n\\\n" + kEntry.substr(0, kEntry.size() - 1) +
             "\nlock: False"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const RoundTrip trip = AddAndRemove(c.file);
        ASSERT_EQ(trip.added.outcome, ListOutcome::Changed);
        EXPECT_EQ(trip.added.text, c.added);
        EXPECT_EQ(trip.addedAgain, ListOutcome::AlreadyThere);
        EXPECT_EQ(trip.removed.text, c.file);
    }
}

TEST(XScreenSaverList, AFileWithoutAListGetsOneThatTheRemoveTakesAway) {
    for (const std::string file : {"", "mode: one\n", "mode: one\r\nlock: False\r\n"}) {
        SCOPED_TRACE(file);
        const std::string eol = file.find('\r') != std::string::npos ? "\r\n" : "\n";
        const RoundTrip trip = AddAndRemove(file);
        EXPECT_EQ(trip.added.text, file + "programs:\t\\" + eol + kEntry + eol + eol);
        EXPECT_EQ(trip.addedAgain, ListOutcome::AlreadyThere);
        EXPECT_EQ(trip.removed.text, file);
    }
    // A last line without a line end gets one before the list, and keeps it; a last line that
    // goes on gets an empty line, so that the new list is a key of its own.
    EXPECT_EQ(AddAndRemove("mode: one").removed.text, "mode: one\n");
    const RoundTrip goingOn = AddAndRemove("text: a \\\r");
    EXPECT_EQ(goingOn.addedAgain, ListOutcome::AlreadyThere);
    EXPECT_EQ(goingOn.removed.text, "text: a \\\r\n\n");
    EXPECT_EQ(RemoveKovessaEntry("mode: one\n").outcome, ListOutcome::NoList);
}

TEST(XScreenSaverList, EverySpellingOfTheKeyIsTheOneList) {
    for (const std::string header :
         {"  programs:", "programs :", "*programs:", "xscreensaver.programs:"}) {
        SCOPED_TRACE(header);
        const std::string file = header + "\t\\\n  maze -root \\n\\\n\n";
        const ListEdit added = AddKovessaEntry(file);
        EXPECT_EQ(added.text, header + "\t\\\n  maze -root \\n\\\n" + kEntry + "\n\n");
    }
    // Text that only looks like the key inside another value, or in a comment, is none.
    const std::string file = "text: a \\\nprograms: b\n! programs:\n";
    EXPECT_EQ(RemoveKovessaEntry(file).outcome, ListOutcome::NoList);
}

TEST(XScreenSaverList, EntriesAreKnownByTheirProgramWhereverTheyStand) {
    const std::string known[] = {
        "programs:\t\\\n  GL: \"K\" /usr/lib/kovessa/Kovessa.scr --root \\n\\\n\n",
        "programs:\t\\\n  kovessa -root \\n\\\n\n",
        "programs: kovessa --root \\n\\\n  maze \\n\\\n\n",
    };
    for (const std::string& file : known) {
        SCOPED_TRACE(file);
        EXPECT_EQ(AddKovessaEntry(file).outcome, ListOutcome::AlreadyThere);
        EXPECT_EQ(RemoveKovessaEntry(file).outcome, ListOutcome::Changed);
    }
    EXPECT_EQ(RemoveKovessaEntry(known[2]).text, "programs: \\\n  maze \\n\\\n\n");
    EXPECT_EQ(AddKovessaEntry("programs:\t\\\n  - GL: kovessa --root \\n\\\n\n").outcome,
              ListOutcome::SwitchedOff);
    for (const std::string other :
         {"programs:\t\\\n  kovessa-like --root \\n\\\n\n", "programs:\t\\\n  maze \\n\\\n\n"
                                                            "kovessa --root \\n\\\n\n"}) {
        SCOPED_TRACE(other);
        EXPECT_EQ(AddKovessaEntry(other).outcome, ListOutcome::Changed);
        EXPECT_EQ(RemoveKovessaEntry(other).outcome, ListOutcome::NotThere);
    }
}

} // namespace
} // namespace kovessa
