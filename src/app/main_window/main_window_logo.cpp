// The Logo page: loading a logo after the question, and showing it in Image13.
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
    if (!prompts_.askYesNo(shared_.text(30), shared_.text(45)))
        return;
    if (const auto file = prompts_.chooseFileToOpen(OpenDialog1)) {
        const LoadOutcome outcome =
            LoadLogoFile(shared_.logo, file->toStdString(), DecodePictureFile);
        if (outcome.languageString >= 0)
            prompts_.inform(shared_.text(30), shared_.text(outcome.languageString));
        else if (!outcome.message.empty())
            prompts_.inform(shared_.text(30), QString::fromStdString(outcome.message));
        if (!shared_.logo.loaded)
            return;
        ShowLogo();
    }
    PageControl1Change();
    BuildPreview();
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
