// Adds the outline as an incremental update: new objects for the outline items, a new
// version of the catalog that points at them, a cross-reference section for just those
// objects and a trailer that chains to the original one.
#include "tools/pdf_outline.h"

#include <QRegularExpression>

#include <stdexcept>
#include <string>

namespace lumexa
{
namespace
{

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error("unexpected PDF structure: " + what);
}

int Number(const QString& text, const QString& pattern, const std::string& what)
{
    const QRegularExpressionMatch m = QRegularExpression(pattern).match(text);
    if (!m.hasMatch())
        Fail(what);
    return m.captured(1).toInt();
}

// Offsets of the objects, read from the cross-reference table at `xref`.
std::vector<qint64> ReadXref(const QByteArray& pdf, qint64 xref)
{
    std::vector<qint64> offsets;
    if (pdf.mid(xref, 4) != "xref")
        Fail("no cross-reference table at startxref");
    qint64 pos = pdf.indexOf('\n', xref) + 1;
    while (pos > 0 && pos < pdf.size() && !pdf.mid(pos, 7).startsWith("trailer")) {
        const qint64 lineEnd = pdf.indexOf('\n', pos);
        const QList<QByteArray> head = pdf.mid(pos, lineEnd - pos).trimmed().split(' ');
        if (head.size() != 2)
            Fail("bad cross-reference subsection");
        const int first = head[0].toInt();
        const int count = head[1].toInt();
        pos = lineEnd + 1;
        if (offsets.size() < static_cast<size_t>(first + count))
            offsets.resize(static_cast<size_t>(first + count), -1);
        for (int i = 0; i < count; ++i, pos += 20) {
            const QByteArray entry = pdf.mid(pos, 20);
            if (entry.size() != 20)
                Fail("short cross-reference entry");
            if (entry[17] == 'n')
                offsets[static_cast<size_t>(first + i)] = entry.left(10).toLongLong();
        }
    }
    return offsets;
}

class PdfReader
{
  public:
    explicit PdfReader(const QByteArray& pdf) : pdf_(pdf)
    {
        const qint64 start = pdf.lastIndexOf("startxref");
        const qint64 trailer = pdf.lastIndexOf("trailer");
        if (start < 0 || trailer < 0 || trailer > start)
            Fail("no trailer");
        trailer_ = QString::fromLatin1(pdf.mid(trailer, start - trailer));
        xref_ = pdf.mid(start + 9, 32).trimmed().split('\n').first().trimmed().toLongLong();
        offsets_ = ReadXref(pdf, xref_);
    }

    const QString& trailer() const { return trailer_; }
    qint64 xref() const { return xref_; }

    // The outermost dictionary of object `n`, without its brackets.
    QString dictionary(int n) const
    {
        if (n <= 0 || static_cast<size_t>(n) >= offsets_.size() || offsets_[n] < 0)
            Fail("object " + std::to_string(n) + " is not in the cross-reference table");
        qint64 pos = pdf_.indexOf("<<", offsets_[n]);
        const qint64 end = pdf_.indexOf("endobj", offsets_[n]);
        if (pos < 0 || end < 0 || pos > end)
            Fail("object " + std::to_string(n) + " is no dictionary");
        const qint64 open = pos + 2;
        int depth = 1;
        for (pos = open; pos + 1 < end && depth > 0; ++pos) {
            if (pdf_[pos] == '<' && pdf_[pos + 1] == '<')
                ++depth, ++pos;
            else if (pdf_[pos] == '>' && pdf_[pos + 1] == '>')
                --depth, ++pos;
        }
        if (depth != 0)
            Fail("object " + std::to_string(n) + " has an unclosed dictionary");
        return QString::fromLatin1(pdf_.mid(open, pos - 2 - open));
    }

    // Page objects in order, through nested page tree nodes.
    void collectPages(int node, std::vector<int>& pages, int depth = 0) const
    {
        if (depth > 32)
            Fail("page tree too deep");
        const QString dict = dictionary(node);
        if (!dict.contains(QRegularExpression(QStringLiteral("/Type\\s*/Pages\\b")))) {
            pages.push_back(node);
            return;
        }
        const QRegularExpressionMatch kids =
            QRegularExpression(QStringLiteral("/Kids\\s*\\[([^\\]]*)\\]")).match(dict);
        if (!kids.hasMatch())
            Fail("page tree node without kids");
        QRegularExpressionMatchIterator refs =
            QRegularExpression(QStringLiteral("(\\d+)\\s+0\\s+R")).globalMatch(kids.captured(1));
        while (refs.hasNext())
            collectPages(refs.next().captured(1).toInt(), pages, depth + 1);
    }

  private:
    const QByteArray& pdf_;
    QString trailer_;
    qint64 xref_ = 0;
    std::vector<qint64> offsets_;
};

// A PDF text string that holds any character: UTF-16BE with its byte order mark, in hex.
QByteArray TextString(const QString& text)
{
    QByteArray hex = "<FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + '>';
}

QByteArray Ref(int n)
{
    return QByteArray::number(n) + " 0 R";
}

} // namespace

