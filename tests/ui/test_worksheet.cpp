// The worksheet of weak items written into real PDF files and read back with poppler-utils: its
// pages, numbers and answer key as text, its first page drawn and compared with a golden picture,
// the items a real lesson gives it, and the failures it reports.

#include "ui/exercise/worksheet.h"

#include "core/exercise/exercise_ear_trainer.h"
#include "core/exercise/exercise_note_trainer.h"
#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/lesson_session.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_pools.h"
#include "core/exercise/trainer_support.h"
#include "core/score_builder.h"

#include <QtTest>

#include <cmath>

namespace {

using Pool = Core::TrainerSupport::PitchedPool;

QByteArray Poppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    const bool ran = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return ran && process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
}

// The text of each page, laid out as printed (pdftotext ends every page with a form feed).
QStringList PageTexts(const QString& pdf)
{
    QStringList pages = QString::fromUtf8(Poppler(QStringLiteral("pdftotext"),
                                                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")}))
                            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString PdfInfo(const QString& pdf, const QString& field)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(Poppler(QStringLiteral("pdfinfo"), {pdf}))).captured(1).trimmed();
}

QImage FirstPage(const QString& pdf, const QString& folder)
{
    const QString base = folder + QStringLiteral("/first");
    Poppler(QStringLiteral("pdftoppm"),
            {"-r", "60", "-gray", "-png", "-f", "1", "-l", "1", "-singlefile", pdf, base});
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

// Mean of (255 - grey) over the page: how much ink it carries.
double Ink(const QImage& page)
{
    double sum = 0.0;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* row = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x)
            sum += 255 - row[x];
    }
    return page.isNull() ? 0.0 : sum / (double(page.width()) * page.height());
}

// The mean absolute difference of grey per pixel over the whole page, and over the block of
// `block` × `block` pixels where the pages differ most: noise in the drawing of edges spreads
// thin, a note or line that moved or went missing stands out in its block.
QPair<double, double> Difference(const QImage& a, const QImage& b, int block)
{
    const int columns = (a.width() + block - 1) / block;
    const int rows = (a.height() + block - 1) / block;
    QVector<double> blocks(columns * rows, 0.0);
    double sum = 0.0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* rowA = a.constScanLine(y);
        const uchar* rowB = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x) {
            const int difference = std::abs(int(rowA[x]) - int(rowB[x]));
            sum += difference;
            blocks[(y / block) * columns + x / block] += difference;
        }
    }
    const double worst = *std::max_element(blocks.begin(), blocks.end()) / (block * block);
    return {sum / (double(a.width()) * a.height()), worst};
}

// The id of the interval (`type` semitones) or chord (`type`, `inversion`) on `root` in `pool`.
int EntryId(Pool pool, int type, int root, int inversion = 0)
{
    const Core::QuestionPool& entries = Core::TrainerSupport::PoolOf(pool);
    for (size_t id = 0; id < entries.size(); ++id) {
        const auto* chord = dynamic_cast<const Core::QuestionChordData*>(entries[id].get());
        if (chord && chord->type == type && chord->rootKey == root && chord->inversion == inversion)
            return int(id);
    }
    return 0;
}

// A note trainer's weak items as its lessons write them: single notes from the bass staff's
// ledger lines to the treble's, melodic intervals and chords in their inversions, in turn;
// `count` of them.
std::vector<UI::WorksheetItem> NoteTrainerItems(int count)
{
    const int notes[] = {8, 46, 24, 63, 31, 53, 17, 39};
    const int intervals[][2] = {{4, 27}, {7, 41}, {3, 34}, {12, 39}, {5, 46}, {9, 22}, {2, 44}, {10, 20}};
    const int chords[][3] = {{0, 39, 0}, {1, 29, 1}, {2, 44, 0}, {3, 22, 2},
                             {4, 41, 0}, {5, 27, 1}, {6, 46, 2}, {7, 32, 0}};
    std::vector<UI::WorksheetItem> items;
    for (int index = 0; index < count; ++index) {
        const int step = (index / 3) % 8;
        const Pool pool = index % 3 == 0 ? Pool::Notes : index % 3 == 1 ? Pool::Intervals : Pool::Chords;
        const int id = pool == Pool::Notes ? notes[step]
                       : pool == Pool::Intervals
                           ? EntryId(pool, intervals[step][0], intervals[step][1])
                           : EntryId(pool, chords[step][0], chords[step][1], chords[step][2]);
        const Core::QuestionData* item = Core::TrainerSupport::PoolOf(pool)[size_t(id)].get();
        UI::WorksheetItem entry;
        entry.gmn = Core::ScoreBuilder::WriteQuestion(
            Core::TrainerSupport::EntryKeys(item), Core::TrainerSupport::TrebleForSound(item->stream.get()),
            false, Core::TrainerSupport::GmnMode(pool));
        entry.answer = Core::TrainerSupport::PitchedLabel(pool, id);
        items.push_back(entry);
    }
    return items;
}

