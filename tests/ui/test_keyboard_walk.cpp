// The whole program with the keyboard alone, on the real application: on every screen and dialog
// Tab goes round every control that takes the focus and Shift+Tab comes back the same way, the
// focus never leaves the window or lands on something hidden, and the control that has it looks
// different from how it looks without it. The window-wide keys reach the screen they name.

#include "../common/main_window_fixture.h"
#include "core/exercise/settings_check.h"
#include "core/settings_store.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "ui/dialogs/help_dialog.h"
#include "ui/dialogs/key_range_dialog.h"
#include "ui/dialogs/mail_dialog.h"
#include "ui/dialogs/midi_warning_dialog.h"
#include "ui/dialogs/rating_dialog.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/home/home_screen.h"
#include "ui/settings/trainer_settings_page.h"
#include "ui/widgets/fader_widget.h"
#include "ui/widgets/keyboard.h"
#include "ui/window_stack_manager.h"

#include <QAbstractAnimation>
#include <QAbstractSpinBox>
#include <QStateMachine>

namespace {

QString Name(const QWidget* widget)
{
    return widget ? QStringLiteral("%1 \"%2\"").arg(widget->metaObject()->className(), widget->objectName())
                  : QStringLiteral("nothing");
}

// The part of the window around `widget` (a ring may be drawn just outside it).
QImage Look(QWidget* widget)
{
    QWidget* window = widget->window();
    const QRect place(widget->mapTo(window, QPoint(0, 0)), widget->size());
    return window->grab(place.adjusted(-3, -3, 3, 3)).toImage();
}

} // namespace

class TestKeyboardWalk : public QObject
{
    Q_OBJECT

    Application& app = *Application::instance();
    std::unique_ptr<UI::MainWindow> console;

