// Messages shared by every reader of the engine.
#include "core/base/error.h"

namespace lumexa
{

Error invalidInteger(const std::string& value)
{
    return Error("'" + value + "' is not a valid integer value");
}

Error cannotOpen(const std::string& path)
{
    return Error("Cannot open file " + path);
}

} // namespace lumexa
