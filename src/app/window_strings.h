// Numbers of the language strings the main window shows besides its captions: inline
// preview problems, the unsaved-changes question, the recent-projects menu and the
// tooltips that name a control's setting and value.
#pragma once

namespace lumexa
{

inline constexpr int kStringTagIncomplete = 104; // %1: the tag as typed
inline constexpr int kStringNoPixels = 105;
inline constexpr int kStringPreviewFailed = 106; // %1: the engine's reason
inline constexpr int kStringSaveChanges = 107;   // %1: the project's name
inline constexpr int kStringUntitled = 108;
inline constexpr int kStringSaveAs = 109;
inline constexpr int kStringRecentProjects = 110;
inline constexpr int kStringChooseFile = 112;
inline constexpr int kStringSkip = 113;
inline constexpr int kStringManualFailed = 114; // %1: the manual's path
inline constexpr int kStringExamples = 115;
// Tooltips, each with %1 for the current value: displacement, cell size, font size,
// threshold, density, logo size, kerning, and the seed button.
inline constexpr int kStringTipDisplacement = 116;
inline constexpr int kStringTipScale = 117;
inline constexpr int kStringTipFontSize = 118;
inline constexpr int kStringTipThreshold = 119;
inline constexpr int kStringTipDensity = 120;
inline constexpr int kStringTipLogoSize = 121;
inline constexpr int kStringTipKerning = 122;
inline constexpr int kStringTipSeed = 123;
inline constexpr int kStringCannotOpenDropped = 124; // %1: the file
inline constexpr int kStringPrintPoster = 130;
// File > Inspect..., and the render window's button that opens the inspector.
inline constexpr int kStringInspectCommand = 149;
inline constexpr int kStringInspectButton = 150;
// The inspector's status line: %1, %2 the pixel, %3, %4 in centimetres, %5 the resolution;
// then the LED image under the pointer, %1 its number.
inline constexpr int kStringInspectPixel = 151;
inline constexpr int kStringInspectLed = 152;
// The unit after the grid size in the status bar.
inline constexpr int kStringDots = 153;
// The render window's compression box for PNG and TIFF: its caption, then its choices in
// the order of Compression's values.
inline constexpr int kStringCompression = 154;
inline constexpr int kStringCompressionFast = 155;
// The render window's choice beside "background", in the order of BackgroundOpacity's
// values, and its tooltip.
inline constexpr int kStringBackgroundTransparent = 158;
inline constexpr int kStringBackgroundTip = 160;
// A poster of too many sheets: %1 the sheets, %2 across, %3 down, %4 the most there may be.
inline constexpr int kStringTooManySheets = 161;
// The render window's deep zoom export: the save dialog's filter name, the button that
// opens the page written, and what is said when it cannot be opened (%1: the page).
// Strings 241 to 243 are the export's log lines.
inline constexpr int kStringDeepZoomPage = 240;
inline constexpr int kStringOpenPage = 244;
inline constexpr int kStringPageNotOpened = 245;

} // namespace lumexa
