// The poster PDF: an overview page (the whole picture reduced, the sheet grid with its
// labels, the finished size and sheet count), then one page per sheet with its part of
// the picture, cut marks where the overlap begins and the sheet's label in the margin.
// Pages are composed one at a time, each sheet in strips, so memory stays at a strip
// whatever the poster's size.
#pragma once

#include "core/base/atomic_file.h"
#include "core/print/poster_plan.h"
#include "core/print/region_fill.h"
#include "core/run/run_progress.h"

#include <cstdint>
#include <stop_token>
#include <string>

namespace lumexa
{

// The whole factor by which sheets are reduced: the largest that keeps them at or above
// the print resolution, so that sheets never carry more pixels than the printer uses
// and never fewer than the print resolution asks for.
int SheetReduction(const PosterPlan& plan, double dpi);

// `part` of a picture of pictureWidth x pictureHeight taken outwards to whole blocks of
// `factor` x `factor` pixels counted from the picture's top-left corner (cut at its right and
// bottom edges): the pixels whose reduction is the crop of the whole picture's reduction.
PixelRect BlockAligned(const PixelRect& part, int factor, int pictureWidth, int pictureHeight);

// Writes the poster of `plan` for a picture of `pictureWidth` x `pictureHeight` pixels.
// Returns false when `stop` was requested (nothing is left behind); throws an Error
// naming the file when it cannot be written. `progress` counts the result pixels composed,
// with the page being written as its part. `fileOptions` go to the file's AtomicFile.
bool WritePosterPdf(const std::string& path, const PosterPlan& plan, const PosterRequest& request,
                    const FillRegion& fill, std::stop_token stop = {},
                    RunProgress* progress = nullptr, AtomicFileOptions fileOptions = {});

} // namespace lumexa
