#pragma once
// The drawn 88-key piano (A0 to C8) of the exercise screen and of the range-selection dialogs.
// The student plays answers on it with the mouse or the computer keyboard (mode 0), the exercise
// shows right, missed and wrong keys on it in colour and with a mark that does not need colour
// (a tick, a dot, a cross), and the range dialogs pick a key (mode 2) or an octave (mode 3) by
// hovering. The keys the computer keyboard plays carry their letters under a bar. Keys count 0-87 from the left; key k is MIDI note k + 21.
//
// One fixed reference layout of 1820 x 180 units is scaled to the widget (KeyboardGeometry); hit
// testing works in widget (logical) pixels. Keys are drawn from the compiled-in key pictures
// (KeyboardPictures), "@2x" ones on a device of ratio above 1, scaled once per widget size and
// ratio to the exact device pixels of each key, so that painting is a plain copy. Only keys whose
// look changed are repainted.
// Everything here runs on the GUI thread.

#include "music_control.h"

#include <QList>
#include <QString>
#include <QMap>
#include <QMetaType>

#include <array>
#include <memory>

class KeyboardGeometry;
class QPainter;

// The state of one key, as the callers hand it over in a KeysStateMap.
struct KeyStateRecord
{
    quint8 played = 0; // pressed since the last reset
    qint32 mark = 0;   // Keyboard::Mark
    quint8 dirty = 1;  // must be repainted

    // Equal in everything but the dirty flag.
    bool sameState(const KeyStateRecord& other) const { return played == other.played && mark == other.mark; }
};

// Key number (0-87) -> state, as handed to Keyboard::updateKeysState().
using KeysStateMap = QMap<int, KeyStateRecord>;
Q_DECLARE_METATYPE(KeysStateMap)

class Keyboard : public MusicControl
{
    Q_OBJECT
public:
    enum InputMode
    {
        PlayMode = 0,       // keys are pressed with the mouse
        DisplayMode = 1,    // shows marks, takes no presses
        PickKeyMode = 2,    // hovering picks a key
        PickOctaveMode = 3, // hovering picks an octave (C1-B7)
    };
    enum Mark
    {
        NoMark = 0,
        GreenMark = 1, // right
        BlueMark = 2,  // missed
        RedMark = 3,   // wrong
    };

    explicit Keyboard(QWidget* parent = nullptr);
    ~Keyboard() override;

    // Enables the widget; a change of mode forgets the octave (mode 3) or the key (mode 2) last
    // hovered and repaints.
    void setMode(int mode);
    int mode() const { return m_mode; }
    // Whether the keys react to the mouse (hover look, presses).
    void setInteractive(bool interactive);
    // Shades the whole keyboard in mode 0 while it is not interactive.
    void setDimmed(bool dimmed);
    // Replaces every mark: the keys of `green` get the green mark, those of `red` the red one, all
    // others none; the changed keys are repainted at once.
    void setMarks(const QList<int>& green, const QList<int>& red);
    // Clears every mark, the played flags and the hover key; the changed keys are repainted later.
    void resetKeys();

    // Keys played from elsewhere than the mouse (the computer keyboard), several at once: held
    // until released, with the same signals and look as a click. Ignored where a click would be.
    void pressKey(int key);
    void releaseKey(int key);
    // Releases every key held by pressKey, with their signals.
    void releaseKeys();
    // The letters of the keys the computer keyboard plays, by key; none hides the window.
    void setKeyLetters(const QMap<int, QString>& letters);

    KeyStateRecord keyState(int key) const;
    // The bounding rectangle of a key's hit area, in widget pixels (empty for no key).
    QRect keyRect(int key) const;

public Q_SLOTS:
    // Takes the records that differ from the stored ones, clears the played keys and marks that
    // the map leaves out, and repaints the changed keys at once.
    void updateKeysState(KeysStateMap newState);
    // Stored for the callers; the drawing does not depend on it.
    void changeFingersMode(bool fingersOn);

Q_SIGNALS:
    // Modes 2 and 3: the key under the mouse, or -1 when nothing is picked.
    void hover(int index);
    // Mode 0.
    void keyPressed(int key);
    void keyReleased(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class KeyboardAccessible;
    friend class KeyAccessible;
    struct PaintCache;

    // The geometry for the current size (rebuilt first when the size changed).
    const KeyboardGeometry& keyGeometry() const;
    // Hit test in widget pixels: the key under `position`, or -1.
    int keyAt(const QPointF& position) const;
    // The key's hit areas mapped to widget pixels.
    QRegion keyRegion(int key) const;
    QRegion dirtyRegion() const;
    void markDirty(int key);
    // markDirty, and tells screen readers that the key's states may have changed.
    void markStateChanged(int key);
    // Repaints the dirty keys' region synchronously.
    void repaintDirtyKeys();
    // Releases the held key, with its keyReleased() signal.
    void releaseHeldKey();
    // A press and release of `key`, as a click does (for assistive tools).
    void clickKey(int key);
    void paintKeyLetters(QPainter& painter, const QRegion& region) const;
    void paintMarks(QPainter& painter, const QRegion& region) const;
    // Which of the six picture sets draws `key` now.
    int pictureSetOf(int key) const;
    bool groupHasDirtyKey(int group) const;

    std::array<KeyStateRecord, KeyCount> m_keys;
    int m_mode = PlayMode;
    bool m_interactive = true;
    bool m_dimmed = false;
    bool m_fingersMode = false;
    int m_pressedKey = -1;
    int m_hoverKey = -1;
    int m_hoverGroup = -1;
    int m_hoverPickKey = -1;
    QList<int> m_playedKeys;
    QList<int> m_heldKeys;
    QMap<int, QString> m_letters;
    // The key geometry for this widget's size and the pictures scaled to it; rebuilt when the size
    // changes.
    std::unique_ptr<PaintCache> m_cache;
};
