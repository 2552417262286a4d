// Turns the Markdown user manual into the PDF that Help > Manual opens, with page
// numbers, a table of contents and bookmarks, and into the HTML version for a browser.
// Runs at build time on the offscreen platform.
//
// usage: manual_to_pdf MANUAL.md OUTPUT.pdf OUTPUT.html
// The pictures the manual names are read relative to OUTPUT.html's folder.
#include "tools/manual_document.h"
#include "tools/pdf_outline.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
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
    if (onPage(before) && before.blockFormat().headingLevel() == 0 && !HoldsPicture(before)) {
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

void WritePdf(const QString& markdown, const QString& folder, const QString& path)
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

    // Two thirds of the page's width leave two steps of the tutorial to a page.
    Manual manual = BuildManual(markdown, folder, ManualTarget::Pdf,
                                page.width() * 0.65 / kDevicePixelsPerScreenPixel);
    QTextDocument& doc = *manual.document;
    pdf.setTitle(manual.title);
    doc.documentLayout()->setPaintDevice(&pdf);
    doc.setPageSize(page);
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

void WriteHtml(const QString& markdown, const QString& folder, const QString& path)
{
    Manual manual = BuildManual(markdown, folder, ManualTarget::Html);
    QString html = manual.document->toHtml();
    // Pictures narrow with the window; the text keeps a readable line length.
    html.replace(QStringLiteral("</head>"),
                 QStringLiteral("<meta name=\"viewport\" content=\"width=device-width\" />\n"
                                "<style>body { max-width: 50em; margin: auto; padding: 1em; }\n"
                                "img { max-width: 100%; height: auto; }\n"
                                "table { border-collapse: collapse; }</style>\n</head>"));
    WriteFile(path, html.toUtf8());
}

} // namespace
} // namespace lumexa

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: manual_to_pdf MANUAL.md OUTPUT.pdf OUTPUT.html\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Cannot open file %s\n", argv[1]);
        return 1;
    }
    const QString markdown = QString::fromUtf8(in.readAll());
    const QString html = QString::fromLocal8Bit(argv[3]);
    const QString folder = QFileInfo(html).absolutePath();
    try {
        if (!QDir().mkpath(folder))
            throw std::runtime_error("Cannot create the folder " + folder.toStdString());
        lumexa::WritePdf(markdown, folder, QString::fromLocal8Bit(argv[2]));
        lumexa::WriteHtml(markdown, folder, html);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "manual_to_pdf: %s\n", e.what());
        return 1;
    }
    return 0;
}
