// The Qt dialogs behind the prompts, driven by the mouse and keys: every button of a
// question has an Alt key of its own in English and in Polish (Qt's own "Discard" has
// none), and the file dialog shows its names in a column wide enough to read and hands
// back the file type the user chose.
#include "app/user_prompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>

#include <functional>

using namespace lumexa;

namespace
{

// Runs `inside` on the modal window once it shows.
void WhenShown(const std::function<void(QWidget*)>& inside)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, inside] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        inside(modal);
    });
    poll->start(5);
}

// The Alt key of a caption, or a null character.
QChar Mnemonic(const QString& text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return text.at(i + 1).toLower();
        ++i;
    }
    return {};
}

} // namespace

class UserPromptsTest : public QObject
{
    Q_OBJECT
  private slots:
    void saveQuestionButtonsHaveAltKeys_data();
    void saveQuestionButtonsHaveAltKeys();
    void fileDialogHandsBackTheChosenTypeAndShowsNames();
};

void UserPromptsTest::saveQuestionButtonsHaveAltKeys_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("English") << QString();
    QTest::newRow("Polish") << QStringLiteral("pl");
}

void UserPromptsTest::saveQuestionButtonsHaveAltKeys()
{
    QFETCH(QString, locale);
    QTranslator translator;
    if (!locale.isEmpty()) {
        QVERIFY(translator.load(QStringLiteral("qtbase_") + locale,
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&translator);
    }
    QWidget parent;
    QtUserPrompts prompts(&parent);
    QStringList captions;
    WhenShown([&](QWidget* box) {
        for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
            if (b->isVisible())
                captions << b->text();
        auto* message = qobject_cast<QMessageBox*>(box);
        // The answer is clicked; a box that did not close is left by Escape.
        if (message && message->button(QMessageBox::Discard))
            QTest::mouseClick(message->button(QMessageBox::Discard), Qt::LeftButton);
        if (box->isVisible())
            QTest::keyClick(box, Qt::Key_Escape);
    });
    const SaveAnswer answer = prompts.askSaveChanges(QStringLiteral("Lumexa"), QStringLiteral("?"));
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(captions.size(), 3);
    QStringList keys;
    for (const QString& c : captions) {
        const QChar key = Mnemonic(c);
        QVERIFY2(!key.isNull(), qPrintable(c));
        QVERIFY2(!keys.contains(key), qPrintable(captions.join(u',')));
        keys << key;
    }
    QCOMPARE(answer, SaveAnswer::Discard);
}

void UserPromptsTest::fileDialogHandsBackTheChosenTypeAndShowsNames()
{
    QTemporaryDir folder;
    QWidget parent;
    QtUserPrompts prompts(&parent);
    FileRequest request;
    request.title = QStringLiteral("Open LED file");
    request.folder = folder.path();
    request.filters = {QStringLiteral("PNG file (*.png)"), QStringLiteral("Targa file (*.tga)"),
                       QStringLiteral("All files (*)")};
    request.selectedFilter = 0;
    int nameColumn = 0;
    int dialogWidth = 0;
    WhenShown([&](QWidget* dialog) {
        dialogWidth = dialog->width();
        if (auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView")))
            nameColumn = view->header()->sectionSize(0);
        // The file type box: one step down chooses Targa; Escape leaves the dialog.
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QApplication::setActiveWindow(dialog);
        if (!QTest::qWaitForWindowActive(dialog))
            qWarning("the dialog did not become active");
        if (types) {
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);
        }
        QTest::keyClick(dialog, Qt::Key_Escape);
        if (dialog->isVisible())
            qobject_cast<QDialog*>(dialog)->reject();
    });
    const std::optional<QString> file = prompts.chooseFileToOpen(request);
    QVERIFY(!file);
    QCOMPARE(request.selectedFilter, 1);
    QVERIFY2(nameColumn >= dialogWidth / 3,
             qPrintable(QStringLiteral("%1 of %2").arg(nameColumn).arg(dialogWidth)));
}

QTEST_MAIN(UserPromptsTest)
#include "user_prompts_test.moc"
