// The on-screen keyboard driven with the mouse as a student plays it: which key a point hits at
// full and half size, press-slide-release signals, the picture each key state shows (sampled
// from the painted pixels against the compiled-in pictures, at device pixel ratios 1 and 2), the
// repainted area of one changed key, octave picking at the keyboard's ends, and what screen
// readers see.

#include "ui/controls/keyboard.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPainter>
#include <QtTest>

namespace {

// Records the region of every paint event of one widget.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;
    int events = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++events;
        }
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

QImage KeyPicture(const QString& set, const QString& name, bool dense)
{
    const QString suffix = set == QLatin1String("normal") ? QString() : QLatin1Char('_') + set;
    const QImage image(
        QStringLiteral(":/pixmap/GKC/%1/%2%3%4.png").arg(set, name, suffix, dense ? "@2x" : ""));
    return image.convertToFormat(QImage::Format_ARGB32);
}

// A point on the key that no neighbour covers: low on a white key, mid-body on a black one.
QPoint PlayPoint(const Keyboard& keyboard, int key)
{
    const QRect rect = keyboard.KeyRect(key);
    return Keyboard::IsWhiteKey(key) ? QPoint(rect.center().x(), rect.bottom() - rect.height() / 6)
                                     : rect.center();
}

// The mouse through the window system, as a real one comes (the window is the keyboard's own).
void Move(Keyboard& keyboard, const QPoint& point)
{
    QTest::mouseMove(keyboard.windowHandle(), point);
}

void Press(Keyboard& keyboard, const QPoint& point)
{
    QTest::mousePress(keyboard.windowHandle(), Qt::LeftButton, {}, point);
}

