// The Logo page: loading a logo (asking first when one would be replaced), and showing
// it in Image13.
#include "app/main_window/main_window.h"

#include "app/picture_image.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "imaging/read/picture_decoder.h"

#include <QLabel>
#include <QPainter>

namespace lumexa
{

void TForm1::Button7Click()
{
    // Replacing is asked about only when there is a logo to replace.
    if (shared_.logo.loaded && !prompts_.askYesNo(shared_.text(30), shared_.text(45)))
        return;
    if (const auto file = askFile(OpenDialog1, QStringLiteral("logo"), false))
        loadLogoFile(*file);
    PageControl1Change();
    BuildPreview();
}

void TForm1::loadLogoFile(const QString& file)
{
    // The picture is tried on a copy: a refused one leaves the logo in use as it was.
    Logo candidate = shared_.logo;
    const LoadOutcome outcome = LoadLogoFile(candidate, file.toStdString(), DecodePictureFile);
    if (outcome.languageString >= 0)
        prompts_.inform(shared_.text(30), shared_.text(outcome.languageString));
    else if (!outcome.message.empty())
        prompts_.inform(shared_.text(30), QString::fromStdString(outcome.message));
    if (!candidate.loaded)
        return;
    shared_.logo = std::move(candidate);
    ShowLogo();
}

void TForm1::ShowLogo()
{
    QImage box(Image13->size(), QImage::Format_RGB888);
    box.fill(palette().color(QPalette::Button));
    const Picture& logo = shared_.logo.picture;
    if (!logo.empty()) {
        const Rect r = ShowLogoRect(box.width(), box.height(), logo.width(), logo.height());
        QPainter p(&box);
        p.drawImage(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ToQImage(logo));
    }
    Image13->setPixmap(QPixmap::fromImage(box));
}

} // namespace lumexa
