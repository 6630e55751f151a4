// The answer bars: what is painted and read by a screen reader for no answers, for a 3 : 1 split
// and with scaled counts, at device pixel ratios 1 and 2 and in both answer palettes (switched
// after the bar was first painted), and that a number too wide for its part is left out rather
// than painted over the other part.

#include "../common/rendered.h"
#include "ui/answer_colours.h"
#include "ui/widgets/progress.h"
#include "ui/widgets/section_end_progress.h"

#include <QAccessible>
#include <QPainter>
#include <QtTest>

namespace {

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

} // namespace

class TestProgress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        // The first bar built reads as its words too: its constructor once had Qt cache the
        // plain progress bar interface before it installed the bars' own.
        Progress first;
        first.setValues(1, 3);
        QCOMPARE(QAccessible::queryAccessibleInterface(&first)->text(QAccessible::Value),
                 QStringLiteral("3 right, 1 wrong"));
    }

    void cleanup() { UI::AnswerColours::setPalette(UI::AnswerColours::StandardPalette); }

    void paints_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<bool>("numbers");
        QTest::addColumn<bool>("colourBlind");
        for (int style : {0, 1, 2})
            for (double ratio : {1.0, 2.0})
                for (bool colourBlind : {false, true})
                    // The thin bar is too low for legible digits.
                    QTest::addRow("style%d@%gx%s", style, ratio, colourBlind ? ", colour-blind" : "")
                        << style << ratio << (style != 1) << colourBlind;
    }

    void paints()
    {
        QFETCH(int, style);
        QFETCH(double, ratio);
        QFETCH(bool, numbers);
        QFETCH(bool, colourBlind);
        const std::unique_ptr<Progress> bar(style == 2 ? new SectionEndProgress : new Progress(style));
        bar->resize(bar->sizeHint());
        const int width = bar->width(), height = bar->height();
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(bar.get());
        QCOMPARE(accessible->role(), QAccessible::ProgressBar);

        // No answers: the background picture alone, as it would be drawn by itself.
        const char* const names[] = {"main", "thin", "score"};
        QPixmap background(QString(":/PIX/pixmap/progress_%1_bg%2.png").arg(names[style], ratio > 1 ? "@2x" : ""));
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
        QCOMPARE(Rendered(*bar, ratio), expected.toImage().convertToFormat(QImage::Format_ARGB32));

        // Three right and one wrong: green (blue) up to three quarters of the width, red
        // (vermilion) after it.
        if (colourBlind)
            UI::AnswerColours::setPalette(UI::AnswerColours::ColourBlindPalette);
        const auto green = [colourBlind](QRgb p) {
            return qAlpha(p) > 200 && (colourBlind ? qBlue(p) > qRed(p) + 40 : qGreen(p) > qRed(p) + 40);
        };
        const auto red = [](QRgb p) { return qAlpha(p) > 200 && qRed(p) > qGreen(p) + 40 && qRed(p) > qBlue(p) + 40; };
        bar->setValues(1, 3);
        const QImage split = Rendered(*bar, ratio);
        const int middle = int(height / 2 * ratio), edge = int(width * 0.75 * ratio);
        QVERIFY(green(split.pixel(edge - 1, middle)) && green(split.pixel(int(width * 0.05 * ratio), middle)));
        QVERIFY(red(split.pixel(edge, middle)) && red(split.pixel(int(width * 0.97 * ratio), middle)));
        QCOMPARE(WhitePixels(split, 0, edge) > 0, numbers);
        QCOMPARE(WhitePixels(split, edge, split.width()) > 0, numbers);
        QCOMPARE(accessible->text(QAccessible::Value), QStringLiteral("3 right, 1 wrong"));

        // Counts scaled by 1000 and printed through the divisor look and read the same.
        bar->setValues(1000, 3000);
        bar->setDivisor(1000);
        QCOMPARE(Rendered(*bar, ratio), split);
        QCOMPARE(accessible->text(QAccessible::Value), QStringLiteral("3 right, 1 wrong"));
        // A count beyond the maximum is read whole.
        bar->setValues(0, 25000);
        bar->setDivisor(1);
        QCOMPARE(accessible->text(QAccessible::Value), QStringLiteral("25000 right, 0 wrong"));

        // A number too wide for its sliver is left out, not printed over the wide part beside it;
        // the wide part's number is printed.
        for (const auto& [wrong, right] : {std::pair(999, 1), std::pair(1, 999)}) {
            bar->setValues(wrong, right);
            const QImage image = Rendered(*bar, ratio);
            const int sliver = int(std::round(image.width() * double(right) / (right + wrong)));
            QCOMPARE(WhitePixels(image, sliver - int(20 * ratio), sliver + int(20 * ratio)), 0);
            QCOMPARE(WhitePixels(image, 0, image.width()) > 0, numbers);
        }
    }
};

QTEST_MAIN(TestProgress)
#include "test_progress.moc"
