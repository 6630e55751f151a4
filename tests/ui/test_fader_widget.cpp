// The screen fader: a fade runs its frames from 30 down to 0 over its time line, blends the old
// and the new screen in between, and ends with the new screen in the layout, visible and focused;
// a fade toward nothing ends transparent; a reset or a second fade cuts a fade short cleanly.

#include "ui/fader_widget.h"

#include <QDir>
#include <QLayout>
#include <QSignalSpy>
#include <QTimeLine>
#include <QtTest>

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
