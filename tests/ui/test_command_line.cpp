// The program's command-line options, exactly as users type them.

#include "ui/command_line.h"

#include <QtTest>

using UI::CommandLine;

class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fullScreen_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("no options") << QStringList{"cantorela"} << true;
        QTest::newRow("-nofs") << QStringList{"cantorela", "-nofs"} << false;
        QTest::newRow("-nofs among others") << QStringList{"cantorela", "-display", "1", "-nofs"} << false;
        QTest::newRow("doubled dash") << QStringList{"cantorela", "--nofs"} << true;
        QTest::newRow("capitals") << QStringList{"cantorela", "-NOFS"} << true;
        QTest::newRow("part of an argument") << QStringList{"cantorela", "-nofsx"} << true;
    }
    void fullScreen()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, fullScreen);
        QCOMPARE(CommandLine::IsFullScreenRequested(arguments), fullScreen);
    }

    void displayIndex_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("index");
        QTest::newRow("absent") << QStringList{"cantorela"} << 0;
        QTest::newRow("2") << QStringList{"cantorela", "-display", "2"} << 2;
        QTest::newRow("last argument") << QStringList{"cantorela", "-nofs", "-display"} << 0;
        QTest::newRow("not a number") << QStringList{"cantorela", "-display", "two"} << 0;
        QTest::newRow("number with suffix") << QStringList{"cantorela", "-display", "2x"} << 0;
        QTest::newRow("second -display ignored") << QStringList{"cantorela", "-display", "1", "-display", "3"} << 1;
        QTest::newRow("negative") << QStringList{"cantorela", "-display", "-1"} << -1;
        QTest::newRow("doubled dash is not the option") << QStringList{"cantorela", "--display", "2"} << 0;
    }
    void displayIndex()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, index);
        QCOMPARE(CommandLine::GetDisplayIndex(arguments), index);
    }

    void helpAndVersion()
    {
        QVERIFY(!CommandLine::EarlyExitText({"cantorela", "-nofs"}));
        const auto help = CommandLine::EarlyExitText({"cantorela", "-nofs", "--help"});
        QVERIFY(help && help->contains("-display N") && help->contains("-nofs"));
        QVERIFY(CommandLine::EarlyExitText({"cantorela", "-h"}));
        const auto version = CommandLine::EarlyExitText({"cantorela", "--version"});
        QVERIFY(version && version->startsWith(QStringLiteral("cantorela " CANTORELA_VERSION)));
        // The program's own name is not an option.
        QVERIFY(!CommandLine::EarlyExitText({"--version"}));
    }

    // Qt must not see "-display N": on X11 it would take N for the name of an X server.
    void qtArgumentsLoseDisplayAndItsValue()
    {
        QByteArray a0("cantorela"), a1("-display"), a2("2"), a3("-nofs"), a4("-style"), a5("fusion");
        char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), a5.data()};
        const std::vector<char*> kept = CommandLine::QtArguments(6, argv);
        QCOMPARE(int(kept.size()), 5);
        QCOMPARE(kept[0], argv[0]);
        QCOMPARE(kept[1], argv[3]);
        QCOMPARE(kept[2], argv[4]);
        QCOMPARE(kept[3], argv[5]);
        QCOMPARE(kept[4], nullptr);

        char* last[] = {a0.data(), a1.data()};
        QCOMPARE(int(CommandLine::QtArguments(2, last).size()), 2);
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
