#pragma once
// The window shown while the application builds the main window's screens: the program's name,
// its version and a line saying what is being prepared. The event loop is busy meanwhile, so
// setStatus() paints at once instead of waiting for it. Frameless, without a parent, centred on
// the primary screen. Created and shown by main(). GUI thread only.

#include <QDialog>
#include <QPixmap>

namespace UI {

class SplashDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SplashDialog(QWidget* parent = nullptr);

    // Shows `status` under the name and repaints the dialog before returning.
    void setStatus(const QString& status);
    QString status() const { return m_status; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The home screen's backdrop at this screen's pixel density, loaded on first paint.
    const QPixmap& backdrop();

    QString m_status;
    QString m_version;
    QPixmap m_backdrop;
};

} // namespace UI
