// The trainer settings pages over a real settings store, driven as the student does.

#include "../common/file_bytes.h"
#include "../common/screen_parts.h"
#include "../common/temp_settings.h"
#include "core/exercise/difficulty_presets.h"
#include "core/exercise/settings_check.h"
#include "core/settings_store.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "ui/settings/key_range_picker.h"
#include "ui/settings/section_settings_tab.h"
#include "ui/settings/trainer_settings_page.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

using Core::SettingsStore;
using Core::TrainerSettings;
using Tab = UI::SectionSettingsTab;

class TestTrainerSettingsPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempSettings> settingsDir;
    std::unique_ptr<SettingsStore> store;
    std::shared_ptr<Core::SoundController> sound;
    std::unique_ptr<UI::TrainerSettingsPage> page;
    bool quiz = false;

    void MakePage(int trainer)
    {
        page = std::make_unique<UI::TrainerSettingsPage>(
            trainer, store.get(), sound,
            [this](const Core::GeneralSettings& g) { store->setGeneralSettings(g); });
        page->resize(1366, 704);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }

    Tab* OpenSection(int section)
    {
        page->openTab(section);
        return page->sectionTab(section);
    }

    // What a program started afterwards would read.
    TrainerSettings FromFile() { return SettingsStore().currentSettings(); }

    // The check box of switch `index` of the section's record; null where the tab shows none.
    static QCheckBox* Switch(Tab* t, int index)
    {
        return t->findChild<QCheckBox*>("switch" + QString::number(index));
    }

    // Why the last change was not kept, as the tab says it; empty when it says nothing.
    static QString Refusal(Tab* tab) { return Part<QLabel>(tab, QStringLiteral("refusal"))->text(); }

    // What every check box, number and list of a page or tab shows, as the student reads it.
    static QStringList Shown(QWidget* tab)
    {
        QStringList shown;
        for (const QCheckBox* box : tab->findChildren<QCheckBox*>())
            shown << box->objectName() + (box->isChecked() ? " on" : " off");
        for (const QSpinBox* spin : tab->findChildren<QSpinBox*>())
            shown << spin->objectName() + ' ' + spin->text();
        for (const QComboBox* list : tab->findChildren<QComboBox*>())
            shown << list->objectName() + ' ' + list->currentText();
        shown.sort(); // the order of the children follows the order the tabs were first shown in
        return shown;
    }

    // Drives one section tab by steps split by ";": "click NAME", "spin NAME N" (typed, Enter),
    // "range MIN MAX" (picked), "combo NAME N" (entry N), "switch N" (click), "on N"/"off N" (click
    // unless so already), "only N LAST" (N the only switch on among 0..LAST).
    static void Do(Tab* tab, const QString& steps)
    {
        for (const QString& step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList w = step.simplified().split(QLatin1Char(' '));
            const QString verb = w[0];
            const int a = w.value(1).toInt(), b = w.value(2).toInt();
            if (verb == "click") {
                Click(Part<QCheckBox>(tab, w[1]));
            } else if (verb == "spin") {
                auto* spin = Part<QSpinBox>(tab, w[1]);
                spin->setFocus();
                spin->selectAll();
                QTest::keyClicks(spin, w[2]);
                QTest::keyClick(spin, Qt::Key_Enter);
            } else if (verb == "range") {
                auto* picker = tab->findChild<UI::KeyRangePicker*>();
                picker->setRange(a, b);
                Q_EMIT picker->rangePicked(a, b);
            } else if (verb == "combo") {
                auto* list = Part<QComboBox>(tab, w[1]);
                list->setFocus();
                QTest::keyClick(list, Qt::Key_F4); // opens the list; the keys go to it
                QTest::keyClick(list->view(), Qt::Key_Home);
                for (int i = 0; i < b; ++i)
                    QTest::keyClick(list->view(), Qt::Key_Down);
                QTest::keyClick(list->view(), Qt::Key_Return);
            } else if (verb == "only") {
                Do(tab, QStringLiteral("on %1").arg(a));
                for (int i = 0; i <= b; ++i)
                    if (i != a && Switch(tab, i))
                        Do(tab, QStringLiteral("off %1").arg(i));
            } else if (verb == "switch" || Switch(tab, a)->isChecked() == (verb == "off")) {
                Click(Switch(tab, a));
            }
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        UseProgramLook();
        sound = SilentSound();
    }

    void init()
    {
        settingsDir = std::make_unique<TempSettings>();
        QVERIFY(settingsDir->IsValid());
        quiz = false;
        store = std::make_unique<SettingsStore>([this] { return quiz; });
    }

    void cleanup()
    {
        page.reset();
        store.reset();
    }

    // Every control of every section changed from the fullest level, stored, read back by a fresh
    // store and page; then the defaults restored and stored.
    void everyFieldRoundTrips_data()
    {
        QTest::addColumn<int>("trainer");
        for (int trainer = 0; trainer < 3; ++trainer)
            QTest::addRow("trainer %d", trainer) << trainer;
    }
    void everyFieldRoundTrips()
    {
        QFETCH(int, trainer);
        store->setDifficultyLevel(trainer, 4);
        store->save();
        MakePage(trainer);
        const int sections = Core::TrainerSectionCount(trainer);
        for (int section = 0; section < sections; ++section) {
            Tab* tab = OpenSection(section);
            Do(tab,
               QString::asprintf("spin questionsSpin %d; spin timeoutSpin %d", 7 + section, 3 + section));
            if (tab->findChild<UI::KeyRangePicker*>())
                Do(tab, QString::asprintf("range %d %d; click blackKeys; click fClef", 20 + section,
                                          60 + section));
            if (Core::KindOfSection(trainer, section) == Core::SectionKind::Intervals)
                Do(tab, "combo intervalStart 2; combo intervalEnd 9; click intervalArpeggiated");
            // Toggle every other switch so that each group keeps members on either way.
            for (int i = section % 2; Switch(tab, i) || i < 2; i += 2)
                if (Switch(tab, i))
                    Click(Switch(tab, i));
            QCOMPARE(Refusal(tab), QString());
        }
        const TrainerSettings shown = store->currentSettings();
        QVERIFY(!Core::SameQuestionContent(shown, Core::DifficultyPreset(4), trainer));
        page->applySettings();
        QVERIFY(page->isModified());
        const QStringList controls = Shown(page.get());
        const TrainerSettings stored = FromFile();
        QCOMPARE(stored, shown);
        for (int section = 0; section < sections; ++section)
            QCOMPARE(Core::SectionQuestions(stored, trainer, section), 7 + section);
        if (trainer < 2) { // each box clicked above turned its own field off
            const Core::SingleNotesSettings& notes =
                trainer ? stored.earTrainer.singleNotes : stored.noteTrainer.singleNotes;
            QVERIFY(notes.clefs.gClef && !notes.clefs.fClef && notes.diapason.whiteKeys &&
                    !notes.diapason.blackKeys);
        }

        // A new page over a new store shows exactly what was stored.
        page.reset();
        store = std::make_unique<SettingsStore>([this] { return quiz; });
        MakePage(trainer);
        QCOMPARE(Shown(page.get()), controls);

        page->restoreDefaults();
        page->applySettings();
        TrainerSettings defaults = Core::DifficultyPreset(0); // chord symbols: the note trainer's page only
        defaults.earTrainer.chords[Core::ChordSwitch::ChordNotation] =
            shown.earTrainer.chords[Core::ChordSwitch::ChordNotation];
        QVERIFY(Core::SameQuestionContent(FromFile(), defaults, trainer));
    }

    // Changes that would leave a section, or the lesson, with nothing to ask: refused with a
    // message beside the control; the page and the file keep the values from before.
    void refusedChangeKeepsTheOldValues_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("section");
        QTest::addColumn<QString>("steps"); // accepted changes that lead up to it | the refused one
        const auto row = [](const char* name, int trainer, int section, const QString& steps) {
            QTest::newRow(name) << trainer << section << steps;
        };
        const int prestissimo = int(Core::TempoSwitch::Prestissimo), vivace = int(Core::TempoSwitch::Vivace);
        const QString onlyVivace =
            QStringLiteral("on %1; only %2 %3 | switch %2").arg(prestissimo).arg(vivace);
        const QString lastOff = QStringLiteral("only 0 %1 | switch 0"); // the last on of 0..%1 clicked off
        const int up = int(Core::ScaleSwitch::Ascending), down = int(Core::ScaleSwitch::Descending);
        row("black key alone while only white keys are asked", 0, 0, "click blackKeys | range 40 41");
        row("white keys off over white keys", 1, 0, "range 39 40; click blackKeys | click whiteKeys");
        row("smallest interval above the largest", 0, 1, "| combo intervalStart 12");
        row("no interval starts on the top key", 1, 1, "range 87 88 | combo intervalStart 1");
        row("no chord root in the range", 0, 2, "| range 86 88");
        row("last chord type off", 1, 2, lastOff.arg(Core::ChordTypeCount - 1));
        row("no scale root in the range", 1, 3, "| range 80 88");
        row("last scale direction off", 1, 3, QStringLiteral("off %1 | switch %2").arg(up).arg(down));
        row("only prestissimo left, ear trainer", 1, 4, onlyVivace.arg(prestissimo - 1));
        row("only prestissimo left, symbols", 2, 2, onlyVivace.arg(prestissimo - 1));
        row("last note length off, rests on", 2, 0, lastOff.arg(int(Core::LengthSwitch::Rests) - 1));
        for (int section : {1, 3, 4})
            QTest::addRow("last symbol off, section %d", section) << 2 << section << lastOff.arg(40);
        row("last clef off", 0, 0, "click gClef | click fClef");
    }
    void refusedChangeKeepsTheOldValues()
    {
        QFETCH(int, trainer);
        QFETCH(int, section);
        QFETCH(QString, steps);
        MakePage(trainer);
        Tab* tab = OpenSection(section);
        Do(tab, steps.section(QLatin1Char('|'), 0, 0));
        QCOMPARE(Refusal(tab), QString());
        const TrainerSettings before = store->currentSettings();
        const QStringList shown = Shown(tab);
        Do(tab, steps.section(QLatin1Char('|'), 1));
        QVERIFY2(Part<QLabel>(tab, "refusal")->isVisible() && !Refusal(tab).isEmpty(), "no message");
        QCOMPARE(Shown(tab), shown);
        page->applySettings();
        QCOMPARE(FromFile(), before);
    }

    // A hand-edited empty section is flagged without blocking other tabs; then a level shows on
    // the tabs, the dialog and the mistake policy, and a change matching no level shows "Custom".
    void storedEmptySectionThenLevels()
    {
        const Core::NoteTrainerSettings level3 = Core::DifficultyPreset(2).noteTrainer;
        TrainerSettings broken = store->currentSettings();
        broken.noteTrainer.singleNotes.diapason = {200, 210, true, false};
        broken.noteTrainer.wrongAnswerPolicy = {!level3.wrongAnswerPolicy.continueAfterMistake, 3000};
        store->setTrainerSettings(broken);
        MakePage(0);
        QVERIFY(!Refusal(page->sectionTab(0)).isEmpty());
        QSignalSpy valid(page.get(), &UI::SettingsPageBase::validChanged);
        Do(OpenSection(2), "spin questionsSpin 5");
        QCOMPARE(Refusal(page->sectionTab(2)), QString());
        QCOMPARE(FromFile().noteTrainer.chords.duration.questions, 5);
        Do(OpenSection(0), "range 39 52");
        QCOMPARE(Refusal(page->sectionTab(0)), QString());
        QCOMPARE(valid, QList<QVariantList>{{true}});

        page->openTab(-1);
        Click(Part<QPushButton>(page.get(), "Level3"));
        Tab* chords = OpenSection(2);
        for (int i = 0; i < int(level3.chords.switches.size()); ++i)
            QCOMPARE(Switch(chords, i)->isChecked(), level3.chords.switches[size_t(i)]);
        QCOMPARE(FromFile().noteTrainer.chords, level3.chords);
        QCOMPARE(Part<QAbstractButton>(page.get(), "continueAfterMistake")->isChecked(),
                 level3.wrongAnswerPolicy.continueAfterMistake);
        UI::DifficultyLevelDialog dialog(store.get());
        dialog.resize(1366, 768);
        dialog.showForLearn(0);
        QCOMPARE(dialog.focusWidget()->objectName(), QStringLiteral("Level3"));
        dialog.hide();

        Click(Switch(chords, 0));
        page->openTab(-1);
        QVERIFY(Part<QLabel>(page.get(), "customLevel")->isVisible());
        for (int n = 1; n <= 5; ++n)
            QVERIFY(!Part<QPushButton>(page.get(), QStringLiteral("Level%1").arg(n))->isChecked());

        // The other way round: a level chosen in the dialog is the one the tab checks, and stays
        // checked when clicked again.
        dialog.showForLearn(0);
        Click(Part<QPushButton>(&dialog, "Level2"));
        page->hide();
        page->show();
        QVERIFY(Part<QPushButton>(page.get(), "Level2")->isChecked());
        QVERIFY(!Part<QLabel>(page.get(), "customLevel")->isVisible());
        Click(Part<QPushButton>(page.get(), "Level2"));
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(Part<QPushButton>(page.get(), QStringLiteral("Level%1").arg(n))->isChecked(), n == 2);
    }

    // Typed without Enter still counts; a wheel over an unfocused number leaves it; the last
    // section cannot be switched off; a quiz covers the page.
    void questionCountsAndTheQuizCover()
    {
        MakePage(1);
        auto* questions = Part<QSpinBox>(OpenSection(3), "questionsSpin");
        const int stored = questions->value();
        QWheelEvent wheel(QPointF(5, 5), questions->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QVERIFY(!questions->hasFocus());
        QCoreApplication::sendEvent(questions, &wheel);
        QCOMPARE(questions->value(), stored);

        questions->setFocus();
        questions->selectAll();
        QTest::keyClicks(questions, QStringLiteral("4"));
        page->applySettings();
        QVERIFY(page->isModified());
        QCOMPARE(FromFile().earTrainer.scales.duration.questions, 4);

        for (int section = 0; section < 5; ++section)
            Do(OpenSection(section), "spin questionsSpin 0");
        QVERIFY(!Refusal(page->sectionTab(4)).isEmpty());
        const int kept = store->currentSettings().earTrainer.tempo.duration.questions;
        QVERIFY(kept > 0);
        QCOMPARE(Part<QSpinBox>(page->sectionTab(4), "questionsSpin")->value(), kept);

        // A quiz begins: its notice lies over every tab and nothing under it takes input.
        quiz = true;
        page->setQuizMode(true);
        auto* notice = Part<QLabel>(page.get(), "quizNotice");
        auto* tabs = page->findChild<QTabWidget*>();
        QCOMPARE(page->childAt(tabs->geometry().center()), static_cast<QWidget*>(notice));
        QVERIFY(!tabs->isEnabled());
        const QByteArray fileBefore = ReadAll(store->fileName());
        page->applySettings();
        QVERIFY(!page->isModified());
        QCOMPARE(ReadAll(store->fileName()), fileBefore);
    }
};

QTEST_MAIN(TestTrainerSettingsPage)
#include "test_trainer_settings_page.moc"
