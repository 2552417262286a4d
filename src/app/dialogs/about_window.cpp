// The about window and its scroller.
#include "app/dialogs/about_window.h"

#include "app/dialogs/product_logo.h"
#include "app/window_strings.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace lumexa
{

namespace
{
constexpr int kLineStep = 14;
constexpr int kScrollerWidth = 289;
constexpr int kScrollerRows = 40;
} // namespace

TFormInfo::TFormInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FormInfo"));
    setWindowTitle(QStringLiteral("LUMEXA•••"));
    setModal(true);
    setFixedSize(392, 261);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(4, 4, 380, 209);

    Image1 = new QLabel(panel);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(2, 2, 376, 205);
    Image1->setPixmap(QPixmap::fromImage(DrawProductLogo(QSize(376, 205))));
    Image1->installEventFilter(this);

    Memo1 = new QPlainTextEdit(panel);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 8, 257, 193);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->hide();

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(6, 217, kScrollerWidth, 39);
    Image2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image2->installEventFilter(this);

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(300, 217, 87, 37);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(306, 223, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setTexts(QStringLiteral("version %1"), QStringLiteral("text and logos"),
             QStringLiteral("made of LED dots"), QStringLiteral("click here to stop"));
    scrollerRunning_ = true;
    scrollerPosition_ = 0;

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(25);
    connect(Timer1, &QTimer::timeout, this, &TFormInfo::Timer1Timer);
    Timer1->start();
}

void TFormInfo::applyCaptions(const LanguageTable& strings)
{
    const auto s = [&strings](int n) { return QString::fromStdString(strings[n]); };
    // Before the first language file the design's words stay.
    if (s(kStringVersion).isEmpty())
        return;
    setTexts(s(kStringVersion), s(kStringAboutLine1), s(kStringAboutLine2), s(kStringAboutStop));
}

void TFormInfo::setTexts(const QString& version, const QString& line1, const QString& line2,
                         const QString& stop)
{
    aboutLines_ = {QStringLiteral("LUMEXA•••"),
                   QStringLiteral("[lumexa]"),
                   version.arg(QStringLiteral("1.2")),
                   QStringLiteral(" "),
                   line1,
                   line2,
                   QStringLiteral(" "),
                   stop,
                   QStringLiteral(" ")};
    buildScrollerBitmap();
    // The history names the versions and when they came out.
    const struct {
        const char* date;
        const char* number;
    } history[] = {{"2026-12-10", "1.2"}, {"2026-11-02", "1.1"}, {"2026-09-15", "1.0"}};
    QStringList lines;
    for (const auto& h : history)
        lines << QString::fromLatin1(h.date) + QStringLiteral("  ") +
                     version.arg(QString::fromLatin1(h.number));
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TFormInfo::buildScrollerBitmap()
{
    const int n = static_cast<int>(aboutLines_.size());
    scroller_ = QImage(kScrollerWidth, 28 * n, QImage::Format_RGB32);
    scroller_.fill(palette().color(QPalette::Button));
    QPainter p(&scroller_);
    p.setPen(Qt::black);
    p.setFont(font());
    const QFontMetrics metrics(font());
    for (int i = 0; i < n; ++i) {
        const QString& line = aboutLines_.at(i);
        const int left = 145 - metrics.horizontalAdvance(line) / 2;
        p.drawText(left, kLineStep * i + metrics.ascent(), line);
        p.drawText(left, kLineStep * (i + n) + metrics.ascent(), line);
    }
}

void TFormInfo::Timer1Timer()
{
    if (!scrollerRunning_)
        return;
    const int n = static_cast<int>(aboutLines_.size());
    if (++scrollerPosition_ > kLineStep * n)
        scrollerPosition_ = 1;
    Image2->setPixmap(
        QPixmap::fromImage(scroller_.copy(0, scrollerPosition_, kScrollerWidth, kScrollerRows)));
}

void TFormInfo::Image2Click()
{
    scrollerRunning_ = !scrollerRunning_;
}

void TFormInfo::Image1MouseDown(Qt::MouseButton button, QPoint pos)
{
    if (button != Qt::LeftButton)
        return;
    if (pos.x() >= 270 && pos.x() <= 284 && pos.y() >= 93 && pos.y() <= 106)
        Memo1->setHidden(!Memo1->isHidden());
}

bool TFormInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == Image1)
            Image1MouseDown(mouse->button(), mouse->position().toPoint());
        else if (watched == Image2 && mouse->button() == Qt::LeftButton)
            Image2Click();
    }
    return QDialog::eventFilter(watched, event);
}

void TFormInfo::done(int result)
{
    // Closing stops the scroller; only a click on it starts it again.
    scrollerRunning_ = false;
    QDialog::done(result);
}

} // namespace lumexa
