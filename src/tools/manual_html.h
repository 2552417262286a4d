// The HTML manual's page around Qt's rendering of the document: a contents sidebar with
// a search box over the headings and text, a link to the copy in the other language,
// and room above the headings.
#pragma once

#include "tools/manual_document.h"

#include <QString>

namespace lumexa
{

struct HtmlChrome {
    QString language = QStringLiteral("en"); // the page's language code
    QString otherName;                       // "Polski"; empty for no link
    QString otherAddress;                    // "../pl/index.html"
    QString searchPlaceholder;
    QString noMatch; // shown when no section holds every word typed
};

// The document as an HTML page: the sidebar lists the headings (their anchors are
// section-1, section-2... in order) and the search narrows it to the sections whose
// heading or text hold every word typed; Enter goes to the first of them.
QString WithSidebar(const Manual& manual, const HtmlChrome& chrome);

} // namespace lumexa
