// The note-range editor of the settings pages, driven as a teacher uses it: keys and octaves
// clicked on the dialog's drawn piano (at the keys' painted places) or chosen with the arrow keys
// and Enter, cancelling, the two note lists with crossed ends, and the range's text and staff at
// the keyboard's ends.

#include "ui/dialogs/key_range_dialog.h"
#include "ui/settings/key_range_picker.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/score_board.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

// A point well inside `key`, from the keyboard's reference layout of 1820 x 180 units scaled to
// the widget: the middle of a white key's part below the black keys, the middle of a black key.
QPoint KeyCentre(const QWidget& keyboard, int key)
{
    static const int whiteIndex[12] = {0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6}; // C ... B
    static const double blackLeft[12] = {0, 21, 0, 65, 0, 0, 126, 0, 165, 0, 206, 0};
    const int note = (key - 3) % 12;
    double x = 1802.5, y = 144; // C8
    if (key <= 2) {
        x = key == 0 ? 17.5 : key == 1 ? 39.5 : 52.5;
        y = key == 1 ? 54 : 144;
    } else if (key < 87 && whiteIndex[note] >= 0) {
        x = 70 + 245 * ((key - 3) / 12) + 35 * whiteIndex[note] + 17.5;
    } else if (key < 87) {
        x = 70 + 245 * ((key - 3) / 12) + blackLeft[note] + (note == 8 ? 10 : 9.5); // G sharp is 20 wide
        y = 54;
    }
    return QPoint(qRound(x * keyboard.width() / 1820), qRound(y * keyboard.height() / 180));
}

// The mouse through the dialog's window, as a real one comes.
QPoint InDialog(UI::KeyRangeDialog& dialog, int key)
{
    return dialog.pianoKeyboard()->mapTo(&dialog, KeyCentre(*dialog.pianoKeyboard(), key));
}

void Hover(UI::KeyRangeDialog& dialog, int key)
{
    QTest::mouseMove(dialog.windowHandle(), InDialog(dialog, key));
}

void Click(UI::KeyRangeDialog& dialog, int key)
{
    Hover(dialog, key);
    QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, InDialog(dialog, key));
}

QString LabelText(const QWidget& parent, const char* name)
{
    return parent.findChild<QLabel*>(QLatin1String(name))->text();
}

constexpr int keys = Keyboard::PickKeyMode;
constexpr int octave = Keyboard::PickOctaveMode;

} // namespace

class TestKeyRangePicker : public QObject
{
    Q_OBJECT

    QWidget window;

