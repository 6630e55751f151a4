#pragma once
// The real application for the tests of the main window: its settings and data in a temporary
// folder of the test's own, no news service, 96 dpi; the window opened on the application's
// services as the program opens it.

#include "app/application.h"
#include "core/exercise/exercise.h"
#include "core/exercise/lesson_session.h"
#include "ui/exercise/exercise_screen.h"
#include "ui/main_window.h"
#include "ui/widgets/fader_widget.h"
#include "ui/window_stack_manager.h"

#include <QAbstractAnimation>
#include <QStateMachine>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

inline std::unique_ptr<UI::MainWindow> OpenMainWindow()
{
    auto window = std::make_unique<UI::MainWindow>(Application::instance()->mainWindowServices());
    window->resize(1366, 768);
    window->show();
    return window;
}

// The window and its screens at rest: no fade, no view change under way.
inline bool WindowSettled(const UI::MainWindow& window)
{
    if (window.fader()->isFading() || !window.stackManager()->top()->isVisible())
        return false;
    if (QStateMachine* views = window.exerciseScreen()->viewMachine())
        for (QAbstractAnimation* animation : views->findChildren<QAbstractAnimation*>())
            if (animation->state() == QAbstractAnimation::Running)
                return false;
    return true;
}

// Waits until the lesson on the exercise screen runs and waits for an answer.
inline bool WaitForQuestion(const UI::MainWindow& window, int timeoutMs = 20000)
{
    return QTest::qWaitFor(
        [&] {
            const Core::LessonSession* session = window.exerciseScreen()->session();
            const Core::LessonSnapshot lesson = session ? session->snapshot() : Core::LessonSnapshot();
            return session && lesson.state == Core::Exercise::AwaitingAnswer &&
                   lesson.playState == Core::LessonBase::Running;
        },
        timeoutMs);
}

#define MAIN_WINDOW_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char** argv)                                                               \
    {                                                                                             \
        QTemporaryDir dir;                                                                        \
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());              \
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());                  \
        qunsetenv("CANTORELA_SERVICES_URL");                                                      \
        Application app(argc, argv);                                                              \
        app.initialize();                                                                         \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                  \
        TestObject test;                                                                          \
        return QTest::qExec(&test, argc, argv);                                                   \
    }
