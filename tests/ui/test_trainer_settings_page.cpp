// The trainer settings pages on a real settings store in a temporary directory: every control of
// every section tab stored through the page and read back from the file by a fresh store and a
// fresh page, each refusal of a change that would leave a lesson with nothing to ask (the old
// value kept on the page and on disk), the quiz cover, and the difficulty level shown alike by
// the general tab and the difficulty dialog. CANTORELA_PICTURE_DIR, when set, receives a picture
// of every tab.

#include "core/exercise/difficulty_presets.h"
#include "core/exercise/settings_check.h"
#include "core/midi/sound_controller.h"
#include "ui/controls/key_range_picker.h"
#include "ui/difficulty_level_dialog.h"
#include "ui/general_settings_tab.h"
#include "ui/interface_fonts.h"
#include "ui/section_settings_tab.h"
#include "ui/settings_store.h"
#include "ui/trainer_settings_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <functional>
#include <memory>

using Core::SettingsStore;
using Core::TrainerSettings;

namespace {

// A change the student makes on one section tab.
using Change = std::function<void(UI::SectionSettingsTab*)>;

void Click(QAbstractButton* button)
{
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

template <typename T> T* Part(QWidget* in, const char* name)
{
    T* part = in->findChild<T*>(QLatin1String(name));
    if (!part)
        qFatal("no %s", name);
    return part;
}

void SetSpin(UI::SectionSettingsTab* tab, const char* name, int value)
{
    auto* spin = Part<QSpinBox>(tab, name);
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(value));
    QTest::keyClick(spin, Qt::Key_Enter);
}

void PickRange(UI::SectionSettingsTab* tab, int minimum, int maximum)
{
    UI::KeyRangePicker* picker = tab->RangePicker();
    picker->SetRange(minimum, maximum);
    emit picker->rangePicked(minimum, maximum);
}

void ChooseInterval(UI::SectionSettingsTab* tab, const char* combo, int size)
{
    auto* box = Part<QComboBox>(tab, combo);
    box->setCurrentIndex(size);
    emit box->activated(size);
}

// Switches every box of the section's record off but `keep`, as a user would, one click each.
void OnlySwitch(UI::SectionSettingsTab* tab, int keep, int first, int last)
{
    if (!tab->SwitchBox(keep)->isChecked())
        Click(tab->SwitchBox(keep));
    for (int i = first; i <= last; ++i)
        if (i != keep && tab->SwitchBox(i) && tab->SwitchBox(i)->isChecked())
            Click(tab->SwitchBox(i));
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestTrainerSettingsPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> store;
    std::shared_ptr<Core::SoundController> sound;
    std::unique_ptr<UI::TrainerSettingsPage> page;
    bool quiz = false;

    void MakePage(int trainer, const QSize& size = QSize(1366, 704))
    {
        page = std::make_unique<UI::TrainerSettingsPage>(
            trainer, store.get(), sound,
            [this](const Core::GeneralSettings& g) { store->SetGeneralSettings(g); });
        page->resize(size);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    }

    UI::SectionSettingsTab* OpenSection(int section)
    {
        page->OpenTab(section);
        return page->SectionTab(section);
    }

    // What a program started afterwards would read.
    TrainerSettings FromFile()
    {
        QSettings().sync();
        return SettingsStore().CurrentSettings();
    }

    QByteArray FileBytes()
    {
        QSettings file;
        file.sync();
        QFile f(file.fileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void SavePicture(const QString& name)
    {
        const QString folder = qEnvironmentVariable("CANTORELA_PICTURE_DIR");
        if (!folder.isEmpty())
            page->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        UI::InterfaceFonts::Register();
        qApp->setStyleSheet(QStringLiteral("file:///:css/global.css"));
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
        QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
        Core::SoundController::Options options;
        options.builtInSynthesizer = false;
        options.watchDevices = false;
        sound = std::make_shared<Core::SoundController>(options);
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir->path());
        quiz = false;
        store = std::make_unique<SettingsStore>([this] { return quiz; });
    }

    void cleanup()
    {
        page.reset();
        store.reset();
    }

    // Every control of every section tab: changed on the page, stored on leaving it, read back
    // by a fresh store from the file and shown by a fresh page. Starting from the fullest level,
    // each switch is turned off once (so none is the last of its group); the other fields are
    // moved away from the preset.
    void everyFieldRoundTrips_data()
    {
        QTest::addColumn<int>("trainer");
        for (int trainer = 0; trainer < 3; ++trainer)
            QTest::addRow("trainer %d", trainer) << trainer;
    }

    void everyFieldRoundTrips()
    {
        QFETCH(int, trainer);
        store->SetDifficultyLevel(trainer, 4);
        store->Save();
        MakePage(trainer);
        for (int section = 0; section < Core::TrainerSectionCount(trainer); ++section) {
            UI::SectionSettingsTab* tab = OpenSection(section);
            SetSpin(tab, "questionsSpin", 7 + section);
            SetSpin(tab, "timeoutSpin", 3 + section);
            if (tab->RangePicker()) {
                PickRange(tab, 20 + section, 60 + section);
                Click(Part<QCheckBox>(tab, "blackKeys"));
                Click(Part<QCheckBox>(tab, "fClef"));
            }
            if (tab->Kind() == Core::SectionKind::Intervals) {
                ChooseInterval(tab, "intervalStart", 2);
                ChooseInterval(tab, "intervalEnd", 9);
                Click(Part<QCheckBox>(tab, "intervalArpeggiated"));
            }
            // Toggle every other switch so that each group keeps members on either way.
            for (int i = section % 2; tab->SwitchBox(i) || i < 2; i += 2)
                if (tab->SwitchBox(i))
                    Click(tab->SwitchBox(i));
            QCOMPARE(tab->Refusal(), QString());
        }
        TrainerSettings shown = store->CurrentSettings();
        QVERIFY(!Core::SameQuestionContent(shown, Core::DifficultyPreset(4), trainer));
        QVERIFY(page->Gui2Data());
        QCOMPARE(FromFile(), shown);

        // A new page over a new store shows exactly what was stored.
        page.reset();
        store = std::make_unique<SettingsStore>([this] { return quiz; });
        MakePage(trainer);
        TrainerSettings read = Core::DifficultyPreset(0);
        for (int section = 0; section < Core::TrainerSectionCount(trainer); ++section)
            page->SectionTab(section)->Gui2Data(read);
        read.noteTrainer.wrongAnswerPolicy = shown.noteTrainer.wrongAnswerPolicy;
        if (trainer == 1) // chord symbols belong to the note trainer's page only
            read.earTrainer.chords[Core::ChordSwitch::ChordNotation] =
                shown.earTrainer.chords[Core::ChordSwitch::ChordNotation];
        const bool same = trainer == 0   ? read.noteTrainer == shown.noteTrainer
                          : trainer == 1 ? read.earTrainer == shown.earTrainer
                                         : read.symbolTrainer == shown.symbolTrainer;
        QVERIFY(same);
    }

    // Changes that would leave a section, or the lesson, with nothing to ask: refused with a
    // message beside the control; the page and the file keep the values from before.
    void refusals_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("section");
        QTest::addColumn<Change>("prepare"); // accepted changes that lead up to the refusal
        QTest::addColumn<Change>("refused");

        const Change nothing = [](UI::SectionSettingsTab*) {};
        QTest::newRow("black key alone while only white keys are asked")
            << 0 << 0 << Change([](UI::SectionSettingsTab* t) { Click(Part<QCheckBox>(t, "blackKeys")); })
            << Change([](UI::SectionSettingsTab* t) { PickRange(t, 40, 41); });
        QTest::newRow("white keys off over a range of white keys")
            << 1 << 0 << Change([](UI::SectionSettingsTab* t) {
                   PickRange(t, 39, 40);
                   Click(Part<QCheckBox>(t, "blackKeys"));
               })
            << Change([](UI::SectionSettingsTab* t) { Click(Part<QCheckBox>(t, "whiteKeys")); });
        QTest::newRow("smallest interval above the largest")
            << 0 << 1 << nothing
            << Change([](UI::SectionSettingsTab* t) { ChooseInterval(t, "intervalStart", 12); });
        QTest::newRow("no interval starts on the top key")
            << 1 << 1 << Change([](UI::SectionSettingsTab* t) { PickRange(t, 87, 88); })
            << Change([](UI::SectionSettingsTab* t) { ChooseInterval(t, "intervalStart", 1); });
        QTest::newRow("no chord root in the range")
            << 0 << 2 << nothing << Change([](UI::SectionSettingsTab* t) { PickRange(t, 86, 88); });
        QTest::newRow("last chord type off") << 1 << 2 << Change([](UI::SectionSettingsTab* t) {
            OnlySwitch(t, 0, 0, Core::ChordTypeCount - 1);
        }) << Change([](UI::SectionSettingsTab* t) { Click(t->SwitchBox(0)); });
        QTest::newRow("no scale root in the range")
            << 1 << 3 << nothing << Change([](UI::SectionSettingsTab* t) { PickRange(t, 80, 88); });
        QTest::newRow("last scale direction off") << 1 << 3 << Change([](UI::SectionSettingsTab* t) {
            if (t->SwitchBox(int(Core::ScaleSwitch::Ascending))->isChecked())
                Click(t->SwitchBox(int(Core::ScaleSwitch::Ascending)));
        }) << Change([](UI::SectionSettingsTab* t) {
            Click(t->SwitchBox(int(Core::ScaleSwitch::Descending)));
        });
        const int prestissimo = int(Core::TempoSwitch::Prestissimo), vivace = int(Core::TempoSwitch::Vivace);
        for (int trainer : {1, 2})
            QTest::addRow("only prestissimo left, trainer %d", trainer)
                << trainer << (trainer == 1 ? 4 : 2) << Change([=](UI::SectionSettingsTab* t) {
                       if (!t->SwitchBox(prestissimo)->isChecked())
                           Click(t->SwitchBox(prestissimo));
                       OnlySwitch(t, vivace, 0, prestissimo - 1);
                   })
                << Change([=](UI::SectionSettingsTab* t) { Click(t->SwitchBox(vivace)); });
        const int rests = int(Core::LengthSwitch::Rests);
        QTest::newRow("last note length off, rests on")
            << 2 << 0 << Change([=](UI::SectionSettingsTab* t) { OnlySwitch(t, 0, 0, rests - 1); })
            << Change([](UI::SectionSettingsTab* t) { Click(t->SwitchBox(0)); });
        for (int section : {1, 3, 4})
            QTest::addRow("last symbol off, section %d", section)
                << 2 << section << Change([](UI::SectionSettingsTab* t) { OnlySwitch(t, 0, 0, 40); })
                << Change([](UI::SectionSettingsTab* t) { Click(t->SwitchBox(0)); });
        QTest::newRow("last clef off")
            << 0 << 0 << Change([](UI::SectionSettingsTab* t) { Click(Part<QCheckBox>(t, "gClef")); })
            << Change([](UI::SectionSettingsTab* t) { Click(Part<QCheckBox>(t, "fClef")); });
    }

    void refusals()
    {
        QFETCH(int, trainer);
        QFETCH(int, section);
        QFETCH(Change, prepare);
        QFETCH(Change, refused);
        MakePage(trainer);
        UI::SectionSettingsTab* tab = OpenSection(section);
        prepare(tab);
        QCOMPARE(tab->Refusal(), QString());
        const TrainerSettings before = store->CurrentSettings();
        refused(tab);
        QVERIFY2(!tab->Refusal().isEmpty(), "no message");
        QVERIFY(tab->findChild<QLabel*>(QStringLiteral("refusal"))->isVisible());
        QCOMPARE(store->CurrentSettings(), before);
        TrainerSettings shown = before;
        tab->Gui2Data(shown);
        QCOMPARE(shown, before);
        page->Gui2Data();
        QCOMPARE(FromFile(), before);
    }

    // Every section switched off but one; the last one cannot follow.
    void lessonKeepsOneSection()
    {
        MakePage(1);
        for (int section = 0; section < 4; ++section)
            SetSpin(OpenSection(section), "questionsSpin", 0);
        UI::SectionSettingsTab* last = OpenSection(4);
        SetSpin(last, "questionsSpin", 0);
        QVERIFY(!last->Refusal().isEmpty());
        QCOMPARE(Part<QSpinBox>(last, "questionsSpin")->value(),
                 store->CurrentSettings().earTrainer.tempo.duration.questions);
        QVERIFY(store->CurrentSettings().earTrainer.tempo.duration.questions > 0);
    }

    // The two lessons of a teacher's example, set up with clicks alone.
    void teachersLessons()
    {
        MakePage(0);
        UI::SectionSettingsTab* notes = OpenSection(0);
        Click(Part<QCheckBox>(notes, "fClef"));
        Click(Part<QCheckBox>(notes, "blackKeys"));
        PickRange(notes, 39, 40 + 7 + 12 - 1 + 1); // C4 up to G5 included
        UI::SectionSettingsTab* chords = OpenSection(2);
        OnlySwitch(chords, 0, 0, Core::ChordTypeCount - 1);
        Click(chords->SwitchBox(int(Core::ChordSwitch::MinorTriad)));
        for (auto inversion : {Core::ChordSwitch::FirstInversion, Core::ChordSwitch::SecondInversion})
            if (chords->SwitchBox(int(inversion))->isChecked())
                Click(chords->SwitchBox(int(inversion)));
        SetSpin(chords, "questionsSpin", 10);
        SetSpin(chords, "timeoutSpin", 5);
        page->Gui2Data();

        const Core::NoteTrainerSettings s = FromFile().noteTrainer;
        QCOMPARE(
            UI::KeyRangePicker::RangeText(s.singleNotes.diapason.minimum, s.singleNotes.diapason.maximum),
            QStringLiteral("C4 \u2013 G5"));
        QVERIFY(s.singleNotes.diapason.whiteKeys && !s.singleNotes.diapason.blackKeys);
        QVERIFY(s.singleNotes.clefs.gClef && !s.singleNotes.clefs.fClef);
        for (int type = 0; type < Core::ChordTypeCount; ++type)
            QCOMPARE(s.chords.switches[size_t(type)], type < 2);
        QVERIFY(!s.chords[Core::ChordSwitch::FirstInversion] &&
                !s.chords[Core::ChordSwitch::SecondInversion]);
        QCOMPARE(s.chords.duration.questions, 10);
        QCOMPARE(s.chords.duration.seconds, 5);
    }

    // A level chosen on the general tab shows on the section tabs and in the difficulty dialog;
    // a change on a section tab that matches no level shows "Custom" on both.
    void levelIsTheSameEverywhere()
    {
        MakePage(1);
        page->OpenTab(-1);
        Click(Part<QPushButton>(page.get(), "Level3"));
        UI::SectionSettingsTab* chords = OpenSection(2);
        TrainerSettings shown = Core::DifficultyPreset(0);
        chords->Gui2Data(shown);
        QCOMPARE(shown.earTrainer.chords, Core::DifficultyPreset(2).earTrainer.chords);
        QCOMPARE(FromFile().earTrainer.chords, Core::DifficultyPreset(2).earTrainer.chords);
        UI::DifficultyLevelDialog dialog(store.get());
        dialog.resize(1366, 768);
        dialog.ShowForLearn(1);
        QCOMPARE(dialog.focusWidget()->objectName(), QStringLiteral("Level3"));
        dialog.hide();

        Click(chords->SwitchBox(0));
        page->OpenTab(-1);
        QVERIFY(Part<QLabel>(page.get(), "customLevel")->isVisible());
        for (int n = 1; n <= 5; ++n)
            QVERIFY(!Part<QPushButton>(page.get(), QByteArray("Level" + QByteArray::number(n)).constData())
                         ->isChecked());
        dialog.ShowForLearn(1);
        QVERIFY(Part<QWidget>(&dialog, "CustomRow")->isVisible());

        // The other way round: a level chosen in the dialog is the one the tab checks.
        Click(Part<QPushButton>(&dialog, "Level2"));
        page->hide();
        page->show();
        QVERIFY(Part<QPushButton>(page.get(), "Level2")->isChecked());
        QVERIFY(!Part<QLabel>(page.get(), "customLevel")->isVisible());
    }

    // A section that a hand-edited file left with nothing to ask is pointed out on its tab, and
    // does not stop changes on the others.
    void storedEmptySectionIsShownAndDoesNotBlockTheOthers()
    {
        TrainerSettings broken = store->CurrentSettings();
        broken.noteTrainer.singleNotes.diapason = {200, 210, true, false};
        store->SetTrainerSettings(broken);
        MakePage(0);
        QVERIFY(!page->SectionTab(0)->Refusal().isEmpty());
        QCOMPARE(page->SectionTab(2)->Refusal(), QString());
        SetSpin(OpenSection(2), "questionsSpin", 5);
        QCOMPARE(page->SectionTab(2)->Refusal(), QString());
        QCOMPARE(FromFile().noteTrainer.chords.duration.questions, 5);
    }

    // What the student typed counts although they left without Enter; a wheel turned over a
    // number they have not chosen scrolls the tab instead of changing it.
    void typedNumbersCountAndTheWheelDoesNot()
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
        QVERIFY(page->Gui2Data());
        QCOMPARE(FromFile().earTrainer.scales.duration.questions, 4);
    }

