#include "keyboard.h"

#include "keyboard_accessible.h"

#include <QAccessible>
#include <QHash>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include <cmath>
#include <vector>

namespace {

Q_LOGGING_CATEGORY(keyboardLog, "cantorela.keyboard")

// The reference layout, in units.
constexpr double ReferenceWidth = 1820;
constexpr double ReferenceHeight = 180;
constexpr double BlackKeyLine = 108;
constexpr double WhiteKeyWidth = 35;
constexpr int GroupCount = 9;

constexpr int PictureCount = 14;
const char* const pictureNames[PictureCount] = {"Afirst",  "C", "C_sharp", "D", "D_sharp", "E", "F",
                                                "F_sharp", "G", "G_sharp", "A", "A_sharp", "B", "Clast"};
enum PictureSet
{
    NormalSet,
    HoverSet,
    PressedSet,
    GreenSet,
    RedSet,
    BlueSet,
    SetCount
};
const char* const setNames[SetCount] = {"normal", "hover", "pressed", "green", "red", "blue"};
// Picture sources of the scaled-picture cache: set * PictureCount + picture, then the two octave
// highlights.
constexpr int HighlightLeftSource = SetCount * PictureCount;
constexpr int HighlightRightSource = HighlightLeftSource + 1;

struct KeyDescriptor
{
    int pixmapIndex = 0;
    QRectF upper; // above the black-key line; a black key's whole body
    QRectF lower; // white keys: the full-width part below the black keys
    QPointF pixmapPos;
    bool isWhite = true;
};

// The key descriptors and the pictures of all keyboards: built on the first keyboard's
// construction (GUI thread) and kept for the program's life. Pictures are kept at both densities,
// [0] plain and [1] "@2x"; an "@2x" picture that failed to load is left null.
struct SharedKeyboard
{
    std::array<KeyDescriptor, MusicControl::KeyCount> keys;
    QImage pictures[2][SetCount][PictureCount];
    QImage highlights[2][2];   // left, right
    double highlightWidth = 0; // units

    SharedKeyboard()
    {
        buildDescriptors();
        loadPictures();
    }

    void buildDescriptors()
    {
        keys[0] = {0, QRectF(0, 0, 30, BlackKeyLine), QRectF(0, BlackKeyLine, 35, 72), QPointF(0, 0), true};
        keys[1] = {11, QRectF(30, 0, 19, BlackKeyLine), QRectF(), QPointF(30, 0), false};
        keys[2] = {12, QRectF(49, 0, 21, BlackKeyLine), QRectF(35, BlackKeyLine, 35, 72), QPointF(35, 0),
                   true};
        // Per note of an octave: white, place among the white keys, offset and width of the upper
        // part (white) or of the body (black, offset from the octave's left end).
        const struct
        {
            bool white;
            int whiteIndex;
            double offset, width;
        } notes[12] = {{true, 0, 0, 21},    {false, 0, 21, 19}, {true, 1, 5, 25},    {false, 0, 65, 19},
                       {true, 2, 14, 21},   {true, 3, 0, 21},   {false, 0, 126, 19}, {true, 4, 5, 20},
                       {false, 0, 165, 20}, {true, 5, 10, 20},  {false, 0, 206, 19}, {true, 6, 14, 21}};
        for (int octave = 0; octave < 7; ++octave) {
            const double octaveX = 70 + 245 * octave;
            for (int note = 0; note < 12; ++note) {
                KeyDescriptor& key = keys[size_t(3 + 12 * octave + note)];
                key.pixmapIndex = 1 + note;
                key.isWhite = notes[note].white;
                if (key.isWhite) {
                    const double keyX = octaveX + WhiteKeyWidth * notes[note].whiteIndex;
                    key.upper = QRectF(keyX + notes[note].offset, 0, notes[note].width, BlackKeyLine);
                    key.lower = QRectF(keyX, BlackKeyLine, WhiteKeyWidth, ReferenceHeight - BlackKeyLine);
                    key.pixmapPos = QPointF(keyX, 0);
                } else {
                    key.upper = QRectF(octaveX + notes[note].offset, 0, notes[note].width, BlackKeyLine);
                    key.pixmapPos = key.upper.topLeft();
                }
            }
        }
        keys[87] = {13, QRectF(1785, 0, 35, BlackKeyLine), QRectF(1785, BlackKeyLine, 35, 72),
                    QPointF(1785, 0), true};
    }

