// The difficulty level dialog on a real settings store in a temporary directory: a choice stores
// the level and survives a restart (except in a quiz), "Do not show next time", the custom row,
// Close and Escape, the keys 1 to 5, one Play per choice, the tab order and a card that fits.

#include "../common/file_bytes.h"
#include "../common/rendered.h"
#include "../common/screen_parts.h"
#include "../common/temp_settings.h"
#include "core/exercise/difficulty_presets.h"
#include "core/settings_store.h"
#include "ui/dialogs/difficulty_level_dialog.h"

#include <QPushButton>

using Core::DifficultyPreset;
using Core::SettingsStore;
using Core::TrainerSettings;

namespace {

// The block with one question switch of the note trainer turned over, so that it matches no level.
TrainerSettings Custom(TrainerSettings block)
{
    block.noteTrainer.chords[Core::ChordSwitch::Diminished] ^= true;
    return block;
}

} // namespace

class TestDifficultyLevelDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempSettings> settingsDir;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<QWidget> screen;
    UI::DifficultyLevelDialog* dialog = nullptr;
    bool quiz = false;

    void MakeScreen(const QSize& size)
    {
        screen = std::make_unique<QWidget>();
        screen->setObjectName(QStringLiteral("ex_block_view_control"));
        screen->setStyleSheet(QStringLiteral("background: rgb(40, 60, 90);"));
        screen->setGeometry(QRect(QPoint(0, 0), size));
        screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
        dialog = new UI::DifficultyLevelDialog(store.get(), screen.get());
    }

    template <typename T = QPushButton> T* Part(const QString& name) const { return ::Part<T>(dialog, name); }

    void Show(int trainer, bool quizForm = false)
    {
        quiz = quizForm;
        quizForm ? dialog->showForQuiz(std::size_t(trainer)) : dialog->showForLearn(std::size_t(trainer));
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
    }

