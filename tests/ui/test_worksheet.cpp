// The worksheet of weak items written into real PDF files and read back with poppler-utils: its
// pages, numbers and answer key as text, its first page against a golden picture, the items a
// real lesson gives it, and the failures it reports.

#include "ui/exercise/worksheet.h"

#include "core/exercise/exercise_ear_trainer.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/lesson_session.h"

#include <QtTest>

#include <cmath>

namespace {

QString Poppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    const bool ran = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return ran && process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

// The text of each page, laid out as printed (pdftotext ends every page with a form feed).
QStringList PageTexts(const QString& pdf)
{
    return Poppler(QStringLiteral("pdftotext"), {"-layout", pdf, "-"})
        .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
}

QImage FirstPage(const QString& pdf)
{
    const QString base = pdf + QStringLiteral(".first");
    Poppler(QStringLiteral("pdftoppm"),
            {"-r", "60", "-gray", "-png", "-f", "1", "-l", "1", "-singlefile", pdf, base});
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

// The mean absolute difference of grey per pixel over the whole page, and over the block of
// `block` × `block` pixels where the pages differ most: noise in the drawing of edges spreads
// thin, a note or line that moved or went missing stands out in its block.
QPair<double, double> Difference(const QImage& a, const QImage& b, int block = 16)
{
    const int columns = (a.width() + block - 1) / block;
    QVector<double> blocks(columns * ((a.height() + block - 1) / block), 0.0);
    double sum = 0.0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int difference = std::abs(int(a.constScanLine(y)[x]) - int(b.constScanLine(y)[x]));
            sum += difference;
            blocks[(y / block) * columns + x / block] += difference;
        }
    const double worst = *std::max_element(blocks.begin(), blocks.end()) / (block * block);
    return {sum / (double(a.width()) * a.height()), worst};
}

std::unique_ptr<Core::LessonSession> Session(int trainer)
{
    if (trainer == Core::NoteTrainerIndex)
        return std::make_unique<Core::LessonSession>(std::make_shared<Core::ExerciseNoteTrainer>(nullptr));
    if (trainer == Core::EarTrainerIndex)
        return std::make_unique<Core::LessonSession>(std::make_shared<Core::ExerciseEarTrainer>(nullptr));
    return std::make_unique<Core::LessonSession>(
        std::make_shared<Core::ExerciseSymbolTrainer>(nullptr, nullptr));
}

// `count` of a note trainer's weak items, by their keys in its three sections in turn: single notes
// from the bass staff's ledger lines to the treble's, melodic intervals, chords in their inversions.
std::vector<UI::WorksheetItem> NoteTrainerItems(int count)
{
    const qint32 keys[3][8] = {{8, 46, 24, 63, 31, 53, 17, 39},
                               {373, 636, 295, 1029, 476, 778, 219, 855},
                               {39, 1532, 206, 3034, 361, 1834, 3276, 585}};
    const auto session = Session(Core::NoteTrainerIndex);
    std::vector<UI::WorksheetItem> items;
    for (int index = 0; index < count; ++index)
        items.push_back(
            UI::Worksheet::itemsFor(*session, index % 3, {keys[index % 3][(index / 3) % 8]}).at(0));
    return items;
}

const QString title = QStringLiteral("Worksheet: Intervals — Note Trainer");

} // namespace

class TestWorksheet : public QObject
{
    Q_OBJECT
    QTemporaryDir output;

    // The sheet's PDF file (the worksheet tells a failure itself).
    QString Write(const std::vector<UI::WorksheetItem>& items, const QString& name)
    {
        UI::Worksheet(title, items).writePdf(output.filePath(name), nullptr);
        return output.filePath(name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        QVERIFY(output.isValid());
        for (const char* tool : {"pdftotext", "pdftoppm", "pdfinfo"})
            QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(),
                     "poppler-utils is installed by scripts/setup.sh");
    }

