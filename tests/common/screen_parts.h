#pragma once
// What the tests of the settings screens and dialogs share: the program's own look, a screen's
// parts by name, a click where the user makes it, a screen of one colour, and a sound controller
// that plays nowhere.

#include "core/midi/sound_controller.h"
#include "ui/interface_fonts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QtTest>

#include <memory>

// The resources, fonts and style sheet, as the program installs them at start-up.
inline void UseProgramLook()
{
    Q_INIT_RESOURCE(assets);
    UI::InterfaceFonts::registerFonts();
    qApp->setStyleSheet(QStringLiteral("file:///:css/global.css"));
}

// The part of `in` named `name`; a screen without it ends the test program.
template <typename T = QWidget> T* Part(const QObject* in, const QString& name)
{
    T* part = in->findChild<T*>(name);
    if (!part)
        qFatal("%s has no %s", in->metaObject()->className(), qPrintable(name));
    return part;
}

// A check box or radio button takes clicks on its box and text, at its left; other buttons are
// clicked in their middle.
inline void Click(QAbstractButton* button)
{
    QVERIFY(button && button->isVisible());
    const bool boxed = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
    QTest::mouseClick(button, Qt::LeftButton, {},
                      boxed ? QPoint(qMin(8, button->width() / 2), button->height() / 2)
                            : button->rect().center());
}

// `widget` filled with `colour`; a new one stands for a screen.
inline QWidget* Painted(const QColor& colour, QWidget* widget = new QWidget)
{
    widget->setAutoFillBackground(true);
    widget->setPalette(QPalette(colour)); // its window colour too
    return widget;
}

// Without the built-in synthesizer or a device watcher: previews go nowhere, no device comes.
inline std::shared_ptr<Core::SoundController> SilentSound()
{
    Core::SoundController::Options options;
    options.builtInSynthesizer = false;
    options.watchDevices = false;
    return std::make_shared<Core::SoundController>(options);
}
