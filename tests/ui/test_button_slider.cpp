// The slider with buttons lying on it: a click on a button reaches the button and then moves the
// slider as any click on the groove would; a click on the handle stays with the slider; leaving
// the slider reaches the button that last had the mouse.

#include "ui/widgets/button_slider.h"

#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

namespace {

// Counts the leave events that reach a widget.
class LeaveCounter : public QObject
{
public:
    int leaves = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        leaves += event->type() == QEvent::Leave ? 1 : 0;
        return false;
    }
};

QRect HandleRect(ButtonSlider& slider)
{
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.subControls = QStyle::SC_All;
    return slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider);
}

} // namespace

class TestButtonSlider : public QObject
{
    Q_OBJECT

    std::unique_ptr<ButtonSlider> slider;
    QPushButton* button = nullptr;

private Q_SLOTS:
    void init()
    {
        slider = std::make_unique<ButtonSlider>(Qt::Horizontal);
        slider->setRange(0, 100);
        slider->resize(400, 40);
        button = new QPushButton(QStringLiteral("5"), slider.get());
        button->setGeometry(300, 5, 40, 30);
        // Hovering and dragging stay with the slider: the button only gets what the slider hands on.
        button->setAttribute(Qt::WA_TransparentForMouseEvents);
        slider->show();
        QVERIFY(QTest::qWaitForWindowExposed(slider.get()));
    }

    void cleanup() { slider.reset(); }

    // A press on the button reaches it; the release lets it up wherever it happens, and clicks it
    // only on the button. The slider handles the press on its groove too.
    void pressReachesButtonReleaseLetsItUp_data()
    {
        QTest::addColumn<bool>("releaseOnButton");
        QTest::newRow("released on the button") << true;
        QTest::newRow("released outside") << false;
    }

    void pressReachesButtonReleaseLetsItUp()
    {
        QFETCH(bool, releaseOnButton);
        QSignalSpy clicked(button, &QPushButton::clicked);
        QSignalSpy moved(slider.get(), &QSlider::valueChanged);
        QTest::mousePress(slider.get(), Qt::LeftButton, {}, button->geometry().center());
        QVERIFY(button->isDown());
        QVERIFY(moved.count() > 0);
        QTest::mouseRelease(slider.get(), Qt::LeftButton, {},
                            releaseOnButton ? button->geometry().center() : QPoint(20, 20));
        QVERIFY(!button->isDown());
        QCOMPARE(clicked.count(), releaseOnButton ? 1 : 0);
    }

    void clickOnHandleStaysWithSlider()
    {
        // Put the handle on the button, then grab it there and drag it to the left.
        slider->setValue(80);
        const QRect handle = HandleRect(*slider);
        QVERIFY(handle.intersects(button->geometry()));
        QSignalSpy clicked(button, &QPushButton::clicked);
        QSignalSpy pressed(slider.get(), &QSlider::sliderPressed);
        QTest::mousePress(slider.get(), Qt::LeftButton, {}, handle.center());
        QVERIFY(slider->isSliderDown());
        const QPoint left = handle.center() - QPoint(100, 0);
        QMouseEvent drag(QEvent::MouseMove, left, slider->mapToGlobal(left), Qt::NoButton, Qt::LeftButton,
                         {});
        QCoreApplication::sendEvent(slider.get(), &drag);
        QTest::mouseRelease(slider.get(), Qt::LeftButton, {}, left);
        QCOMPARE(pressed.count(), 1);
        QVERIFY(slider->value() < 80);
        QCOMPARE(clicked.count(), 0);
    }

    void leaveReachesButton()
    {
        LeaveCounter counter;
        button->installEventFilter(&counter);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(slider.get(), &leave);
        QCOMPARE(counter.leaves, 0); // no button had the mouse yet
        QTest::mouseClick(slider.get(), Qt::LeftButton, {}, button->geometry().center());
        QCoreApplication::sendEvent(slider.get(), &leave);
        QCOMPARE(counter.leaves, 1);
    }
};

QTEST_MAIN(TestButtonSlider)
#include "test_button_slider.moc"