    UI::KeyRangeDialog* OpenFromPicker(UI::KeyRangePicker& picker, const char* button)
    {
        picker.show();
        QTest::mouseClick(picker.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
        auto* dialog = window.findChild<UI::KeyRangeDialog*>();
        if (!dialog || !QTest::qWaitForWindowExposed(dialog))
            return nullptr;
        QTest::mouseMove(dialog->windowHandle(), QPoint(1, 1)); // away from the keyboard
        return dialog;
    }

private Q_SLOTS:
    void initTestCase()
    {
        window.resize(1100, 420);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    // Through the picker's buttons, on a range of C4 - C5. Actions: a number clicks that key;
    // L, R, U, D press an arrow key, ">" presses Enter; Esc and Cancel close the dialog. A range
    // counts only when the pick is finished, and then once.
    void pick_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("minimum"); // -1: nothing is picked
        QTest::addColumn<int>("maximum");
        QTest::newRow("highest then lowest") << keys << "58 39" << 39 << 59;
        QTest::newRow("one key twice") << keys << "43 43" << 43 << 44;
        QTest::newRow("C8 then A0") << keys << "87 0" << 0 << 88;
        QTest::newRow("black keys at the ends") << keys << "1 85" << 1 << 86;
        QTest::newRow("Escape") << keys << "Esc" << -1 << -1;
        QTest::newRow("Escape after the lowest key") << keys << "44 Esc" << -1 << -1;
        QTest::newRow("Cancel after the lowest key") << keys << "44 Cancel" << -1 << -1;
        QTest::newRow("octave from G sharp 4") << octave << "47" << 39 << 51;
        QTest::newRow("lowest octave") << octave << "3" << 3 << 15;
        QTest::newRow("highest octave") << octave << "86" << 75 << 87;
        // Each key outside a whole octave is passed over.
        QTest::newRow("A0, A sharp 0, B0, C8, then E4") << octave << "0 1 2 87 44" << 39 << 51;
        QTest::newRow("arrows: right, back below") << keys << "R R R > L L L L >" << 37 << 42;
        QTest::newRow("arrows: held at C8") << keys << "R U U U U U > R >" << 87 << 88;
        QTest::newRow("arrows: held at A0") << keys << "R D D D D L > R >" << 0 << 2;
        QTest::newRow("arrows: Enter before a move") << keys << ">" << -1 << -1;
        QTest::newRow("arrows, then the mouse") << keys << "R > 50" << 39 << 51;
        QTest::newRow("octave arrows: one up") << octave << "R R >" << 51 << 63;
        QTest::newRow("octave arrows: held at C1") << octave << "R L L L L L L D >" << 3 << 15;
        QTest::newRow("octave arrows: held at B7") << octave << "R U U U R R R R >" << 75 << 87;
    }
    void pick()
    {
        QFETCH(int, mode);
        QFETCH(QString, actions);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        UI::KeyRangePicker picker(&window);
        picker.setRange(39, 52);
        QSignalSpy picked(&picker, &UI::KeyRangePicker::rangePicked);
        UI::KeyRangeDialog* dialog = OpenFromPicker(picker, mode == keys ? "pickKeys" : "pickOctave");
        QVERIFY(dialog);
        QCOMPARE(dialog->geometry().size(), window.size());
        const QString arrows = QStringLiteral("LRUD>");
        const Qt::Key arrowKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Return};
        for (const QString& action : actions.split(' ')) {
            QVERIFY(!dialog->isFadingOut());
            if (action == "Esc")
                QTest::keyClick(dialog->pianoKeyboard(), Qt::Key_Escape);
            else if (action == "Cancel")
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
            else if (arrows.contains(action))
                QTest::keyClick(dialog->pianoKeyboard(), arrowKeys[arrows.indexOf(action)]);
            else
                Click(*dialog, action.toInt());
        }
        if (minimum < 0 && !actions.endsWith("Esc") && !actions.endsWith("Cancel")) {
            QVERIFY(!dialog->isFadingOut()); // still waiting for the pick
            QTest::keyClick(dialog->pianoKeyboard(), Qt::Key_Escape);
        }
        QTRY_VERIFY(!window.findChild<UI::KeyRangeDialog*>());
        QCOMPARE(picked.count(), minimum < 0 ? 0 : 1);
        const int low = minimum < 0 ? 39 : minimum, high = minimum < 0 ? 52 : maximum;
        QCOMPARE(picker.minimum(), low);
        QCOMPARE(picker.maximum(), high);
        if (minimum >= 0)
            QCOMPARE(picked.at(0), (QVariantList{low, high}));
        QCOMPARE(LabelText(picker, "rangeText"), UI::KeyRangePicker::rangeText(low, high));
    }

    void instructionsAndPointedName()
    {
        UI::KeyRangePicker picker(&window);
        UI::KeyRangeDialog* dialog = OpenFromPicker(picker, "pickKeys");
        QVERIFY(dialog);
        Hover(*dialog, 43);
        QCOMPARE(LabelText(*dialog, "keyName"), QStringLiteral("E4"));
        Click(*dialog, 43);
        QCOMPARE(LabelText(*dialog, "instruction"), QStringLiteral("Click the highest key"));
        QCOMPARE(dialog->pianoKeyboard()->keyState(43).mark, int(Keyboard::GreenMark));
        Hover(*dialog, 1);
        QCOMPARE(LabelText(*dialog, "keyName"), QStringLiteral("A♯0"));

        QTest::keyClick(dialog->pianoKeyboard(), Qt::Key_Escape);
        QTRY_VERIFY(!window.findChild<UI::KeyRangeDialog*>());
        dialog = OpenFromPicker(picker, "pickOctave");
        QVERIFY(dialog);
        Hover(*dialog, 47);
        QCOMPARE(LabelText(*dialog, "keyName"), QStringLiteral("C4 – B4"));
        Hover(*dialog, 87);
        QCOMPARE(LabelText(*dialog, "keyName"), QString());
    }

