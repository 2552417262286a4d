// Where a run stands: not started, under way, or ended in one of three ways.
#pragma once

namespace lumexa
{

enum class RunState { Idle, Running, Finished, Cancelled, Failed };

} // namespace lumexa
