// The compiled-in pictures and sounds, and the generator that makes them.

#include "../common/file_bytes.h"
#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_data.h"
#include "core/midi/au_server_synth.h"
#include "ui/answer_colours.h"
#include "ui/exercise/question_picture.h"
#include "ui/widgets/keyboard.h"

#include <QtTest>

#include <set>
#include <tuple>

namespace {

QString HighDensity(QString path)
{
    const int dot = path.lastIndexOf('.');
    return path.insert(dot > path.lastIndexOf('/') ? dot : path.size(), QStringLiteral("@2x"));
}

// The symbol trainer's pictures, as its item tables, key signatures and tempo markings name them:
// a picture named by two items is there twice.
std::multiset<QString> SymbolPictures()
{
    using Core::ExerciseSymbolTrainer;
    std::multiset<QString> paths{UI::QuestionPicture::DefaultPicture};
    for (int section : {ExerciseSymbolTrainer::LengthsSection, ExerciseSymbolTrainer::LoudnessSection,
                        ExerciseSymbolTrainer::ModifiersSection})
        for (const auto& item : ExerciseSymbolTrainer::ItemTable(section))
            paths.insert(item->caption);
    for (int row = 0; !ExerciseSymbolTrainer::SignaturePicture(row, true).isEmpty(); ++row)
        paths.insert({ExerciseSymbolTrainer::SignaturePicture(row, true),
                      ExerciseSymbolTrainer::SignaturePicture(row, false)});
    for (int tempo = 0; tempo < Core::MusicTables::TempoCount; ++tempo)
        paths.insert(QLatin1String(Core::MusicTables::TempoAt(tempo).picture));
    return paths;
}

QString KeyPicture(const QString& set, const QString& name)
{
    const QString suffix = set == QLatin1String("normal") ? QString() : QLatin1Char('_') + set;
    return QStringLiteral(":/pixmap/GKC/%1/%2%3.png").arg(set, name, suffix);
}

const QStringList keySets{"normal", "hover", "pressed", "green", "red", "blue"};

// Runs the asset generator to the end: its exit code (-1 when it crashed or hung) and its errors.
std::pair<int, QString> RunGenerator(const QStringList& arguments)
{
    QProcess generator;
    generator.start(CANTORELA_ASSET_GENERATOR, arguments);
    const bool exited = generator.waitForFinished(120000) && generator.exitStatus() == QProcess::NormalExit;
    return {exited ? generator.exitCode() : -1, QString::fromLocal8Bit(generator.readAllStandardError())};
}

// The flags of a note (side 1, right of its up stem) or hooks of a rest (side -1, left of its slanted
// stem): strokes crossed by a line half a staff space beside the stem, the longest straight run of
// ink, stepping over the staff lines (the widest rows). A stem not thin for most of a space is none.
int FlagsBesideStem(const QString& path, int side)
{
    const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    const auto ink = [&](double x, int y) {
        const QRgb pixel = image.valid(qRound(x), y) ? image.pixel(qRound(x), y) : 0;
        return qAlpha(pixel) > 200 && qGray(pixel) < 128;
    };
    QVector<int> rowInk(image.height()), rows, staff;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            rowInk[y] += ink(x, y);
    for (int y = 0; y < image.height(); ++y)
        (rowInk[y] > *std::max_element(rowInk.begin(), rowInk.end()) * 6 / 10 ? staff : rows) << y;
    if (staff.isEmpty())
        return -1;
    const double space = (staff.last() - staff.first()) / 4.0;
    double x0 = 0, slant = 0; // the stem: x = x0 + slant * y
    for (int step = -25, longest = 0; step <= 25; ++step)
        for (int x = 0; x < image.width(); ++x)
            for (int i = 0, run = 0; i < rows.size(); ++i)
                if ((run = ink(x + step / 50.0 * rows[i], rows[i]) ? run + 1 : 0) > longest)
                    std::tie(longest, x0, slant) = std::make_tuple(run, x, step / 50.0);
    const auto onLine = [&](int i, double offset) { return ink(x0 + slant * rows[i] + offset, rows[i]); };
    int thin = 0, strokes = 0;
    for (int i = 0; i < rows.size(); ++i) {
        thin += onLine(i, 0) && !onLine(i, -space / 5) && !onLine(i, space / 5);
        strokes += onLine(i, side * space * 0.45) && (i == 0 || !onLine(i - 1, side * space * 0.45));
    }
    return thin < 0.7 * space ? 0 : strokes;
}

} // namespace

