#include "lesson_tabs.h"

#include "album.h"
#include "tour_window.h"

#include "ui/dialogs/section_end_dialog.h"
#include "ui/exercise/reference/reference_book.h"
#include "ui/settings/trainer_settings_page.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <cstdio>

bool LessonTabs::TabMoments(size_t trainer, bool quiz, bool toolBarShots)
{
    const auto tab = [&](void (UI::MainWindow::*open)(), int view, const QString& moment) {
        (window.console.get()->*open)();
        if (!WaitFor([&] { return window.screen->viewMode() == view; }, 5000))
            return window.Fail(qPrintable(moment + QStringLiteral(": the view did not come up")));
        if (!window.Settle(window.screen) || !window.ViewSettled())
            return false;
        UI::SectionEndDialog* dialog = window.screen->sectionEndDialog();
        if (toolBarShots) {
            if (dialog && WaitFor([&] { return ShownStill(dialog); }, 600)) {
                if (!scoreOverTabShown)
                    album.Shot(moment + QStringLiteral(" (the lesson's score stays over it)"));
                scoreOverTabShown = true;
                dialog->hide();
                Pause(100);
            }
            album.Shot(moment);
        } else if (dialog) {
            // No picture of the tab: only the score's fade, in or out, is waited for.
            WaitFor([&] { return !dialog->isVisible() || ShownStill(dialog); }, 1000);
            dialog->hide();
        }
        return true;
    };
    if (!quiz && !tab(&UI::MainWindow::showReference, UI::ExerciseScreen::ReferenceView,
                      QStringLiteral("Tool bar: Reference tab selected")))
        return false;
    if (!quiz && !ReferenceMoments(trainer))
        return false;
    if (!tab(&UI::MainWindow::showStatistics, UI::ExerciseScreen::StatisticsView,
             QStringLiteral("Tool bar: Statistics tab selected")))
        return false;
    if (!quiz && !StatisticsMoments(toolBarShots))
        return false;
    return SettingsMoments(trainer, quiz);
}

bool LessonTabs::SettingsMoments(size_t trainer, bool quiz)
{
    window.console->showSettings();
    UI::TrainerSettingsPage* page = window.console->settingsPage(int(trainer));
    if (!page || !window.Settle(page))
        return window.Fail("the settings page did not come up");
    UI::SectionEndDialog* dialog = window.screen->sectionEndDialog();
    if (dialog && !WaitFor([&] { return !dialog->isVisible(); }, 3000))
        return window.Fail("the lesson's score stayed over the settings page");
    auto* tabs = page->findChild<QTabWidget*>();
    const int count = tabs ? tabs->count() : 1;
    for (int i = 0; i < count; ++i) {
        if (tabs && tabs->currentIndex() != i) {
            QTabBar* bar = tabs->tabBar();
            if (quiz || !bar->isEnabled())
                tabs->setCurrentIndex(i);
            else
                QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(i).center());
            if (!WaitFor([&] { return tabs->currentIndex() == i; }, 2000))
                return window.Fail("a settings tab did not open");
            Pause(80); // the tab lays itself out
        }
        const QString title = tabs ? tabs->tabText(i).remove(QLatin1Char('&')) : QStringLiteral("General");
        album.Shot(quiz ? QStringLiteral("Settings: \"%1\" tab, in a quiz (nothing may change)").arg(title)
                        : QStringLiteral("Settings: \"%1\" tab, in a learning lesson").arg(title));
    }
    window.console->showExercise();
    return window.Settle(window.screen);
}

std::vector<std::pair<int, QToolButton*>> LessonTabs::SectionButtons() const
{
    std::vector<std::pair<int, QToolButton*>> buttons;
    for (int s = 0; s < UI::ExerciseScreen::SectionCount; ++s) {
        auto* button = window.Child<QToolButton>(QStringLiteral("section%1").arg(s + 1));
        if (button && button->isVisible() && button->isEnabled())
            buttons.emplace_back(s, button);
    }
    return buttons;
}

void LessonTabs::ClickButton(QAbstractButton* button) const
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

void LessonTabs::Deliver()
{
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

bool LessonTabs::ReferenceMoments(size_t trainer)
{
    auto* book = window.Child<UI::ReferenceBook>(QStringLiteral("referencePages"));
    auto* title = window.Child<QLabel>(QStringLiteral("referenceTitle"));
    if (!book || !title)
        return window.Fail("the reference view has no pages");
    for (const auto& [section, button] : SectionButtons()) {
        ClickButton(button);
        const QString name = UI::ReferenceBook::pageName(int(trainer), section);
        if (!WaitFor([&] { return book->currentPageName() == name; }, 2000) || !window.ViewSettled())
            return window.Fail(
                qPrintable(QStringLiteral("section button %1 did not show the reference page %2")
                               .arg(section + 1)
                               .arg(name)));
        QString subject = UI::ReferenceBook::pageTitle(int(trainer), section);
        if (title->text() != subject)
            std::fprintf(stderr, "tour %s: the reference page %s is titled \"%s\"\n",
                         qPrintable(window.pass.name), qPrintable(name), qPrintable(title->text()));
        subject.remove(QRegularExpression(QStringLiteral("\\s*Reference$")));
        Deliver();
        album.Shot(QStringLiteral("Reference: %1").arg(subject.isEmpty() ? button->text() : subject));
    }
    return true;
}

bool LessonTabs::StatisticsMoments(bool history)
{
    for (const auto& [section, button] : SectionButtons()) {
        ClickButton(button);
        if (!window.ViewSettled())
            return false;
        const QString name = button->text();
        Deliver();
        album.Shot(window.screen->isExtendedStatistics()
                       ? QStringLiteral("Statistics: %1 (extended page)").arg(name)
                       : QStringLiteral("Statistics: %1").arg(name));
    }
    if (!history)
        return true;
    const auto buttons = SectionButtons();
    auto* toggle = window.Child<QPushButton>(QStringLiteral("viewHistory"));
    if (buttons.empty() || !toggle)
        return window.Fail("the statistics view has no history switch");
    ClickButton(buttons.front().second);
    if (!window.ViewSettled())
        return false;
    ClickButton(toggle);
    if (!WaitFor([&] { return window.screen->session()->isShowingHistory(); }, 2000))
        return window.Fail("\"View History\" did not turn the history on");
    Deliver();
    album.Shot(QStringLiteral("Statistics history: %1").arg(buttons.front().second->text()));
    ClickButton(toggle);
    return WaitFor([&] { return !window.screen->session()->isShowingHistory(); }, 2000) ||
           window.Fail("the history switch did not turn off");
}
