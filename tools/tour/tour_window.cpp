#include "tour_window.h"

#include "ui/dialogs/base_dialog.h"
#include "ui/widgets/fader_widget.h"
#include "ui/window_stack_manager.h"

#include <QAbstractAnimation>
#include <QPropertyAnimation>
#include <QStateMachine>
#include <QtTest>

#include <cstdio>

namespace {

bool FadeRunning(const UI::BaseDialog* dialog)
{
    return dialog->fadeAnimation() && dialog->fadeAnimation()->state() == QAbstractAnimation::Running;
}

} // namespace

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

void Pause(int ms)
{
    QTest::qWait(ms);
}

bool ShownStill(const UI::BaseDialog* dialog)
{
    return dialog && dialog->isVisible() && !FadeRunning(dialog) && !dialog->isFadingOut();
}

TourWindow::~TourWindow()
{
    if (console) {
        console->exerciseScreen()->closeExercise();
        console.reset();
    }
}

bool TourWindow::NothingFades() const
{
    for (const UI::FaderWidget* fader : console->findChildren<UI::FaderWidget*>())
        if (fader->isFading())
            return false;
    return true;
}

bool TourWindow::Settle(QWidget* front)
{
    const bool settled = WaitFor(
        [&] {
            return console->stackManager()->top() == front && front->isVisible() &&
                   console->fader()->content() == front && NothingFades();
        },
        8000);
    if (!settled)
        return Fail(qPrintable(QStringLiteral("the screen %1 did not settle").arg(front->objectName())));
    Pause(150); // the views inside a screen slide for a moment after its fade
    return true;
}

void TourWindow::WaitForFades() const
{
    Pause(150); // the screen hears of a new question after the lesson asked it
    WaitFor([&] { return NothingFades(); }, 3000);
}

bool TourWindow::ViewSettled()
{
    QStateMachine* machine = screen->viewMachine();
    if (!machine)
        return true;
    const QString expected =
        screen->viewMode() == UI::ExerciseScreen::ReferenceView    ? QStringLiteral("reference")
        : screen->viewMode() != UI::ExerciseScreen::StatisticsView ? QStringLiteral("exercise")
        : screen->isExtendedStatistics()                           ? QStringLiteral("extendedStatistics")
                                                                   : QStringLiteral("statistics");
    const auto settled = [&] {
        bool there = false;
        for (const QAbstractState* state : machine->configuration())
            there = there || state->objectName() == expected;
        if (!there)
            return false;
        for (const QAbstractAnimation* animation : machine->findChildren<QAbstractAnimation*>())
            if (animation->state() == QAbstractAnimation::Running)
                return false;
        return true;
    };
    if (!WaitFor(settled, 3000))
        return Fail(qPrintable(QStringLiteral("the view machine did not come to rest in %1").arg(expected)));
    return true;
}

bool TourWindow::ShowDialog(UI::BaseDialog* dialog, const char* what)
{
    if (!WaitFor([&] { return ShownStill(dialog); }, 5000))
        return Fail(qPrintable(QStringLiteral("the %1 did not come up").arg(QLatin1String(what))));
    return true;
}

bool TourWindow::CloseDialog(UI::BaseDialog* dialog, const char* what)
{
    QTest::keyClick(dialog, Qt::Key_Escape);
    if (!WaitFor([&] { return !dialog->isVisible(); }, 5000))
        return Fail(qPrintable(QStringLiteral("the %1 did not close").arg(QLatin1String(what))));
    return true;
}

bool TourWindow::Fail(const char* what) const
{
    std::fprintf(stderr, "tour %s: %s\n", qPrintable(pass.name), what);
    return false;
}
