// The strip's entries. Panels lie in the scrolled contents at number x 136; the labels
// let clicks through to the panel, so a click anywhere on an entry selects it.
#include "app/main_window/led_strip.h"

#include "app/picture_image.h"

#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

namespace lumexa
{

QString PanelName(int number)
{
    return QStringLiteral("PanelK%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString ThumbnailName(int number)
{
    return QStringLiteral("ImageK%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString EntryCaption(int number, const std::string& fileName)
{
    return QStringLiteral("[&%1], %2")
        .arg(number, 2, 10, QLatin1Char('0'))
        .arg(QFileInfo(QString::fromStdString(fileName)).fileName());
}

QImage ComposeThumbnail(const LedImage& led, QColor buttonFace)
{
    const int w = led.width, h = led.height;
    QImage result(std::max(w, 1), std::max(h, 1), QImage::Format_RGB888);
    result.fill(buttonFace);
    const int face[3] = {buttonFace.red(), buttonFace.green(), buttonFace.blue()};
    for (int y = 0; y < h; ++y) {
        uchar* out = result.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const Rgb l = y < led.picture.height() && x < led.picture.width()
                              ? led.picture.pixel(x, y)
                              : Rgb{};
            const Rgb m = y < led.alphaPicture.height() && x < led.alphaPicture.width()
                              ? led.alphaPicture.pixel(x, y)
                              : Rgb{};
            const int lc[3] = {l.r, l.g, l.b};
            const int mc[3] = {m.r, m.g, m.b};
            for (int c = 0; c < 3; ++c) {
                const double a = mc[c] * 0.00392;
                out[x * 3 + c] =
                    static_cast<uchar>(static_cast<int>((1 - a) * face[c] + a * lc[c]));
            }
        }
    }
    return result;
}

LedStrip::LedStrip(LedImageSet& set, QScrollArea* scrollBox, QObject* parent)
    : QObject(parent), set_(set), scrollBox_(scrollBox), contents_(new QWidget)
{
    contents_->setObjectName(QStringLiteral("ScrollBox1Contents"));
    // A click on the strip must leave the focus, and with it the text field's selection,
    // where it is: the click wraps that selection in the clicked LED's tags.
    for (QWidget* w : {static_cast<QWidget*>(scrollBox_), contents_,
                       static_cast<QWidget*>(scrollBox_->horizontalScrollBar()),
                       static_cast<QWidget*>(scrollBox_->verticalScrollBar())})
        w->setFocusPolicy(Qt::NoFocus);
    scrollBox_->setWidgetResizable(false);
    scrollBox_->setWidget(contents_);
    resizeContents();
    set_.setObserver(this);
}

LedStrip::~LedStrip()
{
    set_.setObserver(nullptr);
}

void LedStrip::scrollTo(int x)
{
    scrollBox_->horizontalScrollBar()->setValue(x);
}

const StripEntry* LedStrip::entry(int n) const
{
    if (n < 0 || n >= entryCount())
        return nullptr;
    return entries_[static_cast<size_t>(n)].get();
}

void LedStrip::resizeContents()
{
    const int width = std::max(1, entryCount() * kStripPitch - (kStripPitch - kPanelSize));
    contents_->resize(width, kPanelSize);
}

QLabel* LedStrip::makeLabel(QWidget* parent, const QString& text, int left, int top, bool white)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setAttribute(Qt::WA_TranslucentBackground, !white);
    label->setAttribute(Qt::WA_StyledBackground, white);
    // White on a light panel reads only through its thin shadow, so the white texts sit on
    // a dark, half-transparent backing that keeps them legible over the panel and over any
    // LED picture alike.
    label->setStyleSheet(white ? QStringLiteral("color: white; background: rgba(0, 0, 0, 170);"
                                                " padding: 0px 1px;")
                               : QStringLiteral("color: black; background: transparent;"
                                                " padding: 0px 1px;"));
    label->adjustSize();
    label->move(left, top);
    label->show();
    return label;
}

void LedStrip::showPicture(StripEntry& e, const QImage& image)
{
    e.thumbnail->setPixmap(QPixmap::fromImage(image.scaled(e.thumbnail->size())));
}

void LedStrip::buildThumbnailAndLabels(StripEntry& e, const LedImage& led)
{
    const bool scaled = led.width >= kThumbnailSize || led.height >= kThumbnailSize;
    e.thumbnail = new QLabel(e.panel);
    e.thumbnail->setObjectName(ThumbnailName(e.number));
    if (scaled)
        e.thumbnail->setGeometry(1, 1, kThumbnailSize, kThumbnailSize);
    else
        e.thumbnail->setGeometry(64 - led.width / 2, 64 - led.height / 2, led.width, led.height);
    showPicture(e, ToQImage(led.picture));
    e.thumbnail->installEventFilter(this);
    e.thumbnail->show();
    e.thumbnail->lower();

    const int f = fontHeight_;
    const QString caption = EntryCaption(e.number, led.fileName);
    const QString size = QStringLiteral("%1 x %2").arg(led.width).arg(led.height);
    e.nameShadow = makeLabel(e.panel, caption, 5, 5, false);
    e.nameLabel = makeLabel(e.panel, caption, 4, 4, true);
    e.sizeShadow = makeLabel(e.panel, size, 5, static_cast<int>(5 - 1.5 * f), false);
    e.sizeLabel = makeLabel(e.panel, size, 4, static_cast<int>(4 - 1.5 * f), true);
    e.scaledShadow =
        makeLabel(e.panel, QStringLiteral("S"), 117, static_cast<int>(128 + 1.5 * f), false);
    e.scaledMark =
        makeLabel(e.panel, QStringLiteral("S"), 118, static_cast<int>(127 + 1.5 * f), true);
    e.scaledShadow->setVisible(scaled);
    e.scaledMark->setVisible(scaled);
}

void LedStrip::BuildStripEntry(int n)
{
    const LedImage& led = set_[n];
    auto e = std::make_unique<StripEntry>();
    e->number = n;
    e->panel = new QFrame(contents_);
    e->panel->setObjectName(PanelName(n));
    e->panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    e->panel->setLineWidth(2);
    e->panel->setGeometry(n * kStripPitch, 0, kPanelSize, kPanelSize);
    e->panel->installEventFilter(this);
    buildThumbnailAndLabels(*e, led);
    const int f = fontHeight_;
    e->alphaShadow =
        makeLabel(e->panel, QStringLiteral("A"), 108, static_cast<int>(128 + 1.5 * f), false);
    e->alphaMark =
        makeLabel(e->panel, QStringLiteral("A"), 107, static_cast<int>(127 + 1.5 * f), true);
    e->alphaShadow->setVisible(led.alphaInUse);
    e->alphaMark->setVisible(led.alphaInUse);
    e->panel->show();
    entries_.insert(entries_.begin() + n, std::move(e));
    resizeContents();
}

void LedStrip::RebuildStripEntry(int n)
{
    StripEntry& e = *entries_[static_cast<size_t>(n)];
    for (QLabel* label : {e.thumbnail, e.nameShadow, e.nameLabel, e.sizeShadow, e.sizeLabel,
                          e.scaledShadow, e.scaledMark})
        delete label;
    buildThumbnailAndLabels(e, set_[n]);
    e.alphaShadow->raise();
    e.alphaMark->raise();
}

void LedStrip::ledAdded(int n)
{
    ++pictureChanges_;
    BuildStripEntry(n);
    // An LED image put back in the middle (an undone Delete) moves the ones after it up.
    for (int k = n + 1; k < entryCount(); ++k)
        renumber(*entries_[static_cast<size_t>(k)], k);
}

void LedStrip::ledReplaced(int n)
{
    ++pictureChanges_;
    RebuildStripEntry(n);
    StripEntry& e = *entries_[static_cast<size_t>(n)];
    const LedImage& led = set_[n];
    e.alphaShadow->setVisible(led.alphaInUse);
    e.alphaMark->setVisible(led.alphaInUse);
    if (n >= 1 && led.alphaInUse)
        showPicture(e, ComposeThumbnail(led, scrollBox_->palette().color(QPalette::Button)));
    e.panel->setFrameShadow(led.selected ? QFrame::Sunken : QFrame::Raised);
}

void LedStrip::alphaChanged(int n)
{
    StripEntry& e = *entries_[static_cast<size_t>(n)];
    const LedImage& led = set_[n];
    e.alphaShadow->setVisible(led.alphaInUse);
    e.alphaMark->setVisible(led.alphaInUse);
    if (n >= 1 && led.alphaInUse)
        showPicture(e, ComposeThumbnail(led, scrollBox_->palette().color(QPalette::Button)));
    else
        showPicture(e, ToQImage(led.picture));
}

void LedStrip::renumber(StripEntry& e, int n)
{
    e.number = n;
    e.panel->setObjectName(PanelName(n));
    e.thumbnail->setObjectName(ThumbnailName(n));
    const QString caption = EntryCaption(n, set_[n].fileName);
    for (QLabel* label : {e.nameShadow, e.nameLabel}) {
        label->setText(caption);
        label->adjustSize();
    }
    e.panel->move(n * kStripPitch, 0);
}

void LedStrip::ledRemoved(int n)
{
    // The removed entry goes; every entry after it moves one pitch to the left and takes
    // the number of its new slot.
    ++pictureChanges_;
    delete entries_[static_cast<size_t>(n)]->panel;
    entries_.erase(entries_.begin() + n);
    for (int k = n; k < entryCount(); ++k)
        renumber(*entries_[static_cast<size_t>(k)], k);
    selectionChanged();
    resizeContents();
}

void LedStrip::cleared()
{
    ++pictureChanges_;
    for (auto& e : entries_)
        delete e->panel;
    entries_.clear();
    resizeContents();
}

void LedStrip::selectionChanged()
{
    for (int k = 0; k < entryCount() && k < set_.count(); ++k) {
        QFrame* panel = entries_[static_cast<size_t>(k)]->panel;
        panel->setFrameShadow(set_[k].selected ? QFrame::Sunken : QFrame::Raised);
    }
}

bool LedStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (const auto& e : entries_) {
            if (watched == e->panel || watched == e->thumbnail) {
                emit ledClicked(e->number);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumexa
