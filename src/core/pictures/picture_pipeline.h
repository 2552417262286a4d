// The one road every decoded picture takes into the program: the corner pixel is
// mended on the stored colours, then the picture is laid over a plain background by
// each pixel's opacity. LED and alpha pictures go over black, logos over white.
#pragma once

#include "core/pictures/decoded_picture.h"
#include "core/pictures/picture.h"

namespace lumexa
{

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// The top-right pixel becomes the channel-wise truncated mean of its three neighbours
// (left, below-left, below). Neighbours outside the picture read as white, and a write
// outside changes nothing, so pictures narrower or lower than 2 pixels are safe.
void FixCornerPixel(Picture& picture);

// The stored colours of `decoded` with the corner mended, each pixel of opacity a laid
// over `background` b as (c x a + b x (255 - a) + 127) / 255 per channel.
Picture DecodedToPicture(const DecodedPicture& decoded, Rgb background);

} // namespace lumexa
