// Turns the Markdown user manual into the PDF that Help > Manual opens, with page
// numbers, a table of contents and bookmarks, and into the HTML version for a browser.
// Runs at build time on the offscreen platform.
//
// usage: manual_to_pdf [options] MANUAL.md OUTPUT.pdf OUTPUT.html
// The pictures the manual names are read relative to OUTPUT.html's folder. The options
// give the title page its version line and the language the date is written in, and the
// HTML version its link to the other language's copy and its search box's words.
#include "tools/manual_document.h"
#include "tools/manual_html.h"
#include "tools/pdf_outline.h"

#include <QAbstractTextDocumentLayout>
#include <QCommandLineParser>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace lumexa
{
namespace
{

constexpr int kResolution = 300;
constexpr double kMarginMm = 20.0;
constexpr double kFooterMm = 8.0;
// Qt sizes a document's pictures in screen pixels and scales them for the paint device,
// so a screenshot prints as large as a 96-dpi screen shows it.
constexpr double kDevicePixelsPerScreenPixel = kResolution / 96.0;

double MmToPixels(double mm)
{
    return mm / 25.4 * kResolution;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw std::runtime_error("Cannot write file " + path.toStdString());
}

struct Placement {
    int page;   // from 0
    double top; // within the page, in document pixels
};

Placement Place(const Manual& manual, const QTextBlock& block, double pageHeight)
{
    const double y = manual.document->documentLayout()->blockBoundingRect(block).top();
    const int page = static_cast<int>(std::floor(y / pageHeight));
    return {page, y - page * pageHeight};
}

bool HoldsPicture(const QTextBlock& block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat())
            return true;
    return false;
}

void BreakBefore(const QTextBlock& block)
{
    QTextCursor c(block);
    QTextBlockFormat f = block.blockFormat();
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    c.setBlockFormat(f);
}

bool BreaksBefore(const QTextBlock& block)
{
    return block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
}

// Where a page break moves `picture` with the paragraph that introduces it and the
// section heading above them, when they share its page; the picture alone when they
// were moved already and still do not fit.
QTextBlock LeadIn(const QTextBlock& picture, int page, double pageHeight)
{
    const QTextDocument& doc = *picture.document();
    auto onPage = [&](const QTextBlock& b) {
        if (!b.isValid())
            return false;
        const double top = doc.documentLayout()->blockBoundingRect(b).top();
        return static_cast<int>(std::floor(top / pageHeight)) == page;
    };
    QTextBlock start = picture;
    QTextBlock before = picture.previous();
    // The caption of the picture before is no lead-in: it stays with its own picture.
    const bool caption = before.isValid() && before.begin() != before.end() &&
                         before.begin().fragment().charFormat().fontItalic() &&
                         HoldsPicture(before.previous());
    if (onPage(before) && before.blockFormat().headingLevel() == 0 && !HoldsPicture(before) &&
        !caption) {
        start = before;
        before = before.previous();
    }
    if (onPage(before) && before.blockFormat().headingLevel() == 3)
        start = before;
    for (QTextBlock b = start; b != picture; b = b.next())
        if (BreaksBefore(b))
            return picture;
    return start;
}

// The title and the note under it stand a third down the first page, alone on it.
void MakeTitlePage(Manual& manual, double pageHeight)
{
    if (!manual.titleBlock.isValid())
        return;
    QTextCursor title(manual.titleBlock);
    QTextBlockFormat top = manual.titleBlock.blockFormat();
    top.setTopMargin(pageHeight * 0.3);
    title.setBlockFormat(top);
    title.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat large;
    large.setFontPointSize(30);
    title.mergeCharFormat(large);
    const QTextBlock last = manual.noteBlock.isValid() ? manual.noteBlock : manual.titleBlock;
    if (last.next().isValid())
        BreakBefore(last.next());
}

// Chapters start on a new page, a picture that would run over the foot of a page goes
// to the next one (Qt's layout breaks pages between blocks only), and a section heading
// never stands alone at the foot of a page. Then the contents get the page numbers,
// which settle after a pass or two since writing a number can move the text after it.
std::vector<Placement> Paginate(Manual& manual, double pageHeight)
{
    QTextDocument& doc = *manual.document;
    for (const ManualHeading& h : manual.headings)
        if (h.level == 2)
            BreakBefore(h.block);
    std::vector<Placement> places;
    for (int pass = 0; pass < 400; ++pass) {
        // A change lays out again only part of the document; the breaks need all of it.
        doc.markContentsDirty(0, doc.characterCount());
        doc.pageCount();
        bool moved = false;
        for (QTextBlock b = doc.begin(); b.isValid() && !moved; b = b.next()) {
            if (BreaksBefore(b))
                continue;
            const QRectF r = doc.documentLayout()->blockBoundingRect(b);
            const int first = static_cast<int>(std::floor(r.top() / pageHeight));
            // A picture's caption, the italic paragraph after it, stays on its page.
            double bottom = r.bottom();
            const QTextBlock next = b.next();
            if (HoldsPicture(b) && next.isValid() && next.begin() != next.end() &&
                next.begin().fragment().charFormat().fontItalic())
                bottom = doc.documentLayout()->blockBoundingRect(next).bottom();
            const int last = static_cast<int>(std::floor((bottom - 1) / pageHeight));
            const bool lonelyHeading = b.blockFormat().headingLevel() == 3 &&
                                       r.top() - first * pageHeight > pageHeight * 0.85;
            if (lonelyHeading) {
                BreakBefore(b);
                moved = true;
            } else if (HoldsPicture(b) && first != last) {
                BreakBefore(LeadIn(b, first, pageHeight));
                moved = true;
            }
        }
        if (moved)
            continue;
        std::vector<Placement> now;
        std::vector<int> numbers;
        for (const ManualHeading& h : manual.headings) {
            now.push_back(Place(manual, h.block, pageHeight));
            numbers.push_back(now.back().page + 1);
        }
        const bool same =
            now.size() == places.size() &&
            std::equal(now.begin(), now.end(), places.begin(),
                       [](const Placement& a, const Placement& b) { return a.page == b.page; });
        if (same)
            return now;
        places = now;
        SetContentsPages(manual, numbers);
    }
    throw std::runtime_error("the page breaks of the manual do not settle");
}

void WritePdf(const QString& markdown, const QString& folder, const QString& path,
              const QString& titleNote)
{
    QPdfWriter pdf(path + QStringLiteral(".part"));
    pdf.setCreator(QStringLiteral("Lumexa"));
    pdf.setResolution(kResolution);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                  QPageLayout::Millimeter));
    const QSizeF body = pdf.pageLayout().paintRectPixels(kResolution).size();
    const double footer = MmToPixels(kFooterMm);
    const QSizeF page(body.width(), body.height() - footer);

    // The steps' pictures are cut to what they show, so they print at their size; only
    // whole windows and the widest samples narrow to the page.
    Manual manual = BuildManual(markdown, folder, ManualTarget::Pdf,
                                page.width() / kDevicePixelsPerScreenPixel, titleNote);
    QTextDocument& doc = *manual.document;
    pdf.setTitle(manual.title);
    doc.documentLayout()->setPaintDevice(&pdf);
    doc.setPageSize(page);
    MakeTitlePage(manual, page.height());
    const std::vector<Placement> places = Paginate(manual, page.height());

    {
        QPainter painter(&pdf);
        // Screenshots are text and hard edges; JPEG would blur them.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        const QFont footerFont(QStringLiteral("DejaVu Sans"), 8);
        const int pages = doc.pageCount();
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                pdf.newPage();
            painter.save();
            const QRectF clip(0, i * page.height(), page.width(), page.height());
            painter.translate(0, -clip.top());
            painter.setClipRect(clip);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = clip;
            context.palette.setColor(QPalette::Text, Qt::black);
            doc.documentLayout()->draw(&painter, context);
            painter.restore();
            if (i > 0) {
                painter.setFont(footerFont);
                painter.drawText(QRectF(0, page.height(), page.width(), footer),
                                 Qt::AlignHCenter | Qt::AlignBottom, QString::number(i + 1));
            }
        }
    }
    // The writer closes its file when it goes; the outline is added to what it wrote.
    QFile written(path + QStringLiteral(".part"));
    QByteArray bytes;
    if (written.open(QIODevice::ReadOnly))
        bytes = written.readAll();
    written.close();
    written.remove();
    if (bytes.isEmpty())
        throw std::runtime_error("Cannot write file " + path.toStdString());

    const double pageHeightPt = pdf.pageLayout().fullRect(QPageLayout::Point).height();
    const double pointsPerPixel = 72.0 / kResolution;
    std::vector<OutlineEntry> outline;
    for (size_t i = 0; i < manual.headings.size(); ++i)
        outline.push_back(
            {manual.headings[i].text, manual.headings[i].level - 2, places[i].page,
             pageHeightPt - kMarginMm / 25.4 * 72.0 - places[i].top * pointsPerPixel});
    AppendOutline(bytes, outline);
    WriteFile(path, bytes);
}

