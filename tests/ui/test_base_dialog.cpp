// The fading dialog base: it lies over its parent and follows it, fades in, and whatever closes
// it (Escape, the postponed close, accept, close) fades it out first and then closes it once;
// further requests during or after the fade-out change nothing, and it may die mid-fade.

#include "ui/dialogs/base_dialog.h"

#include <QLabel>
#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

class TestBaseDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    QWidget* screen = nullptr;

    // A blue dialog over the red screen, shown.
    UI::BaseDialog* ShownDialog()
    {
        auto* dialog = new UI::BaseDialog(screen);
        Paint(dialog, Qt::blue);
        auto* layout = new QVBoxLayout(dialog);
        layout->addWidget(new QLabel(QStringLiteral("Total score."), dialog), 0, Qt::AlignCenter);
        dialog->show();
        return dialog;
    }

    static void Paint(QWidget* widget, const QColor& colour)
    {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, colour);
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }

    // The colour of the dialog away from its text, as it is shown over the screen.
    static QRgb Shown(UI::BaseDialog* dialog) { return dialog->grab().toImage().pixel(5, 5) & 0xffffff; }

private Q_SLOTS:
    void init()
    {
        window = std::make_unique<QWidget>();
        window->setGeometry(40, 50, 640, 480);
        screen = new QWidget(window.get());
        screen->setGeometry(20, 60, 600, 400);
        Paint(screen, Qt::red);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    void coversParentAndFadesIn()
    {
        UI::BaseDialog* dialog = ShownDialog();
        QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(dialog->geometry(), QRect(screen->mapToGlobal(QPoint(0, 0)), screen->size()));
        // It starts as the screen under it and ends as itself.
        QCOMPARE(dialog->opacity(), 0.0);
        QCOMPARE(Shown(dialog), qRgb(255, 0, 0) & 0xffffff);
        QTRY_VERIFY(dialog->opacity() > 0.3 && dialog->opacity() < 0.7);
        const QRgb between = Shown(dialog);
        QVERIFY(qRed(between) > 40 && qBlue(between) > 40);
        QTRY_COMPARE(dialog->opacity(), 1.0);
        QCOMPARE(Shown(dialog), qRgb(0, 0, 255) & 0xffffff);

        // It follows the screen and the window the screen lies in.
        screen->resize(500, 300);
        window->move(70, 90);
        QTRY_COMPARE(dialog->geometry(), QRect(screen->mapToGlobal(QPoint(0, 0)), screen->size()));
    }

    void closesAfterFadingOut_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("fadedIn"); // or still fading in when asked to close
        QTest::newRow("escape") << 0 << int(QDialog::Rejected) << true;
        QTest::newRow("escape while fading in") << 0 << int(QDialog::Rejected) << false;
        QTest::newRow("postponed") << 1 << int(QDialog::Rejected) << true;
        QTest::newRow("accept") << 2 << int(QDialog::Accepted) << true;
        QTest::newRow("close") << 3 << int(QDialog::Rejected) << true;
    }

    void closesAfterFadingOut()
    {
        QFETCH(int, way);
        QFETCH(int, result);
        QFETCH(bool, fadedIn);
        UI::BaseDialog* dialog = ShownDialog();
        if (fadedIn)
            QTRY_COMPARE(dialog->opacity(), 1.0);
        QSignalSpy closed(dialog, &UI::BaseDialog::dialogClosed);
        QSignalSpy finished(dialog, &QDialog::finished);
        switch (way) {
        case 0:
            QTest::keyClick(dialog, Qt::Key_Escape);
            break;
        case 1:
            QTimer::singleShot(300, dialog, &UI::BaseDialog::postponedFadeSlot);
            QTRY_VERIFY(dialog->isFadingOut());
            break;
        case 2:
            dialog->accept();
            break;
        default:
            dialog->close();
        }
        // Still there while it fades; the first request holds against the others.
        QVERIFY(dialog->isVisible());
        way == 2 ? QTest::keyClick(dialog, Qt::Key_Escape) : dialog->accept();
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
        QCOMPARE(finished.first().first().toInt(), result);

        // Shown again, it fades in and closes again.
        dialog->show();
        QTRY_COMPARE(dialog->opacity(), 1.0);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_COMPARE(closed.count(), 2);
    }

    void destroyedMidFade()
    {
        QPointer<UI::BaseDialog> dialog = ShownDialog();
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QSignalSpy closed(dialog.data(), &UI::BaseDialog::dialogClosed);
        QTRY_COMPARE(dialog->opacity(), 1.0);
        dialog->postponedFadeSlot();
        QTRY_VERIFY(dialog->opacity() < 1.0);
        delete dialog.data();
        // Let a fade's worth of animation frames pass.
        QVariantAnimation fadeLength;
        fadeLength.setDuration(250);
        fadeLength.setStartValue(0);
        fadeLength.setEndValue(1);
        fadeLength.start();
        QTRY_COMPARE(fadeLength.state(), QAbstractAnimation::Stopped);
        QVERIFY(!dialog);

        // With delete-on-close, the closed dialog goes away by itself.
        QPointer<UI::BaseDialog> other = ShownDialog();
        other->setAttribute(Qt::WA_DeleteOnClose);
        QTest::keyClick(other.data(), Qt::Key_Escape);
        QTRY_VERIFY(!other);
    }
};

QTEST_MAIN(TestBaseDialog)
#include "test_base_dialog.moc"
