// Border images of style sheets on a high-density screen: the slices follow the "@2x" picture.

#include "ui/high_dpi_style_sheet.h"

#include <QtTest>

class TestHighDpiStyleSheet : public QObject
{
    Q_OBJECT

private slots:
    // Here button.png and other.png have an "@2x" version; flat.png has none.
    void slices_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("expected");
        const QString button(
            "QToolButton { border-image: url(:/p/button.png) %1 stretch stretch; border-width: 10px; }");
        QTest::newRow("ratio 1") << 1.0 << button.arg("10 10 12 10") << button.arg("10 10 12 10");
        QTest::newRow("ratio 2") << 2.0 << button.arg("10 10 12 10") << button.arg("20 20 24 20");
        QTest::newRow("ratio 1.5 takes the @2x picture too") << 1.5 << "border-image: url(:/p/button.png) 3"
                                                             << "border-image: url(:/p/button.png) 6";
        QTest::newRow("no @2x picture") << 2.0 << "border-image: url(:/p/flat.png) 10 10 12 10"
                                        << "border-image: url(:/p/flat.png) 10 10 12 10";
        const QString rules("A { border-image: url(\":/p/button.png\") %1; }\nB:hover { border-image: "
                            "url(:/p/flat.png) 5; }\nC { border-image:url(:/p/other.png) %2 }");
        QTest::newRow("quoted, several rules") << 2.0 << rules.arg("1 2", "7") << rules.arg("2 4", "14");
        QTest::newRow("no slices") << 2.0 << "border-image: url(:/p/button.png) stretch"
                                   << "border-image: url(:/p/button.png) stretch";
    }
    void slices()
    {
        QFETCH(qreal, ratio);
        QFETCH(QString, sheet);
        QFETCH(QString, expected);
        const auto hasLarge = [](const QString& path) {
            return path == QLatin1String(":/p/button@2x.png") || path == QLatin1String(":/p/other@2x.png");
        };
        QCOMPARE(UI::highDpiStyleSheet(sheet, ratio, hasLarge), expected);
    }
};

QTEST_GUILESS_MAIN(TestHighDpiStyleSheet)
#include "test_high_dpi_style_sheet.moc"
