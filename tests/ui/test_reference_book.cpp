// The reference pages as the exercise screen drives them, read, heard and printed.

#include "../core/midi/audio_probe.h"
#include "core/midi/midi_bank.h"
#include "core/midi/sound_controller.h"
#include "core/midi/synthesizer.h"
#include "notation/music_font.h"
#include "ui/exercise/reference/reference_book.h"
#include "ui/interface_fonts.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QtTest>

#include <cmath>
#include <complex>

using namespace AudioProbe;
using Steps = QList<QVector<int>>;
Q_DECLARE_METATYPE(Steps)

namespace {

// What a screen reader reads on the page: the names of all its accessible objects, line by line.
void ReadAloud(QAccessibleInterface* node, QStringList& lines)
{
    if (!node)
        return;
    lines +=
        node->text(QAccessible::Name).split(QRegularExpression(QStringLiteral("[\\n\\x{2028}\\x{2029}]")));
    for (int i = 0; i < node->childCount(); ++i)
        ReadAloud(node->child(i), lines);
}

} // namespace

class TestReferenceBook : public QObject
{
    Q_OBJECT

    std::shared_ptr<Core::Synthesizer> synth;
    std::shared_ptr<Core::SoundController> sound;
    std::shared_ptr<Core::MidiBank> pieces;
    std::unique_ptr<UI::ReferenceBook> book;

    // Clicks the play button of that name on the page shown, as a user does; false when there is none.
    static bool Press(UI::ReferenceBook& pages, const QString& name)
    {
        auto* page = qobject_cast<QScrollArea*>(pages.currentWidget());
        for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
            if (button->accessibleName() == name) {
                page->ensureWidgetVisible(button);
                QTest::mouseClick(button, Qt::LeftButton);
                return true;
            }
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        Q_INIT_RESOURCE(midi_pieces);
        pieces = std::make_shared<Core::MidiBank>();
        qRegisterMetaType<QVector<int>>();
        QVERIFY(UI::InterfaceFonts::registerFonts());
        QVERIFY(Notation::MusicFont::RegisterApplicationFont() >= 0);
        Core::Synthesizer::Options options;
        options.audioOutput = false;
        options.sampleRate = Rate;
        synth = std::make_shared<Core::Synthesizer>(options);
        QVERIFY2(synth->WaitForSoundFont(60000), "a General MIDI soundfont is installed by scripts/setup.sh");
        Core::SoundController::Options soundOptions;
        soundOptions.synthesizer = synth;
        soundOptions.watchDevices = false;
        sound = std::make_shared<Core::SoundController>(soundOptions);
        sound->SetCurrentOutputIndex(0);
    }

    void init()
    {
        book = std::make_unique<UI::ReferenceBook>(sound, pieces);
        book->resize(900, 600);
        book->show();
        QVERIFY(QTest::qWaitForWindowExposed(book.get()));
    }

    void cleanup() { book.reset(); }

