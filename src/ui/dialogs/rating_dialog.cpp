#include "ui/dialogs/rating_dialog.h"

#include "core/services/services_address.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSettings>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <QtMath>

namespace {

constexpr int starSide = 54;
constexpr int starCount = 5;

// One star of the row, drawn at the screen's resolution: filled orange when it is part of the
// rating under the pointer or the keyboard focus, an outline otherwise.
class RatingStar : public QAbstractButton
{
public:
    RatingStar(int number, QWidget* parent) : QAbstractButton(parent), number(number)
    {
        setFixedSize(starSide, starSide);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::StrongFocus);
        setAccessibleName(number == 1 ? UI::RatingDialog::tr("1 star")
                                      : UI::RatingDialog::tr("%1 stars").arg(number));
        setToolTip(accessibleName());
    }

    void setLit(bool value)
    {
        if (m_lit != value) {
            m_lit = value;
            update();
        }
    }

    const int number;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (hasFocus()) {
            painter.setPen(QPen(QColor(0xd8, 0x70, 0x10), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
        }
        const QPointF centre = QRectF(rect()).center() + QPointF(0, 1.5);
        const double outer = width() * 0.40;
        const double inner = outer * 0.45;
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const double angle = -M_PI / 2 + i * M_PI / 5;
            const double r = i % 2 == 0 ? outer : inner;
            const QPointF point = centre + QPointF(r * std::cos(angle), r * std::sin(angle));
            if (i == 0)
                star.moveTo(point);
            else
                star.lineTo(point);
        }
        star.closeSubpath();
        if (m_lit || isDown()) {
            QLinearGradient fill(0, centre.y() - outer, 0, centre.y() + outer);
            fill.setColorAt(0, QColor(0xff, 0xc1, 0x5e));
            fill.setColorAt(1, isDown() ? QColor(0xb0, 0x58, 0x08) : QColor(0xf5, 0x9a, 0x23));
            painter.setBrush(fill);
            painter.setPen(QPen(QColor(0xd8, 0x70, 0x10), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        } else {
            painter.setBrush(QColor(0xf4, 0xf2, 0xee));
            painter.setPen(QPen(QColor(0x9e, 0x9a, 0x92), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        }
        painter.drawPath(star);
    }

private:
    bool m_lit = false;
};

} // namespace

namespace UI {

RatingDialog::RatingDialog(const QUrl& base, std::function<void(const QString& url)> open, QWidget* parent)
    : CardDialog(tr("Rate Cantorela"), QSize(540, 0), parent), m_servicesBase(base),
      m_openUrl(std::move(open))
{
    setObjectName(QStringLiteral("ratingDialog"));

    auto* question = new QLabel(tr("Do you enjoy practising with Cantorela?"), card());
    question->setObjectName(QStringLiteral("ratingQuestion"));
    question->setFont(textFont(20, QFont::Bold));
    question->setWordWrap(true);
    question->setAlignment(Qt::AlignCenter);
    auto* text =
        new QLabel(tr("Your rating helps other piano students find it, and tells us what to make better. "
                      "A star opens the rating page in your web browser."),
                   card());
    text->setObjectName(QStringLiteral("ratingText"));
    text->setProperty("muted", true);
    text->setFont(textFont(15));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    body()->addWidget(question);
    body()->addWidget(text);

    auto* starRow = new QHBoxLayout;
    starRow->setSpacing(8);
    starRow->addStretch(1);
    for (int number = 1; number <= starCount; ++number) {
        auto* star = new RatingStar(number, card());
        star->setObjectName(QStringLiteral("ratingStar%1").arg(number));
        star->installEventFilter(this);
        connect(star, &QAbstractButton::clicked, this, [this, number] { rate(number); });
        starRow->addWidget(star);
        m_stars.append(star);
    }
    starRow->addStretch(1);
    body()->addSpacing(4);
    body()->addLayout(starRow);
    body()->addSpacing(4);

    m_dontAsk = addButton(tr("Don't ask again"), ButtonKind::Secondary);
    m_dontAsk->setObjectName(QStringLiteral("ratingDontAsk"));
    m_notNow = addButton(tr("Not now"), ButtonKind::Primary);
    m_notNow->setObjectName(QStringLiteral("ratingNotNow"));
    m_notNow->setDefault(true);
    connect(m_notNow, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_dontAsk, &QPushButton::clicked, this, &RatingDialog::dontAskAgain);

    QWidget* previous = m_stars.first();
    for (QWidget* next : {static_cast<QWidget*>(m_stars[1]), static_cast<QWidget*>(m_stars[2]),
                          static_cast<QWidget*>(m_stars[3]), static_cast<QWidget*>(m_stars[4]),
                          static_cast<QWidget*>(m_dontAsk), static_cast<QWidget*>(m_notNow)}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

void RatingDialog::showEvent(QShowEvent* event)
{
    CardDialog::showEvent(event);
    // The keyboard starts on "Not now": a focused star would look like a rating already given.
    m_notNow->setFocus(Qt::OtherFocusReason);
}

QUrl RatingDialog::ratingUrl(const QUrl& base, int number)
{
    QUrl url = Core::ServicesAddress::ServiceUrl(base, QStringLiteral("/Home/Rate"));
    if (url.isEmpty())
        return url;
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("stars"), QString::number(number));
    url.setQuery(query);
    return url;
}

bool RatingDialog::shouldShow(const QUrl& base)
{
    if (base.isEmpty())
        return false;
    QSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    if (settings.value(QLatin1String(DontAskKey), false).toBool())
        return false;
    bool ok = false;
    int runs = settings.value(QLatin1String(RunsKey), 0).toInt(&ok);
    if (!ok || runs < 0 || runs >= RunsPerRequest)
        runs = 0;
    ++runs;
    const bool show = runs >= RunsPerRequest;
    settings.setValue(QLatin1String(RunsKey), show ? 0 : runs);
    settings.endGroup();
    settings.sync();
    return show;
}

void RatingDialog::rate(int number)
{
    if (isFadingOut() || !isVisible())
        return;
    const QUrl url = ratingUrl(m_servicesBase, number);
    if (!url.isEmpty() && m_openUrl)
        m_openUrl(url.toString(QUrl::FullyEncoded));
    accept();
}

void RatingDialog::dontAskAgain()
{
    if (isFadingOut() || !isVisible())
        return;
    QSettings settings;
    settings.beginGroup(QLatin1String(SettingsGroup));
    settings.setValue(QLatin1String(DontAskKey), true);
    settings.endGroup();
    settings.sync();
    reject();
}

void RatingDialog::highlight(int number)
{
    for (QAbstractButton* star : m_stars)
        static_cast<RatingStar*>(star)->setLit(static_cast<RatingStar*>(star)->number <= number);
}

bool RatingDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* star = dynamic_cast<RatingStar*>(watched)) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::FocusIn:
            highlight(star->number);
            break;
        case QEvent::Leave:
        case QEvent::FocusOut: {
            // Back to the star that has the focus, if any.
            int focused = 0;
            for (QAbstractButton* other : m_stars)
                if (other->hasFocus() && (other != watched || event->type() == QEvent::Leave))
                    focused = static_cast<RatingStar*>(other)->number;
            highlight(focused);
            break;
        }
        default:
            break;
        }
    }
    return CardDialog::eventFilter(watched, event);
}

} // namespace UI
