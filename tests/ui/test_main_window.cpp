// The main window on the real application: the tool bar that follows the screen in front, the
// resume record across a restart (the settings file in a temporary HOME), a MIDI keyboard
// plugged in during a lesson and while a settings page is open (a port on the test JACK
// server), the tabs while the exercise screen is hidden, and every screen fitting the window at
// the sizes of common screens.

#include "../core/local_http_server.h"
#include "app/application.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/midi/sound_controller.h"
#include "core/services/news_client.h"
#include "core/settings_store.h"
#include "core/timing/time_line.h"
#include "screen_jack_keyboard.h"
#include "ui/device_watcher.h"
#include "ui/dialogs/mail_dialog.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/exercise/exercise_screen.h"
#include "ui/home/home_screen.h"
#include "ui/main_window.h"
#include "ui/save_warning_bar.h"
#include "ui/settings/device_box_view.h"
#include "ui/settings/general_settings_tab.h"
#include "ui/settings/section_settings_tab.h"
#include "ui/settings/trainer_settings_page.h"
#include "ui/widgets/fader_widget.h"
#include "ui/window_stack_manager.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStateMachine>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

QTemporaryDir* home = nullptr;

} // namespace

class TestConsole : public QObject
{
    Q_OBJECT

    Application& app = *Application::instance();
    std::unique_ptr<UI::MainWindow> console;

    UI::MainWindow& Open()
    {
        console = std::make_unique<UI::MainWindow>(app.mainWindowServices());
        console->resize(1366, 768);
        console->show();
        return *console;
    }
    // The window as the program ends it (the session's end; no dialog), then gone.
    void End()
    {
        console->endSession();
        console.reset();
    }
    bool WaitForQuestion(int timeoutMs = 20000)
    {
        return QTest::qWaitFor(
            [&] {
                const Core::LessonSession* session = console->exerciseScreen()->session();
                const Core::LessonSnapshot lesson = session ? session->snapshot() : Core::LessonSnapshot();
                return session && lesson.state == Core::Exercise::AwaitingAnswer &&
                       lesson.playState == Core::LessonBase::Running;
            },
            timeoutMs);
    }
    QStringList VisibleToolButtons() const
    {
        QStringList names;
        for (const char* name : {"Back", "Exercise", "Reference", "Statistics", "Settings", "About", "Help",
                                 "Minimize", "FullScreen", "Exit"})
            if (console->toolButton(name)->isVisible())
                names << QString::fromLatin1(name);
        return names;
    }

private Q_SLOTS:
    void init()
    {
        Core::GeneralSettings general = app.settings()->generalSettings();
        general.showDifficultyDialog = false;
        general.hideMidiDialog = true;
        app.setGeneralSettings(general);
    }
    void cleanup()
    {
        if (console)
            End();
    }

    void toolBarFollowsTheScreen_data()
    {
        QTest::addColumn<int>("place"); // 0 home, 1 learning lesson, 2 quiz, 3 settings of a lesson
        QTest::addColumn<QStringList>("visible");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("exerciseTab");
        const QStringList general{"About", "Help", "Minimize", "FullScreen", "Exit"};
        const QStringList lesson =
            QStringList{"Back", "Exercise", "Reference", "Statistics", "Settings"} + general;
        QStringList quiz = lesson;
        quiz.removeAll("Reference");
        const QString exercise = QStringLiteral("Exercise"), quizTab = QStringLiteral("Quiz");
        QTest::newRow("home") << 0 << general << QStringLiteral("Cantorela") << exercise;
        QTest::newRow("learning") << 1 << lesson << QStringLiteral("Ear Trainer") << exercise;
        QTest::newRow("quiz") << 2 << quiz << QStringLiteral("Ear Trainer quiz") << quizTab;
        QTest::newRow("settings of a quiz") << 3 << quiz << QStringLiteral("Ear Trainer quiz") << quizTab;
    }
    void toolBarFollowsTheScreen()
    {
        QFETCH(int, place);
        QFETCH(QStringList, visible);
        QFETCH(QString, caption);
        QFETCH(QString, exerciseTab);
        UI::MainWindow& window = Open();
        if (place > 0) {
            app.setQuizMode(place >= 2);
            window.openExercise(1, place >= 2);
        }
        if (place == 3)
            window.showSettings();
        QTRY_COMPARE(VisibleToolButtons(), visible);
        QCOMPARE(window.findChild<QLabel*>("Caption")->accessibleName(), caption);
        QCOMPARE(window.toolButton("Exercise")->text(), exerciseTab);
        if (place == 3) {
            auto* page = window.settingsPage(1);
            QTRY_COMPARE(window.stackManager()->top(), static_cast<QWidget*>(page));
            QVERIFY(page->isQuizMode());
        }
    }