    // Each section button's page (blank where there is none), its texts read case-blind ("|" between
    // them) as spelled and engraved, and drawn for printing, the tall ones far past the view.
    void pageOfEveryButton_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("texts");
        QTest::addColumn<bool>("tall");
        const QStringList pages[] = {{"SingleNotes", "Intervals", "Chords", "", ""},
                                     {"SingleNotes", "Intervals", "Chords", "Scales", "Tempo"},
                                     {"NoteLengths", "KeySignatures", "Tempo", "Loudness", "NoteModifiers"}};
        const QMap<int, QString> texts{ // by trainer * 10 + button
            {13, "C \u2013 E\u266D \u2013 G\u266D \u2013 B\u266D\u266D|1 \u266D3 \u266D5 \u266D\u266D7"},
            {14, "C D E\u266D F G A\u266D B C|W H W W H W+H H"},
            {22, "6 sharps: F\u266F C\u266F G\u266F D\u266F A\u266F E\u266F|3 flats: B\u266D E\u266D A\u266D"},
            {21, "128th note|128th rest"}};
        for (int trainer = 0; trainer < 3; ++trainer)
            for (int button = 1; button <= 5; ++button)
                QTest::addRow("trainer %d button %d", trainer, button)
                    << trainer << button << pages[trainer][button - 1] << texts.value(trainer * 10 + button)
                    << (trainer * 10 + button == 25 || trainer * 10 + button == 12);
        QTest::newRow("no such trainer") << 3 << 1 << "" << "" << false;
        QTest::newRow("before the first button") << 2 << 0 << "" << "" << false;
        QTest::newRow("after the last button") << 2 << 6 << "" << "" << false;
    }

    // Buttons are counted from 1 here, as the screen shows them; the book takes their index.
    void pageOfEveryButton()
    {
        QFETCH(int, trainer);
        QFETCH(int, button);
        QFETCH(QString, name);
        QFETCH(QString, texts);
        QFETCH(bool, tall);
        book->showPage(1, 3); // whatever was shown before goes
        const QString title = book->showPage(trainer, button - 1);
        QCOMPARE(book->currentPageName(), name);
        if (name.isEmpty()) {
            QVERIFY(title.isEmpty() && book->pageImage(800).isNull());
            return;
        }
        QVERIFY2(title.endsWith(QLatin1String(" Reference")), qPrintable(title));
        QCOMPARE(book->currentWidget()->accessibleName(), title);
        QStringList lines;
        ReadAloud(QAccessible::queryAccessibleInterface(book->currentWidget()), lines);
        for (QString& line : lines)
            line = line.trimmed().toCaseFolded();
        for (const QString& text : texts.split(QLatin1Char('|'), Qt::SkipEmptyParts))
            QVERIFY2(lines.contains(text.toCaseFolded()), qPrintable(text));

        // Drawn for printing, leaving the screen as it was and a focused button its focus.
        QAbstractButton* focused = book->currentWidget()->findChild<QAbstractButton*>();
        if (focused) {
            book->activateWindow();
            focused->setFocus();
            QTRY_VERIFY(focused->hasFocus());
        }
        const QImage screen = book->grab().toImage();
        const QImage single = book->pageImage(800, 1.0), twice = book->pageImage(800, 2.0);
        QCOMPARE(single.width(), 800);
        QCOMPARE(twice.size(), single.size() * 2);
        QCOMPARE(twice.devicePixelRatio(), 2.0);
        QCOMPARE(book->grab().toImage(), screen);
        QVERIFY(!focused || focused->hasFocus());
        if (!tall)
            return;
        QVERIFY2(single.height() > 2 * book->height(), "the page is drawn at its full height");
        int ink[4] = {}; // what is not white paper, by quarters of the page
        for (int y = 0; y < single.height(); y += 2)
            for (int x = 0; x < single.width(); x += 2)
                ink[y * 4 / single.height()] += qGray(single.pixel(x, y)) < 160;
        for (int quarter : ink)
            QVERIFY2(quarter > 200, "ink all the way down");
    }

    void playButtonSoundsItsExample_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("play");
        QTest::addColumn<Steps>("heard"); // piano keys, 39 = middle C
        QTest::newRow("C3") << 0 << 1 << "Play C3" << Steps{{27}};
        QTest::newRow("minor third") << 0 << 2 << "Play Minor 3rd" << Steps{{39}, {42}, {39, 42}};
        QTest::newRow("dominant seventh")
            << 1 << 3 << "Play Dominant Seventh - C7" << Steps{{39}, {43}, {46}, {49}, {39, 43, 46, 49}};
        QTest::newRow("melodic minor down") << 1 << 4 << "Play Melodic Minor (Descending)"
                                            << Steps{{51}, {49}, {47}, {46}, {44}, {42}, {41}, {39}};
    }

    void playButtonSoundsItsExample()
    {
        QFETCH(int, trainer);
        QFETCH(int, button);
        QFETCH(QString, play);
        QFETCH(Steps, heard);
        book->showPage(trainer, button - 1);
        Render(*synth, 0.5); // whatever rang before has died away

        // Each change is heard at once, before the book's timer can move on.
        Steps sounded;
        QStringList faults;
        connect(book.get(), &UI::ReferenceBook::exampleSounding, this, [&](const QVector<int>& keys) {
            sounded.append(keys);
            if (keys.isEmpty())
                return;
            const Audio audio = Render(*synth, 0.35);
            const int from = Rate / 10, length = Rate / 5;
            auto power = [&](double hz) { // of one frequency in the left channel, Hann-windowed
                std::complex<double> sum;
                for (int i = 0; i < length; ++i)
                    sum += (0.5 - 0.5 * std::cos(2 * M_PI * i / (length - 1))) * double(audio.left[size_t(from + i)]) *
                           std::polar(1.0, 2 * M_PI * hz / Rate * i);
                return std::norm(sum);
            };
            const double fundamental = Fundamental(audio.left, from, length / 2),
                         semitone = std::pow(2.0, 1.0 / 12);
            for (int key : keys) {
                const double hz = NoteFrequency(key + 21);
                if (keys.size() == 1 && std::fabs(12.0 * std::log2(fundamental / hz)) > 0.33)
                    faults << QStringLiteral("key %1: heard %2 Hz").arg(key).arg(fundamental);
                if (keys.size() > 1 && power(hz) < 4 * std::max(power(hz * semitone), power(hz / semitone)))
                    faults << QStringLiteral("key %1 not heard in the chord").arg(key);
            }
        });
        QSignalSpy played(book.get(), &UI::ReferenceBook::examplePlayed);
        QVERIFY(Press(*book, play));
        QCOMPARE(played.count(), 1);
        QCOMPARE(played.first().at(0).toString(), book->currentPageName());
        QTRY_VERIFY_WITH_TIMEOUT(!sounded.isEmpty() && sounded.last().isEmpty(), 10000);
        sounded.removeLast();
        QCOMPARE(sounded, heard);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        Render(*synth, 0.5);
        QVERIFY(Peak(Render(*synth, 0.1)) < 0.01);
    }

    void exampleStops_data()
    {
        QTest::addColumn<QString>("stopper");
        for (const char* stopper : {"another example", "page change", "book hidden"})
            QTest::newRow(stopper) << stopper;
    }

    void exampleStops()
    {
        QFETCH(QString, stopper);
        book->showPage(1, 3);
        QSignalSpy sounding(book.get(), &UI::ReferenceBook::exampleSounding);
        QVERIFY(Press(*book, QStringLiteral("Play Major")));
        QCOMPARE(sounding.count(), 1); // the first note sounds at once
        if (stopper == QLatin1String("another example")) {
            QVERIFY(Press(*book, QStringLiteral("Play Pentatonic Minor")));
            // The first scale is silenced and never heard again: only the second one follows.
            QTRY_VERIFY_WITH_TIMEOUT(
                sounding.last().first().value<QVector<int>>().isEmpty() && sounding.count() > 3, 10000);
            QCOMPARE(sounding.count(), 1 + 1 + 6 + 1);
            QCOMPARE(sounding.at(1).first().value<QVector<int>>(), QVector<int>());
            QCOMPARE(sounding.at(2).first().value<QVector<int>>(), QVector<int>{39});
        } else {
            stopper == QLatin1String("page change") ? void(book->showPage(1, 2)) : book->hide();
            QCOMPARE(sounding.count(), 2);
            QCOMPARE(sounding.last().first().value<QVector<int>>(), QVector<int>());
        }
        Render(*synth, 0.5);
        QVERIFY(Peak(Render(*synth, 0.1)) < 0.01);
    }

    // A tempo row plays the opening bars of one of its pieces, a few seconds long or until the page
    // changes, and ends silent; a marking without pieces has no play button.
    void tempoRowPlaysItsPiece_data()
    {
        QTest::addColumn<QString>("marking");
        QTest::addColumn<int>("row"); // -1: no play button
        QTest::addColumn<bool>("cutShort");
        QTest::newRow("Presto heard to its end") << "Presto" << 7 << false;
        QTest::newRow("Largo cut short") << "Largo" << 1 << true;
        QTest::newRow("Grave has no piece") << "Grave" << -1 << false;
    }

    void tempoRowPlaysItsPiece()
    {
        QFETCH(QString, marking);
        QFETCH(int, row);
        QFETCH(bool, cutShort);
        book->showPage(2, 2);
        Render(*synth, 0.5);
        QSignalSpy played(book.get(), &UI::ReferenceBook::examplePlayed);
        QCOMPARE(Press(*book, QStringLiteral("Play ") + marking), row >= 0);
        if (row < 0)
            return;
        QCOMPARE(played.count(), 1);
        QCOMPARE(played.first(), (QVariantList{QStringLiteral("Tempo"), row}));
        QElapsedTimer clock;
        clock.start();
        qint64 lastHeard = -1;      // ms after the click
        const auto quietFor = [&] { // ms since something was last heard; -1 before anything was
            if (Peak(Render(*synth, 0.1)) >= 0.01)
                lastHeard = clock.elapsed();
            return lastHeard < 0 ? -1 : clock.elapsed() - lastHeard;
        };
        QTRY_VERIFY_WITH_TIMEOUT(quietFor() >= 0, 3000);
        if (cutShort) {
            book->showPage(2, 0);
            Render(*synth, 0.5);
            QVERIFY(Peak(Render(*synth, 0.1)) < 0.01);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(quietFor() > 1500, 12000);
        QVERIFY2(lastHeard > 4000 && lastHeard < 9000, qPrintable(QString::number(lastHeard)));
    }

    // A book without sound builds each page once, when it is first shown, and plays nothing.
    void withoutSoundPagesBuiltOnceNothingPlays()
    {
        UI::ReferenceBook silent(nullptr, nullptr);
        silent.resize(900, 600);
        silent.show();
        QCOMPARE(silent.count(), 1); // the blank page alone
        silent.showPage(2, 2);
        QWidget* tempo = silent.currentWidget();
        silent.showPage(1, 4); // the same tempo page
        silent.showPage(2, 0);
        silent.showPage(2, 2);
        QCOMPARE(silent.currentWidget(), tempo);
        QCOMPARE(silent.count(), 3);
        silent.showPage(0, 1);
        QSignalSpy played(&silent, &UI::ReferenceBook::examplePlayed);
        QSignalSpy sounding(&silent, &UI::ReferenceBook::exampleSounding);
        QVERIFY(Press(silent, QStringLiteral("Play Octave")));
        QCOMPARE(played.count(), 1);
        QCOMPARE(played.first().at(1).toInt(), 12);
        QCOMPARE(sounding.count(), 0);
    }
};

QTEST_MAIN(TestReferenceBook)
#include "test_reference_book.moc"
