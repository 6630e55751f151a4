// The compiled-in pictures and sounds: every resource path the program uses loads, at its logical
// size and at twice its pixels under the "@2x" name; the piano's key pictures fit the keyboard's
// reference layout with their cut-outs; the answer sounds are 44.1 kHz 16-bit PCM of the right
// length; the generator gives identical files on every run, and they are what was compiled in.

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <set>

QStringList SymbolPictures();

namespace {

const QString pix = QStringLiteral(":/PIX/pixmap/");
const QString exercise = QStringLiteral(":/pixmap/exercise/");

QString HighDensity(const QString& path)
{
    const int slash = path.lastIndexOf('/'), dot = path.lastIndexOf('.');
    QString result = path;
    result.insert(dot > slash ? dot : path.size(), QStringLiteral("@2x"));
    return result;
}

// Every picture path the program names, except the key pictures (checked on their own).
QStringList NamedPictures()
{
    QStringList paths;
    for (const char* kind : {"checkbox", "radio"})
        for (const char* fill : {"empty", "full"})
            for (const char* look : {"normal", "hover", "pressed", "disable"})
                paths << pix + QStringLiteral("%1_%2_%3.png").arg(kind, fill, look);
    for (const char* name :
         {"highlight_orange.png", "tab_hover.PNG", "exitfull_normal.png", "backtofull_normal.png", "cantorela.PNG",
          "title_note.PNG", "title_ear.PNG", "title_symbol.PNG", "title_note_quiz.PNG", "title_ear_quiz.PNG",
          "title_symbol_quiz.PNG", "header_bg.png", "btn_multy_normal.png", "btn_multy_hover.png",
          "btn_multy_pressed.png", "btn_multy_green.png", "btn_multy_red.png", "time.png", "footer_bg.png", "grip.png",
          "progress_main_bg.png", "progress_main_red.png", "progress_main_green.png", "progress_thin_bg.png",
          "progress_thin_red.png", "progress_thin_green.png", "progress_score_bg.png", "sausage_red.png",
          "sausage_green.png", "main_bg.png", "main_bg_big.png", "green_bg.png", "red_bg.png", "white_bg.png",
          "pointer.png"})
        paths << pix + name;
    for (int level = 1; level <= 5; ++level)
        paths << QStringLiteral(":/pixmap/btn_reset_%1_normal.png").arg(level);
    for (const QString& path : QStringList{":/pixmap/GKC/highlightL", ":/pixmap/GKC/highlightR"})
        paths << path;
    for (const QString& file : SymbolPictures())
        paths << exercise + file;
    return paths;
}

} // namespace

// The symbol trainer's pictures, under ":/pixmap/exercise/".
QStringList SymbolPictures()
{
    QStringList files;
    for (const char* length : {"whole", "half", "quarter", "eighth", "sixteenth", "thirtysecond", "sixtyfourth"})
        files << QStringLiteral("%1note.png").arg(length) << QStringLiteral("%1rest.png").arg(length);
    for (const char* key : {"c-a", "g-e", "d-b", "a-fis", "e-cis", "b-gis", "fis-dis", "ges-ees", "des-bes", "aes-f",
                            "ees-c", "bes-g", "f-d"})
        files << QStringLiteral("%1-bass.png").arg(key) << QStringLiteral("%1-tr.png").arg(key);
    for (const char* file : {"pianississimo.png", "pianissimo.png", "piano.png", "mezzopiano.png", "mezzoforte.png",
                             "forte.png", "fortissimo.png", "fortississimo.png", "sforzando.png", "crescendo.png",
                             "diminuendo.png", "staccato.png", "staccatissimo.png", "accent.png", "fermata.png",
                             "flat.png", "tie.png", "marcato.png", "natural.png", "ottavaalta.png", "ottavabassa.png",
                             "pedaldown.png", "pedalup.png", "repeat.png", "sharp.png", "volte.png", "tremolo.png",
                             "trill.png", "appoggiatura.png", "doubleflat.png", "doublesharp.png", "arpeggio.png",
                             "tenuto.png", "legato.png", "acciaccatura.png", "adagio.png", "allegro.png",
                             "andante.png", "largo.png", "moderato.png", "presto.png", "vivace.png", "question.png"})
        files << file;
    return files;
}