void Release(Keyboard& keyboard, const QPoint& point)
{
    QTest::mouseRelease(keyboard.windowHandle(), Qt::LeftButton, {}, point);
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

    std::unique_ptr<Keyboard> Shown(const QSize& size)
    {
        auto keyboard = std::make_unique<Keyboard>();
        keyboard->setFixedSize(size);
        keyboard->show();
        if (!QTest::qWaitForWindowExposed(keyboard.get()))
            return nullptr;
        return keyboard;
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        QVERIFY(!QImage(":/pixmap/GKC/normal/C.png").isNull());
    }

    // No keyboard starts under the mouse.
    void init() { QCursor::setPos(QPoint(-1000, -1000)); }

    void hitTest_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<int>("key");
        const QSize full(1820, 180), half(910, 90);
        QTest::newRow("A#0 body") << full << QPoint(40, 50) << 1;
        QTest::newRow("B0 below the black keys") << full << QPoint(40, 150) << 2;
        QTest::newRow("C8") << full << QPoint(1800, 20) << 87;
        QTest::newRow("half: A#0 body") << half << QPoint(20, 25) << 1;
        QTest::newRow("half: B0 below the black keys") << half << QPoint(20, 75) << 2;
        QTest::newRow("half: C8") << half << QPoint(900, 10) << 87;
        QTest::newRow("C1's edge against C#1") << full << QPoint(91, 50) << 3;
        QTest::newRow("C#1 one unit in") << full << QPoint(92, 50) << 4;
        QTest::newRow("half: C#1 one unit in") << half << QPoint(46, 25) << 4;
        QTest::newRow("C#1 just above the line") << full << QPoint(100, 107) << 4;
        QTest::newRow("C1 on the line under C#1") << full << QPoint(100, 108) << 3;
        QTest::newRow("half: C1 on the line") << half << QPoint(50, 54) << 3;
        QTest::newRow("D#1 on the line, no white key before it") << full << QPoint(150, 108) << 6;
        QTest::newRow("E1 below the line under D#1") << full << QPoint(150, 109) << 7;
        QTest::newRow("right of the keyboard") << full << QPoint(1821, 50) << -1;
        QTest::newRow("left of the keyboard") << full << QPoint(-1, 50) << -1;
        QTest::newRow("below the keyboard") << full << QPoint(100, 181) << -1;
        QTest::newRow("half: below the keyboard") << half << QPoint(100, 91) << -1;
    }

    void hitTest()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, pixel);
        QFETCH(int, key);
        auto keyboard = Shown(size);
        QVERIFY(keyboard);
        QSignalSpy pressed(keyboard.get(), &Keyboard::keyPressed);
        if (keyboard->rect().contains(pixel)) {
            Press(*keyboard, pixel);
            Release(*keyboard, pixel);
        } else {
            // Outside the window only a widget holding the mouse hears of it: sent to it directly.
            QTest::mousePress(keyboard.get(), Qt::LeftButton, {}, pixel);
            QTest::mouseRelease(keyboard.get(), Qt::LeftButton, {}, pixel);
        }
        if (key == -1) {
            QCOMPARE(pressed.count(), 0);
        } else {
            QCOMPARE(pressed.count(), 1);
            QCOMPARE(pressed.first().first().toInt(), key);
        }
    }

    void slidingOffReleasesWithoutPressingTheNeighbour()
    {
        auto keyboard = Shown({1820, 180});
        QVERIFY(keyboard);
        QStringList emitted;
        connect(keyboard.get(), &Keyboard::keyPressed,
                [&](int key) { emitted << QStringLiteral("pressed %1").arg(key); });
        connect(keyboard.get(), &Keyboard::keyReleased,
                [&](int key) { emitted << QStringLiteral("released %1").arg(key); });
        Move(*keyboard, PlayPoint(*keyboard, 39));
        Press(*keyboard, PlayPoint(*keyboard, 39));
        Move(*keyboard, PlayPoint(*keyboard, 41));
        QCOMPARE(emitted, QStringList({"pressed 39", "released 39"}));
        Release(*keyboard, PlayPoint(*keyboard, 41));
        QCOMPARE(emitted, QStringList({"pressed 39", "released 39"}));
        QCOMPARE(keyboard->KeyState(39).played, quint8(1));
        QCOMPARE(keyboard->KeyState(41).played, quint8(0));
    }

    // Steps, in order: hover, press, release, green, red, blue (through updateKeysState), reset,
    // static (not interactive).
    void pictureOfEachState_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("set");
        QTest::addColumn<qreal>("ratio");
        for (const qreal ratio : {1.0, 2.0}) {
            const QString at = ratio == 1 ? "" : " @2x";
            QTest::newRow(qPrintable("untouched" + at)) << 39 << "C" << QStringList() << "normal" << ratio;
            QTest::newRow(qPrintable("hovered" + at))
                << 39 << "C" << QStringList{"hover"} << "hover" << ratio;
            QTest::newRow(qPrintable("held" + at))
                << 39 << "C" << QStringList{"hover", "press"} << "pressed" << ratio;
            QTest::newRow(qPrintable("black key held" + at))
                << 45 << "F_sharp" << QStringList{"hover", "press"} << "pressed" << ratio;
            QTest::newRow(qPrintable("played, still under the mouse" + at))
                << 39 << "C" << QStringList{"hover", "press", "release"} << "normal" << ratio;
            QTest::newRow(qPrintable("played, hovered after a reset" + at))
                << 39 << "C" << QStringList{"hover", "press", "release", "reset", "hover"} << "hover"
                << ratio;
            QTest::newRow(qPrintable("green under the mouse" + at))
                << 39 << "C" << QStringList{"green", "hover"} << "green" << ratio;
            QTest::newRow(qPrintable("red while held" + at))
                << 45 << "F_sharp" << QStringList{"hover", "press", "red"} << "red" << ratio;
            QTest::newRow(qPrintable("blue under the mouse" + at))
                << 39 << "C" << QStringList{"blue", "hover"} << "blue" << ratio;
            QTest::newRow(qPrintable("hovered, not interactive" + at))
                << 39 << "C" << QStringList{"static", "hover"} << "normal" << ratio;
        }
    }

    void pictureOfEachState()
    {
        QFETCH(int, key);
        QFETCH(QString, picture);
        QFETCH(QStringList, steps);
        QFETCH(QString, set);
        QFETCH(qreal, ratio);
        auto keyboard = Shown({1820, 180});
        QVERIFY(keyboard);
        const QPoint point = PlayPoint(*keyboard, key);
        for (const QString& step : steps) {
            if (step == "hover") {
                Move(*keyboard, PlayPoint(*keyboard, 10));
                Move(*keyboard, point);
            } else if (step == "press") {
                Press(*keyboard, point);
            } else if (step == "release") {
                Release(*keyboard, point);
            } else if (step == "green" || step == "red") {
                keyboard->SetMarks(step == "green" ? QList<int>{key} : QList<int>{},
                                   step == "red" ? QList<int>{key} : QList<int>{});
            } else if (step == "blue") {
                KeysStateMap state;
                state[key].mark = Keyboard::BlueMark;
                keyboard->updateKeysState(state);
            } else if (step == "reset") {
                keyboard->ResetKeys();
            } else if (step == "static") {
                keyboard->SetInteractive(false);
            }
        }
        // The key's whole picture, drawn pixel for pixel at this ratio.
        QPixmap canvas(keyboard->size() * ratio);
        canvas.setDevicePixelRatio(ratio);
        canvas.fill(Qt::black);
        keyboard->render(&canvas);
        const QImage painted = canvas.toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage expected = KeyPicture(set, picture, ratio > 1);
        QVERIFY(!expected.isNull());
        const QPoint origin = keyboard->KeyRect(key).topLeft() * ratio;
        int compared = 0, differing = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                const QRgb want = expected.pixel(x, y);
                // Opaque pixels of this key that no black key is drawn over.
                const QPointF logical = QPointF(origin + QPoint(x, y)) / ratio;
                auto underBlackKey = [&](int other) {
                    return !Keyboard::IsWhiteKey(other) && QRectF(keyboard->KeyRect(other)).contains(logical);
                };
                if (qAlpha(want) != 255 || underBlackKey(key - 1) || underBlackKey(key + 1))
                    continue;
                ++compared;
                const QRgb got = painted.pixel(origin + QPoint(x, y));
                if (qAbs(qRed(got) - qRed(want)) > 2 || qAbs(qGreen(got) - qGreen(want)) > 2 ||
                    qAbs(qBlue(got) - qBlue(want)) > 2)
                    ++differing;
            }
        if (QGuiApplication::mouseButtons() != Qt::NoButton)
            Release(*keyboard, point);
        QVERIFY(compared > 500 * ratio * ratio);
        QCOMPARE(differing, 0);
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
        auto keyboard = Shown(size);
        QVERIFY(keyboard);
        QCoreApplication::processEvents();
        PaintRecorder recorder(keyboard.get());
        const QRegion whole(keyboard->rect());
        auto check = [&](const QList<int>& keys) {
            QVERIFY(recorder.events > 0);
            QRegion allowed;
            for (int key : keys)
                allowed += keyboard->KeyRect(key);
            QCOMPARE(recorder.painted.subtracted(allowed), QRegion());
            QVERIFY(Area(recorder.painted) * 20 < Area(whole));
            recorder.painted = QRegion();
            recorder.events = 0;
        };
        keyboard->SetMarks({40}, {});
        check({40});
        KeysStateMap state;
        state[40].mark = Keyboard::GreenMark;
        state[60].mark = Keyboard::RedMark;
        keyboard->updateKeysState(state);
        check({60});
        Move(*keyboard, PlayPoint(*keyboard, 20));
        recorder.painted = QRegion();
        recorder.events = 0;
        Move(*keyboard, PlayPoint(*keyboard, 21));
        check({20, 21});
        Press(*keyboard, PlayPoint(*keyboard, 21));
        check({21});
        Release(*keyboard, PlayPoint(*keyboard, 21));
        check({21});
    }

    // The exercise screen hands whole states over through queued connections: records that
    // differ are taken, keys the map leaves out lose their marks and played flags.
    void statesArriveQueued()
    {
        auto keyboard = Shown({910, 90});
        QVERIFY(keyboard);
        keyboard->SetMarks({10, 20}, {30});
        KeysStateMap state;
        state[20].mark = Keyboard::GreenMark;
        state[25].value0 = 7;
        state[25].played = 1;
        QVERIFY(QMetaObject::invokeMethod(keyboard.get(), "updateKeysState", Qt::QueuedConnection,
                                          Q_ARG(KeysStateMap, state)));
        QTRY_COMPARE(keyboard->KeyState(25).value0, 7);
        QCOMPARE(keyboard->KeyState(25).played, quint8(1));
        QCOMPARE(keyboard->KeyState(20).mark, qint32(Keyboard::GreenMark));
        QCOMPARE(keyboard->KeyState(10).mark, qint32(Keyboard::NoMark));
        QCOMPARE(keyboard->KeyState(30).mark, qint32(Keyboard::NoMark));
        QCOMPARE(keyboard->KeyState(25).dirty, quint8(0)); // repainted at once
    }

    void pickOctaveAtTheEndsHighlightsNothing_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("A0") << 0;
        QTest::newRow("A#0") << 1;
        QTest::newRow("B0") << 2;
        QTest::newRow("C8") << 87;
    }

    void pickOctaveAtTheEndsHighlightsNothing()
    {
        QFETCH(int, key);
        auto keyboard = Shown({1820, 180});
        QVERIFY(keyboard);
        const QImage plain = keyboard->grab().toImage();
        keyboard->SetMode(Keyboard::PickOctaveMode);
        QSignalSpy hover(keyboard.get(), &Keyboard::hover);
        Move(*keyboard, PlayPoint(*keyboard, 40));
        QCOMPARE(hover.count(), 1);
        QCOMPARE(hover.takeFirst().first().toInt(), 40);
        const QImage highlighted = keyboard->grab().toImage();
        QVERIFY(highlighted != plain);
        // Shaded outside the octave, untouched inside it.
        const QPoint outside = PlayPoint(*keyboard, 70), inside = PlayPoint(*keyboard, 40);
        QVERIFY(qGray(highlighted.pixel(outside)) < qGray(plain.pixel(outside)) - 40);
        QCOMPARE(highlighted.pixel(inside), plain.pixel(inside));

        Move(*keyboard, PlayPoint(*keyboard, key));
        QVERIFY(hover.count() >= 1);
        QCOMPARE(hover.last().first().toInt(), -1);
        QCOMPARE(keyboard->grab().toImage(), plain);
    }

    void accessibleKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("name");
        QTest::newRow("lowest") << 0 << "A0";
        QTest::newRow("first black key") << 1 << QString::fromUtf8("A♯0/B♭0");
        QTest::newRow("middle C") << 39 << "C4";
        QTest::newRow("F sharp 4") << 45 << QString::fromUtf8("F♯4/G♭4");
        QTest::newRow("B7") << 86 << "B7";
        QTest::newRow("highest") << 87 << "C8";
    }

    void accessibleKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, name);
        auto keyboard = Shown({1820, 180});
        QVERIFY(keyboard);
        QAccessibleInterface* piano = QAccessible::queryAccessibleInterface(keyboard.get());
        QVERIFY(piano);
        QCOMPARE(piano->text(QAccessible::Name), QStringLiteral("Piano keyboard"));
        QCOMPARE(piano->childCount(), 88);
        QAccessibleInterface* child = piano->child(key);
        QVERIFY(child);
        QCOMPARE(child->text(QAccessible::Name), name);
        QCOMPARE(child->role(), QAccessible::Button);
        QCOMPARE(child->parent(), piano);
        QCOMPARE(piano->indexOfChild(child), key);
        const QRect screen = child->rect();
        QCOMPARE(screen, QRect(keyboard->mapToGlobal(keyboard->KeyRect(key).topLeft()),
                               keyboard->KeyRect(key).size()));
        QCOMPARE(piano->childAt(keyboard->mapToGlobal(PlayPoint(*keyboard, key)).x(),
                                keyboard->mapToGlobal(PlayPoint(*keyboard, key)).y()),
                 child);
        QVERIFY(!child->state().pressed);
        QVERIFY(!child->state().disabled);
    }

    void accessibleStates()
    {
        auto keyboard = Shown({1820, 180});
        QVERIFY(keyboard);
        QAccessibleInterface* piano = QAccessible::queryAccessibleInterface(keyboard.get());
        QAccessibleInterface* key = piano->child(39);
        Press(*keyboard, PlayPoint(*keyboard, 39));
        QVERIFY(key->state().pressed);
        Release(*keyboard, PlayPoint(*keyboard, 39));
        QVERIFY(key->state().pressed); // played in this question
        keyboard->ResetKeys();
        QVERIFY(!key->state().pressed);

        keyboard->SetMarks({39}, {41});
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
        keyboard->SetMode(Keyboard::DisplayMode);
        QVERIFY(piano->child(50)->state().disabled);
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(pressed.count(), 1);
    }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
