// The main window on the real application: tool bar, resume record, MIDI keyboards, screen fit.

#include "../common/main_window_fixture.h"
#include "../core/local_http_server.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/question_data.h"
#include "core/services/news_client.h"
#include "core/settings_store.h"
#include "screen_jack_keyboard.h"
#include "ui/device_rescanner.h"
#include "ui/dialogs/mail_dialog.h"
#include "ui/dialogs/play_dialog.h"
#include "ui/home/home_screen.h"
#include "ui/save_warning_bar.h"
#include "ui/settings/device_box_view.h"
#include "ui/settings/section_settings_tab.h"
#include "ui/settings/trainer_settings_page.h"
#include "ui/widgets/fader_widget.h"
#include "ui/window_stack_manager.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

class TestConsole : public QObject
{
    Q_OBJECT

    Application& app = *Application::instance();
    std::unique_ptr<UI::MainWindow> console;

    UI::MainWindow& Open()
    {
        console = OpenMainWindow();
        return *console;
    }
    // The window as the program ends it (the session's end; no dialog), then gone.
    void End()
    {
        console->endSession();
        console.reset();
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
        const QStringList quiz = QStringList{"Back", "Exercise", "Statistics", "Settings"} + general;
        QStringList lesson = quiz;
        lesson.insert(2, "Reference");
        QTest::newRow("home") << 0 << general << "Cantorela" << "Exercise";
        QTest::newRow("learning") << 1 << lesson << "Ear Trainer" << "Exercise";
        QTest::newRow("quiz") << 2 << quiz << "Ear Trainer quiz" << "Quiz";
        QTest::newRow("settings of a quiz") << 3 << quiz << "Ear Trainer quiz" << "Quiz";
    }
    void toolBarFollowsTheScreen()
    {
        QFETCH(int, place);
        QFETCH(QStringList, visible);
        UI::MainWindow& window = Open();
        if (place > 0) {
            app.setQuizMode(place >= 2);
            window.openExercise(1, place >= 2);
        }
        if (place == 3)
            window.showSettings();
        QTRY_COMPARE(VisibleToolButtons(), visible);
        QTEST(window.findChild<QLabel*>("Caption")->accessibleName(), "caption");
        QTEST(window.toolButton("Exercise")->text(), "exerciseTab");
        if (place == 3) {
            auto* page = window.settingsPage(1);
            QTRY_COMPARE(window.stackManager()->top(), static_cast<QWidget*>(page));
            QVERIFY(page->isQuizMode());
        }
    }

    // A learning lesson left in the middle reopens where it was; after a quiz the next run starts on
    // the home screen (left from the home screen: test_program_drive.py; the record: test_settings_store).
    void resumeAfterRestart_data()
    {
        QTest::addColumn<int>("place"); // 1 learning lesson, 2 quiz
        QTest::addColumn<int>("lastState");
        QTest::newRow("learning lesson") << 1 << 2;
        QTest::newRow("quiz") << 2 << 3;
    }
    void resumeAfterRestart()
    {
        QFETCH(int, place);
        QFETCH(int, lastState);
        UI::MainWindow& window = Open();
        app.setQuizMode(place == 2);
        window.openExercise(0, place == 2);
        QVERIFY(WaitForQuestion(window));
        const Core::LessonSession* session = window.exerciseScreen()->session();
        window.exerciseScreen()->resumeAt(session->snapshot().position.length / 3);
        const Core::LessonPosition stored = session->snapshot().position;
        End();

        app.initialize(); // the next run: every store reads its file again
        UI::MainWindow& next = Open();
        UI::ExerciseScreen* screen = next.exerciseScreen();
        QCOMPARE(next.stackManager()->top(),
                 lastState == 2 ? static_cast<QWidget*>(screen) : static_cast<QWidget*>(next.homeScreen()));
        if (lastState != 2)
            return;
        QVERIFY(screen->session());
        QCOMPARE(screen->exerciseId(), size_t(0));
        QVERIFY(!next.isQuiz());
        // The lesson goes on from the question after the stored position, in the same section.
        const Core::LessonPosition now = screen->session()->snapshot().position;
        QVERIFY2(now.position >= stored.position && now.segment == stored.segment,
                 qPrintable(QString("at %1, stored %2").arg(now.position).arg(stored.position)));
        QTRY_VERIFY(next.toolButton("Back")->isVisible());
        // Nobody is there yet: the question waits behind the play card until Play.
        QCOMPARE(screen->session()->playState(), Core::LessonBase::Paused);
        QTRY_VERIFY(screen->playDialog() && screen->playDialog()->playButton()->isVisible());
        QTest::mouseClick(screen->playDialog()->playButton(), Qt::LeftButton);
        QTRY_COMPARE(screen->session()->playState(), Core::LessonBase::Running);
    }

