// Turns the Markdown user manual into the PDF that Help > Manual opens. Runs at build
// time on the offscreen platform.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: manual_to_pdf MANUAL.md OUTPUT.pdf\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Cannot open file %s\n", argv[1]);
        return 1;
    }
    QTextDocument doc;
    doc.setDefaultFont(QFont("DejaVu Sans", 10));
    doc.setMarkdown(QString::fromUtf8(in.readAll()));

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(doc.metaInformation(QTextDocument::DocumentTitle));
    pdf.setCreator("Lumexa");
    pdf.setResolution(300);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
    doc.documentLayout()->setPaintDevice(&pdf);
    doc.setPageSize(pdf.pageLayout().paintRectPixels(pdf.resolution()).size());
    doc.print(&pdf);
    return 0;
}
