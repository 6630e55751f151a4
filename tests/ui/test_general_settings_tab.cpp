// The general settings tab on a real settings store in a temporary directory: what it shows for
// stored values at their edges, what it stores when applied, the quiz form, and the device box
// stepping through its list and showing a port name as plain text.

#include "../common/temp_settings.h"
#include "core/midi/sound_controller.h"
#include "core/settings_store.h"
#include "ui/interface_fonts.h"
#include "ui/settings/device_box_view.h"
#include "ui/settings/general_settings_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTextDocument>
#include <QToolButton>
#include <QtTest>

#include <memory>

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

    template <typename T> T* Part(const char* name, QWidget* in = nullptr) const
    {
        T* part = (in ? in : tab.get())->findChild<T*>(QLatin1String(name));
        if (!part)
            qFatal("no %s", name);
        return part;
    }

    // Check boxes and radio buttons take clicks on their indicator and text, at the left.
    static void Click(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {},
                          QPoint(qMin(8, button->width() / 2), button->height() / 2));
    }

    void StoreGeneral(const std::function<void(GeneralSettings&)>& change)
    {
        GeneralSettings general = store->generalSettings();
        change(general);
        store->setGeneralSettings(general);
    }

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

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        UI::InterfaceFonts::registerFonts();
        qApp->setStyleSheet(QStringLiteral("file:///:css/global.css"));
        Core::SoundController::Options options;
        options.builtInSynthesizer = false;
        options.watchDevices = false;
        sound = std::make_shared<Core::SoundController>(options);
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

    // The policy after a mistake, stored with the note trainer's settings. A delay the list does
    // not offer shows no entry and stays as it was; choosing "continue" offers the delays.
    void wrongAnswerPolicy_data()
    {
        QTest::addColumn<WrongAnswerPolicy>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("chooseContinueAndSecondDelay");
        QTest::addColumn<WrongAnswerPolicy>("after");
        QTest::newRow("continue, listed delay")
            << WrongAnswerPolicy{true, 3000} << "Wait: 3 seconds" << false << WrongAnswerPolicy{true, 3000};
        QTest::newRow("delay not in the list")
            << WrongAnswerPolicy{true, 2500} << "" << false << WrongAnswerPolicy{true, 2500};
        QTest::newRow("pause, choose continue")
            << WrongAnswerPolicy{false, 0} << "" << true << WrongAnswerPolicy{true, 3000};
    }
    void wrongAnswerPolicy()
    {
        QFETCH(WrongAnswerPolicy, stored);
        QFETCH(QString, shown);
        QFETCH(bool, chooseContinueAndSecondDelay);
        Core::TrainerSettings block = store->currentSettings();
        block.noteTrainer.wrongAnswerPolicy = stored;
        store->setTrainerSettings(block);
        MakeTab();
        auto* combo = Part<QComboBox>("delayCombo");
        QCOMPARE(combo->currentText(), shown);
        QCOMPARE(combo->isEnabled(), stored.continueAfterMistake);
        QCOMPARE(Part<QRadioButton>("pauseAfterMistake")->isChecked(), !stored.continueAfterMistake);
        if (chooseContinueAndSecondDelay) {
            Click(Part<QRadioButton>("continueAfterMistake"));
            QVERIFY(combo->isEnabled());
            combo->setFocus();
            QTest::keyClick(combo, Qt::Key_Down); // from no entry to the first
            QTest::keyClick(combo, Qt::Key_Down);
        }
        tab->applySettings();
        QTEST(Core::SettingsStore().currentSettings().noteTrainer.wrongAnswerPolicy, "after");
    }

    void answerInput_data()
    {
        QTest::addColumn<bool>("keyboard");
        QTest::addColumn<bool>("multipleChoice");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("click");
        QTest::addColumn<bool>("keyboardAfter");
        QTest::addColumn<bool>("multipleChoiceAfter");
        QTest::newRow("both off (hand-edited)") << false << false << "useMultipleChoice"
                                                << "" << false << true;
        QTest::newRow("piano, choose both") << true << false << "useGraphicalPiano"
                                            << "useBoth" << true << true;
        QTest::newRow("both, choose piano") << true << true << "useBoth"
                                            << "useGraphicalPiano" << true << false;
    }
    void answerInput()
    {
        QFETCH(bool, keyboard);
        QFETCH(bool, multipleChoice);
        QFETCH(QString, shown);
        QFETCH(QString, click);
        StoreGeneral([&](GeneralSettings& general) {
            general.answerWithGraphicalKeyboard = keyboard;
            general.answerWithMultipleChoice = multipleChoice;
        });
        MakeTab();
        for (const char* radio : {"useGraphicalPiano", "useMultipleChoice", "useBoth"})
            QCOMPARE(Part<QRadioButton>(radio)->isChecked(), shown == QLatin1String(radio));
        if (!click.isEmpty())
            Click(Part<QRadioButton>(qPrintable(click)));
        const GeneralSettings after = Stored();
        QCOMPARE(stored, 1);
        QTEST(after.answerWithGraphicalKeyboard, "keyboardAfter");
        QTEST(after.answerWithMultipleChoice, "multipleChoiceAfter");
    }

    // In a quiz the box is hidden and whatever it holds is ignored; leaving the quiz shows it again.
    void difficultyCheckBox_data()
    {
        QTest::addColumn<bool>("quizMode");
        QTest::addColumn<bool>("storedValue");
        QTest::addColumn<bool>("valueAfter");
        QTest::newRow("learn, unticked by the user") << false << true << false;
        QTest::newRow("learn, ticked by the user") << false << false << true;
        QTest::newRow("quiz, hidden box ticked") << true << false << false;
    }
    void difficultyCheckBox()
    {
        QFETCH(bool, quizMode);
        QFETCH(bool, storedValue);
        StoreGeneral([&](GeneralSettings& general) { general.showDifficultyDialog = storedValue; });
        quiz = quizMode;
        MakeTab();
        auto* box = Part<QCheckBox>("showDifficultyDialog");
        const int quizHeight = Part<QGroupBox>("difficultyGroup")->height();
        QCOMPARE(box->isVisible(), !quizMode);
        QCOMPARE(box->isChecked(), storedValue && !quizMode);
        if (quizMode)
            box->setChecked(!storedValue);
        else
            Click(box);
        QTEST(Stored().showDifficultyDialog, "valueAfter");
        quiz = false;
        tab->loadSettings();
        QTRY_VERIFY(box->isVisible());
        QVERIFY(!quizMode || Part<QGroupBox>("difficultyGroup")->maximumHeight() > quizHeight);
    }

    void instrumentAndDeviceChosenAreStored()
    {
        StoreGeneral([](GeneralSettings& general) { general.instrument = 35; });
        MakeTab();
        auto* combo = Part<QComboBox>("instrumentCombo");
        QCOMPARE(combo->currentIndex(), 35);
        // Choosing an entry plays a preview; without an output it stays silent and harmless.
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        QTest::keyClick(combo, Qt::Key_Down);
        QVector<QString> ports{QStringLiteral("Port A"), QStringLiteral("Port B")};
        tab->findChild<UI::DeviceBoxView*>()->setDevices(ports);
        Click(Part<QToolButton>("nextMidiDeviceDown"));
        const GeneralSettings after = Stored();
        QCOMPARE(int(after.instrument), 1);
        QCOMPARE(after.inputDevice, QStringLiteral("Port B"));
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
        QTest::newRow("no device") << QStringList() << "du" << QStringList{"", ""} << QStringList{"A"} << "A";
        QTest::newRow("one device, markup in its name")
            << QStringList{"<b>Evil</b> & <i>Co</i>"} << "d" << QStringList{"<b>Evil</b> & <i>Co</i>"}
            << QStringList() << "";
        QTest::newRow("three, down and round") << QStringList{"A", "B", "C"} << "ddd"
                                               << QStringList{"B", "C", "A"} << QStringList{"C", "A"} << "A";
        QTest::newRow("three, up and round") << QStringList{"A", "B", "C"} << "uud"
                                             << QStringList{"C", "B", "C"} << QStringList{"B", "A"} << "B";
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
            Click(Part<QToolButton>(clicks[i] == 'd' ? "nextMidiDeviceDown" : "nextMidiDeviceUp", &box));
            QCOMPARE(box.deviceName(), shown[i]);
            auto* label = Part<QLabel>("deviceText", &box);
            QTextDocument text;
            text.setHtml(label->text());
            QCOMPARE(text.toPlainText(), shown[i].isEmpty() ? QStringLiteral("No MIDI device plugged in.")
                                                            : "Using the " + shown[i] + " keyboard device.");
        }
        QFETCH(QStringList, newList);
        box.setDevices(newList.toVector());
        QTEST(box.deviceName(), "shownAfter");
    }

    // The smallest window, and the quiz form: every visible part inside the tab and tall enough.
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
        MakeTab(size);
        QVector<QString> ports{QStringLiteral("USB MIDI Keyboard with a rather long port name:0")};
        tab->findChild<UI::DeviceBoxView*>()->setDevices(ports);
        for (QWidget* part : tab->findChildren<QWidget*>()) {
            if (!part->isVisible())
                continue;
            QVERIFY2(tab->rect().contains(QRect(part->mapTo(tab.get(), QPoint(0, 0)), part->size())),
                     qPrintable(part->objectName()));
            QVERIFY2(part->height() >= part->minimumSizeHint().height(), qPrintable(part->objectName()));
        }
    }
};

QTEST_MAIN(TestGeneralSettingsTab)
#include "test_general_settings_tab.moc"
