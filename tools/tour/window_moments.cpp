#include "window_moments.h"

#include "album.h"
#include "tour_window.h"

#include "app/application.h"
#include "core/exercise/exercise_catalog.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "ui/dialogs/help_dialog.h"
#include "ui/dialogs/mail_dialog.h"
#include "ui/dialogs/rating_dialog.h"
#include "ui/home/home_screen.h"
#include "ui/save_warning_bar.h"

#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <algorithm>

namespace {

// A news message as the maker's news service sends one: a title and a few paragraphs.
const char* const NewsTitle = "Spring update: chord symbols and a calmer ear trainer";
const char* const NewsText =
    "Dear students and teachers,\n\n"
    "thank you for practising with Cantorela this winter. This update brings chord symbols to the "
    "note trainer's quiz: after a few chords on the staff you are now asked to name them as a "
    "lead sheet writes them (C, Am, G7).\n\n"
    "The ear trainer plays its intervals and chords a little more slowly at the first two levels, "
    "and it repeats a question when you press the space bar before answering.\n\n"
    "Teachers asked us for a way to follow a class: the statistics of every trainer can now be "
    "printed from the Statistics tab, with the notes and symbols that went wrong most often at the "
    "top of the list.\n\n"
    "As always, we would be glad to hear what you think. Happy practising!\n"
    "— The Cantorela team";

} // namespace

void WindowMoments::SaveWarningMoments()
{
    UI::SaveWarningBar* bar = window.console->saveWarning();
    const QString folder = Core::ExerciseCatalog::DataDirectory();
    bar->setSaveState(false, Core::DataFile::Problem::DiskFull, folder, QString());
    Pause(100); // laid out under the tool bar
    album.Shot(QStringLiteral("Answers not saved: the disk is full"));
    bar->setSaveState(false, Core::DataFile::Problem::NotWritable, folder, QString());
    Pause(100);
    album.Shot(QStringLiteral("Answers not saved: the data folder cannot be written"));
    bar->setSaveState(true, Core::DataFile::Problem::None, folder, QString());
    Pause(100);
}

bool WindowMoments::DifficultyMoments()
{
    UI::HomeScreen* home = window.console->homeScreen();
    album.Place("home", "Main window");
    const struct
    {
        const char* button;
        int trainer;
        const char* moment;
    } forms[] = {{"Learn1", 0, "Difficulty dialog, learn form with the custom row (Note trainer)"},
                 {"Quiz2", 1, "Difficulty dialog, quiz form (Ear trainer)"}};
    for (const auto& form : forms) {
        auto* button = home->findChild<QPushButton*>(QLatin1String(form.button));
        if (!button)
            return window.Fail("a block's button is missing");
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
        UI::DifficultyLevelDialog* dialog = nullptr;
        WaitFor([&] { return (dialog = home->existingDifficultyDialog(form.trainer)) != nullptr; }, 3000);
        if (!dialog || !window.ShowDialog(dialog, "difficulty dialog"))
            return false;
        album.Shot(QLatin1String(form.moment));
        if (!window.CloseDialog(dialog, "difficulty dialog"))
            return false;
    }
    app.setQuizMode(false);
    return true;
}

bool WindowMoments::DialogMoments()
{
    album.Place("window", "Main window");
    window.console->showAbout();
    auto* about = window.console->findChild<UI::AboutDialog*>();
    if (!about || !window.ShowDialog(about, "about dialog"))
        return window.Fail("no about dialog");
    album.Shot(QStringLiteral("About dialog"));
    if (!window.CloseDialog(about, "about dialog"))
        return false;

    window.console->showHelp();
    UI::HelpDialog* help = nullptr;
    WaitFor([&] { return (help = window.console->findChild<UI::HelpDialog*>()) != nullptr; }, 3000);
    if (!help || !window.ShowDialog(help, "help dialog"))
        return window.Fail("no help dialog");
    album.Shot(QStringLiteral("Help dialog (the guide built into the program)"));
    if (!window.CloseDialog(help, "help dialog"))
        return false;

    auto* mail = new UI::MailDialog(window.console.get());
    mail->setNews(QString::fromUtf8(NewsTitle), QString::fromUtf8(NewsText));
    mail->show();
    if (!window.ShowDialog(mail, "news dialog"))
        return false;
    album.Shot(QStringLiteral("News dialog with a message of four paragraphs"));
    if (!window.CloseDialog(mail, "news dialog"))
        return false;
    delete mail;

    // On leaving, the window asks for a rating now and then (over itself, as it is seen here).
    auto* rating = new UI::RatingDialog(
        QUrl(), [](const QString&) {}, window.console.get());
    rating->show();
    if (!window.ShowDialog(rating, "rating dialog"))
        return false;
    album.Shot(QStringLiteral("Rating dialog asked on leaving"));
    if (!window.CloseDialog(rating, "rating dialog"))
        return false;
    delete rating;
    return true;
}

bool WindowMoments::FullScreenMoment()
{
    album.Place("window", "Main window");
    QWidget* bar = window.console->findChild<QWidget*>(QStringLiteral("toolBar"));
    window.console->showFullScreen();
    if (!WaitFor([&] { return window.console->isFullScreen(); }, 3000) ||
        !window.Settle(window.console->homeScreen()))
        return window.Fail("no full screen");
    window.console->repaint();
    const QImage full = album.Capture();
    // The window buttons' part: from the first of them to the right end.
    QToolButton* first = window.console->toolButton("Help");
    const int from = first ? first->mapTo(window.console.get(), QPoint(0, 0)).x() - 16 : 0;
    window.console->showNormal();
    window.console->setFixedSize(window.pass.width, window.pass.height);
    if (!WaitFor(
            [&] { return !window.console->isFullScreen() && window.console->width() == window.pass.width; },
            3000) ||
        !window.Settle(window.console->homeScreen()))
        return window.Fail("the window did not come back from full screen");
    QImage picture = album.Capture();
    const int ratio = window.pass.ratio;
    const int width = std::min(full.width(), full.width() - std::max(0, from) * ratio);
    const int height = (bar ? bar->height() : 56) * ratio;
    QPainter painter(&picture);
    painter.drawImage(QPoint(picture.width() - width, 0), full.copy(full.width() - width, 0, width, height));
    painter.end();
    album.Save(picture, QStringLiteral("Tool bar in full screen (its right end as shown full screen)"));
    return true;
}
