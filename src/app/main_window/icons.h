// The small pictures beside the main window's scroll bars and on the new-seed button,
// drawn in code.
#pragma once

#include <QPixmap>

namespace lumexa
{

enum class IconKind {
    DotsInLine,    // no displacement
    DotsScattered, // much displacement
    CellsSmall,    // small preview cells
    CellsLarge,    // large preview cells
    LetterSmall,   // small font
    LetterLarge,   // large font
    ThresholdLow,  // only the darkest pixels become dots
    ThresholdHigh, // light pixels become dots too
    DensityLow,    // few points
    DensityHigh,   // many points
    LogoSmall,     // small logo
    LogoLarge,     // large logo
    KerningTight,  // letters close together
    KerningWide,   // letters apart
    Dice,          // a new random seed
};

inline constexpr int kIconSize = 16;

QPixmap MakeIcon(IconKind kind);

} // namespace lumexa
