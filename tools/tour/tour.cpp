#include "tour.h"

#include "tour_lessons.h"

#include "app/application.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "core/settings_store.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/dialogs/splash_dialog.h"
#include "ui/home/home_screen.h"

#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <cstdio>
#include <cstdlib>

Tour::Tour(Application& app, const Pass& pass, const QString& folder)
    : app(app), window(pass), album(window, folder), student(window, album), tabs(window, album),
      moments(app, window, album), features(app, window, album)
{
}

bool Tour::Run()
{
    if (!Start())
        return false;
    // A look at one group of moments alone (CANTORELA_TOUR_ONLY=insight) while working on it.
    const QString only = qEnvironmentVariable("CANTORELA_TOUR_ONLY");
    if (!only.isEmpty())
        return features.Run(only) && album.WriteIndex();
    album.Place("home", "Main window");
    album.Shot(QStringLiteral("Home screen of a fresh data folder"));
    AddProgress();
    for (bool quizLesson : {false, true})
        for (size_t t = 0; t < 3; ++t) {
            if (!Lesson(t, quizLesson))
                return false;
            // The tool bar's tabs are pictured in the first trainer; the reference and
            // statistics pages of every section in each learning lesson.
            if (!(t == 0 || !quizLesson ? tabs.TabMoments(trainer, quiz, t == 0)
                                        : tabs.SettingsMoments(trainer, quiz)))
                return false;
            // Once, the lesson's end is left with the tool bar's Back button instead of
            // "Continue"; the next lesson shows what that leaves behind.
            if (!GoHome(t == 2 && !quizLesson))
                return false;
        }
    album.Place("home", "Main window");
    album.Shot(QStringLiteral("Home screen with progress in all three trainers"));
    moments.SaveWarningMoments();
    // The lessons of their own come last, so that the pictures before them keep their numbers.
    return moments.DifficultyMoments() && moments.DialogMoments() && moments.FullScreenMoment() &&
           features.Run() && album.WriteIndex();
}

bool Tour::Start()
{
    auto splash = std::make_unique<UI::SplashDialog>();
    splash->setStatus(Application::tr("Starting the sound and looking for MIDI keyboards…"));
    splash->show();
    if (!QTest::qWaitForWindowExposed(splash.get()))
        return window.Fail("the splash is not exposed");
    app.initialize([&splash](const QString& step) { splash->setStatus(step); });
    splash->setStatus(Application::tr("Preparing the trainers…"));
    album.Place("start", "Start");
    album.ShotOfDesktop(*splash,
                        QStringLiteral("Splash while the trainers are prepared (centred on the desktop)"));

    Core::SettingsStore* store = app.settings();
    Core::GeneralSettings general = store->generalSettings();
    general.answerWithGraphicalKeyboard = true;
    general.answerWithMultipleChoice = true;
    general.hideMidiDialog = false;
    general.showDifficultyDialog = true;
    app.setGeneralSettings(general);
    // The tour's lessons in both blocks: the exercise block then matches no preset, so the
    // learn form of the difficulty dialog shows its custom row.
    for (bool quizBlock : {true, false}) {
        app.setQuizMode(quizBlock);
        Core::TrainerSettings block = store->currentSettings();
        TourLessons(block, quizBlock);
        app.setTrainerSettings(block);
    }
    app.setQuizMode(false);

    window.console = std::make_unique<UI::MainWindow>(app.mainWindowServices());
    app.setMainWindow(window.console.get());
    window.screen = window.console->exerciseScreen();
    window.console->setFixedSize(window.pass.width, window.pass.height);
    window.console->show();
    splash->hide();
    splash.reset();
    window.console->activateWindow();
    if (!QTest::qWaitForWindowExposed(window.console.get()))
        return window.Fail("the main window is not exposed");
    return window.Settle(window.console->homeScreen());
}

void Tour::AddProgress()
{
    const auto statistics = app.exerciseCatalog()->GetStatistics();
    // {trainer, sections with records, items per section, right, wrong per item}
    const int plan[3][4] = {{5, 6, 14, 2}, {3, 5, 6, 3}, {2, 4, 9, 1}};
    for (int trainer = 0; trainer < 3; ++trainer)
        for (int section = 0; section < plan[trainer][0]; ++section)
            for (int item = 0; item < plan[trainer][1]; ++item) {
                Core::StatisticsRecord record;
                record.exId = trainer;
                record.section = section;
                record.id = trainer == 0 && section == 0 ? 34 + 2 * item : item;
                record.correct = plan[trainer][2] + (item * 3) % 5;
                record.wrong = plan[trainer][3] + (item + section) % 3;
                statistics->Add(record);
            }
    statistics->Save();
}

bool Tour::Lesson(size_t trainerId, bool quizMode)
{
    trainer = trainerId;
    quiz = quizMode;
    LessonPlace();
    app.setQuizMode(quiz);
    std::srand(14u + unsigned(trainer) + (quiz ? 3u : 0u));
    window.console->openExercise(trainer, quiz);
    if (leftWithBack && !AfterBack())
        return false;
    if (!window.screen->session()) {
        std::fprintf(stderr, "tour: no lesson of trainer %zu\n", trainer);
        return false;
    }
    return student.Lesson(trainer, quiz);
}

void Tour::LessonPlace()
{
    album.Place(QStringLiteral("%1-%2").arg(QLatin1String(TrainerSlug(trainer)), quiz ? "quiz" : "learn"),
                QStringLiteral("%1 · %2").arg(QLatin1String(TrainerName(trainer)), quiz ? "quiz" : "learn"));
}

bool Tour::GoHome(bool withBack)
{
    UI::SectionEndDialog* dialog = window.screen->sectionEndDialog();
    WaitFor([&] { return dialog && ShownStill(dialog); }, 1500);
    if (withBack) {
        QToolButton* back = window.console->toolButton("Back");
        QTest::mouseClick(back, Qt::LeftButton, Qt::NoModifier, back->rect().center());
        if (!window.Settle(window.console->homeScreen()))
            return false;
        album.Place("home", "Main window");
        album.Shot(QStringLiteral("Home after Back was pressed at a lesson's end"));
        leftWithBack = true;
        return true;
    }
    if (dialog && dialog->isVisible()) {
        auto* next = dialog->findChild<QPushButton*>(QStringLiteral("Continue"));
        QTest::mouseClick(next, Qt::LeftButton, Qt::NoModifier, next->rect().center());
    } else {
        window.console->navigateHome();
    }
    return window.Settle(window.console->homeScreen());
}

bool Tour::AfterBack()
{
    leftWithBack = false;
    UI::SectionEndDialog* dialog = window.screen->sectionEndDialog();
    if (!window.Settle(window.screen))
        return false;
    const bool back = WaitFor([&] { return dialog && ShownStill(dialog); }, 1200);
    album.Shot(back ? QStringLiteral("Lesson opened after Back: the last lesson's score is shown again")
                    : QStringLiteral("Lesson opened after Back"));
    if (!back)
        return true;
    std::fprintf(stderr, "tour %s: the section end dialog of the last lesson came back over %s\n",
                 qPrintable(window.pass.name), TrainerName(trainer));
    auto* next = dialog->findChild<QPushButton*>(QStringLiteral("Continue"));
    QTest::mouseClick(next, Qt::LeftButton, Qt::NoModifier, next->rect().center());
    if (!window.Settle(window.console->homeScreen()))
        return false;
    window.console->openExercise(trainer, quiz);
    return window.screen->session() != nullptr;
}