void WriteHtml(const QString& markdown, const QString& folder, const QString& path,
               const QString& titleNote, const HtmlChrome& chrome)
{
    Manual manual = BuildManual(markdown, folder, ManualTarget::Html, 0.0, titleNote);
    WriteFile(path, WithSidebar(manual, chrome).toUtf8());
}

// "Version 1.2.0, 11 December 2026": the date of the build, or the one SOURCE_DATE_EPOCH
// gives for a build that must come out the same each time.
QString TitleNote(const QString& versionLine, const QLocale& locale)
{
    QDate date = QDate::currentDate();
    bool given = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&given);
    if (given)
        date = QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC).date();
    const QString day = locale.toString(date, QStringLiteral("d MMMM yyyy"));
    return versionLine.isEmpty() ? day : versionLine + QStringLiteral(", ") + day;
}

} // namespace
} // namespace lumexa

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser options;
    const QCommandLineOption version({QStringLiteral("version-line")},
                                     QStringLiteral("the title page's version line"),
                                     QStringLiteral("TEXT"));
    const QCommandLineOption language({QStringLiteral("language")},
                                      QStringLiteral("the manual's language, such as en"),
                                      QStringLiteral("CODE"), QStringLiteral("en"));
    const QCommandLineOption other({QStringLiteral("other")},
                                   QStringLiteral("the other language's copy: NAME=ADDRESS"),
                                   QStringLiteral("LINK"));
    const QCommandLineOption search({QStringLiteral("search")},
                                    QStringLiteral("the search box's placeholder"),
                                    QStringLiteral("TEXT"), QStringLiteral("Search"));
    const QCommandLineOption none({QStringLiteral("no-match")},
                                  QStringLiteral("what the search says when nothing matches"),
                                  QStringLiteral("TEXT"), QStringLiteral("Nothing found"));
    options.addOptions({version, language, other, search, none});
    options.addPositionalArgument(QStringLiteral("MANUAL.md"), QString());
    options.addPositionalArgument(QStringLiteral("OUTPUT.pdf"), QString());
    options.addPositionalArgument(QStringLiteral("OUTPUT.html"), QString());
    options.process(app);
    const QStringList files = options.positionalArguments();
    if (files.size() != 3) {
        std::fprintf(stderr, "usage: manual_to_pdf [options] MANUAL.md OUTPUT.pdf OUTPUT.html\n");
        return 2;
    }

    QFile in(files[0]);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Cannot open file %s\n", qPrintable(files[0]));
        return 1;
    }
    const QString markdown = QString::fromUtf8(in.readAll());
    const QString html = files[2];
    const QString folder = QFileInfo(html).absolutePath();
    lumexa::HtmlChrome chrome;
    chrome.language = options.value(language);
    const QString link = options.value(other);
    chrome.otherName = link.section(QLatin1Char('='), 0, 0);
    chrome.otherAddress = link.section(QLatin1Char('='), 1);
    chrome.searchPlaceholder = options.value(search);
    chrome.noMatch = options.value(none);
    const QString note = lumexa::TitleNote(options.value(version), QLocale(chrome.language));
    try {
        if (!QDir().mkpath(folder))
            throw std::runtime_error("Cannot create the folder " + folder.toStdString());
        lumexa::WritePdf(markdown, folder, files[1], note);
        lumexa::WriteHtml(markdown, folder, html, note, chrome);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "manual_to_pdf: %s\n", e.what());
        return 1;
    }
    return 0;
}
