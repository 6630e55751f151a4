// The screen fader: the frames of a fade, the blend on the widget and on the screen (only where
// the two pictures differ), the end on the new screen or on nothing, and fades cut short.

#include "ui/fader_widget.h"

#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTimeLine>
#include <QtTest>

#include <tuple>

namespace {

QWidget* Screen(const QColor& colour, const QString& name)
{
    auto* screen = new QWidget;
    screen->setObjectName(name);
    screen->setAutoFillBackground(true);
    QPalette palette = screen->palette();
    palette.setColor(QPalette::Window, colour);
    screen->setPalette(palette);
    return screen;
}

// What the widget paints, without a window background: transparent where nothing is painted.
QImage Picture(QWidget& widget)
{
    const qreal ratio = widget.devicePixelRatioF();
    QPixmap picture(widget.size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    widget.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    return picture.toImage().convertToFormat(QImage::Format_ARGB32);
}

QRgb CentrePixel(QWidget& widget)
{
    const QImage image = Picture(widget);
    return image.pixel(image.width() / 2, image.height() / 2);
}

// What the window shows on the screen: the pixels flushed from its backing store, so a part
// that was not repainted shows as it was.
QImage OnScreen(QWidget& window)
{
    QImage image =
        window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_ARGB32);
    // Pixels per widget pixel, whatever ratio the grab reports.
    image.setDevicePixelRatio(qreal(image.width()) / window.width());
    return image;
}

// The pixel of `image` at a point given in widget coordinates.
QRgb PixelAt(const QImage& image, int x, int y)
{
    return image.pixel((QPointF(x, y) * image.devicePixelRatio()).toPoint());
}

int Distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

const QRgb bandGrey = qRgb(160, 160, 164);

// Paints a grey band across its middle third with a square of its own colour in the middle,
// and nothing elsewhere: two of them differ only in the square.
class Band : public QWidget
{
public:
    explicit Band(const QColor& colour) : squareColour(colour) {}
    static QRect BandRect(const QSize& size)
    {
        return QRect(0, size.height() / 3, size.width(), size.height() / 3);
    }
    static QRect SquareRect(const QSize& size)
    {
        return QRect(size.width() / 2 - 10, size.height() / 2 - 10, 20, 20);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(BandRect(size()), QColor(bandGrey));
        painter.fillRect(SquareRect(size()), squareColour);
    }

private:
    QColor squareColour;
};

} // namespace

class TestFaderWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    UI::FaderWidget* fader = nullptr;
    QWidget* red = nullptr;
    QWidget* blue = nullptr;

