#pragma once
// The list of everything the generator makes: pictures (drawn once at device pixel ratio 1 under
// their resource name and once at ratio 2 under the "@2x" name Qt looks for on high-density
// screens) and plain files (sounds). Writes them into a folder with the resource collection file
// that lists them, and draws the contact sheet for review. Used by main.cpp only.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

class QPainter;

class AssetBook
{
public:
    // Draws in logical pixels: the painter is already scaled to the picture's pixel ratio.
    using Drawing = std::function<void(QPainter& painter, const QSizeF& size)>;

    void AddPicture(const QString& path, QSize logicalSize, Drawing drawing);
    void AddFile(const QString& path, const QByteArray& data);
    // A drawing shown only on the contact sheet, such as pictures put together as the program
    // shows them.
    void AddPreview(const QString& label, QSize logicalSize, Drawing drawing);

    // The resource name of the picture drawn at ratio 2: "a/b.png" → "a/b@2x.png",
    // "a/highlightL" → "a/highlightL@2x"; with `ratio` 4, "a/b@4x.png".
    static QString HighDensityPath(const QString& path, int ratio = 2);

    // Renders and writes every asset under `folder`, then "assets.qrc" naming them with their
    // resource paths. False with a message on the first failure.
    bool WriteAll(const QString& folder, QString* error);

    // A sheet with every picture (its ratio-2 drawing at logical size) and its name.
    QImage ContactSheet() const;

private:
    struct Picture
    {
        QString path;
        QSize size;
        Drawing drawing;
        QImage rendered; // at ratio 2, after WriteAll
    };
    struct File
    {
        QString path;
        QByteArray data;
    };

    static QImage Render(const Picture& picture, int ratio);

    std::vector<Picture> pictures;
    std::vector<Picture> previews;
    std::vector<File> files;
};
