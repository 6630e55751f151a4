#include "ui/focus_ring.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTabBar>
#include <QWidget>

namespace UI {
namespace {

const QColor accent(245, 154, 35);
const QColor edge(29, 30, 36);
constexpr int cornerRadius = 5;

class RingWidget : public QWidget
{
public:
    RingWidget()
    {
        setObjectName(QStringLiteral("focusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        const QRectF ring = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        // A dark line round the accent one: the ring shows on light and on dark ground.
        painter.setPen(QPen(edge, 1));
        painter.drawRoundedRect(ring, cornerRadius + 1, cornerRadius + 1);
        painter.setPen(QPen(accent, FocusRing::Width));
        painter.drawRoundedRect(ring.adjusted(1.5, 1.5, -1.5, -1.5), cornerRadius, cornerRadius);
    }
};

// Where the ring goes in `target`'s own coordinates.
QRect RingArea(const QWidget* target)
{
    if (auto* bar = qobject_cast<const QTabBar*>(target))
        if (bar->currentIndex() >= 0)
            return bar->tabRect(bar->currentIndex());
    return target->rect();
}

} // namespace

FocusRing::FocusRing(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

FocusRing::~FocusRing()
{
    // A ring lying in a window goes with it; a spare one goes here.
    if (m_ring && !m_ring->parent())
        delete m_ring.data();
}

void FocusRing::install()
{
    static QPointer<FocusRing> installed;
    if (installed || !qApp)
        return;
    installed = new FocusRing(qApp);
}

QWidget* FocusRing::ring()
{
    if (!m_ring)
        m_ring = new RingWidget;
    return m_ring;
}

void FocusRing::follow(QWidget* target)
{
    m_target = target && !target->isWindow() && target->parentWidget() ? target : nullptr;
    if (!m_target) {
        // Out of any window, so that no window takes it along when it goes.
        if (m_ring) {
            m_ring->hide();
            m_ring->setParent(nullptr);
        }
        return;
    }
    if (ring()->parentWidget() != m_target->parentWidget())
        m_ring->setParent(m_target->parentWidget());
    // A control that Tab reaches from outside its scrolled page comes into view.
    for (QWidget* up = m_target->parentWidget(); up; up = up->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(up))
            if (area->widget() && area->widget()->isAncestorOf(m_target))
                area->ensureWidgetVisible(m_target, Outset, Outset);
    place();
}

QRect FocusRing::ringGeometry() const
{
    const QRect area = RingArea(m_target).translated(m_target->pos());
    return area.adjusted(-Outset, -Outset, Outset, Outset).intersected(m_target->parentWidget()->rect());
}

void FocusRing::place()
{
    if (!m_ring)
        return;
    if (!m_target || !m_keyboardInUse || !m_target->isVisible() ||
        m_ring->parentWidget() != m_target->parentWidget()) {
        m_ring->hide();
        return;
    }
    m_ring->setGeometry(ringGeometry());
    // Just above the control: over its own picture, under whatever lies over it.
    const QObjectList& siblings = m_target->parentWidget()->children();
    QWidget* above = nullptr;
    for (int i = siblings.indexOf(m_target) + 1; i < siblings.size() && !above; ++i) {
        auto* sibling = qobject_cast<QWidget*>(siblings.at(i));
        if (sibling && sibling != m_ring && !sibling->isWindow())
            above = sibling;
    }
    if (above)
        m_ring->stackUnder(above);
    else
        m_ring->raise();
    m_ring->show();
    m_ring->update();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool modifierOnly = key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
                                  key == Qt::Key_Meta || key == Qt::Key_AltGr;
        if (!m_keyboardInUse && !modifierOnly) {
            m_keyboardInUse = true;
            place();
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (m_keyboardInUse) {
            m_keyboardInUse = false;
            place();
        }
        break;
    case QEvent::ParentChange:
        if (watched == m_target)
            follow(m_target);
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (watched == m_target)
            place();
        break;
    case QEvent::Paint:
        // A tab bar repaints when its current tab changes: the ring goes to the new tab.
        if (watched == m_target && m_ring && m_ring->isVisible() && qobject_cast<QTabBar*>(m_target.data()) &&
            m_ring->geometry() != ringGeometry())
            place();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace UI