    void loadPictures()
    {
        int missing = 0;
        auto load = [&](QImage* plain, QImage* dense, const QString& path) {
            *plain = BaseControl::loadPicture(path, 1.0).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            const QImage twice = BaseControl::loadPicture(path, 2.0);
            if (!twice.isNull() && twice.devicePixelRatio() == 2.0)
                *dense = twice.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            missing += plain->isNull() ? 1 : 0;
        };
        for (int set = 0; set < SetCount; ++set) {
            const QString name = QLatin1String(setNames[set]);
            const QString suffix = set == NormalSet ? QString() : QLatin1Char('_') + name;
            for (int picture = 0; picture < PictureCount; ++picture)
                load(&pictures[0][set][picture], &pictures[1][set][picture],
                     QStringLiteral(":/pixmap/GKC/%1/%2%3.png")
                         .arg(name, QLatin1String(pictureNames[picture]), suffix));
        }
        load(&highlights[0][0], &highlights[1][0], QStringLiteral(":/pixmap/GKC/highlightL"));
        load(&highlights[0][1], &highlights[1][1], QStringLiteral(":/pixmap/GKC/highlightR"));
        highlightWidth = highlights[0][0].width();
        if (missing > 0)
            qCWarning(keyboardLog) << missing << "key pictures are missing from the resources";
    }

    // The source picture of `source` (see HighlightLeftSource), "@2x" when asked and loaded.
    const QImage& sourcePicture(int source, bool dense) const
    {
        const int density = dense ? 1 : 0;
        const QImage& picture = source >= HighlightLeftSource
                                    ? highlights[density][source - HighlightLeftSource]
                                    : pictures[density][source / PictureCount][source % PictureCount];
        return dense && picture.isNull() ? sourcePicture(source, false) : picture;
    }
};

const SharedKeyboard& sharedKeyboard()
{
    static const SharedKeyboard shared;
    return shared;
}

// The area of octave group `group`, in units.
QRectF groupArea(int group)
{
    if (group == 0)
        return QRectF(0, 0, 70, ReferenceHeight);
    if (group == 8)
        return QRectF(1785, 0, 35, ReferenceHeight);
    return QRectF(245 * group - 175, 0, 245, ReferenceHeight);
}

int groupFirstKey(int group)
{
    return group == 0 ? 0 : group == 8 ? 87 : 12 * group - 9;
}

int groupLastKey(int group)
{
    return group == 0 ? 2 : group == 8 ? 87 : 12 * group + 2;
}

// Every pixel the unit rectangle touches, at `scale` pixels per unit.
QRect toPixels(const QRectF& units, const QPointF& scale)
{
    const int left = int(std::floor(units.left() * scale.x()));
    const int top = int(std::floor(units.top() * scale.y()));
    const int right = int(std::ceil(units.right() * scale.x()));
    const int bottom = int(std::ceil(units.bottom() * scale.y()));
    return QRect(left, top, right - left, bottom - top);
}

// The device pixels a picture placed on `units` covers: edges rounded, so that neighbouring keys
// meet without a gap or an overlap.
QRect toDevicePixels(const QRectF& units, const QPointF& scale, qreal ratio)
{
    const int left = qRound(units.left() * scale.x() * ratio);
    const int top = qRound(units.top() * scale.y() * ratio);
    const int right = qRound(units.right() * scale.x() * ratio);
    const int bottom = qRound(units.bottom() * scale.y() * ratio);
    return QRect(left, top, right - left, bottom - top);
}

QRectF pictureArea(const KeyDescriptor& key)
{
    return QRectF(key.pixmapPos, key.isWhite ? QSizeF(WhiteKeyWidth, ReferenceHeight) : key.upper.size());
}

} // namespace

struct Keyboard::PaintCache
{
    QSize size{-1, -1};
    QPointF scale{1.0, 1.0};
    std::array<QRegion, KeyCount> keyRegions; // hit areas in widget pixels
    std::array<QRect, GroupCount> groupRects; // widget pixels

    // The pictures for one device pixel ratio, scaled to the exact device pixels they cover.
    struct Layout
    {
        qreal ratio = 1.0;
        bool dense = false;
        std::array<QRect, KeyCount> pictureRects; // device pixels
        QHash<quint64, QPixmap> scaled;           // (source, width, height)
        std::array<std::array<QPixmap, KeyCount>, SetCount> keyPictures;

