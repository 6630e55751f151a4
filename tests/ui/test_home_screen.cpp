// The home screen on a real catalogue and settings store in temporary directories: the history
// sums on the bars and when they are read again, the background by screen height, the lesson
// starts with and without the difficulty dialog, the keyboard, and blocks that fit the screen.

#include "../common/screen_parts.h"
#include "../common/temp_settings.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "ui/home/home_screen.h"
#include "ui/widgets/progress.h"
#include "ui/dialogs/difficulty_level_dialog.h"
#include "core/settings_store.h"

#include <QDir>
#include <QPushButton>
#include <QtTest>

#include <memory>

using Core::StatisticsRecord;

Q_DECLARE_METATYPE(std::vector<StatisticsRecord>)

class TestBlockViewControl : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempSettings> settingsDir;
    std::unique_ptr<Core::SettingsStore> store;
    std::shared_ptr<Core::ExerciseCatalog> catalog;
    std::unique_ptr<UI::HomeScreen> home;
    std::vector<bool> quizModes;

    void MakeHome(const QSize& size = QSize(1280, 664))
    {
        home.reset();
        home = std::make_unique<UI::HomeScreen>(catalog, store.get(),
                                                      [this](bool quiz) { quizModes.push_back(quiz); });
        home->resize(size);
    }

    std::pair<int, int> Bar(int trainer) const
    {
        const Progress* bar = Part<Progress>(home.get(), QStringLiteral("Progress%1").arg(trainer + 1));
        return {bar->rightCount(), bar->wrongCount()};
    }

