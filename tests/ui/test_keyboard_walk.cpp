// Every screen and dialog of the real application, walked as a student without a mouse or with a
// screen reader walks it: Tab goes round every control that takes the focus and Shift+Tab comes
// back the same way, the focus never leaves the window or lands on something hidden, and the
// focused control looks different; every visible control that takes input has a name and a role
// to be read out. The window-wide keys reach the screen they name.

#include "../common/main_window_fixture.h"
#include "core/exercise/settings_check.h"
#include "core/settings_store.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "ui/dialogs/help_dialog.h"
#include "ui/dialogs/key_range_dialog.h"
#include "ui/dialogs/mail_dialog.h"
#include "ui/dialogs/midi_warning_dialog.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/dialogs/rating_dialog.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/home/home_screen.h"
#include "ui/settings/trainer_settings_page.h"
#include "ui/widgets/fader_widget.h"
#include "ui/widgets/keyboard.h"
#include "ui/window_stack_manager.h"

#include <QAbstractAnimation>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QPushButton>
#include <QScrollBar>
#include <QStateMachine>

#include <algorithm>

namespace {

QString Name(const QObject* object)
{
    return object ? QStringLiteral("%1 \"%2\"").arg(object->metaObject()->className(), object->objectName())
                  : QStringLiteral("nothing");
}

// The part of the window around `widget` (a ring may be drawn just outside it).
QImage Look(QWidget* widget)
{
    QWidget* window = widget->window();
    return window->grab(QRect(widget->mapTo(window, QPoint()), widget->size()).adjusted(-3, -3, 3, 3))
        .toImage();
}

void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : QApplication::activeWindow(), Qt::Key(key), modifiers);
}

