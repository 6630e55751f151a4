// The difficulty level dialog on a real settings store in a temporary directory: a choice stores
// the level and survives a restart (except in a quiz), "Do not show next time", the custom row,
// Close and Escape, the keys 1 to 5, one Play per choice, the tab order and a card that fits.
// CANTORELA_PICTURE_DIR, when set, receives pictures of the dialog.

#include "core/exercise/difficulty_presets.h"
#include "ui/difficulty_level_dialog.h"
#include "ui/interface_fonts.h"
#include "ui/settings_store.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using Core::DifficultyPreset;
using Core::SettingsStore;
using Core::TrainerSettings;

namespace {

bool SamePart(const TrainerSettings& a, const TrainerSettings& b, int trainer)
{
    switch (trainer) {
    case 0:
        return a.noteTrainer == b.noteTrainer;
    case 1:
        return a.earTrainer == b.earTrainer;
    default:
        return a.symbolTrainer == b.symbolTrainer;
    }
}

// The block with one question switch of the trainer turned over, so that it matches no level.
TrainerSettings Custom(TrainerSettings block, int trainer)
{
    if (trainer == 0)
        block.noteTrainer.chords[Core::ChordSwitch::Diminished] ^= true;
    else if (trainer == 1)
        block.earTrainer.tempo[Core::TempoSwitch::Vivace] ^= true;
    else
        block.symbolTrainer.tempo[Core::TempoSwitch::Vivace] ^= true;
    return block;
}

} // namespace

class TestDifficultyLevelDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<QWidget> screen;
    UI::DifficultyLevelDialog* dialog = nullptr;
    bool quiz = false;

    QString FilePath() const { return store->FileName(); }
    QByteArray FileBytes() const
    {
        QFile file(FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

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

    template <typename T = QPushButton> T* Part(const char* name) const
    {
        T* part = dialog->findChild<T*>(QLatin1String(name));
        if (!part)
            qFatal("the dialog has no %s", name);
        return part;
    }

    void Show(int trainer, bool quizForm)
    {
        quiz = quizForm;
        if (quizForm)
            dialog->ShowForQuiz(std::size_t(trainer));
        else
            dialog->ShowForLearn(std::size_t(trainer));
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
    }

    static void Click(QAbstractButton* button)
    {
        QVERIFY(button->isVisible());
        // A check box takes clicks on its box and text only, at its left.
        const QPoint at =
            qobject_cast<QCheckBox*>(button) ? QPoint(8, button->height() / 2) : button->rect().center();
        QTest::mouseClick(button, Qt::LeftButton, {}, at);
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        UI::InterfaceFonts::Register();
        // The application's own style, as the program sets it.
        qApp->setStyleSheet(QStringLiteral("file:///:css/global.css"));
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
        QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir->path());
        quiz = false;
        store = std::make_unique<SettingsStore>([this] { return quiz; });
        MakeScreen(QSize(1280, 664));
    }

    void cleanup()
    {
        screen.reset();
        store.reset();
    }

    void choosing_data()
    {
        QTest::addColumn<int>("trainer");
        QTest::addColumn<bool>("quizForm");
        QTest::addColumn<bool>("doNotShow");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("level");
        QTest::newRow("do not show, level 3") << 0 << false << true << "Level3" << 2;
        QTest::newRow("ear, level 2") << 1 << false << false << "Level2" << 1;
        QTest::newRow("symbols, level 5") << 2 << false << false << "Level5" << 4;
        QTest::newRow("quiz, level 4") << 1 << true << false << "Level4" << 3;
        QTest::newRow("quiz, level 1") << 2 << true << false << "Level1" << 0;
    }
    void choosing()
    {
        QFETCH(int, trainer);
        QFETCH(bool, quizForm);
        QFETCH(bool, doNotShow);
        QFETCH(QString, button);
        QFETCH(int, level);
        // Start from level 2 everywhere, on disk, so that every choice shows.
        store->SetTrainerSettings(DifficultyPreset(1));
        const QByteArray before = FileBytes();
        QSignalSpy play(dialog, &UI::DifficultyLevelDialog::Play);
        Show(trainer, quizForm);
        QCOMPARE(Part<QCheckBox>("DoNotShow")->isVisible(), !quizForm);
        if (doNotShow)
            Click(Part<QCheckBox>("DoNotShow"));
        Click(Part(button.toLatin1().constData()));
        Click(Part(button.toLatin1().constData())); // a second click while it fades out
        QCOMPARE(play.count(), 1);
        QTRY_VERIFY(!dialog->isVisible());
        QVERIFY(SamePart(store->CurrentSettings(), DifficultyPreset(level), trainer));

        // What a restart finds.
        quiz = false;
        SettingsStore reread;
        QCOMPARE(reread.GetDifficultyLevel(trainer), quizForm ? 1 : level);
        QCOMPARE(reread.GetGeneralSettings().showDifficultyDialog, !doNotShow);
        if (quizForm)
            QCOMPARE(FileBytes(), before);
    }

    void customRow_data()
    {
        QTest::addColumn<bool>("custom");
        QTest::addColumn<bool>("quizForm");
        QTest::addColumn<bool>("shown");
        QTest::newRow("settings at a level") << false << false << false;
        QTest::newRow("own settings") << true << false << true;
        QTest::newRow("own settings, quiz") << true << true << false;
    }
    void customRow()
    {
        QFETCH(bool, custom);
        QFETCH(bool, quizForm);
        QFETCH(bool, shown);
        const int trainer = 1;
        const TrainerSettings block = DifficultyPreset(3);
        store->SetTrainerSettings(custom ? Custom(block, trainer) : block);
        Show(trainer, quizForm);
        QCOMPARE(Part("Custom")->isVisible(), shown);
        QCOMPARE(Part<QWidget>("CustomRow")->isVisible(), shown);
        if (!shown)
            return;
        // The user's own settings are kept as they are.
        const TrainerSettings own = store->CurrentSettings();
        QSignalSpy play(dialog, &UI::DifficultyLevelDialog::Play);
        Click(Part("Custom"));
        QCOMPARE(play.count(), 1);
        QVERIFY(store->CurrentSettings() == own);
        QCOMPARE(SettingsStore().GetDifficultyLevel(trainer), 5);
    }

    void refreshFollowsTheSettings()
    {
        Show(0, false);
        QVERIFY(!Part("Custom")->isVisible());
        store->SetTrainerSettings(Custom(store->CurrentSettings(), 0));
        dialog->Refresh();
        QVERIFY(Part("Custom")->isVisible());
        // The card grows with the row and stays whole.
        QVERIFY(dialog->rect().contains(Part<QWidget>("card")->geometry()));
    }

    void closingChangesNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("close button") << false;
        QTest::newRow("escape") << true;
    }
    void closingChangesNothing()
    {
        QFETCH(bool, escape);
        store->Save();
        const QByteArray before = FileBytes();
        QVERIFY(!before.isEmpty());
        QSignalSpy play(dialog, &UI::DifficultyLevelDialog::Play);
        QSignalSpy closed(dialog, &UI::BaseDialog::DialogClosed);
        Show(2, false);
        Click(Part<QCheckBox>("DoNotShow"));
        if (escape)
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            Click(Part("Close"));
        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(play.count(), 0);
        QCOMPARE(FileBytes(), before);
        QVERIFY(store->GetGeneralSettings().showDifficultyDialog);
    }

    void digitKeysChoose_data()
    {
        QTest::addColumn<int>("key");
        for (int level = 0; level < 5; ++level)
            QTest::addRow("key %d", level + 1) << level;
    }
    void digitKeysChoose()
    {
        QFETCH(int, key);
        store->SetTrainerSettings(Custom(DifficultyPreset(0), 0));
        QSignalSpy play(dialog, &UI::DifficultyLevelDialog::Play);
        Show(0, false);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog,
                        Qt::Key(Qt::Key_1 + key));
        QCOMPARE(play.count(), 1);
        QCOMPARE(SettingsStore().GetDifficultyLevel(0), key);
    }

    void tabReachesEveryButton()
    {
        store->SetTrainerSettings(Custom(DifficultyPreset(2), 0));
        Show(0, false);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        // The keyboard starts on the Custom button: the settings match no level.
        QCOMPARE(QApplication::focusWidget(), Part<QWidget>("Custom"));
        QSet<QString> reached;
        for (int step = 0; step < 8; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.insert(QApplication::focusWidget()->accessibleName());
        }
        const QSet<QString> expected{"Level 1", "Level 2", "Level 3", "Level 4",
                                     "Level 5", "Custom",  "Close",   "Do not show next time"};
        QCOMPARE(reached, expected);
    }

    void cardFits_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("1280x720") << QSize(1280, 664) << 1.0;
        QTest::newRow("1366x768") << QSize(1366, 712) << 1.0;
        QTest::newRow("3840x2160 at ratio 2") << QSize(1920, 1024) << 2.0;
    }
    void cardFits()
    {
        QFETCH(QSize, size);
        QFETCH(qreal, ratio);
        MakeScreen(size);
        store->SetTrainerSettings(Custom(DifficultyPreset(0), 0));
        Show(0, false);
        QTRY_COMPARE(dialog->Opacity(), 1.0);
        QCOMPARE(dialog->size(), size);
        const QWidget* card = Part<QWidget>("card");
        QVERIFY(dialog->rect().contains(card->geometry()));
        for (QWidget* part : card->findChildren<QWidget*>())
            if (part->isVisible())
                QVERIFY2(
                    card->rect().contains(part->geometry().translated(part->parentWidget()->mapTo(card, {}))),
                    qPrintable(part->objectName()));
        // A level picture is drawn whole and sharp: its pixels at the ratio asked for.
        QImage picture(size * ratio, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::black);
        dialog->render(&picture);
        const QString pictures = qEnvironmentVariable("CANTORELA_PICTURE_DIR");
        if (!pictures.isEmpty())
            picture.save(QDir(pictures).filePath(QStringLiteral("difficulty_dialog_%1x%2@%3.png")
                                                     .arg(size.width())
                                                     .arg(size.height())
                                                     .arg(ratio)));
        // The level pictures are there: their white numbers show through the dimmed screen.
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
