// The on-screen keyboard driven with the mouse as a student plays it: which key a point hits at
// full and half size, press-slide-release signals, the picture each key state shows (sampled
// from the painted pixels against the compiled-in pictures, at device pixel ratios 1 and 2), the
// repainted area of one changed key, octave picking at the keyboard's ends, and what screen
// readers see. The key pictures' fit to the layout is checked in test_assets.

#include "ui/widgets/keyboard.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QtTest>

namespace {

// Records the region of every paint event of one widget.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

int Area(const QRegion& region)
{
    int area = 0;
    for (const QRect& rect : region)
        area += rect.width() * rect.height();
    return area;
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

    std::unique_ptr<Keyboard> keyboard;

    // A keyboard of its own window at `size`: the reference size is 1820 × 180, a pixel a unit.
    bool Show(const QSize& size = QSize(1820, 180))
    {
        keyboard = std::make_unique<Keyboard>();
        keyboard->setFixedSize(size);
        keyboard->show();
        return QTest::qWaitForWindowExposed(keyboard.get());
    }
    // A point on the key that no neighbour covers: low on a white key, mid-body on a black one.
    QPoint At(int key) const
    {
        const QRect rect = keyboard->keyRect(key);
        return Keyboard::isWhiteKey(key) ? QPoint(rect.center().x(), rect.bottom() - rect.height() / 6)
                                         : rect.center();
    }
    // The mouse through the window system, as a real one comes (the window is the keyboard's own).
    void Move(int key) { QTest::mouseMove(keyboard->windowHandle(), At(key)); }
    void Press(const QPoint& point)
    {
        QTest::mousePress(keyboard->windowHandle(), Qt::LeftButton, {}, point);
    }
    void Release(const QPoint& point)
    {
        QTest::mouseRelease(keyboard->windowHandle(), Qt::LeftButton, {}, point);
    }

private slots:
    void initTestCase() { Q_INIT_RESOURCE(assets); }
    // No keyboard starts under the mouse.
    void init() { QCursor::setPos(QPoint(-1000, -1000)); }
    void cleanup() { keyboard.reset(); }

    // The reference layout is 52 white keys of 35 × 180 with black keys 108 high; at half size
    // every length halves.
    void pointPlaysTheKeyUnderIt_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<int>("key");
        const QSize full(1820, 180), half(910, 90);
        QTest::newRow("A#0 body") << full << QPoint(40, 50) << 1;
        QTest::newRow("B0 below the black keys") << full << QPoint(40, 150) << 2;
        QTest::newRow("C1's edge against C#1") << full << QPoint(91, 50) << 3;
        QTest::newRow("C#1 one unit in") << full << QPoint(92, 50) << 4;
        QTest::newRow("C#1 just above the line") << full << QPoint(100, 107) << 4;
        QTest::newRow("C1 on the line under C#1") << full << QPoint(100, 108) << 3;
        QTest::newRow("D#1 on the line, no white key before it") << full << QPoint(150, 108) << 6;
        QTest::newRow("E1 below the line under D#1") << full << QPoint(150, 109) << 7;
        QTest::newRow("A0 at the left edge") << full << QPoint(0, 50) << 0;
        QTest::newRow("left of the keyboard") << full << QPoint(-1, 50) << -1;
        QTest::newRow("C8 at the right edge") << full << QPoint(1819, 20) << 87;
        QTest::newRow("C1 at the bottom edge") << full << QPoint(100, 179) << 3;
        QTest::newRow("half: A#0 body") << half << QPoint(20, 25) << 1;
        QTest::newRow("half: C#1 one unit in") << half << QPoint(46, 25) << 4;
        QTest::newRow("half: C1 on the line") << half << QPoint(50, 54) << 3;
        QTest::newRow("half: C1 at the bottom edge") << half << QPoint(50, 89) << 3;
    }