        const QPixmap& scaledPicture(int source, const QSize& pixels)
        {
            const quint64 id =
                quint64(source) << 40 | quint64(pixels.width()) << 20 | quint64(pixels.height());
            auto found = scaled.find(id);
            if (found != scaled.end())
                return *found;
            const QImage& image = sharedKeyboard().sourcePicture(source, dense);
            QPixmap picture;
            if (!image.isNull() && !pixels.isEmpty())
                picture =
                    QPixmap::fromImage(image.size() == pixels ? image
                                                              : image.scaled(pixels, Qt::IgnoreAspectRatio,
                                                                             Qt::SmoothTransformation));
            picture.setDevicePixelRatio(ratio);
            return *scaled.insert(id, picture);
        }
    };
    std::vector<std::unique_ptr<Layout>> layouts;

    void rebuild(const QSize& newSize)
    {
        size = newSize;
        scale = QPointF(size.width() / ReferenceWidth, size.height() / ReferenceHeight);
        const SharedKeyboard& shared = sharedKeyboard();
        for (int key = 0; key < KeyCount; ++key) {
            const KeyDescriptor& descriptor = shared.keys[size_t(key)];
            QRegion region(toPixels(descriptor.upper, scale));
            if (descriptor.isWhite)
                region += toPixels(descriptor.lower, scale);
            keyRegions[size_t(key)] = region;
        }
        for (int group = 0; group < GroupCount; ++group)
            groupRects[size_t(group)] = toPixels(groupArea(group), scale);
        layouts.clear();
    }

    Layout& layoutFor(qreal ratio)
    {
        for (const auto& layout : layouts)
            if (layout->ratio == ratio)
                return *layout;
        auto layout = std::make_unique<Layout>();
        layout->ratio = ratio;
        // Scaling a picture down keeps it sharp, scaling it up blurs it: the "@2x" pictures serve
        // whenever a unit covers more than one device pixel.
        layout->dense = ratio * std::max(scale.x(), scale.y()) > 1.0 + 1e-9;
        const SharedKeyboard& shared = sharedKeyboard();
        for (int key = 0; key < KeyCount; ++key)
            layout->pictureRects[size_t(key)] =
                toDevicePixels(pictureArea(shared.keys[size_t(key)]), scale, ratio);
        layouts.push_back(std::move(layout));
        return *layouts.back();
    }
};

Keyboard::Keyboard(QWidget* parent) : MusicControl(parent), m_cache(std::make_unique<PaintCache>())
{
    sharedKeyboard();
    static const bool registered = [] {
        qRegisterMetaType<KeysStateMap>("KeysStateMap");
        QAccessible::installFactory(KeyboardAccessible::Factory);
        return true;
    }();
    Q_UNUSED(registered)
    setMouseTracking(true);
}

Keyboard::~Keyboard() = default;

const Keyboard::PaintCache& Keyboard::keyGeometry() const
{
    if (m_cache->size != size())
        m_cache->rebuild(size());
    return *m_cache;
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
    const PaintCache& geometry = keyGeometry();
    if (geometry.size.isEmpty())
        return -1;
    const QPointF point(std::trunc(position.x() / geometry.scale.x()),
                        std::trunc(position.y() / geometry.scale.y()));
    const SharedKeyboard& shared = sharedKeyboard();
    for (int key = 0; key < KeyCount; ++key) {
        const KeyDescriptor& descriptor = shared.keys[size_t(key)];
        if (descriptor.upper.contains(point) || (descriptor.isWhite && descriptor.lower.contains(point)))
            return key;
    }
    return -1;
}

int Keyboard::groupOf(int key)
{
    if (key < 0 || key >= KeyCount)
        return -1;
    if (key <= 2)
        return 0;
    if (key == 87)
        return 8;
    return (key + 9) / 12;
}

QRegion Keyboard::keyRegion(int key) const
{
    return key >= 0 && key < KeyCount ? keyGeometry().keyRegions[size_t(key)] : QRegion();
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
        return GreenSet;
    case BlueMark:
        return BlueSet;
    case RedMark:
        return RedSet;
    default:
        break;
    }
    if (m_mode == PlayMode && key == m_pressedKey && state.played)
        return PressedSet;
    if (m_interactive && key == m_hoverKey && (m_mode != PlayMode || !state.played))
        return HoverSet;
    return NormalSet;
}

