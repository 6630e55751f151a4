#include "ui/settings/device_box_view.h"

#include "ui_device_box_view.h"

namespace UI {

DeviceBoxView::DeviceBoxView(QWidget* parent) : QWidget(parent), m_ui(std::make_unique<Ui::device_box_view>())
{
    // Connects the step buttons' clicked() to the on_<button>_clicked() slots by name.
    m_ui->setupUi(this);
    showDeviceAtIdx(-1);
}

DeviceBoxView::~DeviceBoxView() = default;

void DeviceBoxView::fillDeviceList(QVector<QString>& list)
{
    const QString shown = DeviceName();
    devices = list;
    const int kept = shown.isEmpty() ? -1 : devices.indexOf(shown);
    showDeviceAtIdx(kept >= 0 ? kept : 0);
}

void DeviceBoxView::showDeviceAtIdx(int index)
{
    shownIndex = index >= 0 && index < devices.size() ? index : -1;
    QLabel* readOut = m_ui->deviceText;
    if (shownIndex >= 0) {
        const QString name = devices[shownIndex];
        setProperty("deviceName", name);
        // A port name comes from the outside: only the emphasis around it is markup.
        readOut->setText(tr("Using the %1 keyboard device.")
                             .arg(QStringLiteral("<b>") + name.toHtmlEscaped() + QStringLiteral("</b>")));
        readOut->setAccessibleName(tr("Using the %1 keyboard device.").arg(name));
        readOut->setStyleSheet(property("deviceStyle").toString());
    } else {
        setProperty("deviceName", QString());
        readOut->setText(tr("No MIDI device plugged in.").toHtmlEscaped());
        readOut->setAccessibleName(tr("No MIDI device plugged in."));
        readOut->setStyleSheet(property("noDeviceStyle").toString());
    }
    // Stepping means something only with a choice of two or more.
    const bool choice = devices.size() > 1;
    m_ui->nextMidiDeviceUp->setEnabled(choice);
    m_ui->nextMidiDeviceDown->setEnabled(choice);
}

QString DeviceBoxView::DeviceName() const
{
    return shownIndex >= 0 ? devices[shownIndex] : QString();
}

void DeviceBoxView::on_nextMidiDeviceUp_clicked()
{
    Step(-1);
}

void DeviceBoxView::on_nextMidiDeviceDown_clicked()
{
    Step(1);
}

void DeviceBoxView::Step(int by)
{
    if (devices.isEmpty())
        return;
    const int from = shownIndex < 0 ? 0 : shownIndex;
    showDeviceAtIdx((from + by + devices.size()) % devices.size());
}

} // namespace UI
