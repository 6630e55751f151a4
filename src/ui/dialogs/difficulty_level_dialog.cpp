#include "ui/dialogs/difficulty_level_dialog.h"

#include "ui/interface_fonts.h"
#include "ui/widgets/base_control.h"
#include "core/settings_store.h"
#include "ui_difficulty_level_dialog.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int customLevel = 5;
// How dark the screen under the card is drawn.
constexpr int dimAlpha = 170;
// The card's shadow: rings of this alpha, this many pixels wide, dropped this far.
constexpr int shadowAlpha = 10, shadowSteps = 14;
constexpr double shadowDrop = 6, cardRadius = 16;

} // namespace

namespace UI {

DifficultyLevelDialog::DifficultyLevelDialog(Core::SettingsStore* settings, QWidget* parent)
    : BaseDialog(parent), m_ui(std::make_unique<Ui::ex_difficulty_level_dialog>()), m_settings(settings)
{
    // Connects the buttons' clicked() and released() to the on_<button>_<signal>() slots by name.
    m_ui->setupUi(this);
    const auto levels = levelButtons();
    for (std::size_t level = 0; level < levels.size(); ++level)
        levels[level]->setIcon(DifficultyLevelDialog::levelIcon(int(level)));
}

DifficultyLevelDialog::~DifficultyLevelDialog() = default;

QIcon DifficultyLevelDialog::levelIcon(int level)
{
    //: The word over the level number on the difficulty buttons; short, upper case.
    const QString word = tr("LEVEL");
    // The picture (panel, number and bars) at its logical size and its "@2x" twin, each with the
    // word written into the band left free above the number, in Lato as the picture's own text:
    // QIcon picks the picture by the painter's ratio, so a screen at ratio 2 draws them sharp.
    const QString picture = QStringLiteral(":/pixmap/btn_reset_%1_normal.png").arg(level + 1);
    QIcon icon;
    for (const int ratio : {1, 2}) {
        QPixmap pixmap(ratio == 1 ? picture : BaseControl::highDensityPath(picture));
        if (pixmap.isNull())
            continue;
        pixmap.setDevicePixelRatio(ratio);
        const QSizeF size = QSizeF(pixmap.size()) / ratio;
        QPainter painter(&pixmap);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        QFont font(InterfaceFonts::familyName());
        font.setPixelSize(qRound(size.height() * 0.15));
        font.setWeight(QFont::Bold);
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setStyleStrategy(QFont::PreferAntialias);
        painter.setFont(font);
        painter.setPen(Qt::white);
        // The band over the number: the panel's width, a fifth of the height, 7 pixels down.
        painter.drawText(QRectF(1, 7, size.width() - 2, size.height() * 0.2), Qt::AlignCenter, word);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void DifficultyLevelDialog::showForLearn(std::size_t trainer)
{
    m_trainer = trainer;
    m_quizForm = false;
    m_ui->DoNotShow->setChecked(false);
    m_ui->DoNotShow->setVisible(true);
    showForm();
}

void DifficultyLevelDialog::showForQuiz(std::size_t trainer)
{
    m_trainer = trainer;
    m_quizForm = true;
    m_ui->DoNotShow->setChecked(false);
    m_ui->DoNotShow->setVisible(false);
    showForm();
}

void DifficultyLevelDialog::showForm()
{
    refresh();
    // A dialog still fading out from an earlier choice starts afresh.
    if (isFadingOut())
        hide();
    show();
    raise();
    activateWindow();
    // The keyboard starts on the level the settings are at, when they are at one.
    const int level = m_quizForm ? 0 : m_settings->difficultyLevel(int(m_trainer));
    const auto levels = levelButtons();
    QPushButton* focus = level < customLevel ? levels[std::size_t(level)] : m_ui->Custom;
    focus->setFocus(Qt::OtherFocusReason);
}

std::array<QPushButton*, 5> DifficultyLevelDialog::levelButtons() const
{
    return {m_ui->Level1, m_ui->Level2, m_ui->Level3, m_ui->Level4, m_ui->Level5};
}

void DifficultyLevelDialog::refresh()
{
    const bool custom = !m_quizForm && m_settings->difficultyLevel(int(m_trainer)) == customLevel;
    m_ui->CustomRow->setVisible(custom);
    m_ui->card->adjustSize();
    if (isVisible()) {
        takeUnderneath();
        update();
    }
}

void DifficultyLevelDialog::on_Level1_clicked()
{
    choose(0);
}

void DifficultyLevelDialog::on_Level2_clicked()
{
    choose(1);
}

void DifficultyLevelDialog::on_Level3_clicked()
{
    choose(2);
}

void DifficultyLevelDialog::on_Level4_clicked()
{
    choose(3);
}

void DifficultyLevelDialog::on_Level5_clicked()
{
    choose(4);
}

void DifficultyLevelDialog::on_Custom_clicked()
{
    choose(customLevel);
}

void DifficultyLevelDialog::on_Close_released()
{
    done(Rejected);
}

void DifficultyLevelDialog::choose(int level)
{
    // A second click while the dialog fades out must not start a second lesson.
    if (isFadingOut())
        return;
    if (!m_quizForm && m_ui->DoNotShow->isChecked()) {
        Core::GeneralSettings general = m_settings->generalSettings();
        general.showDifficultyDialog = false;
        m_settings->setGeneralSettings(general);
    }
    m_settings->setDifficultyLevel(int(m_trainer), level);
    // The level of a learning lesson is kept across runs; the quiz block lives in memory only.
    if (&m_settings->currentSettings() == &m_settings->exerciseSettings())
        m_settings->save();
    done(Accepted);
    Q_EMIT playRequested();
}

void DifficultyLevelDialog::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key >= Qt::Key_1 && key <= Qt::Key_5 && !(event->modifiers() & ~Qt::KeypadModifier)) {
        levelButtons()[std::size_t(key - Qt::Key_1)]->click();
        return;
    }
    // Escape closes (with the fade) through reject().
    BaseDialog::keyPressEvent(event);
}

void DifficultyLevelDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_underneath.isNull())
        painter.fillRect(rect(), QColor(18, 24, 38));
    else
        painter.drawPixmap(0, 0, m_underneath);
    painter.fillRect(rect(), QColor(0, 0, 0, dimAlpha));
    // A soft shadow under the card, a little lower than the card itself.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, shadowAlpha));
    const QRectF card = QRectF(m_ui->card->geometry()).translated(0, shadowDrop);
    for (int step = 1; step <= shadowSteps; ++step)
        painter.drawRoundedRect(card.adjusted(-step, -step, step, step), cardRadius + step,
                                cardRadius + step);
}

void DifficultyLevelDialog::showEvent(QShowEvent* event)
{
    takeUnderneath();
    BaseDialog::showEvent(event);
}

void DifficultyLevelDialog::resizeEvent(QResizeEvent* event)
{
    BaseDialog::resizeEvent(event);
    if (isVisible())
        takeUnderneath();
}

void DifficultyLevelDialog::takeUnderneath()
{
    m_underneath = QPixmap();
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    QWidget* window = parent->window();
    m_underneath = window->grab(QRect(parent->mapTo(window, QPoint(0, 0)), parent->size()));
}

} // namespace UI
