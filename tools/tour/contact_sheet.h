#pragma once
// The contact sheet of a tour: the pictures of the given passes as labelled thumbnails, pass by
// pass, read from the passes' folders and index files under the output folder.

#include "pass.h"

#include <QImage>
#include <QString>

#include <vector>

QImage ContactSheet(const QString& outputDir, const std::vector<Pass>& passes);
