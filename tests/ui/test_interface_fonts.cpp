// The interface font: after registration the Windows families the forms and style sheets name
// are drawn in the compiled-in Lato.

#include "ui/interface_fonts.h"

#include <QFontInfo>
#include <QtTest>

class TestInterfaceFonts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(UI::InterfaceFonts::registerFonts());
        QVERIFY(UI::InterfaceFonts::registerFonts()); // a second registration answers the same
    }

    void familiesDrawnInLato_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("bold");
        for (const char* family : {"Tahoma", "MS Shell Dlg 2"})
            for (bool bold : {false, true})
                QTest::addRow("%s%s", family, bold ? " bold" : "") << QString::fromLatin1(family) << bold;
    }
    void familiesDrawnInLato()
    {
        QFETCH(QString, family);
        QFETCH(bool, bold);
        QFont font(family);
        font.setBold(bold);
        const QFontInfo info(font);
        QCOMPARE(info.family(), UI::InterfaceFonts::familyName());
        QCOMPARE(info.bold(), bold);
    }
};

QTEST_MAIN(TestInterfaceFonts)
#include "test_interface_fonts.moc"
