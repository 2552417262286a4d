// The deep zoom viewer page.
#include "imaging/dzi/viewer_page.h"

#include "imaging/dzi/deep_zoom_tiles.h"

#include <cstdio>

namespace lumexa
{

namespace
{

void ReplaceAll(std::string& text, const std::string& key, const std::string& value)
{
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
}

std::string Centimetres(int pixels, int dpi)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", pixels * 2.54 / dpi);
    return text;
}

} // namespace

DeepZoomPaths DeepZoomPathsFor(const std::string& descriptor)
{
    DeepZoomPaths paths;
    paths.descriptor = descriptor;
    const size_t slash = descriptor.find_last_of('/');
    const size_t dot = descriptor.find_last_of('.');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                 ? descriptor.substr(0, dot)
                                 : descriptor;
    paths.tiles = stem + "_files";
    paths.page = stem + ".html";
    paths.name = slash == std::string::npos ? stem : stem.substr(slash + 1);
    return paths;
}

std::string UrlSegment(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string HtmlText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string ViewerPage(const std::string& pageTemplate, const Pyramid& pyramid,
                       const PageFacts& facts)
{
    // Percent-encoded, the folder's name holds nothing that HTML or a script's string
    // would read as anything but itself.
    const std::string tiles = UrlSegment(facts.name + "_files") + "/";
    const std::string width = std::to_string(pyramid.width());
    const std::string height = std::to_string(pyramid.height());
    const std::string source =
        std::string("{\"Image\": {\"xmlns\": \"http://schemas.microsoft.com/deepzoom/2008\", ") +
        "\"Url\": \"" + tiles + "\", \"Format\": \"" + TileExtension(facts.format) +
        "\", \"Overlap\": \"" + std::to_string(pyramid.overlap()) + "\", \"TileSize\": \"" +
        std::to_string(pyramid.tileSize()) + "\", \"Size\": {\"Width\": \"" + width +
        "\", \"Height\": \"" + height + "\"}}}";
    const std::string caption = width + " \u00d7 " + height + " pixels \u00b7 " +
                                Centimetres(pyramid.width(), facts.dpi) + " \u00d7 " +
                                Centimetres(pyramid.height(), facts.dpi) + " cm at " +
                                std::to_string(facts.dpi) + " ppi";
    std::string page = pageTemplate;
    ReplaceAll(page, "@TITLE@", HtmlText(facts.title));
    ReplaceAll(page, "@CAPTION@", HtmlText(caption));
    ReplaceAll(page, "@VIEWER@", tiles + kViewerFolder + "/");
    ReplaceAll(page, "@SOURCE@", source);
    return page;
}

} // namespace lumexa
