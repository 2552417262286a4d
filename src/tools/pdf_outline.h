// PDF bookmarks (the outline a viewer shows beside the pages) for a PDF that Qt's writer
// made: Qt has no way to write them, so they are added afterwards as an incremental
// update, which leaves every byte Qt wrote as it was.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace lumexa
{

struct OutlineEntry {
    QString title;
    int level = 0;    // 0 for a chapter, 1 for a section under the chapter before it
    int page = 0;     // counted from 0
    double top = 0.0; // the heading's top in PDF points from the page's bottom edge
};

// Appends the outline to `pdf` and makes the viewer open with it shown. Throws
// std::runtime_error when `pdf` lacks the structure Qt writes (a classic cross-reference
// table, a trailer naming the catalog, a page tree).
void AppendOutline(QByteArray& pdf, const std::vector<OutlineEntry>& entries);

} // namespace lumexa
