// Checks as an ordinary user.
#include "support/unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumexa::testing
{

int RunUnprivileged(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(255);
        ::_exit(body() & 0xFF);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

std::string UnprivilegedPrefix()
{
    if (::geteuid() != 0)
        return {};
    const std::string id = std::to_string(kNobody);
    return "setpriv --reuid=" + id + " --regid=" + id + " --clear-groups ";
}

} // namespace lumexa::testing
