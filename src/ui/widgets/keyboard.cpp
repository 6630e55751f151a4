#include "keyboard.h"

#include "keyboard_accessible.h"
#include "keyboard_geometry.h"
#include "keyboard_pictures.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <vector>

// The geometry for the widget's size and the pictures scaled to it, one set per device pixel
// ratio the widget has been painted at; all rebuilt when the size changes.
struct Keyboard::PaintCache
{
    KeyboardGeometry geometry;
    std::vector<std::unique_ptr<KeyboardPictures>> pictures;

    void rebuild(const QSize& size)
    {
        geometry.setSize(size);
        pictures.clear();
    }

    KeyboardPictures& picturesFor(qreal ratio)
    {
        for (const auto& scaled : pictures)
            if (scaled->ratio() == ratio)
                return *scaled;
        pictures.push_back(std::make_unique<KeyboardPictures>(geometry.scale(), ratio));
        return *pictures.back();
    }
};

Keyboard::Keyboard(QWidget* parent) : MusicControl(parent), m_cache(std::make_unique<PaintCache>())
{
    KeyboardPictures::load();
    static const bool registered = [] {
        qRegisterMetaType<KeysStateMap>("KeysStateMap");
        QAccessible::installFactory(KeyboardAccessible::Factory);
        return true;
    }();
    Q_UNUSED(registered)
    setMouseTracking(true);
}

Keyboard::~Keyboard() = default;

const KeyboardGeometry& Keyboard::keyGeometry() const
{
    if (m_cache->geometry.size() != size())
        m_cache->rebuild(size());
    return m_cache->geometry;
}

void Keyboard::setMode(int mode)
{
    setEnabled(true);
    if (mode == m_mode)
        return;
    if (mode == PickOctaveMode)
        m_hoverGroup = -1;
    if (mode == PickKeyMode)
        m_hoverPickKey = -1;
    // The key hovered in the old mode would keep its hover look in the new one until the mouse
    // moves again.
    m_hoverKey = -1;
    m_mode = mode;
    for (int key = 0; key < KeyCount; ++key)
        markStateChanged(key);
    update();
}

void Keyboard::setInteractive(bool interactive)
{
    if (interactive == m_interactive)
        return;
    m_interactive = interactive;
    for (int key = 0; key < KeyCount; ++key)
        markStateChanged(key);
    update();
}

void Keyboard::setDimmed(bool dimmed)
{
    if (dimmed == m_dimmed)
        return;
    m_dimmed = dimmed;
    update();
}

void Keyboard::setMarks(const QList<int>& green, const QList<int>& red)
{
    for (int key = 0; key < KeyCount; ++key)
        if (m_keys[size_t(key)].mark != NoMark) {
            m_keys[size_t(key)].mark = NoMark;
            markStateChanged(key);
        }
    auto mark = [this](const QList<int>& keys, int mark) {
        for (int key : keys)
            if (key >= 0 && key < KeyCount) {
                m_keys[size_t(key)].mark = mark;
                markStateChanged(key);
            }
    };
    mark(green, GreenMark);
    mark(red, RedMark);
    repaintDirtyKeys();
}

void Keyboard::pressKey(int key)
{
    if (m_mode != PlayMode || !m_interactive || !isEnabled() || key < 0 || key >= KeyCount ||
        m_heldKeys.contains(key) || key == m_pressedKey)
        return;
    m_heldKeys.append(key);
    m_keys[size_t(key)].played = 1;
    m_playedKeys.append(key);
    markStateChanged(key);
    repaintDirtyKeys();
    Q_EMIT keyPressed(key);
}

void Keyboard::releaseKey(int key)
{
    if (!m_heldKeys.removeOne(key))
        return;
    markStateChanged(key);
    repaintDirtyKeys();
    Q_EMIT keyReleased(key);
}

void Keyboard::releaseKeys()
{
    while (!m_heldKeys.isEmpty())
        releaseKey(m_heldKeys.constFirst());
}

void Keyboard::setKeyLetters(const QMap<int, QString>& letters)
{
    if (letters == m_letters)
        return;
    m_letters = letters;
    update();
}

void Keyboard::resetKeys()
{
    for (int key = 0; key < KeyCount; ++key) {
        KeyStateRecord& state = m_keys[size_t(key)];
        if (state.mark != NoMark || state.played) {
            state.mark = NoMark;
            state.played = 0;
            markStateChanged(key);
        }
    }
    m_playedKeys.clear();
    if (m_hoverKey != -1)
        markDirty(m_hoverKey);
    m_hoverKey = -1;
    update(dirtyRegion());
}

KeyStateRecord Keyboard::keyState(int key) const
{
    return key >= 0 && key < KeyCount ? m_keys[size_t(key)] : KeyStateRecord();
}

