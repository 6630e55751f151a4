#pragma once
// The MIDI input device part of the general settings page: shows one input device name at a
// time, with two buttons that step up and down through the list of input ports. The general
// settings page fills the list from the sound controller and stores the name shown when its
// values are applied. GUI thread only.

#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

namespace Ui {
class device_box_view;
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
    void fillDeviceList(QVector<QString>& list);
    // Shows the name at `index`; an index outside the list shows that no device is there.
    void showDeviceAtIdx(int index);

    // The name shown; empty when no device is shown.
    QString DeviceName() const;
    // Position of the name shown in the list, -1 for none.
    int DeviceIndex() const { return shownIndex; }
    const QVector<QString>& DeviceList() const { return devices; }

public Q_SLOTS:
    // Step to the previous and the next name, wrapping round at the ends of the list.
    void on_nextMidiDeviceUp_clicked();
    void on_nextMidiDeviceDown_clicked();

private:
    void Step(int by);

    std::unique_ptr<Ui::device_box_view> m_ui;
    QVector<QString> devices;
    int shownIndex = -1;
};

} // namespace UI
