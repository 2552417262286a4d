// lumexa-render: the headless renderer of Lumexa projects.
#include "lumexa_version.h"

#include <cstdio>

int main()
{
    std::printf("lumexa-render %s\n", LUMEXA_VERSION);
    return 0;
}
