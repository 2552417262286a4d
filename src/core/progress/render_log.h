// The render window's log as the engine sees it: lines made of a language string, given
// by its number, followed by a tail of figures already formatted (": 240kb", " 01:05",
// ": 12 x 20"). Every log line format starts with the string itself, so the window puts
// the text of the language in force in front of the tail.
#pragma once

#include <string>
#include <string_view>

namespace lumexa
{

class RenderLog
{
  public:
    virtual ~RenderLog() = default;
    virtual void clear() = 0;
    virtual void add(int number, std::string_view tail = {}) = 0;
};

// A log that keeps nothing, for runs without logging.
class NullRenderLog : public RenderLog
{
  public:
    void clear() override {}
    void add(int, std::string_view) override {}
};

} // namespace lumexa
