#include "ui/dialogs/key_range_dialog.h"

#include "ui_key_range_dialog.h"

#include "core/exercise/music_tables.h"
#include "ui/settings/key_range_picker.h"
#include "ui/widgets/keyboard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int cardWidth = 980;
// The keyboard's reference layout, whose shape the keyboard keeps in the dialog.
constexpr double keyboardAspect = 1820.0 / 180.0;
constexpr int lowestOctave = 1; // C1-B1
constexpr int highestOctave = 7;

// Keyboard octave groups: group g = 1-7 holds the keys 12g - 9 (C) to 12g + 2 (B).
int octaveOf(int key)
{
    return (key + 9) / 12;
}

int octaveFirstKey(int octave)
{
    return 12 * octave - 9;
}

// Holds the keyboard in the reference layout's shape, as wide as the card allows: its height
// follows its width, so that the card asks for the height the keyboard needs.
class KeyboardHolder : public QWidget
{
public:
    KeyboardHolder(QWidget* keyboard, QWidget* parent) : QWidget(parent), m_keyboard(keyboard)
    {
        keyboard->setParent(this);
        QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return qRound(width / keyboardAspect); }
    QSize sizeHint() const override { return QSize(910, 90); }
    QSize minimumSizeHint() const override { return QSize(364, 36); }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        const int keyboardWidth = std::min(width(), int(height() * keyboardAspect));
        QRect place(0, 0, keyboardWidth, qRound(keyboardWidth / keyboardAspect));
        place.moveCenter(rect().center());
        m_keyboard->setGeometry(place);
    }

private:
    QWidget* m_keyboard;
};

} // namespace

namespace UI {

KeyRangeDialog::KeyRangeDialog(int pickMode, int lowest, int highestExcluded, QWidget* parent)
    : CardDialog(pickMode == Keyboard::PickOctaveMode ? tr("Pick an octave") : tr("Pick keys"),
                 QSize(cardWidth, 0), parent),
      m_ui(std::make_unique<Ui::KeyRangeDialog>()),
      m_mode(pickMode == Keyboard::PickOctaveMode ? int(Keyboard::PickOctaveMode)
                                                  : int(Keyboard::PickKeyMode)),
      m_minimum(std::clamp(lowest, 0, Keyboard::KeyCount - 1)),
      m_maximum(std::clamp(highestExcluded, m_minimum + 1, int(Keyboard::KeyCount)))
{
    setObjectName(QStringLiteral("keyRangeDialog"));
    auto* content = new QWidget(card());
    m_ui->setupUi(content);
    body()->addWidget(content);
    if (m_mode == Keyboard::PickOctaveMode)
        m_ui->instruction->setText(tr("Click an octave"));

    m_keyboard = new Keyboard;
    m_keyboard->setObjectName(QStringLiteral("rangeKeyboard"));
    m_keyboard->setAccessibleName(m_ui->keyboardSlot->accessibleName());
    m_keyboard->setFocusPolicy(Qt::StrongFocus);
    m_keyboard->setMode(m_mode);
    m_keyboard->installEventFilter(this);
    m_ui->keyboardSlot->layout()->addWidget(new KeyboardHolder(m_keyboard, m_ui->keyboardSlot));
    connect(m_keyboard, &Keyboard::hover, this, &KeyRangeDialog::onHover);

    m_cancel = addButton(tr("Cancel"), ButtonKind::Secondary);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

KeyRangeDialog::~KeyRangeDialog()
{
    // Hiding the visible keyboard while the base class is destroyed sends it a leave event, and
    // its hover(-1) must not reach the form, which is gone by then.
    disconnect(m_keyboard, nullptr, this, nullptr);
    m_keyboard->removeEventFilter(this);
}

void KeyRangeDialog::showEvent(QShowEvent* event)
{
    CardDialog::showEvent(event);
    m_keyboard->setFocus(Qt::OtherFocusReason);
}

bool KeyRangeDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The keyboard takes no presses while picking; the click is the release of the left button.
    // A move to the release point first brings what the keyboard reports up to date (a click
    // may come without a move before it).
    if (watched == m_keyboard && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && !m_finished) {
            QMouseEvent move(QEvent::MouseMove, mouse->localPos(), mouse->windowPos(), mouse->screenPos(),
                             Qt::NoButton, Qt::NoButton, mouse->modifiers());
            QCoreApplication::sendEvent(m_keyboard, &move);
            pick();
        }
        return false;
    }
    return CardDialog::eventFilter(watched, event);
}

