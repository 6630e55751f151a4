// The home screen on a real catalogue and settings store in temporary directories: the history
// sums on the bars and when they are read again, the background by screen height, the lesson
// starts with and without the difficulty dialog, the keyboard, and blocks that fit the screen.
// CANTORELA_PICTURE_DIR, when set, receives pictures of the screen.

#include "core/exercise/exercise_catalog.h"
#include "core/exercise/exercise_statistics.h"
#include "ui/controls/block_view_control.h"
#include "ui/controls/progress.h"
#include "ui/difficulty_level_dialog.h"
#include "ui/interface_fonts.h"
#include "ui/settings_store.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <optional>

using Core::StatisticsRecord;

Q_DECLARE_METATYPE(std::vector<StatisticsRecord>)

class TestBlockViewControl : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Core::SettingsStore> store;
    std::shared_ptr<Core::ExerciseCatalog> catalog;
    std::unique_ptr<UI::BlockViewControl> home;
    std::vector<bool> quizModes;

    void MakeHome(const QSize& size = QSize(1280, 664))
    {
        home.reset();
        home = std::make_unique<UI::BlockViewControl>(catalog, store.get(),
                                                      [this](bool quiz) { quizModes.push_back(quiz); });
        home->resize(size);
    }

    template <typename T = QPushButton> T* Part(const QString& name) const
    {
        T* part = home->findChild<T*>(name);
        if (!part)
            qFatal("the home screen has no %s", qPrintable(name));
        return part;
    }

    std::pair<int, int> Bar(int trainer) const
    {
        const Progress* bar = Part<Progress>(QStringLiteral("Progress%1").arg(trainer + 1));
        return {bar->Right(), bar->Wrong()};
    }

    void ShowAgain()
    {
        home->hide();
        home->show();
    }

    static void Click(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        UI::InterfaceFonts::Register();
        // The application's own style, as the program sets it.
        qApp->setStyleSheet(QStringLiteral("file:///:css/global.css"));
        qRegisterMetaType<size_t>("size_t");
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
        QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        qputenv("HOME", dir->path().toUtf8());
        qputenv("XDG_DATA_HOME", dir->filePath(QStringLiteral("data")).toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir->filePath(QStringLiteral("config")));
        store = std::make_unique<Core::SettingsStore>();
        catalog = std::make_shared<Core::ExerciseCatalog>();
        QVERIFY(catalog->GetStatistics()->HistoryPath().startsWith(dir->path()));
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
            catalog.reset();
            catalog = std::make_shared<Core::ExerciseCatalog>();
            for (int trainer = 0; trainer < 3; ++trainer)
                catalog->GetStatistics()->ClearLocal(trainer);
            MakeHome();
        }
        home->show();
        for (int trainer = 0; trainer < 3; ++trainer)
            QCOMPARE(Bar(trainer), std::make_pair(sums[2 * trainer], sums[2 * trainer + 1]));
    }

    void readAgainOnlyWhenMarked()
    {
        const auto statistics = catalog->GetStatistics();
        statistics->Add({60, 0, 0, 2, 1});
        home->show();
        QCOMPARE(Bar(0), std::make_pair(2, 1));
        statistics->Add({60, 0, 1, 5, 0});
        ShowAgain();
        QCOMPARE(Bar(0), std::make_pair(2, 1));
        home->MarkForRefresh();
        QCOMPARE(Bar(0), std::make_pair(2, 1)); // read when shown, not before
        ShowAgain();
        QCOMPARE(Bar(0), std::make_pair(7, 1));
    }

    void backgroundByScreenHeight_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("big");
        QTest::newRow("768") << 768 << false;
        QTest::newRow("900") << 900 << false;
        QTest::newRow("901") << 901 << true;
        QTest::newRow("2160") << 2160 << true;
    }
    void backgroundByScreenHeight()
    {
        QFETCH(int, height);
        QFETCH(bool, big);
        const QString name = UI::BlockViewControl::BackgroundFor(height);
        QCOMPARE(name.endsWith(QLatin1String("_big.png")), big);
        QVERIFY(!QPixmap(name).isNull());
    }

    void startingLessons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("askLevel"); // the general setting
        QTest::addColumn<int>("trainer");
        QTest::addColumn<bool>("quiz");
        QTest::addColumn<bool>("dialogShown");
        QTest::newRow("learn, ask") << "Learn1" << true << 0 << false << true;
        QTest::newRow("learn, do not ask") << "Learn2" << false << 1 << false << false;
        QTest::newRow("quiz, ask") << "Quiz3" << true << 2 << true << true;
        QTest::newRow("quiz, do not ask") << "Quiz1" << false << 0 << true << true;
    }
    void startingLessons()
    {
        QFETCH(QString, button);
        QFETCH(bool, askLevel);
        QFETCH(int, trainer);
        QFETCH(bool, quiz);
        QFETCH(bool, dialogShown);
        Core::GeneralSettings general = store->GetGeneralSettings();
        general.showDifficultyDialog = askLevel;
        store->SetGeneralSettings(general);
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
        QSignalSpy open(home.get(), &UI::BlockViewControl::OpenExercise);
        Click(Part(button));
        QCOMPARE(quizModes, std::vector<bool>{quiz});
        UI::DifficultyLevelDialog* dialog = home->GetDifficultyDialog(trainer);
        QCOMPARE(dialog && dialog->isVisible(), dialogShown);
        if (!dialogShown) {
            QCOMPARE(open.count(), 1);
            QCOMPARE(open.at(0).at(0).value<size_t>(), size_t(trainer));
            QCOMPARE(open.at(0).at(1).toBool(), quiz);
            return;
        }
        QCOMPARE(open.count(), 0);
        QCOMPARE(dialog->IsQuizForm(), quiz);
        QCOMPARE(dialog->findChild<QCheckBox*>()->isVisible(), !quiz);
        // Choosing a level opens the lesson, once.
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        Click(dialog->findChild<QPushButton*>(QStringLiteral("Level2")));
        QCOMPARE(open.count(), 1);
        QCOMPARE(open.at(0).at(0).value<size_t>(), size_t(trainer));
        QCOMPARE(open.at(0).at(1).toBool(), quiz);
        QTRY_VERIFY(!dialog->isVisible());
    }

    void keyboard()
    {
        home->show();
        QVERIFY(QTest::qWaitForWindowActive(home.get()));
        Part(QStringLiteral("Learn1"))->setFocus();
        QStringList names{QApplication::focusWidget()->accessibleName()};
        for (int step = 0; step < 5; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            names << QApplication::focusWidget()->accessibleName();
        }
        const QStringList expected{"Learn reading notes",
                                   "Quiz yourself on reading notes",
                                   "Learn recognizing notes by ear",
                                   "Quiz yourself on recognizing notes by ear",
                                   "Learn various music symbols",
                                   "Quiz yourself on music symbols"};
        QCOMPARE(names, expected);
        // Enter on "Quiz yourself on music symbols" and Space on "Learn reading notes".
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(home->GetDifficultyDialog(2) && home->GetDifficultyDialog(2)->isVisible());
        Core::GeneralSettings general = store->GetGeneralSettings();
        general.showDifficultyDialog = false;
        store->SetGeneralSettings(general);
        QSignalSpy open(home.get(), &UI::BlockViewControl::OpenExercise);
        QTest::keyClick(Part(QStringLiteral("Learn1")), Qt::Key_Space);
        QCOMPARE(open.count(), 1);
    }

    void blocksFit_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("ratio");
        // The main window's central area below the tool bar.
        QTest::newRow("1280x720") << QSize(1280, 664) << 1.0;
        QTest::newRow("1366x768") << QSize(1366, 712) << 1.0;
        QTest::newRow("1920x1080") << QSize(1920, 1024) << 1.0;
        QTest::newRow("3840x2160 at ratio 2") << QSize(1920, 1024) << 2.0;
        QTest::newRow("tall window") << QSize(800, 1000) << 1.0;
    }
    void blocksFit()
    {
        QFETCH(QSize, size);
        QFETCH(qreal, ratio);
        catalog->GetStatistics()->Add({60, 0, 0, 37, 12});
        catalog->GetStatistics()->Add({60, 2, 0, 3, 9});
        MakeHome(size);
        home->show();
        QVERIFY(QTest::qWaitForWindowExposed(home.get()));
        QRect previous;
        for (int trainer = 1; trainer <= 3; ++trainer) {
            QRect block;
            for (const char* part : {"Title", "Description", "Caption", "Learn", "Quiz", "Progress"}) {
                const QWidget* widget = Part<QWidget>(QStringLiteral("%1%2").arg(part).arg(trainer));
                QVERIFY2(home->rect().contains(widget->geometry()), part);
                block |= widget->geometry();
                // Texts are whole on one line.
                QString text;
                if (auto* label = qobject_cast<const QLabel*>(widget))
                    text = label->text();
                else if (auto* button = qobject_cast<const QPushButton*>(widget))
                    text = button->text();
                if (!text.isEmpty())
                    QVERIFY2(QFontMetrics(widget->font()).horizontalAdvance(text) <= widget->width(), part);
            }
            QVERIFY(!block.intersects(previous));
            previous = block;
        }
        QImage picture(size * ratio, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(ratio);
        home->render(&picture);
        // The blocks are shaded darker than the background beside them.
        const QWidget* title = Part<QWidget>(QStringLiteral("Title1"));
        const QPoint inBlock = QPoint(title->geometry().left() + 2, title->geometry().top()) * ratio;
        const QPoint beside =
            QPoint(title->geometry().left() - title->width() / 8, title->geometry().top()) * ratio;
        QVERIFY(qGray(picture.pixel(inBlock)) < qGray(picture.pixel(beside)));
        const QString pictures = qEnvironmentVariable("CANTORELA_PICTURE_DIR");
        if (pictures.isEmpty())
            return;
        picture.save(QDir(pictures).filePath(
            QStringLiteral("home_%1x%2@%3.png").arg(size.width()).arg(size.height()).arg(ratio)));
        // The difficulty dialog over the screen.
        Click(Part(QStringLiteral("Learn2")));
        UI::DifficultyLevelDialog* dialog = home->GetDifficultyDialog(1);
        QTRY_COMPARE(dialog->Opacity(), 1.0);
        picture.fill(Qt::black);
        dialog->render(&picture);
        picture.save(QDir(pictures).filePath(
            QStringLiteral("home_dialog_%1x%2@%3.png").arg(size.width()).arg(size.height()).arg(ratio)));
    }
};

QTEST_MAIN(TestBlockViewControl)
#include "test_block_view_control.moc"
