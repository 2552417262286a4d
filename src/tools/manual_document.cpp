// Builds the manual's text document from Markdown: the pictures read from the build's
// folder, the headings given anchors, and the contents table put where the source says.
#include "tools/manual_document.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <stdexcept>

namespace lumexa
{
namespace
{

const QString kContentsMarker = QStringLiteral("{contents}");

QString AnchorName(size_t i)
{
    return QStringLiteral("section-%1").arg(i + 1);
}

struct ImageSpot {
    int position;
    int length;
    QTextImageFormat format;
};

std::vector<ImageSpot> FindImages(QTextDocument& doc)
{
    std::vector<ImageSpot> spots;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.isValid() && f.charFormat().isImageFormat())
                spots.push_back({f.position(), f.length(), f.charFormat().toImageFormat()});
        }
    return spots;
}

void PlacePictures(QTextDocument& doc, const QString& folder, ManualTarget target,
                   double widestPicture)
{
    const bool havePictures = QFileInfo(QDir(folder).filePath(QStringLiteral("pictures"))).isDir();
    std::vector<ImageSpot> spots = FindImages(doc);
    // From the end, so that removing a picture leaves the earlier positions as they are.
    for (auto spot = spots.rbegin(); spot != spots.rend(); ++spot) {
        QTextCursor c(&doc);
        c.setPosition(spot->position);
        c.setPosition(spot->position + spot->length, QTextCursor::KeepAnchor);
        if (!havePictures) {
            c.removeSelectedText();
            continue;
        }
        const QString name = spot->format.name();
        const QString path = QDir(folder).filePath(name);
        const QImage image(path);
        if (image.isNull())
            throw std::runtime_error("Cannot open file " + path.toStdString());
        // A picture alone in its paragraph stands centred, as a figure, and so does an
        // italic paragraph after it, its caption.
        if (c.block().length() == spot->length + 1) {
            QTextBlockFormat centred = c.block().blockFormat();
            centred.setAlignment(Qt::AlignHCenter);
            c.setBlockFormat(centred);
            const QTextBlock next = c.block().next();
            if (next.isValid() && next.begin() != next.end() &&
                next.begin().fragment().charFormat().fontItalic()) {
                QTextCursor caption(next);
                QTextBlockFormat f = next.blockFormat();
                f.setAlignment(Qt::AlignHCenter);
                caption.setBlockFormat(f);
            }
        }
        if (target == ManualTarget::Html)
            continue;
        doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
        double width = image.width();
        if (widestPicture > 0 && width > widestPicture)
            width = widestPicture;
        QTextImageFormat sized = spot->format;
        sized.setWidth(width);
        sized.setHeight(width * image.height() / image.width());
        c.setCharFormat(sized);
    }
}

} // namespace

Manual BuildManual(const QString& markdown, const QString& folder, ManualTarget target,
                   double widestPicture, const QString& titleNote)
{
    Manual manual;
    manual.document = std::make_unique<QTextDocument>();
    QTextDocument& doc = *manual.document;
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    doc.setMarkdown(markdown);

    // The headings in order; the contents list those after the heading of the contents.
    QTextBlock marker;
    std::vector<ManualHeading> headings;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level == 1 && manual.title.isEmpty()) {
            manual.title = b.text();
            manual.titleBlock = b;
        }
        if (b.text().trimmed() == kContentsMarker) {
            marker = b;
            if (!headings.empty()) {
                manual.contentsTitle = headings.back().text;
                headings.pop_back();
            }
        }
        if (level == 2 || level == 3)
            headings.push_back({b.text(), level, b});
    }
    doc.setMetaInformation(QTextDocument::DocumentTitle, manual.title);

    for (size_t i = 0; i < headings.size(); ++i) {
        QTextCursor c(headings[i].block);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorNames({AnchorName(i)});
        c.mergeCharFormat(anchor);
    }

    if (marker.isValid()) {
        QTextCursor c(marker);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        const bool pages = target == ManualTarget::Pdf;
        QTextTableFormat format;
        format.setBorder(0);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
        format.setCellPadding(2);
        format.setCellSpacing(0);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        if (pages)
            format.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 90),
                                              QTextLength(QTextLength::PercentageLength, 10)});
        QTextTable* table = c.insertTable(static_cast<int>(headings.size()), pages ? 2 : 1, format);
        for (size_t i = 0; i < headings.size(); ++i) {
            const int row = static_cast<int>(i);
            QTextCursor cell = table->cellAt(row, 0).firstCursorPosition();
            QTextBlockFormat indent;
            indent.setLeftMargin(headings[i].level == 3 ? 24 : 0);
            indent.setTopMargin(headings[i].level == 2 ? 6 : 0);
            cell.setBlockFormat(indent);
            QTextCharFormat link;
            link.setAnchor(true);
            link.setAnchorHref(QLatin1Char('#') + AnchorName(i));
            link.setFontWeight(headings[i].level == 2 ? QFont::Bold : QFont::Normal);
            cell.insertText(headings[i].text, link);
            if (pages) {
                QTextCursor number = table->cellAt(row, 1).firstCursorPosition();
                QTextBlockFormat right = indent;
                right.setLeftMargin(0);
                right.setAlignment(Qt::AlignRight);
                number.setBlockFormat(right);
            }
        }
        manual.contents = table;
    }

    if (manual.titleBlock.isValid()) {
        QTextCursor c(manual.titleBlock);
        QTextBlockFormat centred = manual.titleBlock.blockFormat();
        centred.setAlignment(Qt::AlignHCenter);
        c.setBlockFormat(centred);
        if (!titleNote.isEmpty()) {
            c.movePosition(QTextCursor::EndOfBlock);
            QTextBlockFormat note;
            note.setAlignment(Qt::AlignHCenter);
            note.setTopMargin(6);
            note.setBottomMargin(18);
            QTextCharFormat noteText;
            noteText.setFontPointSize(12);
            c.insertBlock(note, noteText);
            c.insertText(titleNote);
            manual.noteBlock = c.block();
        }
    }

    PlacePictures(doc, folder, target, widestPicture);
    manual.headings = std::move(headings);
    return manual;
}

void SetContentsPages(Manual& manual, const std::vector<int>& pages)
{
    if (!manual.contents || manual.contents->columns() < 2)
        return;
    for (size_t i = 0; i < pages.size() && i < manual.headings.size(); ++i) {
        const QTextTableCell cell = manual.contents->cellAt(static_cast<int>(i), 1);
        QTextCursor c = cell.firstCursorPosition();
        c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        c.insertText(QString::number(pages[i]));
    }
}

} // namespace lumexa
