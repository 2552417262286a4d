// Loading the logo picture and placing it on the Logo page.
#include "core/pictures/logo.h"

#include "core/pictures/picture_pipeline.h"

#include <algorithm>

namespace lumexa
{

LoadOutcome LoadLogoFile(Logo& logo, const std::string& file, const PictureLoader& load)
{
    LoadOutcome outcome;
    DecodedPicture decoded;
    if (!DecodeForLoad(file, load, decoded, outcome))
        return outcome;
    logo.picture = DecodedToPicture(decoded, kWhite);
    outcome.changed = true;
    if (decoded.width > kMaxLogoSize || decoded.height > kMaxLogoSize) {
        logo.loaded = false;
        outcome.languageString = kStringLogoTooLarge;
        return outcome;
    }
    logo.loaded = true;
    logo.fileName = file;
    return outcome;
}

Rect ShowLogoRect(int boxW, int boxH, int logoW, int logoH)
{
    if (logoW <= 0 || logoH <= 0)
        return {boxW / 2, boxH / 2, boxW / 2, boxH / 2};
    // The scale is a 32-bit float; the sizes it gives are formed in double precision.
    float s = std::min(static_cast<float>(static_cast<double>(boxW) / logoW),
                       static_cast<float>(static_cast<double>(boxH) / logoH));
    if (s > 1.0f)
        s = 1.0f;
    const int w = static_cast<int>(static_cast<double>(logoW) * s);
    const int h = static_cast<int>(static_cast<double>(logoH) * s);
    return {boxW / 2 - w / 2, boxH / 2 - h / 2, boxW / 2 + w / 2, boxH / 2 + h / 2};
}

} // namespace lumexa
