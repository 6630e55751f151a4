#include "ui/settings/device_box_view.h"

#include "ui_device_box_view.h"

namespace UI {

DeviceBoxView::DeviceBoxView(QWidget* parent) : QWidget(parent), m_ui(std::make_unique<Ui::DeviceBoxView>())
{
    m_ui->setupUi(this);
    connect(m_ui->nextMidiDeviceUp, &QToolButton::clicked, this, [this] { step(-1); });
    connect(m_ui->nextMidiDeviceDown, &QToolButton::clicked, this, [this] { step(1); });
    showDevice(-1);
}

DeviceBoxView::~DeviceBoxView() = default;

void DeviceBoxView::setDevices(const QVector<QString>& names)
{
    const QString shown = deviceName();
    m_devices = names;
    const int kept = shown.isEmpty() ? -1 : m_devices.indexOf(shown);
    showDevice(kept >= 0 ? kept : 0);
}

void DeviceBoxView::showDevice(int index)
{
    m_shownIndex = index >= 0 && index < m_devices.size() ? index : -1;
    QLabel* readOut = m_ui->deviceText;
    if (m_shownIndex >= 0) {
        const QString name = m_devices[m_shownIndex];
        setProperty("deviceName", name);
        // A port name comes from the outside: only the emphasis around it is markup.
        // A microphone's name says what it is.
        const QString text = name.startsWith(QLatin1String("Microphone: ")) ? tr("Using %1.")
                                                                            : tr("Using the %1 keyboard device.");
        readOut->setText(text.arg(QStringLiteral("<b>") + name.toHtmlEscaped() + QStringLiteral("</b>")));
        readOut->setAccessibleName(text.arg(name));
        readOut->setStyleSheet(property("deviceStyle").toString());
    } else {
        setProperty("deviceName", QString());
        readOut->setText(tr("No MIDI device plugged in.").toHtmlEscaped());
        readOut->setAccessibleName(tr("No MIDI device plugged in."));
        readOut->setStyleSheet(property("noDeviceStyle").toString());
    }
    // Stepping means something only when there is another device to show.
    const bool choice = m_devices.size() > 1 || (m_devices.size() == 1 && m_shownIndex < 0);
    m_ui->nextMidiDeviceUp->setEnabled(choice);
    m_ui->nextMidiDeviceDown->setEnabled(choice);
}

QString DeviceBoxView::deviceName() const
{
    return m_shownIndex >= 0 ? m_devices[m_shownIndex] : QString();
}

void DeviceBoxView::step(int by)
{
    if (m_devices.isEmpty())
        return;
    if (m_shownIndex < 0) {
        showDevice(by > 0 ? 0 : m_devices.size() - 1);
        return;
    }
    showDevice((m_shownIndex + by + m_devices.size()) % m_devices.size());
}

} // namespace UI
