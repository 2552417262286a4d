// The splash window: the logo in a frame and two fixed lines of text. It has no
// behaviour of its own; start-up shows it and destroys it.
#include "app/dialogs/splash_window.h"

#include "app/dialogs/product_logo.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace lumexa
{

TForm5::TForm5(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Form5"));
    setFixedSize(218, 158);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(0, 0, 218, 158);

    auto* frame = new QFrame(panel);
    frame->setObjectName(QStringLiteral("Bevel1"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(7, 7, 203, 112);
    auto* logo = new QLabel(panel);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setGeometry(8, 8, 201, 110);
    logo->setPixmap(QPixmap::fromImage(DrawProductLogo(QSize(201, 110))));

    auto* title = new QLabel(QStringLiteral("Starting Lumexa..."), panel);
    title->setObjectName(QStringLiteral("StaticText1"));
    title->setGeometry(4, 122, 209, 17);
    title->setAlignment(Qt::AlignCenter);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    auto* note = new QLabel(QStringLiteral("Loading, please wait..."), panel);
    note->setObjectName(QStringLiteral("Label1"));
    note->setGeometry(4, 137, 209, 13);
    note->setAlignment(Qt::AlignCenter);
    QFont small = note->font();
    small.setPixelSize(10);
    note->setFont(small);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm5::setTexts(const QString& title, const QString& note)
{
    if (!title.isEmpty())
        findChild<QLabel*>(QStringLiteral("StaticText1"))->setText(title);
    if (!note.isEmpty())
        findChild<QLabel*>(QStringLiteral("Label1"))->setText(note);
}

} // namespace lumexa
