// The on-screen keyboard driven with the mouse as a student plays it (key pictures' fit: test_assets).

#include "../common/rendered.h"
#include "ui/widgets/keyboard.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QtTest>

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
    void Press(const QPoint& at) { QTest::mousePress(keyboard->windowHandle(), Qt::LeftButton, {}, at); }
    void Release(const QPoint& at) { QTest::mouseRelease(keyboard->windowHandle(), Qt::LeftButton, {}, at); }

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
        QCOMPARE(QList<QVariantList>(pressed), key < 0 ? QList<QVariantList>() : QList<QVariantList>{{key}});
    }

    void slidingOffReleasesWithoutPressingTheNeighbour()
    {
        QVERIFY(Show());
        QSignalSpy pressed(keyboard.get(), &Keyboard::keyPressed);
        QSignalSpy released(keyboard.get(), &Keyboard::keyReleased);
        Move(39);
        Press(At(39));
        Move(41); // released on leaving the key, before the button goes up
        QCOMPARE(pressed, (QList<QVariantList>{{39}}));
        QCOMPARE(released, (QList<QVariantList>{{39}}));
        Release(At(41));
        QCOMPARE(pressed.count() + released.count(), 2);
        QCOMPARE(keyboard->keyState(39).played, quint8(1));
        QCOMPARE(keyboard->keyState(41).played, quint8(0));
    }

    // After the steps (hover, press, release, green, red, blue through updateKeysState, reset,
    // static: not interactive), the key shows the picture of `set`, at ratios 1 and 2; a marked
    // key (green, red, blue) also carries its mark, which covers a small part of it.
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
        KeysStateMap blue;
        blue[key].mark = Keyboard::BlueMark;
        const std::map<QString, std::function<void()>> act{
            {"hover", [&] { Move(10); Move(key); }},
            {"press", [&] { Press(point); }},
            {"release", [&] { Release(point); }},
            {"green", [&] { keyboard->setMarks({key}, {}); }},
            {"red", [&] { keyboard->setMarks({}, {key}); }},
            {"blue", [&] { keyboard->updateKeysState(blue); }},
            {"reset", [&] { keyboard->resetKeys(); }},
            {"static", [&] { keyboard->setInteractive(false); }}};
        for (const QString& step : steps)
            act.at(step)();
        const QImage painted[] = {Rendered(*keyboard, 1, Qt::black), Rendered(*keyboard, 2, Qt::black)};
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
            auto underBlackKey = [&](int other, const QPoint& at) {
                return !Keyboard::isWhiteKey(other) &&
                       QRectF(keyboard->keyRect(other)).contains(QPointF(at) / ratio);
            };
            for (int y = 0; y < expected.height(); ++y)
                for (int x = 0; x < expected.width(); ++x) {
                    const QPoint at = origin + QPoint(x, y);
                    const QRgb want = expected.pixel(x, y), got = painted[ratio - 1].pixel(at);
                    if (qAlpha(want) == 255 && !underBlackKey(key - 1, at) && !underBlackKey(key + 1, at)) {
                        ++compared;
                        differing += std::max({qAbs(qRed(got) - qRed(want)), qAbs(qGreen(got) - qGreen(want)),
                                               qAbs(qBlue(got) - qBlue(want))}) > 2;
                    }
                }
            QVERIFY(compared > 500 * ratio * ratio);
            if (set == "green" || set == "red" || set == "blue")
                QVERIFY2(differing > 20 * ratio * ratio && differing < compared / 4, qPrintable(QString::number(differing)));
            else
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
        struct PaintRecorder : QObject // the region of every paint event
        {
            QRegion painted;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::Paint)
                    painted += static_cast<QPaintEvent*>(event)->region();
                return false;
            }
        } recorder;
        keyboard->installEventFilter(&recorder);
        auto check = [&](const QList<int>& keys) {
            QVERIFY(!recorder.painted.isEmpty());
            QRegion allowed;
            for (int key : keys)
                allowed += keyboard->keyRect(key);
            QCOMPARE(recorder.painted.subtracted(allowed), QRegion());
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

    // Hovering shades all but the octave under the mouse; the partial end octaves (A0-B0, C8) cannot
    // be picked. (C1 and B7 through the range dialog: test_key_range_picker.)
    void pickOctaveShadesAllButTheOctave()
    {
        QVERIFY(Show());
        const QImage plain = keyboard->grab().toImage();
        keyboard->setMode(Keyboard::PickOctaveMode);
        QSignalSpy hover(keyboard.get(), &Keyboard::hover);
        Move(40);
        QCOMPARE(hover, (QList<QVariantList>{{40}}));
        const QImage highlighted = keyboard->grab().toImage();
        QVERIFY(qGray(highlighted.pixel(At(70))) < qGray(plain.pixel(At(70))) - 40);
        QCOMPARE(highlighted.pixel(At(40)), plain.pixel(At(40)));
        for (int end : {0, 87}) {
            Move(end);
            QCOMPARE(hover.takeLast(), QVariantList{-1});
            QCOMPARE(keyboard->grab().toImage(), plain);
            Move(40);
        }
    }

    // Each key is a child button named for its note, where it is drawn; its states follow what
    // the student played and the marks, and its press action plays it.
    void screenReaderSeesTheKeys()
    {
        QVERIFY(Show());
        QAccessibleInterface* piano = QAccessible::queryAccessibleInterface(keyboard.get());
        QVERIFY(piano);
        QCOMPARE(piano->childCount(), 88);
        const std::pair<int, const char*> named[] = {{0, "A0"}, {39, "C4"}, {45, "F♯4/G♭4"}, {87, "C8"}};
        for (const auto& [k, name] : named) {
            QAccessibleInterface* child = piano->child(k);
            QCOMPARE(child->text(QAccessible::Name), QString::fromUtf8(name));
            QCOMPARE(child->role(), QAccessible::Button);
            QCOMPARE(child->parent(), piano);
            QCOMPARE(piano->indexOfChild(child), k);
            const QRect rect = keyboard->keyRect(k);
            QCOMPARE(child->rect(), QRect(keyboard->mapToGlobal(rect.topLeft()), rect.size()));
            const QPoint global = keyboard->mapToGlobal(At(k));
            QCOMPARE(piano->childAt(global.x(), global.y()), child);
            QVERIFY(!child->state().pressed && !child->state().disabled);
        }

        QAccessibleInterface* key = piano->child(39);
        Press(At(39));
        QVERIFY(key->state().pressed);
        Release(At(39));
        QVERIFY(key->state().pressed); // played in this question
        keyboard->setMarks({39}, {41});
        QVERIFY(key->state().checked);
        QCOMPARE(key->text(QAccessible::Description), QStringLiteral("right"));
        QVERIFY(!piano->child(41)->state().checked);
        QCOMPARE(piano->child(41)->text(QAccessible::Description), QStringLiteral("wrong"));
        // A new state takes the keys' marks and played flags that it leaves out.
        KeysStateMap state;
        state[43].mark = Keyboard::BlueMark;
        keyboard->updateKeysState(state);
        QCOMPARE(piano->child(43)->text(QAccessible::Description), QStringLiteral("missed"));
        QCOMPARE(key->text(QAccessible::Description), QString());
        QVERIFY(!key->state().pressed && !key->state().checked);

        // The press action plays the key as a click does; a keyboard that only shows takes none.
        QSignalSpy pressed(keyboard.get(), &Keyboard::keyPressed),
            released(keyboard.get(), &Keyboard::keyReleased);
        QAccessibleActionInterface* action = piano->child(50)->actionInterface();
        QVERIFY(action);
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(pressed, (QList<QVariantList>{{50}}));
        QCOMPARE(released, pressed);
        keyboard->setMode(Keyboard::DisplayMode);
        QVERIFY(piano->child(50)->state().disabled);
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(pressed.count(), 1);
    }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
