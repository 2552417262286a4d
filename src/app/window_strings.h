// Numbers of the language strings the windows show besides the designed captions: inline
// preview problems, the unsaved-changes question, the recent-projects menu, the tooltips
// that name a control's setting and value, the Edit menu's steps and the file dialogs.
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

// The Edit menu and its steps: "&Undo %1" and "&Redo %1" with the step's name, which is
// one of the names after them (%1 where it takes the LED number, the style or the page).
inline constexpr int kStringEditMenu = 200;
inline constexpr int kStringUndo = 201;
inline constexpr int kStringRedo = 202;
inline constexpr int kStringStepTyping = 203;
inline constexpr int kStringStepClearTags = 204;
inline constexpr int kStringStepTag = 205;
inline constexpr int kStringFont = 206; // also the font dialog's title
inline constexpr int kStringStepFontSize = 207;
inline constexpr int kStringStepThreshold = 208;
inline constexpr int kStringStepDensity = 209;
inline constexpr int kStringStepDisplacement = 210;
inline constexpr int kStringStepScale = 211;
inline constexpr int kStringStepKerning = 212;
inline constexpr int kStringStepLogoSize = 213;
inline constexpr int kStringStepStyle = 214;
inline constexpr int kStringStepPage = 215;
inline constexpr int kStringStepAddLed = 216;
inline constexpr int kStringStepReplaceLed = 217;
inline constexpr int kStringStepAddAlpha = 218;
inline constexpr int kStringStepDeleteLed = 219;
inline constexpr int kStringStepClearAlpha = 220;
inline constexpr int kStringStepLoadLogo = 221;
inline constexpr int kStringStepRenderOptions = 222;
// The first run: the preview's hint while nothing is loaded, and File > Open example.
inline constexpr int kStringEmptyStartHint = 223;
inline constexpr int kStringOpenExample = 224;
// The file dialogs' titles and file types: "%1 file" takes a format's name.
inline constexpr int kStringOpenLogo = 225;
inline constexpr int kStringBitmapFile = 226;
inline constexpr int kStringFormatFile = 227;
inline constexpr int kStringAllPictures = 228;
inline constexpr int kStringAllFiles = 229;
inline constexpr int kStringLedProject = 230;
inline constexpr int kStringLanguageFiles = 231;
inline constexpr int kStringRenderPanel = 232;
// The about window's scroller, the first with %1 for the version.
inline constexpr int kStringVersion = 233;
inline constexpr int kStringAboutLine1 = 234;
inline constexpr int kStringAboutLine2 = 235;
inline constexpr int kStringAboutStop = 236;
// After a load: %1 names the LED pictures not loaded whose tags were taken out.
inline constexpr int kStringTagsOfGoneLeds = 237;
inline constexpr int kStringManualPath = 238; // %1: the manual's file
inline constexpr int kStringStarting = 239;   // the splash window
// The question before a file the user may not write is replaced; %1: the file.
inline constexpr int kStringReplaceReadOnly = 180;
// Across the top of the preview of a text too long to lay out whole at every keystroke:
// %1 the columns shown, %2 all of them.
inline constexpr int kStringPreviewShowsStart = 181;

} // namespace lumexa
