// What a screen-reader user meets on every screen and dialog of the real application: each
// visible control that takes input (buttons, check boxes, sliders, text and list views, tab bars,
// the on-screen piano and its keys) has a name to be read out and a role that says what it is.
// The walk goes through the accessible tree of every visible window, as assistive technology
// does, and stops at the first control without, naming its class, object name and parents.

#include "../common/main_window_fixture.h"
#include "core/exercise/settings_check.h"
#include "core/settings_store.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "ui/dialogs/help_dialog.h"
#include "ui/dialogs/mail_dialog.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/dialogs/rating_dialog.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/home/home_screen.h"
#include "ui/settings/trainer_settings_page.h"
#include "ui/widgets/fader_widget.h"
#include "ui/widgets/keyboard.h"
#include "ui/window_stack_manager.h"

#include <QAbstractAnimation>
#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QScopeGuard>
#include <QStateMachine>
#include <QToolButton>

namespace {

// Whether the user can act on this node: a control widget, any other widget that takes the
// keyboard focus (item views, text views), or a part drawn inside a widget that acts like a
// control (a piano key, a tab).
bool TakesInput(QAccessibleInterface* node)
{
    auto* widget = qobject_cast<QWidget*>(node->object());
    if (!widget) {
        static const QVector<int> controlRoles{QAccessible::PushButton,     QAccessible::CheckBox,
                                               QAccessible::RadioButton,    QAccessible::ButtonMenu,
                                               QAccessible::ButtonDropDown, QAccessible::PageTab,
                                               QAccessible::Slider,         QAccessible::SpinBox,
                                               QAccessible::ComboBox,       QAccessible::EditableText};
        return !node->object() && controlRoles.contains(int(node->role()));
    }
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
    if (QObject* object = node->object())
        return QStringLiteral("%1 \"%2\"").arg(object->metaObject()->className(), object->objectName());
    return QStringLiteral("part (role 0x%1, \"%2\")")
        .arg(int(node->role()), 0, 16)
        .arg(node->text(QAccessible::Description));
}

// The first visible control under `node` without a name or a role, described with its parents;
// empty when none. `checked` counts the controls looked at.
QString FirstUnnamed(QAccessibleInterface* node, int& checked)
{
    auto* widget = node ? qobject_cast<QWidget*>(node->object()) : nullptr;
    if (!node || (widget ? !widget->isVisible() : node->state().invisible))
        return QString();
    if (TakesInput(node)) {
        ++checked;
        const bool noRole = node->role() == QAccessible::NoRole || node->role() == QAccessible::Client;
        if (noRole || node->text(QAccessible::Name).trimmed().isEmpty()) {
            QStringList path;
            for (QAccessibleInterface* up = node->parent(); up; up = up->parent())
                path.prepend(Describe(up));
            return QStringLiteral("%1 has %2; parents: %3")
                .arg(Describe(node), noRole ? QStringLiteral("no role") : QStringLiteral("no name"),
                     path.join(QStringLiteral(" > ")));
        }
    }
    for (int i = 0; i < node->childCount(); ++i) {
        const QString fault = FirstUnnamed(node->child(i), checked);
        if (!fault.isEmpty())
            return fault;
    }
    return QString();
}

void EveryVisibleControlIsNamed()
{
    int checked = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        const QString fault = FirstUnnamed(QAccessible::queryAccessibleInterface(window), checked);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
    QVERIFY(checked > 0);
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

    Application& app = *Application::instance();
    std::unique_ptr<UI::MainWindow> console;

    // The window and its screens at rest: no fade, no view change under way.
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

    static void ShowFully(UI::BaseDialog* dialog)
    {
        QVERIFY(dialog);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTRY_COMPARE(dialog->opacity(), 1.0);
    }

    // The Custom button, shown when the settings match no level, is read out as "Custom":
    // test_difficulty_level_dialog.
    void ShowDifficultyDialog(int trainer, bool learn)
    {
        QTRY_VERIFY(Settled());
        UI::HomeScreen* home = console->homeScreen();
        const QString button = QStringLiteral("%1%2").arg(learn ? "Learn" : "Quiz").arg(trainer + 1);
        QTest::mouseClick(home->findChild<QPushButton*>(button), Qt::LeftButton);
        ShowFully(home->existingDifficultyDialog(trainer));
    }

    void ShowInLesson(const QString& place, int trainer)
    {
        app.setQuizMode(false);
        console->openExercise(size_t(trainer), false);
        QVERIFY2(WaitForQuestion(*console), "no question was asked");
        UI::ExerciseScreen* screen = console->exerciseScreen();
        if (place == "statistics")
            console->showStatistics();
        else if (place == "reference")
            console->showReference();
        else if (place == "settings")
            console->showSettings();
        else if (place == "paused")
            QTest::keyClick(screen, Qt::Key_Space); // the student pauses the running lesson
        QTRY_VERIFY(Settled());
        if (place == "statistics")
            QCOMPARE(screen->viewMode(), int(UI::ExerciseScreen::StatisticsView));
        else if (place == "reference")
            QCOMPARE(screen->viewMode(), int(UI::ExerciseScreen::ReferenceView));
        else if (place == "settings")
            QTRY_COMPARE(console->stackManager()->top(),
                         static_cast<QWidget*>(console->settingsPage(trainer)));
        else if (place == "paused")
            QTRY_VERIFY(screen->playDialog() && screen->playDialog()->opacity() == 1.0);
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
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
    }
    void cleanup()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != console.get() && window->isVisible())
                window->hide();
        console->endSession();
        console.reset();
    }

    void everyControlIsNamed_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<int>("trainer");
        QTest::newRow("home") << "home" << 0;
        QTest::newRow("difficulty learn") << "difficulty learn" << 0;
        QTest::newRow("difficulty quiz") << "difficulty quiz" << 2;
        for (int trainer = 0; trainer < 3; ++trainer)
            for (const char* place : {"exercise", "statistics", "reference", "settings"})
                QTest::addRow("%s %d", place, trainer) << place << trainer;
        QTest::newRow("paused") << "paused" << 0;
        QTest::newRow("section end") << "section end" << 1;
        for (const char* dialog : {"about", "help", "mail", "rating"})
            QTest::newRow(dialog) << dialog << 0;
    }
    void everyControlIsNamed()
    {
        QFETCH(QString, place);
        QFETCH(int, trainer);
        UI::BaseDialog* card = nullptr;
        if (place.startsWith("difficulty")) {
            ShowDifficultyDialog(trainer, place.endsWith("learn"));
        } else if (place == "about") {
            card = new UI::AboutDialog(console.get());
        } else if (place == "section end") {
            // As a lesson's end brings it (there: test_exercise_screen).
            card = new UI::SectionEndDialog(console.get());
        } else if (place == "help") {
            card = new UI::HelpDialog(console.get());
        } else if (place == "rating") {
            card = new UI::RatingDialog(
                QUrl(QStringLiteral("http://localhost")), [](const QString&) {}, console.get());
        } else if (place == "mail") {
            auto* mail = new UI::MailDialog(console.get());
            mail->setNews(QStringLiteral("Lessons"), QStringLiteral("New pieces in the ear trainer."));
            card = mail;
        } else if (place != "home") {
            ShowInLesson(place, trainer);
        }
        QTRY_VERIFY(Settled());
        if (card)
            ShowFully(card);
        if (QTest::currentTestFailed())
            return;
        if (place != "settings")
            return EveryVisibleControlIsNamed();
        // Every tab of the settings page: the general one and each section's.
        UI::TrainerSettingsPage* page = console->settingsPage(trainer);
        for (int section = -1; section < Core::TrainerSectionCount(trainer) && !QTest::currentTestFailed();
             ++section) {
            page->openTab(section);
            EveryVisibleControlIsNamed();
        }
    }

    // The question pane names what is asked without giving the answer away, then says what was
    // answered (a choice button, a piano key's press action, nothing in time) and the verdict
    // the status shows, with what was asked after a mistake.
    void questionPaneSaysQuestionThenOutcome_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("section"); // its button clicked first
        QTest::addColumn<QString>("answer"); // "button", "key" or "none"
        QTest::addColumn<QString>("question");
        const QString staff = QStringLiteral("^(Treble|Bass) clef, one note$");
        QTest::newRow("note trainer, button") << 0 << 1 << "button" << staff;
        QTest::newRow("note trainer, key") << 0 << 1 << "key" << staff;
        QTest::newRow("note trainer, chord")
            << 0 << 3 << "button" << "^(Treble|Bass) clef, chord of \\w+ notes$";
        QTest::newRow("ear trainer, key") << 1 << 1 << "key" << "^Listen: a note$";
        QTest::newRow("ear trainer, out of time") << 1 << 1 << "none" << "^Listen: a note$";
        QTest::newRow("symbols, button") << 2 << 1 << "button" << "^Music symbol$";
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
        ShowInLesson("exercise", trainer);
        UI::ExerciseScreen* screen = console->exerciseScreen();
        QAccessibleInterface* pane =
            QAccessible::queryAccessibleInterface(screen->findChild<QWidget*>("questionFader"));
        if (section > 1)
            QTest::mouseClick(screen->findChild<QToolButton*>(QStringLiteral("section%1").arg(section)),
                              Qt::LeftButton);
        QTRY_VERIFY2(QRegularExpression(question).match(pane->text(QAccessible::Name)).hasMatch(),
                     qPrintable(pane->text(QAccessible::Name)));
        QVERIFY(WaitForQuestion(*console));
        const QString asked = pane->text(QAccessible::Name);

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
        QTRY_VERIFY_WITH_TIMEOUT(pane->text(QAccessible::Name) != asked, 10000);
        const QString outcome = pane->text(QAccessible::Name);
        const QString status = screen->findChild<QLabel*>("statusLabel")->text();
        const QString said = "^Your answer: " + QRegularExpression::escape(given);
        const QString expected = answer == "none"  ? "^No answer, out of time\\. Asked: \\S"
                                 : status == "Right" ? said + ", right\\.$"
                                                     : said + ", wrong\\. Asked: \\S";
        QVERIFY2(QRegularExpression(expected).match(outcome).hasMatch(),
                 qPrintable(outcome + " / " + status));
        QVERIFY2(!outcome.endsWith("Asked: " + given), qPrintable(outcome));
    }
};

MAIN_WINDOW_TEST_MAIN(TestAccessibility)

#include "test_accessibility.moc"