    void lists_data()
    {
        QTest::addColumn<int>("maximum"); // the range starts at C4
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("newMinimum");
        QTest::addColumn<int>("newMaximum");
        QTest::newRow("highest below lowest swaps") << 52 << "highest" << int(Qt::Key_Home) << 0 << 40;
        QTest::newRow("lowest above highest swaps") << 52 << "lowest" << int(Qt::Key_End) << 51 << 88;
        QTest::newRow("highest up to C8") << 52 << "highest" << int(Qt::Key_End) << 39 << 88;
        QTest::newRow("one key, lowest past it") << 40 << "lowest" << int(Qt::Key_Down) << 39 << 41;
    }
    void lists()
    {
        QFETCH(int, maximum);
        QFETCH(QString, list);
        QFETCH(int, key);
        QFETCH(int, newMinimum);
        QFETCH(int, newMaximum);
        UI::KeyRangePicker picker;
        picker.setRange(39, maximum);
        QSignalSpy picked(&picker, &UI::KeyRangePicker::rangePicked);
        QTest::keyClick(picker.findChild<QComboBox*>(list), Qt::Key(key));
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0), (QVariantList{newMinimum, newMaximum}));
        QCOMPARE(picker.findChild<QComboBox*>(QStringLiteral("lowest"))->currentIndex(), newMinimum);
        QCOMPARE(picker.findChild<QComboBox*>(QStringLiteral("highest"))->currentIndex(), newMaximum - 1);
        QCOMPARE(LabelText(picker, "rangeText"), UI::KeyRangePicker::rangeText(newMinimum, newMaximum));
    }

    // The text, the staff's notation, and its engraving at ratio 2: one line, nothing cut off.
    void textAndStaff_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("staff");
        QTest::newRow("whole keyboard")
            << 0 << 88 << "A0 – C8" << QByteArray(R"({ [ \clef<"f4"> a-3/1 \clef<"g2"> c5/1 ] })");
        QTest::newRow("A0 alone") << 0 << 1 << "A0" << QByteArray(R"({ [ \clef<"f4"> a-3/1 ] })");
        QTest::newRow("B3 to C4") << 38 << 40 << "B3 – C4"
                                  << QByteArray(R"({ [ \clef<"f4"> b0/1 \clef<"g2"> c1/1 ] })");
        QTest::newRow("black key") << 40 << 42 << "C♯4 – D4"
                                   << QByteArray(R"({ [ \clef<"g2"> c#1/1 d1/1 ] })");
    }
    void textAndStaff()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QTEST(UI::KeyRangePicker::rangeText(minimum, maximum), "text");
        QTEST(UI::KeyRangePicker::staffText(minimum, maximum), "staff");
        UI::KeyRangePicker picker(&window);
        picker.resize(420, 150);
        picker.setRange(minimum, maximum);
        picker.show();
        QPixmap picture(picker.size() * 2);
        picture.setDevicePixelRatio(2);
        picker.render(&picture);
        const auto* board = picker.findChild<UI::ScoreBoard*>();
        int systems = 0;
        for (const Notation::MapElement& element : board->lastMap().elements) {
            systems += element.type == Notation::MapElement::systemType ? 1 : 0;
            QVERIFY2(QRectF(board->rect()).adjusted(-0.5, -0.5, 0.5, 0.5).contains(element.box), "cut off");
        }
        QCOMPARE(systems, 1);
    }
};

QTEST_MAIN(TestKeyRangePicker)
#include "test_key_range_picker.moc"
