#include "ui/exercise/confusion_list.h"

#include "ui/widgets/score_board.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <utility>

namespace {

// The card's look: white paper over the grey pane, as the worksheet prints the items.
const char* const cardStyle =
    "QFrame#confusionCard { background-color: white; border: 1px solid rgb(150, 148, 146); border-radius: "
    "6px; }"
    "QFrame#confusionCard QLabel { color: black; font: 600 14px \"MS Shell Dlg 2\"; }";

constexpr int cardMusicHeight = 120;

} // namespace

namespace UI {

ConfusionList::ConfusionList(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("confusionList"));
    setAccessibleName(tr("Common mistakes"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(6);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("confusionCaption"));
    m_caption->setWordWrap(true);
    layout->addWidget(m_caption);
    m_empty = new QLabel(tr("No confusions yet."), this);
    m_empty->setObjectName(QStringLiteral("confusionEmpty"));
    m_empty->setWordWrap(true);
    layout->addWidget(m_empty);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(0, 1);
    for (int i = 0; i < MaxRows; ++i) {
        Row row;
        row.text = new QLabel(this);
        row.text->setObjectName(QStringLiteral("confusionText"));
        row.text->setWordWrap(true);
        row.text->setTextFormat(Qt::PlainText);
        row.button = new QPushButton(this);
        row.button->setObjectName(QStringLiteral("confusionButton"));
        row.button->setFocusPolicy(Qt::TabFocus);
        row.button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        row.text->hide();
        row.button->hide();
        grid->addWidget(row.text, i, 0);
        grid->addWidget(row.button, i, 1, Qt::AlignVCenter);
        connect(row.button, &QPushButton::clicked, this, [this, i] {
            const Row& clicked = m_rows[size_t(i)];
            Q_EMIT presentRequested(clicked.asked, clicked.answered);
        });
        m_rows.push_back(row);
    }
    layout->addLayout(grid);
    layout->addStretch(1);

    // The card lies over the rows, not in the layout.
    m_card = new QFrame(this);
    m_card->setObjectName(QStringLiteral("confusionCard"));
    m_card->setAccessibleName(tr("Mixed-up items"));
    m_card->setStyleSheet(QLatin1String(cardStyle));
    auto* cardLayout = new QVBoxLayout(m_card);
    cardLayout->setContentsMargins(10, 8, 10, 8);
    auto* halves = new QHBoxLayout;
    halves->setSpacing(12);
    for (CardSlot& slot : m_cardSlots) {
        slot.frame = new QWidget(m_card);
        // The answer's half keeps its room while it waits, so the asked item does not move.
        QSizePolicy policy = slot.frame->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        slot.frame->setSizePolicy(policy);
        auto* slotLayout = new QVBoxLayout(slot.frame);
        slotLayout->setContentsMargins(0, 0, 0, 0);
        slot.caption = new QLabel(slot.frame);
        slot.caption->setObjectName(QStringLiteral("confusionCardCaption"));
        slot.caption->setAlignment(Qt::AlignHCenter);
        slot.caption->setWordWrap(true);
        slot.music = new ScoreBoard(slot.frame);
        slot.music->setMinimumHeight(cardMusicHeight);
        slot.picture = new QLabel(slot.frame);
        slot.picture->setAlignment(Qt::AlignCenter);
        slot.picture->setMinimumHeight(cardMusicHeight);
        slotLayout->addWidget(slot.caption);
        slotLayout->addWidget(slot.music, 1);
        slotLayout->addWidget(slot.picture, 1);
        halves->addWidget(slot.frame, 1);
    }
    cardLayout->addLayout(halves, 1);
    m_cardClose = new QPushButton(tr("Close"), m_card);
    m_cardClose->setObjectName(QStringLiteral("confusionCardClose"));
    m_cardClose->setAccessibleName(tr("Close the mixed-up items"));
    m_cardClose->setFocusPolicy(Qt::TabFocus);
    cardLayout->addWidget(m_cardClose, 0, Qt::AlignRight);
    connect(m_cardClose, &QPushButton::clicked, this, &ConfusionList::hideCard);
    m_card->hide();
    m_cardTimer = new QTimer(this);
    m_cardTimer->setSingleShot(true);
    m_cardTimer->setInterval(SecondItemDelayMs);
    connect(m_cardTimer, &QTimer::timeout, this, [this] { m_cardSlots[1].frame->show(); });
}

ConfusionList::~ConfusionList() = default;

void ConfusionList::showScope(std::shared_ptr<Core::AnswerLog> log, const Core::AnswerLog::Scope& scope,
                              Naming naming, Presentation presentation)
{
    m_log = std::move(log);
    m_scope = scope;
    m_naming = std::move(naming);
    m_presentation = presentation;
    m_caption->setText(scope.run == 0 ? tr("What you mix up most, in all your lessons:")
                                      : tr("What you mix up most in this lesson:"));
    refresh();
}

void ConfusionList::refresh()
{
    hideCard();
    const quint64 request = ++m_request;
    if (!m_log) {
        m_waiting = false;
        fill({});
        return;
    }
    m_waiting = true;
    m_log->Confusions(m_scope, QueryLimit, this, [this, request](std::vector<Core::Confusion> confusions) {
        if (request != m_request)
            return; // a newer request is on its way
        m_waiting = false;
        fill(confusions);
    });
}

void ConfusionList::fill(const std::vector<Core::Confusion>& confusions)
{
    // Pairs that read alike are one row; the log's order (most frequent, then most recent) decides
    // between rows of the same count and which pair a row presents.
    struct Merged
    {
        QString asked;
        QString answered;
        qint32 askedKey = 0;
        qint32 answeredKey = 0;
        int count = 0;
    };
    std::vector<Merged> merged;
    std::map<std::pair<QString, QString>, size_t> byNames;
    for (const Core::Confusion& confusion : confusions) {
        const QString asked = m_naming ? m_naming(confusion.asked) : QString();
        const QString answered = m_naming ? m_naming(confusion.answered) : QString();
        if (asked.isEmpty() || answered.isEmpty() || asked == answered)
            continue;
        const auto found = byNames.find({asked, answered});
        if (found != byNames.end()) {
            merged[found->second].count += confusion.count;
            continue;
        }
        byNames.emplace(std::make_pair(asked, answered), merged.size());
        merged.push_back({asked, answered, confusion.asked, confusion.answered, confusion.count});
    }
    std::stable_sort(merged.begin(), merged.end(),
                     [](const Merged& a, const Merged& b) { return a.count > b.count; });

    const int shown = std::min(int(merged.size()), MaxRows);
    const bool heard = m_presentation == Presentation::Heard;
    for (int i = 0; i < MaxRows; ++i) {
        Row& row = m_rows[size_t(i)];
        if (i >= shown) {
            row.text->hide();
            row.button->hide();
            continue;
        }
        const Merged& pair = merged[size_t(i)];
        row.asked = pair.askedKey;
        row.answered = pair.answeredKey;
        //: %1 the item asked, %2 the one answered in its place ("Minor sixth", "Major sixth").
        const QString text =
            pair.count == 1
                ? tr("You answer %1 as %2: once").arg(pair.asked, pair.answered)
                : tr("You answer %1 as %2: %n times", nullptr, pair.count).arg(pair.asked, pair.answered);
        row.text->setText(text);
        row.button->setText(heard ? tr("Play") : tr("Show"));
        row.button->setAccessibleName(heard ? tr("Play %1 and %2").arg(pair.asked, pair.answered)
                                            : tr("Show %1 and %2").arg(pair.asked, pair.answered));
        row.button->setToolTip(row.button->accessibleName());
        row.text->show();
        row.button->show();
    }
    m_empty->setVisible(shown == 0);
    Q_EMIT updated();
}

QStringList ConfusionList::rowTexts() const
{
    QStringList texts;
    for (const Row& row : m_rows)
        if (!row.text->isHidden())
            texts << row.text->text();
    return texts;
}

void ConfusionList::setSlot(CardSlot& slot, const CardItem& item)
{
    slot.caption->setText(item.caption);
    const bool engraved = !item.item.gmn.isEmpty() && slot.music->setScore(item.item.gmn);
    slot.music->setVisible(engraved);
    QPixmap picture;
    if (!engraved && !item.item.picture.isEmpty())
        picture.load(item.item.picture); // the "@2x" file on a dense screen
    if (!picture.isNull()) {
        const qreal ratio = devicePixelRatioF();
        const QSize room = QSize(160, cardMusicHeight) * ratio;
        if (picture.width() > room.width() || picture.height() > room.height()) {
            picture = picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            picture.setDevicePixelRatio(ratio);
        }
    }
    slot.picture->setPixmap(picture);
    slot.picture->setVisible(!engraved);
    slot.frame->setAccessibleName(item.caption);
}

void ConfusionList::showCard(const CardItem& first, const CardItem& second)
{
    setSlot(m_cardSlots[0], first);
    setSlot(m_cardSlots[1], second);
    m_cardSlots[1].frame->hide();
    placeCard();
    m_card->show();
    m_card->raise();
    m_cardTimer->start();
}

void ConfusionList::hideCard()
{
    m_cardTimer->stop();
    m_card->hide();
}

void ConfusionList::placeCard()
{
    const int height = std::min(this->height(), m_card->sizeHint().height() + cardMusicHeight / 2);
    m_card->setGeometry(0, 0, width(), std::max(height, m_card->minimumSizeHint().height()));
}

void ConfusionList::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_card->isVisible())
        placeCard();
}

void ConfusionList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_card->isVisible()) {
        hideCard();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace UI
