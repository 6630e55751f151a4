// The general settings tab on a real settings store in a temporary directory, and its device box.

#include "../common/screen_parts.h"
#include "../common/temp_settings.h"
#include "core/settings_store.h"
#include "ui/settings/device_box_view.h"
#include "ui/settings/general_settings_tab.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTextDocument>
#include <QToolButton>

using Core::GeneralSettings;
using Core::WrongAnswerPolicy;
Q_DECLARE_METATYPE(Core::WrongAnswerPolicy)

class TestGeneralSettingsTab : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempSettings> settingsDir;
    std::unique_ptr<Core::SettingsStore> store;
    std::shared_ptr<Core::SoundController> sound;
    std::unique_ptr<UI::GeneralSettingsTab> tab;
    bool quiz = false;
    int stored = 0; // general settings records handed to the application

    template <typename T> T* Part(const QString& name) const { return ::Part<T>(tab.get(), name); }

    // The tab as the page shows it, loaded from the store.
    void MakeTab(const QSize& size = QSize(1280, 664))
    {
        tab = std::make_unique<UI::GeneralSettingsTab>(
            0, store.get(), sound, [this] { return quiz; },
            [this](const GeneralSettings& general) {
                ++stored;
                store->setGeneralSettings(general);
            });
        tab->resize(size);
        tab->show();
        QVERIFY(QTest::qWaitForWindowExposed(tab.get()));
        tab->loadSettings();
    }

    GeneralSettings Stored()
    {
        tab->applySettings();
        return store->generalSettings();
    }

    // Every visible part of the tab inside it and tall enough, a long port name shown.
    void EveryPartFits()
    {
        for (QWidget* part : tab->findChildren<QWidget*>()) {
            if (!part->isVisible())
                continue;
            QVERIFY2(tab->rect().contains(QRect(part->mapTo(tab.get(), QPoint(0, 0)), part->size())),
                     qPrintable(part->objectName()));
            QVERIFY2(part->height() >= part->minimumSizeHint().height(), qPrintable(part->objectName()));
        }
    }
    const QString longPortName = QStringLiteral("USB MIDI Keyboard with a rather long port name:0");

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
        stored = 0;
        store = std::make_unique<Core::SettingsStore>([this] { return quiz; });
    }

    void cleanup()
    {
        tab.reset();
        store.reset();
    }

    // Shown as stored, stored as clicked, in one record (the wait after a mistake: waitInForce).
    void shownAndStored_data()
    {
        QTest::addColumn<QString>("inputClicked");
        QTest::addColumn<bool>("keyboard");
        QTest::addColumn<bool>("multipleChoice");
        QTest::addColumn<QString>("inputShown");
        QTest::addColumn<bool>("keyboardAfter");
        QTest::addColumn<bool>("multipleChoiceAfter");
        QTest::addColumn<bool>("showDifficulty");
        QTest::addColumn<bool>("colourBlind");
        QTest::newRow("both inputs off (hand-edited)")
            << "" << false << false << "useMultipleChoice" << false << true << true << false;
        QTest::newRow("piano, choose both, colour-blind colours")
            << "useBoth" << true << false << "useGraphicalPiano" << true << true << false << true;
        QTest::newRow("both, choose piano")
            << "useGraphicalPiano" << true << true << "useBoth" << true << false << true << false;
    }
    void shownAndStored()
    {
        QFETCH(bool, keyboard);
        QFETCH(bool, multipleChoice);
        QFETCH(QString, inputShown);
        QFETCH(QString, inputClicked);
        QFETCH(bool, showDifficulty);
        QFETCH(bool, colourBlind);
        GeneralSettings general = store->generalSettings();
        general.answerWithGraphicalKeyboard = keyboard;
        general.answerWithMultipleChoice = multipleChoice;
        general.instrument = 35;
        general.showDifficultyDialog = showDifficulty;
        general.colourBlindColours = colourBlind;
        general.practiseWeakSpots = colourBlind;
        store->setGeneralSettings(general);
        MakeTab();
        for (const char* radio : {"useGraphicalPiano", "useMultipleChoice", "useBoth"})
            QCOMPARE(Part<QRadioButton>(radio)->isChecked(), inputShown == QLatin1String(radio));
        auto* instruments = Part<QComboBox>("instrumentCombo");
        QCOMPARE(instruments->currentIndex(), 35);
        QCOMPARE(Part<QCheckBox>("showDifficultyDialog")->isChecked(), showDifficulty);
        QCOMPARE(Part<QCheckBox>("colourBlindColours")->isChecked(), colourBlind);
        auto* weakSpots = Part<QCheckBox>("practiseWeakSpots");
        QCOMPARE(weakSpots->isChecked(), colourBlind);
        QVERIFY(!weakSpots->accessibleName().isEmpty() && !weakSpots->toolTip().isEmpty());

        if (!inputClicked.isEmpty())
            Click(Part<QRadioButton>(inputClicked));
        instruments->setFocus();
        QTest::keyClick(instruments, Qt::Key_Home);
        QTest::keyClick(instruments, Qt::Key_Down);
        tab->findChild<UI::DeviceBoxView*>()->setDevices({"Port A", longPortName});
        Click(Part<QToolButton>("nextMidiDeviceDown"));
        Click(Part<QCheckBox>("showDifficultyDialog"));
        Click(Part<QCheckBox>("colourBlindColours"));
        Click(weakSpots);
        EveryPartFits(); // in the smallest window
        const GeneralSettings after = Stored();
        QCOMPARE(stored, 1);
        QTEST(after.answerWithGraphicalKeyboard, "keyboardAfter");
        QTEST(after.answerWithMultipleChoice, "multipleChoiceAfter");
        QCOMPARE(int(after.instrument), 1);
        QCOMPARE(after.inputDevice, longPortName);
        QCOMPARE(after.showDifficultyDialog, !showDifficulty);
        QCOMPARE(after.colourBlindColours, !colourBlind);
        QCOMPARE(after.practiseWeakSpots, !colourBlind);
        // Defaults leave the colours as they are, and they are kept across a new tab; the
        // weak-spot review is off by default.
        tab->restoreDefaults();
        QCOMPARE(Part<QCheckBox>("colourBlindColours")->isChecked(), !colourBlind);
        QVERIFY(!Part<QCheckBox>("practiseWeakSpots")->isChecked());
        MakeTab();
        QCOMPARE(Part<QCheckBox>("colourBlindColours")->isChecked(), !colourBlind);
    }

    // The wait list shows the wait in force, a level's (which pauses and stores no wait) or one
    // stored by hand: one it lacks as the nearest it offers (the longer of two as near), none
    // shorter than its shortest. Stored while pausing, the stored wait stays as it is; continuing
    // stores the wait shown.
    void waitInForce_data()
    {
        QTest::addColumn<QString>("level"); // the level button clicked; none: the policy below
        QTest::addColumn<WrongAnswerPolicy>("policy");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("continued");
        for (const char* level : {"Level1", "Level2", "Level3", "Level4", "Level5"})
            QTest::newRow(level) << level << WrongAnswerPolicy() << "Wait: 1 second" << 1000;
        using P = WrongAnswerPolicy;
        QTest::newRow("no wait, continuing") << "" << P{true, 0} << "Wait: 1 second" << 1000;
        QTest::newRow("shorter than the shortest") << "" << P{false, 400} << "Wait: 1 second" << 1000;
        QTest::newRow("nearer the shorter") << "" << P{false, 1900} << "Wait: 1 second" << 1000;
        QTest::newRow("nearer the longer") << "" << P{false, 2100} << "Wait: 3 seconds" << 3000;
        QTest::newRow("halfway") << "" << P{false, 4000} << "Wait: 5 seconds" << 5000;
        QTest::newRow("longer than the longest") << "" << P{false, 60000} << "Wait: 5 seconds" << 5000;
    }
    void waitInForce()
    {
        QFETCH(QString, level);
        QFETCH(WrongAnswerPolicy, policy);
        const auto filed = [] { return Core::SettingsStore().currentSettings().noteTrainer; };
        if (level.isEmpty()) {
            Core::TrainerSettings block = store->currentSettings();
            block.noteTrainer.wrongAnswerPolicy = policy;
            store->setTrainerSettings(block);
        }
        MakeTab();
        if (!level.isEmpty())
            Click(Part<QAbstractButton>(level));
        auto* delays = Part<QComboBox>("delayCombo");
        QTEST(delays->currentText(), "shown");
        const WrongAnswerPolicy before = filed().wrongAnswerPolicy;
        QCOMPARE(delays->isEnabled(), before.continueAfterMistake);
        QCOMPARE(Part<QRadioButton>("pauseAfterMistake")->isChecked(), !before.continueAfterMistake);
        if (!before.continueAfterMistake) {
            tab->applySettings();
            QCOMPARE(filed().wrongAnswerPolicy, before);
            Click(Part<QRadioButton>("continueAfterMistake"));
        }
        QVERIFY(delays->isEnabled());
        QTEST(delays->currentText(), "shown");
        tab->applySettings();
        QFETCH(int, continued);
        QCOMPARE(filed().wrongAnswerPolicy, (WrongAnswerPolicy{true, continued}));
    }

    // The quiz form fits its window. The difficulty dialog's box is hidden and whatever it holds
    // is ignored; leaving the quiz shows it again, and its group grows to hold it.
    void quizForm()
    {
        GeneralSettings general = store->generalSettings();
        general.showDifficultyDialog = false;
        store->setGeneralSettings(general);
        quiz = true;
        MakeTab(QSize(1366, 712));
        tab->findChild<UI::DeviceBoxView*>()->setDevices({longPortName});
        EveryPartFits();
        auto* box = Part<QCheckBox>("showDifficultyDialog");
        const int quizHeight = Part<QGroupBox>("difficultyGroup")->height();
        QVERIFY(!box->isVisible() && !box->isChecked());
        box->setChecked(true);
        QVERIFY(!Stored().showDifficultyDialog);
        quiz = false;
        tab->loadSettings();
        QTRY_VERIFY(box->isVisible());
        QVERIFY(Part<QGroupBox>("difficultyGroup")->maximumHeight() > quizHeight);
    }

    // Steps wrap round; a port name with markup is shown as the text it is. A new list keeps the
    // name shown when it still holds it, and shows its first name otherwise.
    void deviceBoxSteps_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("clicks"); // d: down, u: up
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("newList");
        QTest::addColumn<QString>("shownAfter");
        using L = QStringList;
        const QString evil = "<b>Evil</b> & <i>Co</i>";
        const L abc{"A", "B", "C"};
        QTest::newRow("no device") << L() << "du" << L{"", ""} << L{"A"} << "A";
        QTest::newRow("one device, markup in its name") << L{evil} << "d" << L{evil} << L() << "";
        QTest::newRow("three, down and round") << abc << "ddd" << L{"B", "C", "A"} << L{"C", "A"} << "A";
        QTest::newRow("three, up and round") << abc << "uud" << L{"C", "B", "C"} << L{"B", "A"} << "B";
    }
    void deviceBoxSteps()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, clicks);
        QFETCH(QStringList, shown);
        UI::DeviceBoxView box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setDevices(names.toVector());
        QCOMPARE(box.deviceName(), names.value(0));
        for (int i = 0; i < clicks.size(); ++i) {
            Click(::Part<QToolButton>(&box, clicks[i] == 'd' ? "nextMidiDeviceDown" : "nextMidiDeviceUp"));
            QCOMPARE(box.deviceName(), shown[i]);
            QTextDocument text;
            text.setHtml(::Part<QLabel>(&box, "deviceText")->text());
            QCOMPARE(text.toPlainText(), shown[i].isEmpty() ? QStringLiteral("No MIDI device plugged in.")
                                                            : "Using the " + shown[i] + " keyboard device.");
        }
        QFETCH(QStringList, newList);
        box.setDevices(newList.toVector());
        QTEST(box.deviceName(), "shownAfter");
    }
};

QTEST_MAIN(TestGeneralSettingsTab)
#include "test_general_settings_tab.moc"