QRect Keyboard::keyRect(int key) const
{
    return keyRegion(key).boundingRect();
}

void Keyboard::updateKeysState(KeysStateMap newState)
{
    for (auto entry = newState.cbegin(); entry != newState.cend(); ++entry) {
        const int key = entry.key();
        if (key < 0 || key >= KeyCount || m_keys[size_t(key)].sameState(*entry))
            continue;
        m_keys[size_t(key)] = *entry;
        markStateChanged(key);
    }
    for (int key = 0; key < KeyCount; ++key) {
        KeyStateRecord& state = m_keys[size_t(key)];
        if ((state.played || state.mark != NoMark) && !newState.contains(key)) {
            state.played = 0;
            state.mark = NoMark;
            markStateChanged(key);
        }
    }
    repaintDirtyKeys();
}

void Keyboard::changeFingersMode(bool fingersOn)
{
    m_fingersMode = fingersOn;
    update();
}

int Keyboard::keyAt(const QPointF& position) const
{
    return keyGeometry().keyAt(position);
}

QRegion Keyboard::keyRegion(int key) const
{
    return keyGeometry().keyRegion(key);
}

QRegion Keyboard::dirtyRegion() const
{
    QRegion region;
    for (int key = 0; key < KeyCount; ++key)
        if (m_keys[size_t(key)].dirty)
            region += keyRegion(key);
    return region;
}

void Keyboard::markDirty(int key)
{
    if (key >= 0 && key < KeyCount)
        m_keys[size_t(key)].dirty = 1;
}

void Keyboard::markStateChanged(int key)
{
    markDirty(key);
    if (key >= 0 && key < KeyCount && QAccessible::isActive()) {
        QAccessible::State changed;
        changed.pressed = true;
        changed.checked = true;
        changed.disabled = true;
        QAccessibleStateChangeEvent event(this, changed);
        event.setChild(key);
        QAccessible::updateAccessibility(&event);
    }
}

void Keyboard::repaintDirtyKeys()
{
    const QRegion region = dirtyRegion();
    if (!region.isEmpty())
        repaint(region);
}

void Keyboard::releaseHeldKey()
{
    if (m_pressedKey == -1)
        return;
    const int key = m_pressedKey;
    m_pressedKey = -1;
    markStateChanged(key);
    Q_EMIT keyReleased(key);
}

void Keyboard::clickKey(int key)
{
    if (m_mode != PlayMode || !m_interactive || key < 0 || key >= KeyCount)
        return;
    releaseHeldKey();
    m_keys[size_t(key)].played = 1;
    m_playedKeys.append(key);
    m_pressedKey = key;
    markStateChanged(key);
    repaintDirtyKeys();
    Q_EMIT keyPressed(key);
    releaseHeldKey();
    repaintDirtyKeys();
}

int Keyboard::pictureSetOf(int key) const
{
    const KeyStateRecord& state = m_keys[size_t(key)];
    switch (state.mark) {
    case GreenMark:
        return KeyboardPictures::GreenSet;
    case BlueMark:
        return KeyboardPictures::BlueSet;
    case RedMark:
        return KeyboardPictures::RedSet;
    default:
        break;
    }
    if (m_mode == PlayMode && (key == m_pressedKey || m_heldKeys.contains(key)) && state.played)
        return KeyboardPictures::PressedSet;
    if (m_interactive && key == m_hoverKey && (m_mode != PlayMode || !state.played))
        return KeyboardPictures::HoverSet;
    return KeyboardPictures::NormalSet;
}

bool Keyboard::groupHasDirtyKey(int group) const
{
    for (int key = KeyboardGeometry::groupFirstKey(group); key <= KeyboardGeometry::groupLastKey(group);
         ++key)
        if (m_keys[size_t(key)].dirty)
            return true;
    return false;
}

void Keyboard::resizeEvent(QResizeEvent* event)
{
    MusicControl::resizeEvent(event);
    keyGeometry();
}

