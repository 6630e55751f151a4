// The general settings tab on a real settings store in a temporary directory: what Data2Gui
// shows for stored values at their edges, what Gui2Data writes back (read again through a fresh
// store), the quiz form, the level buttons, and the device box stepping through its list and
// showing a port name as plain text. CANTORELA_PICTURE_DIR, when set, receives pictures of the tab.

#include "core/exercise/difficulty_presets.h"
#include "core/midi/sound_controller.h"
#include "ui/device_box_view.h"
#include "ui/general_settings_tab.h"
#include "ui/interface_fonts.h"
#include "ui/settings_store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTextDocument>
#include <QToolButton>
#include <QtTest>

#include <memory>

using Core::GeneralSettings;
using Core::SettingsStore;
using Core::WrongAnswerPolicy;

class TestGeneralSettingsTab : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> store;
    std::shared_ptr<Core::SoundController> sound;
    std::unique_ptr<UI::GeneralSettingsTab> tab;
    bool quiz = false;
    int stored = 0; // general settings records handed to the application

    template <typename T> T* Part(QWidget* in, const char* name) const
    {
        T* part = in->findChild<T*>(QLatin1String(name));
        if (!part)
            qFatal("no %s", name);
        return part;
    }
    template <typename T> T* Part(const char* name) const { return Part<T>(tab.get(), name); }

    QPushButton* Level(int n) const
    {
        return Part<QPushButton>(QByteArray("Level" + QByteArray::number(n)).constData());
    }

    static void Click(QAbstractButton* button)
    {
        // Check boxes and radio buttons take clicks on their indicator and text, at the left.
        const bool left = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
        QTest::mouseClick(button, Qt::LeftButton, {},
                          left ? QPoint(8, button->height() / 2) : button->rect().center());
    }

    void StoreGeneral(const std::function<void(GeneralSettings&)>& change)
    {
        GeneralSettings general = store->GetGeneralSettings();
        change(general);
        store->SetGeneralSettings(general);
    }

    void MakeTab(int trainer, const QSize& size = QSize(1280, 664))
    {
        tab = std::make_unique<UI::GeneralSettingsTab>(
            trainer, store.get(), sound, [this] { return quiz; },
            [this](const GeneralSettings& general) {
                ++stored;
                store->SetGeneralSettings(general);
            });
        tab->resize(size);
        tab->show();
        QVERIFY(QTest::qWaitForWindowExposed(tab.get()));
    }

    // The policy as the trainer page keeps it: in the note trainer's block, saved.
    void KeepPolicy(const WrongAnswerPolicy& policy)
    {
        Core::TrainerSettings block = store->CurrentSettings();
        block.noteTrainer.wrongAnswerPolicy = policy;
        store->SetTrainerSettings(block);
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
        stored = 0;
        store = std::make_unique<SettingsStore>([this] { return quiz; });
        MakeTab(0);
    }

    void cleanup()
    {
        tab.reset();
        store.reset();
    }

    void wrongAnswerPolicy_data()
    {
        QTest::addColumn<bool>("continueAfterMistake");
        QTest::addColumn<int>("delay");
        QTest::addColumn<QString>("shown");
        QTest::newRow("continue, 3000") << true << 3000 << "Wait: 3 seconds";
        QTest::newRow("pause, 1000") << false << 1000 << "Wait: 1 second";
        QTest::newRow("continue, 5000") << true << 5000 << "Wait: 5 seconds";
        QTest::newRow("preset value 0") << false << 0 << "";
        QTest::newRow("hand-edited 2500") << true << 2500 << "";
    }
    void wrongAnswerPolicy()
    {
        QFETCH(bool, continueAfterMistake);
        QFETCH(int, delay);
        QFETCH(QString, shown);
        WrongAnswerPolicy policy{continueAfterMistake, delay};
        tab->Data2Gui(policy);
        auto* combo = Part<QComboBox>("delayCombo");
        QCOMPARE(combo->currentText(), shown);
        QCOMPARE(combo->currentIndex() == -1, shown.isEmpty());
        QCOMPARE(Part<QRadioButton>("continueAfterMistake")->isChecked(), continueAfterMistake);
        QCOMPARE(Part<QRadioButton>("pauseAfterMistake")->isChecked(), !continueAfterMistake);

        // What is not touched comes back unchanged, also after a restart.
        WrongAnswerPolicy out{!continueAfterMistake, -1};
        tab->Gui2Data(out);
        KeepPolicy(out);
        const WrongAnswerPolicy reread = SettingsStore().ExerciseSettings().noteTrainer.wrongAnswerPolicy;
        QCOMPARE(reread.continueAfterMistake, continueAfterMistake);
        QCOMPARE(reread.delay, shown.isEmpty() ? -1 : delay);
    }

    void choosingPauseThenContinue()
    {
        tab->Data2Gui(WrongAnswerPolicy{false, 0});
        auto* combo = Part<QComboBox>("delayCombo");
        QVERIFY(!combo->isEnabled());
        Click(Part<QRadioButton>("continueAfterMistake"));
        QVERIFY(combo->isEnabled());
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down); // from no entry to the first
        QTest::keyClick(combo, Qt::Key_Down);
        WrongAnswerPolicy out;
        tab->Gui2Data(out);
        KeepPolicy(out);
        const WrongAnswerPolicy reread = SettingsStore().ExerciseSettings().noteTrainer.wrongAnswerPolicy;
        QVERIFY(reread.continueAfterMistake);
        QCOMPARE(reread.delay, 3000);
    }

    void answerInput_data()
    {
        QTest::addColumn<bool>("keyboard");
        QTest::addColumn<bool>("multipleChoice");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("click");
        QTest::addColumn<bool>("keyboardAfter");
        QTest::addColumn<bool>("multipleChoiceAfter");
        QTest::newRow("piano") << true << false << "useGraphicalPiano"
                               << "" << true << false;
        QTest::newRow("both") << true << true << "useBoth"
                              << "" << true << true;
        QTest::newRow("both off (hand-edited)") << false << false << "useMultipleChoice"
                                                << "" << false << true;
        QTest::newRow("multiple choice only") << false << true << "useMultipleChoice"
                                              << "" << false << true;
        QTest::newRow("choose Use Both") << true << false << "useGraphicalPiano"
                                         << "useBoth" << true << true;
        QTest::newRow("choose piano") << true << true << "useBoth"
                                      << "useGraphicalPiano" << true << false;
    }
    void answerInput()
    {
        QFETCH(bool, keyboard);
        QFETCH(bool, multipleChoice);
        QFETCH(QString, shown);
        QFETCH(QString, click);
        QFETCH(bool, keyboardAfter);
        QFETCH(bool, multipleChoiceAfter);
        StoreGeneral([&](GeneralSettings& general) {
            general.answerWithGraphicalKeyboard = keyboard;
            general.answerWithMultipleChoice = multipleChoice;
        });
        tab->Data2Gui(WrongAnswerPolicy());
        for (const char* radio : {"useGraphicalPiano", "useMultipleChoice", "useBoth"})
            QCOMPARE(Part<QRadioButton>(radio)->isChecked(), shown == QLatin1String(radio));
        if (!click.isEmpty())
            Click(Part<QRadioButton>(click.toLatin1().constData()));
        WrongAnswerPolicy policy;
        tab->Gui2Data(policy);
        QCOMPARE(stored, 1);
        const GeneralSettings reread = SettingsStore().GetGeneralSettings();
        QCOMPARE(reread.answerWithGraphicalKeyboard, keyboardAfter);
        QCOMPARE(reread.answerWithMultipleChoice, multipleChoiceAfter);
    }

    void difficultyCheckBox_data()
    {
        QTest::addColumn<bool>("quizMode");
        QTest::addColumn<bool>("storedValue");
        QTest::addColumn<bool>("valueAfter");
        QTest::newRow("learn, unticked by the user") << false << true << false;
        QTest::newRow("learn, ticked by the user") << false << false << true;
        QTest::newRow("quiz, stored on") << true << true << true;
        QTest::newRow("quiz, stored off") << true << false << false;
    }
    void difficultyCheckBox()
    {
        QFETCH(bool, quizMode);
        QFETCH(bool, storedValue);
        QFETCH(bool, valueAfter);
        StoreGeneral([&](GeneralSettings& general) { general.showDifficultyDialog = storedValue; });
        quiz = quizMode;
        tab->Data2Gui(WrongAnswerPolicy());
        auto* box = Part<QCheckBox>("showDifficultyDialog");
        QCOMPARE(box->isVisible(), !quizMode);
        if (quizMode) {
            QCOMPARE(Part<QGroupBox>("difficultyGroup")->height(), 160);
            box->setChecked(!storedValue); // whatever the hidden box holds is ignored
        } else {
            QCOMPARE(box->isChecked(), storedValue);
            Click(box);
        }
        WrongAnswerPolicy policy;
        tab->Gui2Data(policy);
        QCOMPARE(SettingsStore().GetGeneralSettings().showDifficultyDialog, valueAfter);

        // Leaving the quiz gives the box its place back.
        quiz = false;
        tab->Data2Gui(WrongAnswerPolicy());
        QTRY_VERIFY(box->isVisible());
        QVERIFY(Part<QGroupBox>("difficultyGroup")->maximumHeight() > 160);
    }

    void instrumentAndDevice()
    {
        StoreGeneral([](GeneralSettings& general) { general.instrument = 35; });
        tab->Data2Gui(WrongAnswerPolicy());
        auto* combo = Part<QComboBox>("instrumentCombo");
        QCOMPARE(combo->count(), 36);
        QCOMPARE(combo->currentText(), QStringLiteral("Baritone Sax"));
        // Choosing an entry plays a preview; without an output it stays silent and harmless.
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), QStringLiteral("Bright Acoustic Piano"));
        QVector<QString> ports{QStringLiteral("Port A"), QStringLiteral("Port B")};
        tab->DeviceBox()->fillDeviceList(ports);
        Click(Part<QToolButton>(tab->DeviceBox(), "nextMidiDeviceDown"));
        WrongAnswerPolicy policy;
        tab->Gui2Data(policy);
        const GeneralSettings reread = SettingsStore().GetGeneralSettings();
        QCOMPARE(int(reread.instrument), 1);
        QCOMPARE(reread.inputDevice, QStringLiteral("Port B"));
    }

    void levelButtons_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<int>("button");
        QTest::newRow("note trainer, button 3") << 0 << 3;
        QTest::newRow("ear trainer, button 1") << 1 << 1;
        QTest::newRow("symbols, button 5") << 2 << 5;
    }
    void levelButtons()
    {
        QFETCH(int, trainer);
        QFETCH(int, button);
        MakeTab(trainer);
        QSignalSpy refresh(tab.get(), &UI::GeneralSettingsTab::refreshGui);
        auto* chosen = Level(button);
        Click(chosen);
        QCOMPARE(refresh.count(), 1);
        QCOMPARE(store->GetDifficultyLevel(trainer), button - 1);
        const Core::TrainerSettings preset = Core::DifficultyPreset(button - 1);
        const Core::TrainerSettings& now = store->CurrentSettings();
        QVERIFY(trainer == 0   ? now.noteTrainer == preset.noteTrainer
                : trainer == 1 ? now.earTrainer == preset.earTrainer
                               : now.symbolTrainer == preset.symbolTrainer);
        // Clicking the checked button again keeps it the only one checked.
        Click(chosen);
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(Level(n)->isChecked(), n == button);
    }

    void showingChecksTheStoredLevel_data()
    {
        QTest::addColumn<bool>("custom");
        QTest::newRow("level 4") << false;
        QTest::newRow("custom settings") << true;
    }
    void showingChecksTheStoredLevel()
    {
        QFETCH(bool, custom);
        Core::TrainerSettings block = Core::DifficultyPreset(3);
        if (custom)
            block.noteTrainer.chords[Core::ChordSwitch::Diminished] ^= true;
        store->SetTrainerSettings(block);
        Click(Level(1));
        tab->hide();
        store->SetTrainerSettings(block); // the trainer page discarded the change
        tab->show();
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(Level(n)->isChecked(), !custom && n == 4);
    }

    void deviceBoxSteps_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("clicks"); // d: down, u: up
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("no device") << QStringList() << "du" << QStringList{"", ""};
        QTest::newRow("one device") << QStringList{"A"} << "dud" << QStringList{"A", "A", "A"};
        QTest::newRow("three, down and round")
            << QStringList{"A", "B", "C"} << "ddd" << QStringList{"B", "C", "A"};
        QTest::newRow("three, up and round")
            << QStringList{"A", "B", "C"} << "uud" << QStringList{"C", "B", "C"};
    }
    void deviceBoxSteps()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, clicks);
        QFETCH(QStringList, shown);
        UI::DeviceBoxView box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVector<QString> list = names.toVector();
        box.fillDeviceList(list);
        QCOMPARE(box.DeviceName(), names.value(0));
        auto* label = Part<QLabel>(&box, "deviceText");
        for (int i = 0; i < clicks.size(); ++i) {
            Click(Part<QToolButton>(&box, clicks[i] == 'd' ? "nextMidiDeviceDown" : "nextMidiDeviceUp"));
            QCOMPARE(box.DeviceName(), shown[i]);
            QTextDocument text;
            text.setHtml(label->text());
            QCOMPARE(text.toPlainText(), shown[i].isEmpty() ? QStringLiteral("No MIDI device plugged in.")
                                                            : "Using the " + shown[i] + " keyboard device.");
            QCOMPARE(label->styleSheet(),
                     box.property(shown[i].isEmpty() ? "noDeviceStyle" : "deviceStyle").toString());
        }
    }

    void deviceNameIsShownLiterally()
    {
        UI::DeviceBoxView box;
        const QString name = QStringLiteral("<b>Evil</b> & <i>Co</i>");
        QVector<QString> list{name};
        box.fillDeviceList(list);
        QTextDocument text;
        text.setHtml(Part<QLabel>(&box, "deviceText")->text());
        QCOMPARE(text.toPlainText(), "Using the " + name + " keyboard device.");
        QCOMPARE(box.property("deviceName").toString(), name);
    }

    void refillKeepsTheShownDevice()
    {
        UI::DeviceBoxView box;
        QVector<QString> list{"A", "B", "C"};
        box.fillDeviceList(list);
        box.showDeviceAtIdx(1);
        list = {"C", "B"};
        box.fillDeviceList(list);
        QCOMPARE(box.DeviceName(), QStringLiteral("B"));
        list = {"C"};
        box.fillDeviceList(list);
        QCOMPARE(box.DeviceName(), QStringLiteral("C"));
        list.clear();
        box.fillDeviceList(list);
        QCOMPARE(box.DeviceName(), QString());
    }

    void everyControlIsNamedAndReachable()
    {
        for (QWidget* control : tab->findChildren<QWidget*>()) {
            if (!qobject_cast<QAbstractButton*>(control) && !qobject_cast<QComboBox*>(control))
                continue;
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(control->focusPolicy() & Qt::TabFocus, qPrintable(control->objectName()));
        }
    }

    void fits_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("quizMode");
        QTest::newRow("1280x664") << QSize(1280, 664) << false;
        QTest::newRow("1366x712 quiz") << QSize(1366, 712) << true;
    }
    void fits()
    {
        QFETCH(QSize, size);
        QFETCH(bool, quizMode);
        quiz = quizMode;
        MakeTab(0, size);
        tab->Data2Gui(WrongAnswerPolicy());
        QVector<QString> ports{QStringLiteral("USB MIDI Keyboard with a rather long port name:0")};
        tab->DeviceBox()->fillDeviceList(ports);
        QCOMPARE(tab->size(), size);
        for (QWidget* part : tab->findChildren<QWidget*>()) {
            if (!part->isVisible())
                continue;
            const QRect at(part->mapTo(tab.get(), QPoint(0, 0)), part->size());
            QVERIFY2(tab->rect().contains(at), qPrintable(part->objectName()));
            QVERIFY2(part->height() >= part->minimumSizeHint().height(), qPrintable(part->objectName()));
        }
        const QString pictures = qEnvironmentVariable("CANTORELA_PICTURE_DIR");
        if (!pictures.isEmpty())
            tab->grab().save(QDir(pictures).filePath(QStringLiteral("general_settings_tab_%1.png")
                                                         .arg(QString::fromLatin1(QTest::currentDataTag()))));
    }
};

QTEST_MAIN(TestGeneralSettingsTab)
#include "test_general_settings_tab.moc"