    // A data folder that cannot be written (a file here, as a drive gone) is said once, not fatal,
    // and the warning goes once saving works again.
    void unwritableDataFolderIsSaidNotFatal()
    {
        UI::MainWindow& window = Open();
        const QString folder = Core::ExerciseCatalog::DataDirectory();
        const QString away = folder + QStringLiteral(".away");
        QVERIFY(QDir().rename(folder, away));
        QVERIFY(QFile(folder).open(QIODevice::WriteOnly)); // a file in the folder's way
        app.setQuizMode(false);
        window.openExercise(0, false);
        UI::SaveWarningBar* warning = window.saveWarning();
        QTRY_VERIFY(warning->isVisible());
        QVERIFY2(warning->text().contains(folder), qPrintable(warning->text()));
        QVERIFY(WaitForQuestion(window)); // the lesson goes on

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

    // A number of questions changed on a lesson's settings page reaches the lesson when left, which
    // waits behind the play card; left by the statistics tab, the exercise screen switches its view
    // before it fades in. Left unchanged, the lesson keeps its question and the time it has used.
    void settingsPageAppliesWhenLeft_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("questions"); // typed in; 0: nothing changed
        QTest::newRow("exercise") << "Exercise" << int(UI::ExerciseScreen::ExerciseView) << 4;
        QTest::newRow("statistics") << "Statistics" << int(UI::ExerciseScreen::StatisticsView) << 4;
        QTest::newRow("nothing changed") << "Exercise" << int(UI::ExerciseScreen::ExerciseView) << 0;
    }
    void settingsPageAppliesWhenLeft()
    {
        QFETCH(QString, tab);
        UI::MainWindow& window = Open();
        app.setQuizMode(false);
        const Core::TrainerSettings before = app.settings()->currentSettings();
        window.openExercise(0, false);
        QTRY_VERIFY(window.exerciseScreen()->session()->snapshot().isAsking());
        const Core::LessonSnapshot asking = window.exerciseScreen()->session()->snapshot();
        window.showSettings();
        UI::TrainerSettingsPage* page = window.settingsPage(0);
        QTRY_VERIFY(page->isVisible() && !window.exerciseScreen()->isVisible());
        page->openTab(1);
        auto* spin = page->sectionTab(1)->findChild<QSpinBox*>(QStringLiteral("questionsSpin"));
        QFETCH(int, questions);
        if (questions > 0) {
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, QString::number(questions));
            QTest::keyClick(spin, Qt::Key_Enter);
        }
        QTest::mouseClick(window.toolButton(qPrintable(tab)), Qt::LeftButton);
        QTEST(window.exerciseScreen()->viewMode(), "view");
        QCOMPARE(window.stackManager()->top(), static_cast<QWidget*>(window.exerciseScreen()));
        const Core::LessonSnapshot back = window.exerciseScreen()->session()->snapshot();
        if (questions > 0) {
            QCOMPARE(back.sections.at(1).questionCount, questions);
        } else {
            QCOMPARE(back.state, asking.state);
            QCOMPARE(back.counters.asked, asking.counters.asked);
            QVERIFY(back.position.position >= asking.position.position);
        }
        QTRY_VERIFY(window.exerciseScreen()->isVisible());
        // Back in the lesson, the paused lesson says so.
        const UI::PlayDialog* card = window.exerciseScreen()->playDialog();
        QCOMPARE(card && card->isShown(), tab == QLatin1String("Exercise"));
        app.settings()->setTrainerSettings(before);
    }

    // A keyboard plugged in during a lesson is found, selected and waited for behind the play dialog,
    // then answers a chord; unplugged, the lesson waits again and keeps every answer.
    void keyboardPluggedInDuringALesson()
    {
        if (!HaveJack())
            QSKIP("needs the test JACK server");
        UI::MainWindow& window = Open();
        window.openExercise(0, false);
        QVERIFY(WaitForQuestion(window));
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
        UI::DeviceRescanner::deviceChangeHandler();
        UI::DeviceRescanner::deviceChangeHandler();
        QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 1, 9000);

        screen->play();
        auto* chords = screen->findChild<QToolButton*>(QStringLiteral("section3"));
        QTest::mouseClick(chords, Qt::LeftButton, {}, chords->rect().center());
        QVERIFY(WaitForQuestion(window));
        QVERIFY(WaitUntilHeard(keyboard, *controller->CurrentInputDevice()) >= 0);
        QVector<quint8> keys;
        for (const MidiEvent& e : *screen->session()->snapshot().question.AskedItem()->stream)
            if (e.message.IsNoteOn())
                keys.append(e.message.byte1);
        QVERIFY(keys.size() >= 3);
        for (quint8 key : keys) {
            keyboard.Send(MidiMessage(0x90, 0, key, 100));
            keyboard.Send(MidiMessage(0x80, 0, key, 0));
        }
        QTRY_COMPARE(screen->findChild<QLabel*>(QStringLiteral("statusLabel"))->text(),
                     QStringLiteral("Right"));

        // Unplugged during the next question.
        QVERIFY(WaitForQuestion(window));
        const int kept = screen->session()->snapshot().counters.answered;
        changes.clear();
        plugged.reset();
        QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 1, 9000);
        QCOMPARE(screen->session()->snapshot().playState, Core::LessonBase::Paused);
        QVERIFY(screen->playDialog()->isShown());
        QCOMPARE(screen->session()->snapshot().counters.answered, kept);
    }

    // Every screen fits the window, no control cut or too small; on the exercise screen no part
    // overlaps another, the score pane keeps its room and the section buttons stay on their bar.
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
            QVERIFY(WaitForQuestion(window));
        }
        if (screen == 4)
            window.showSettings();
        QTRY_VERIFY(!window.fader()->isFading());
        QTRY_COMPARE(window.stackManager()->top()->isVisible(), true);
        QCoreApplication::processEvents();
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
            QString what; // the widget's class and name, where it is and the size it needs
            QDebug(&what) << widget << at << need;
            QVERIFY2(scrolled(widget) || window.rect().contains(at), qPrintable(what));
            if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLabel*>(widget))
                QVERIFY2(widget->width() >= need.width() - 1 && widget->height() >= need.height() - 1,
                         qPrintable(what));
        }
        if (screen < 1 || screen > 3)
            return;
        UI::ExerciseScreen* lesson = window.exerciseScreen();
        QList<QRect> shown;
        for (const char* name : {"headerBar", "scorePane", "variantBar", "keyboard", "sectionBar"}) {
            const QWidget* part = lesson->findChild<QWidget*>(QLatin1String(name));
            const QRect r(part->mapTo(lesson, QPoint(0, 0)), part->size());
            if (!part->isVisible())
                continue;
            const int room = qstrcmp(name, "scorePane") == 0 ? 200 : part->minimumSizeHint().height();
            QVERIFY2(r.height() >= room, name);
            for (const QRect& other : shown)
                QVERIFY2(!other.intersects(r), name);
            shown.append(r);
        }
        const QWidget* bar = lesson->findChild<QWidget*>(QStringLiteral("sectionButtons"));
        for (const QToolButton* button : bar->findChildren<QToolButton*>())
            QVERIFY(!button->isVisible() || button->geometry().right() < bar->width());
    }

    // A keyboard plugged in and out while a lesson's settings page is open enters and leaves the
    // General tab's device box at each re-scan. (Stepping: test_general_settings_tab.)
    void deviceBoxFollowsAKeyboardOnTheSettingsPage()
    {
        if (!HaveJack())
            QSKIP("needs the test JACK server");
        UI::MainWindow& window = Open();
        app.setQuizMode(false);
        window.openExercise(1, false);
        QVERIFY(WaitForQuestion(window));
        QTest::mouseClick(window.toolButton("Settings"), Qt::LeftButton);
        UI::TrainerSettingsPage* page = window.settingsPage(1);
        QTRY_VERIFY(page->isVisible() && !window.fader()->isFading());
        // The page opens at the lesson's section; the General tab is the first.
        QTabBar* tabs = page->findChild<QTabWidget*>()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        auto* box = page->findChild<UI::DeviceBoxView*>();
        QVERIFY(box->isVisible());

        auto plugged = std::make_unique<TestKeyboard>("Cantorela Settings Keyboard");
        const QString name = plugged->name;
        QTRY_VERIFY_WITH_TIMEOUT(box->devices().contains(name), 9000);
        auto* down = box->findChild<QToolButton*>(QStringLiteral("nextMidiDeviceDown"));
        for (int step = 0; step < box->devices().size() && box->deviceName() != name; ++step)
            QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(box->deviceName(), name);
        plugged.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!box->devices().contains(name), 9000);
        QVERIFY(box->deviceName() != name);
        QCOMPARE(window.stackManager()->top(), static_cast<QWidget*>(page));
    }
};

MAIN_WINDOW_TEST_MAIN(TestConsole)

#include "test_main_window.moc"
