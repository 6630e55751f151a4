#pragma once
// The answer bar of the section end dialog: a Progress with the large score pictures.

#include "ui/widgets/progress.h"

class SectionEndProgress : public Progress
{
    Q_OBJECT
public:
    explicit SectionEndProgress(QWidget* parent = nullptr);
};
