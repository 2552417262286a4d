// lumexa-render as the command-line tests run it, and the example projects they render.
// The places are the test program's own build settings (LUMEXA_BIN, LUMEXA_DATA).
#pragma once

#include <string>

namespace lumexa::testing
{

inline const std::string kRender = std::string(LUMEXA_BIN) + "/lumexa-render";
inline const std::string kExamples = std::string(LUMEXA_DATA) + "/examples";

} // namespace lumexa::testing
