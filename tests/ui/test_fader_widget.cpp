// The screen fader: a fade runs its frames from 30 down to 0 over its time line, blends the old
// and the new screen in between, and ends with the new screen in the layout, visible and focused;
// where the two differ in part, only that part blends, on the screen too, and what neither
// paints stays transparent; a fade toward nothing ends transparent; a reset or a second fade
// cuts a fade short cleanly, the second starting from the blend that was shown.

#include "ui/fader_widget.h"

#include <QDir>
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
    const QString dir = qEnvironmentVariable("CANTORELA_PICTURE_DIR");
    if (!dir.isEmpty())
        picture.save(QDir(dir).filePath(QStringLiteral("fader_%1.png").arg(QTest::currentDataTag())));
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

QRgb PixelAt(const QImage& image, QPoint point)
{
    return PixelAt(image, point.x(), point.y());
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

    void fadeEndsOnNewScreen()
    {
        QSignalSpy frames(fader->TimeLine(), &QTimeLine::frameChanged);
        QSignalSpy finished(fader, &UI::FaderWidget::FadeFinished);
        fader->FadeIn(blue);
        QCOMPARE(fader->TimeLine()->duration(), 700);
        QVERIFY(!blue->isVisible());
        QTRY_COMPARE(finished.count(), 1);

        QVERIFY(frames.count() >= 2);
        QCOMPARE(frames.first().first().toInt(), 30);
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

    void blendsInBetween_data()
    {
        QTest::addColumn<int>("time");
        QTest::addColumn<QRgb>("colour");
        // The time line runs backwards: its time is the old screen's share.
        QTest::newRow("start") << 700 << qRgb(255, 0, 0);
        QTest::newRow("half way") << 350 << qRgb(128, 0, 127);
        QTest::newRow("end") << 0 << qRgb(0, 0, 255);
    }

    void blendsInBetween()
    {
        QFETCH(int, time);
        QFETCH(QRgb, colour);
        fader->FadeIn(blue);
        fader->TimeLine()->setPaused(true);
        fader->TimeLine()->setCurrentTime(time);
        const QRgb pixel = CentrePixel(*fader);
        const int distance =
            std::max({std::abs(qRed(pixel) - qRed(colour)), std::abs(qGreen(pixel) - qGreen(colour)),
                      std::abs(qBlue(pixel) - qBlue(colour))});
        QVERIFY2(distance <= 2, qPrintable(QString::number(pixel, 16)));
        QVERIFY(qAlpha(pixel) >= 253);
    }

    // Only the square differs: it blends, the band around it stays grey, and what neither
    // picture paints stays transparent.
    void partChangesAloneAndRestStays_data()
    {
        QTest::addColumn<int>("time");
        QTest::addColumn<QRgb>("square");
        QTest::newRow("start") << 700 << qRgb(255, 0, 0);
        QTest::newRow("half way") << 350 << qRgb(128, 0, 128);
        QTest::newRow("end") << 0 << qRgb(0, 0, 255);
    }

    void partChangesAloneAndRestStays()
    {
        QFETCH(int, time);
        QFETCH(QRgb, square);
        fader->Reset(new Band(Qt::red));
        fader->FadeIn(new Band(Qt::blue));
        fader->TimeLine()->setPaused(true);
        fader->TimeLine()->setCurrentTime(time);
        const QImage image = Picture(*fader);
        const QRect band = Band::BandRect(fader->size());
        const QRect inside = Band::SquareRect(fader->size());
        QVERIFY(Distance(PixelAt(image, inside.center()), square) <= 2);
        QCOMPARE(PixelAt(image, band.left() + 2, band.center().y()), bandGrey);
        QCOMPARE(PixelAt(image, inside.right() + 3, inside.center().y()), bandGrey);
        QCOMPARE(qAlpha(PixelAt(image, band.center().x(), band.top() - 3)), 0);
        QCOMPARE(qAlpha(PixelAt(image, 2, fader->height() - 3)), 0);
    }

    // The window on the screen follows the frames where the pictures differ, and keeps the
    // rest as the new picture over the window.
    void screenFollowsFrames()
    {
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, Qt::white);
        window->setPalette(palette);
        window->setAutoFillBackground(true);
        fader->Reset(new Band(Qt::red));
        const QRect band = Band::BandRect(fader->size());
        const QRect inside = Band::SquareRect(fader->size());
        // The square's corners, the band beside it and the window above it, as the screen shows
        // them.
        auto shown = [&] {
            const QImage screen = OnScreen(*window);
            return std::make_tuple(PixelAt(screen, inside.topLeft()), PixelAt(screen, inside.bottomRight()),
                                   PixelAt(screen, inside.left() - 3, inside.center().y()),
                                   PixelAt(screen, band.center().x(), band.top() - 3));
        };
        auto showsSquare = [&](QRgb square) {
            const auto pixels = shown();
            return Distance(std::get<0>(pixels), square) <= 2 && Distance(std::get<1>(pixels), square) <= 2 &&
                   std::get<2>(pixels) == bandGrey && std::get<3>(pixels) == qRgb(255, 255, 255);
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

    // A fade started during another starts from the blend that was shown, also when the first
    // faded the content in over itself.
    void secondFadeStartsFromShownBlend_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("firstTime");
        QTest::addColumn<int>("secondTime");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("half blend kept") << "blue" << 350 << 700 << qRgb(128, 0, 128);
        QTest::newRow("half blend to green") << "blue" << 350 << 350 << qRgb(64, 128, 64);
        QTest::newRow("ends on green") << "blue" << 350 << 0 << qRgb(0, 255, 0);
        QTest::newRow("over itself kept") << "red" << 350 << 700 << qRgb(255, 0, 0);
        QTest::newRow("over itself to green") << "red" << 350 << 350 << qRgb(128, 128, 0);
    }

    void secondFadeStartsFromShownBlend()
    {
        QFETCH(QString, first);
        QFETCH(int, firstTime);
        QFETCH(int, secondTime);
        QFETCH(QRgb, colour);
        QWidget* green = Screen(Qt::green, QStringLiteral("green"));
        fader->FadeIn(first == QLatin1String("red") ? red : blue);
        fader->TimeLine()->setPaused(true);
        fader->TimeLine()->setCurrentTime(firstTime);
        QVERIFY(Distance(CentrePixel(*fader),
                         first == QLatin1String("red") ? qRgb(255, 0, 0) : qRgb(128, 0, 128)) <= 2);
        fader->FadeIn(green);
        fader->TimeLine()->setPaused(true);
        fader->TimeLine()->setCurrentTime(secondTime);
        QVERIFY2(Distance(CentrePixel(*fader), colour) <= 2,
                 qPrintable(QString::number(CentrePixel(*fader), 16)));
    }

    // The shown widget changes (a new score on the board) and is faded in over itself: the fade
    // starts from the picture held before the change.
    void heldPictureStartsFadeOverItself_data()
    {
        QTest::addColumn<int>("time");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("start") << 700 << qRgb(255, 0, 0);
        QTest::newRow("half way") << 350 << qRgb(128, 128, 0);
        QTest::newRow("end") << 0 << qRgb(0, 255, 0);
    }

    void heldPictureStartsFadeOverItself()
    {
        QFETCH(int, time);
        QFETCH(QRgb, colour);
        fader->HoldPicture();
        QPalette palette = red->palette();
        palette.setColor(QPalette::Window, Qt::green);
        red->setPalette(palette);
        fader->FadeIn(red);
        fader->TimeLine()->setPaused(true);
        fader->TimeLine()->setCurrentTime(time);
        QVERIFY2(Distance(CentrePixel(*fader), colour) <= 2,
                 qPrintable(QString::number(CentrePixel(*fader), 16)));
    }

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

    void resetCutsFadeShort()
    {
        QSignalSpy finished(fader, &UI::FaderWidget::FadeFinished);
        fader->FadeIn(blue);
        QTRY_VERIFY(fader->TimeLine()->currentFrame() < 30);
        fader->Reset(red);
        QCOMPARE(fader->TimeLine()->state(), QTimeLine::NotRunning);
        QVERIFY(red->isVisible());
        QVERIFY(!blue->isVisible());
        QCOMPARE(fader->Content(), red);
        QCOMPARE(CentrePixel(*fader), qRgb(255, 0, 0));
        QCOMPARE(finished.count(), 0);
    }

    void secondFadeReplacesFirst()
    {
        QWidget* green = Screen(Qt::green, QStringLiteral("green"));
        QSignalSpy finished(fader, &UI::FaderWidget::FadeFinished);
        fader->FadeIn(blue);
        QTRY_VERIFY(fader->TimeLine()->currentFrame() < 20);
        fader->FadeIn(green);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().value<QWidget*>(), green);
        QCOMPARE(fader->layout()->count(), 1);
        QVERIFY(green->isVisible());
        QVERIFY(!blue->isVisible() && !red->isVisible());
    }
};

QTEST_MAIN(TestFaderWidget)
#include "test_fader_widget.moc"
