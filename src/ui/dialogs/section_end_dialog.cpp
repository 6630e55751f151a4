#include "ui/dialogs/section_end_dialog.h"

#include "ui_section_end_dialog.h"

#include "ui/answer_colours.h"

#include <QKeyEvent>
#include <QPainter>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int countUpInterval = 35;
constexpr int stepSize = 5;
constexpr int lastStep = 100;
// The scale of the bar's counts, so that it grows smoothly during the count-up; the bar divides
// it out again before it prints the counts.
constexpr int barScale = 1000;
constexpr int closeDelay = 300;
constexpr int wellDoneFrom = 90;

const QString homeScreen = QStringLiteral("ex_block_view_control");
const QString exerciseScreen = QStringLiteral("console_exercise_control");
const QString settingsScreenMark = QStringLiteral("settings");

// How the score is shown: the form's properties with the style sheets of the percentage and of
// the background, and the result in words, so that the result does not rest on colour alone.
struct Look
{
    const char* numberStyle;
    const char* background;
    const char* verdict;
};

constexpr Look clearedLook{"RegularNumberStyle", "white", ""};
constexpr Look noAnswersLook{"RegularNumberStyle", "white",
                             QT_TRANSLATE_NOOP("UI::SectionEndDialog", "No answers were given")};
constexpr Look wrongLook{"WrongNumberStyle", "red",
                         QT_TRANSLATE_NOOP("UI::SectionEndDialog", "Keep practising")};
constexpr Look correctLook{"CorrectNumberStyle", "green",
                           QT_TRANSLATE_NOOP("UI::SectionEndDialog", "Well done")};

// The look of a final score of `percentage`, from `answers` given.
const Look& finalLook(int answers, int percentage)
{
    return answers == 0 ? noAnswersLook : percentage < wellDoneFrom ? wrongLook : correctLook;
}

} // namespace

