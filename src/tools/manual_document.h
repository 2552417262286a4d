// The user manual as a Qt text document: the Markdown source with its pictures, headings
// that can be linked to, and a table of contents where the source asks for one.
#pragma once

#include <QString>
#include <QTextBlock>

#include <memory>
#include <vector>

class QTextDocument;
class QTextTable;

namespace lumexa
{

// The PDF gets pictures sized for the page and a page column in the contents; the HTML
// gets pictures at their own size and contents that link to the headings.
enum class ManualTarget { Pdf, Html };

struct ManualHeading {
    QString text;
    int level = 2; // 2 for a chapter, 3 for a section
    QTextBlock block;
};

struct Manual {
    std::unique_ptr<QTextDocument> document;
    QString title;         // the text of the one level-1 heading
    QTextBlock titleBlock; // that heading
    QTextBlock noteBlock;  // the note under it (the version and date), if one was given
    QString contentsTitle; // the heading of the contents
    std::vector<ManualHeading> headings;
    QTextTable* contents = nullptr; // null when the source has no "{contents}" paragraph
};

// Pictures are read relative to `folder`; a missing one throws std::runtime_error naming
// it, unless the folder has no pictures/ at all (a build without the windows), in which
// case the pictures are left out. The PDF's pictures keep their size in screen pixels
// (Qt scales them for the printer) up to `widestPicture`, and narrow beyond it. A
// non-empty `titleNote` stands centred under the title.
Manual BuildManual(const QString& markdown, const QString& folder, ManualTarget target,
                   double widestPicture = 0.0, const QString& titleNote = QString());

// Puts the page numbers (one per heading, counted from 1) in the contents.
void SetContentsPages(Manual& manual, const std::vector<int>& pages);

} // namespace lumexa
