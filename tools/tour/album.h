#pragma once
// The pictures of one pass: each saved as "<number>-<place>-<moment>.png" in the pass's folder
// and listed in its index with a label, "<pass> · <place> · <moment>".

#include <QImage>
#include <QString>
#include <QStringList>

class QWidget;
class TourWindow;

class Album
{
public:
    Album(const TourWindow& window, const QString& folder) : window(window), folder(folder) {}

    // What the following pictures belong to: a file name part and a label part.
    void Place(const QString& slug, const QString& label);

    // The window as it is on screen: the window itself with its dialogs laid over it (each
    // dialog is a window of its own).
    QImage Capture() const;
    void Save(const QImage& image, const QString& moment);
    void Shot(const QString& moment) { Save(Capture(), moment); }
    // A window without a parent, centred on an empty desktop of the pass's size.
    void ShotOfDesktop(QWidget& topLevel, const QString& moment);

    bool WriteIndex() const;

private:
    const TourWindow& window;
    QString folder;
    QString placeSlug;
    QString placeLabel;
    QStringList index;
    int count = 0;
};
