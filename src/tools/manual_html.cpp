// The HTML manual's page: Qt's HTML of the document inside a page with a contents
// sidebar, a search box and a link to the other language's copy.
#include "tools/manual_html.h"

#include <QRegularExpression>
#include <QTextDocument>

namespace lumexa
{
namespace
{

// The sidebar stays at the left of a wide window and goes above the text in a narrow one;
// Qt writes the headings' margins into their style attributes, so the room above them
// has to win over those.
const char* const kStyle = R"(<meta name="viewport" content="width=device-width" />
<style>
body { margin: 0; }
main { margin-left: 18em; padding: 1em 2em 3em; max-width: 50em; }
img { max-width: 100%; height: auto; }
table { border-collapse: collapse; }
h2 { margin-top: 2.4em !important; padding-top: 0.6em; border-top: 1px solid #d8d8d8; }
h3 { margin-top: 1.8em !important; }
h1, h2, h3 { margin-bottom: 0.5em !important; }
#sidebar { position: fixed; top: 0; bottom: 0; left: 0; width: 18em; box-sizing: border-box;
  overflow-y: auto; padding: 1em; background: #f3f3f0; border-right: 1px solid #d8d8d8;
  font-family: 'DejaVu Sans', sans-serif; font-size: 10pt; }
#sidebar .title { font-weight: bold; font-size: 12pt; margin: 0 0 0.4em; }
#sidebar .language { margin: 0 0 0.8em; }
#sidebar input { width: 100%; box-sizing: border-box; padding: 0.3em; font-size: 10pt; }
#sidebar ul { list-style: none; margin: 0.6em 0 0; padding: 0; }
#sidebar li.chapter { font-weight: bold; margin-top: 0.5em; }
#sidebar li.section { padding-left: 1em; }
#sidebar a { color: #1c4f8c; text-decoration: none; }
#sidebar a:hover { text-decoration: underline; }
#no-match { color: #a03010; }
@media (max-width: 60em) {
  #sidebar { position: static; width: auto; border-right: 0; border-bottom: 1px solid #d8d8d8; }
  main { margin-left: 0; }
}
@media print { #sidebar { display: none; } main { margin-left: 0; } }
</style>
)";

// Each sidebar entry knows its section's text: from its heading to the next heading.
// Typing keeps the entries whose heading or text hold every word; Enter goes to the first.
const char* const kScript = R"(<script>
(function () {
  var box = document.getElementById('search');
  var none = document.getElementById('no-match');
  var items = [].slice.call(document.querySelectorAll('#sidebar li'));
  var texts = items.map(function (li) {
    var h = document.getElementsByName(li.dataset.anchor)[0].closest('h2, h3');
    var text = h.textContent;
    for (var n = h.nextElementSibling; n && !/^H[1-3]$/.test(n.tagName); n = n.nextElementSibling)
      text += ' ' + n.textContent;
    return text.toLowerCase();
  });
  function narrow() {
    var words = box.value.toLowerCase().split(/\s+/).filter(Boolean);
    return items.filter(function (li, i) {
      li.hidden = !words.every(function (w) { return texts[i].indexOf(w) >= 0; });
      return !li.hidden;
    });
  }
  box.addEventListener('input', function () { none.hidden = narrow().length > 0; });
  box.addEventListener('keydown', function (e) {
    var first = e.key === 'Enter' && narrow()[0];
    if (first) location.hash = first.dataset.anchor;
  });
})();
</script>
)";

QString Sidebar(const Manual& manual, const HtmlChrome& chrome)
{
    QString nav = QStringLiteral("<nav id=\"sidebar\">\n<p class=\"title\"><a href=\"#top\">") +
                  manual.title.toHtmlEscaped() + QStringLiteral("</a></p>\n");
    if (!chrome.otherName.isEmpty())
        nav += QStringLiteral("<p class=\"language\"><a href=\"%1\">%2</a></p>\n")
                   .arg(chrome.otherAddress.toHtmlEscaped(), chrome.otherName.toHtmlEscaped());
    nav += QStringLiteral("<input id=\"search\" type=\"search\" placeholder=\"%1\" "
                          "aria-label=\"%1\" />\n<p id=\"no-match\" hidden>%2</p>\n")
               .arg(chrome.searchPlaceholder.toHtmlEscaped(), chrome.noMatch.toHtmlEscaped());
    nav += QStringLiteral("<ul aria-label=\"%1\">\n").arg(manual.contentsTitle.toHtmlEscaped());
    for (size_t i = 0; i < manual.headings.size(); ++i) {
        const QString anchor = QStringLiteral("section-%1").arg(i + 1);
        nav += QStringLiteral("<li class=\"%1\" data-anchor=\"%2\"><a href=\"#%2\">%3</a></li>\n")
                   .arg(manual.headings[i].level == 2 ? QStringLiteral("chapter")
                                                      : QStringLiteral("section"),
                        anchor, manual.headings[i].text.toHtmlEscaped());
    }
    return nav + QStringLiteral("</ul>\n</nav>\n");
}

} // namespace

QString WithSidebar(const Manual& manual, const HtmlChrome& chrome)
{
    QString html = manual.document->toHtml();
    html.replace(QRegularExpression(QStringLiteral("^<!DOCTYPE[^>]*>")),
                 QStringLiteral("<!DOCTYPE html>"));
    html.replace(QStringLiteral("<html>"),
                 QStringLiteral("<html lang=\"%1\">").arg(chrome.language.toHtmlEscaped()));
    html.replace(QStringLiteral("</head>"), QString::fromUtf8(kStyle) + QStringLiteral("</head>"));
    const QRegularExpressionMatch body =
        QRegularExpression(QStringLiteral("<body[^>]*>")).match(html);
    if (body.hasMatch()) {
        const qsizetype end = body.capturedEnd();
        html.insert(end, QLatin1Char('\n') + Sidebar(manual, chrome) +
                             QStringLiteral("<main id=\"top\">\n"));
    }
    html.replace(QStringLiteral("</body>"), QStringLiteral("</main>\n") +
                                                QString::fromUtf8(kScript) +
                                                QStringLiteral("</body>"));
    return html;
}

} // namespace lumexa