private Q_SLOTS:
    void initTestCase() { UseProgramLook(); }

    void init()
    {
        settingsDir = std::make_unique<TempSettings>();
        QVERIFY(settingsDir->IsValid());
        quiz = false;
        store = std::make_unique<SettingsStore>([this] { return quiz; });
        MakeScreen(QSize(1280, 664));
    }

    void cleanup() { screen.reset(); store.reset(); }

    // A choice, by a click or by the keys 1 to 5, stores its level for that trainer only, once
    // however often it is pressed; a restart finds it, but not a level chosen for a quiz. Close,
    // Escape and other keys change nothing, "Do not show next time" included.
    void choiceIsStoredAndPlaysOnce_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<bool>("quizForm");
        QTest::addColumn<bool>("doNotShow");
        QTest::addColumn<QString>("press"); // a button's name, or "key " and a key
        QTest::addColumn<int>("level");     // -1: nothing chosen
        QTest::newRow("notes, do not show, key 1") << 0 << false << true << "key 1" << 0;
        QTest::newRow("symbols, key 5") << 2 << false << false << "key 5" << 4;
        QTest::newRow("ear, quiz, click level 3") << 1 << true << false << "Level3" << 2;
        QTest::newRow("key 6 chooses nothing") << 0 << false << false << "key 6" << -1;
        QTest::newRow("close button") << 2 << false << true << "Close" << -1;
        QTest::newRow("escape") << 2 << false << true << "key Escape" << -1;
    }
    void choiceIsStoredAndPlaysOnce()
    {
        QFETCH(int, trainer);
        QFETCH(bool, quizForm);
        QFETCH(bool, doNotShow);
        QFETCH(QString, press);
        QFETCH(int, level);
        // Start from level 2 everywhere, on disk, so that every choice shows.
        store->setTrainerSettings(DifficultyPreset(1));
        const QByteArray before = ReadAll(store->fileName());
        QVERIFY(!before.isEmpty());
        QSignalSpy play(dialog, &UI::DifficultyLevelDialog::playRequested);
        Show(trainer, quizForm);
        QCOMPARE(Part<QCheckBox>("DoNotShow")->isVisible(), !quizForm);
        if (doNotShow)
            Click(Part<QCheckBox>("DoNotShow"));
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : dialog;
        for (int again = 0; again < 2; ++again) { // the second while it fades out
            if (press.startsWith("key "))
                QTest::keyClick(focus, Qt::Key(QKeySequence::fromString(press.mid(4))[0]));
            else
                Click(Part(press));
        }
        QCOMPARE(play.count(), level >= 0 ? 1 : 0);
        QTRY_COMPARE(dialog->isVisible(), press == "key 6");
        // The block in force, the quiz's in a quiz, has the level's questions.
        QVERIFY(Core::SameQuestionContent(store->currentSettings(), DifficultyPreset(level < 0 ? 1 : level),
                                          trainer));
        quiz = false;
        SettingsStore reread;
        for (int other = 0; other < 3; ++other)
            QCOMPARE(reread.difficultyLevel(other), other == trainer && !quizForm && level >= 0 ? level : 1);
        QCOMPARE(reread.generalSettings().showDifficultyDialog, !(doNotShow && level >= 0));
        if (quizForm || level < 0)
            QCOMPARE(ReadAll(store->fileName()), before);
    }

    // Shown for settings of the user's own, also when they are made while the dialog is open; not
    // in a quiz. Choosing it keeps them as they are.
    void customRow_data()
    {
        QTest::addColumn<bool>("custom");
        QTest::addColumn<bool>("quizForm");
        QTest::addColumn<bool>("madeWhileOpen");
        QTest::addColumn<bool>("shown");
        QTest::newRow("settings at a level") << false << false << false << false;
        QTest::newRow("own settings") << true << false << false << true;
        QTest::newRow("own settings made while open") << true << false << true << true;
        QTest::newRow("own settings, quiz") << true << true << false << false;
    }
    void customRow()
    {
        QFETCH(bool, custom);
        QFETCH(bool, quizForm);
        QFETCH(bool, madeWhileOpen);
        QFETCH(bool, shown);
        const TrainerSettings block = DifficultyPreset(3);
        store->setTrainerSettings(custom && !madeWhileOpen ? Custom(block) : block);
        Show(0, quizForm);
        if (madeWhileOpen) {
            QVERIFY(!Part("Custom")->isVisible());
            store->setTrainerSettings(Custom(block));
            dialog->refresh();
        }
        QCOMPARE(Part("Custom")->isVisible(), shown);
        QCOMPARE(Part<QWidget>("CustomRow")->isVisible(), shown);
        if (!shown)
            return;
        const TrainerSettings own = store->currentSettings();
        QSignalSpy play(dialog, &UI::DifficultyLevelDialog::playRequested);
        Click(Part("Custom"));
        QCOMPARE(play.count(), 1);
        QVERIFY(store->currentSettings() == own);
        QCOMPARE(SettingsStore().difficultyLevel(0), 5);
    }

    // The card and its parts inside the smallest screen, and the level pictures drawn whole at
    // ratio 2: their white numbers show through the dimmed screen. The keyboard starts on the
    // Custom button (the settings match no level), and Tab reaches every button.
    void cardFitsAndTabReachesEveryButton_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("1280x720") << QSize(1280, 664) << 1.0;
        QTest::newRow("3840x2160 at ratio 2") << QSize(1920, 1024) << 2.0;
    }
    void cardFitsAndTabReachesEveryButton()
    {
        QFETCH(QSize, size);
        QFETCH(qreal, ratio);
        MakeScreen(size);
        store->setTrainerSettings(Custom(DifficultyPreset(0)));
        Show(0);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(QApplication::focusWidget(), Part<QWidget>("Custom"));
        QSet<QString> reached;
        for (int step = 0; step < 8; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.insert(QApplication::focusWidget()->accessibleName());
        }
        QCOMPARE(reached, (QSet<QString>{"Level 1", "Level 2", "Level 3", "Level 4", "Level 5", "Custom",
                                         "Close", "Do not show next time"}));
        QTRY_COMPARE(dialog->opacity(), 1.0);
        const QWidget* card = Part<QWidget>("card");
        QVERIFY(dialog->rect().contains(card->geometry()));
        for (QWidget* part : card->findChildren<QWidget*>())
            if (part->isVisible())
                QVERIFY2(
                    card->rect().contains(part->geometry().translated(part->parentWidget()->mapTo(card, {}))),
                    qPrintable(part->objectName()));
        const QImage picture = Rendered(*dialog, ratio, Qt::black);
        const QPushButton* level = Part("Level3");
        const QRect area(level->mapTo(dialog, QPoint(0, 0)) * ratio, level->size() * ratio);
        int brightest = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                brightest = std::max(brightest, qGray(picture.pixel(x, y)));
        QVERIFY(brightest > 230);
    }
};

QTEST_MAIN(TestDifficultyLevelDialog)
#include "test_difficulty_level_dialog.moc"
