#include "ui/dialogs/midi_warning_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int cardWidth = 540;

} // namespace

namespace UI {

MidiWarningDialog::MidiWarningDialog(QWidget* parent)
    : CardDialog(tr("No MIDI keyboard found"), QSize(cardWidth, 0), parent)
{
    setObjectName(QStringLiteral("midiWarningDialog"));
    setAccessibleName(tr("No MIDI keyboard found"));

    auto* text = new QLabel(tr("Connect a MIDI keyboard to answer on it. Until then you can answer on the "
                               "on-screen piano or with the multiple-choice buttons."),
                            Card());
    text->setObjectName(QStringLiteral("midiWarningText"));
    text->setWordWrap(true);
    text->setFont(TextFont(15));
    text->setStyleSheet(QStringLiteral("color: rgb(29, 30, 36); background: transparent;"));
    Body()->addWidget(text);

    dontShow = new QCheckBox(tr("Do not show this again"), Card());
    dontShow->setObjectName(QStringLiteral("midiWarningDontShow"));
    // The application's check boxes are white on dark screens; this one sits on the white card.
    dontShow->setStyleSheet(QStringLiteral("QCheckBox { color: rgb(29, 30, 36); font-weight: normal; }"));
    dontShow->setFont(TextFont(14));
    AddToButtonRowStart(dontShow);
    ok = AddButton(tr("OK"), ButtonKind::Primary);
    ok->setObjectName(QStringLiteral("midiWarningOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool MidiWarningDialog::DontShowAgain() const
{
    return dontShow->isChecked();
}

} // namespace UI
