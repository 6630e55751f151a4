#include "ui/home/home_screen.h"

#include "ui/widgets/base_control.h"

#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "ui/widgets/progress.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "core/settings_store.h"
#include "ui_home_screen.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimerEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// The block geometry, in pixels of the small background picture (1000 wide); the big picture
// shows the same scene, so the same places scaled by its width.
constexpr double designWidth = 1000;
constexpr double blockLeft[] = {50, 360, 670};
constexpr double blockTop = 142;
constexpr double blockWidth = 280;
constexpr double blockBottom = 451;
constexpr double blockRadius = 14;
// Inside a block, from its top left corner.
constexpr double textInset = 12;
constexpr double titleTop = 28, titleHeight = 42;
constexpr double accentTop = 74, accentHeight = 2.5;
constexpr double descriptionTop = 86, descriptionHeight = 24;
constexpr double buttonTop = 150, buttonHeight = 44, buttonWidth = 115;
constexpr double learnLeft = 20, quizLeft = 145;
constexpr double captionTop = 218, captionHeight = 20;
constexpr double barTop = 245, barLeft = 20, barWidth = 240, barHeight = 24;
// The soft shading along the top and bottom edges of a block, and how far it reaches in.
constexpr int topShadeAlpha = 200, bottomShadeAlpha = 180;
constexpr double topShadeDepth = 130, bottomShadeDepth = 140;
// Type sizes at design scale.
constexpr double titlePixels = 27, descriptionPixels = 14.5, captionPixels = 12, buttonPixels = 17,
                 barPixels = 14;
// The bar's pictures are drawn at most this much taller than they are, so they stay crisp.
constexpr double barMaximumHeight = 30;

// The lesson's sections whose history makes up a trainer's progress.
constexpr int sectionCount = 5;

// The blocks' area; it must show whole, even where the background is cut to fill the screen.
const QRectF blockArea(blockLeft[0], blockTop, blockLeft[2] + blockWidth - blockLeft[0],
                       blockBottom - blockTop);

constexpr int rescaleDelay = 120;

// The ratio of what is really painted on: a widget's backing store, or the picture that
// QWidget::render() redirects the painting to.
double targetRatio(QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = engine && engine->paintDevice() ? engine->paintDevice() : painter.device();
    return device->devicePixelRatioF();
}