void Keyboard::paintEvent(QPaintEvent* event)
{
    using Geometry = KeyboardGeometry;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The ratio of the device the pixels land on: while the widget is rendered into a picture,
    // the painter's device is the widget itself and the engine's device is the picture.
    const QPaintDevice* target = painter.paintEngine() && painter.paintEngine()->paintDevice()
                                     ? painter.paintEngine()->paintDevice()
                                     : painter.device();
    const qreal ratio = target->devicePixelRatioF();
    const KeyboardGeometry& geometry = keyGeometry();
    KeyboardPictures& pictures = m_cache->picturesFor(ratio);
    const QRegion& region = event->region();

    // A repaint of a few keys paints only their octave groups (clipped to the region); the groups
    // the region touches are painted too, for what lies under another window or half a pixel
    // beyond a key's edge.
    const bool partial = region.begin() != region.end() && region.begin()->width() < width();
    for (int group = 0; group < Geometry::GroupCount; ++group) {
        if (partial && !groupHasDirtyKey(group) && !region.intersects(geometry.groupRect(group)))
            continue;
        for (const bool white : {true, false}) {
            for (int key = Geometry::groupFirstKey(group); key <= Geometry::groupLastKey(group); ++key) {
                if (Geometry::key(key).isWhite != white)
                    continue;
                const QRect& place = pictures.keyPlace(key);
                const auto set = KeyboardPictures::PictureSet(pictureSetOf(key));
                painter.drawPixmap(QPointF(place.x() / ratio, place.y() / ratio),
                                   pictures.keyPicture(key, set));
                if (region.intersects(geometry.keyRegion(key).boundingRect()))
                    m_keys[size_t(key)].dirty = 0;
            }
        }
    }

    paintKeyLetters(painter, region);
    paintMarks(painter, region);

    // The octave picked in modes 2 and 3 stands out: the rest is shaded and framed by the two
    // highlight pictures. In mode 0 a keyboard that takes no input may be shaded as a whole.
    const bool picking = (m_mode == PickKeyMode || m_mode == PickOctaveMode) && m_hoverGroup >= 0 &&
                         m_hoverGroup < Geometry::GroupCount;
    const bool dimmed = m_mode == PlayMode && !m_interactive && m_dimmed;
    if (!picking && !dimmed)
        return;
    const double fullWidth = Geometry::ReferenceWidth;
    const double fullHeight = Geometry::ReferenceHeight;
    const QColor shade(0, 0, 0, 120);
    const QRectF hovered = picking ? Geometry::groupArea(m_hoverGroup) : QRectF();
    painter.save();
    painter.scale(geometry.scale().x(), geometry.scale().y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    if (dimmed) {
        painter.drawRect(QRectF(0, 0, fullWidth, fullHeight));
    } else {
        if (hovered.left() > 0)
            painter.drawRect(QRectF(0, 0, hovered.left(), fullHeight));
        if (hovered.right() < fullWidth)
            painter.drawRect(QRectF(hovered.right(), 0, fullWidth - hovered.right(), fullHeight));
    }
    painter.restore();
    const double highlightWidth = KeyboardPictures::highlightWidth();
    if (!picking || highlightWidth <= 0)
        return;
    auto frame = [&](KeyboardPictures::Highlight side, const QRectF& units) {
        const QRect target = Geometry::toDevicePixels(units, geometry.scale(), ratio);
        painter.drawPixmap(QPointF(target.x() / ratio, target.y() / ratio),
                           pictures.highlightPicture(side, target.size()));
    };
    if (m_hoverGroup > 0)
        frame(KeyboardPictures::LeftHighlight,
              QRectF(hovered.left() - highlightWidth, 0, highlightWidth, fullHeight));
    if (m_hoverGroup < Geometry::GroupCount - 1)
        frame(KeyboardPictures::RightHighlight, QRectF(hovered.right(), 0, highlightWidth, fullHeight));
}

namespace {

// The part of a key's picture where a letter or a mark goes: the bottom of a white key below
// the black ones, the bottom of a black key, in widget pixels.
QRectF KeyFoot(const KeyboardGeometry& geometry, int key)
{
    const KeyboardGeometry::Key& shape = KeyboardGeometry::key(key);
    const QRectF body = shape.isWhite ? shape.lower : shape.upper;
    const double side = std::min(body.width(), shape.isWhite ? body.height() : body.width() * 1.3);
    const QRectF units(body.center().x() - side / 2, body.bottom() - side - 4, side, side);
    return QRectF(units.x() * geometry.scale().x(), units.y() * geometry.scale().y(),
                  units.width() * geometry.scale().x(), units.height() * geometry.scale().y());
}

} // namespace

void Keyboard::paintKeyLetters(QPainter& painter, const QRegion& region) const
{
    if (m_letters.isEmpty() || m_mode != PlayMode)
        return;
    const KeyboardGeometry& geometry = keyGeometry();
    // A bar along the top of the keys the computer keyboard plays marks the window as a whole.
    const int first = m_letters.firstKey();
    const int last = m_letters.lastKey();
    const QRect firstRect = geometry.keyRegion(first).boundingRect();
    const QRect lastRect = geometry.keyRegion(last).boundingRect();
    const double barHeight = std::max(3.0, height() / 40.0);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf5, 0x9a, 0x23));
    painter.drawRect(QRectF(firstRect.left(), 0, lastRect.right() + 1 - firstRect.left(), barHeight));
    QFont font = painter.font();
    font.setBold(true);
    for (auto letter = m_letters.cbegin(); letter != m_letters.cend(); ++letter) {
        const int key = letter.key();
        if (key < 0 || key >= KeyCount || !region.intersects(geometry.keyRegion(key).boundingRect()))
            continue;
        const bool white = KeyboardGeometry::key(key).isWhite;
        const QRectF foot = KeyFoot(geometry, key);
        font.setPixelSize(std::max(7, int(foot.width() * (white ? 0.55 : 0.7))));
        painter.setFont(font);
        // Marks take the foot of a marked key; its letter moves up above them.
        const QRectF place = m_keys[size_t(key)].mark != NoMark ? foot.translated(0, -foot.height()) : foot;
        painter.setPen(white ? QColor(0x1d, 0x1e, 0x24) : QColor(Qt::white));
        painter.drawText(place, Qt::AlignCenter, letter.value());
    }
    painter.restore();
}

