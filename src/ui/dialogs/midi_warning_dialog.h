#pragma once
// The notice the exercise screen shows, once per screen, when a trainer that takes answers from
// a MIDI keyboard starts and no MIDI input device is there. It says that the on-screen piano and
// the multiple-choice buttons still work, and offers not to show it again (the general setting
// "Settings.HideMidiDialog", which the screen writes when the dialog closes). A card over a
// dimmed picture of the screen (UI::CardDialog). GUI thread.

#include "ui/dialogs/card_dialog.h"

class QCheckBox;
class QPushButton;

namespace UI {

class MidiWarningDialog : public CardDialog
{
    Q_OBJECT
public:
    explicit MidiWarningDialog(QWidget* parent = nullptr);

    bool dontShowAgain() const;
    QPushButton* okButton() const { return m_ok; }

private:
    QCheckBox* m_dontShow = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace UI
