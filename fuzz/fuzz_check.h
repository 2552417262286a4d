// What the fuzz targets hold true: a broken promise stops the fuzzer with the input kept.
#pragma once

inline void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}
