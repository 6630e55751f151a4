#pragma once
// Shown while the main window builds its screens.

#include <QDialog>

namespace UI {

class SplashDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SplashDialog(QWidget* parent = nullptr);
};

} // namespace UI
