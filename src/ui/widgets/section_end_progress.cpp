#include "ui/widgets/section_end_progress.h"

SectionEndProgress::SectionEndProgress(QWidget* parent) : Progress(2, parent) {}
