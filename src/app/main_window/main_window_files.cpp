// Files reaching the window other than through the File menu: dropped files (a project
// anywhere, pictures on the strip or the Logo page), the file dialogs that remember
// where each kind of file was last taken from, and the tooltips that name each bar's
// setting with its value.
#include "app/main_window/main_window.h"

#include "app/program_memory.h"
#include "app/shared_state.h"
#include "app/user_prompts.h"
#include "app/window_strings.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

namespace lumexa
{

namespace
{

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            files.append(url.toLocalFile());
    return files;
}

bool isProject(const QString& file)
{
    return QFileInfo(file).suffix().compare(QStringLiteral("led"), Qt::CaseInsensitive) == 0;
}

bool within(const QWidget* child, const QWidget* ancestor)
{
    return child && ancestor && (child == ancestor || ancestor->isAncestorOf(child));
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    for (const QString& file : files) {
        if (isProject(file)) {
            if (maybeSaveChanges())
                openProject(file);
            return;
        }
    }
    const QWidget* target = childAt(event->position().toPoint());
    if (within(target, ScrollBox1)) {
        addLedFiles(files);
    } else if (within(target, TabSheet2) && PageControl1->currentIndex() == 1) {
        if (shared_.logo.loaded && !prompts_.askYesNo(shared_.text(30), shared_.text(45)))
            return;
        loadLogoStep(files.constFirst());
    } else {
        prompts_.inform(shared_.text(30),
                        shared_.text(kStringCannotOpenDropped).arg(files.constFirst()));
    }
}

std::optional<QString> TForm1::askFile(FileRequest& request, const QString& kind, bool save)
{
    RestoreFileRequest(kind, request);
    const std::optional<QString> file =
        save ? prompts_.chooseFileToSave(request) : prompts_.chooseFileToOpen(request);
    if (file) {
        RememberFileChoice(kind, request, *file);
        // The next dialog of this kind starts where this one ended.
        RestoreFileRequest(kind, request);
    }
    return file;
}

void TForm1::updateToolTips()
{
    // Before the first language file there is no text to fill in.
    const auto tip = [this](int string, const QString& value) {
        const QString text = shared_.text(string);
        return text.isEmpty() ? QString() : text.arg(value);
    };
    const struct {
        QScrollBar* bar;
        QLabel* above;
        QLabel* below;
        int string;
    } bars[] = {{ScrollBar6, Image10, Image9, kStringTipDisplacement},
                {ScrollBar3, Image1, Image6, kStringTipScale},
                {ScrollBar1, Image2, Image3, kStringTipFontSize},
                {ScrollBar2, Image4, Image5, kStringTipThreshold},
                {ScrollBar5, Image7, Image8, kStringTipDensity},
                {ScrollBar8, Image15, Image14, kStringTipLogoSize},
                {ScrollBar7, Image11, Image12, kStringTipKerning}};
    for (const auto& b : bars) {
        const QString text = tip(b.string, QString::number(b.bar->value()));
        for (QWidget* w : {static_cast<QWidget*>(b.bar), static_cast<QWidget*>(b.above),
                           static_cast<QWidget*>(b.below)})
            w->setToolTip(text);
    }
    BitBtn1->setToolTip(tip(kStringTipSeed, MaskEdit1->text()));
}

} // namespace lumexa