    // Every item numbered on its page, the pages counted in every footer, each answer under its
    // number in the key on the last page; a sheet too long for one page goes on to the next. The
    // first page of a full sheet, as a printer driver draws it, against the picture a person looked
    // at (CANTORELA_UPDATE_GOLDEN=1 writes it anew).
    void pagesNumbersAndKey_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("pages");
        QTest::newRow("one item") << 1 << 2;
        QTest::newRow("a full sheet") << UI::Worksheet::ItemCount << 2;
        QTest::newRow("one past a sheet") << UI::Worksheet::ItemCount + 1 << 3;
    }
    void pagesNumbersAndKey()
    {
        QFETCH(int, count);
        QFETCH(int, pages);
        const std::vector<UI::WorksheetItem> items = NoteTrainerItems(count);
        const UI::Worksheet sheet(title, items);
        // The tour's picture of the last page, and none of a page past it.
        QCOMPARE(sheet.pagePicture(pages - 1, 600).size(), QSize(600, qRound(600 * 297.0 / 210.0)));
        QVERIFY(sheet.pagePicture(pages, 600).isNull());
        const QString pdf = Write(items, QStringLiteral("sheet%1.pdf").arg(count));
        const QString info = Poppler(QStringLiteral("pdfinfo"), {pdf}).simplified() + QLatin1Char(' ');
        for (const QString& field : {"Title: " + title, QStringLiteral("Creator: Vantorix Cantorela"),
                                     QStringLiteral("Pages: %1").arg(pages)})
            QVERIFY2(info.contains(field + QLatin1Char(' ')), qPrintable(info));

        const QStringList texts = PageTexts(pdf);
        QCOMPARE(texts.size(), pages);
        for (const QString& head : {title, QStringLiteral("Name:"), QStringLiteral("Date:")})
            QVERIFY2(texts.first().contains(head), qPrintable(texts.first()));
        for (int page = 0; page < pages; ++page)
            QVERIFY2(texts[page].contains(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages)),
                     qPrintable(texts[page]));
        const QString key = texts.last().simplified();
        QVERIFY(key.startsWith(QStringLiteral("Answer Key")));
        for (int index = 0; index < count; ++index) {
            const QString& page = texts[index / (UI::Worksheet::Columns * UI::Worksheet::Rows)];
            QVERIFY2(
                QRegularExpression(QStringLiteral("(^|\\s)%1(\\s|$)").arg(index + 1)).match(page).hasMatch(),
                qPrintable(page));
            const QString answer =
                QStringLiteral("%1. %2").arg(index + 1).arg(items[size_t(index)].answer.simplified());
            QVERIFY2(key.contains(answer), qPrintable(answer + QStringLiteral(" in: ") + key));
        }

        if (count != UI::Worksheet::ItemCount)
            return;
        const QImage first = FirstPage(pdf);
        QVERIFY(!first.isNull());
        const QString golden = QStringLiteral(CANTORELA_WORKSHEET_GOLDEN "/worksheet_note_trainer.png");
        if (!QFileInfo::exists(golden) || qEnvironmentVariableIntValue("CANTORELA_UPDATE_GOLDEN") == 1) {
            QDir().mkpath(QFileInfo(golden).path());
            QVERIFY(first.save(golden));
            QSKIP(qPrintable(QStringLiteral("golden picture written: ") + golden));
        }
        const QImage expected = QImage(golden).convertToFormat(QImage::Format_Grayscale8);
        QCOMPARE(first.size(), expected.size());
        const auto [mean, worst] = Difference(first, expected);
        QVERIFY2(
            mean < 1.0 && worst < 24.0,
            qPrintable(QStringLiteral("mean difference %1, in the worst block %2").arg(mean).arg(worst)));
    }

    // The items a lesson names: answers as the statistics name them, notes on the clef their
    // sound calls for, symbols as their pictures; nothing for keys the section has no item of or
    // for items only heard, and no more than one sheet.
    void itemsOfALesson_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("section");
        QTest::addColumn<QVector<qint32>>("keys");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("clefs"); // per item: the clef tag, or "picture"
        const int notes = Core::NoteTrainerIndex, ear = Core::EarTrainerIndex,
                  symbols = Core::SymbolTrainerIndex;
        const int intervals = Core::ExerciseNoteTrainer::IntervalsSection;
        QVector<qint32> many;
        for (int key = 0; key < 2 * UI::Worksheet::ItemCount; ++key)
            many.append(key * 20);
        QTest::newRow("notes low and high")
            << notes << int(Core::ExerciseNoteTrainer::SingleNotesSection) << QVector<qint32>{10, 60, 88, -1}
            << 2 << QStringList{"\"f4\"", "\"g2\""};
        QTest::newRow("intervals") << notes << intervals << QVector<qint32>{0, 60, 5000} << 2
                                   << QStringList{"\"f4\"", "\"g2\""};
        QTest::newRow("more than a sheet")
            << notes << intervals << many << UI::Worksheet::ItemCount << QStringList();
        QTest::newRow("loudness pictures")
            << symbols << int(Core::ExerciseSymbolTrainer::LoudnessSection) << QVector<qint32>{5, 0, 99} << 2
            << QStringList{"picture", "picture"};
        QTest::newRow("modifier pictures")
            << symbols << int(Core::ExerciseSymbolTrainer::ModifiersSection)
            << QVector<qint32>{0, 3, 7, 13, 20} << 5
            << QStringList{"picture", "picture", "picture", "picture", "picture"};
        QTest::newRow("tempo markings") << symbols << int(Core::ExerciseSymbolTrainer::TempoSection)
                                        << QVector<qint32>{64} << 1 << QStringList{"picture"};
        QTest::newRow("tempo pieces heard") << ear << int(Core::ExerciseEarTrainer::TempoSection)
                                            << QVector<qint32>{0, 64} << 0 << QStringList();
        QTest::newRow("ear trainer scales") << ear << int(Core::ExerciseEarTrainer::ScalesSection)
                                            << QVector<qint32>{30} << 1 << QStringList{"clef"};
    }
    void itemsOfALesson()
    {
        QFETCH(int, trainer);
        QFETCH(int, section);
        QFETCH(QVector<qint32>, keys);
        QFETCH(int, count);
        QFETCH(QStringList, clefs);
        const auto session = Session(trainer);
        const std::vector<UI::WorksheetItem> items =
            UI::Worksheet::itemsFor(*session, section, std::vector<qint32>(keys.begin(), keys.end()));
        QCOMPARE(int(items.size()), count);
        // A tempo marking is answered with what it means, in one line.
        const bool marking =
            trainer == Core::SymbolTrainerIndex && section == Core::ExerciseSymbolTrainer::TempoSection;
        for (int index = 0; index < clefs.size(); ++index) {
            const UI::WorksheetItem& item = items[size_t(index)];
            const bool picture = clefs[index] == QLatin1String("picture");
            QVERIFY2(!item.answer.isEmpty() &&
                         (picture ? item.gmn.isEmpty() && !QImage(item.picture).isNull()
                                  : item.picture.isEmpty() && item.gmn.contains(clefs[index].toLatin1())),
                     qPrintable(item.answer + QLatin1Char(' ') + item.picture + QLatin1Char(' ') + item.gmn));
            if (marking)
                QVERIFY2(!item.answer.contains(QLatin1Char('\n')) &&
                             !item.answer.contains(QStringLiteral("&&")),
                         qPrintable(item.answer));
            else
                QCOMPARE(item.answer, session->questionLabel(section, keys[index]));
        }
        // What a lesson gives is printable as it is, a picture standing out where it is drawn.
        const QString pdf = Write(items, QStringLiteral("lesson.pdf"));
        QCOMPARE(PageTexts(pdf).size(), UI::Worksheet(title, items).pageCount());
        if (clefs.contains(QStringLiteral("picture"))) {
            std::vector<UI::WorksheetItem> blank = items;
            for (UI::WorksheetItem& item : blank)
                item.picture.clear();
            const QImage drawn = FirstPage(pdf),
                         without = FirstPage(Write(blank, QStringLiteral("blank.pdf")));
            QVERIFY(!drawn.isNull() && drawn.size() == without.size());
            const double worst = Difference(drawn, without).second;
            QVERIFY2(worst > 24.0, qPrintable(QStringLiteral("worst block %1").arg(worst)));
        }
    }

    // Failures are reported, never crash, and leave no file behind.
    void failures()
    {
        const UI::Worksheet sheet(title, NoteTrainerItems(3));
        const QString missing = output.filePath(QStringLiteral("no such folder/sheet.pdf"));
        QString error;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not be saved")));
        QVERIFY(!sheet.writePdf(missing, &error));
        QVERIFY2(error.contains(missing), qPrintable(error));
        QVERIFY(!QFileInfo::exists(missing));
        error.clear();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no printer")));
        QVERIFY(!sheet.print(nullptr, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TestWorksheet)
#include "test_worksheet.moc"
