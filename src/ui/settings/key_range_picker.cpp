#include "ui/settings/key_range_picker.h"

#include "core/exercise/music_tables.h"
#include "core/score_builder.h"
#include "ui/dialogs/key_range_dialog.h"
#include "ui/interface_fonts.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/score_board.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int keyCount = Core::MusicTables::KeyCount;
constexpr int middleC = 39;
// Wide enough that the staff of two notes with a change of clef stays on one line. The staff
// grows with the height of its paper, so the paper keeps its size whatever room the page gives.
constexpr int staffWidth = 164;
constexpr int staffHeight = 140;

const char* const pickerStyle =
    "QLabel#rangeText { color: white; font: bold 20px \"Tahoma\"; }"
    "QLabel[caption=\"true\"] { color: rgb(150, 170, 200); font: 600 12px \"Tahoma\"; }"
    "QFrame#staffPaper { background: rgb(253, 252, 248); border: 1px solid rgb(214, 210, 205);"
    " border-radius: 8px; }"
    "QComboBox { font: 14px \"Tahoma\"; min-height: 24px; }"
    "QPushButton { color: white; font: bold 13px \"Tahoma\"; min-height: 26px; padding: 0px 10px;"
    " background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 rgb(98, 104, 118),"
    " stop: 1 rgb(75, 80, 92));"
    " border: 1px solid rgb(42, 45, 52); border-bottom: 2px solid rgb(24, 26, 31); border-radius: 6px; }"
    "QPushButton:hover { border-color: rgb(245, 154, 35); border-bottom-color: rgb(24, 26, 31); }"
    "QPushButton:focus { border-color: rgb(255, 193, 94); border-bottom-color: rgb(216, 112, 16); }"
    "QPushButton:pressed { background: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,"
    " stop: 0 rgb(75, 80, 92), stop: 1 rgb(42, 45, 52)); }";

QComboBox* noteList(const QString& name, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name.toLower());
    list->setAccessibleName(name);
    for (int key = 0; key < keyCount; ++key)
        list->addItem(Core::MusicTables::NoteLabel(key, false), key);
    list->setMaxVisibleItems(15);
    return list;
}

QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setProperty("caption", true);
    label->setBuddy(buddy);
    label->setAccessibleName(text);
    return label;
}

// One whole note of the staff, with its clef when the clef changes.
void writeStaffNote(QByteArray& out, int key, bool* treble, bool first)
{
    const bool wantTreble = key >= middleC;
    if (first || wantTreble != *treble)
        out += wantTreble ? "\\clef<\"g2\"> " : "\\clef<\"f4\"> ";
    *treble = wantTreble;
    Core::ScoreBuilder::WriteNote(out, key, false);
    out += "/1 ";
}

} // namespace

namespace UI {

KeyRangePicker::KeyRangePicker(QWidget* parent) : QWidget(parent)
{
    InterfaceFonts::registerFonts();
    setObjectName(QStringLiteral("keyRangePicker"));
    setAccessibleName(tr("Note range"));
    setStyleSheet(QLatin1String(pickerStyle));

    auto* paper = new QFrame(this);
    paper->setObjectName(QStringLiteral("staffPaper"));
    paper->setFixedSize(staffWidth, staffHeight);
    auto* paperLayout = new QVBoxLayout(paper);
    paperLayout->setContentsMargins(4, 4, 4, 4);
    m_staff = new ScoreBoard(paper);
    m_staff->setObjectName(QStringLiteral("rangeStaff"));
    m_staff->setAccessibleName(tr("Range on the staff"));
    // The paper decides the staff's size; the board's own wish (a page of the exercise screen) is
    // of no use here.
    m_staff->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    paperLayout->addWidget(m_staff);

    m_rangeText = new QLabel(this);
    m_rangeText->setObjectName(QStringLiteral("rangeText"));
    m_rangeText->setTextFormat(Qt::PlainText);
    m_rangeText->setAccessibleName(tr("Range"));

    m_lowest = noteList(tr("Lowest"), this);
    m_highest = noteList(tr("Highest"), this);
    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(10);
    lists->setVerticalSpacing(2);
    lists->addWidget(caption(tr("Lowest"), m_lowest, this), 0, 0);
    lists->addWidget(caption(tr("Highest"), m_highest, this), 0, 1);
    lists->addWidget(m_lowest, 1, 0);
    lists->addWidget(m_highest, 1, 1);

    m_pickKeys = new QPushButton(tr("Pick keys…"), this);
    m_pickKeys->setObjectName(QStringLiteral("pickKeys"));
    m_pickKeys->setAccessibleName(tr("Pick keys"));
    m_pickOctave = new QPushButton(tr("Pick an octave…"), this);
    m_pickOctave->setObjectName(QStringLiteral("pickOctave"));
    m_pickOctave->setAccessibleName(tr("Pick an octave"));
    for (QPushButton* button : {m_pickKeys, m_pickOctave})
        button->setCursor(Qt::PointingHandCursor);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(m_pickKeys);
    buttons->addWidget(m_pickOctave);
    buttons->addStretch(1);

    auto* controls = new QVBoxLayout;
    controls->setSpacing(6);
    controls->addWidget(m_rangeText);
    controls->addLayout(lists);
    controls->addStretch(1);
    controls->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 1);
    layout->setSpacing(14);
    layout->addWidget(paper);
    layout->addLayout(controls, 1);

