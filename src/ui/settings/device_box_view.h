#pragma once
// The MIDI input device part of the general settings tab: shows one input device name at a
// time, with two buttons that step up and down through the list of input ports. The general
// settings tab fills the list from the sound controller and stores the name shown when its
// values are applied. GUI thread only.

#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

namespace Ui {
class DeviceBoxView;
}

namespace UI {

class DeviceBoxView : public QWidget
{
    Q_OBJECT
public:
    explicit DeviceBoxView(QWidget* parent = nullptr);
    ~DeviceBoxView() override;

    // Replaces the list of device names. The name shown stays when the new list still holds it;
    // otherwise the first name is shown (or the no-device text for an empty list).
    void setDevices(const QVector<QString>& names);
    const QVector<QString>& devices() const { return m_devices; }
    // Shows the name at `index`; an index outside the list shows that no device is there.
    void showDevice(int index);

    // The name shown; empty when no device is shown.
    QString deviceName() const;

private:
    // Steps to the previous (-1) or the next (1) name, wrapping round at the ends of the list.
    void step(int by);

    std::unique_ptr<Ui::DeviceBoxView> m_ui;
    QVector<QString> m_devices;
    int m_shownIndex = -1;
};

} // namespace UI
