// Reduced views of the result by area averaging: every output pixel is the average of each
// channel (coverage included) over its factor x factor block of full-size pixels, rounded to
// nearest; blocks cut by the right or bottom edge of the rectangle average the pixels they
// hold. The full-size pixels are composed a few rows at a time and never held whole, so any
// rectangle of any result can be reduced in little memory.
#pragma once

#include "core/base/pixel_rect.h"
#include "core/render/dot_renderer.h"

#include <cstddef>
#include <cstdint>
#include <stop_token>

namespace lumexa
{

// ceil(length / factor): the reduced length of `length` full-size pixels.
int ReducedLength(int length, int factor);

// Fills the ReducedLength(rect.width) x ReducedLength(rect.height) reduced pixels of `rect`
// (red, green, blue, coverage; rows `stride` bytes apart), composing on `threads` threads
// (the calling one included). Full-size pixels of `rect` outside the result count as black
// and transparent. Returns false, with the output incomplete, once `stop` is requested.
bool RenderReduced(const DotRenderer& renderer, const PixelRect& rect, int factor, uint8_t* rgba,
                   size_t stride, int threads = 1, std::stop_token stop = {});

// A quick stand-in for RenderReduced on the calling thread: each block averages only the
// full-size rows at the middle of its upper and lower halves (its one row for a block of a
// single row), a fraction of the work for large factors. Returns false once `stop` is
// requested.
bool RenderReducedDraft(const DotRenderer& renderer, const PixelRect& rect, int factor,
                        uint8_t* rgba, size_t stride, std::stop_token stop = {});

// Adds one row of `count` full-size pixels into per-block channel sums: block b of the row
// (pixels b x factor.. up to the row's end) adds to sums[4b..4b+3].
void AddRowToBlockSums(const uint8_t* rgba, int count, int factor, uint64_t* sums);

// Writes the ReducedLength(count, factor) averaged pixels of one row of blocks whose sums
// `blockRows` rows of `count` pixels made, rounded to nearest.
void AverageBlockSums(const uint64_t* sums, int count, int factor, int blockRows, uint8_t* rgba);

} // namespace lumexa