QFont sizedFont(QFont font, double pixels, bool bold)
{
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

// The largest font up to `pixels` in which `text` fits in `width`.
QFont fittingFont(const QFont& base, double pixels, const QString& text, double width)
{
    QFont font = sizedFont(base, pixels, false);
    while (font.pixelSize() > 8 && QFontMetricsF(font).horizontalAdvance(text) > width)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

} // namespace

namespace UI {

HomeScreen::HomeScreen(std::shared_ptr<Core::ExerciseCatalog> catalog, Core::SettingsStore* settings,
                       std::function<void(bool)> setQuizMode, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::HomeScreen>()), m_catalog(std::move(catalog)),
      m_settings(settings), m_setQuizMode(std::move(setQuizMode))
{
    // Connects the buttons' clicked() to the on_<button>_clicked() slots by name.
    m_ui->setupUi(this);
    m_blocks[0] = {
        m_ui->Title1, m_ui->Description1, m_ui->Caption1, m_ui->Learn1, m_ui->Quiz1, m_ui->Progress1, {}};
    m_blocks[1] = {
        m_ui->Title2, m_ui->Description2, m_ui->Caption2, m_ui->Learn2, m_ui->Quiz2, m_ui->Progress2, {}};
    m_blocks[2] = {
        m_ui->Title3, m_ui->Description3, m_ui->Caption3, m_ui->Learn3, m_ui->Quiz3, m_ui->Progress3, {}};

    const QScreen* screen = QGuiApplication::primaryScreen();
    m_backgroundName = backgroundFor(screen ? screen->geometry().height() : 0);
    loadBackground(devicePixelRatioF());
    updateLayout();
}

HomeScreen::~HomeScreen() = default;

QString HomeScreen::backgroundFor(int screenHeight)
{
    return screenHeight > BigBackgroundAbove ? QStringLiteral(":/PIX/pixmap/main_bg_big.png")
                                             : QStringLiteral(":/PIX/pixmap/main_bg.png");
}

void HomeScreen::markForRefresh()
{
    m_refresh = true;
}

void HomeScreen::setVisible(bool visible)
{
    refreshProgress();
    QWidget::setVisible(visible);
}

DifficultyLevelDialog* HomeScreen::existingDifficultyDialog(int trainer) const
{
    return trainer >= 0 && trainer < TrainerCount ? m_dialogs[std::size_t(trainer)] : nullptr;
}

void HomeScreen::on_Learn1_clicked()
{
    startLearning(0);
}

void HomeScreen::on_Learn2_clicked()
{
    startLearning(1);
}

void HomeScreen::on_Learn3_clicked()
{
    startLearning(2);
}

void HomeScreen::on_Quiz1_clicked()
{
    startQuiz(0);
}

void HomeScreen::on_Quiz2_clicked()
{
    startQuiz(1);
}

void HomeScreen::on_Quiz3_clicked()
{
    startQuiz(2);
}

void HomeScreen::beginExerciseOrQuiz()
{
    Q_EMIT openExercise(m_chosenTrainer, m_chosenQuizMode);
}

void HomeScreen::difficultyDialogClosing() {}

void HomeScreen::startLearning(std::size_t trainer)
{
    if (m_setQuizMode)
        m_setQuizMode(false);
    m_chosenTrainer = trainer;
    m_chosenQuizMode = false;
    if (!m_settings->generalSettings().showDifficultyDialog)
        Q_EMIT openExercise(trainer, false);
    else
        difficultyDialog(trainer)->showForLearn(trainer);
}

void HomeScreen::startQuiz(std::size_t trainer)
{
    if (m_setQuizMode)
        m_setQuizMode(true);
    m_chosenTrainer = trainer;
    m_chosenQuizMode = true;
    difficultyDialog(trainer)->showForQuiz(trainer);
}

DifficultyLevelDialog* HomeScreen::difficultyDialog(std::size_t trainer)
{
    DifficultyLevelDialog*& dialog = m_dialogs[trainer];
    if (!dialog) {
        dialog = new DifficultyLevelDialog(m_settings, this);
        dialog->setObjectName(QStringLiteral("difficultyDialog%1").arg(trainer + 1));
        connect(dialog, &BaseDialog::dialogClosed, this, &HomeScreen::difficultyDialogClosing);
        connect(dialog, &DifficultyLevelDialog::playRequested, this, &HomeScreen::beginExerciseOrQuiz);
    }
    return dialog;
}

void HomeScreen::refreshProgress()
{
    if (!m_refresh)
        return;
    m_refresh = false;
    const std::shared_ptr<Core::ExerciseStatistics> statistics =
        m_catalog ? m_catalog->GetStatistics() : nullptr;
    std::vector<Core::StatisticsRecord> records;
    for (std::size_t trainer = 0; trainer < m_blocks.size(); ++trainer) {
        qint64 right = 0, wrong = 0;
        for (int section = 0; statistics && section < sectionCount; ++section) {
            records.clear();
            statistics->GetHistorySectionRecords(qint32(trainer), section, records);
            for (const Core::StatisticsRecord& record : records) {
                right += std::max(record.correct, 0);
                wrong += std::max(record.wrong, 0);
            }
        }
        constexpr qint64 largest = std::numeric_limits<int>::max();
        m_blocks[trainer].progress->setValues(int(std::min(wrong, largest)), int(std::min(right, largest)));
    }
}

void HomeScreen::loadBackground(double ratio)
{
    m_background = QPixmap::fromImage(BaseControl::loadPicture(m_backgroundName, ratio));
    m_pictureRatio = m_background.devicePixelRatio();
    m_scaledBackground = QPixmap();
}

void HomeScreen::updateLayout()
{
    const QSizeF picture = m_background.isNull()
                               ? QSizeF(designWidth, designWidth * 0.62)
                               : QSizeF(m_background.size()) / m_background.devicePixelRatio();
    const double width = std::max(1, this->width()), height = std::max(1, this->height());

    // The background fills the screen; what does not fit is cut evenly on both sides.
    const double cover = std::max(width / picture.width(), height / picture.height());
    m_backgroundTarget =
        QRectF((width - picture.width() * cover) / 2, (height - picture.height() * cover) / 2,
               picture.width() * cover, picture.height() * cover);

    // The blocks sit at their places on the picture; where the cut would clip them (a window
    // much taller than wide), they are scaled to fit and centred instead.
    double scale = cover * picture.width() / designWidth;
    QPointF origin = m_backgroundTarget.topLeft();
    const QRectF placed(origin + blockArea.topLeft() * scale, blockArea.size() * scale);
    if (!QRectF(0, 0, width, height).contains(placed)) {
        scale = std::min(width * 0.94 / blockArea.width(), height * 0.9 / blockArea.height());
        origin = QPointF(width / 2, height / 2) - blockArea.center() * scale;
    }
    const auto at = [&](double x, double y, double w, double h) {
        return QRectF(origin.x() + x * scale, origin.y() + y * scale, w * scale, h * scale);
    };

    const QFont base = font();
    const QFont titleFont = sizedFont(base, titlePixels * scale, true);
    const QFont buttonFont = sizedFont(base, buttonPixels * scale, true);
    const double shownBarHeight = std::min(barHeight * scale, barMaximumHeight);
    for (std::size_t trainer = 0; trainer < m_blocks.size(); ++trainer) {
        Block& block = m_blocks[trainer];
        const double left = blockLeft[trainer];
        block.frame = at(left, blockTop, blockWidth, blockBottom - blockTop);
        const QRectF title =
            at(left + textInset, blockTop + titleTop, blockWidth - 2 * textInset, titleHeight);
        const QRectF description =
            at(left + textInset, blockTop + descriptionTop, blockWidth - 2 * textInset, descriptionHeight);
        block.title->setFont(titleFont);
        block.title->setGeometry(title.toRect());
        block.description->setFont(
            fittingFont(base, descriptionPixels * scale, block.description->text(), description.width()));
        block.description->setGeometry(description.toRect());
        const QRectF caption = at(left + barLeft, blockTop + captionTop, barWidth, captionHeight);
        block.caption->setFont(
            fittingFont(base, captionPixels * scale, block.caption->text(), caption.width()));
        block.caption->setGeometry(caption.toRect());
        block.learn->setFont(buttonFont);
        block.learn->setGeometry(
            at(left + learnLeft, blockTop + buttonTop, buttonWidth, buttonHeight).toRect());
        block.quiz->setFont(buttonFont);
        block.quiz->setGeometry(
            at(left + quizLeft, blockTop + buttonTop, buttonWidth, buttonHeight).toRect());
        QRectF bar = at(left + barLeft, blockTop + barTop, barWidth, barHeight);
        bar.adjust(0, (bar.height() - shownBarHeight) / 2, 0, -(bar.height() - shownBarHeight) / 2);
        block.progress->setFont(sizedFont(base, barPixels * scale, true));
        block.progress->setGeometry(bar.toRect());
    }
    m_blockScale = scale;
}

void HomeScreen::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateLayout();
    // Smooth scaling of the picture waits until the size settles; until then it is drawn
    // scaled on the fly.
    m_scaledBackground = QPixmap();
    m_rescaleTimer.start(rescaleDelay, this);
}

void HomeScreen::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_rescaleTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_rescaleTimer.stop();
    update();
}

