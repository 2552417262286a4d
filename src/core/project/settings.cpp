// Scroll-bar semantics of the settings model.
#include "core/project/settings.h"

#include "core/base/error.h"

namespace lumexa
{

void ScrollSetting::setPosition(int position)
{
    position_ = position < min_ ? min_ : (position > max_ ? max_ : position);
}

void ScrollSetting::setRange(int min, int max)
{
    if (min > max)
        throw Error("Property value out of range (" + std::to_string(min) + ".." +
                    std::to_string(max) + ")");
    min_ = min;
    max_ = max;
    setPosition(position_);
}

void ProjectSettings::setUseMaskChecked(bool checked)
{
    useMaskChecked = checked;
    if (checked)
        useAddChecked = false;
}

void ProjectSettings::setUseAddChecked(bool checked)
{
    useAddChecked = checked;
    if (checked)
        useMaskChecked = false;
}

} // namespace lumexa
