// The fading dialog base: it lies over its parent and follows it, fades in, and whatever closes
// it (Escape, the postponed close, accept, close) fades it out first and then closes it once;
// further requests during or after the fade-out change nothing, and it may die mid-fade.

#include "../common/screen_parts.h"
#include "ui/dialogs/base_dialog.h"

class TestBaseDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    QWidget* screen = nullptr;

    // A blue dialog over the red screen, shown.
    UI::BaseDialog* ShownDialog()
    {
        auto* dialog = new UI::BaseDialog(screen);
        Painted(Qt::blue, dialog);
        dialog->show();
        return dialog;
    }

    // The colour of the dialog, as it is shown over the screen.
    static QRgb Shown(UI::BaseDialog* dialog) { return dialog->grab().toImage().pixel(5, 5) & 0xffffff; }

private Q_SLOTS:
    void init()
    {
        window = std::make_unique<QWidget>();
        window->setGeometry(40, 50, 640, 480);
        screen = new QWidget(window.get());
        screen->setGeometry(20, 60, 600, 400);
        Painted(Qt::red, screen);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    void closesAfterFadingOut_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("fadedIn"); // or still fading in when asked to close
        QTest::newRow("escape") << "escape" << true;
        QTest::newRow("escape while fading in") << "escape" << false;
        QTest::newRow("postponed") << "postponed" << true;
        QTest::newRow("accept") << "accept" << true;
        QTest::newRow("close") << "close" << true;
    }

    // Shown, it covers the screen and fades in from the screen under it to itself.
    void closesAfterFadingOut()
    {
        QFETCH(QString, way);
        QFETCH(bool, fadedIn);
        UI::BaseDialog* dialog = ShownDialog();
        QCOMPARE(dialog->geometry(), QRect(screen->mapToGlobal(QPoint(0, 0)), screen->size()));
        QCOMPARE(dialog->opacity(), 0.0);
        QCOMPARE(Shown(dialog), qRgb(255, 0, 0) & 0xffffff);
        if (fadedIn) {
            QTRY_VERIFY(dialog->opacity() > 0.3 && dialog->opacity() < 0.7);
            const QRgb between = Shown(dialog);
            QVERIFY(qRed(between) > 40 && qBlue(between) > 40);
            QTRY_COMPARE(dialog->opacity(), 1.0);
            QCOMPARE(Shown(dialog), qRgb(0, 0, 255) & 0xffffff);
        }
        QSignalSpy closed(dialog, &UI::BaseDialog::dialogClosed);
        QSignalSpy finished(dialog, &QDialog::finished);
        if (way == "escape")
            QTest::keyClick(dialog, Qt::Key_Escape);
        else if (way == "accept")
            dialog->accept();
        else if (way == "close")
            dialog->close();
        else
            QTimer::singleShot(300, dialog, &UI::BaseDialog::postponedFadeSlot);
        QTRY_VERIFY(dialog->isFadingOut());
        // Still there while it fades; the first request holds against the others.
        QVERIFY(dialog->isVisible());
        way == "accept" ? QTest::keyClick(dialog, Qt::Key_Escape) : dialog->accept();
        dialog->postponedFadeSlot();
        QTRY_VERIFY(dialog->opacity() < 0.7);
        QCOMPARE(closed.count(), 0);
        QVERIFY(qRed(Shown(dialog)) > 40);

        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(!dialog->isVisible());
        dialog->postponedFadeSlot();
        dialog->close();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(),
                 int(way == "accept" ? QDialog::Accepted : QDialog::Rejected));

        // Shown again, it fades in, follows the screen and the window the screen lies in, and
        // closes again.
        dialog->show();
        QTRY_COMPARE(dialog->opacity(), 1.0);
        screen->resize(500, 300);
        window->move(70, 90);
        QTRY_COMPARE(dialog->geometry(), QRect(screen->mapToGlobal(QPoint(0, 0)), screen->size()));
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_COMPARE(closed.count(), 2);
    }

    void destroyedMidFade()
    {
        QPointer<UI::BaseDialog> dialog = ShownDialog();
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QTRY_COMPARE(dialog->opacity(), 1.0);
        dialog->postponedFadeSlot();
        QTRY_VERIFY(dialog->opacity() < 1.0);
        delete dialog.data();
        // Another dialog fading in lets a fade's worth of animation frames pass; with
        // delete-on-close, once closed it goes away by itself.
        QPointer<UI::BaseDialog> other = ShownDialog();
        other->setAttribute(Qt::WA_DeleteOnClose);
        QTRY_COMPARE(other->opacity(), 1.0);
        QTest::keyClick(other.data(), Qt::Key_Escape);
        QTRY_VERIFY(!other);
    }
};

QTEST_MAIN(TestBaseDialog)
#include "test_base_dialog.moc"
