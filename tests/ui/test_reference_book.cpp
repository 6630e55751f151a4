// The reference pages as the exercise screen drives them: the page and title behind every
// trainer's section button, spelled notes and engraved examples read as a screen reader reads
// them, examples heard through the built-in synthesizer rendered offline, an example stopped by
// the next one, by a page change and by hiding, and the whole page drawn for printing.

#include "../core/midi/audio_probe.h"
#include "core/midi/sound_controller.h"
#include "core/midi/synthesizer.h"
#include "notation/music_font.h"
#include "ui/exercise/reference/reference_book.h"
#include "ui/interface_fonts.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QRegularExpression>
#include <QScrollArea>
#include <QtTest>

#include <cmath>

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

// Power of one frequency in the left channel over [from, from + length), Hann-windowed.
double Power(const Audio& audio, int from, int length, double hz)
{
    const double w = 2.0 * M_PI * hz / Rate;
    double re = 0, im = 0;
    for (int i = 0; i < length; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / (length - 1));
        re += window * audio.left[size_t(from + i)] * std::cos(w * i);
        im += window * audio.left[size_t(from + i)] * std::sin(w * i);
    }
    return re * re + im * im;
}

// Ink: a pixel that is not white paper.
int InkInRows(const QImage& image, int top, int bottom)
{
    int ink = 0;
    for (int y = top; y < bottom; y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            ink += qGray(image.pixel(x, y)) < 160;
    }
    return ink;
}

} // namespace

class TestReferenceBook : public QObject
{
    Q_OBJECT

    std::shared_ptr<Core::Synthesizer> synth;
    std::shared_ptr<Core::SoundController> sound;
    std::unique_ptr<UI::ReferenceBook> book;

    // Clicks the play button of that name on the page shown, as a user does; false when there is none.
    static bool Press(UI::ReferenceBook& pages, const QString& name)
    {
        auto* page = qobject_cast<QScrollArea*>(pages.currentWidget());
        for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
            if (button->accessibleName() == name) {
                page->ensureWidgetVisible(button);
                QTest::mouseClick(button, Qt::LeftButton);
                return true;
            }
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
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
        book = std::make_unique<UI::ReferenceBook>(sound);
        book->resize(900, 600);
        book->show();
        QVERIFY(QTest::qWaitForWindowExposed(book.get()));
    }

    void cleanup() { book.reset(); }

