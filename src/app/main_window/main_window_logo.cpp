// The Logo page: loading a logo (asking first when one would be replaced), and showing
// it in Image13.
#include "app/main_window/main_window.h"

#include "app/picture_image.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"
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
    // The LED pictures' dialog with a title of its own; it remembers its own folder.
    FileRequest dialog = OpenDialog1;
    dialog.title = DialogTitle(shared_.text(kStringOpenLogo));
    if (const auto file = askFile(dialog, QStringLiteral("logo"), false))
        loadLogoStep(*file);
    else
        PageControl1Change();
}

void TForm1::loadLogoStep(const QString& file)
{
    Logo before = shared_.logo;
    ++recordingPaused_;
    const bool changed = loadLogoFile(file);
    PageControl1Change();
    BuildPreview();
    --recordingPaused_;
    if (changed)
        pushStep(new LogoStep(*this, {kStringStepLoadLogo}, std::move(before), recorded_,
                              projectSettings()));
}

bool TForm1::loadLogoFile(const QString& file)
{
    // The picture is tried on a copy: a refused one leaves the logo in use as it was.
    Logo candidate = shared_.logo;
    const LoadOutcome outcome = LoadLogoFile(candidate, file.toStdString(), DecodePictureFile);
    if (outcome.languageString >= 0)
        prompts_.inform(shared_.text(30), shared_.text(outcome.languageString));
    else if (!outcome.message.empty())
        prompts_.inform(shared_.text(30), QString::fromStdString(outcome.message));
    if (!candidate.loaded)
        return false;
    shared_.logo = std::move(candidate);
    ShowLogo();
    return true;
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