void Keyboard::paintMarks(QPainter& painter, const QRegion& region) const
{
    const KeyboardGeometry& geometry = keyGeometry();
    painter.save();
    for (int key = 0; key < KeyCount; ++key) {
        const int mark = m_keys[size_t(key)].mark;
        if (mark == NoMark || !region.intersects(geometry.keyRegion(key).boundingRect()))
            continue;
        // Right, missed and wrong differ in shape as well as colour: a tick, a dot, a cross,
        // white on a dark rim so that they stand on any key colour.
        const QRectF foot = KeyFoot(geometry, key);
        const double side = foot.width() * 0.62;
        const QRectF box(foot.center().x() - side / 2, foot.center().y() - side / 2, side, side);
        QPainterPath shape;
        if (mark == GreenMark) {
            shape.moveTo(box.left(), box.center().y());
            shape.lineTo(box.left() + side * 0.38, box.bottom() - side * 0.1);
            shape.lineTo(box.right(), box.top() + side * 0.1);
        } else if (mark == RedMark) {
            shape.moveTo(box.topLeft());
            shape.lineTo(box.bottomRight());
            shape.moveTo(box.topRight());
            shape.lineTo(box.bottomLeft());
        }
        const double stroke = std::max(1.5, side * 0.2);
        if (mark == BlueMark) {
            painter.setPen(QPen(QColor(0, 0, 0, 150), stroke * 0.6));
            painter.setBrush(Qt::white);
            painter.drawEllipse(box.center(), side * 0.3, side * 0.3);
            continue;
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0, 0, 0, 150), stroke * 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(shape);
        painter.setPen(QPen(Qt::white, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(shape);
    }
    painter.restore();
}

void Keyboard::mouseMoveEvent(QMouseEvent* event)
{
    const int key = keyAt(event->localPos());
    switch (m_mode) {
    case PickOctaveMode: {
        const int group = KeyboardGeometry::groupOf(key);
        if (group == m_hoverGroup)
            break;
        if (group == 0 || group == 8) {
            m_hoverGroup = -1;
            m_hoverPickKey = -1;
            Q_EMIT hover(-1);
        } else {
            m_hoverGroup = group;
            Q_EMIT hover(key);
        }
        update();
        break;
    }
    case PickKeyMode:
        if (key == m_hoverPickKey)
            break;
        m_hoverPickKey = key;
        m_hoverGroup = KeyboardGeometry::groupOf(key);
        Q_EMIT hover(key);
        update();
        break;
    case PlayMode:
        // Sliding off the held key releases it; the key slid onto is not pressed. The keys whose
        // look changes (held, hovered before, hovered now) are repainted.
        if (key != m_pressedKey) {
            releaseHeldKey();
            if (key != m_hoverKey) {
                markDirty(m_hoverKey);
                markDirty(key);
            }
        } else if (m_interactive && key != m_hoverKey) {
            markDirty(m_hoverKey);
            markDirty(key);
        }
        m_hoverKey = key;
        repaintDirtyKeys();
        break;
    default:
        break;
    }
}

void Keyboard::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (m_mode != PlayMode || !m_interactive)
        return;
    const int key = keyAt(event->localPos());
    if (key == -1 || m_heldKeys.contains(key)) // already held from the computer keyboard
        return;
    m_keys[size_t(key)].played = 1;
    m_playedKeys.append(key);
    // Held before the repaint, so that the key is drawn pressed.
    m_pressedKey = key;
    markStateChanged(key);
    repaintDirtyKeys();
    Q_EMIT keyPressed(key);
}

void Keyboard::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (m_mode != PlayMode && m_mode != DisplayMode)
        return;
    releaseHeldKey();
    repaintDirtyKeys();
}

void Keyboard::leaveEvent(QEvent* event)
{
    MusicControl::leaveEvent(event);
    if (m_mode == PickKeyMode || m_mode == PickOctaveMode) {
        m_hoverGroup = -1;
        m_hoverPickKey = -1;
        Q_EMIT hover(-1);
        update();
    } else {
        releaseHeldKey();
    }
    markDirty(m_hoverKey);
    m_hoverKey = -1;
    repaintDirtyKeys();
}
