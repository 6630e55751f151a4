// The screen fader: the frames of a fade, the blend on the widget and on the screen (only where
// the two pictures differ), the end on the new screen, and fades cut short.

#include "ui/widgets/fader_widget.h"

#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTimeLine>
#include <QtTest>

namespace {

QWidget* Screen(const QColor& colour)
{
    auto* screen = new QWidget;
    screen->setAutoFillBackground(true);
    QPalette palette = screen->palette();
    palette.setColor(QPalette::Window, colour);
    screen->setPalette(palette);
    return screen;
}

// What the widget paints, transparent where it paints nothing; or, with `onScreen`, what its
// window's backing store shows, so that a part that was not repainted shows as it was.
QImage Picture(QWidget& widget, bool onScreen = false)
{
    QImage image;
    if (onScreen) {
        image = widget.screen()->grabWindow(widget.winId()).toImage();
    } else {
        QPixmap picture(widget.size() * widget.devicePixelRatioF());
        picture.setDevicePixelRatio(widget.devicePixelRatioF());
        picture.fill(Qt::transparent);
        widget.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
        image = picture.toImage();
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(qreal(image.width()) / widget.width()); // whatever the grab reports
    return image;
}

// The pixel of `image` at a point given in widget coordinates.
QRgb PixelAt(const QImage& image, int x, int y)
{
    return image.pixel((QPointF(x, y) * image.devicePixelRatio()).toPoint());
}

QRgb Centre(QWidget& widget)
{
    return PixelAt(Picture(widget), widget.width() / 2, widget.height() / 2);
}

int Distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

const QRgb bandGrey = qRgb(160, 160, 164);
// In the 320 x 200 fader: a grey band across the middle third, a square in the middle of it.
const QRect bandRect(0, 66, 320, 66);
const QRect squareRect(150, 90, 20, 20);

// Paints the band and the square in its own colour, and nothing elsewhere: two of them differ
// only in the square.
class BandWidget : public QWidget
{
public:
    explicit BandWidget(const QColor& colour) : squareColour(colour) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(bandRect, QColor(bandGrey));
        painter.fillRect(squareRect, squareColour);
    }

private:
    QColor squareColour;
};

QWidget* Band(const QColor& colour)
{
    return new BandWidget(colour);
}

} // namespace

class TestFaderWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    UI::FaderWidget* fader = nullptr;
    QWidget* red = nullptr;
    QWidget* blue = nullptr;

    void PauseAt(int time)
    {
        fader->timeLine()->setPaused(true);
        fader->timeLine()->setCurrentTime(time);
    }