    void pointPlaysTheKeyUnderIt()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, pixel);
        QFETCH(int, key);
        QVERIFY(Show(size));
        QSignalSpy pressed(keyboard.get(), &Keyboard::keyPressed);
        // Sent to the widget, as to one holding the mouse: a point outside its window too.
        QTest::mousePress(keyboard.get(), Qt::LeftButton, {}, pixel);
        QTest::mouseRelease(keyboard.get(), Qt::LeftButton, {}, pixel);
        QCOMPARE(pressed.count(), key == -1 ? 0 : 1);
        if (key != -1)
            QCOMPARE(pressed.first().first().toInt(), key);
    }

    void slidingOffReleasesWithoutPressingTheNeighbour()
    {
        QVERIFY(Show());
        QStringList emitted;
        connect(keyboard.get(), &Keyboard::keyPressed,
                [&](int key) { emitted << QStringLiteral("pressed %1").arg(key); });
        connect(keyboard.get(), &Keyboard::keyReleased,
                [&](int key) { emitted << QStringLiteral("released %1").arg(key); });
        Move(39);
        Press(At(39));
        Move(41);
        QCOMPARE(emitted, QStringList({"pressed 39", "released 39"}));
        Release(At(41));
        QCOMPARE(emitted, QStringList({"pressed 39", "released 39"}));
        QCOMPARE(keyboard->keyState(39).played, quint8(1));
        QCOMPARE(keyboard->keyState(41).played, quint8(0));
    }

    // After the steps (hover, press, release, green, red, blue through updateKeysState, reset,
    // static: not interactive), the key shows the picture of `set`, at ratios 1 and 2.
    void eachKeyStateShowsItsPicture_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("set");
        auto row = [](const char* name, int key, const char* steps, const char* set) {
            QTest::newRow(name) << key << QString(steps).split(' ', Qt::SkipEmptyParts) << QString(set);
        };
        row("untouched", 39, "", "normal");
        row("hovered", 39, "hover", "hover");
        row("held", 39, "hover press", "pressed");
        row("played, still under the mouse", 39, "hover press release", "normal");
        row("played, hovered after a reset", 39, "hover press release reset hover", "hover");
        row("green under the mouse", 39, "green hover", "green");
        row("black key red while held", 45, "hover press red", "red");
        row("blue under the mouse", 39, "blue hover", "blue");
        row("hovered, not interactive", 39, "static hover", "normal");
    }
    void eachKeyStateShowsItsPicture()
    {
        QFETCH(int, key);
        QFETCH(QStringList, steps);
        QFETCH(QString, set);
        QVERIFY(Show());
        const QPoint point = At(key);
        for (const QString& step : steps) {
            if (step == "hover") {
                Move(10);
                Move(key);
            } else if (step == "press" || step == "release") {
                step == "press" ? Press(point) : Release(point);
            } else if (step == "green" || step == "red") {
                keyboard->setMarks(step == "green" ? QList<int>{key} : QList<int>{},
                                   step == "red" ? QList<int>{key} : QList<int>{});
            } else if (step == "blue") {
                KeysStateMap state;
                state[key].mark = Keyboard::BlueMark;
                keyboard->updateKeysState(state);
            } else {
                step == "reset" ? keyboard->resetKeys() : keyboard->setInteractive(false);
            }
        }
        QImage painted[2];
        for (int ratio : {1, 2}) {
            QPixmap canvas(keyboard->size() * ratio);
            canvas.setDevicePixelRatio(ratio);
            canvas.fill(Qt::black);
            keyboard->render(&canvas);
            painted[ratio - 1] = canvas.toImage().convertToFormat(QImage::Format_ARGB32);
        }
        if (QGuiApplication::mouseButtons() != Qt::NoButton)
            Release(point);
        // The key's whole picture, drawn pixel for pixel, where no black key lies over it.
        for (int ratio : {1, 2}) {
            const QImage expected =
                QImage(QStringLiteral(":/pixmap/GKC/%1/%2%3%4.png")
                           .arg(set, key == 39 ? "C" : "F_sharp", set == "normal" ? QString() : '_' + set,
                                ratio > 1 ? "@2x" : ""))
                    .convertToFormat(QImage::Format_ARGB32);
            QVERIFY(!expected.isNull());
            const QPoint origin = keyboard->keyRect(key).topLeft() * ratio;
            int compared = 0, differing = 0;
            for (int y = 0; y < expected.height(); ++y)
                for (int x = 0; x < expected.width(); ++x) {
                    const QRgb want = expected.pixel(x, y),
                               got = painted[ratio - 1].pixel(origin + QPoint(x, y));
                    const QPointF logical = QPointF(origin + QPoint(x, y)) / ratio;
                    auto underBlackKey = [&](int other) {
                        return !Keyboard::isWhiteKey(other) &&
                               QRectF(keyboard->keyRect(other)).contains(logical);
                    };
                    if (qAlpha(want) != 255 || underBlackKey(key - 1) || underBlackKey(key + 1))
                        continue;
                    ++compared;
                    differing += qAbs(qRed(got) - qRed(want)) > 2 || qAbs(qGreen(got) - qGreen(want)) > 2 ||
                                 qAbs(qBlue(got) - qBlue(want)) > 2;
                }
            QVERIFY(compared > 500 * ratio * ratio);
            QCOMPARE(differing, 0);
        }
    }

    void oneChangedKeyRepaintsOnlyItsArea_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("reference size") << QSize(1820, 180);
        QTest::newRow("larger") << QSize(1880, 190);
        QTest::newRow("half") << QSize(910, 90);
    }

    void oneChangedKeyRepaintsOnlyItsArea()
    {
        QFETCH(QSize, size);
        QVERIFY(Show(size));
        QCoreApplication::processEvents();
        PaintRecorder recorder(keyboard.get());
        auto check = [&](const QList<int>& keys) {
            QVERIFY(!recorder.painted.isEmpty());
            QRegion allowed;
            for (int key : keys)
                allowed += keyboard->keyRect(key);
            QCOMPARE(recorder.painted.subtracted(allowed), QRegion());
            QVERIFY(Area(recorder.painted) * 20 < Area(keyboard->rect()));
            recorder.painted = QRegion();
        };
        keyboard->setMarks({40}, {});
        check({40});
        KeysStateMap state;
        state[40].mark = Keyboard::GreenMark;
        state[60].mark = Keyboard::RedMark;
        keyboard->updateKeysState(state);
        check({60});
        Move(20);
        recorder.painted = QRegion();
        Move(21);
        check({20, 21});
        Press(At(21));
        check({21});
        Release(At(21));
        check({21});
    }

    // The exercise screen hands whole states over through queued connections: records that
    // differ are taken, keys the map leaves out lose their marks and played flags.
    void queuedStateReplacesMarksAndPlayedFlags()
    {
        QVERIFY(Show(QSize(910, 90)));
        keyboard->setMarks({10, 20}, {30});
        KeysStateMap state;
        state[20].mark = Keyboard::GreenMark;
        state[25].played = 1;
        QVERIFY(QMetaObject::invokeMethod(keyboard.get(), "updateKeysState", Qt::QueuedConnection,
                                          Q_ARG(KeysStateMap, state)));
        QTRY_COMPARE(keyboard->keyState(25).played, quint8(1));
        QCOMPARE(keyboard->keyState(20).mark, qint32(Keyboard::GreenMark));
        QCOMPARE(keyboard->keyState(10).mark, qint32(Keyboard::NoMark));
        QCOMPARE(keyboard->keyState(30).mark, qint32(Keyboard::NoMark));
    }

    // The partial octaves at the ends (A0-B0, C8) cannot be picked.
    void pickOctaveHighlightsAllButThePartialOctaves_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("hovered"); // what the hover signal reports
        QTest::newRow("A0") << 0 << -1;
        QTest::newRow("B0") << 2 << -1;
        QTest::newRow("C1") << 3 << 3;
        QTest::newRow("B7") << 86 << 86;
        QTest::newRow("C8") << 87 << -1;
    }

    void pickOctaveHighlightsAllButThePartialOctaves()
    {
        QFETCH(int, key);
        QFETCH(int, hovered);
        QVERIFY(Show());
        const QImage plain = keyboard->grab().toImage();
        keyboard->setMode(Keyboard::PickOctaveMode);
        QSignalSpy hover(keyboard.get(), &Keyboard::hover);
        Move(40);
        QCOMPARE(hover.count(), 1);
        QCOMPARE(hover.last().first().toInt(), 40);
        // Shaded outside the octave, untouched inside it.
        const QImage highlighted = keyboard->grab().toImage();
        QVERIFY(qGray(highlighted.pixel(At(70))) < qGray(plain.pixel(At(70))) - 40);
        QCOMPARE(highlighted.pixel(At(40)), plain.pixel(At(40)));
        Move(key);
        QCOMPARE(hover.count(), 2);
        QCOMPARE(hover.last().first().toInt(), hovered);
        QCOMPARE(keyboard->grab().toImage() == plain, hovered == -1);
    }

    void screenReaderSeesEachKey_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("name");
        QTest::newRow("lowest") << 0 << "A0";
        QTest::newRow("first black key") << 1 << QString::fromUtf8("A♯0/B♭0");
        QTest::newRow("middle C") << 39 << "C4";
        QTest::newRow("F sharp 4") << 45 << QString::fromUtf8("F♯4/G♭4");
        QTest::newRow("highest") << 87 << "C8";
    }

    void screenReaderSeesEachKey()
    {
        QFETCH(int, key);
        QFETCH(QString, name);
        QVERIFY(Show());
        QAccessibleInterface* piano = QAccessible::queryAccessibleInterface(keyboard.get());
        QVERIFY(piano);
        QCOMPARE(piano->childCount(), 88);
        QAccessibleInterface* child = piano->child(key);
        QVERIFY(child);
        QCOMPARE(child->text(QAccessible::Name), name);
        QCOMPARE(child->role(), QAccessible::Button);
        QCOMPARE(child->parent(), piano);
        QCOMPARE(piano->indexOfChild(child), key);
        const QRect rect = keyboard->keyRect(key);
        QCOMPARE(child->rect(), QRect(keyboard->mapToGlobal(rect.topLeft()), rect.size()));
        const QPoint global = keyboard->mapToGlobal(At(key));
        QCOMPARE(piano->childAt(global.x(), global.y()), child);
        QVERIFY(!child->state().pressed && !child->state().disabled);
    }

    void screenReaderSeesKeyStatesAndPresses()
    {
        QVERIFY(Show());
        QAccessibleInterface* piano = QAccessible::queryAccessibleInterface(keyboard.get());
        QAccessibleInterface* key = piano->child(39);
        Press(At(39));
        QVERIFY(key->state().pressed);
        Release(At(39));
        QVERIFY(key->state().pressed); // played in this question
        keyboard->resetKeys();
        QVERIFY(!key->state().pressed);

        keyboard->setMarks({39}, {41});
        QVERIFY(key->state().checked);
        QCOMPARE(key->text(QAccessible::Description), QStringLiteral("right"));
        QVERIFY(!piano->child(41)->state().checked);
        QCOMPARE(piano->child(41)->text(QAccessible::Description), QStringLiteral("wrong"));
        KeysStateMap state;
        state[43].mark = Keyboard::BlueMark;
        keyboard->updateKeysState(state);
        QCOMPARE(piano->child(43)->text(QAccessible::Description), QStringLiteral("missed"));
        QCOMPARE(key->text(QAccessible::Description), QString());

        // The press action plays the key as a click does; a keyboard that only shows takes none.
        QSignalSpy pressed(keyboard.get(), &Keyboard::keyPressed),
            released(keyboard.get(), &Keyboard::keyReleased);
        QAccessibleActionInterface* action = piano->child(50)->actionInterface();
        QVERIFY(action);
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(released.count(), 1);
        QCOMPARE(released.first().first().toInt(), 50);
        keyboard->setMode(Keyboard::DisplayMode);
        QVERIFY(piano->child(50)->state().disabled);
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(pressed.count(), 1);
    }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
