// The note-range editor driven as a teacher uses it: the drawn piano, the arrow keys, the two
// lists, and the range's text and staff at the keyboard's ends.

#include "../common/rendered.h"
#include "../common/screen_parts.h"
#include "ui/dialogs/key_range_dialog.h"
#include "ui/settings/key_range_picker.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/score_board.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

constexpr int keys = Keyboard::PickKeyMode;
constexpr int octave = Keyboard::PickOctaveMode;
constexpr int lists = -1; // the lists of the lowest and of the highest note

class TestKeyRangePicker : public QObject
{
    Q_OBJECT

    QWidget window;

    static Keyboard* Piano(UI::KeyRangeDialog* dialog) { return Part<Keyboard>(dialog, "rangeKeyboard"); }
    // A point on `key` that no neighbour covers (low on a white key, mid-body on a black one), in
    // the dialog's window: the mouse comes through it, as a real one does.
    static QPoint InDialog(UI::KeyRangeDialog& dialog, int key)
    {
        const QRect rect = Piano(&dialog)->keyRect(key);
        const QPoint at = Keyboard::isWhiteKey(key)
                              ? QPoint(rect.center().x(), rect.bottom() - rect.height() / 6)
                              : rect.center();
        return Piano(&dialog)->mapTo(&dialog, at);
    }
    static void Hover(UI::KeyRangeDialog& d, int k) { QTest::mouseMove(d.windowHandle(), InDialog(d, k)); }
    static void Click(UI::KeyRangeDialog& dialog, int key)
    {
        Hover(dialog, key);
        QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, InDialog(dialog, key));
    }
    static QString LabelText(const QWidget& w, const char* name) { return Part<QLabel>(&w, name)->text(); }

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

    // An owner that refuses a pick sets the range back from inside rangePicked, while the list
    // is still changing: the list and the text show the range kept, and the pick came once.
    void ownerRefuses()
    {
        UI::KeyRangePicker picker;
        picker.setRange(39, 52);
        QSignalSpy picked(&picker, &UI::KeyRangePicker::rangePicked);
        connect(&picker, &UI::KeyRangePicker::rangePicked, &picker, [&picker] { picker.setRange(39, 52); });
        QTest::keyClick(Part<QComboBox>(&picker, "highest"), Qt::Key_End);
        QCOMPARE(std::make_tuple(picked.count(), picker.maximum(), Part<QComboBox>(&picker, "highest")->currentIndex()),
                 std::make_tuple(1, 52, 51));
        QCOMPARE(LabelText(picker, "rangeText"), UI::KeyRangePicker::rangeText(39, 52));
    }

    // On a range from C4 to `top` (C5 but for one row), in the dialog opened by the picker's
    // buttons or in the lists. Actions: a number clicks that key; L, R, U, D press an arrow key,
    // ">" presses Enter; Esc and Cancel close the dialog; "highest:Home" presses Home in the list of
    // the highest note. A range counts only when the pick is finished, and then
    // once; crossed ends change places.
    void pick_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("top");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("minimum"); // -1: nothing is picked
        QTest::addColumn<int>("maximum");
        QTest::newRow("highest then lowest") << keys << 52 << "58 39" << 39 << 59;
        QTest::newRow("one key twice") << keys << 52 << "43 43" << 43 << 44;
        QTest::newRow("C8 then A0") << keys << 52 << "87 0" << 0 << 88;
        QTest::newRow("black keys at the ends") << keys << 52 << "1 85" << 1 << 86;
        QTest::newRow("Escape") << keys << 52 << "Esc" << -1 << -1;
        QTest::newRow("Escape after the lowest key") << keys << 52 << "44 Esc" << -1 << -1;
        QTest::newRow("Cancel after the lowest key") << keys << 52 << "44 Cancel" << -1 << -1;
        QTest::newRow("octave from G sharp 4") << octave << 52 << "47" << 39 << 51;
        QTest::newRow("lowest octave") << octave << 52 << "3" << 3 << 15;
        QTest::newRow("highest octave") << octave << 52 << "86" << 75 << 87;
        // Each key outside a whole octave is passed over.
        QTest::newRow("A0, A sharp 0, B0, C8, then E4") << octave << 52 << "0 1 2 87 44" << 39 << 51;
        QTest::newRow("arrows: right, back below") << keys << 52 << "R R R > L L L L >" << 37 << 42;
        QTest::newRow("arrows: held at C8") << keys << 52 << "R U U U U U > R >" << 87 << 88;
        QTest::newRow("arrows: held at A0") << keys << 52 << "R D D D D L > R >" << 0 << 2;
        QTest::newRow("arrows: Enter before a move") << keys << 52 << ">" << -1 << -1;
        QTest::newRow("arrows, then the mouse") << keys << 52 << "R > 50" << 39 << 51;
        QTest::newRow("octave arrows: one up") << octave << 52 << "R R >" << 51 << 63;
        QTest::newRow("octave arrows: held at C1") << octave << 52 << "R L L L L L L D >" << 3 << 15;
        QTest::newRow("octave arrows: held at B7") << octave << 52 << "R U U U R R R R >" << 75 << 87;
        QTest::newRow("highest below lowest") << lists << 52 << "highest:Home" << 0 << 40;
        QTest::newRow("lowest above highest") << lists << 52 << "lowest:End" << 51 << 88;
        QTest::newRow("highest up to C8") << lists << 52 << "highest:End" << 39 << 88;
        QTest::newRow("one key, lowest past it") << lists << 40 << "lowest:Down" << 39 << 41;
    }
    void pick()
    {
        QFETCH(int, mode);
        QFETCH(int, top);
        QFETCH(QString, actions);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        UI::KeyRangePicker picker(&window);
        picker.setRange(39, top);
        QSignalSpy picked(&picker, &UI::KeyRangePicker::rangePicked);
        UI::KeyRangeDialog* dialog = nullptr;
        if (mode != lists)
            QVERIFY(dialog = OpenFromPicker(picker, mode == keys ? "pickKeys" : "pickOctave"));
        const QString arrows = QStringLiteral("LRUD>");
        const Qt::Key arrowKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Return};
        for (const QString& action : actions.split(' ')) {
            if (action.contains(':')) {
                QTest::keyClick(picker.findChild<QComboBox*>(action.section(':', 0, 0)),
                                Qt::Key(QKeySequence::fromString(action.section(':', 1))[0]));
                continue;
            }
            QVERIFY(!dialog->isFadingOut());
            if (action == "Esc")
                QTest::keyClick(Piano(dialog), Qt::Key_Escape);
            else if (action == "Cancel")
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
            else if (arrows.contains(action))
                QTest::keyClick(Piano(dialog), arrowKeys[arrows.indexOf(action)]);
            else
                Click(*dialog, action.toInt());
        }
        if (dialog && minimum < 0 && !actions.endsWith("Esc") && !actions.endsWith("Cancel")) {
            QVERIFY(!dialog->isFadingOut()); // still waiting for the pick
            QTest::keyClick(Piano(dialog), Qt::Key_Escape);
        }
        QTRY_VERIFY(!window.findChild<UI::KeyRangeDialog*>());
        const int low = minimum < 0 ? 39 : minimum, high = minimum < 0 ? top : maximum;
        QCOMPARE(picked, (minimum < 0 ? QList<QVariantList>() : QList<QVariantList>{{low, high}}));
        QCOMPARE(qMakePair(picker.minimum(), picker.maximum()), qMakePair(low, high));
        QCOMPARE(picker.findChild<QComboBox*>(QStringLiteral("lowest"))->currentIndex(), low);
        QCOMPARE(picker.findChild<QComboBox*>(QStringLiteral("highest"))->currentIndex(), high - 1);
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
        QCOMPARE(Piano(dialog)->keyState(43).mark, int(Keyboard::GreenMark));
        Hover(*dialog, 1);
        QCOMPARE(LabelText(*dialog, "keyName"), QStringLiteral("A♯0"));

        QTest::keyClick(Piano(dialog), Qt::Key_Escape);
        QTRY_VERIFY(!window.findChild<UI::KeyRangeDialog*>());
        dialog = OpenFromPicker(picker, "pickOctave");
        QVERIFY(dialog);
        Hover(*dialog, 47);
        QCOMPARE(LabelText(*dialog, "keyName"), QStringLiteral("C4 – B4"));
        Hover(*dialog, 87);
        QCOMPARE(LabelText(*dialog, "keyName"), QString());
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
        Rendered(picker, 2);
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