// Tab round the whole chain of `window`, each stop visible and marked, then Shift+Tab back the
// same way. A control with places of its own (the links of a text) keeps the focus a few presses.
void Walk(QWidget* window)
{
    QVERIFY(QTest::qWaitForWindowActive(window));
    if (!QApplication::focusWidget() || !(QApplication::focusWidget()->focusPolicy() & Qt::TabFocus))
        Press(Qt::Key_Tab);
    QVector<QWidget*> chain{QApplication::focusWidget()};
    QVERIFY2(chain.first() && chain.first()->window() == window, qPrintable(Name(chain.first())));
    for (int step = 0; step < 300; ++step) {
        Press(Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        if (focus == chain.last())
            continue;
        QVERIFY2(focus && focus->isVisible() && focus->window() == window,
                 qPrintable(QStringLiteral("Tab from %1 goes to %2").arg(Name(chain.last()), Name(focus))));
        const QImage focused = Look(focus);
        focus->clearFocus();
        const QImage plain = Look(focus);
        focus->setFocus(Qt::TabFocusReason);
        QVERIFY2(focused != plain, qPrintable("no focus mark on " + Name(focus)));
        if (focus == chain.first())
            break;
        QVERIFY2(!chain.contains(focus),
                 qPrintable(QStringLiteral("Tab from %1 goes back to %2 (begun on %3)")
                                .arg(Name(chain.last()), Name(focus), Name(chain.first()))));
        chain << focus;
    }
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

// Whether the user can act on this node: a control widget, any other widget that takes the
// focus (item and text views), or a part drawn inside a widget acting as a control (a key, a tab).
bool TakesInput(QAccessibleInterface* node)
{
    auto* widget = qobject_cast<QWidget*>(node->object());
    if (!widget)
        return !node->object() &&
               QVector<QAccessible::Role>{QAccessible::PushButton,     QAccessible::CheckBox,
                                          QAccessible::RadioButton,    QAccessible::ButtonMenu,
                                          QAccessible::ButtonDropDown, QAccessible::PageTab,
                                          QAccessible::Slider,         QAccessible::SpinBox,
                                          QAccessible::ComboBox,       QAccessible::EditableText}
                   .contains(node->role());
    if (qobject_cast<QScrollBar*>(widget)) // read out as part of its scroll area
        return false;
    for (const char* control : {"QAbstractButton", "QAbstractSlider", "QLineEdit", "QComboBox",
                                "QAbstractSpinBox", "QTabBar", "Keyboard"})
        if (widget->inherits(control))
            return true;
    return widget->focusPolicy() != Qt::NoFocus;
}

QString Describe(QAccessibleInterface* node)
{
    return node->object() ? Name(node->object())
                          : QStringLiteral("part (role 0x%1, \"%2\")")
                                .arg(int(node->role()), 0, 16)
                                .arg(node->text(QAccessible::Description));
}

// Adds each visible control under `node` without a name or a role to `faults`; `checked` counts
// the controls looked at.
void FindUnnamed(QAccessibleInterface* node, QStringList& faults, int& checked)
{
    auto* widget = node ? qobject_cast<QWidget*>(node->object()) : nullptr;
    if (!node || (widget ? !widget->isVisible() : node->state().invisible))
        return;
    const bool noRole = node->role() == QAccessible::NoRole || node->role() == QAccessible::Client;
    if (TakesInput(node) && ++checked && (noRole || node->text(QAccessible::Name).trimmed().isEmpty()))
        faults << Describe(node) + (noRole ? " has no role, in " : " has no name, in ") +
                      Describe(node->parent());
    for (int i = 0; i < node->childCount(); ++i)
        FindUnnamed(node->child(i), faults, checked);
}

// Walked with the keyboard, and each visible control of every visible window read out with its
// name and role.
void WalkAndRead(QWidget* window)
{
    Walk(window);
    if (QTest::currentTestFailed())
        return;
    QStringList faults;
    int checked = 0;
    for (QWidget* shown : QApplication::topLevelWidgets())
        if (shown->isVisible())
            FindUnnamed(QAccessible::queryAccessibleInterface(shown), faults, checked);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    QVERIFY(checked > 0);
}

} // namespace

class TestKeyboardWalk : public QObject
{
    Q_OBJECT

    Application& app = *Application::instance();
    std::unique_ptr<UI::MainWindow> console;

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

    // A lesson of `trainer`, on its "statistics", "reference" or settings by their keys, or paused.
    void Open(int trainer, const QString& place = QStringLiteral("exercise"))
    {
        app.setQuizMode(false);
        console->openExercise(size_t(trainer), false);
        QVERIFY2(WaitForQuestion(*console), "no question was asked");
        QTRY_VERIFY(WindowSettled(*console));
        if (place == "paused")
            Press(Qt::Key_Space);
        else if (place != "exercise")
            Press(place == "reference"    ? Qt::Key_2
                  : place == "statistics" ? Qt::Key_3
                                          : Qt::Key_4,
                  Qt::ControlModifier);
        // The key only asks for the view: the walk begins once the view's glide has been and gone.
        QTRY_VERIFY(WindowSettled(*console) && InView(place));
    }
    // Whether the view machine has reached `place`, when it is one of the lesson's views.
    bool InView(const QString& place) const
    {
        if (place != "reference" && place != "statistics")
            return true;
        const QStateMachine* views = console->exerciseScreen()->viewMachine();
        const QSet<QAbstractState*> states = views ? views->configuration() : QSet<QAbstractState*>();
        return std::any_of(states.begin(), states.end(), [&](const QAbstractState* state) {
            return state->objectName().contains(place, Qt::CaseInsensitive); // extendedStatistics too
        });
    }

private Q_SLOTS:
    void init()
    {
        app.setLastState(Core::LastState()); // every row starts on the home screen
        Core::GeneralSettings general = app.settings()->generalSettings();
        general.showDifficultyDialog = true;
        general.hideMidiDialog = true;
        general.answerWithGraphicalKeyboard = true;
        general.answerWithMultipleChoice = true;
        app.setGeneralSettings(general);
        console = OpenMainWindow();
        QApplication::setActiveWindow(console.get());
        QVERIFY(QTest::qWaitForWindowActive(console.get()));
        QTRY_VERIFY(WindowSettled(*console));
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
        QFETCH(int, modifiers);
        if (start == "quiz") {
            app.setQuizMode(true);
            console->openExercise(1, true);
            QVERIFY2(WaitForQuestion(*console), "no question was asked");
            QTRY_VERIFY(WindowSettled(*console));
        } else if (start != "home") {
            Open(1, start);
        }
        if (start == "number") // on the settings page, by Ctrl+4
            console->settingsPage(1)->findChild<QAbstractSpinBox*>()->setFocus(Qt::TabFocusReason);
        QFETCH(int, key);
        Press(key, Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(WindowSettled(*console));
        QTEST(Where(), "screen");
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
        if (place != "home")
            Open(trainer, place);
        if (place == "paused")
            QTRY_VERIFY(console->exerciseScreen()->playDialog() &&
                        console->exerciseScreen()->playDialog()->opacity() == 1.0);
        if (place != "settings")
            return WalkAndRead(console.get());
        UI::TrainerSettingsPage* page = console->settingsPage(trainer);
        QTRY_COMPARE(console->stackManager()->top(), static_cast<QWidget*>(page));
        for (int section = -1; section < Core::TrainerSectionCount(trainer) && !QTest::currentTestFailed();
             ++section) {
            page->openTab(section);
            WalkAndRead(console.get());
        }
    }

    // Each dialog: the walk, then Escape closes it, or Enter takes its default action.
    void everyDialogWalks_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("key");
        for (const char* dialog : {"difficulty", "difficulty quiz", "key range", "section end", "help",
                                   "about", "mail", "rating", "midi warning"}) {
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
        } else if (dialog == "difficulty quiz") {
            QTest::mouseClick(console->homeScreen()->findChild<QPushButton*>("Quiz3"), Qt::LeftButton);
            shown = console->homeScreen()->existingDifficultyDialog(2);
        } else if (dialog == "key range") {
            shown = new UI::KeyRangeDialog(Keyboard::PickKeyMode, 48, 72, console.get());
        } else if (dialog == "mail") {
            auto* mail = new UI::MailDialog(console.get());
            mail->setNews(QStringLiteral("Lessons"), QStringLiteral("New pieces in the ear trainer."));
            shown = mail;
        } else if (dialog == "rating") {
            shown = new UI::RatingDialog(QUrl(QStringLiteral("http://localhost")), nullptr, console.get());
        } else {
            shown = dialog == "help"    ? static_cast<UI::BaseDialog*>(new UI::HelpDialog(console.get()))
                    : dialog == "about" ? static_cast<UI::BaseDialog*>(new UI::AboutDialog(console.get()))
                    : dialog == "midi warning"
                        ? static_cast<UI::BaseDialog*>(new UI::MidiWarningDialog(console.get()))
                        : new UI::SectionEndDialog(console.get());
        }
        QVERIFY(shown);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QTRY_COMPARE(shown->opacity(), 1.0);
        WalkAndRead(shown);
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