std::unique_ptr<Core::LessonSession> Session(int trainer)
{
    std::shared_ptr<Core::Exercise> exercise;
    if (trainer == Core::NoteTrainerIndex)
        exercise = std::make_shared<Core::ExerciseNoteTrainer>(nullptr);
    else if (trainer == Core::EarTrainerIndex)
        exercise = std::make_shared<Core::ExerciseEarTrainer>(nullptr);
    else
        exercise = std::make_shared<Core::ExerciseSymbolTrainer>(nullptr, nullptr);
    return std::make_unique<Core::LessonSession>(exercise);
}

const QString title = QStringLiteral("Worksheet: Intervals — Note Trainer");

} // namespace

class TestWorksheet : public QObject
{
    Q_OBJECT

    QTemporaryDir output;

    QString Write(const UI::Worksheet& sheet, const QString& name)
    {
        const QString pdf = output.filePath(name);
        QString error;
        if (!sheet.writePdf(pdf, &error))
            qWarning() << error;
        return pdf;
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
    // number in the key on the last page; a sheet too long for one page goes on to the next.
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
        const UI::Worksheet sheet(title, NoteTrainerItems(count));
        QCOMPARE(sheet.pageCount(), pages);
        const QString pdf = Write(sheet, QStringLiteral("sheet%1.pdf").arg(count));
        QCOMPARE(PdfInfo(pdf, QStringLiteral("Pages")).toInt(), pages);
        QCOMPARE(PdfInfo(pdf, QStringLiteral("Title")), title);
        QCOMPARE(PdfInfo(pdf, QStringLiteral("Creator")), QStringLiteral("Vantorix Cantorela"));

        const QStringList texts = PageTexts(pdf);
        QCOMPARE(texts.size(), pages);
        QVERIFY2(texts.first().contains(title) && texts.first().contains(QStringLiteral("Name:")) &&
                     texts.first().contains(QStringLiteral("Date:")),
                 qPrintable(texts.first()));
        for (int page = 0; page < pages; ++page)
            QVERIFY2(texts[page].contains(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages)),
                     qPrintable(texts[page]));
        const int perPage = UI::Worksheet::Columns * UI::Worksheet::Rows;
        for (int index = 0; index < count; ++index) {
            const QRegularExpression number(QStringLiteral("(^|\\s)%1(\\s|$)").arg(index + 1));
            QVERIFY2(number.match(texts[index / perPage]).hasMatch(), qPrintable(texts[index / perPage]));
        }
        const QString key = texts.last().simplified();
        QVERIFY(key.startsWith(QStringLiteral("Answer Key")));
        const std::vector<UI::WorksheetItem> items = sheet.items();
        for (int index = 0; index < count; ++index) {
            const QString answer =
                QStringLiteral("%1. %2").arg(index + 1).arg(items[size_t(index)].answer.simplified());
            QVERIFY2(key.contains(answer), qPrintable(answer + QStringLiteral(" in: ") + key));
        }
    }

    // The first page of a full note trainer sheet, as a printer driver draws it, against the
    // picture a person looked at. CANTORELA_UPDATE_GOLDEN=1 writes it anew.
    void firstPageMatchesGolden()
    {
        const QString pdf = Write(UI::Worksheet(title, NoteTrainerItems(UI::Worksheet::ItemCount)),
                                  QStringLiteral("golden.pdf"));
        const QImage page = FirstPage(pdf, output.path());
        QVERIFY(!page.isNull());
        const QString golden = QStringLiteral(CANTORELA_WORKSHEET_GOLDEN "/worksheet_note_trainer.png");
        if (!QFileInfo::exists(golden) || qEnvironmentVariableIntValue("CANTORELA_UPDATE_GOLDEN") == 1) {
            QDir().mkpath(QFileInfo(golden).path());
            QVERIFY(page.save(golden));
            QSKIP(qPrintable(QStringLiteral("golden picture written: ") + golden));
        }
        const QImage expected = QImage(golden).convertToFormat(QImage::Format_Grayscale8);
        QCOMPARE(page.size(), expected.size());
        const auto [mean, worst] = Difference(page, expected, 16);
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
        const int intervals = Core::ExerciseNoteTrainer::IntervalsSection;
        QTest::newRow("notes low and high")
            << int(Core::NoteTrainerIndex) << int(Core::ExerciseNoteTrainer::SingleNotesSection)
            << QVector<qint32>{10, 60, 88, -1} << 2 << QStringList{"\"f4\"", "\"g2\""};
        QTest::newRow("intervals") << int(Core::NoteTrainerIndex) << intervals << QVector<qint32>{0, 60, 5000}
                                   << 2 << QStringList{"\"f4\"", "\"g2\""};
        QTest::newRow("more than a sheet") << int(Core::NoteTrainerIndex) << intervals << [] {
            QVector<qint32> keys;
            for (int key = 0; key < 2 * UI::Worksheet::ItemCount; ++key)
                keys.append(key * 20);
            return keys;
        }() << UI::Worksheet::ItemCount << QStringList();
        QTest::newRow("loudness pictures")
            << int(Core::SymbolTrainerIndex) << int(Core::ExerciseSymbolTrainer::LoudnessSection)
            << QVector<qint32>{5, 0, 99} << 2 << QStringList{"picture", "picture"};
        QTest::newRow("tempo markings")
            << int(Core::SymbolTrainerIndex) << int(Core::ExerciseSymbolTrainer::TempoSection)
            << QVector<qint32>{64} << 1 << QStringList{"picture"};
        QTest::newRow("tempo pieces heard")
            << int(Core::EarTrainerIndex) << int(Core::ExerciseEarTrainer::TempoSection)
            << QVector<qint32>{0, 64} << 0 << QStringList();
        QTest::newRow("ear trainer scales")
            << int(Core::EarTrainerIndex) << int(Core::ExerciseEarTrainer::ScalesSection)
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
        for (int index = 0; index < clefs.size(); ++index) {
            const UI::WorksheetItem& item = items[size_t(index)];
            QVERIFY(!item.answer.isEmpty());
            if (clefs[index] == QLatin1String("picture")) {
                QVERIFY(item.gmn.isEmpty());
                QVERIFY2(!QImage(item.picture).isNull(), qPrintable(item.picture));
            } else {
                QVERIFY(item.picture.isEmpty());
                QVERIFY2(item.gmn.contains(clefs[index].toLatin1()), item.gmn.constData());
            }
            if (trainer != Core::SymbolTrainerIndex || section != Core::ExerciseSymbolTrainer::TempoSection)
                QCOMPARE(item.answer, session->questionLabel(section, keys[index]));
            else
                QVERIFY2(!item.answer.contains(QLatin1Char('\n')) &&
                             !item.answer.contains(QStringLiteral("&&")),
                         qPrintable(item.answer));
        }
        // What a lesson gives is printable as it is.
        const UI::Worksheet sheet(title, items);
        const QString pdf = Write(sheet, QStringLiteral("lesson.pdf"));
        QCOMPARE(PdfInfo(pdf, QStringLiteral("Pages")).toInt(), sheet.pageCount());
    }

    // A sheet of symbol pictures carries their ink: far more than the same sheet without them.
    void picturesAreDrawn()
    {
        const auto session = Session(Core::SymbolTrainerIndex);
        const std::vector<UI::WorksheetItem> items = UI::Worksheet::itemsFor(
            *session, Core::ExerciseSymbolTrainer::ModifiersSection, {0, 3, 7, 13, 20});
        QCOMPARE(int(items.size()), 5);
        std::vector<UI::WorksheetItem> blank = items;
        for (UI::WorksheetItem& item : blank)
            item.picture.clear();
        const double withPictures =
            Ink(FirstPage(Write(UI::Worksheet(title, items), QStringLiteral("symbols.pdf")), output.path()));
        const double without =
            Ink(FirstPage(Write(UI::Worksheet(title, blank), QStringLiteral("blank.pdf")), output.path()));
        QVERIFY2(withPictures > without * 1.2,
                 qPrintable(QStringLiteral("%1 vs %2").arg(withPictures).arg(without)));
        // The tour's picture of the same page.
        const QImage picture = UI::Worksheet(title, items).pagePicture(0, 600);
        QCOMPARE(picture.size(), QSize(600, qRound(600 * 297.0 / 210.0)));
        QVERIFY(UI::Worksheet(title, items).pagePicture(2, 600).isNull());
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