class TestAssets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        Q_INIT_RESOURCE(resources);
    }

    void picturesLoadAtBothDensities_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& path : NamedPictures())
            QTest::newRow(qPrintable(path)) << path;
    }

    void picturesLoadAtBothDensities()
    {
        QFETCH(QString, path);
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage base = reader.read();
        QVERIFY2(!base.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(base.devicePixelRatio(), 1.0);
        QVERIFY(base.width() >= 8 && base.height() >= 8);
        // Qt picks the "@2x" file on high-density screens and reads its ratio from the name.
        const QImage dense(HighDensity(path));
        QVERIFY(!dense.isNull());
        QCOMPARE(dense.devicePixelRatio(), 2.0);
        QCOMPARE(dense.size(), base.size() * 2);
        // Neither drawing is empty.
        QVERIFY(base.convertToFormat(QImage::Format_ARGB32) != QImage(base.size(), QImage::Format_ARGB32));
    }

    void sizesFollowTheirUse_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QSize>("size"); // empty: only equal to one another
        QStringList indicators;
        for (const char* kind : {"checkbox", "radio"})
            for (const char* fill : {"empty", "full"})
                for (const char* look : {"normal", "hover", "pressed", "disable"})
                    indicators << pix + QStringLiteral("%1_%2_%3.png").arg(kind, fill, look);
        QTest::newRow("indicators 13 × 13") << indicators << QSize(13, 13);
        QTest::newRow("footer groove 39 high") << QStringList{pix + "footer_bg.png"} << QSize();
        for (const char* style : {"main", "thin"})
            QTest::newRow(style) << QStringList{pix + QStringLiteral("progress_%1_bg.png").arg(style),
                                                pix + QStringLiteral("progress_%1_red.png").arg(style),
                                                pix + QStringLiteral("progress_%1_green.png").arg(style)}
                                 << QSize();
        QTest::newRow("score") << QStringList{pix + "progress_score_bg.png", pix + "sausage_red.png", pix + "sausage_green.png"}
                               << QSize();
        QStringList buttons, titles, levels, symbols, ends;
        for (const char* state : {"normal", "hover", "pressed", "green", "red"})
            buttons << pix + QStringLiteral("btn_multy_%1.png").arg(state);
        for (const char* title : {"cantorela", "title_note", "title_ear", "title_symbol", "title_note_quiz",
                                  "title_ear_quiz", "title_symbol_quiz"})
            titles << pix + title + ".PNG";
        for (int level = 1; level <= 5; ++level)
            levels << QStringLiteral(":/pixmap/btn_reset_%1_normal.png").arg(level);
        for (const QString& file : SymbolPictures())
            symbols << exercise + file;
        for (const char* colour : {"green", "red", "white"})
            ends << pix + colour + "_bg.png";
        QTest::newRow("choice buttons") << buttons << QSize();
        QTest::newRow("titles") << titles << QSize();
        QTest::newRow("level buttons") << levels << QSize();
        QTest::newRow("symbol pictures") << symbols << QSize();
        QTest::newRow("section end") << ends << QSize();
        QTest::newRow("tabs") << QStringList{pix + "highlight_orange.png", pix + "tab_hover.PNG"} << QSize();
        QTest::newRow("window buttons") << QStringList{pix + "exitfull_normal.png", pix + "backtofull_normal.png"}
                                        << QSize();
        QTest::newRow("octave highlights 180 high")
            << QStringList{":/pixmap/GKC/highlightL", ":/pixmap/GKC/highlightR"} << QSize();
    }

    void sizesFollowTheirUse()
    {
        QFETCH(QStringList, paths);
        QFETCH(QSize, size);
        const QSize first = QImage(paths.first()).size();
        for (const QString& path : paths) {
            const QSize actual = QImage(path).size();
            QVERIFY2(actual == (size.isEmpty() ? first : size),
                     qPrintable(QStringLiteral("%1 is %2×%3").arg(path).arg(actual.width()).arg(actual.height())));
        }
        if (paths.first().endsWith("footer_bg.png"))
            QCOMPARE(first.height(), 39);
        if (paths.first().contains("GKC/highlight"))
            QCOMPARE(first.height(), 180);
    }

    void homeBackgroundsGrowForTallScreens()
    {
        const QImage small(pix + "main_bg.png"), big(pix + "main_bg_big.png");
        QVERIFY(big.height() > 900 - 100 && big.height() > small.height());
        QVERIFY(big.width() > small.width());
    }

    // The key pictures: white keys 35 × 180 with transparent cut-outs where black keys lie over
    // them (black keys at 21, 65, 126, 165 and 206 units into the octave, 19 wide, G♯ 20), black
    // keys 19 × 108 (G♯ 20 × 108), in six sets.
    void keyPicturesFitTheReferenceLayout_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<int>>("cutOutCentres"); // x of each cut-out's middle, within the key
        QTest::addColumn<QList<int>>("solidColumns");  // x where the key is solid from top to bottom
        const QList<int> blackLeft{21, 65, 126, 165, 206}, blackWidth{19, 19, 19, 20, 19};
        const struct
        {
            const char* name;
            int index;
        } whites[] = {{"C", 0}, {"D", 1}, {"E", 2}, {"F", 3}, {"G", 4}, {"A", 5}, {"B", 6}};
        for (const char* set : {"normal", "hover", "pressed", "green", "red", "blue"}) {
            const QString suffix = QByteArray(set) == "normal" ? QString() : QStringLiteral("_") + set;
            auto path = [&](const QString& name) { return QStringLiteral(":/pixmap/GKC/%1/%2%3.png").arg(set, name, suffix); };
            for (const auto& white : whites) {
                const int left = 35 * white.index;
                QList<int> cuts, solid;
                for (int b = 0; b < 5; ++b) {
                    const int from = std::max(blackLeft[b], left), to = std::min(blackLeft[b] + blackWidth[b], left + 35);
                    if (to - from >= 4)
                        cuts << (from + to) / 2 - left;
                }
                // The middle of the key's own top part.
                int x = 17;
                for (int c : cuts)
                    x = c < 17 ? std::max(x, c + 8) : std::min(x, c - 8);
                solid << x;
                QTest::newRow(qPrintable(path(white.name))) << path(white.name) << QSize(35, 180) << cuts << solid;
            }
            const char* blacks[] = {"C_sharp", "D_sharp", "F_sharp", "G_sharp", "A_sharp"};
            for (int b = 0; b < 5; ++b)
                QTest::newRow(qPrintable(path(blacks[b]))) << path(blacks[b]) << QSize(blackWidth[b], 108) << QList<int>()
                                                          << QList<int>{blackWidth[b] / 2};
            // A0: A♯0 covers 30–49, so its last units are cut; C8 is whole.
            QTest::newRow(qPrintable(path("Afirst"))) << path("Afirst") << QSize(35, 180) << QList<int>{33}
                                                      << QList<int>{14};
            QTest::newRow(qPrintable(path("Clast"))) << path("Clast") << QSize(35, 180) << QList<int>()
                                                     << QList<int>{5, 17, 30};
        }
    }

    void keyPicturesFitTheReferenceLayout()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(QList<int>, cutOutCentres);
        QFETCH(QList<int>, solidColumns);
        for (const QString& file : {path, HighDensity(path)}) {
            const QImage image = QImage(file).convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!image.isNull(), qPrintable(file));
            const int ratio = file == path ? 1 : 2;
            QCOMPARE(image.size(), size * ratio);
            for (int x : cutOutCentres) {
                QCOMPARE(qAlpha(image.pixel(x * ratio, 50 * ratio)), 0);
                QCOMPARE(qAlpha(image.pixel(x * ratio, 150 * ratio)), 255);
            }
            for (int x : solidColumns)
                for (int y : {10, 60, size.height() - 20})
                    QVERIFY2(qAlpha(image.pixel(x * ratio, y * ratio)) == 255,
                             qPrintable(QStringLiteral("%1 at %2,%3").arg(file).arg(x).arg(y)));
        }
    }

    void keyLooksDiffer()
    {
        std::set<QByteArray> seen;
        for (const char* set : {"normal", "hover", "pressed", "green", "red", "blue"}) {
            const QString suffix = QByteArray(set) == "normal" ? QString() : QStringLiteral("_") + set;
            for (const char* name : {"C", "C_sharp"}) {
                QFile file(QStringLiteral(":/pixmap/GKC/%1/%2%3.png").arg(set, name, suffix));
                QVERIFY(file.open(QIODevice::ReadOnly));
                QVERIFY(seen.insert(file.readAll()).second);
            }
        }
    }

    // Symbol pictures carry dark notation ink, and no two symbols share a picture.
    void symbolPicturesAreEngraved()
    {
        std::set<QByteArray> seen;
        for (const QString& file : SymbolPictures()) {
            const QImage image = QImage(exercise + file).convertToFormat(QImage::Format_ARGB32);
            int ink = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    ink += qAlpha(pixel) == 255 && qGray(pixel) < 60;
                }
            QVERIFY2(ink > 150, qPrintable(QStringLiteral("%1 has %2 ink pixels").arg(file).arg(ink)));
            QVERIFY2(seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes()))).second,
                     qPrintable(file + " looks like another symbol"));
        }
    }

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
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray wav = file.readAll();
        QVERIFY(wav.size() > 44);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
        QCOMPARE(wav.mid(8, 4), QByteArray("WAVE"));
        // Walk the chunks.
        int at = 12, channels = 0;
        QByteArray samples;
        while (at + 8 <= wav.size()) {
            const QByteArray id = wav.mid(at, 4);
            const quint32 length = qFromLittleEndian<quint32>(wav.constData() + at + 4);
            QVERIFY(at + 8 + qint64(length) <= wav.size());
            const char* body = wav.constData() + at + 8;
            if (id == "fmt ") {
                QVERIFY(length >= 16);
                QCOMPARE(qFromLittleEndian<quint16>(body), quint16(1)); // PCM
                channels = qFromLittleEndian<quint16>(body + 2);
                QVERIFY(channels == 1 || channels == 2);
                QCOMPARE(qFromLittleEndian<quint32>(body + 4), quint32(44100));
                QCOMPARE(qFromLittleEndian<quint32>(body + 8), quint32(44100 * channels * 2));
                QCOMPARE(qFromLittleEndian<quint16>(body + 12), quint16(channels * 2));
                QCOMPARE(qFromLittleEndian<quint16>(body + 14), quint16(16));
            } else if (id == "data") {
                QVERIFY(channels > 0); // fmt comes first
                samples = QByteArray(body, int(length));
            }
            at += 8 + int(length) + int(length % 2);
        }
        QVERIFY(!samples.isEmpty());
        QCOMPARE(samples.size() % (channels * 2), 0);
        const double seconds = double(samples.size()) / (channels * 2) / 44100.0;
        QVERIFY2(seconds >= shortest && seconds <= longest, qPrintable(QString::number(seconds)));
        int peak = 0;
        const int count = samples.size() / 2;
        for (int i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(samples.constData() + 2 * i))));
        QVERIFY2(peak > 8000 && peak < 32767, qPrintable(QString::number(peak))); // audible, not clipped
        // It fades out to silence, so it ends without a click.
        for (int i = count - channels; i < count; ++i)
            QVERIFY(std::abs(int(qFromLittleEndian<qint16>(samples.constData() + 2 * i))) < 64);
    }

    void styleSheetNamesExistingPictures()
    {
        QFile file(":/css/global.css");
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString css = QString::fromUtf8(file.readAll());
        QRegularExpression url(QStringLiteral("url\\((:/[^)]+)\\)"));
        int count = 0;
        for (auto match = url.globalMatch(css); match.hasNext(); ++count) {
            const QString path = match.next().captured(1);
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.size(), QSize(13, 13));
        }
        QCOMPARE(count, 16);
    }

    // Two runs of the generator give byte-identical files, and those are the compiled resources.
    void generatorIsDeterministic()
    {
        QTemporaryDir first, second;
        QVERIFY(first.isValid() && second.isValid());
        for (const QTemporaryDir* dir : {&first, &second}) {
            QProcess generator;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("QT_QPA_PLATFORM", "offscreen");
            environment.insert("ASAN_OPTIONS", "detect_leaks=0");
            // Single-threaded: only Qt's own font threads could be reported.
            environment.insert("TSAN_OPTIONS", "report_bugs=0");
            generator.setProcessEnvironment(environment);
            generator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            generator.start(CANTORELA_ASSET_GENERATOR,
                            {"--font-dir", CANTORELA_TEXT_FONT_DIR, dir->path() + "/out"});
            QVERIFY(generator.waitForFinished(120000));
            QCOMPARE(generator.exitStatus(), QProcess::NormalExit);
            QCOMPARE(generator.exitCode(), 0);
        }
        QStringList files;
        QDirIterator it(first.path() + "/out", QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(first.path() + "/out").relativeFilePath(it.next());
        files.sort();
        QVERIFY(files.size() > 2 * 200);
        for (const QString& relative : files) {
            QFile a(first.path() + "/out/" + relative), b(second.path() + "/out/" + relative);
            QVERIFY2(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly), qPrintable(relative));
            const QByteArray bytes = a.readAll();
            QVERIFY2(bytes == b.readAll(), qPrintable(relative + " differs between runs"));
            if (relative == "assets.qrc")
                continue;
            QFile compiled(":/" + relative);
            QVERIFY2(compiled.open(QIODevice::ReadOnly), qPrintable(relative + " is not compiled in"));
            QVERIFY2(compiled.readAll() == bytes, qPrintable(relative + " differs from the compiled one"));
        }
    }

    // The build stops with a message rather than compiling in half a set of pictures.
    void generatorRefusesWhatItCannotDo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no output folder") << QStringList{"--font-dir", CANTORELA_TEXT_FONT_DIR} << 2 << "usage";
        QTest::newRow("text font missing") << QStringList{"--font-dir", "/nonexistent", "@OUT@"} << 1 << "text font";
        QTest::newRow("output under a file") << QStringList{"--font-dir", CANTORELA_TEXT_FONT_DIR, "@FILE@/out"} << 1
                                             << "cannot write";
    }

    void generatorRefusesWhatItCannotDo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile blocker(dir.path() + "/file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        for (QString& argument : arguments)
            argument.replace("@OUT@", dir.path() + "/out").replace("@FILE@", blocker.fileName());
        QProcess generator;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("ASAN_OPTIONS", "detect_leaks=0");
        environment.insert("TSAN_OPTIONS", "report_bugs=0");
        generator.setProcessEnvironment(environment);
        generator.start(CANTORELA_ASSET_GENERATOR, arguments);
        QVERIFY(generator.waitForFinished(120000));
        QCOMPARE(generator.exitCode(), exitCode);
        const QString errors = QString::fromLocal8Bit(generator.readAllStandardError());
        QVERIFY2(errors.contains(message), qPrintable(errors));
        QVERIFY(!QFile::exists(dir.path() + "/out/assets.qrc"));
    }

    void contactSheetIsWritten()
    {
        const QImage sheet(CANTORELA_ASSET_SHEET);
        QVERIFY(!sheet.isNull());
        QVERIFY(sheet.width() > 1000 && sheet.height() > 1000);
    }
};

QTEST_GUILESS_MAIN(TestAssets)
#include "test_assets.moc"
