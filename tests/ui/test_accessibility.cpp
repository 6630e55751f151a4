// What a screen-reader user meets on every screen and dialog of the real application: each
// visible control that takes input (buttons, check boxes, sliders, text and list views, tab bars,
// the on-screen piano and its keys) has a name to be read out and a role that says what it is.
// The walk goes through the accessible tree of every visible window, as assistive technology
// does, and stops at the first control without, naming its class, object name and parents.

#include "core/exercise/exercise.h"
#include "ui/about_dialog.h"
#include "ui/application.h"
#include "ui/console.h"
#include "ui/console_exercise_control.h"
#include "ui/controls/block_view_control.h"
#include "ui/controls/keyboard.h"
#include "ui/difficulty_level_dialog.h"
#include "ui/fader_widget.h"
#include "ui/help_dialog.h"
#include "ui/mail_dialog.h"
#include "ui/play_dialog.h"
#include "ui/rating_dialog.h"
#include "ui/section_end_dialog.h"
#include "ui/settings_store.h"
#include "ui/trainer_settings_page.h"
#include "ui/window_stack_manager.h"

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStateMachine>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Whether the user can act on this node: a control widget, any other widget that takes the
// keyboard focus (item views, text views, the piano), or a part drawn inside a widget that acts
// like a control (a piano key, a tab).
bool TakesInput(QAccessibleInterface* node)
{
    if (auto* widget = qobject_cast<QWidget*>(node->object())) {
        if (qobject_cast<QScrollBar*>(widget)) // read out as part of its scroll area
            return false;
        if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QAbstractSlider*>(widget) ||
            qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
            qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QTabBar*>(widget) ||
            qobject_cast<Keyboard*>(widget))
            return true;
        return widget->focusPolicy() != Qt::NoFocus;
    }
    if (node->object())
        return false;
    switch (node->role()) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::PageTab:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
        return true;
    default:
        return false;
    }
}

bool Shown(QAccessibleInterface* node)
{
    if (auto* widget = qobject_cast<QWidget*>(node->object()))
        return widget->isVisible();
    return !node->state().invisible;
}

QString Describe(QAccessibleInterface* node)
{
    if (QObject* object = node->object())
        return QStringLiteral("%1 \"%2\"").arg(object->metaObject()->className(), object->objectName());
    return QStringLiteral("part (role 0x%1, \"%2\")")
        .arg(int(node->role()), 0, 16)
        .arg(node->text(QAccessible::Description));
}

QString PathTo(QAccessibleInterface* node)
{
    QStringList path;
    for (QAccessibleInterface* up = node->parent(); up; up = up->parent())
        path.prepend(Describe(up));
    return path.join(QStringLiteral(" > "));
}