    // A learning lesson left in the middle reopens where it was; a quiz or the home screen
    // leaves LastState 3 and the next run starts on the home screen.
    void resumeAfterRestart_data()
    {
        QTest::addColumn<int>("place"); // 0 home, 1 learning lesson, 2 quiz
        QTest::addColumn<int>("lastState");
        QTest::newRow("learning lesson") << 1 << 2;
        QTest::newRow("quiz") << 2 << 3;
        QTest::newRow("home screen") << 0 << 3;
    }
    void resumeAfterRestart()
    {
        QFETCH(int, place);
        QFETCH(int, lastState);
        UI::MainWindow& window = Open();
        int position = -1;
        if (place > 0) {
            app.setQuizMode(place == 2);
            window.openExercise(0, place == 2);
            QVERIFY(WaitForQuestion());
            const Core::LessonSession* session = window.exerciseScreen()->session();
            position = session->snapshot().position.length / 3;
            window.exerciseScreen()->resumeAt(position);
            position = session->snapshot().position.position;
        }
        End();

        // What the next run reads.
        const Core::SettingsStore file;
        QCOMPARE(file.lastState().lastState, lastState);
        if (lastState == 2) {
            QCOMPARE(file.lastState().exerciseId, 0);
            QCOMPARE(file.lastState().exercisePosition, position);
        }

        app.initialize(); // the next run: every store reads its file again
        UI::MainWindow& next = Open();
        QWidget* expected = lastState == 2 ? static_cast<QWidget*>(next.exerciseScreen())
                                           : static_cast<QWidget*>(next.homeScreen());
        QCOMPARE(next.stackManager()->top(), expected);
        if (lastState == 2) {
            const Core::LessonSession* exercise = next.exerciseScreen()->session();
            QVERIFY(exercise);
            QCOMPARE(next.exerciseScreen()->exerciseId(), size_t(0));
            QVERIFY(!next.isQuiz());
            // The lesson goes on from the question after the stored position, in the same section.
            const Core::LessonSnapshot lesson = exercise->snapshot();
            const int now = lesson.position.position;
            const auto segmentAt = [&lesson](int at) {
                int end = 0;
                for (size_t i = 0; i < lesson.segments.size(); ++i)
                    if (at < (end += lesson.segments[i].duration))
                        return int(i);
                return -1;
            };
            QVERIFY2(now >= position && segmentAt(now) == segmentAt(position),
                     qPrintable(QString("at %1, stored %2").arg(now).arg(position)));
            QTRY_VERIFY(next.toolButton("Back")->isVisible());
            // Nobody is there yet: the question waits behind the play card until Play.
            QCOMPARE(exercise->playState(), Core::LessonBase::Paused);
            QTRY_VERIFY(next.exerciseScreen()->playDialog() &&
                        next.exerciseScreen()->playDialog()->isVisible());
            next.exerciseScreen()->play();
            QTRY_COMPARE(exercise->playState(), Core::LessonBase::Running);
        }
    }

