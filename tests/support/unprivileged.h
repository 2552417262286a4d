// Running a check as a user without privileges. Root may write any file, so what the
// programs do with a read-only file only shows for an ordinary user; the test suite runs
// as root on the build machines, and these helpers take such a check to the user nobody.
#pragma once

#include <functional>
#include <string>

namespace lumexa::testing
{

// The user and group the checks run as when the tests run as root.
inline constexpr int kNobody = 65534;

// Runs `body` in a child process, as nobody when this process is root, and returns what
// `body` returned; -1 when the child could not be started or could not drop its rights.
// The child reports only through its result: `body` must not use GoogleTest assertions.
int RunUnprivileged(const std::function<int()>& body);

// What to put in front of a shell command so that it runs as nobody when this process is
// root; empty otherwise.
std::string UnprivilegedPrefix();

} // namespace lumexa::testing
