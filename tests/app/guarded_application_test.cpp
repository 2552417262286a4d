// An error thrown from an event handler reaches the user through the program's prompts,
// captioned with language string 30, and the program goes on.
#include "app/guarded_application.h"
#include "app/scripted_prompts.h"
#include "app/shared_state.h"
#include "core/base/error.h"

#include <QPushButton>
#include <QTest>

using namespace lumexa;

class GuardedApplicationTest : public QObject
{
    Q_OBJECT
  public:
    GuardedApplicationTest(GuardedApplication& app) : app_(app) {}

  private slots:
    void handlerErrorIsShownWithCaptionThirtyAndTheLoopGoesOn();

  private:
    GuardedApplication& app_;
};

void GuardedApplicationTest::handlerErrorIsShownWithCaptionThirtyAndTheLoopGoesOn()
{
    TForm4 shared;
    shared.languageStrings.LoadLanguage(LUMEXA_BIN "/English.lng");
    ScriptedPrompts prompts;
    app_.showErrorsThrough(prompts, shared);

    QPushButton button(QStringLiteral("Go"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        if (clicks == 1)
            throw CannotWrite("/out/result.tga", "No space left on device");
        throw Error(41, "fallback text");
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));

    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(!shared.text(30).isEmpty());
    QCOMPARE(prompts.messages[0].caption, shared.text(30));
    QCOMPARE(prompts.messages[0].text,
             QStringLiteral("Cannot write file /out/result.tga: No space left on device"));

    // A language string error shows the language's text, and the button still works.
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
    QCOMPARE(prompts.messages.size(), 2);
    QCOMPARE(prompts.messages[1].text, shared.text(41));
}

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    GuardedApplicationTest test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "guarded_application_test.moc"