void AppendOutline(QByteArray& pdf, const std::vector<OutlineEntry>& entries)
{
    const PdfReader reader(pdf);
    const QString& trailer = reader.trailer();
    const int size = Number(trailer, QStringLiteral("/Size\\s+(\\d+)"), "no /Size in the trailer");
    const int root =
        Number(trailer, QStringLiteral("/Root\\s+(\\d+)\\s+0\\s+R"), "no /Root in the trailer");
    const QRegularExpressionMatch info =
        QRegularExpression(QStringLiteral("/Info\\s+(\\d+)\\s+0\\s+R")).match(trailer);

    QString catalog = reader.dictionary(root);
    const int pagesRoot =
        Number(catalog, QStringLiteral("/Pages\\s+(\\d+)\\s+0\\s+R"), "no /Pages in the catalog");
    std::vector<int> pages;
    reader.collectPages(pagesRoot, pages);

    // Object numbers: the outline root, then one per entry in order.
    const int outlineRoot = size;
    auto item = [&](size_t i) { return size + 1 + static_cast<int>(i); };
    const size_t n = entries.size();
    std::vector<int> parent(n, outlineRoot), prev(n, -1), next(n, -1), first(n, -1), last(n, -1),
        count(n, 0);
    int rootFirst = -1, rootLast = -1;
    int lastTop = -1, lastChild = -1;
    for (size_t i = 0; i < n; ++i) {
        const OutlineEntry& e = entries[i];
        if (e.page < 0 || static_cast<size_t>(e.page) >= pages.size())
            Fail("an outline entry points past the last page");
        if (e.level > 0 && lastTop >= 0) {
            parent[i] = item(static_cast<size_t>(lastTop));
            if (lastChild >= 0) {
                next[static_cast<size_t>(lastChild)] = item(i);
                prev[i] = item(static_cast<size_t>(lastChild));
            } else {
                first[static_cast<size_t>(lastTop)] = item(i);
            }
            last[static_cast<size_t>(lastTop)] = item(i);
            ++count[static_cast<size_t>(lastTop)];
            lastChild = static_cast<int>(i);
        } else {
            if (lastTop >= 0) {
                next[static_cast<size_t>(lastTop)] = item(i);
                prev[i] = item(static_cast<size_t>(lastTop));
            }
            if (rootFirst < 0)
                rootFirst = item(i);
            rootLast = item(i);
            lastTop = static_cast<int>(i);
            lastChild = -1;
        }
    }

    if (!pdf.endsWith('\n'))
        pdf += '\n';
    std::vector<qint64> offsets;
    auto object = [&](int number, const QByteArray& body) {
        offsets.push_back(pdf.size());
        pdf += QByteArray::number(number) + " 0 obj\n<<\n" + body + ">>\nendobj\n";
    };

    // A replaced catalog keeps everything but its own outline and page mode.
    catalog.remove(QRegularExpression(QStringLiteral("/Outlines\\s+\\d+\\s+0\\s+R")));
    catalog.remove(QRegularExpression(QStringLiteral("/PageMode\\s*/\\w+")));
    const qint64 catalogOffset = pdf.size();
    pdf += QByteArray::number(root) + " 0 obj\n<<" + catalog.toLatin1() + "/Outlines " +
           Ref(outlineRoot) + "\n/PageMode /UseOutlines\n>>\nendobj\n";

    QByteArray rootBody = "/Type /Outlines\n/Count " + QByteArray::number(n) + "\n";
    if (n > 0)
        rootBody += "/First " + Ref(rootFirst) + "\n/Last " + Ref(rootLast) + "\n";
    object(outlineRoot, rootBody);
    for (size_t i = 0; i < n; ++i) {
        QByteArray body = "/Title " + TextString(entries[i].title) + "\n/Parent " + Ref(parent[i]) +
                          "\n/Dest [" + Ref(pages[entries[i].page]) + " /XYZ null " +
                          QByteArray::number(entries[i].top, 'f', 1) + " null]\n";
        if (prev[i] >= 0)
            body += "/Prev " + Ref(prev[i]) + "\n";
        if (next[i] >= 0)
            body += "/Next " + Ref(next[i]) + "\n";
        if (first[i] >= 0)
            body += "/First " + Ref(first[i]) + "\n/Last " + Ref(last[i]) + "\n/Count " +
                    QByteArray::number(count[i]) + "\n";
        object(item(i), body);
    }

    const qint64 xref = pdf.size();
    auto entry = [](qint64 offset) {
        return QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    };
    pdf += "xref\n" + QByteArray::number(root) + " 1\n" + entry(catalogOffset);
    pdf += QByteArray::number(size) + " " + QByteArray::number(offsets.size()) + "\n";
    for (const qint64 offset : offsets)
        pdf += entry(offset);
    pdf += "trailer\n<<\n/Size " + QByteArray::number(size + 1 + static_cast<int>(n)) + "\n/Root " +
           Ref(root) + "\n";
    if (info.hasMatch())
        pdf += "/Info " + Ref(info.captured(1).toInt()) + "\n";
    pdf += "/Prev " + QByteArray::number(reader.xref()) + "\n>>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
}

} // namespace lumexa
