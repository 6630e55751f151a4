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
int OctaveOf(int key)
{
    return (key + 9) / 12;
}

int OctaveFirstKey(int octave)
{
    return 12 * octave - 9;
}

// Holds the keyboard in the reference layout's shape, as wide as the card allows: its height
// follows its width, so that the card asks for the height the keyboard needs.
class KeyboardHolder : public QWidget
{
public:
    KeyboardHolder(QWidget* keyboard, QWidget* parent) : QWidget(parent), keyboard(keyboard)
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
        keyboard->setGeometry(place);
    }

private:
    QWidget* keyboard;
};

} // namespace

namespace UI {

KeyRangeDialog::KeyRangeDialog(int pickMode, int lowest, int highestExcluded, QWidget* parent)
    : CardDialog(pickMode == Keyboard::PickOctaveMode ? tr("Pick an octave") : tr("Pick keys"),
                 QSize(cardWidth, 0), parent),
      m_ui(std::make_unique<Ui::KeyRangeDialog>()),
      mode(pickMode == Keyboard::PickOctaveMode ? int(Keyboard::PickOctaveMode) : int(Keyboard::PickKeyMode)),
      minimum(std::clamp(lowest, 0, Keyboard::KeyCount - 1)),
      maximum(std::clamp(highestExcluded, minimum + 1, int(Keyboard::KeyCount)))
{
    setObjectName(QStringLiteral("keyRangeDialog"));
    auto* body = new QWidget(Card());
    m_ui->setupUi(body);
    Body()->addWidget(body);
    if (mode == Keyboard::PickOctaveMode)
        m_ui->instruction->setText(tr("Click an octave"));

    keyboard = new Keyboard;
    keyboard->setObjectName(QStringLiteral("rangeKeyboard"));
    keyboard->setAccessibleName(m_ui->keyboardSlot->accessibleName());
    keyboard->setFocusPolicy(Qt::StrongFocus);
    keyboard->SetMode(mode);
    keyboard->installEventFilter(this);
    m_ui->keyboardSlot->layout()->addWidget(new KeyboardHolder(keyboard, m_ui->keyboardSlot));
    connect(keyboard, &Keyboard::hover, this, &KeyRangeDialog::OnHover);

    cancel = AddButton(tr("Cancel"), ButtonKind::Secondary);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

KeyRangeDialog::~KeyRangeDialog()
{
    // Hiding the visible keyboard while the base class is destroyed sends it a leave event, and
    // its hover(-1) must not reach the form, which is gone by then.
    disconnect(keyboard, nullptr, this, nullptr);
    keyboard->removeEventFilter(this);
}

void KeyRangeDialog::showEvent(QShowEvent* event)
{
    CardDialog::showEvent(event);
    keyboard->setFocus(Qt::OtherFocusReason);
}

bool KeyRangeDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The keyboard takes no presses while picking; the click is the release of the left button.
    // A move to the release point first brings what the keyboard reports up to date (a click
    // may come without a move before it).
    if (watched == keyboard && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && !finished) {
            QMouseEvent move(QEvent::MouseMove, mouse->localPos(), mouse->windowPos(), mouse->screenPos(),
                             Qt::NoButton, Qt::NoButton, mouse->modifiers());
            QCoreApplication::sendEvent(keyboard, &move);
            Pick();
        }
        return false;
    }
    return CardDialog::eventFilter(watched, event);
}

void KeyRangeDialog::keyPressEvent(QKeyEvent* event)
{
    const bool octaves = mode == Keyboard::PickOctaveMode;
    switch (event->key()) {
    case Qt::Key_Left:
        MovePointer(-1);
        return;
    case Qt::Key_Right:
        MovePointer(1);
        return;
    case Qt::Key_Down:
        MovePointer(octaves ? -1 : -12);
        return;
    case Qt::Key_Up:
        MovePointer(octaves ? 1 : 12);
        return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        // Enter on the focused "Cancel" button means that button.
        if (focusWidget() == cancel)
            reject();
        else if (!finished)
            Pick();
        return;
    default:
        CardDialog::keyPressEvent(event);
    }
}

void KeyRangeDialog::OnHover(int key)
{
    if (finished)
        return;
    if (mode == Keyboard::PickOctaveMode) {
        const int octave = OctaveOf(key);
        pointedKey =
            key >= 0 && octave >= lowestOctave && octave <= highestOctave ? OctaveFirstKey(octave) : -1;
    } else {
        pointedKey = key >= 0 && key < Keyboard::KeyCount ? key : -1;
    }
    ShowPointed();
    ShowMarks();
}

void KeyRangeDialog::Pick()
{
    if (finished || pointedKey < 0)
        return;
    if (mode == Keyboard::PickOctaveMode) {
        Finish(pointedKey, pointedKey + 11);
        return;
    }
    if (firstKey < 0) {
        firstKey = pointedKey;
        m_ui->instruction->setText(tr("Click the highest key"));
        ShowMarks();
        return;
    }
    // A second key below the first makes the first the highest.
    Finish(std::min(firstKey, pointedKey), std::max(firstKey, pointedKey));
}

void KeyRangeDialog::MovePointer(int steps)
{
    if (finished)
        return;
    int target;
    if (mode == Keyboard::PickOctaveMode) {
        const int start =
            pointedKey >= 0
                ? OctaveOf(pointedKey) + steps
                : OctaveOf(std::clamp(minimum, OctaveFirstKey(lowestOctave), OctaveFirstKey(highestOctave)));
        // Somewhere inside the octave: its E lies clear of the black keys.
        target = OctaveFirstKey(std::clamp(start, lowestOctave, highestOctave)) + 4;
    } else {
        const int from = pointedKey >= 0 ? pointedKey : firstKey >= 0 ? firstKey : -1;
        target = from >= 0 ? std::clamp(from + steps, 0, Keyboard::KeyCount - 1) : minimum;
    }
    PointAt(target);
}

void KeyRangeDialog::PointAt(int key)
{
    // A point on the key that no neighbour covers: low on a white key, mid-body on a black one.
    const QRect rect = keyboard->KeyRect(key);
    if (rect.isEmpty())
        return;
    const QPointF point = Keyboard::IsWhiteKey(key)
                              ? QPointF(rect.center().x(), rect.top() + rect.height() * 5 / 6)
                              : QPointF(rect.center());
    QMouseEvent move(QEvent::MouseMove, point, keyboard->mapTo(window(), point.toPoint()),
                     keyboard->mapToGlobal(point.toPoint()), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(keyboard, &move);
}

void KeyRangeDialog::ShowPointed()
{
    QString text;
    if (pointedKey >= 0)
        text = mode == Keyboard::PickOctaveMode ? KeyRangePicker::RangeText(pointedKey, pointedKey + 12)
                                                : Core::MusicTables::NoteLabel(pointedKey, false);
    m_ui->keyName->setText(text);
}

void KeyRangeDialog::ShowMarks()
{
    if (mode != Keyboard::PickKeyMode)
        return;
    KeysStateMap marks;
    if (pointedKey >= 0)
        marks[pointedKey].mark = Keyboard::BlueMark;
    if (firstKey >= 0)
        marks[firstKey].mark = Keyboard::GreenMark;
    keyboard->updateKeysState(marks);
}

void KeyRangeDialog::Finish(int lowest, int highest)
{
    finished = true;
    minimum = lowest;
    maximum = highest + 1;
    accept();
}

} // namespace UI
