// The time-left bar of a timed question: how far it is filled, and in which colour, at known times
// and at device pixel ratios 1 and 2, and what a screen reader reads of it.

#include "../common/rendered.h"
#include "ui/exercise/question_countdown.h"

#include <QAccessible>
#include <QtTest>

using UI::QuestionCountdown;

namespace {

enum Fill
{
    Green,
    Amber
};

// Pixels of the bar's middle row painted in the fill's green or amber.
int FilledPixels(const QImage& image, Fill fill)
{
    int count = 0;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, image.height() / 2);
        const bool green = qGreen(p) > qRed(p) + 60;
        const bool amber = qRed(p) > qGreen(p) + 40 && qGreen(p) > qBlue(p) + 40;
        count += qAlpha(p) > 128 && (fill == Green ? green : amber) ? 1 : 0;
    }
    return count;
}

} // namespace

class TestQuestionCountdown : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fill_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("remaining");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<double>("share");
        QTest::addColumn<int>("colour");
        QTest::addColumn<QString>("reads"); // by a screen reader: a started second counts whole
        const struct
        {
            const char* name;
            int limit, remaining;
            double share;
            Fill colour;
            const char* reads;
        } rows[] = {
            {"full", 10000, 10000, 1, Green, "10 seconds left"},
            {"half", 10000, 5000, 0.5, Green, "5 seconds left"},
            {"just before the last 3 s", 10000, 3001, 0.3001, Green, "4 seconds left"},
            {"last 3 s", 10000, 3000, 0.3, Amber, "3 seconds left"},
            {"last millisecond", 10000, 1, 0.0001, Amber, "1 second left"},
            {"a question shorter than 3 s", 2000, 2000, 1, Amber, "2 seconds left"},
            {"time up", 10000, 0, 0, Green, "0 seconds left"},
            {"over the limit", 10000, 60000, 1, Green, "10 seconds left"},
            {"negative", 10000, -500, 0, Green, "0 seconds left"},
        };
        for (const auto& row : rows)
            for (double ratio : {1.0, 2.0})
                QTest::addRow("%s@%gx", row.name, ratio) << row.limit << row.remaining << ratio << row.share
                                                        << int(row.colour) << QString::fromUtf8(row.reads);
    }

    // The filled length in device pixels (within the one pixel a rounded end may blur), in one
    // colour only.
    void fill()
    {
        QFETCH(int, limit);
        QFETCH(int, remaining);
        QFETCH(double, ratio);
        QFETCH(double, share);
        QFETCH(int, colour);
        QuestionCountdown bar;
        bar.resize(bar.sizeHint());
        bar.setTimeLimit(limit);
        bar.setRemaining(remaining);
        const QImage image = Rendered(bar, ratio);
        const int filled = FilledPixels(image, Fill(colour));
        QVERIFY2(std::abs(filled - std::lround(bar.width() * ratio * share)) <= 1,
                 qPrintable(QString::number(filled)));
        QCOMPARE(FilledPixels(image, colour == Green ? Amber : Green), 0);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&bar);
        QCOMPARE(accessible->role(), QAccessible::ProgressBar);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Time left"));
        QTEST(accessible->text(QAccessible::Value), "reads");
    }
};

QTEST_MAIN(TestQuestionCountdown)
#include "test_question_countdown.moc"
