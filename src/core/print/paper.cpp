// Parsing lengths and paper names.
#include "core/print/paper.h"

#include "core/base/error.h"
#include "core/base/shown_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace lumexa
{

namespace
{

std::string lowered(std::string_view s)
{
    std::string out;
    for (char c : s)
        if (!std::isspace(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Millimetres per unit, or 0 when `unit` is none of ours.
double unitMm(std::string_view unit)
{
    if (unit == "mm")
        return 1;
    if (unit == "cm")
        return 10;
    if (unit == "in")
        return kMmPerInch;
    return 0;
}

// Splits "12.5cm" into number and unit; false when the number does not read in full.
bool splitLength(std::string_view s, double& number, std::string_view& unit)
{
    const char* end = s.data() + s.size();
    const auto [ptr, ec] = std::from_chars(s.data(), end, number);
    if (ec != std::errc() || ptr == s.data())
        return false;
    unit = std::string_view(ptr, static_cast<size_t>(end - ptr));
    return true;
}

Error badLength(std::string_view text, bool zeroAllowed)
{
    return Error("'" + ShownText(text) + "' is not a valid length (a " +
                 (zeroAllowed ? "number of 0 or more" : "positive number") + " with mm, cm or in)");
}

} // namespace

double ParseLength(std::string_view text, bool zeroAllowed)
{
    const std::string s = lowered(text);
    if (zeroAllowed && s == "0")
        return 0;
    double number = 0;
    std::string_view unit;
    if (!splitLength(s, number, unit) || unitMm(unit) == 0 || !std::isfinite(number) ||
        number < 0 || (number == 0 && !zeroAllowed))
        throw badLength(text, zeroAllowed);
    return number * unitMm(unit);
}

PaperSize ParsePaper(std::string_view text)
{
    const std::string s = lowered(text);
    if (s == "a4")
        return {"A4", 210, 297};
    if (s == "a3")
        return {"A3", 297, 420};
    if (s == "letter")
        return {"Letter", 8.5 * kMmPerInch, 11 * kMmPerInch};
    if (s == "legal")
        return {"Legal", 8.5 * kMmPerInch, 14 * kMmPerInch};

    const Error bad("'" + ShownText(text) +
                    "' is not a paper size (a4, a3, letter, legal or WxH with units, such as "
                    "600x900mm)");
    const size_t x = s.find('x');
    if (x == std::string::npos)
        throw bad;
    double w = 0, h = 0;
    std::string_view wUnit, hUnit;
    if (!splitLength(std::string_view(s).substr(0, x), w, wUnit) ||
        !splitLength(std::string_view(s).substr(x + 1), h, hUnit) || unitMm(hUnit) == 0)
        throw bad;
    if (wUnit.empty())
        wUnit = hUnit;
    if (unitMm(wUnit) == 0 || !std::isfinite(w) || !std::isfinite(h) || w <= 0 || h <= 0)
        throw bad;
    return {std::string(text), w * unitMm(wUnit), h * unitMm(hUnit)};
}

} // namespace lumexa