bool Keyboard::groupHasDirtyKey(int group) const
{
    for (int key = groupFirstKey(group); key <= groupLastKey(group); ++key)
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
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The ratio of the device the pixels land on: while the widget is rendered into a picture,
    // the painter's device is the widget itself and the engine's device is the picture.
    const QPaintDevice* target = painter.paintEngine() && painter.paintEngine()->paintDevice()
                                     ? painter.paintEngine()->paintDevice()
                                     : painter.device();
    const qreal ratio = target->devicePixelRatioF();
    keyGeometry();
    PaintCache::Layout& layout = m_cache->layoutFor(ratio);
    const SharedKeyboard& shared = sharedKeyboard();
    const QRegion& region = event->region();

    // A repaint of a few keys paints only their octave groups (clipped to the region); the groups
    // the region touches are painted too, for what lies under another window or half a pixel
    // beyond a key's edge.
    const bool partial = region.begin() != region.end() && region.begin()->width() < width();
    for (int group = 0; group < GroupCount; ++group) {
        if (partial && !groupHasDirtyKey(group) && !region.intersects(m_cache->groupRects[size_t(group)]))
            continue;
        for (const bool white : {true, false}) {
            for (int key = groupFirstKey(group); key <= groupLastKey(group); ++key) {
                const KeyDescriptor& descriptor = shared.keys[size_t(key)];
                if (descriptor.isWhite != white)
                    continue;
                const QRect& place = layout.pictureRects[size_t(key)];
                const int set = pictureSetOf(key);
                QPixmap& picture = layout.keyPictures[size_t(set)][size_t(key)];
                if (picture.isNull())
                    picture = layout.scaledPicture(set * PictureCount + descriptor.pixmapIndex, place.size());
                painter.drawPixmap(QPointF(place.x() / ratio, place.y() / ratio), picture);
                if (region.intersects(m_cache->keyRegions[size_t(key)].boundingRect()))
                    m_keys[size_t(key)].dirty = 0;
            }
        }
    }

    // The octave picked in modes 2 and 3 stands out: the rest is shaded and framed by the two
    // highlight pictures. In mode 0 a keyboard that takes no input may be shaded as a whole.
    const bool picking =
        (m_mode == PickKeyMode || m_mode == PickOctaveMode) && m_hoverGroup >= 0 && m_hoverGroup < GroupCount;
    const bool dimmed = m_mode == PlayMode && !m_interactive && m_dimmed;
    if (!picking && !dimmed)
        return;
    const QColor shade(0, 0, 0, 120);
    const QRectF hovered = picking ? groupArea(m_hoverGroup) : QRectF();
    painter.save();
    painter.scale(m_cache->scale.x(), m_cache->scale.y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    if (dimmed) {
        painter.drawRect(QRectF(0, 0, ReferenceWidth, ReferenceHeight));
    } else {
        if (hovered.left() > 0)
            painter.drawRect(QRectF(0, 0, hovered.left(), ReferenceHeight));
        if (hovered.right() < ReferenceWidth)
            painter.drawRect(QRectF(hovered.right(), 0, ReferenceWidth - hovered.right(), ReferenceHeight));
    }
    painter.restore();
    if (!picking || shared.highlightWidth <= 0)
        return;
    auto frame = [&](int source, const QRectF& units) {
        const QRect target = toDevicePixels(units, m_cache->scale, ratio);
        painter.drawPixmap(QPointF(target.x() / ratio, target.y() / ratio),
                           layout.scaledPicture(source, target.size()));
    };
    if (m_hoverGroup > 0)
        frame(HighlightLeftSource,
              QRectF(hovered.left() - shared.highlightWidth, 0, shared.highlightWidth, ReferenceHeight));
    if (m_hoverGroup < GroupCount - 1)
        frame(HighlightRightSource, QRectF(hovered.right(), 0, shared.highlightWidth, ReferenceHeight));
}

void Keyboard::mouseMoveEvent(QMouseEvent* event)
{
    const int key = keyAt(event->localPos());
    switch (m_mode) {
    case PickOctaveMode: {
        const int group = groupOf(key);
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
        m_hoverGroup = groupOf(key);
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
    if (key == -1)
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
