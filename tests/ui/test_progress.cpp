// The answer bars: what is painted for no answers, for a 3 : 1 split and with scaled counts, at
// device pixel ratios 1 and 2, that a number too wide for its part is left out rather than
// painted over the other part, and what a screen reader reads.

#include "ui/widgets/progress.h"
#include "ui/widgets/section_end_progress.h"

#include <QAccessible>
#include <QPainter>
#include <QtTest>

#include <memory>

namespace {

const char* const backgrounds[] = {":/PIX/pixmap/progress_main_bg", ":/PIX/pixmap/progress_thin_bg",
                                   ":/PIX/pixmap/progress_score_bg"};

QImage Render(Progress& bar, double ratio)
{
    QPixmap canvas(bar.size() * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    bar.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
    return canvas.toImage().convertToFormat(QImage::Format_ARGB32);
}

bool IsGreen(QRgb pixel)
{
    return qAlpha(pixel) > 200 && qGreen(pixel) > qRed(pixel) + 40;
}

bool IsRed(QRgb pixel)
{
    return qAlpha(pixel) > 200 && qRed(pixel) > qGreen(pixel) + 40;
}

// Pixels of printed text: near white (the pictures' own highlights are far from it).
int WhitePixels(const QImage& image, int left, int right)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x) {
            const QRgb pixel = image.pixel(x, y);
            count += qRed(pixel) > 225 && qGreen(pixel) > 225 && qBlue(pixel) > 225 ? 1 : 0;
        }
    return count;
}

std::unique_ptr<Progress> Bar(int style)
{
    auto bar = style == 2 ? std::make_unique<SectionEndProgress>() : std::make_unique<Progress>(style);
    bar->resize(bar->sizeHint());
    return bar;
}

} // namespace

class TestProgress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Q_INIT_RESOURCE(assets); }

    void paints_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<bool>("numbers");
        for (int style : {0, 1, 2})
            for (double ratio : {1.0, 2.0})
                // The thin bar is too low for legible digits.
                QTest::addRow("style%d@%gx", style, ratio) << style << ratio << (style != 1);
    }

    void paints()
    {
        QFETCH(int, style);
        QFETCH(double, ratio);
        QFETCH(bool, numbers);
        auto bar = Bar(style);
        const int width = bar->width(), height = bar->height();

        // No answers: the background picture alone, as it would be drawn by itself.
        QPixmap background(QStringLiteral("%1%2.png").arg(backgrounds[style], ratio > 1 ? "@2x" : ""));
        QVERIFY(!background.isNull());
        background.setDevicePixelRatio(ratio);
        QPixmap expected(bar->size() * ratio);
        expected.setDevicePixelRatio(ratio);
        expected.fill(Qt::transparent);
        {
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(bar->rect(), background);
        }
        QCOMPARE(Render(*bar, ratio), expected.toImage().convertToFormat(QImage::Format_ARGB32));

        // Three right and one wrong: green up to three quarters of the width, red after it.
        bar->setValues(1, 3);
        const QImage split = Render(*bar, ratio);
        const int middle = int(height / 2 * ratio), edge = int(width * 0.75 * ratio);
        QVERIFY(IsGreen(split.pixel(edge - 1, middle)));
        QVERIFY(IsRed(split.pixel(edge, middle)));
        QVERIFY(IsGreen(split.pixel(int(width * 0.05 * ratio), middle)));
        QVERIFY(IsRed(split.pixel(int(width * 0.97 * ratio), middle)));
        QCOMPARE(WhitePixels(split, 0, edge) > 0, numbers);
        QCOMPARE(WhitePixels(split, edge, split.width()) > 0, numbers);

        // Counts scaled by 1000 and printed through the divisor look the same.
        bar->setValues(1000, 3000);
        bar->setDivisor(1000);
        QCOMPARE(Render(*bar, ratio), split);
    }

    void numberTooWideIsLeftOut_data()
    {
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("right");
        QTest::newRow("green sliver") << 999 << 1;
        QTest::newRow("red sliver") << 1 << 999;
    }

    void numberTooWideIsLeftOut()
    {
        QFETCH(int, wrong);
        QFETCH(int, right);
        auto bar = Bar(2);
        bar->setValues(wrong, right);
        const QImage image = Render(*bar, 1.0);
        const int edge = int(std::round(bar->width() * double(right) / (right + wrong)));
        // Nothing printed in the sliver, nor next to it in the wide part; the wide part's number is.
        QCOMPARE(WhitePixels(image, edge - 20, edge + 20), 0);
        QVERIFY(WhitePixels(image, 0, image.width()) > 0);
    }

    void accessibleValue_data()
    {
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("divisor");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << 1 << 3 << 1 << "3 right, 1 wrong";
        QTest::newRow("scaled") << 1000 << 3000 << 1000 << "3 right, 1 wrong";
        QTest::newRow("beyond the maximum") << 0 << 25000 << 1 << "25000 right, 0 wrong";
    }

    void accessibleValue()
    {
        QFETCH(int, wrong);
        QFETCH(int, right);
        QFETCH(int, divisor);
        QFETCH(QString, text);
        Progress bar;
        bar.setValues(wrong, right);
        bar.setDivisor(divisor);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&bar);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::ProgressBar);
        QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
        QCOMPARE(accessible->text(QAccessible::Value), text);
    }
};

QTEST_MAIN(TestProgress)
#include "test_progress.moc"
