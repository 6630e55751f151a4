// The question pane, as a screen reader reads it on the real application: what is asked, without
// giving the answer away, then what was answered (a choice button, a piano key's press action,
// nothing in time) and the verdict the status shows, with what was asked after a mistake. Every
// control's name and role is read on the walk through every screen: test_keyboard_walk.

#include "../common/main_window_fixture.h"
#include "core/settings_store.h"
#include "ui/widgets/fader_widget.h"
#include "ui/widgets/keyboard.h"
#include "ui/window_stack_manager.h"

#include <QAbstractAnimation>
#include <QAccessible>
#include <QLabel>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStateMachine>
#include <QToolButton>

class TestAccessibility : public QObject
{
    Q_OBJECT

    Application& app = *Application::instance();
    std::unique_ptr<UI::MainWindow> console;

private Q_SLOTS:
    void init()
    {
        app.setLastState(Core::LastState());
        Core::GeneralSettings general = app.settings()->generalSettings();
        general.showDifficultyDialog = false;
        general.hideMidiDialog = true;
        general.answerWithGraphicalKeyboard = true;
        general.answerWithMultipleChoice = true;
        app.setGeneralSettings(general);
        console = OpenMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
    }
    void cleanup()
    {
        console->endSession();
        console.reset();
    }

    void questionPaneSaysQuestionThenOutcome_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("section");    // its button clicked first
        QTest::addColumn<QString>("answer"); // "button", "key" or "none"
        QTest::addColumn<QString>("question");
        const QString staff = QStringLiteral("^(Treble|Bass) clef, one note$"), listen = "^Listen: a note$";
        QTest::newRow("note trainer, button") << 0 << 1 << "button" << staff;
        QTest::newRow("note trainer, key") << 0 << 1 << "key" << staff;
        QTest::newRow("note trainer, chord")
            << 0 << 3 << "button" << QString("^(Treble|Bass) clef, chord of \\w+ notes$");
        QTest::newRow("ear trainer, key") << 1 << 1 << "key" << listen;
        QTest::newRow("ear trainer, out of time") << 1 << 1 << "none" << listen;
        QTest::newRow("symbols, button") << 2 << 1 << "button" << QString("^Music symbol$");
    }
    void questionPaneSaysQuestionThenOutcome()
    {
        QFETCH(int, trainer);
        QFETCH(int, section);
        QFETCH(QString, answer);
        QFETCH(QString, question);
        const Core::TrainerSettings kept = app.settings()->currentSettings();
        const auto restore = qScopeGuard([&] { app.settings()->setTrainerSettings(kept); });
        if (answer == "none") {
            Core::TrainerSettings quick = kept;
            quick.earTrainer.singleNotes.duration.seconds = 1;
            app.settings()->setTrainerSettings(quick);
        }
        app.setQuizMode(false);
        console->openExercise(size_t(trainer), false);
        QVERIFY2(WaitForQuestion(*console), "no question was asked");
        QTRY_VERIFY(WindowSettled(*console));
        UI::ExerciseScreen* screen = console->exerciseScreen();
        QAccessibleInterface* pane =
            QAccessible::queryAccessibleInterface(screen->findChild<QWidget*>("questionFader"));
        if (section > 1)
            QTest::mouseClick(screen->findChild<QToolButton*>(QStringLiteral("section%1").arg(section)),
                              Qt::LeftButton);
        // The question as it was said, taken in the same look that saw it: a short question may
        // already have run out of time a moment later.
        const QRegularExpression questionSaid(question);
        QString asked;
        QTRY_VERIFY2(questionSaid.match(asked = pane->text(QAccessible::Name)).hasMatch(), qPrintable(asked));
        QVERIFY(WaitForQuestion(*console));

        QString given;
        if (answer == "button") {
            auto* button = screen->findChild<QToolButton*>("variant1");
            given = button->accessibleName().section(": ", 1);
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (answer == "key") {
            QAccessibleInterface* piano =
                QAccessible::queryAccessibleInterface(screen->findChild<Keyboard*>());
            for (int i = 0; i < piano->childCount() && given.isEmpty(); ++i) {
                QAccessibleInterface* key = piano->child(i);
                if (key->text(QAccessible::Name) == QLatin1String("C4")) {
                    given = QStringLiteral("C4");
                    key->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
                }
            }
        }
        QString outcome;
        QTRY_VERIFY_WITH_TIMEOUT((outcome = pane->text(QAccessible::Name)) != asked && !questionSaid.match(outcome).hasMatch(),
                                 10000);
        const QString status = screen->findChild<QLabel*>("statusLabel")->text();
        const QString said = "^Your answer: " + QRegularExpression::escape(given);
        const QString expected = answer == "none"    ? "^No answer, out of time\\. Asked: \\S"
                                 : status == "Right" ? said + ", right\\.$"
                                                     : said + ", wrong\\. Asked: \\S";
        QVERIFY2(QRegularExpression(expected).match(outcome).hasMatch(),
                 qPrintable(outcome + " / " + status));
        QVERIFY2(!outcome.endsWith("Asked: " + given), qPrintable(outcome));
    }
};

MAIN_WINDOW_TEST_MAIN(TestAccessibility)

#include "test_accessibility.moc"