    // A data folder that cannot be written (replaced by a file here, as a drive gone) does not
    // end the program when a lesson starts: the window says once where the answers could not be
    // saved, and the warning goes once saving works again.
    void unwritableDataFolderIsSaidNotFatal()
    {
        UI::MainWindow& window = Open();
        const QString folder = Core::ExerciseCatalog::DataDirectory();
        const QString away = folder + QStringLiteral(".away");
        QVERIFY(QDir().rename(folder, away));
        {
            QFile inTheWay(folder);
            QVERIFY(inTheWay.open(QIODevice::WriteOnly));
        }
        app.setQuizMode(false);
        window.openExercise(0, false);
        UI::SaveWarningBar* warning = window.saveWarning();
        QTRY_VERIFY(warning->isVisible());
        QCOMPARE(warning->text(), QString("Your answers could not be saved: the folder %1 cannot be written. "
                                          "They are kept until they can be.")
                                      .arg(folder));
        QVERIFY(WaitForQuestion()); // the lesson goes on

        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().rename(away, folder));
        window.openExercise(0, false); // writes the cleared records
        QTRY_VERIFY(!warning->isVisible());
    }

    // News from the maker's service (a local server here): the mail button shows, the message
    // shows as the plain text it is, and once seen it is not announced again, in the next run too.
    void newsShowOnceAsPlainText()
    {
        LocalHttpServer server;
        HttpReply reply;
        reply.body = "<b>New:</b> scales in <i>every</i> key & more";
        reply.headers.append(qMakePair(QByteArray("NewsID"), QByteArray("7")));
        server.SetReply(reply);
        qputenv("CANTORELA_SERVICES_URL", server.BaseUrl().toString().toUtf8());
        app.initialize();
        qunsetenv("CANTORELA_SERVICES_URL");

        UI::MainWindow& window = Open();
        QTRY_VERIFY_WITH_TIMEOUT(window.toolButton("Mail")->isVisible(), 5000);
        QTest::mouseClick(window.toolButton("Mail"), Qt::LeftButton);
        auto* mail = window.findChild<UI::MailDialog*>();
        QVERIFY(mail && mail->isVisible());
        QCOMPARE(mail->textView()->toPlainText(), QString::fromUtf8(reply.body));
        QCOMPARE(Core::SettingsStore().generalSettings().newsId, 7);
        mail->reject();
        QTRY_VERIFY(!window.toolButton("Mail")->isVisible());
        End();

        // The next run asks only for news newer than the one seen.
        qputenv("CANTORELA_SERVICES_URL", server.BaseUrl().toString().toUtf8());
        app.initialize();
        qunsetenv("CANTORELA_SERVICES_URL");
        const auto newsRequests = [&server] {
            QList<HttpRequest> news;
            for (const HttpRequest& request : server.Requests())
                if (request.path.endsWith(Core::NewsClient::ServicePath))
                    news.append(request);
            return news;
        };
        QTRY_COMPARE(newsRequests().size(), 2);
        QCOMPARE(newsRequests().last().Header("NewsId"), QByteArray("7"));
        QVERIFY(app.newsClient()->WaitForFetch(5000));
        app.initialize(); // no services for the tests after this one
    }

    // A level chosen on the settings page of a lesson is kept at once and is the level of the
    // next run; a changed number of questions reaches the lesson when the student goes back to it.
    void settingsPageAppliesWhenLeft()
    {
        UI::MainWindow& window = Open();
        app.setQuizMode(false);
        const Core::TrainerSettings before = app.settings()->currentSettings();
        window.openExercise(0, false);
        window.showSettings();
        UI::TrainerSettingsPage* page = window.settingsPage(0);
        QTRY_VERIFY(page->isVisible());
        page->openTab(-1);
        auto* level = page->findChild<QPushButton*>(QStringLiteral("Level3"));
        QTest::mouseClick(level, Qt::LeftButton);
        // Kept at once, so that nothing is lost when the program ends on the page.
        QCOMPARE(Core::SettingsStore().difficultyLevel(0), 2);
        auto* questions = page->sectionTab(1)->findChild<QSpinBox*>(QStringLiteral("questionsSpin"));
        page->openTab(1);
        questions->setFocus();
        questions->selectAll();
        QTest::keyClicks(questions, QStringLiteral("4"));
        QTest::keyClick(questions, Qt::Key_Enter);
        QTest::mouseClick(window.toolButton("Exercise"), Qt::LeftButton);
        QCOMPARE(window.stackManager()->top(), static_cast<QWidget*>(window.exerciseScreen()));
        QCOMPARE(window.exerciseScreen()->session()->snapshot().sections.at(1).questionCount, 4);
        QCOMPARE(Core::SettingsStore().difficultyLevel(0), 2);
        app.settings()->setTrainerSettings(before);
    }

    // The statistics tab while a settings page is in front: the exercise screen switches its view
    // before it fades in, without its animation.
    void statisticsTabWhileTheExerciseScreenIsHidden()
    {
        UI::MainWindow& window = Open();
        window.openExercise(0, false);
        window.showSettings();
        QTRY_VERIFY(!window.exerciseScreen()->isVisible());
        QTest::mouseClick(window.toolButton("Statistics"), Qt::LeftButton);
        QCOMPARE(window.exerciseScreen()->viewMode(), int(UI::ExerciseScreen::StatisticsView));
        QCOMPARE(window.stackManager()->top(), static_cast<QWidget*>(window.exerciseScreen()));
        QTRY_VERIFY(window.exerciseScreen()->isVisible());
    }

    // A keyboard plugged in during a lesson: one re-scan finds it, the stored input is selected
    // again, the lesson waits behind the play dialog, and after play the keyboard answers.
    void keyboardPluggedInDuringALesson()
    {
        if (!HaveJack())
            QSKIP("needs the test JACK server");
        UI::MainWindow& window = Open();
        window.openExercise(0, false);
        QVERIFY(WaitForQuestion());
        QSignalSpy changes(&window, &UI::MainWindow::deviceChange);

        auto plugged = std::make_unique<TestKeyboard>("Cantorela Plugged Keyboard");
        TestKeyboard& keyboard = *plugged;
        Core::GeneralSettings general = app.settings()->generalSettings();
        general.inputDevice = keyboard.name;
        app.settings()->setGeneralSettings(general); // stored only: the re-scan selects it
        QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 1, 9000);
        auto controller = app.soundController();
        QVERIFY(controller->CurrentInputDevice());
        QCOMPARE(controller->CurrentInputDevice()->GetPortName(), keyboard.name);
        UI::ExerciseScreen* screen = window.exerciseScreen();
        QCOMPARE(screen->session()->snapshot().playState, Core::LessonBase::Paused);
        QVERIFY(screen->playDialog() && screen->playDialog()->isShown());

        // Two notifications at once lead to one re-scan and one change.
        changes.clear();
        UI::DeviceWatcher::deviceChangeHandler();
        UI::DeviceWatcher::deviceChangeHandler();
        QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 1, 9000);

        screen->play();
        QVERIFY(WaitForQuestion());
        QVERIFY(WaitUntilHeard(keyboard, *controller->CurrentInputDevice()) >= 0);
        const int answered = screen->session()->snapshot().counters.answered;
        keyboard.Send(MidiMessage(0x90, 0, 60, 100));
        keyboard.Send(MidiMessage(0x80, 0, 60, 0));
        QTRY_VERIFY(screen->session()->snapshot().counters.answered > answered);

        // Unplugged during the next question: the lesson waits behind the play dialog and keeps
        // every answer given.
        QVERIFY(WaitForQuestion());
        const int kept = screen->session()->snapshot().counters.answered;
        changes.clear();
        plugged.reset();
        QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 1, 9000);
        QCOMPARE(screen->session()->snapshot().playState, Core::LessonBase::Paused);
        QVERIFY(screen->playDialog()->isShown());
        QCOMPARE(screen->session()->snapshot().counters.answered, kept);
    }

    // Every screen fits the window: no visible control reaches past its window or is smaller than
    // it needs to be.
    void everyScreenFits_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("screen"); // 0 home, 1-3 a lesson of trainer 0-2, 4 a settings page
        for (const QSize size : {QSize(1280, 720), QSize(1366, 768), QSize(1920, 1080)})
            for (int screen = 0; screen <= 4; ++screen)
                QTest::addRow("%dx%d screen %d", size.width(), size.height(), screen) << size << screen;
    }
    void everyScreenFits()
    {
        QFETCH(QSize, size);
        QFETCH(int, screen);
        UI::MainWindow& window = Open();
        window.setMinimumSize(0, 0);
        window.resize(size);
        if (screen >= 1) {
            window.openExercise(size_t(screen == 4 ? 0 : screen - 1), false);
            QVERIFY(WaitForQuestion());
        }
        if (screen == 4)
            window.showSettings();
        QTRY_VERIFY(!window.fader()->isFading());
        QTRY_COMPARE(window.stackManager()->top()->isVisible(), true);
        QCoreApplication::processEvents();
        const QRect bounds = window.rect();
        // What lies in a scroll area is brought into view by scrolling.
        auto scrolled = [&window](const QWidget* widget) {
            for (const QWidget* up = widget->parentWidget(); up && up != &window; up = up->parentWidget())
                if (qobject_cast<const QAbstractScrollArea*>(up))
                    return true;
            return false;
        };
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(&window) || widget->isWindow() || widget->size().isEmpty())
                continue;
            const QRect at(widget->mapTo(&window, QPoint(0, 0)), widget->size());
            const QSize need = widget->minimumSizeHint();
            const QByteArray what = QByteArray(widget->metaObject()->className()) + ' ' +
                                    widget->objectName().toUtf8() +
                                    QString::asprintf(" at %d,%d %dx%d, needs %dx%d", at.x(), at.y(),
                                                      at.width(), at.height(), need.width(), need.height())
                                        .toUtf8();
            QVERIFY2(scrolled(widget) || bounds.contains(at), what.constData());
            if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLabel*>(widget))
                QVERIFY2(widget->width() >= need.width() - 1 && widget->height() >= need.height() - 1,
                         what.constData());
        }
    }

    // A keyboard plugged in and then out while the settings page of a lesson is open: after the
    // re-scan the device box of the General tab lists it and shows it when stepped to, and after
    // the next one it is gone from the list and from the read-out.
    void deviceBoxFollowsAKeyboardOnTheSettingsPage()
    {
        if (!HaveJack())
            QSKIP("needs the test JACK server");
        UI::MainWindow& window = Open();
        app.setQuizMode(false);
        window.openExercise(1, false);
        QVERIFY(WaitForQuestion());
        QTest::mouseClick(window.toolButton("Settings"), Qt::LeftButton);
        UI::TrainerSettingsPage* page = window.settingsPage(1);
        QTRY_COMPARE(window.stackManager()->top(), static_cast<QWidget*>(page));
        QTRY_VERIFY(page->isVisible() && !window.fader()->isFading());
        // The page opens at the lesson's section; the General tab is the first.
        auto* tabs = page->findChild<QTabWidget*>();
        QVERIFY(tabs);
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
        QCOMPARE(tabs->currentWidget(), static_cast<QWidget*>(page->findChild<UI::GeneralSettingsTab*>()));
        auto* box = page->findChild<UI::DeviceBoxView*>();
        auto* readOut = box->findChild<QLabel*>(QStringLiteral("deviceText"));
        auto* down = box->findChild<QToolButton*>(QStringLiteral("nextMidiDeviceDown"));
        QVERIFY(readOut && down);
        QSignalSpy changes(&window, &UI::MainWindow::deviceChange);

        auto plugged = std::make_unique<TestKeyboard>("Cantorela Settings Keyboard");
        const QString name = plugged->name;
        QTRY_VERIFY_WITH_TIMEOUT(box->devices().contains(name), 9000);
        QVERIFY(changes.count() >= 1);
        for (int step = 0; step < box->devices().size() && box->deviceName() != name; ++step) {
            QVERIFY(down->isEnabled() || box->devices().size() == 1);
            QTest::mouseClick(down, Qt::LeftButton);
        }
        QCOMPARE(box->deviceName(), name);
        QCOMPARE(readOut->accessibleName(), QString("Using the %1 keyboard device.").arg(name));

        changes.clear();
        plugged.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!box->devices().contains(name), 9000);
        QVERIFY(changes.count() >= 1);
        QVERIFY(box->deviceName() != name);
        QVERIFY(!readOut->accessibleName().contains(name));
        QCOMPARE(window.stackManager()->top(), static_cast<QWidget*>(page));
    }
};

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    home = &dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
    qunsetenv("CANTORELA_SERVICES_URL");
    Application app(argc, argv);
    app.initialize();
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestConsole test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
