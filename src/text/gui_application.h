// Qt draws text only inside a QGuiApplication. The windows create their own; tests and
// the headless renderer get one on the offscreen platform, which needs no display.
#pragma once

namespace lumexa
{

// Creates a QGuiApplication on the "offscreen" platform when no Qt application object
// exists yet; otherwise does nothing. The object lives until the program ends. Throws
// lumexa::Error when a non-graphical QCoreApplication exists, under which Qt cannot
// draw text.
void EnsureGuiApplication();

} // namespace lumexa