// The first visible control under `node` without a name or a role, described; empty when none.
// `checked` counts the controls looked at.
QString FirstUnnamed(QAccessibleInterface* node, int& checked)
{
    if (!node || !Shown(node))
        return QString();
    if (TakesInput(node)) {
        ++checked;
        const QAccessible::Role role = node->role();
        const bool noRole = role == QAccessible::NoRole || role == QAccessible::Client;
        if (noRole || node->text(QAccessible::Name).trimmed().isEmpty())
            return QStringLiteral("%1 has %2 (role 0x%3); parents: %4")
                .arg(Describe(node), noRole ? QStringLiteral("no role") : QStringLiteral("no name"))
                .arg(int(role), 0, 16)
                .arg(PathTo(node));
    }
    for (int i = 0; i < node->childCount(); ++i) {
        const QString fault = FirstUnnamed(node->child(i), checked);
        if (!fault.isEmpty())
            return fault;
    }
    return QString();
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

    Application& app = *Application::Instance();
    std::unique_ptr<UI::Console> console;

    void General(const std::function<void(Core::GeneralSettings&)>& edit)
    {
        Core::GeneralSettings general = app.GetSettings()->GetGeneralSettings();
        edit(general);
        app.SetGeneralSettings(general);
    }

    // The lesson of `trainer` open in the exercise view, its question asked.
    UI::ConsoleExerciseControl* Lesson(int trainer)
    {
        app.SetQuizMode(false);
        console->OpenExercise(size_t(trainer), false);
        UI::ConsoleExerciseControl* screen = console->GetExerciseScreen();
        const bool asked = QTest::qWaitFor(
            [screen] {
                auto exercise = screen->GetExercise();
                return exercise && exercise->GetState() == Core::Exercise::AwaitingAnswer;
            },
            20000);
        return asked ? screen : nullptr;
    }

    // The window and its screens at rest: no fade, no view change under way.
    bool Settled() const
    {
        if (console->GetFader()->IsFading() || !console->GetStackManager()->Top()->isVisible())
            return false;
        if (QStateMachine* views = console->GetExerciseScreen()->GetViewMachine())
            for (QAbstractAnimation* animation : views->findChildren<QAbstractAnimation*>())
                if (animation->state() == QAbstractAnimation::Running)
                    return false;
        return true;
    }

    template <typename Dialog> static void ShowCard(Dialog* dialog)
    {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTRY_COMPARE(dialog->Opacity(), 1.0);
    }

private Q_SLOTS:
    void init()
    {
        app.SetLastState(Core::LastState()); // every row starts on the home screen
        General([](Core::GeneralSettings& general) {
            general.showDifficultyDialog = true;
            general.hideMidiDialog = true;
            general.answerWithGraphicalKeyboard = true;
            general.answerWithMultipleChoice = true;
        });
        console = std::make_unique<UI::Console>(app);
        console->resize(1366, 768);
        console->show();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
    }
    void cleanup()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != console.get() && window->isVisible())
                window->hide();
        console->EndSession();
        console.reset();
    }

    void everyControlIsNamed_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<int>("trainer");
        QTest::newRow("home") << "home" << 0;
        for (int trainer = 0; trainer < 3; ++trainer) {
            QTest::addRow("difficulty learn %d", trainer) << "difficulty learn" << trainer;
            QTest::addRow("difficulty quiz %d", trainer) << "difficulty quiz" << trainer;
            QTest::addRow("exercise %d", trainer) << "exercise" << trainer;
            QTest::addRow("statistics %d", trainer) << "statistics" << trainer;
            QTest::addRow("reference %d", trainer) << "reference" << trainer;
            QTest::addRow("settings %d", trainer) << "settings" << trainer;
        }
        QTest::newRow("paused") << "paused" << 0;
        QTest::newRow("section end") << "section end" << 1;
        for (const char* dialog : {"about", "help", "mail", "rating"})
            QTest::newRow(dialog) << dialog << 0;
    }
    void everyControlIsNamed()
    {
        QFETCH(QString, place);
        QFETCH(int, trainer);
        UI::BlockViewControl* home = console->GetHomeScreen();

        if (place.startsWith("difficulty")) {
            const bool learn = place.endsWith("learn");
            if (learn) {
                // The user's own settings match no level: the custom row shows.
                app.SetQuizMode(false);
                app.GetSettings()->SetDifficultyLevel(trainer, 0);
                Core::TrainerSettings block = app.GetSettings()->ExerciseSettings();
                if (trainer == 0)
                    block.noteTrainer.chords[Core::ChordSwitch::Diminished] ^= true;
                else if (trainer == 1)
                    block.earTrainer.tempo[Core::TempoSwitch::Vivace] ^= true;
                else
                    block.symbolTrainer.tempo[Core::TempoSwitch::Vivace] ^= true;
                app.SetTrainerSettings(block);
                QCOMPARE(app.GetSettings()->GetDifficultyLevel(trainer), 5);
            }
            QTRY_VERIFY(Settled());
            auto* button = home->findChild<QPushButton*>(
                QStringLiteral("%1%2").arg(learn ? "Learn" : "Quiz").arg(trainer + 1));
            QVERIFY(button);
            QTest::mouseClick(button, Qt::LeftButton);
            UI::DifficultyLevelDialog* dialog = home->GetDifficultyDialog(trainer);
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            QTRY_COMPARE(dialog->Opacity(), 1.0);
            QCOMPARE(dialog->IsQuizForm(), !learn);
            if (learn)
                QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("Custom"))->isVisible());
        } else if (place != "home" && place != "about" && place != "help" && place != "mail" &&
                   place != "rating") {
            UI::ConsoleExerciseControl* screen = Lesson(trainer);
            QVERIFY2(screen, "no question was asked");
            if (place == "statistics")
                console->showStatistics();
            else if (place == "reference")
                console->showReference();
            else if (place == "settings")
                console->showSettings();
            else if (place == "paused")
                QVERIFY(screen->PauseExercise(true, true));
            else if (place == "section end")
                QMetaObject::invokeMethod(screen, "ShowSectionEndDialog");
            QTRY_VERIFY(Settled());
            if (place == "statistics")
                QCOMPARE(screen->GetViewMode(), int(UI::ConsoleExerciseControl::StatisticsView));
            if (place == "reference")
                QCOMPARE(screen->GetViewMode(), int(UI::ConsoleExerciseControl::ReferenceView));
            if (place == "settings")
                QTRY_COMPARE(console->GetStackManager()->Top(),
                             static_cast<QWidget*>(console->GetSettingsPage(trainer)));
            if (place == "paused")
                QTRY_VERIFY(screen->FindPlayDialog() && screen->FindPlayDialog()->Opacity() == 1.0);
            if (place == "section end") {
                QVERIFY(screen->GetSectionEndDialog());
                QVERIFY(QTest::qWaitForWindowExposed(screen->GetSectionEndDialog()));
                QTRY_COMPARE(screen->GetSectionEndDialog()->Opacity(), 1.0);
            }
        } else {
            QTRY_VERIFY(Settled());
            if (place == "about")
                ShowCard(new UI::AboutDialog(console.get()));
            else if (place == "help")
                ShowCard(new UI::HelpDialog(console.get()));
            else if (place == "mail") {
                auto* mail = new UI::MailDialog(console.get());
                mail->SetNews(QStringLiteral("Lessons"), QStringLiteral("New pieces in the ear trainer."));
                ShowCard(mail);
            } else if (place == "rating") {
                ShowCard(new UI::RatingDialog(
                    QUrl(QStringLiteral("http://localhost")), [](const QString&) {}, console.get()));
            }
        }
        if (QTest::currentTestFailed())
            return;

        int checked = 0;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            const QString fault = FirstUnnamed(QAccessible::queryAccessibleInterface(window), checked);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
        QVERIFY(checked > 0);
    }
};

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
    qunsetenv("CANTORELA_SERVICES_URL");
    Application app(argc, argv);
    app.Initialize();
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestAccessibility test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_accessibility.moc"