private Q_SLOTS:
    void initTestCase()
    {
        UseProgramLook();
        qRegisterMetaType<size_t>("size_t");
    }

    void init()
    {
        settingsDir = std::make_unique<TempSettings>();
        QVERIFY(settingsDir->IsValid());
        qputenv("XDG_DATA_HOME", QDir(settingsDir->Path()).filePath(QStringLiteral("data")).toUtf8());
        store = std::make_unique<Core::SettingsStore>();
        catalog = std::make_shared<Core::ExerciseCatalog>();
        QVERIFY(catalog->GetStatistics()->HistoryPath().startsWith(settingsDir->Path()));
        quizModes.clear();
        MakeHome();
    }

    void cleanup()
    {
        home.reset();
        catalog.reset();
        store.reset();
    }

    void historySums_data()
    {
        QTest::addColumn<std::vector<StatisticsRecord>>("records");
        QTest::addColumn<bool>("restart");
        QTest::addColumn<QVector<int>>("sums"); // right and wrong of each trainer
        QTest::newRow("first-time user") << std::vector<StatisticsRecord>{} << false << QVector<int>(6, 0);
        // id, trainer, section, right, wrong
        const std::vector<StatisticsRecord> records{{60, 0, 0, 3, 1}, {61, 0, 2, 2, 0}, {7, 1, 4, 0, 5},
                                                    {7, 1, 0, 1, 1},  {60, 0, 0, 1, 1}, {3, 2, 3, 4, 0}};
        QTest::newRow("several sections") << records << false << QVector<int>{6, 2, 1, 6, 4, 0};
        // The history outlives the run: a new catalogue reads it back, and clearing the run's
        // own records leaves it.
        QTest::newRow("earlier runs") << records << true << QVector<int>{6, 2, 1, 6, 4, 0};
    }
    void historySums()
    {
        QFETCH(std::vector<StatisticsRecord>, records);
        QFETCH(bool, restart);
        QFETCH(QVector<int>, sums);
        for (const StatisticsRecord& record : records)
            catalog->GetStatistics()->Add(record);
        if (restart) {
            catalog->GetStatistics()->Save();
            home.reset();
            catalog = std::make_shared<Core::ExerciseCatalog>();
            for (int trainer = 0; trainer < 3; ++trainer)
                catalog->GetStatistics()->ClearLocal(trainer);
            MakeHome();
        }
        home->show();
        for (int trainer = 0; trainer < 3; ++trainer)
            QCOMPARE(Bar(trainer), std::make_pair(sums[2 * trainer], sums[2 * trainer + 1]));

        // A new answer shows once the screen is marked for it, when shown again and not before.
        catalog->GetStatistics()->Add({60, 0, 1, 5, 0});
        home->hide();
        home->show();
        QCOMPARE(Bar(0), std::make_pair(sums[0], sums[1]));
        home->markForRefresh();
        QCOMPARE(Bar(0), std::make_pair(sums[0], sums[1]));
        home->hide();
        home->show();
        QCOMPARE(Bar(0), std::make_pair(sums[0] + 5, sums[1]));
    }

    // A screen of 901 pixels gets the big background, one of 900 the small one: larger every way
    // than the small one, and tall enough for a screen above 900 pixels.
    void bigBackgroundAbove900Pixels()
    {
        const QPixmap big(UI::HomeScreen::backgroundFor(901)), small(UI::HomeScreen::backgroundFor(900));
        QVERIFY(!big.isNull() && !small.isNull());
        QVERIFY(big.height() > 800 && big.height() > small.height() && big.width() > small.width());
    }

    // A quiz always asks for the level; a learn lesson when the settings say so. Choosing a
    // level opens the lesson, once.
    void startingLessons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("askLevel"); // the general setting
        QTest::addColumn<int>("trainer");
        QTest::addColumn<bool>("quiz");
        QTest::addColumn<bool>("dialogShown");
        QTest::newRow("learn, ask") << "Learn1" << true << 0 << false << true;
        QTest::newRow("learn, do not ask") << "Learn2" << false << 1 << false << false;
        QTest::newRow("quiz, do not ask") << "Quiz3" << false << 2 << true << true;
    }
    void startingLessons()
    {
        QFETCH(QString, button);
        QFETCH(bool, askLevel);
        QFETCH(int, trainer);
        QFETCH(bool, quiz);
        QFETCH(bool, dialogShown);
        Core::GeneralSettings general = store->generalSettings();
        general.showDifficultyDialog = askLevel;
        store->setGeneralSettings(general);
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
        QSignalSpy open(home.get(), &UI::HomeScreen::openExercise);
        Click(Part<QPushButton>(home.get(), button));
        QCOMPARE(quizModes, std::vector<bool>{quiz});
        UI::DifficultyLevelDialog* dialog = home->existingDifficultyDialog(trainer);
        QCOMPARE(dialog && dialog->isVisible(), dialogShown);
        if (dialogShown) {
            QCOMPARE(open.count(), 0);
            QCOMPARE(dialog->isQuizForm(), quiz);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            Click(dialog->findChild<QPushButton*>(QStringLiteral("Level2")));
            QTRY_VERIFY(!dialog->isVisible());
        }
        QCOMPARE(open.count(), 1);
        QCOMPARE(open.at(0).at(0).value<size_t>(), size_t(trainer));
        QCOMPARE(open.at(0).at(1).toBool(), quiz);
    }

    // Tab goes through the six lesson buttons in reading order; Enter presses them (Space: Qt's).
    void keyboard()
    {
        home->show();
        QVERIFY(QTest::qWaitForWindowActive(home.get()));
        Part(home.get(), QStringLiteral("Learn1"))->setFocus();
        QStringList order{QApplication::focusWidget()->objectName()};
        for (int step = 0; step < 5; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, (QStringList{"Learn1", "Quiz1", "Learn2", "Quiz2", "Learn3", "Quiz3"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(home->existingDifficultyDialog(2) && home->existingDifficultyDialog(2)->isVisible());
    }

    // Sizes the whole-window check of the main window does not cover: the three blocks inside
    // the screen, apart, and shaded darker than the background beside them.
    void blocksFit_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("3840x2160 at ratio 2") << QSize(1920, 1024) << 2.0;
        QTest::newRow("tall window") << QSize(800, 1000) << 1.0;
    }
    void blocksFit()
    {
        QFETCH(QSize, size);
        QFETCH(qreal, ratio);
        catalog->GetStatistics()->Add({60, 0, 0, 37, 12});
        MakeHome(size);
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
        QRect previous;
        for (int trainer = 1; trainer <= 3; ++trainer) {
            QRect block;
            for (const char* part : {"Title", "Description", "Caption", "Learn", "Quiz", "Progress"}) {
                const QWidget* widget = Part(home.get(), QStringLiteral("%1%2").arg(part).arg(trainer));
                QVERIFY2(home->rect().contains(widget->geometry()), part);
                block |= widget->geometry();
            }
            QVERIFY(!block.intersects(previous));
            previous = block;
        }
        QImage picture(size * ratio, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(ratio);
        home->render(&picture);
        const QRect title = Part(home.get(), QStringLiteral("Title1"))->geometry();
        const QPoint inBlock = QPoint(title.left() + 2, title.top()) * ratio;
        const QPoint beside = QPoint(title.left() - title.width() / 8, title.top()) * ratio;
        QVERIFY(qGray(picture.pixel(inBlock)) < qGray(picture.pixel(beside)));
    }
};

QTEST_MAIN(TestBlockViewControl)
#include "test_home_screen.moc"