private Q_SLOTS:
    void init()
    {
        window = std::make_unique<QWidget>();
        window->resize(320, 200);
        fader = new UI::FaderWidget(window.get());
        fader->setGeometry(window->rect());
        red = Screen(Qt::red);
        blue = Screen(Qt::blue);
        fader->reset(red);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() { window.reset(); }

    // Frames falling to 0, then the last widget asked for alone in the layout, filling it, shown and
    // focused, announced by one fadeFinished. A reset cuts a fade short at once and announces
    // nothing; a second fade cuts the first short.
    void fadeEndsOnTheLastWidget_data()
    {
        QTest::addColumn<QString>("cut"); // how the fade to blue is cut short
        QTest::newRow("not cut") << "";
        QTest::newRow("by a reset") << "reset";
        QTest::newRow("by a second fade") << "fade";
    }
    void fadeEndsOnTheLastWidget()
    {
        QFETCH(QString, cut);
        QWidget* last = cut.isEmpty() ? blue : cut == QLatin1String("reset") ? red : Screen(Qt::green);
        QSignalSpy frames(fader->timeLine(), &QTimeLine::frameChanged);
        QSignalSpy finished(fader, &UI::FaderWidget::fadeFinished);
        fader->fadeIn(blue);
        QVERIFY(!blue->isVisible());
        if (!cut.isEmpty()) {
            QTRY_VERIFY(fader->timeLine()->currentFrame() < 20);
            cut == QLatin1String("reset") ? fader->reset(last) : fader->fadeIn(last);
        }
        QTRY_COMPARE(fader->timeLine()->state(), QTimeLine::NotRunning);
        QCOMPARE(finished.count(), cut == QLatin1String("reset") ? 0 : 1);
        QVERIFY(finished.isEmpty() || finished.first().first().value<QWidget*>() == last);
        if (cut.isEmpty()) {
            QVERIFY(frames.count() >= 2);
            QCOMPARE(frames.last().first().toInt(), 0);
            for (int i = 1; i < frames.count(); ++i)
                QVERIFY(frames[i].first().toInt() < frames[i - 1].first().toInt());
        }
        QCOMPARE(fader->content(), last);
        QCOMPARE(fader->layout()->count(), 1);
        QVERIFY(last->isVisible() && (last == blue || !blue->isVisible()) &&
                (last == red || !red->isVisible()));
        QCOMPARE(last->geometry(), fader->rect());
        QTRY_VERIFY(cut == QLatin1String("reset") || last->hasFocus()); // a reset does not take the focus
        QCOMPARE(Centre(*fader), last->palette().color(QPalette::Window).rgb());
    }

    // Where the pictures differ the screen follows the frames; the rest shows the new picture, and
    // the window where neither paints.
    void screenFollowsFrames()
    {
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, Qt::white);
        window->setPalette(palette);
        window->setAutoFillBackground(true);
        fader->reset(Band(Qt::red));
        const QRect band = bandRect, inside = squareRect;
        // The square's corners, the band beside it, and the window above the band and in a corner.
        auto showsSquare = [&](QRgb square) {
            const QImage screen = Picture(*window, true);
            auto at = [&](int x, int y) { return PixelAt(screen, x, y); };
            return Distance(at(inside.left(), inside.top()), square) <= 2 &&
                   Distance(at(inside.right(), inside.bottom()), square) <= 2 &&
                   at(inside.left() - 3, inside.center().y()) == bandGrey &&
                   at(band.center().x(), band.top() - 3) == qRgb(255, 255, 255) &&
                   at(2, fader->height() - 3) == qRgb(255, 255, 255);
        };
        QTRY_VERIFY(showsSquare(qRgb(255, 0, 0)));
        fader->fadeIn(Band(Qt::blue));
        for (const int time : {700, 525, 350, 100, 0}) {
            PauseAt(time);
            const int frame = fader->timeLine()->currentFrame(); // the red square's share, in thirtieths
            QTRY_VERIFY2(showsSquare(qRgb(255 * frame / 30, 0, 255 * (30 - frame) / 30)),
                         qPrintable(QString::number(time)));
        }
    }

    // A fade starts from what was shown: the blend of a fade it cuts short at half way (also one
    // of the content over itself), or the picture held before the content changed.
    void fadeStartsFromThePictureShown_data()
    {
        QTest::addColumn<QString>("before"); // the first fade's target; or "held"
        QTest::addColumn<int>("time");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("half blend to green") << "blue" << 350 << qRgb(64, 128, 64);
        QTest::newRow("over itself to green") << "red" << 350 << qRgb(128, 128, 0);
        QTest::newRow("held picture to green") << "held" << 350 << qRgb(128, 128, 0);
    }
    void fadeStartsFromThePictureShown()
    {
        QFETCH(QString, before);
        QFETCH(int, time);
        QFETCH(QRgb, colour);
        QWidget* next = red;
        if (before == QLatin1String("held")) {
            fader->holdPicture();
            QPalette palette = red->palette();
            palette.setColor(QPalette::Window, Qt::green);
            red->setPalette(palette);
        } else {
            const bool self = before == QLatin1String("red");
            fader->fadeIn(self ? red : blue);
            PauseAt(350);
            QVERIFY(Distance(Centre(*fader), self ? qRgb(255, 0, 0) : qRgb(128, 0, 128)) <= 2);
            next = Screen(Qt::green);
        }
        fader->fadeIn(next);
        PauseAt(time);
        QVERIFY2(Distance(Centre(*fader), colour) <= 2, qPrintable(QString::number(Centre(*fader), 16)));
    }

    // A fade cut short after a paint at another size (the window grown and shrunk back while it
    // ran) starts from a picture of the present size; it once copied its blend past the end.
    void fadeCutShortAfterAPaintAtAnotherSize()
    {
        UI::FaderWidget top;
        top.resize(200, 100);
        top.show();
        QVERIFY(QTest::qWaitForWindowExposed(&top));
        top.fadeIn(Screen(Qt::red));
        top.resize(400, 300);
        QCoreApplication::processEvents();
        top.repaint();
        top.resize(200, 100); // and no paint before the next fade
        QWidget* last = Screen(Qt::blue);
        top.fadeIn(last);
        QTRY_COMPARE(top.content(), last);
        QTRY_COMPARE(top.timeLine()->state(), QTimeLine::NotRunning);
        QCOMPARE(Centre(top), qRgb(0, 0, 255));
    }
};

QTEST_MAIN(TestFaderWidget)
#include "test_fader_widget.moc"