    // The note trainer's levels bring their policy after a mistake; the general tab shows it.
    void levelShowsItsPolicy()
    {
        MakePage(0);
        page->OpenTab(-1);
        Click(Part<QPushButton>(page.get(), "Level3"));
        const bool goOn = store->CurrentSettings().noteTrainer.wrongAnswerPolicy.continueAfterMistake;
        QCOMPARE(Part<QAbstractButton>(page.get(), "continueAfterMistake")->isChecked(), goOn);
        QCOMPARE(Part<QAbstractButton>(page.get(), "pauseAfterMistake")->isChecked(), !goOn);
    }

    // During a quiz the notice lies over every tab and nothing under it takes input.
    void quizNoticeCoversThePage()
    {
        quiz = true;
        MakePage(2);
        page->SetQuizMode(true);
        auto* notice = Part<QLabel>(page.get(), "quizNotice");
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(), QStringLiteral("Settings cannot be changed in a quiz mode."));
        QVERIFY(notice->geometry().contains(page->Tabs()->geometry()));
        QCOMPARE(page->childAt(page->Tabs()->geometry().center()), static_cast<QWidget*>(notice));
        QVERIFY(!page->Tabs()->isEnabled());
        const QByteArray fileBefore = FileBytes();
        QVERIFY(!page->Gui2Data());
        QCOMPARE(FileBytes(), fileBefore);
    }

    void pictures()
    {
        if (qEnvironmentVariableIsEmpty("CANTORELA_PICTURE_DIR"))
            QSKIP("no picture folder");
        for (int trainer = 0; trainer < 3; ++trainer) {
            MakePage(trainer);
            for (int section = -1; section < Core::TrainerSectionCount(trainer); ++section) {
                page->OpenTab(section);
                SavePicture(QStringLiteral("settings-%1-%2").arg(trainer).arg(section + 1));
            }
        }
        MakePage(0);
        PickRange(OpenSection(1), 34, 51);
        ChooseInterval(OpenSection(1), "intervalStart", 12);
        SavePicture(QStringLiteral("settings-refused"));
    }
};

QTEST_MAIN(TestTrainerSettingsPage)
#include "test_trainer_settings_page.moc"
