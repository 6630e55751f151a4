#pragma once
// The base of every custom-painted control (the on-screen keyboard, the score board, the progress
// widgets): what they all need to draw their compiled-in pictures sharply on any screen.

#include <QImage>
#include <QString>
#include <QWidget>

class BaseControl : public QWidget
{
    Q_OBJECT
public:
    explicit BaseControl(QWidget* parent = nullptr);

    // The name of the picture drawn at twice the pixels: "name@2x.ext", or "name@2x" for a
    // resource without an extension.
    static QString highDensityPath(const QString& path);
    // Loads `path` for a device of `devicePixelRatio`: the "@2x" picture when the ratio is above
    // 1 and that picture exists, marked with its ratio so that it is drawn at its logical size.
    static QImage loadPicture(const QString& path, qreal devicePixelRatio);
};