    setTabOrder(m_lowest, m_highest);
    setTabOrder(m_highest, m_pickKeys);
    setTabOrder(m_pickKeys, m_pickOctave);

    connect(m_lowest, QOverload<int>::of(&QComboBox::activated), this, &KeyRangePicker::onLowestActivated);
    connect(m_highest, QOverload<int>::of(&QComboBox::activated), this, &KeyRangePicker::onHighestActivated);
    connect(m_pickKeys, &QPushButton::clicked, this, [this] { openDialog(Keyboard::PickKeyMode); });
    connect(m_pickOctave, &QPushButton::clicked, this, [this] { openDialog(Keyboard::PickOctaveMode); });
    showRange();
}

void KeyRangePicker::setRange(int newMinimum, int newMaximum)
{
    m_minimum = std::clamp(newMinimum, 0, keyCount - 1);
    m_maximum = std::clamp(newMaximum, m_minimum + 1, keyCount);
    showRange();
}

QString KeyRangePicker::rangeText(int lowestKey, int highestExcluded)
{
    const QString lowestName = Core::MusicTables::NoteLabel(lowestKey, false);
    if (highestExcluded - 1 <= lowestKey)
        return lowestName;
    return lowestName + QStringLiteral(" \u2013 ") + Core::MusicTables::NoteLabel(highestExcluded - 1, false);
}

QByteArray KeyRangePicker::staffText(int lowestKey, int highestExcluded)
{
    QByteArray text = "{ [ ";
    bool treble = true;
    writeStaffNote(text, lowestKey, &treble, true);
    if (highestExcluded - 1 > lowestKey)
        writeStaffNote(text, highestExcluded - 1, &treble, false);
    text += "] }";
    return text;
}

void KeyRangePicker::showRange()
{
    m_rangeText->setText(rangeText(m_minimum, m_maximum));
    m_lowest->setCurrentIndex(m_minimum);
    m_highest->setCurrentIndex(m_maximum - 1);
    m_staff->setScore(staffText(m_minimum, m_maximum));
}

void KeyRangePicker::choose(int lowestKey, int highestExcluded)
{
    const int previousMinimum = m_minimum;
    const int previousMaximum = m_maximum;
    setRange(lowestKey, highestExcluded);
    if (m_minimum != previousMinimum || m_maximum != previousMaximum)
        Q_EMIT rangePicked(m_minimum, m_maximum);
}

// A lowest note above the highest one, or a highest below the lowest, swaps the two ends: the
// note just chosen is kept and the other end moves to the other side of it.
void KeyRangePicker::onLowestActivated(int index)
{
    const int highestKey = m_maximum - 1;
    if (index <= highestKey)
        choose(index, m_maximum);
    else
        choose(highestKey, index + 1);
}

void KeyRangePicker::onHighestActivated(int index)
{
    if (index >= m_minimum)
        choose(m_minimum, index + 1);
    else
        choose(index, m_minimum + 1);
}

void KeyRangePicker::openDialog(int mode)
{
    auto* dialog = new KeyRangeDialog(mode, m_minimum, m_maximum, window());
    connect(dialog, &QDialog::accepted, this,
            [this, dialog] { choose(dialog->minimum(), dialog->maximum()); });
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->open();
}

} // namespace UI