void KeyRangeDialog::keyPressEvent(QKeyEvent* event)
{
    const bool octaves = m_mode == Keyboard::PickOctaveMode;
    switch (event->key()) {
    case Qt::Key_Left:
        movePointer(-1);
        return;
    case Qt::Key_Right:
        movePointer(1);
        return;
    case Qt::Key_Down:
        movePointer(octaves ? -1 : -12);
        return;
    case Qt::Key_Up:
        movePointer(octaves ? 1 : 12);
        return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        // Enter on the focused "Cancel" button means that button.
        if (focusWidget() == m_cancel)
            reject();
        else if (!m_finished)
            pick();
        return;
    default:
        CardDialog::keyPressEvent(event);
    }
}

void KeyRangeDialog::onHover(int key)
{
    if (m_finished)
        return;
    if (m_mode == Keyboard::PickOctaveMode) {
        const int octave = octaveOf(key);
        m_pointedKey =
            key >= 0 && octave >= lowestOctave && octave <= highestOctave ? octaveFirstKey(octave) : -1;
    } else {
        m_pointedKey = key >= 0 && key < Keyboard::KeyCount ? key : -1;
    }
    showPointed();
    showMarks();
}

void KeyRangeDialog::pick()
{
    if (m_finished || m_pointedKey < 0)
        return;
    if (m_mode == Keyboard::PickOctaveMode) {
        finish(m_pointedKey, m_pointedKey + 11);
        return;
    }
    if (m_firstKey < 0) {
        m_firstKey = m_pointedKey;
        m_ui->instruction->setText(tr("Click the highest key"));
        showMarks();
        return;
    }
    // A second key below the first makes the first the highest.
    finish(std::min(m_firstKey, m_pointedKey), std::max(m_firstKey, m_pointedKey));
}

void KeyRangeDialog::movePointer(int steps)
{
    if (m_finished)
        return;
    int target;
    if (m_mode == Keyboard::PickOctaveMode) {
        const int start = m_pointedKey >= 0 ? octaveOf(m_pointedKey) + steps
                                            : octaveOf(std::clamp(m_minimum, octaveFirstKey(lowestOctave),
                                                                  octaveFirstKey(highestOctave)));
        // Somewhere inside the octave: its E lies clear of the black keys.
        target = octaveFirstKey(std::clamp(start, lowestOctave, highestOctave)) + 4;
    } else {
        const int from = m_pointedKey >= 0 ? m_pointedKey : m_firstKey >= 0 ? m_firstKey : -1;
        target = from >= 0 ? std::clamp(from + steps, 0, Keyboard::KeyCount - 1) : m_minimum;
    }
    pointAt(target);
}

void KeyRangeDialog::pointAt(int key)
{
    // A point on the key that no neighbour covers: low on a white key, mid-body on a black one.
    const QRect rect = m_keyboard->keyRect(key);
    if (rect.isEmpty())
        return;
    const QPointF point = Keyboard::isWhiteKey(key)
                              ? QPointF(rect.center().x(), rect.top() + rect.height() * 5 / 6)
                              : QPointF(rect.center());
    QMouseEvent move(QEvent::MouseMove, point, m_keyboard->mapTo(window(), point.toPoint()),
                     m_keyboard->mapToGlobal(point.toPoint()), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_keyboard, &move);
}

void KeyRangeDialog::showPointed()
{
    QString text;
    if (m_pointedKey >= 0)
        text = m_mode == Keyboard::PickOctaveMode ? KeyRangePicker::rangeText(m_pointedKey, m_pointedKey + 12)
                                                  : Core::MusicTables::NoteLabel(m_pointedKey, false);
    m_ui->keyName->setText(text);
}

void KeyRangeDialog::showMarks()
{
    if (m_mode != Keyboard::PickKeyMode)
        return;
    KeysStateMap marks;
    if (m_pointedKey >= 0)
        marks[m_pointedKey].mark = Keyboard::BlueMark;
    if (m_firstKey >= 0)
        marks[m_firstKey].mark = Keyboard::GreenMark;
    m_keyboard->updateKeysState(marks);
}

void KeyRangeDialog::finish(int lowest, int highest)
{
    m_finished = true;
    m_minimum = lowest;
    m_maximum = highest + 1;
    accept();
}

} // namespace UI