    bool Settled() const
    {
        if (console->fader()->isFading() || !console->stackManager()->top()->isVisible())
            return false;
        if (QStateMachine* views = console->exerciseScreen()->viewMachine())
            for (QAbstractAnimation* animation : views->findChildren<QAbstractAnimation*>())
                if (animation->state() == QAbstractAnimation::Running)
                    return false;
        return true;
    }

    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : QApplication::activeWindow(), Qt::Key(key), modifiers);
    }

    // Where the focus is after a key: on a visible control of the active window, marked.
    static void CheckFocus(QWidget* window, const QString& after)
    {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(focus && focus->isVisible() && focus->window() == window,
                 qPrintable(QStringLiteral("after %1 the focus is on %2").arg(after, Name(focus))));
        const QImage focused = Look(focus);
        focus->clearFocus();
        const QImage plain = Look(focus);
        focus->setFocus(Qt::TabFocusReason);
        QVERIFY2(focused != plain, qPrintable(QStringLiteral("no focus mark on %1").arg(Name(focus))));
    }

    // Tab round the whole chain of the active window, then Shift+Tab back the same way. A control
    // with places of its own (the links of a text) keeps the focus for a few presses.
    static void Walk(QWidget* window)
    {
        QVERIFY(QTest::qWaitForWindowActive(window));
        if (!QApplication::focusWidget() || !(QApplication::focusWidget()->focusPolicy() & Qt::TabFocus))
            Press(Qt::Key_Tab);
        QVector<QWidget*> chain{QApplication::focusWidget()};
        QVERIFY2(chain.first() && chain.first()->window() == window, qPrintable(Name(chain.first())));
        for (int step = 0; step < 300 && !QTest::currentTestFailed(); ++step) {
            Press(Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            if (focus == chain.last())
                continue;
            CheckFocus(window, QStringLiteral("Tab from %1").arg(Name(chain.last())));
            if (focus == chain.first())
                break;
            QVERIFY2(!chain.contains(focus),
                     qPrintable(QStringLiteral("Tab from %1 goes back to %2 (the walk began on %3)")
                                    .arg(Name(chain.last()), Name(focus), Name(chain.first()))));
            chain << focus;
        }
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(QApplication::focusWidget(), chain.first());
        for (QWidget* control : window->findChildren<QWidget*>())
            if (control->isVisible() && control->isEnabled() && control->window() == window &&
                (control->focusPolicy() & Qt::TabFocus) && !control->focusProxy())
                QVERIFY2(chain.contains(control), qPrintable(Name(control) + " cannot be reached with Tab"));
        for (int back = chain.size() - 1; back >= 0; --back) {
            QWidget* from = QApplication::focusWidget();
            for (int step = 0; step < 100 && QApplication::focusWidget() == from; ++step)
                Press(Qt::Key_Tab, Qt::ShiftModifier);
            QCOMPARE(Name(QApplication::focusWidget()), Name(chain[back]));
        }
    }

    // The screen in front, named as the rows name it.
    QString Where() const
    {
        QWidget* top = console->stackManager()->top();
        if (top != console->exerciseScreen())
            return top == console->homeScreen() ? "home" : top == console->settingsPage(1) ? "settings" : "?";
        const int view = console->exerciseScreen()->viewMode();
        return view == UI::ExerciseScreen::ReferenceView    ? "reference"
               : view == UI::ExerciseScreen::StatisticsView ? "statistics"
                                                            : "exercise";
    }

    void Open(int trainer)
    {
        app.setQuizMode(false);
        console->openExercise(size_t(trainer), false);
        QVERIFY2(WaitForQuestion(*console), "no question was asked");
        QTRY_VERIFY(Settled());
    }

private Q_SLOTS:
    void init()
    {
        app.setLastState(Core::LastState());
        Core::GeneralSettings general = app.settings()->generalSettings();
        general.showDifficultyDialog = true;
        general.hideMidiDialog = true;
        general.answerWithGraphicalKeyboard = true;
        general.answerWithMultipleChoice = true;
        app.setGeneralSettings(general);
        console = OpenMainWindow();
        QApplication::setActiveWindow(console.get());
        QVERIFY(QTest::qWaitForWindowActive(console.get()));
        QTRY_VERIFY(Settled());
    }
    void cleanup()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != console.get() && window->isVisible())
                window->hide();
        console->endSession();
        console.reset();
    }

    // Ctrl+1 to Ctrl+4 open the lesson's views where the tool bar shows them; Alt+Left, Backspace
    // and Alt+Home go home, Backspace not from a number field.
    void keysReachTheirScreen_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("screen");
        const int ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
        QTest::newRow("Ctrl+2") << "statistics" << int(Qt::Key_2) << ctrl << "reference";
        QTest::newRow("Ctrl+3") << "reference" << int(Qt::Key_3) << ctrl << "statistics";
        QTest::newRow("Ctrl+4") << "statistics" << int(Qt::Key_4) << ctrl << "settings";
        QTest::newRow("Ctrl+1") << "statistics" << int(Qt::Key_1) << ctrl << "exercise";
        QTest::newRow("Ctrl+2 in a quiz") << "quiz" << int(Qt::Key_2) << ctrl << "exercise";
        QTest::newRow("Ctrl+3 at home") << "home" << int(Qt::Key_3) << ctrl << "home";
        QTest::newRow("Alt+Left") << "statistics" << int(Qt::Key_Left) << alt << "home";
        QTest::newRow("Backspace") << "statistics" << int(Qt::Key_Backspace) << 0 << "home";
        QTest::newRow("Backspace in a number") << "number" << int(Qt::Key_Backspace) << 0 << "settings";
        QTest::newRow("Alt+Home") << "settings" << int(Qt::Key_Home) << alt << "home";
    }
    void keysReachTheirScreen()
    {
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, screen);
        if (start == "quiz") {
            app.setQuizMode(true);
            console->openExercise(1, true);
            QVERIFY2(WaitForQuestion(*console), "no question was asked");
        } else if (start != "home") {
            Open(1);
            Press(start == "reference"    ? Qt::Key_2
                  : start == "statistics" ? Qt::Key_3
                                          : Qt::Key_4,
                  Qt::ControlModifier);
        }
        QTRY_VERIFY(Settled());
        if (start == "number")
            console->settingsPage(1)->findChild<QAbstractSpinBox*>()->setFocus(Qt::TabFocusReason);
        Press(key, Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(Settled());
        QCOMPARE(Where(), screen);
    }

    void everyScreenWalks_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<int>("trainer");
        QTest::newRow("home") << "home" << 0;
        QTest::newRow("paused") << "paused" << 1;
        for (int trainer = 0; trainer < 3; ++trainer)
            for (const char* place : {"exercise", "statistics", "reference", "settings"})
                QTest::addRow("%s %d", place, trainer) << place << trainer;
    }
    void everyScreenWalks()
    {
        QFETCH(QString, place);
        QFETCH(int, trainer);
        if (place != "home") {
            Open(trainer);
            const int key = place == "reference" ? Qt::Key_2 : place == "statistics" ? Qt::Key_3 : Qt::Key_4;
            if (place == "paused")
                Press(Qt::Key_Space);
            else if (place != "exercise")
                Press(key, Qt::ControlModifier);
            QTRY_VERIFY(Settled());
        }
        if (place != "settings")
            return Walk(console.get());
        UI::TrainerSettingsPage* page = console->settingsPage(trainer);
        QTRY_COMPARE(console->stackManager()->top(), static_cast<QWidget*>(page));
        for (int section = -1; section < Core::TrainerSectionCount(trainer) && !QTest::currentTestFailed();
             ++section) {
            page->openTab(section);
            Walk(console.get());
        }
    }

    // Each dialog: the walk, then Escape closes it, or Enter takes its default action.
    void everyDialogWalks_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("key");
        for (const char* dialog :
             {"difficulty", "key range", "section end", "help", "about", "mail", "rating", "midi warning"}) {
            QTest::addRow("%s Escape", dialog) << dialog << int(Qt::Key_Escape);
            QTest::addRow("%s Enter", dialog) << dialog << int(Qt::Key_Return);
        }
    }
    void everyDialogWalks()
    {
        QFETCH(QString, dialog);
        QFETCH(int, key);
        UI::BaseDialog* shown = nullptr;
        if (dialog == "difficulty") {
            Press(Qt::Key_Return); // on the first trainer's Learn, where the window starts
            shown = console->homeScreen()->existingDifficultyDialog(0);
            QVERIFY(shown);
        } else if (dialog == "key range") {
            shown = new UI::KeyRangeDialog(Keyboard::PickKeyMode, 48, 72, console.get());
        } else if (dialog == "section end" || dialog == "help" || dialog == "about") {
            shown = dialog == "help"    ? static_cast<UI::BaseDialog*>(new UI::HelpDialog(console.get()))
                    : dialog == "about" ? static_cast<UI::BaseDialog*>(new UI::AboutDialog(console.get()))
                                        : new UI::SectionEndDialog(console.get());
        } else if (dialog == "mail") {
            auto* mail = new UI::MailDialog(console.get());
            mail->setNews(QStringLiteral("Lessons"), QStringLiteral("New pieces in the ear trainer."));
            shown = mail;
        } else if (dialog == "rating") {
            shown = new UI::RatingDialog(QUrl(QStringLiteral("http://localhost")), nullptr, console.get());
        } else {
            shown = new UI::MidiWarningDialog(console.get());
        }
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QTRY_COMPARE(shown->opacity(), 1.0);
        Walk(shown);
        if (QTest::currentTestFailed())
            return;
        QSignalSpy closed(shown, &UI::BaseDialog::dialogClosed);
        if (dialog == "key range" && key == Qt::Key_Return)
            for (int pointer : {Qt::Key_Right, Qt::Key_Return, Qt::Key_Up})
                Press(pointer); // points at a key and picks it, then points at the last one
        Press(key);
        QTRY_COMPARE(closed.count(), 1);
        if (key == Qt::Key_Escape)
            QCOMPARE(shown->result(), int(QDialog::Rejected));
    }
};

MAIN_WINDOW_TEST_MAIN(TestKeyboardWalk)

#include "test_keyboard_walk.moc"