namespace UI {

SectionEndDialog::SectionEndDialog(QWidget* parent)
    : BaseDialog(parent), m_ui(std::make_unique<Ui::ex_section_end_dialog>())
{
    // Connects the buttons' released() to the on_<button>_released() slots by name.
    m_ui->setupUi(this);

    m_animationTimer = new QTimer(this);
    m_animationTimer->setObjectName(QStringLiteral("countUpTimer"));
    m_animationTimer->setInterval(countUpInterval);
    connect(m_animationTimer, &QTimer::timeout, this, &SectionEndDialog::countUpTick);

    m_closeTimer = new QTimer(this);
    m_closeTimer->setObjectName(QStringLiteral("closeTimer"));
    m_closeTimer->setSingleShot(true);
    m_closeTimer->setInterval(closeDelay);
    m_closeTimer->setTimerType(Qt::PreciseTimer);
    connect(m_closeTimer, &QTimer::timeout, this, &BaseDialog::postponedFadeSlot);

    m_ui->progress->setDivisor(barScale);
    clearScore();
}

SectionEndDialog::~SectionEndDialog() = default;

void SectionEndDialog::showForSectionEnd()
{
    m_shown = true;
    m_closeTimer->stop();
    clearScore();
    m_step = 0;
    m_animationTimer->start();
    // A screen reader reads the dialog's name (the score, see setScore) as it opens, then the
    // button in focus.
    m_ui->Continue->setFocus(Qt::OtherFocusReason);
    // A dialog still fading out from an earlier choice starts afresh.
    if (isFadingOut())
        hide();
    show();
    raise();
    activateWindow();
}

void SectionEndDialog::setScore(int wrong, int right)
{
    m_wrong = std::max(wrong, 0);
    m_right = std::max(right, 0);
    m_ui->progress->setValues(0, 0);
    m_ui->progress->setMaximumValue(std::max(m_wrong, m_right) * barScale);
    m_ui->progress->setDivisor(barScale);
    // Read out whole from the start, while the number on the card still counts up.
    const int percentage = scorePercentage();
    const QString verdict = tr(finalLook(m_wrong + m_right, percentage).verdict);
    setAccessibleName(tr("Total score %1%: %2").arg(percentage).arg(verdict));
    setAccessibleDescription(m_right == 1 ? tr("1 right answer, %1 wrong.").arg(m_wrong)
                                          : tr("%1 right answers, %2 wrong.").arg(m_right).arg(m_wrong));
}

void SectionEndDialog::clearScore()
{
    m_scoreShown = false;
    m_ui->progress->setValues(0, 0);
    showPercentage(0);
    applyLook(clearedLook.numberStyle, clearedLook.background, QString());
    m_ui->percentage->setAccessibleName(tr("Total score"));
}

int SectionEndDialog::scorePercentage() const
{
    const int answers = m_wrong + m_right;
    return answers == 0 ? 0 : int(qint64(m_right) * 100 / answers);
}

void SectionEndDialog::showPercentage(int percentage)
{
    m_ui->percentage->setText(tr("%1%").arg(percentage));
}

void SectionEndDialog::applyLook(const char* numberStyle, const char* background, const QString& verdict)
{
    // In the answer palette in force.
    m_ui->percentage->setStyleSheet(AnswerColours::styleSheet(property(numberStyle).toString()));
    m_ui->background->setStyleSheet(AnswerColours::styleSheet(property(background).toString()));
    m_ui->verdict->setText(verdict);
}

void SectionEndDialog::countUpTick()
{
    const int percentage = scorePercentage();
    if (m_step < lastStep) {
        showPercentage(percentage * m_step / lastStep);
        m_ui->progress->setValues(m_wrong * m_step * barScale / lastStep,
                                  m_right * m_step * barScale / lastStep);
        m_step += stepSize;
    }
    if (m_step < lastStep)
        return;

    stopCountUp();
    m_ui->progress->setValues(m_wrong * barScale, m_right * barScale);
    showPercentage(percentage);
    const Look& look = finalLook(m_wrong + m_right, percentage);
    const QString verdict = tr(look.verdict);
    applyLook(look.numberStyle, look.background, verdict);
    m_ui->percentage->setAccessibleName(tr("Total score %1: %2").arg(m_ui->percentage->text(), verdict));
    m_scoreShown = true;
    Q_EMIT sectionEndTimeout();
}

void SectionEndDialog::stopCountUp()
{
    m_animationTimer->stop();
    m_step = 0;
}

bool SectionEndDialog::isLeaving() const
{
    return m_closeTimer->isActive() || isFadingOut();
}

void SectionEndDialog::on_Continue_released()
{
    if (isLeaving())
        return;
    m_shown = false;
    // The lesson is left: a count-up still running would only show numbers on the way out.
    stopCountUp();
    Q_EMIT continueRequested();
    clearScore();
    m_closeTimer->start();
}

void SectionEndDialog::dismiss(bool fade)
{
    m_shown = false;
    stopCountUp();
    m_closeTimer->stop();
    if (!isVisible())
        return;
    if (fade)
        reject();
    else
        hide();
}

void SectionEndDialog::on_Repeat_released()
{
    if (isLeaving())
        return;
    m_shown = false;
    stopCountUp();
    reject();
    Q_EMIT repeatRequested();
}

void SectionEndDialog::on_ReviewStats_released()
{
    if (isLeaving())
        return;
    m_shown = false;
    reject();
    Q_EMIT reviewStatsRequested();
    stopCountUp();
}

void SectionEndDialog::screenChangeSlot(QString current, QString previous)
{
    if (!m_shown)
        return;
    const bool elsewhere = current != homeScreen && current != exerciseScreen;
    const bool settingsNotFromExercise = current.contains(settingsScreenMark) && previous != exerciseScreen;
    if (isVisible()) {
        if (elsewhere || settingsNotFromExercise)
            reject();
    } else if (current == exerciseScreen) {
        show();
        raise();
    }
}

void SectionEndDialog::showEvent(QShowEvent* event)
{
    // The lesson stays in sight under the score, as the student left it.
    m_cover = QPixmap();
    if (QWidget* parent = parentWidget(); parent && parent->isVisible() && !event->spontaneous())
        m_cover =
            parent->window()->grab(QRect(parent->mapTo(parent->window(), QPoint(0, 0)), parent->size()));
    BaseDialog::showEvent(event);
}

void SectionEndDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_cover.isNull() && m_cover.size() / m_cover.devicePixelRatio() == size()) {
        painter.drawPixmap(0, 0, m_cover);
        painter.fillRect(rect(), QColor(12, 16, 26, 170));
        return;
    }
    QLinearGradient backdrop(0, 0, 0, height());
    backdrop.setColorAt(0, QColor(31, 47, 74));
    backdrop.setColorAt(1, QColor(18, 24, 38));
    painter.fillRect(rect(), backdrop);
}

void SectionEndDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel) || event->matches(QKeySequence::Close)) {
        on_Continue_released();
        event->accept();
        return;
    }
    BaseDialog::keyPressEvent(event);
}

} // namespace UI
