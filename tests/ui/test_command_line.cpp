// The program's command-line options, exactly as users type them.

#include "app/command_line.h"

#include <QtTest>

using App::CommandLine;

class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Only "-nofs" asks for a window, and only the first "-display" with a whole number picks a
    // screen; look-alikes are not the options.
    void optionsReadAsTyped_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after the program's name
        QTest::addColumn<bool>("fullScreen");
        QTest::addColumn<int>("display");
        QTest::newRow("no options") << QStringList{} << true << 0;
        QTest::newRow("-nofs among others") << QStringList{"-display", "1", "-nofs"} << false << 1;
        QTest::newRow("doubled dash") << QStringList{"--nofs", "--display", "2"} << true << 0;
        QTest::newRow("capitals") << QStringList{"-NOFS"} << true << 0;
        QTest::newRow("part of an argument") << QStringList{"-nofsx"} << true << 0;
        QTest::newRow("-display last") << QStringList{"-nofs", "-display"} << false << 0;
        QTest::newRow("not a number") << QStringList{"-display", "two"} << true << 0;
        QTest::newRow("number with suffix") << QStringList{"-display", "2x"} << true << 0;
        QTest::newRow("second -display ignored")
            << QStringList{"-display", "2", "-display", "3"} << true << 2;
        QTest::newRow("negative") << QStringList{"-display", "-1"} << true << -1;
    }
    void optionsReadAsTyped()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, fullScreen);
        QFETCH(int, display);
        arguments.prepend(QStringLiteral("cantorela"));
        QCOMPARE(CommandLine::isFullScreenRequested(arguments), fullScreen);
        QCOMPARE(CommandLine::displayIndex(arguments), display);
    }

    void helpAndVersion()
    {
        QVERIFY(!CommandLine::earlyExitText({"cantorela", "-nofs"}));
        const auto help = CommandLine::earlyExitText({"cantorela", "-nofs", "--help"});
        QVERIFY(help && help->contains("-display N") && help->contains("-nofs"));
        QVERIFY(CommandLine::earlyExitText({"cantorela", "-h"}));
        const auto version = CommandLine::earlyExitText({"cantorela", "--version"});
        QVERIFY(version && version->startsWith(QStringLiteral("cantorela " CANTORELA_VERSION)));
        QVERIFY(!CommandLine::earlyExitText({"--version"})); // the program's own name is not an option
    }

    // Qt must not see "-display N": on X11 it would take N for the name of an X server.
    void qtArgumentsLoseDisplayAndItsValue()
    {
        QByteArray a0("cantorela"), a1("-display"), a2("2"), a3("-nofs"), a4("-style"), a5("fusion");
        char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), a5.data()};
        QVERIFY(CommandLine::qtArguments(6, argv) ==
                (std::vector<char*>{argv[0], argv[3], argv[4], argv[5], nullptr}));
        QVERIFY(CommandLine::qtArguments(2, argv) == (std::vector<char*>{argv[0], nullptr})); // no value
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
