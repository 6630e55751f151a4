// The section end dialog: the count-up to the final score in 20 steps, the look chosen by the
// score at its boundaries, the result also in words, the choices (Escape and the Close key
// sequence leave the lesson and the dialog fades out 300 ms later; Repeat and Review statistics
// close it first and are taken once), the screen changes that hide and bring back the dialog, and
// a layout that keeps every control whole from a small screen to a large one.
// CANTORELA_PICTURE_DIR, when set, receives the dialog's pictures (run with QT_SCALE_FACTOR=2 for
// the ratio-2 ones).

#include "ui/controls/section_end_progress.h"
#include "ui/interface_fonts.h"
#include "ui/section_end_dialog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// The colour family of a pixel or a text colour.
QString Family(const QColor& colour)
{
    const int r = colour.red(), g = colour.green(), b = colour.blue();
    if (r > 200 && g > 200 && b > 200)
        return QStringLiteral("white");
    if (g > r + 60 && g > b)
        return QStringLiteral("green");
    if (r > g + 60 && r > b + 60)
        return QStringLiteral("red");
    if (r < 120 && g < 120 && b < 120)
        return QStringLiteral("dark");
    return QStringLiteral("other");
}

} // namespace

class TestSectionEndDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    QWidget* screen = nullptr;

    void MakeScreen(const QSize& size)
    {
        window = std::make_unique<QWidget>();
        window->setGeometry(QRect(QPoint(0, 0), size));
        screen = new QWidget(window.get());
        screen->setObjectName(QStringLiteral("console_exercise_control"));
        screen->setGeometry(window->rect());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    UI::SectionEndDialog* Dialog(int wrong, int right)
    {
        auto* dialog = new UI::SectionEndDialog(screen);
        dialog->setScore(wrong, right);
        return dialog;
    }

    template <typename T> static T* Part(UI::SectionEndDialog* dialog, const char* name)
    {
        T* part = dialog->findChild<T*>(QLatin1String(name));
        if (!part)
            qFatal("the dialog has no %s", name);
        return part;
    }

    static QLabel* Percentage(UI::SectionEndDialog* dialog) { return Part<QLabel>(dialog, "percentage"); }

    // Opened for a section end and counted up to the end.
    static bool Finished(UI::SectionEndDialog* dialog)
    {
        QSignalSpy timeout(dialog, &UI::SectionEndDialog::SectionEndTimeout);
        dialog->ShowForSectionEnd();
        return timeout.wait(5000) && timeout.count() == 1;
    }

    // Returns after the second of the 20 ticks of a count-up just started: in its middle.
    static bool InCountUp(UI::SectionEndDialog* dialog)
    {
        QSignalSpy ticks(Part<QTimer>(dialog, "countUpTimer"), &QTimer::timeout);
        return ticks.wait(5000) && (ticks.count() >= 2 || ticks.wait(5000)) &&
               Percentage(dialog)->text() != QStringLiteral("0%");
    }

    static bool Settled(UI::SectionEndDialog* dialog)
    {
        return !dialog->IsFadingOut() && (!dialog->isVisible() || dialog->Opacity() == 1.0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        Q_INIT_RESOURCE(assets);
        UI::InterfaceFonts::Register();
    }

    void init() { MakeScreen(QSize(900, 600)); }
    void cleanup() { window.reset(); }

    void finalLook_data()
    {
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("right");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("numberStyle");
        QTest::addColumn<QByteArray>("background");
        QTest::addColumn<QString>("textFamily");
        QTest::addColumn<QString>("cardFamily");
        QTest::newRow("90") << 1 << 9 << "90%" << QByteArray("CorrectNumberStyle") << QByteArray("green")
                            << "green"
                            << "green";
        QTest::newRow("88") << 1 << 8 << "88%" << QByteArray("WrongNumberStyle") << QByteArray("red") << "red"
                            << "red";
        QTest::newRow("0") << 0 << 0 << "0%" << QByteArray("RegularNumberStyle") << QByteArray("white")
                           << "white"
                           << "dark";
        QTest::newRow("all wrong") << 3 << 0 << "0%" << QByteArray("WrongNumberStyle") << QByteArray("red")
                                   << "red"
                                   << "red";
        QTest::newRow("all right") << 0 << 1 << "100%" << QByteArray("CorrectNumberStyle")
                                   << QByteArray("green") << "green"
                                   << "green";
        QTest::newRow("89 exactly") << 11 << 89 << "89%" << QByteArray("WrongNumberStyle")
                                    << QByteArray("red") << "red"
                                    << "red";
        QTest::newRow("89.9 truncated")
            << 101 << 899 << "89%" << QByteArray("WrongNumberStyle") << QByteArray("red") << "red"
            << "red";
        QTest::newRow("90 exactly") << 10 << 90 << "90%" << QByteArray("CorrectNumberStyle")
                                    << QByteArray("green") << "green"
                                    << "green";
    }

    void finalLook()
    {
        QFETCH(int, wrong);
        QFETCH(int, right);
        QFETCH(QString, shown);
        QFETCH(QByteArray, numberStyle);
        QFETCH(QByteArray, background);
        QFETCH(QString, textFamily);
        QFETCH(QString, cardFamily);

        UI::SectionEndDialog* dialog = Dialog(wrong, right);
        QVERIFY(Finished(dialog));
        QLabel* percentage = Percentage(dialog);
        QCOMPARE(percentage->text(), shown);

        // The look is the form's, and it is what shows.
        auto* card = Part<QWidget>(dialog, "background");
        QCOMPARE(percentage->styleSheet(), dialog->property(numberStyle.constData()).toString());
        QCOMPARE(card->styleSheet(), dialog->property(background.constData()).toString());
        QCOMPARE(Family(percentage->palette().color(percentage->foregroundRole())), textFamily);
        QTRY_VERIFY(Settled(dialog));
        const QImage cardPicture = card->grab().toImage();
        const double ratio = cardPicture.devicePixelRatio();
        QCOMPARE(Family(cardPicture.pixelColor(int(1.5 * ratio), cardPicture.height() / 2)), cardFamily);

        // The bar holds the plain counts.
        auto* bar = Part<SectionEndProgress>(dialog, "progress");
        QCOMPARE(bar->Right() / bar->Divisor(), right);
        QCOMPARE(bar->Wrong() / bar->Divisor(), wrong);

        const QString dir = qEnvironmentVariable("CANTORELA_PICTURE_DIR");
        if (!dir.isEmpty()) {
            const QString name = QStringLiteral("section_end_%1%2.png")
                                     .arg(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_'))
                                     .arg(ratio > 1 ? QStringLiteral("@2x") : QString());
            dialog->grab().save(QDir(dir).filePath(name));
        }
    }

    void countsUpInSteps()
    {
        UI::SectionEndDialog* dialog = Dialog(1, 9);
        auto* timer = Part<QTimer>(dialog, "countUpTimer");
        QLabel* percentage = Percentage(dialog);
        // What each tick leaves on the label (this connection runs after the dialog's own).
        QStringList shown;
        connect(timer, &QTimer::timeout, this, [&] { shown << percentage->text(); });
        QVERIFY(Finished(dialog));

        QCOMPARE(shown.size(), 20);
        QCOMPARE(shown.last(), QStringLiteral("90%"));
        int previous = 0;
        QSet<int> values;
        for (const QString& text : shown) {
            QVERIFY2(text.endsWith('%'), qPrintable(text));
            const int value = text.chopped(1).toInt();
            QVERIFY2(value >= previous, qPrintable(shown.join(' ')));
            previous = value;
            values.insert(value);
        }
        // Counts through the values, not jumping to the end.
        QVERIFY2(values.size() >= 15, qPrintable(shown.join(' ')));
        QVERIFY(!timer->isActive());

        // A new section end counts up again from 0, also when it comes during a count-up.
        dialog->setScore(1, 8);
        dialog->ShowForSectionEnd();
        QVERIFY(InCountUp(dialog));
        shown.clear();
        QVERIFY(Finished(dialog));
        QCOMPARE(shown.size(), 20);
        QCOMPARE(shown.first(), QStringLiteral("0%"));
        QCOMPARE(shown.last(), QStringLiteral("88%"));
    }

    void resultInWords()
    {
        UI::SectionEndDialog* dialog = Dialog(0, 0);
        auto* verdict = Part<QLabel>(dialog, "verdict");
        QLabel* percentage = Percentage(dialog);
        QSet<QString> verdicts;
        for (auto [wrong, right] : {std::pair(1, 9), std::pair(1, 8), std::pair(0, 0)}) {
            dialog->setScore(wrong, right);
            QVERIFY(Finished(dialog));
            QVERIFY(!verdict->text().isEmpty());
            verdicts.insert(verdict->text());
            // A screen reader reads the score and the result from the percentage.
            QVERIFY2(percentage->accessibleName().contains(percentage->text()),
                     qPrintable(percentage->accessibleName()));
            QVERIFY2(percentage->accessibleName().contains(verdict->text()),
                     qPrintable(percentage->accessibleName()));
        }
        QCOMPARE(verdicts.size(), 3);

        // A cleared score says no result.
        dialog->clearScore();
        QVERIFY(verdict->text().isEmpty());
        QVERIFY(!percentage->accessibleName().contains(verdicts.values().first()));
    }

    void continueLeavesAndFadesLater_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("Escape") << QKeySequence(Qt::Key_Escape);
        QTest::newRow("Close key sequence") << QKeySequence::keyBindings(QKeySequence::Close).value(0);
        QTest::newRow("Continue button") << QKeySequence();
    }

    void continueLeavesAndFadesLater()
    {
        QFETCH(QKeySequence, keys);
        UI::SectionEndDialog* dialog = Dialog(1, 9);
        QSignalSpy leave(dialog, &UI::SectionEndDialog::Continue);
        QSignalSpy repeat(dialog, &UI::SectionEndDialog::Repeat);
        QSignalSpy closed(dialog, &UI::BaseDialog::DialogClosed);
        QSignalSpy timeout(dialog, &UI::SectionEndDialog::SectionEndTimeout);
        dialog->ShowForSectionEnd();
        QLabel* percentage = Percentage(dialog);
        // In the middle of the count-up.
        QVERIFY(InCountUp(dialog));
        QVERIFY(timeout.isEmpty());

        QElapsedTimer elapsed;
        elapsed.start();
        auto* focused = Part<QPushButton>(dialog, "Repeat");
        if (keys.isEmpty()) {
            auto* button = Part<QPushButton>(dialog, "Continue");
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        } else {
            // Sent to a button, the keys reach the dialog and do not press the button.
            QTest::keySequence(focused, keys);
        }
        QCOMPARE(leave.count(), 1);
        QCOMPARE(repeat.count(), 0);
        QCOMPARE(percentage->text(), QStringLiteral("0%"));
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->IsFadingOut());

        // A second request on the way out changes nothing.
        QTest::keyClick(focused, Qt::Key_Escape);
        QTRY_VERIFY(dialog->IsFadingOut());
        QVERIFY2(elapsed.elapsed() >= 300, qPrintable(QString::number(elapsed.elapsed())));
        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(leave.count(), 1);
        // The count-up stopped with the choice.
        QVERIFY(timeout.isEmpty());
        QCOMPARE(percentage->text(), QStringLiteral("0%"));
    }

    void choicesCloseFirstAndCountOnce_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Repeat") << "Repeat";
        QTest::newRow("Review statistics") << "ReviewStats";
    }

    void choicesCloseFirstAndCountOnce()
    {
        QFETCH(QString, button);
        UI::SectionEndDialog* dialog = Dialog(1, 9);
        QSignalSpy leave(dialog, &UI::SectionEndDialog::Continue);
        QSignalSpy repeat(dialog, &UI::SectionEndDialog::Repeat);
        QSignalSpy review(dialog, &UI::SectionEndDialog::ReviewStats);
        QSignalSpy closed(dialog, &UI::BaseDialog::DialogClosed);
        QSignalSpy timeout(dialog, &UI::SectionEndDialog::SectionEndTimeout);
        QList<bool> closingWhenTaken;
        for (auto signal : {&UI::SectionEndDialog::Repeat, &UI::SectionEndDialog::ReviewStats})
            connect(dialog, signal, this, [&] { closingWhenTaken << dialog->IsFadingOut(); });

        dialog->ShowForSectionEnd();
        QVERIFY(InCountUp(dialog));
        auto* pressed = Part<QPushButton>(dialog, button.toLatin1().constData());
        QTest::mouseClick(pressed, Qt::LeftButton, {}, pressed->rect().center());
        QTest::mouseClick(pressed, Qt::LeftButton, {}, pressed->rect().center());
        QCOMPARE(closingWhenTaken, QList<bool>{true});
        QCOMPARE(repeat.count() + review.count(), 1);
        QCOMPARE((button == QLatin1String("Repeat") ? repeat : review).count(), 1);
        QCOMPARE(leave.count(), 0);

        QTRY_COMPARE(closed.count(), 1);
        QCOMPARE(repeat.count() + review.count(), 1);
        QVERIFY(!Part<QTimer>(dialog, "countUpTimer")->isActive());
        QVERIFY(timeout.isEmpty());
    }

    void screenChanges_data()
    {
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QStringList>("changes"); // "current<previous"
        QTest::addColumn<bool>("visible");
        const QString toSettings = QStringLiteral("general_settings<console_exercise_control");
        const QString settingsToExercise = QStringLiteral("console_exercise_control<general_settings");
        QTest::newRow("settings hide it") << "section end" << QStringList{toSettings} << false;
        QTest::newRow("another screen hides it")
            << "section end" << QStringList{"ex_about<console_exercise_control"} << false;
        QTest::newRow("settings from another screen hide it")
            << "section end" << QStringList{"note_settings<ex_about"} << false;
        QTest::newRow("home keeps it")
            << "section end" << QStringList{"ex_block_view_control<console_exercise_control"} << true;
        QTest::newRow("exercise keeps it")
            << "section end" << QStringList{"console_exercise_control<ex_block_view_control"} << true;
        QTest::newRow("back from settings")
            << "section end" << QStringList{toSettings, settingsToExercise} << true;
        QTest::newRow("settings then home")
            << "section end" << QStringList{toSettings, "ex_block_view_control<general_settings"} << false;
        QTest::newRow("settings then another screen")
            << "section end" << QStringList{toSettings, "ex_about<general_settings"} << false;
        QTest::newRow("settings twice")
            << "section end" << QStringList{toSettings, settingsToExercise, toSettings} << false;
        QTest::newRow("not for a section end") << "plain" << QStringList{toSettings} << true;
        QTest::newRow("never shown") << "none" << QStringList{settingsToExercise} << false;
        QTest::newRow("after Continue") << "continued"
                                        << QStringList{"ex_block_view_control<console_exercise_control",
                                                       "console_exercise_control<ex_block_view_control"}
                                        << false;
    }

    void screenChanges()
    {
        QFETCH(QString, opening);
        QFETCH(QStringList, changes);
        QFETCH(bool, visible);
        UI::SectionEndDialog* dialog = Dialog(1, 9);
        if (opening == QLatin1String("plain"))
            dialog->show();
        else if (opening != QLatin1String("none"))
            dialog->ShowForSectionEnd();
        if (opening == QLatin1String("continued")) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            QTRY_VERIFY(!dialog->isVisible());
        }
        QTRY_VERIFY(Settled(dialog));

        for (const QString& change : changes) {
            const QStringList names = change.split('<');
            dialog->screenChangeSlot(names.at(0), names.at(1));
            QTRY_VERIFY(Settled(dialog));
        }
        QCOMPARE(dialog->isVisible(), visible);
    }

    void nothingCutOff_data()
    {
        QTest::addColumn<QSize>("screenSize");
        QTest::newRow("1920x1080") << QSize(1920, 1080);
        QTest::newRow("1366x768") << QSize(1366, 768);
        QTest::newRow("small") << QSize(320, 200);
    }

    void nothingCutOff()
    {
        QFETCH(QSize, screenSize);
        MakeScreen(screenSize);
        // The widest score.
        UI::SectionEndDialog* dialog = Dialog(0, 12);
        QVERIFY(Finished(dialog));
        QTRY_VERIFY(Settled(dialog));

        // It covers the screen, growing beyond a screen too small for it.
        const QRect covered(screen->mapToGlobal(QPoint(0, 0)), screen->size());
        QVERIFY(dialog->geometry().contains(covered));
        const QRect card(Part<QWidget>(dialog, "background")->geometry());
        QVERIFY(dialog->rect().contains(card));
        QCOMPARE(card.center().x(), dialog->rect().center().x());
        // The card's picture is drawn at its own size, so that it stays sharp at any ratio.
        QCOMPARE(card.size(), QPixmap(QStringLiteral(":/PIX/pixmap/green_bg.png")).size());

        QVector<QRect> placed;
        for (const char* name :
             {"caption", "percentage", "verdict", "progress", "Continue", "Repeat", "ReviewStats"}) {
            auto* part = Part<QWidget>(dialog, name);
            QVERIFY2(part->isVisible(), name);
            const QRect rect(part->mapTo(dialog, QPoint(0, 0)), part->size());
            QVERIFY2(card.contains(rect), name);
            for (const QRect& other : placed)
                QVERIFY2(!other.intersects(rect), name);
            placed << rect;
            // Texts are whole: no part is squeezed below what its text needs.
            if (qobject_cast<QLabel*>(part) || qobject_cast<QPushButton*>(part)) {
                QVERIFY2(part->width() >= part->sizeHint().width(), name);
                QVERIFY2(part->height() >= part->sizeHint().height(), name);
            }
        }

        const QString dir = qEnvironmentVariable("CANTORELA_PICTURE_DIR");
        if (!dir.isEmpty())
            dialog->grab().save(QDir(dir).filePath(QStringLiteral("section_end_on_%1%2.png")
                                                       .arg(QLatin1String(QTest::currentDataTag()))
                                                       .arg(dialog->devicePixelRatioF() > 1 ? "@2x" : "")));
    }
};

QTEST_MAIN(TestSectionEndDialog)
#include "test_section_end_dialog.moc"
