// Border images of style sheets on a high-density screen: the slices follow the "@2x" picture.

#include "ui/high_dpi_style_sheet.h"

#include <QtTest>

namespace {

// Pictures that have an "@2x" version in these cases.
bool HasLarge(const QString& path)
{
    return path == QLatin1String(":/p/button@2x.png") || path == QLatin1String(":/p/other@2x.png");
}

} // namespace

class TestHighDpiStyleSheet : public QObject
{
    Q_OBJECT

private slots:
    void slices_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("expected");
        const QString button = QStringLiteral("QToolButton { border-image: url(:/p/button.png) 10 10 12 10 "
                                              "stretch stretch; border-width: 10px; }");
        QTest::newRow("ratio 1") << 1.0 << button << button;
        QTest::newRow("ratio 2") << 2.0 << button
                                 << QStringLiteral(
                                        "QToolButton { border-image: url(:/p/button.png) 20 20 24 20 "
                                        "stretch stretch; border-width: 10px; }");
        QTest::newRow("ratio 1.5 takes the @2x picture too")
            << 1.5 << QStringLiteral("border-image: url(:/p/button.png) 3")
            << QStringLiteral("border-image: url(:/p/button.png) 6");
        QTest::newRow("no @2x picture")
            << 2.0 << QStringLiteral("border-image: url(:/p/flat.png) 10 10 12 10")
            << QStringLiteral("border-image: url(:/p/flat.png) 10 10 12 10");
        QTest::newRow("quoted, several rules")
            << 2.0
            << QStringLiteral("A { border-image: url(\":/p/button.png\") 1 2; }\nB:hover { border-image: "
                              "url(:/p/flat.png) 5; }\nC { border-image:url(:/p/other.png) 7 }")
            << QStringLiteral("A { border-image: url(\":/p/button.png\") 2 4; }\nB:hover { border-image: "
                              "url(:/p/flat.png) 5; }\nC { border-image:url(:/p/other.png) 14 }");
        QTest::newRow("no slices") << 2.0 << QStringLiteral("border-image: url(:/p/button.png) stretch")
                                   << QStringLiteral("border-image: url(:/p/button.png) stretch");
    }
    void slices()
    {
        QFETCH(qreal, ratio);
        QFETCH(QString, sheet);
        QFETCH(QString, expected);
        QCOMPARE(UI::HighDpiStyleSheet(sheet, ratio, &HasLarge), expected);
    }
};

QTEST_GUILESS_MAIN(TestHighDpiStyleSheet)
#include "test_high_dpi_style_sheet.moc"
