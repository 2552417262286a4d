// Lengths and paper sizes as the user types them: "20cm", "8.5in", "a4", "600x900mm".
// Everything physical is kept in millimetres.
#pragma once

#include <string>
#include <string_view>

namespace lumexa
{

inline constexpr double kMmPerInch = 25.4;

// A number followed by "mm", "cm" or "in" (no space needed, any case), in millimetres.
// Throws an Error naming the value when the unit is missing or the number is not positive;
// with `zeroAllowed`, zero passes too, and a plain "0" needs no unit.
double ParseLength(std::string_view text, bool zeroAllowed = false);

struct PaperSize {
    std::string name; // "A4", "Letter", or the custom size as typed
    double widthMm = 0;
    double heightMm = 0;

    friend bool operator==(const PaperSize&, const PaperSize&) = default;
};

// "a4", "a3", "letter", "legal" (any case) or a custom "WxH" where both lengths carry a
// unit, or only the second does and the first shares it ("600x900mm", "24inx36in").
// The size is returned as portrait or landscape the way it was typed. Throws an Error
// naming the value.
PaperSize ParsePaper(std::string_view text);

// What a PDF page can be: at least 3 points on a side; past 200 inches (14,400 points) its
// figures are given in larger user units, of at most 75,000 points.
inline constexpr double kPointsPerInch = 72;
inline constexpr double kSmallestPagePoints = 3;
inline constexpr double kLargestPagePoints = 14400;
inline constexpr double kLargestUserUnit = 75000;
inline constexpr double kSmallestPageMm = kSmallestPagePoints / kPointsPerInch * kMmPerInch;
inline constexpr double kLargestPageMm =
    kLargestPagePoints * kLargestUserUnit / kPointsPerInch * kMmPerInch;

// Pixels per inch from pixels and a length, and back.
inline double MmForPixels(double pixels, double dpi)
{
    return pixels / dpi * kMmPerInch;
}
inline double DpiFor(double pixels, double mm)
{
    return pixels / (mm / kMmPerInch);
}

} // namespace lumexa
