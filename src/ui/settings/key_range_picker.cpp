#include "ui/settings/key_range_picker.h"

#include "core/exercise/music_tables.h"
#include "core/score_builder.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/score_board.h"
#include "ui/interface_fonts.h"
#include "ui/dialogs/key_range_dialog.h"

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

QComboBox* NoteList(const QString& name, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name.toLower());
    list->setAccessibleName(name);
    for (int key = 0; key < keyCount; ++key)
        list->addItem(Core::MusicTables::NoteLabel(key, false), key);
    list->setMaxVisibleItems(15);
    return list;
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* caption = new QLabel(text, parent);
    caption->setProperty("caption", true);
    caption->setBuddy(buddy);
    caption->setAccessibleName(text);
    return caption;
}

// One whole note of the staff, with its clef when the clef changes.
void WriteStaffNote(QByteArray& out, int key, bool* treble, bool first)
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
    InterfaceFonts::Register();
    setObjectName(QStringLiteral("keyRangePicker"));
    setAccessibleName(tr("Note range"));
    setStyleSheet(QLatin1String(pickerStyle));

    auto* paper = new QFrame(this);
    paper->setObjectName(QStringLiteral("staffPaper"));
    paper->setFixedSize(staffWidth, staffHeight);
    auto* paperLayout = new QVBoxLayout(paper);
    paperLayout->setContentsMargins(4, 4, 4, 4);
    staff = new ScoreBoard(paper);
    staff->setObjectName(QStringLiteral("rangeStaff"));
    staff->setAccessibleName(tr("Range on the staff"));
    // The paper decides the staff's size; the board's own wish (a page of the exercise screen) is
    // of no use here.
    staff->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    paperLayout->addWidget(staff);

    rangeText = new QLabel(this);
    rangeText->setObjectName(QStringLiteral("rangeText"));
    rangeText->setTextFormat(Qt::PlainText);
    rangeText->setAccessibleName(tr("Range"));

    lowest = NoteList(tr("Lowest"), this);
    highest = NoteList(tr("Highest"), this);
    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(10);
    lists->setVerticalSpacing(2);
    lists->addWidget(Caption(tr("Lowest"), lowest, this), 0, 0);
    lists->addWidget(Caption(tr("Highest"), highest, this), 0, 1);
    lists->addWidget(lowest, 1, 0);
    lists->addWidget(highest, 1, 1);

    pickKeys = new QPushButton(tr("Pick keys…"), this);
    pickKeys->setObjectName(QStringLiteral("pickKeys"));
    pickKeys->setAccessibleName(tr("Pick keys"));
    pickOctave = new QPushButton(tr("Pick an octave…"), this);
    pickOctave->setObjectName(QStringLiteral("pickOctave"));
    pickOctave->setAccessibleName(tr("Pick an octave"));
    for (QPushButton* button : {pickKeys, pickOctave})
        button->setCursor(Qt::PointingHandCursor);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(pickKeys);
    buttons->addWidget(pickOctave);
    buttons->addStretch(1);

    auto* controls = new QVBoxLayout;
    controls->setSpacing(6);
    controls->addWidget(rangeText);
    controls->addLayout(lists);
    controls->addStretch(1);
    controls->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 1);
    layout->setSpacing(14);
    layout->addWidget(paper);
    layout->addLayout(controls, 1);

    setTabOrder(lowest, highest);
    setTabOrder(highest, pickKeys);
    setTabOrder(pickKeys, pickOctave);

    connect(lowest, QOverload<int>::of(&QComboBox::activated), this, &KeyRangePicker::OnLowestActivated);
    connect(highest, QOverload<int>::of(&QComboBox::activated), this, &KeyRangePicker::OnHighestActivated);
    connect(pickKeys, &QPushButton::clicked, this, [this] { OpenDialog(Keyboard::PickKeyMode); });
    connect(pickOctave, &QPushButton::clicked, this, [this] { OpenDialog(Keyboard::PickOctaveMode); });
    ShowRange();
}

void KeyRangePicker::SetRange(int newMinimum, int newMaximum)
{
    minimum = std::clamp(newMinimum, 0, keyCount - 1);
    maximum = std::clamp(newMaximum, minimum + 1, keyCount);
    ShowRange();
}

QString KeyRangePicker::RangeText(int lowestKey, int highestExcluded)
{
    const QString lowestName = Core::MusicTables::NoteLabel(lowestKey, false);
    if (highestExcluded - 1 <= lowestKey)
        return lowestName;
    return lowestName + QStringLiteral(" \u2013 ") + Core::MusicTables::NoteLabel(highestExcluded - 1, false);
}

QByteArray KeyRangePicker::StaffText(int lowestKey, int highestExcluded)
{
    QByteArray text = "{ [ ";
    bool treble = true;
    WriteStaffNote(text, lowestKey, &treble, true);
    if (highestExcluded - 1 > lowestKey)
        WriteStaffNote(text, highestExcluded - 1, &treble, false);
    text += "] }";
    return text;
}

void KeyRangePicker::ShowRange()
{
    rangeText->setText(RangeText(minimum, maximum));
    lowest->setCurrentIndex(minimum);
    highest->setCurrentIndex(maximum - 1);
    staff->SetScore(StaffText(minimum, maximum));
}

void KeyRangePicker::Choose(int lowestKey, int highestExcluded)
{
    const int previousMinimum = minimum;
    const int previousMaximum = maximum;
    SetRange(lowestKey, highestExcluded);
    if (minimum != previousMinimum || maximum != previousMaximum)
        emit rangePicked(minimum, maximum);
}

// A lowest note above the highest one, or a highest below the lowest, swaps the two ends: the
// note just chosen is kept and the other end moves to the other side of it.
void KeyRangePicker::OnLowestActivated(int index)
{
    const int highestKey = maximum - 1;
    if (index <= highestKey)
        Choose(index, maximum);
    else
        Choose(highestKey, index + 1);
}

void KeyRangePicker::OnHighestActivated(int index)
{
    if (index >= minimum)
        Choose(minimum, index + 1);
    else
        Choose(index, minimum + 1);
}

void KeyRangePicker::OpenDialog(int mode)
{
    auto* dialog = new KeyRangeDialog(mode, minimum, maximum, window());
    connect(dialog, &QDialog::accepted, this,
            [this, dialog] { Choose(dialog->Minimum(), dialog->Maximum()); });
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->open();
}

} // namespace UI
