// The gmn2png tool as a user runs it: a file or standard input in, a PNG and the graphic map out
// (notes, then each page's staves and systems), and clear failures for bad input.

#include "../common/file_bytes.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out, err;
};

Run Gmn2Png(const QStringList& arguments, const QByteArray& input, const QString& directory)
{
    QProcess tool;
    tool.setWorkingDirectory(directory);
    tool.start(QStringLiteral(GMN2PNG_BINARY), arguments);
    if (!tool.waitForStarted())
        return {};
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(60000))
        return {};
    return {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
}

QRectF Box(const QJsonValue& element)
{
    const QJsonArray box = element.toObject().value(QStringLiteral("box")).toArray();
    return QRectF(QPointF(box.at(0).toDouble(), box.at(1).toDouble()),
                  QPointF(box.at(2).toDouble(), box.at(3).toDouble()));
}

int Field(const QJsonValue& element, const char* name)
{
    return element.toObject().value(QLatin1String(name)).toInt();
}

// The map's elements of one type (1 notes, 3 staves, 7 systems), on one page unless page < 0.
QJsonArray Elements(const QByteArray& printed, int type, int page = -1)
{
    QJsonArray found;
    for (const QJsonValue& value :
         QJsonDocument::fromJson(printed).object().value(QStringLiteral("elements")).toArray()) {
        if (Field(value, "type") == type && (page < 0 || Field(value, "page") == page))
            found.append(value);
    }
    return found;
}

} // namespace

class TestGmn2Png : public QObject
{
    Q_OBJECT

private slots:
    // Each note of the map is a notehead one staff space high, dark in the picture, half a
    // space higher per step of the scale.
    void engravesNotesWhereTheMapSays_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "IN" stands for the written file
        QTest::addColumn<QByteArray>("notation");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("space");
        QTest::addColumn<QList<int>>("steps"); // of each note above the first
        QTest::newRow("file, twice the size")
            << QStringList{"--width", "2100", "--height", "700", "IN", "out.png"}
            << QByteArray("{ [ \\staff<1> \\clef<\"g2\"> \\stemsAuto { c1 , e1 , g1 } ], "
                          "[ \\staff<1> \\clef<\"g2\"> \\stemsAuto ] }")
            << QSize(2100, 700) << 35.0 << QList<int>{0, 2, 4};
        QTest::newRow("standard input, default size")
            << QStringList{"-", "out.png"} << QByteArray("[ c1 d1 e1 f1 ]") << QSize(1050, 350) << 17.5
            << QList<int>{0, 1, 2, 3};
    }
    void engravesNotesWhereTheMapSays()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, notation);
        QFETCH(double, space);
        QFETCH(QList<int>, steps);
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("in.gmn"));
        QVERIFY(WriteAll(input, notation));
        const bool fromFile = arguments.contains(QStringLiteral("IN"));
        arguments.replaceInStrings(QStringLiteral("IN"), input);
        const Run run = Gmn2Png(arguments, fromFile ? QByteArray() : notation, dir.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(run.out).object().value(QStringLiteral("pages")).toInt(), 1);
        const QImage picture(dir.filePath(QStringLiteral("out.png")));
        QTEST(picture.size(), "size");
        const QJsonArray notes = Elements(run.out, 1);
        QCOMPARE(notes.size(), steps.size());
        QCOMPARE(Elements(run.out, 3).size(), 1);
        for (int i = 0; i < notes.size(); ++i) {
            const QRectF head = Box(notes[i]);
            QVERIFY(qAbs(head.height() - space) < 1e-6);
            QVERIFY(qAbs(Box(notes[0]).top() - head.top() - steps[i] * space / 2) < 1e-6);
            QVERIFY(qGray(picture.pixel(head.center().toPoint())) < 80);
        }
    }

    // Three octaves of scale on two staves: more than one page holds. Every note is mapped and
    // lies across a staff of its page; each page's systems span its staves.
    void mapsStavesAndSystemsOfEveryPage()
    {
        QTemporaryDir dir;
        const Run run =
            Gmn2Png({QStringLiteral("-"), QStringLiteral("pages.png")},
                    "{ [ \\staff<1> \\clef<\"g2\"> c1 d e f g a b c2 d e f g a b c3 d e f g a b c4 ], "
                    "[ \\staff<2> \\clef<\"f4\"> c-2 d e f g a b c-1 d e f g a b c0 d e f g a b c1 ] }",
                    dir.path());
        QCOMPARE(run.exitCode, 0);
        const int pages = QJsonDocument::fromJson(run.out).object().value(QStringLiteral("pages")).toInt();
        QVERIFY(pages > 1);
        QCOMPARE(Elements(run.out, 1).size(), 44);
        for (int page = 0; page < pages; ++page) {
            const QJsonArray staves = Elements(run.out, 3, page);
            QCOMPARE(staves.size(), 2 * Elements(run.out, 7, page).size());
            for (const QJsonValue& note : Elements(run.out, 1, page)) {
                const double x = Box(note).center().x();
                QVERIFY(std::any_of(staves.begin(), staves.end(), [&](const QJsonValue& staff) {
                    return Box(staff).left() < x && x < Box(staff).right();
                }));
            }
            QRectF pageSystems, pageStaves;
            for (const QJsonValue& system : Elements(run.out, 7, page))
                pageSystems |= Box(system);
            for (const QJsonValue& staff : staves)
                pageStaves |= Box(staff);
            QVERIFY(!pageStaves.isEmpty());
            QVERIFY(pageSystems.contains(pageStaves));
        }
        QCOMPARE(QImage(dir.filePath(QStringLiteral("pages.png"))).size(), QSize(1050, 350 * pages));
    }

    void failsClearly_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("bad notation")
            << QStringList{"-", "out.png"} << QByteArray("[ c1 ") << QByteArray("bad gmn code");
        QTest::newRow("missing file")
            << QStringList{"/nonexistent/x.gmn", "out.png"} << QByteArray() << QByteArray("cannot read");
        QTest::newRow("bad width") << QStringList{"--width", "wide", "-", "out.png"} << QByteArray()
                                   << QByteArray("--width needs");
        QTest::newRow("no output") << QStringList{"-"} << QByteArray() << QByteArray("usage");
    }
    void failsClearly()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QTemporaryDir dir;
        const Run run = Gmn2Png(arguments, input, dir.path());
        QVERIFY(run.exitCode > 0);
        QFETCH(QByteArray, message);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.png"))));
    }
};

QTEST_GUILESS_MAIN(TestGmn2Png)
#include "test_gmn2png.moc"