void HomeScreen::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double ratio = targetRatio(painter);
    if ((ratio > 1.0 ? 2.0 : 1.0) != m_pictureRatio)
        loadBackground(ratio);

    painter.fillRect(rect(), QColor(18, 24, 38));
    if (!m_background.isNull()) {
        const QSize pixels = (m_backgroundTarget.size() * ratio).toSize();
        if (!m_rescaleTimer.isActive() &&
            (m_scaledBackground.isNull() || m_scaledBackground.size() != pixels)) {
            m_scaledBackground =
                m_background.scaled(pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
            m_scaledBackground.setDevicePixelRatio(ratio);
        }
        if (!m_scaledBackground.isNull() && m_scaledBackground.size() == pixels) {
            painter.drawPixmap(m_backgroundTarget.topLeft(), m_scaledBackground);
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(m_backgroundTarget, m_background, QRectF(QPointF(0, 0), m_background.size()));
        }
    }

    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = m_blockScale;
    for (const Block& block : m_blocks) {
        const QRectF& frame = block.frame;
        QPainterPath card;
        card.addRoundedRect(frame, blockRadius * scale, blockRadius * scale);
        painter.fillPath(card, QColor(0, 0, 0, 60));

        QLinearGradient top(frame.topLeft(), frame.topLeft() + QPointF(0, topShadeDepth * scale));
        top.setColorAt(0, QColor(0, 0, 0, topShadeAlpha));
        top.setColorAt(1, QColor(0, 0, 0, 0));
        painter.fillPath(card, top);
        QLinearGradient bottom(frame.bottomLeft(), frame.bottomLeft() - QPointF(0, bottomShadeDepth * scale));
        bottom.setColorAt(0, QColor(0, 0, 0, bottomShadeAlpha));
        bottom.setColorAt(1, QColor(0, 0, 0, 0));
        painter.fillPath(card, bottom);

        painter.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(card);
        // An accent under the title.
        const double accentWidth = frame.width() * 0.18;
        const QRectF accent(frame.center().x() - accentWidth / 2, frame.top() + accentTop * scale,
                            accentWidth, std::max(2.0, accentHeight * scale));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(245, 154, 35));
        painter.drawRoundedRect(accent, accent.height() / 2, accent.height() / 2);
    }
}

} // namespace UI