    // Every trainer's section buttons, and the buttons with no page, which show a blank page.
    void pageOfEveryButton_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("name");
        const QStringList pages[] = {{"SingleNotes", "Intervals", "Chords", "", ""},
                                     {"SingleNotes", "Intervals", "Chords", "Scales", "Tempo"},
                                     {"NoteLengths", "KeySignatures", "Tempo", "Loudness", "NoteModifiers"}};
        for (int trainer = 0; trainer < 3; ++trainer)
            for (int button = 1; button <= 5; ++button)
                QTest::addRow("trainer %d button %d", trainer, button)
                    << trainer << button << pages[trainer][button - 1];
        QTest::newRow("no such trainer") << 3 << 1 << "";
        QTest::newRow("before the first button") << 2 << 0 << "";
        QTest::newRow("after the last button") << 2 << 6 << "";
    }

    // Buttons are counted from 1 here, as the screen shows them; the book takes their index.
    void pageOfEveryButton()
    {
        QFETCH(int, trainer);
        QFETCH(int, button);
        QFETCH(QString, name);
        // "KeySignatures": "Key Signatures Reference".
        const QString title =
            name.isEmpty()
                ? QString()
                : QString(name).replace(QRegularExpression("(?<=[a-z])(?=[A-Z])"), " ") + " Reference";
        book->showPage(1, 3); // whatever was shown before goes
        QCOMPARE(book->showPage(trainer, button - 1), title);
        QCOMPARE(book->currentPageName(), name);
        QCOMPARE(book->pageImage(800).isNull(), name.isEmpty());
        if (!name.isEmpty())
            QCOMPARE(book->currentWidget()->accessibleName(), title);
    }

    void eachPageBuiltOnceOnFirstShow()
    {
        QCOMPARE(book->count(), 1); // the blank page alone: nothing is built before it is shown
        book->showPage(2, 2);
        QWidget* tempo = book->currentWidget();
        book->showPage(1, 4);
        QCOMPARE(book->currentWidget(), tempo);
        book->showPage(2, 0);
        book->showPage(2, 2);
        QCOMPARE(book->currentWidget(), tempo);
        QCOMPARE(book->count(), 3);
    }

    // Texts "|" between them, compared without regard to case: the notes as the chord formulas,
    // the scale steps and the key signatures spell them, and the engraved 128th note and rest.
    void pageHoldsItsTexts_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("texts");
        QTest::newRow("double flat")
            << 1 << 3
            << "C \u2013 E\u266D \u2013 G\u266D \u2013 B\u266D\u266D|1 \u266D3 \u266D5 \u266D\u266D7";
        QTest::newRow("harmonic minor") << 1 << 4 << "C D E\u266D F G A\u266D B C|W H W W H W+H H";
        QTest::newRow("E sharp")
            << 2 << 2
            << "6 sharps: F\u266F C\u266F G\u266F D\u266F A\u266F E\u266F|3 flats: B\u266D E\u266D A\u266D";
        QTest::newRow("engraved lengths") << 2 << 1 << "128th note|128th rest";
    }

    void pageHoldsItsTexts()
    {
        QFETCH(int, trainer);
        QFETCH(int, button);
        QFETCH(QString, texts);
        book->showPage(trainer, button - 1);
        QStringList lines;
        ReadAloud(QAccessible::queryAccessibleInterface(book->currentWidget()), lines);
        for (QString& line : lines)
            line = line.trimmed().toCaseFolded();
        for (const QString& text : texts.split(QLatin1Char('|')))
            QVERIFY2(lines.contains(text.toCaseFolded()), qPrintable(text));
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
            for (int key : keys) {
                const double hz = NoteFrequency(key + 21);
                const double here = Power(audio, from, length, hz);
                const double beside = std::max(Power(audio, from, length, hz * std::pow(2.0, 1.0 / 12)),
                                               Power(audio, from, length, hz / std::pow(2.0, 1.0 / 12)));
                if (keys.size() == 1) {
                    const double fundamental = Fundamental(audio.left, from, length / 2);
                    if (std::fabs(12.0 * std::log2(fundamental / hz)) > 0.33)
                        faults << QStringLiteral("key %1: heard %2 Hz").arg(key).arg(fundamental);
                } else if (here < 4 * beside) {
                    faults << QStringLiteral("key %1 not heard in the chord").arg(key);
                }
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
        // Ended means silent.
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
            if (stopper == QLatin1String("page change"))
                book->showPage(1, 2);
            else
                book->hide();
            QCOMPARE(sounding.count(), 2);
            QCOMPARE(sounding.last().first().value<QVector<int>>(), QVector<int>());
        }
        Render(*synth, 0.5);
        QVERIFY(Peak(Render(*synth, 0.1)) < 0.01);
    }

    void withoutSoundNothingPlays()
    {
        UI::ReferenceBook silent(nullptr);
        silent.resize(900, 600);
        silent.show();
        silent.showPage(0, 1);
        QSignalSpy played(&silent, &UI::ReferenceBook::examplePlayed);
        QSignalSpy sounding(&silent, &UI::ReferenceBook::exampleSounding);
        QVERIFY(Press(silent, QStringLiteral("Play Octave")));
        QCOMPARE(played.count(), 1);
        QCOMPARE(played.first().at(1).toInt(), 12);
        QCOMPARE(sounding.count(), 0);
    }

    void pageImageIsTheWholePage_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("button");
        QTest::newRow("note modifiers") << 2 << 5;
        QTest::newRow("intervals, with play buttons") << 1 << 2;
    }

    void pageImageIsTheWholePage()
    {
        QFETCH(int, trainer);
        QFETCH(int, button);
        book->showPage(trainer, button - 1);
        QAbstractButton* focused = book->currentWidget()->findChild<QAbstractButton*>();
        if (focused) {
            book->activateWindow();
            focused->setFocus();
            QTRY_VERIFY(focused->hasFocus());
        }
        const QImage screen = book->grab().toImage();
        const QImage single = book->pageImage(800, 1.0);
        const QImage twice = book->pageImage(800, 2.0);
        QCOMPARE(single.width(), 800);
        QVERIFY2(single.height() > 2 * book->height(), "the page is drawn at its full height");
        QCOMPARE(twice.size(), single.size() * 2);
        QCOMPARE(twice.devicePixelRatio(), 2.0);
        for (int quarter = 0; quarter < 4; ++quarter) {
            const int top = single.height() * quarter / 4;
            QVERIFY2(InkInRows(single, top, top + single.height() / 4) > 200, "ink all the way down");
        }
        // The screen is left as it was.
        QCOMPARE(book->grab().toImage(), screen);
        if (focused)
            QVERIFY(focused->hasFocus());
    }
};

QTEST_MAIN(TestReferenceBook)
#include "test_reference_book.moc"
