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

// The boxes of the map's elements of one type (1 notes, 3 staves, 7 systems), on one page unless
// page < 0.
QVector<QRectF> Boxes(const QByteArray& printed, int type, int page = -1)
{
    QVector<QRectF> found;
    for (const QJsonValue& value : QJsonDocument::fromJson(printed)["elements"].toArray()) {
        const QJsonObject element = value.toObject();
        const QJsonArray box = element["box"].toArray();
        if (element["type"].toInt() == type && (page < 0 || element["page"].toInt() == page))
            found << QRectF(QPointF(box[0].toDouble(), box[1].toDouble()),
                            QPointF(box[2].toDouble(), box[3].toDouble()));
    }
    return found;
}

} // namespace

class TestGmn2Png : public QObject
{
    Q_OBJECT

private slots:
    // Each note of the map is a notehead one staff space high (the space follows the size asked
    // for), dark in the picture of its page (pages stacked top to bottom) and across a staff of
    // that page; each page's systems span its staves. (Which step a note sits on:
    // test_layout_engine.)
    void engravesEveryPageWhereTheMapSays_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "IN" stands for the written file
        QTest::addColumn<QByteArray>("notation");
        QTest::addColumn<QSize>("pageSize");
        QTest::addColumn<double>("space");
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("staves"); // of each system
        QTest::addColumn<bool>("pages"); // more than one
        QTest::newRow("file, twice the size")
            << QStringList{"--width", "2100", "--height", "700", "IN", "out.png"}
            << QByteArray("{ [ \\staff<1> \\clef<\"g2\"> \\stemsAuto { c1 , e1 , g1 } ], "
                          "[ \\staff<1> \\clef<\"g2\"> \\stemsAuto ] }")
            << QSize(2100, 700) << 35.0 << 3 << 1 << false;
        QTest::newRow("standard input, default size")
            << QStringList{"-", "out.png"} << QByteArray("[ c1 d1 e1 f1 ]") << QSize(1050, 350) << 17.5 << 4
            << 1 << false;
        QTest::newRow("scales on two staves, two pages")
            << QStringList{"-", "out.png"}
            << QByteArray("{ [ \\staff<1> \\clef<\"g2\"> c1 d e f g a b c2 b1 a g f e d c d e f g a b c2 ], "
                          "[ \\staff<2> \\clef<\"f4\"> c-1 d e f g a b c0 b-1 a g f e d c d e f g a b c0 ] }")
            << QSize(1050, 350) << 17.5 << 44 << 2 << true;
    }
    void engravesEveryPageWhereTheMapSays()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, notation);
        QFETCH(QSize, pageSize);
        QFETCH(double, space);
        QFETCH(int, staves);
        QTemporaryDir dir;
        const QString input = dir.filePath(QStringLiteral("in.gmn"));
        QVERIFY(WriteAll(input, notation));
        const bool fromFile = arguments.contains(QStringLiteral("IN"));
        arguments.replaceInStrings(QStringLiteral("IN"), input);
        const Run run = Gmn2Png(arguments, fromFile ? QByteArray() : notation, dir.path());
        QCOMPARE(run.exitCode, 0);
        const int pages = QJsonDocument::fromJson(run.out)["pages"].toInt();
        QTEST(pages > 1, "pages");
        const QImage picture(dir.filePath(QStringLiteral("out.png")));
        QCOMPARE(picture.size(), QSize(pageSize.width(), pageSize.height() * pages));
        QTEST(int(Boxes(run.out, 1).size()), "notes");
        for (int page = 0; page < pages; ++page) {
            const QVector<QRectF> staffBoxes = Boxes(run.out, 3, page), systems = Boxes(run.out, 7, page);
            QCOMPARE(staffBoxes.size(), staves * systems.size());
            for (const QRectF& note : Boxes(run.out, 1, page)) {
                QVERIFY(qAbs(note.height() - space) < 1e-6 && QRectF(QPointF(), pageSize).contains(note));
                QVERIFY(qGray(picture.pixel(note.center().toPoint() + QPoint(0, page * pageSize.height()))) <
                        80);
                QVERIFY(std::any_of(staffBoxes.begin(), staffBoxes.end(), [&](const QRectF& staff) {
                    return staff.left() < note.center().x() && note.center().x() < staff.right();
                }));
            }
            QRectF pageSystems, pageStaves;
            for (const QRectF& system : systems)
                pageSystems |= system;
            for (const QRectF& staff : staffBoxes)
                pageStaves |= staff;
            QVERIFY(!pageStaves.isEmpty());
            QVERIFY(pageSystems.contains(pageStaves));
        }
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
