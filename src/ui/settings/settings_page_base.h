#pragma once
// The common form of the trainer settings page and of each of its tabs: a widget that shows the
// stored settings it is about (loadSettings), stores what it shows (applySettings) and can show
// the program's defaults instead (restoreDefaults). It says when the student has changed
// something (changed) and whether what it holds can make a lesson (isValid, validChanged). The
// trainer settings page holds its tabs as settings pages of this kind and loads and applies them
// together. GUI thread only.

#include <QWidget>

namespace UI {

class SettingsPageBase : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsPageBase(QWidget* parent = nullptr);
    ~SettingsPageBase() override;

    // Shows the stored settings; emits nothing.
    virtual void loadSettings() = 0;
    // Stores what the page shows.
    virtual void applySettings() = 0;
    // Shows the program's defaults in place of the stored settings.
    virtual void restoreDefaults() = 0;
    // False while the settings held leave something with nothing to ask.
    virtual bool isValid() const;

Q_SIGNALS:
    // The student changed a setting on the page.
    void changed();
    // isValid() now gives `valid`.
    void validChanged(bool valid);
};

} // namespace UI
