// The gmn2png tool as a user runs it: a file or standard input in, a PNG and the graphic map out
// (notes, then each page's staves and systems), and clear failures for bad input.

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

QRectF Box(const QJsonObject& element)
{
    const QJsonArray box = element.value(QStringLiteral("box")).toArray();
    return QRectF(QPointF(box.at(0).toDouble(), box.at(1).toDouble()),
                  QPointF(box.at(2).toDouble(), box.at(3).toDouble()));
}

QJsonArray Elements(const QByteArray& printed, int type)
{
    QJsonArray found;
    for (const QJsonValue& value :
         QJsonDocument::fromJson(printed).object().value(QStringLiteral("elements")).toArray()) {
        if (value.toObject().value(QStringLiteral("type")).toInt() == type)
            found.append(value);
    }
    return found;
}

} // namespace

class TestGmn2Png : public QObject
{
    Q_OBJECT

private slots:
    void engravesFileAndPrintsMap();
    void readsStandardInput();
    void mapsStavesAndSystemsOfEveryPage();
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
    const QJsonArray elements = Elements(printed, 1);
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
    QCOMPARE(map.value(QStringLiteral("elements")).toArray().size(), 4 + 1 + 1);
    QCOMPARE(QImage(output).size(), QSize(1050, 350));
}

void TestGmn2Png::mapsStavesAndSystemsOfEveryPage()
{
    // Three octaves of scale on two staves: more than one page holds.
    const QString output = dir.filePath(QStringLiteral("pages.png"));
    QProcess tool;
    tool.start(QStringLiteral(GMN2PNG_BINARY), {QStringLiteral("-"), output});
    QVERIFY(tool.waitForStarted());
    tool.write("{ [ \\staff<1> \\clef<\"g2\"> c1 d e f g a b c2 d e f g a b c3 d e f g a b c4 ], "
               "[ \\staff<2> \\clef<\"f4\"> c-2 d e f g a b c-1 d e f g a b c0 d e f g a b c1 ] }");
    tool.closeWriteChannel();
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    const QByteArray printed = tool.readAllStandardOutput();
    const int pages = QJsonDocument::fromJson(printed).object().value(QStringLiteral("pages")).toInt();
    QVERIFY(pages > 1);

    // The notes first, then page by page its staves and then its systems.
    const QJsonArray all =
        QJsonDocument::fromJson(printed).object().value(QStringLiteral("elements")).toArray();
    QCOMPARE(all.size(),
             Elements(printed, 1).size() + Elements(printed, 3).size() + Elements(printed, 7).size());
    int previousKey = 0;
    for (const QJsonValue& value : all) {
        const QJsonObject element = value.toObject();
        const int type = element.value(QStringLiteral("type")).toInt();
        const int page = element.value(QStringLiteral("page")).toInt();
        QVERIFY(page >= 0 && page < pages);
        QCOMPARE(element.value(QStringLiteral("subtype")).toInt(), type == 1 ? 10 : 0);
        const int key = type == 1 ? 0 : 1 + page * 2 + (type == 7);
        QVERIFY(key >= previousKey);
        previousKey = key;
    }

    // Every note lies across a staff of its page; each system spans the staves of its page.
    const QJsonArray staves = Elements(printed, 3), systems = Elements(printed, 7);
    QCOMPARE(staves.size(), 2 * systems.size());
    for (const QJsonValue& note : Elements(printed, 1)) {
        const double x = Box(note.toObject()).center().x();
        const int page = note.toObject().value(QStringLiteral("page")).toInt();
        QVERIFY(std::any_of(staves.begin(), staves.end(), [&](const QJsonValue& staff) {
            return staff.toObject().value(QStringLiteral("page")).toInt() == page &&
                   Box(staff.toObject()).left() < x && x < Box(staff.toObject()).right();
        }));
    }
    for (int p = 0; p < pages; ++p) {
        QRectF pageSystems, pageStaves;
        for (const QJsonValue& system : systems)
            if (system.toObject().value(QStringLiteral("page")).toInt() == p)
                pageSystems |= Box(system.toObject());
        for (const QJsonValue& staff : staves)
            if (staff.toObject().value(QStringLiteral("page")).toInt() == p)
                pageStaves |= Box(staff.toObject());
        QVERIFY(!pageStaves.isEmpty());
        QVERIFY(pageSystems.contains(pageStaves));
    }
    QCOMPARE(QImage(output).size(), QSize(1050, 350 * pages));
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
