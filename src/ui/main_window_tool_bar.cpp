// The main window's tool bar: the caption of the place in front, the view tabs of a lesson and
// the machine that shows them, and the look of the full-screen button.

#include "ui/main_window.h"

#include "ui/exercise/exercise_screen.h"
#include "ui/home/home_screen.h"

#include "ui_main_window.h"

#include <QState>
#include <QStateMachine>
#include <QToolButton>

namespace UI {
namespace {

const char* TrainerPlace(size_t exerciseId, bool quiz)
{
    static const char* const places[3][2] = {{"noteTrainer", "noteTrainerQuiz"},
                                             {"earTrainer", "earTrainerQuiz"},
                                             {"symbolTrainer", "symbolTrainerQuiz"}};
    return exerciseId < 3 ? places[exerciseId][quiz ? 1 : 0] : "home";
}

// What the caption of a place reads as; each is a whole text of its own for the translators.
QString PlaceName(const char* place)
{
    const QByteArray key(place);
    const bool quiz = key.endsWith("Quiz");
    if (key.startsWith("note"))
        return quiz ? MainWindow::tr("Note Trainer quiz") : MainWindow::tr("Note Trainer");
    if (key.startsWith("ear"))
        return quiz ? MainWindow::tr("Ear Trainer quiz") : MainWindow::tr("Ear Trainer");
    if (key.startsWith("symbol"))
        return quiz ? MainWindow::tr("Music Symbols quiz") : MainWindow::tr("Music Symbols");
    return QStringLiteral("Cantorela"); // the program's name, the same in every language
}

} // namespace

void MainWindow::updateNavigation(QWidget* widget)
{
    // A machine that has been started but not yet run would miss the transition: it starts in
    // the state of the screen in front instead.
    if (m_navigation && !m_navigation->isRunning())
        m_navigation->setInitialState(widget == m_homeScreen ? m_homeState : m_exerciseState);
    if (widget == m_homeScreen) {
        Q_EMIT toHomeTransition();
        setCaption("home");
    } else if (widget == m_exerciseScreen) {
        Q_EMIT toExerciseTransition();
        applyExerciseTabs();
        setCaption(TrainerPlace(m_exerciseScreen->exerciseId(), m_quiz));
    }
}

void MainWindow::applyExerciseTabs()
{
    m_ui->Reference->setVisible(!m_quiz && m_navigation &&
                                m_navigation->configuration().contains(m_exerciseState));
    m_ui->Exercise->setText(m_quiz ? tr("Quiz") : tr("Exercise"));
    m_ui->Exercise->setAccessibleName(m_ui->Exercise->text());
}

void MainWindow::setCaption(const char* place)
{
    m_ui->Caption->setStyleSheet(property(place).toString());
    m_ui->Caption->setAccessibleName(PlaceName(place));
}

void MainWindow::markTab(QToolButton* tab)
{
    const QString selected = property("selectedStyle").toString();
    const QString unselected = property("unselectedStyle").toString();
    for (QToolButton* each : {m_ui->Exercise, m_ui->Reference, m_ui->Statistics, m_ui->Settings})
        each->setStyleSheet(each == tab ? selected : unselected);
}

void MainWindow::setupNavigation(int startState)
{
    if (m_navigation)
        return;
    m_navigation = new QStateMachine(this);
    m_homeState = new QState(m_navigation);
    m_exerciseState = new QState(m_navigation);
    m_homeState->addTransition(this, &MainWindow::toExerciseTransition, m_exerciseState);
    m_exerciseState->addTransition(this, &MainWindow::toHomeTransition, m_homeState);

    const QString selected = property("selectedStyle").toString();
    const QString unselected = property("unselectedStyle").toString();
    // The back button and the view tabs belong to a lesson; the home screen shows the general
    // buttons only (the news button shows itself when there is news).
    for (QToolButton* lessonButton :
         {m_ui->Back, m_ui->Exercise, m_ui->Reference, m_ui->Statistics, m_ui->Settings}) {
        m_homeState->assignProperty(lessonButton, "visible", false);
        m_exerciseState->assignProperty(lessonButton, "visible", true);
    }
    m_exerciseState->assignProperty(m_ui->Exercise, "styleSheet", selected);
    for (QToolButton* tab : {m_ui->Reference, m_ui->Statistics, m_ui->Settings})
        m_exerciseState->assignProperty(tab, "styleSheet", unselected);
    // A quiz has no reference: the tab goes as soon as the state has shown it.
    connect(m_exerciseState, &QState::propertiesAssigned, this, &MainWindow::applyExerciseTabs);

    m_navigation->setInitialState(startState == ExerciseStart ? m_exerciseState : m_homeState);
    m_navigation->start();
}

void MainWindow::setFullScreenLook(bool fullScreen)
{
    if (m_fullScreenLook == int(fullScreen))
        return;
    m_fullScreenLook = int(fullScreen);
    m_ui->FullScreen->setStyleSheet(
        property(fullScreen ? "fullScreenStyle" : "notFullScreenStyle").toString());
    m_ui->FullScreen->setAccessibleName(fullScreen ? tr("Leave full screen") : tr("Full screen"));
}

} // namespace UI
