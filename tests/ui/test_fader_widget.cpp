// The screen fader: the frames of a fade, the blend on the widget and on the screen (only where
// the two pictures differ), the end on the new screen, and fades cut short.

#include "../common/rendered.h"
#include "../common/screen_parts.h"
#include "ui/widgets/fader_widget.h"

#include <QLayout>
#include <QScreen>

namespace {

// What the widget paints, transparent where it paints nothing; or, with `onScreen`, what its
// window's backing store shows, so that a part that was not repainted shows as it was.
QImage Picture(QWidget& widget, bool onScreen = false)
{
    QImage image =
        onScreen
            ? widget.screen()->grabWindow(widget.winId()).toImage().convertToFormat(QImage::Format_ARGB32)
            : Rendered(widget, widget.devicePixelRatioF());
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

// The band and the square in `colour` on nothing: two of them differ only in the square.
QWidget* Band(const QColor& colour)
{
    auto* band = new QWidget;
    Painted(QColor(bandGrey), new QWidget(band))->setGeometry(bandRect);
    Painted(colour, new QWidget(band))->setGeometry(squareRect);
    return band;
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
        red = Painted(Qt::red);
        blue = Painted(Qt::blue);
        fader->reset(red);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() { window.reset(); }

    // Frames falling to 0, then the last widget asked for alone in the layout, filling it, shown and
    // focused, announced by one fadeFinished. A reset cuts a fade short at once and announces
    // nothing; a second fade cuts the first short, also after a paint at another size (the fader
    // grown and shrunk back while the first ran), which once copied its blend past the end.
    void fadeEndsOnTheLastWidget_data()
    {
        QTest::addColumn<QString>("cut"); // how the fade to blue is cut short
        QTest::newRow("not cut") << "";
        QTest::newRow("by a reset") << "reset";
        QTest::newRow("by a second fade") << "fade";
        QTest::newRow("by a second fade after a paint at another size") << "resized";
    }
    void fadeEndsOnTheLastWidget()
    {
        QFETCH(QString, cut);
        QWidget* last = cut.isEmpty() ? blue : cut == QLatin1String("reset") ? red : Painted(Qt::green);
        QSignalSpy frames(fader->timeLine(), &QTimeLine::frameChanged);
        QSignalSpy finished(fader, &UI::FaderWidget::fadeFinished);
        fader->fadeIn(blue);
        QVERIFY(!blue->isVisible());
        if (!cut.isEmpty()) {
            QTRY_VERIFY(fader->timeLine()->currentFrame() < 20);
            if (cut == QLatin1String("resized")) {
                fader->resize(400, 300);
                fader->repaint();
                fader->resize(320, 200); // and no paint before the next fade
            }
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
        Painted(Qt::white, window.get());
        fader->reset(Band(Qt::red));
        // The square's corners, the band beside it, and the window above the band and in a corner.
        auto showsSquare = [&](QRgb square) {
            const QImage screen = Picture(*window, true);
            auto at = [&](int x, int y) { return PixelAt(screen, x, y); };
            return Distance(at(squareRect.left(), squareRect.top()), square) <= 2 &&
                   Distance(at(squareRect.right(), squareRect.bottom()), square) <= 2 &&
                   at(squareRect.left() - 3, squareRect.center().y()) == bandGrey &&
                   at(bandRect.center().x(), bandRect.top() - 3) == qRgb(255, 255, 255) &&
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
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("half blend to green") << "blue" << qRgb(64, 128, 64);
        QTest::newRow("over itself to green") << "red" << qRgb(128, 128, 0);
        QTest::newRow("held picture to green") << "held" << qRgb(128, 128, 0);
    }
    void fadeStartsFromThePictureShown()
    {
        QFETCH(QString, before);
        QFETCH(QRgb, colour);
        QWidget* next = red;
        if (before == QLatin1String("held")) {
            fader->holdPicture();
            Painted(Qt::green, red);
        } else {
            const bool self = before == QLatin1String("red");
            fader->fadeIn(self ? red : blue);
            PauseAt(350);
            QVERIFY(Distance(Centre(*fader), self ? qRgb(255, 0, 0) : qRgb(128, 0, 128)) <= 2);
            next = Painted(Qt::green);
        }
        fader->fadeIn(next);
        PauseAt(350);
        QVERIFY2(Distance(Centre(*fader), colour) <= 2, qPrintable(QString::number(Centre(*fader), 16)));
    }
};

QTEST_MAIN(TestFaderWidget)
#include "test_fader_widget.moc"