private Q_SLOTS:
    void init()
    {
        window = std::make_unique<QWidget>();
        window->resize(320, 200);
        fader = new UI::FaderWidget(window.get());
        fader->setGeometry(window->rect());
        red = Screen(Qt::red, QStringLiteral("red"));
        blue = Screen(Qt::blue, QStringLiteral("blue"));
        fader->Reset(red);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    void cleanup() { window.reset(); }

    // Frames falling to 0, then the new screen alone in the layout, filling it, shown and focused.
    void fadeEndsOnNewScreen()
    {
        QSignalSpy frames(fader->TimeLine(), &QTimeLine::frameChanged);
        QSignalSpy finished(fader, &UI::FaderWidget::FadeFinished);
        fader->FadeIn(blue);
        QVERIFY(!blue->isVisible());
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(frames.count() >= 2);
        QCOMPARE(frames.last().first().toInt(), 0);
        for (int i = 1; i < frames.count(); ++i)
            QVERIFY(frames[i].first().toInt() < frames[i - 1].first().toInt());
        QCOMPARE(finished.first().first().value<QWidget*>(), blue);
        QCOMPARE(fader->layout()->count(), 1);
        QCOMPARE(fader->layout()->itemAt(0)->widget(), blue);
        QVERIFY(blue->isVisible());
        QVERIFY(!red->isVisible());
        QCOMPARE(blue->geometry(), fader->rect());
        QTRY_VERIFY(blue->hasFocus());
        QCOMPARE(CentrePixel(*fader), qRgb(0, 0, 255));
    }

    // Where the pictures differ the screen follows the frames; the rest shows the new picture, and
    // the window where neither paints.
    void screenFollowsFrames()
    {
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, Qt::white);
        window->setPalette(palette);
        window->setAutoFillBackground(true);
        fader->Reset(new Band(Qt::red));
        const QRect band = Band::BandRect(fader->size());
        const QRect inside = Band::SquareRect(fader->size());
        // The square's corners, the band beside it, and the window above the band and in a corner.
        auto shown = [&] {
            const QImage screen = OnScreen(*window);
            return std::make_tuple(PixelAt(screen, inside.left(), inside.top()),
                                   PixelAt(screen, inside.right(), inside.bottom()),
                                   PixelAt(screen, inside.left() - 3, inside.center().y()),
                                   PixelAt(screen, band.center().x(), band.top() - 3),
                                   PixelAt(screen, 2, fader->height() - 3));
        };
        auto showsSquare = [&](QRgb square) {
            const auto pixels = shown();
            return Distance(std::get<0>(pixels), square) <= 2 && Distance(std::get<1>(pixels), square) <= 2 &&
                   std::get<2>(pixels) == bandGrey && std::get<3>(pixels) == qRgb(255, 255, 255) &&
                   std::get<4>(pixels) == qRgb(255, 255, 255);
        };
        QTRY_VERIFY(showsSquare(qRgb(255, 0, 0)));
        fader->FadeIn(new Band(Qt::blue));
        fader->TimeLine()->setPaused(true);
        for (const int time : {700, 525, 350, 100, 0}) {
            fader->TimeLine()->setCurrentTime(time);
            // The frame is the red square's share, in thirtieths.
            const int frame = fader->TimeLine()->currentFrame();
            const QRgb square = qRgb(255 * frame / 30, 0, 255 * (30 - frame) / 30);
            QTRY_VERIFY2(showsSquare(square), qPrintable(QString::number(std::get<0>(shown()), 16)));
        }
    }

    // A fade starts from what was shown: the blend of a fade it cuts short (also one of the content
    // over itself), or the picture held before the content changed.
    void fadeStartsFromThePictureShown_data()
    {
        QTest::addColumn<QString>("before"); // the first fade's target, at half way; or "held"
        QTest::addColumn<int>("time");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("half blend kept") << "blue" << 700 << qRgb(128, 0, 128);
        QTest::newRow("half blend to green") << "blue" << 350 << qRgb(64, 128, 64);
        QTest::newRow("ends on green") << "blue" << 0 << qRgb(0, 255, 0);
        QTest::newRow("over itself to green") << "red" << 350 << qRgb(128, 128, 0);
        QTest::newRow("held picture kept") << "held" << 700 << qRgb(255, 0, 0);
        QTest::newRow("held picture to green") << "held" << 350 << qRgb(128, 128, 0);
    }
    void fadeStartsFromThePictureShown()
    {
        QFETCH(QString, before);
        QFETCH(int, time);
        QFETCH(QRgb, colour);
        QWidget* next = red;
        if (before == QLatin1String("held")) {
            fader->HoldPicture();
            QPalette palette = red->palette();
            palette.setColor(QPalette::Window, Qt::green);
            red->setPalette(palette);
        } else {
            fader->FadeIn(before == QLatin1String("red") ? red : blue);
            fader->TimeLine()->setPaused(true);
            fader->TimeLine()->setCurrentTime(350);
            QVERIFY(Distance(CentrePixel(*fader),
                             before == QLatin1String("red") ? qRgb(255, 0, 0) : qRgb(128, 0, 128)) <= 2);
            next = Screen(Qt::green, QStringLiteral("green"));
        }
        fader->FadeIn(next);
        fader->TimeLine()->setPaused(true);
        fader->TimeLine()->setCurrentTime(time);
        QVERIFY2(Distance(CentrePixel(*fader), colour) <= 2,
                 qPrintable(QString::number(CentrePixel(*fader), 16)));
    }

    // FadeTo(nullptr) ends on nothing: every pixel transparent.
    void fadeToNothingEndsTransparent()
    {
        QSignalSpy finished(fader, &UI::FaderWidget::FadeFinished);
        fader->FadeTo(nullptr);
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(!fader->Content());
        QVERIFY(!red->isVisible());
        const QImage image = Picture(*fader);
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7)
                QCOMPARE(qAlpha(image.pixel(x, y)), 0);
    }

    // A fade cut short by a reset ends at once on the reset's widget without FadeFinished; one cut
    // short by a second fade ends on the second's widget with one FadeFinished.
    void cutShortEndsOnTheLastWidget_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::newRow("reset") << true;
        QTest::newRow("second fade") << false;
    }
    void cutShortEndsOnTheLastWidget()
    {
        QFETCH(bool, reset);
        QWidget* last = reset ? red : Screen(Qt::green, QStringLiteral("green"));
        QSignalSpy finished(fader, &UI::FaderWidget::FadeFinished);
        fader->FadeIn(blue);
        QTRY_VERIFY(fader->TimeLine()->currentFrame() < 20);
        if (reset)
            fader->Reset(last);
        else
            fader->FadeIn(last);
        QTRY_COMPARE(fader->TimeLine()->state(), QTimeLine::NotRunning);
        QCOMPARE(finished.count(), reset ? 0 : 1);
        QVERIFY(reset || finished.first().first().value<QWidget*>() == last);
        QCOMPARE(fader->Content(), last);
        QCOMPARE(fader->layout()->count(), 1);
        QVERIFY(last->isVisible() && !blue->isVisible());
        QCOMPARE(CentrePixel(*fader), last->palette().color(QPalette::Window).rgb());
    }
};

QTEST_MAIN(TestFaderWidget)
#include "test_fader_widget.moc"
