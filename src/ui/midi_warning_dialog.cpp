#include "ui/midi_warning_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int cardWidth = 540;
constexpr int cardMargin = 32;

} // namespace

namespace UI {

MidiWarningDialog::MidiWarningDialog(QWidget* parent) : BaseDialog(parent)
{
    setObjectName(QStringLiteral("midiWarningDialog"));
    setAccessibleName(tr("No MIDI keyboard found"));
    setStyleSheet(QStringLiteral(
        "QDialog#midiWarningDialog { background-color: rgb(24, 26, 32); }"
        "QFrame#midiWarningCard { background-color: rgb(52, 55, 64); border: 1px solid rgb(74, 78, 90);"
        " border-radius: 12px; }"
        "QLabel { color: white; background: transparent; }"
        "QLabel#midiWarningText { color: rgb(201, 205, 214); }"
        "QCheckBox { color: white; font: 14px \"Tahoma\"; }"
        "QPushButton { color: white; font: 600 15px \"Tahoma\"; min-width: 110px; min-height: 34px;"
        " border-radius: 6px; background-color: rgb(216, 112, 16); border: none; }"
        "QPushButton:hover { background-color: rgb(245, 154, 35); }"));

    auto* outer = new QVBoxLayout(this);
    auto* card = new QFrame(this);
    card->setObjectName(QStringLiteral("midiWarningCard"));
    card->setFixedWidth(cardWidth);
    outer->addStretch();
    outer->addWidget(card, 0, Qt::AlignHCenter);
    outer->addStretch();

    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(cardMargin, 28, cardMargin, 24);
    layout->setSpacing(14);
    auto* title = new QLabel(tr("No MIDI keyboard found"), card);
    title->setObjectName(QStringLiteral("midiWarningTitle"));
    auto* text = new QLabel(tr("Connect a MIDI keyboard to answer on it. Until then you can answer on the "
                               "on-screen piano or with the multiple-choice buttons."),
                            card);
    text->setObjectName(QStringLiteral("midiWarningText"));
    text->setWordWrap(true);
    // Fonts set on the labels themselves (not by the style sheet), so that the wrapped text's
    // height is measured in the font it is drawn in.
    QFont titleFont(QStringLiteral("Tahoma"));
    titleFont.setPixelSize(20);
    titleFont.setWeight(QFont::DemiBold);
    title->setFont(titleFont);
    QFont textFont(QStringLiteral("Tahoma"));
    textFont.setPixelSize(15);
    text->setFont(textFont);
    // The card has a fixed width; the wrapped text gets the height it needs at that width.
    text->setMinimumHeight(text->heightForWidth(cardWidth - 2 * cardMargin));
    dontShow = new QCheckBox(tr("Do not show this again"), card);
    dontShow->setObjectName(QStringLiteral("midiWarningDontShow"));
    ok = new QPushButton(tr("OK"), card);
    ok->setObjectName(QStringLiteral("midiWarningOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    layout->addWidget(title);
    layout->addWidget(text);
    auto* row = new QHBoxLayout;
    row->addWidget(dontShow);
    row->addStretch();
    row->addWidget(ok);
    layout->addLayout(row);
}

bool MidiWarningDialog::DontShowAgain() const
{
    return dontShow->isChecked();
}

} // namespace UI
