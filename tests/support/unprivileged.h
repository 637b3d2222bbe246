#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// File permissions do not bind the superuser, and the continuous-integration machines run the
// tests as root. A test of what happens when a file or folder is closed to us therefore runs
// its checks in a child process that has given up root for an ordinary user; run as anybody
// else, the child keeps the test's own user and the checks are the same.
namespace kovessa::test {

// The user and group ("nobody" on most systems) that a child started as root becomes.
inline constexpr uid_t kUnprivilegedUid = 65534;
inline constexpr gid_t kUnprivilegedGid = 65534;

// Results of RunUnprivileged that are not the body's own. Bodies return 0 to
// kFirstReservedResult - 1.
inline constexpr int kFirstReservedResult = 120;
inline constexpr int kCouldNotDropRoot = 120;
inline constexpr int kBodyThrew = 121;
inline constexpr int kNoChild = -1;

// Hands `path` (not what is inside a folder) to the user the child becomes, so that the child
// may change its permissions and, for a private folder, is its owner. Does nothing when the
// process is not root. False when the owner could not be changed.
bool GiveToUnprivilegedUser(const std::string& path);

// Runs `body` in a forked child and returns its exit status: 0 when every check held, otherwise
// the number of the first one that failed (or one of the reserved results above; 128 + the
// signal when the child was killed). The body must not use test assertions, which would be
// recorded in the child and lost; it reports through what it returns.
int RunUnprivileged(const std::function<int()>& body);

// A message for a result other than 0. checks[0] names check 1, checks[1] check 2, and so on.
std::string DescribeChildResult(int result, const std::vector<std::string>& checks);

} // namespace kovessa::test
