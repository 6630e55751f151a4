#pragma once
// The contact sheet of a tour: every pass's pictures as labelled thumbnails, pass by pass, read
// from the passes' folders and index files under the output folder.

#include <QImage>
#include <QString>

QImage ContactSheet(const QString& outputDir);
