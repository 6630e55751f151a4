// The main window's tool bar: the caption of the place in front, the view tabs of a lesson and
// the machine that shows them, and the look of the full-screen button.

#include "ui/main_window.h"

#include "ui/exercise/exercise_screen.h"
#include "ui/home/home_screen.h"

#include "ui_main_window.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QState>
#include <QStateMachine>
#include <QToolButton>
#include <QtMath>

namespace UI {
namespace {

const char* TrainerPlace(size_t exerciseId, bool quiz)
{
    static const char* const places[3][2] = {{"noteTrainer", "noteTrainerQuiz"},
                                             {"earTrainer", "earTrainerQuiz"},
                                             {"symbolTrainer", "symbolTrainerQuiz"}};
    return exerciseId < 3 ? places[exerciseId][quiz ? 1 : 0] : "home";
}

// The caption's text begins after the note mark that its style sheet lays under the label's first
// pixels. In a quiz the badge follows the text, this far after it, its word this far from its
// ends.
constexpr int captionIndent = 31, badgeGap = 9, badgePadding = 7;

// What the caption of a place reads as (its accessible name); each is a whole text of its own for
// the translators. Without `quiz`, the trainer's name alone, which the caption shows before its
// badge.
QString PlaceName(const char* place, bool quiz)
{
    const QByteArray key(place);
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
    QLabel* caption = m_ui->Caption;
    QLabel* badge = m_ui->captionBadge;
    const bool quiz = QByteArray(place).endsWith("Quiz");
    // The style sheet gives the fonts. Unhinted, as in the program's pictures, the words keep
    // their shapes and their fractional widths, which place the badge.
    for (QLabel* label : {caption, badge}) {
        QFont font = label->font();
        font.setHintingPreference(QFont::PreferNoHinting);
        label->setFont(font);
        label->ensurePolished();
    }
    const auto advance = [](const QLabel* label, const QString& text) {
        return qCeil(QFontMetricsF(label->font()).horizontalAdvance(text));
    };
    const QString name = PlaceName(place, false);
    badge->setGeometry(captionIndent + advance(caption, name) + badgeGap, (caption->height() - badge->height()) / 2,
                       advance(badge, badge->text()) + 2 * badgePadding, badge->height());
    badge->setVisible(quiz);
    // The label's contents leave room for the mark and the badge: it grows with a long name.
    caption->setContentsMargins(captionIndent, 0, quiz ? badgeGap + badge->width() : 0, 0);
    caption->setText(name);
    caption->setAccessibleName(PlaceName(place, quiz));
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
