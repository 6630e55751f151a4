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
                            card());
    text->setObjectName(QStringLiteral("midiWarningText"));
    text->setWordWrap(true);
    text->setFont(textFont(15));
    text->setStyleSheet(QStringLiteral("color: rgb(29, 30, 36); background: transparent;"));
    body()->addWidget(text);

    m_dontShow = new QCheckBox(tr("Do not show this again"), card());
    m_dontShow->setObjectName(QStringLiteral("midiWarningDontShow"));
    // The application's check boxes are white on dark screens; this one sits on the white card.
    m_dontShow->setStyleSheet(QStringLiteral("QCheckBox { color: rgb(29, 30, 36); font-weight: normal; }"));
    m_dontShow->setFont(textFont(14));
    addToButtonRowStart(m_dontShow);
    m_ok = addButton(tr("OK"), ButtonKind::Primary);
    m_ok->setObjectName(QStringLiteral("midiWarningOk"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool MidiWarningDialog::dontShowAgain() const
{
    return m_dontShow->isChecked();
}

} // namespace UI