class TestAssets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        Q_INIT_RESOURCE(resources);
        // For the generator: single-threaded, so only Qt's own font threads could be reported.
        qputenv("ASAN_OPTIONS", "detect_leaks=0");
        qputenv("TSAN_OPTIONS", "report_bugs=0");
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    // A picture named in the sources or a symbol not compiled in would leave a button or question
    // blank; every compiled-in picture is readable, not blank, with an "@2x" twin twice its size.
    void everyNamedPictureIsCompiledInWithItsTwin()
    {
        const QString sources = QFINDTESTDATA("../../src");
        QVERIFY(!sources.isEmpty());
        const std::multiset<QString> symbols = SymbolPictures();
        QSet<QString> named(symbols.begin(), symbols.end());
        const QRegularExpression literal(QStringLiteral(":/(PIX|pixmap)/[A-Za-z0-9_/.@-]+"));
        QDirIterator it(sources, {"*.cpp", "*.h", "*.ui", "*.css"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString text = QString::fromUtf8(ReadAll(it.next()));
            for (auto match = literal.globalMatch(text); match.hasNext();) {
                const QRegularExpressionMatch found = match.next();
                // Folders and names completed at run time ("btn_reset_%1") are left out.
                const QChar next = found.capturedEnd() < text.size() ? text.at(found.capturedEnd()) : QChar();
                if (!found.captured().endsWith('/') && next != '%' && next != '<')
                    named.insert(found.captured());
            }
        }
        QVERIFY(named.size() > int(symbols.size()) + 20);
        for (const QString& path : named)
            QVERIFY2(!QImage(path).isNull(), qPrintable(path + " is not compiled in"));

        int pictures = 0;
        for (QDirIterator it(":/", {"*.png", "*.PNG", "highlight?"}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            if (path.contains(QRegularExpression("@[24]x")) || path.startsWith(":/qt-project.org"))
                continue;
            ++pictures;
            const QImage base = QImage(path).convertToFormat(QImage::Format_ARGB32);
            QImage clear(base.size(), QImage::Format_ARGB32);
            clear.fill(Qt::transparent);
            QVERIFY2(!base.isNull() && base != clear, qPrintable(path + " is empty"));
            QVERIFY2(QImage(HighDensity(path)).size() == base.size() * 2,
                     qPrintable(path + " has no @2x twin of twice its size"));
            const QString fourTimes = QString(HighDensity(path)).replace("@2x", "@4x");
            QVERIFY2(path.startsWith(":/pixmap/exercise/") == (QImage(fourTimes).size() == base.size() * 4),
                     qPrintable(fourTimes + ": only the question pictures have a twin at 4 times their size"));
        }
        QVERIFY(pictures > 200);
    }

    // A control whose pictures differ in size would jump when its state changes; the style sheet
    // draws the check box and radio button indicators at their pictures' size.
    void picturesOfOneControlShareTheirSize_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("names");
        const QString pix = QStringLiteral(":/PIX/pixmap");
        QTest::newRow("check boxes and radio buttons") << pix << QStringList{"checkbox_*", "radio_*"};
        QTest::newRow("main bar") << pix << QStringList{"progress_main_*"};
        QTest::newRow("thin bar") << pix << QStringList{"progress_thin_*"};
        QTest::newRow("score bar") << pix << QStringList{"progress_score_bg*", "sausage_*"};
        QTest::newRow("choice buttons") << pix << QStringList{"btn_multy_*"};
        QTest::newRow("section end cards") << pix << QStringList{"green_bg*", "red_bg*", "white_bg*"};
        QTest::newRow("tabs") << pix << QStringList{"highlight_orange*", "tab_hover*"};
        QTest::newRow("window buttons") << pix << QStringList{"exitfull_*", "backtofull_*"};
        QTest::newRow("level buttons") << ":/pixmap" << QStringList{"btn_reset_*"};
        QTest::newRow("symbols") << ":/pixmap/exercise" << QStringList{"*"};
        QTest::newRow("octave highlights") << ":/pixmap/GKC" << QStringList{"highlight*"};
    }

    void picturesOfOneControlShareTheirSize()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, names);
        QStringList paths;
        for (const QString& file : QDir(folder).entryList(names, QDir::Files))
            if (!file.contains(QRegularExpression("@[24]x")))
                paths << folder + '/' + file;
        QVERIFY(paths.size() >= 2);
        const QSize size = QImage(paths.first()).size();
        for (const QString& path : paths)
            QVERIFY2(QImage(path).size() == size, qPrintable(path));
        if (folder.endsWith("GKC")) // as high as the keys they frame
            QCOMPARE(size.height(), QImage(KeyPicture("normal", "C")).height());
        if (names.contains("radio_*")) { // the style sheet's indicators
            const auto css = QRegularExpression(QStringLiteral("indicator \\{\\s*width: (\\d+)px;\\s*height: (\\d+)px"))
                                 .match(QString::fromUtf8(ReadAll(":/css/global.css")));
            QCOMPARE(QSize(css.captured(1).toInt(), css.captured(2).toInt()), size);
        }
    }

    // Each picture of the colour-blind palette stands in for the standard one of its name: the
    // palette's mapping finds it, at the same size, in other colours; and no standard answer
    // picture the mapping turns lacks its stand-in.
    void colourBlindPicturesStandIn()
    {
        UI::AnswerColours::setPalette(UI::AnswerColours::ColourBlindPalette);
        int standIns = 0;
        for (QDirIterator it(":/", {"*.png"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString path = it.next();
            const QString standard = QString(path).remove(QStringLiteral("colourblind/"));
            const QString standIn = path == standard ? UI::AnswerColours::picture(path) : path;
            if (standIn == standard)
                continue;
            QCOMPARE(UI::AnswerColours::picture(standard), standIn);
            const QImage picture(standIn), original(standard);
            QVERIFY2(!picture.isNull() && picture.size() == original.size(), qPrintable(standIn));
            QVERIFY2(picture != original, qPrintable(standIn + " looks like the standard picture"));
            ++standIns;
        }
        UI::AnswerColours::setPalette(UI::AnswerColours::StandardPalette);
        QCOMPARE(UI::AnswerColours::picture(":/PIX/pixmap/colourblind/sausage_red.png"),
                 QStringLiteral(":/PIX/pixmap/sausage_red.png"));
        QVERIFY(standIns > 100);
    }

    // Each key's picture, every set and density, fits the reference layout: the key's size,
    // transparent high up where a black key lies over a white one, solid everywhere else.
    void keyPicturesFitTheKeyboardLayout_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("key");
        for (const QString& set : keySets)
            for (int key : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 87})
                QTest::addRow("%s, key %d", qPrintable(set), key) << set << key;
    }

    void keyPicturesFitTheKeyboardLayout()
    {
        QFETCH(QString, set);
        QFETCH(int, key);
        const QStringList names = QString("A A_sharp B C C_sharp D D_sharp E F F_sharp G G_sharp").split(' ');
        const QString name = key == 0 ? "Afirst" : key == 87 ? "Clast" : names[key % 12];
        Keyboard keyboard;
        keyboard.setFixedSize(1820, 180); // the reference size: a pixel a unit
        const QRect rect = keyboard.keyRect(key);
        QRect blacks[2]; // the black keys lying over this white key
        for (int side : {0, 1})
            if (const int other = key - 1 + 2 * side;
                Keyboard::isWhiteKey(key) && !Keyboard::isWhiteKey(other))
                blacks[side] = keyboard.keyRect(other);
        for (const int ratio : {1, 2}) {
            const QString file = ratio == 1 ? KeyPicture(set, name) : HighDensity(KeyPicture(set, name));
            const QImage image = QImage(file).convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image.size(), rect.size() * ratio);
            auto alpha = [&](int x, int y) { return qAlpha(image.pixel((x - rect.left()) * ratio, y * ratio)); };
            // Within `margin` of a black key lying over it (a negative margin: well inside it).
            const auto overBlack = [&](int x, int margin) {
                return std::any_of(std::begin(blacks), std::end(blacks), [&](const QRect& b) {
                    return !b.isNull() && x >= b.left() - margin && x <= b.right() + margin;
                });
            };
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const bool under = overBlack(x, -2);
                if (under != overBlack(x, 1))
                    continue; // the black key's edge
                // Edges are drawn soft: solid is more than three quarters opaque.
                QVERIFY2(under ? alpha(x, 50) < 64 : alpha(x, 50) > 192,
                         qPrintable(QStringLiteral("%1 at x %2").arg(file).arg(x - rect.left())));
                QVERIFY2(alpha(x, rect.height() - 20) > 192,
                         qPrintable(QStringLiteral("%1 low at x %2").arg(file).arg(x - rect.left())));
            }
        }
    }

    // Each state of a key looks different from the others; symbols carry dark ink, and no two
    // symbols share a picture.
    void keyStatesAndSymbolsLookDistinct()
    {
        std::set<QByteArray> keys;
        for (const QString& set : keySets)
            for (const char* name : {"C", "C_sharp"})
                QVERIFY2(keys.insert(ReadAll(KeyPicture(set, name))).second,
                         qPrintable(KeyPicture(set, name)));
        std::set<QByteArray> symbols;
        for (const QString& path : SymbolPictures()) {
            const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
            int ink = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    ink += qAlpha(image.pixel(x, y)) == 255 && qGray(image.pixel(x, y)) < 60;
            QVERIFY2(ink > 150, qPrintable(QStringLiteral("%1 has %2 ink pixels").arg(path).arg(ink)));
            QVERIFY2(symbols.insert(ReadAll(path)).second, qPrintable(path + " looks like another symbol"));
        }
    }

    // A length's note and rest, at both densities, carry one flag or hook more than the next longer.
    void lengthPicturesShowTheirFlags_data()
    {
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("rest");
        QTest::addColumn<int>("flags");
        QTest::newRow("whole") << "wholenote.png" << "wholerest.png" << 0;
        QTest::newRow("half") << "halfnote.png" << "halfrest.png" << 0;
        QTest::newRow("quarter") << "quarternote.png" << "quarterrest.png" << 0;
        QTest::newRow("eighth") << "eighthnote.png" << "eighthrest.png" << 1;
        QTest::newRow("16th") << "sixteenthnote.png" << "sixteenthrest.png" << 2;
        QTest::newRow("32nd") << "thirtysecondnote.png" << "thirtysecondrest.png" << 3;
        QTest::newRow("64th") << "sixtyfourthnote.png" << "sixtyfourthrest.png" << 4;
        QTest::newRow("128th") << "hundredtwentyeighthnote.png" << "hundredtwentyeighthrest.png" << 5;
    }

    void lengthPicturesShowTheirFlags()
    {
        QFETCH(QString, note);
        QFETCH(QString, rest);
        QFETCH(int, flags);
        for (const QString& file : {note, HighDensity(note), rest, HighDensity(rest)}) {
            const int found = FlagsBesideStem(":/pixmap/exercise/" + file, file.contains("rest") ? -1 : 1);
            QVERIFY2(found == flags, qPrintable(QStringLiteral("%1 shows %2").arg(file).arg(found)));
        }
    }

    // The answer sounds: 44.1 kHz 16-bit PCM (what every audio back end plays) of their length,
    // audible, not clipped, and faded out to silence so that they end without a click.
    void answerSoundsArePcm_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        QTest::newRow("right") << ":/wav/right.wav" << 0.3 << 0.99;
        QTest::newRow("wrong") << ":/wav/wrong.wav" << 1.3 << 1.7;
    }
    void answerSoundsArePcm()
    {
        QFETCH(QString, path);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        const QByteArray wav = ReadAll(path);
        const auto u32 = [&](int at) { return qint64(qFromLittleEndian<quint32>(wav.constData() + at)); };
        QVERIFY(wav.size() > 44 && wav.startsWith("RIFF") && wav.mid(8, 8) == "WAVEfmt ");
        QCOMPARE(u32(4), qint64(wav.size() - 8));
        QCOMPARE((QVector<qint64>{u32(20) & 0xffff, u32(24), u32(34) & 0xffff}),
                 (QVector<qint64>{1, 44100, 16}));
        const auto clip = Core::AuServerSynth::Decode(wav, 44100); // stereo frames
        QVERIFY(clip && clip->size() % 2 == 0);
        const double seconds = clip->size() / 2 / 44100.0;
        QVERIFY2(seconds >= shortest && seconds <= longest, qPrintable(QString::number(seconds)));
        const float peak = std::abs(*std::max_element(
            clip->begin(), clip->end(), [](float a, float b) { return std::abs(a) < std::abs(b); }));
        QVERIFY2(peak > 8000 / 32768.f && peak < 32767 / 32768.f, qPrintable(QString::number(peak)));
        for (int i = clip->size() - 2; i < clip->size(); ++i)
            QVERIFY(std::abs(clip->at(i)) < 64 / 32768.f);
    }

    // Two runs of the generator give byte-identical files, and those are the compiled resources.
    void generatorIsDeterministic()
    {
        QTemporaryDir first, second;
        for (const QTemporaryDir* dir : {&first, &second}) {
            const auto [exitCode, errors] = RunGenerator({"--font-dir", CANTORELA_TEXT_FONT_DIR, "--sheet",
                                                          dir->path() + "/sheet.png", dir->path() + "/out"});
            QVERIFY2(exitCode == 0, qPrintable(errors));
        }
        const QImage sheet(first.path() + "/sheet.png"); // the pictures for a person to review
        QVERIFY(sheet.width() > 1000 && sheet.height() > 1000);
        const QDir out(first.path() + "/out");
        int files = 0;
        for (QDirIterator it(out.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext(); ++files) {
            const QString relative = out.relativeFilePath(it.next());
            const QByteArray bytes = ReadAll(out.filePath(relative));
            QVERIFY2(!bytes.isEmpty() && bytes == ReadAll(second.path() + "/out/" + relative),
                     qPrintable(relative + " differs between runs"));
            QVERIFY2(relative == "assets.qrc" || ReadAll(":/" + relative) == bytes,
                     qPrintable(relative + " is not what was compiled in"));
        }
        QVERIFY(files > 2 * 200);
    }

    // The build stops with a message rather than compiling in half a set of pictures.
    void generatorRefusesWhatItCannotDo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no output folder")
            << QStringList{"--font-dir", CANTORELA_TEXT_FONT_DIR} << 2 << "usage";
        QTest::newRow("text font missing")
            << QStringList{"--font-dir", "/nonexistent", "@OUT@"} << 1 << "text font";
        QTest::newRow("output under a file")
            << QStringList{"--font-dir", CANTORELA_TEXT_FONT_DIR, "@FILE@/out"} << 1 << "cannot write";
    }

    void generatorRefusesWhatItCannotDo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(QFile(dir.path() + "/file").open(QIODevice::WriteOnly));
        for (QString& argument : arguments)
            argument.replace("@OUT@", dir.path() + "/out").replace("@FILE@", dir.path() + "/file");
        const auto [exited, errors] = RunGenerator(arguments);
        QTEST(exited, "exitCode");
        QVERIFY2(errors.contains(message), qPrintable(errors));
        QVERIFY(!QFile::exists(dir.path() + "/out/assets.qrc"));
    }
};

QTEST_MAIN(TestAssets)
#include "test_assets.moc"
