// The section end dialog over a stand-in exercise screen.

#include "../common/screen_parts.h"
#include "ui/dialogs/section_end_dialog.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

// The colour family of a pixel or a text colour.
QString Family(const QColor& colour)
{
    const int r = colour.red(), g = colour.green(), b = colour.blue();
    return r > 200 && g > 200 && b > 200    ? "white"
           : g > r + 60 && g > b           ? "green"
           : r > g + 60 && r > b + 60      ? "red"
           : r < 120 && g < 120 && b < 120 ? "dark"
                                           : "other";
}

} // namespace

class TestSectionEndDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    QWidget* screen = nullptr;
    QHash<QString, QString> verdictOfFamily; // across the rows of finalLook

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

    static QLabel* Percentage(UI::SectionEndDialog* dialog) { return Part<QLabel>(dialog, "percentage"); }

    // Opened for a section end and counted up to the end.
    static bool Finished(UI::SectionEndDialog* dialog)
    {
        QSignalSpy timeout(dialog, &UI::SectionEndDialog::sectionEndTimeout);
        dialog->showForSectionEnd();
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
        return !dialog->isFadingOut() && (!dialog->isVisible() || dialog->opacity() == 1.0);
    }

private Q_SLOTS:
    void initTestCase() { UseProgramLook(); }

    void init() { MakeScreen(QSize(900, 600)); }
    void cleanup() { window.reset(); }

    // Counted up to the score (also restarted mid-count); green from 90 % rounded down, red below, neutral
    // without answers, each with its read-out words; nothing cut off on small to large screens.
    void finalLook_data()
    {
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("right");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("family"); // of the percentage's text and of the card
        QTest::addColumn<bool>("restarted");
        QTest::addColumn<QSize>("screenSize");
        const QSize usual(900, 600);
        QTest::newRow("90 exactly") << 10 << 90 << "90%" << "green" << false << usual;
        QTest::newRow("89 exactly") << 11 << 89 << "89%" << "red" << false << usual;
        QTest::newRow("89.9 truncated") << 101 << 899 << "89%" << "red" << false << usual;
        QTest::newRow("all right") << 0 << 1 << "100%" << "green" << false << usual;
        QTest::newRow("all wrong") << 3 << 0 << "0%" << "red" << false << usual;
        QTest::newRow("no answers") << 0 << 0 << "0%" << "white" << false << usual;
        QTest::newRow("new section end midway") << 1 << 8 << "88%" << "red" << true << usual;
        QTest::newRow("widest, 1920x1080") << 0 << 12 << "100%" << "green" << false << QSize(1920, 1080);
        QTest::newRow("widest, 1366x768") << 0 << 12 << "100%" << "green" << false << QSize(1366, 768);
        QTest::newRow("widest, small screen") << 0 << 12 << "100%" << "green" << false << QSize(320, 200);
    }
    void finalLook()
    {
        QFETCH(int, wrong);
        QFETCH(int, right);
        QFETCH(QString, shown);
        QFETCH(QString, family);
        QFETCH(bool, restarted);
        QFETCH(QSize, screenSize);
        MakeScreen(screenSize);
        UI::SectionEndDialog* dialog = Dialog(wrong, right);
        if (restarted) {
            QVERIFY(Finished(dialog));
            dialog->setScore(5, 5);
            dialog->showForSectionEnd();
            QVERIFY(InCountUp(dialog));
            dialog->setScore(wrong, right);
        }
        QList<int> ticks;   // what each tick leaves (this connection runs after the dialog's own)
        QString readAtOpen; // what a screen reader hears as the count-up begins
        connect(Part<QTimer>(dialog, "countUpTimer"), &QTimer::timeout, this, [&] {
            ticks << Percentage(dialog)->text().chopped(1).toInt();
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(dialog);
            if (ticks.size() == 1)
                readAtOpen = read->text(QAccessible::Name) + ' ' + read->text(QAccessible::Description);
        });
        QVERIFY(Finished(dialog));
        QLabel* percentage = Percentage(dialog);
        // 20 rising steps, from 0 through the middle to the score.
        QVERIFY(ticks.size() == 20 && std::is_sorted(ticks.begin(), ticks.end()) && ticks.first() == 0 &&
                QString::number(ticks.last()) + '%' == shown &&
                (ticks.last() < 2 || (ticks.at(10) > 0 && ticks.at(10) < ticks.last())));
        QVERIFY(!Part<QTimer>(dialog, "countUpTimer")->isActive());
        QCOMPARE(Family(percentage->palette().color(percentage->foregroundRole())), family);
        QTRY_VERIFY(Settled(dialog));
        const QImage card = Part(dialog, "background")->grab().toImage();
        QCOMPARE(Family(card.pixelColor(int(1.5 * card.devicePixelRatio()), card.height() / 2)),
                 family == QLatin1String("white") ? QStringLiteral("dark") : family);
        // The dialog covers the screen, its card centred, every part whole, inside the card and
        // clear of the others.
        QVERIFY(dialog->geometry().contains(QRect(screen->mapToGlobal(QPoint(0, 0)), screen->size())));
        const QRect cardPlace = Part(dialog, "background")->geometry();
        QVERIFY(dialog->rect().contains(cardPlace));
        QCOMPARE(cardPlace.center().x(), dialog->rect().center().x());
        QVector<QRect> placed;
        for (const char* name :
             {"caption", "percentage", "verdict", "progress", "Continue", "Repeat", "ReviewStats"}) {
            QWidget* part = Part(dialog, name);
            const QRect rect(part->mapTo(dialog, QPoint(0, 0)), part->size());
            QVERIFY2(part->isVisible() && cardPlace.contains(rect), name);
            for (const QRect& other : placed)
                QVERIFY2(!other.intersects(rect), name);
            placed << rect;
            if (qobject_cast<QLabel*>(part) || qobject_cast<QPushButton*>(part))
                QVERIFY2(part->size().expandedTo(part->sizeHint()) == part->size(), name);
        }

        const QString verdict = Part<QLabel>(dialog, "verdict")->text();
        QVERIFY(!verdict.isEmpty());
        QCOMPARE(verdictOfFamily.key(verdict, family), family);
        QCOMPARE(verdictOfFamily.value(family, verdict), verdict);
        verdictOfFamily.insert(family, verdict);
        QVERIFY2(percentage->accessibleName().contains(shown) &&
                     percentage->accessibleName().contains(verdict),
                 qPrintable(percentage->accessibleName()));
        // A screen reader hears the whole score as the dialog opens, then the button in focus.
        for (const QString& part :
             {shown, verdict, QStringLiteral("%1 right").arg(right), QStringLiteral("%1 wrong").arg(wrong)})
            QVERIFY2(readAtOpen.contains(part), qPrintable(readAtOpen));
        QCOMPARE(dialog->focusWidget(), Part(dialog, "Continue"));
        dialog->clearScore();
        QVERIFY(Part<QLabel>(dialog, "verdict")->text().isEmpty());
        QVERIFY(!percentage->accessibleName().contains(verdict));
    }

    // Each choice is taken once and stops the count-up; leaving (Escape, Close keys, Continue) is
    // taken at once with the fade 300 ms later, Repeat and Review statistics fade out first.
    void choiceTakenOnce_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("button"); // clicked when there are no keys
        QTest::addColumn<int>("signal");     // 0 Continue, 1 Repeat, 2 ReviewStats
        QTest::newRow("Escape") << QKeySequence(Qt::Key_Escape) << "" << 0;
        QTest::newRow("Close key sequence")
            << QKeySequence::keyBindings(QKeySequence::Close).value(0) << "" << 0;
        QTest::newRow("Continue") << QKeySequence() << "Continue" << 0;
        QTest::newRow("Repeat") << QKeySequence() << "Repeat" << 1;
        QTest::newRow("Review statistics") << QKeySequence() << "ReviewStats" << 2;
    }
    void choiceTakenOnce()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, button);
        QFETCH(int, signal);
        UI::SectionEndDialog* dialog = Dialog(1, 9);
        QList<QPair<int, bool>> taken; // each choice taken, and whether the fade-out had begun
        int index = 0;
        for (auto choice : {&UI::SectionEndDialog::continueRequested, &UI::SectionEndDialog::repeatRequested,
                            &UI::SectionEndDialog::reviewStatsRequested})
            connect(dialog, choice, this, [&, i = index++] { taken.append({i, dialog->isFadingOut()}); });
        QSignalSpy closed(dialog, &UI::BaseDialog::dialogClosed);
        QSignalSpy timeout(dialog, &UI::SectionEndDialog::sectionEndTimeout);
        dialog->showForSectionEnd();
        QVERIFY(InCountUp(dialog));
        QElapsedTimer elapsed;
        elapsed.start();
        for (int time = 0; time < 2; ++time) {
            if (keys.isEmpty())
                Click(Part<QPushButton>(dialog, button));
            else
                QTest::keySequence(Part(dialog, "Repeat"), keys);
            if (time == 0 && signal == 0) {
                QCOMPARE(Percentage(dialog)->text(), QStringLiteral("0%"));
                QVERIFY(dialog->isVisible() && !dialog->isFadingOut());
            }
        }
        QCOMPARE(taken, (QList<QPair<int, bool>>{{signal, signal != 0}}));
        QTRY_VERIFY(dialog->isFadingOut());
        QVERIFY2(signal != 0 || elapsed.elapsed() >= 300, qPrintable(QString::number(elapsed.elapsed())));
        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(taken.size(), 1);
        QVERIFY(!Part<QTimer>(dialog, "countUpTimer")->isActive());
        QVERIFY(timeout.isEmpty());
    }

    // The settings and other screens hide it, home and the exercise keep it, back from the
    // settings it comes back.
    void screenChanges_data()
    {
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("changes"); // "current<previous", E the exercise, S the general
        QTest::addColumn<bool>("visible");    // settings, H home, A about, N the note settings
        QTest::newRow("settings hide it") << "section end" << "S<E" << false;
        QTest::newRow("another screen hides it") << "section end" << "A<E" << false;
        QTest::newRow("settings from another screen hide it") << "section end" << "N<A" << false;
        QTest::newRow("home keeps it") << "section end" << "H<E" << true;
        QTest::newRow("exercise keeps it") << "section end" << "E<H" << true;
        QTest::newRow("back from settings") << "section end" << "S<E E<S" << true;
        QTest::newRow("settings then home") << "section end" << "S<E H<S" << false;
        QTest::newRow("settings then another screen") << "section end" << "S<E A<S" << false;
        QTest::newRow("settings twice") << "section end" << "S<E E<S S<E" << false;
        QTest::newRow("not for a section end") << "plain" << "S<E" << true;
        QTest::newRow("never shown") << "none" << "E<S" << false;
        QTest::newRow("after Continue") << "continued" << "H<E E<H" << false;
    }
    void screenChanges()
    {
        QFETCH(QString, opening);
        QFETCH(QString, changes);
        UI::SectionEndDialog* dialog = Dialog(1, 9);
        if (opening == QLatin1String("plain"))
            dialog->show();
        else if (opening != QLatin1String("none"))
            dialog->showForSectionEnd();
        if (opening == QLatin1String("continued")) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            QTRY_VERIFY(!dialog->isVisible());
        }
        QTRY_VERIFY(Settled(dialog));
        const QHash<QChar, QString> names = {{'E', "console_exercise_control"}, {'S', "general_settings"},
                                             {'H', "ex_block_view_control"}, {'A', "ex_about"},
                                             {'N', "note_settings"}};
        for (const QString& change : changes.split(' ')) {
            dialog->screenChangeSlot(names[change[0]], names[change[2]]);
            QTRY_VERIFY(Settled(dialog));
        }
        QTEST(dialog->isVisible(), "visible");
    }
};

QTEST_MAIN(TestSectionEndDialog)
#include "test_section_end_dialog.moc"
