// The gmn2png tool as a user runs it: a file or standard input in, a PNG and the note map out,
// and clear failures for bad input.

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestGmn2Png : public QObject
{
    Q_OBJECT

private slots:
    void engravesFileAndPrintsMap();
    void readsStandardInput();
    void failsClearly_data();
    void failsClearly();

private:
    QTemporaryDir dir;
};

void TestGmn2Png::engravesFileAndPrintsMap()
{
    const QString input = dir.filePath(QStringLiteral("chord.gmn"));
    const QString output = dir.filePath(QStringLiteral("chord.png"));
    QFile file(input);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{ [ \\staff<1> \\clef<\"g2\">  \\stemsAuto  { c1 , e1 , g1 }  ], [ \\staff<1> \\clef<\"g2\"> "
               " \\stemsAuto  ] }");
    file.close();
    QProcess tool;
    tool.start(QStringLiteral(GMN2PNG_BINARY),
               {QStringLiteral("--width"), QStringLiteral("2100"), QStringLiteral("--height"),
                QStringLiteral("700"), input, output});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    const QByteArray printed = tool.readAllStandardOutput();
    QVERIFY2(printed.startsWith("{\"pages\":1,\"elements\":[{\"type\":1,\"subtype\":10,\"page\":0,\"box\":["),
             printed.constData());
    const QJsonObject map = QJsonDocument::fromJson(printed).object();
    const QJsonArray elements = map.value(QStringLiteral("elements")).toArray();
    QCOMPARE(elements.size(), 3);
    const QImage picture(output);
    QCOMPARE(picture.size(), QSize(2100, 700));
    for (const QJsonValue& value : elements) {
        const QJsonArray box = value.toObject().value(QStringLiteral("box")).toArray();
        QCOMPARE(box.size(), 4);
        // Twice the default size: a staff space is 35 pixels, a notehead as high.
        QVERIFY(qAbs(box.at(3).toDouble() - box.at(1).toDouble() - 35.0) < 1e-6);
        const QPoint centre((box.at(0).toDouble() + box.at(2).toDouble()) / 2,
                            (box.at(1).toDouble() + box.at(3).toDouble()) / 2);
        QVERIFY(qGray(picture.pixel(centre)) < 80);
    }
}

void TestGmn2Png::readsStandardInput()
{
    const QString output = dir.filePath(QStringLiteral("stdin.png"));
    QProcess tool;
    tool.start(QStringLiteral(GMN2PNG_BINARY), {QStringLiteral("-"), output});
    QVERIFY(tool.waitForStarted());
    tool.write("[ c1 d1 e1 f1 ]");
    tool.closeWriteChannel();
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    const QJsonObject map = QJsonDocument::fromJson(tool.readAllStandardOutput()).object();
    QCOMPARE(map.value(QStringLiteral("pages")).toInt(), 1);
    QCOMPARE(map.value(QStringLiteral("elements")).toArray().size(), 4);
    QCOMPARE(QImage(output).size(), QSize(1050, 350));
}

void TestGmn2Png::failsClearly_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("bad notation") << QStringList{QStringLiteral("-"), QStringLiteral("out.png")}
                                  << QByteArray("[ c1 ") << QByteArray("bad gmn code");
    QTest::newRow("missing file") << QStringList{QStringLiteral("/nonexistent/x.gmn"),
                                                 QStringLiteral("out.png")}
                                  << QByteArray() << QByteArray("cannot read");
    QTest::newRow("bad width") << QStringList{QStringLiteral("--width"), QStringLiteral("wide"),
                                              QStringLiteral("-"), QStringLiteral("out.png")}
                               << QByteArray() << QByteArray("--width needs");
    QTest::newRow("no output") << QStringList{QStringLiteral("-")} << QByteArray() << QByteArray("usage");
}

void TestGmn2Png::failsClearly()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, message);
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(QStringLiteral(GMN2PNG_BINARY), arguments);
    QVERIFY(tool.waitForStarted());
    tool.write(input);
    tool.closeWriteChannel();
    QVERIFY(tool.waitForFinished(60000));
    QVERIFY(tool.exitCode() != 0);
    QVERIFY(tool.readAllStandardError().contains(message));
    QVERIFY(tool.readAllStandardOutput().isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.png"))));
}

QTEST_GUILESS_MAIN(TestGmn2Png)
#include "test_gmn2png.moc"
