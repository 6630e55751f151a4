#pragma once
// The tempo page: the tempo markings from Grave to Prestissimo with their speeds; those the
// trainers ask have their pictures, the others their names on a card. When the book has the
// tempo pieces, the markings the trainers ask have a play button that sounds the opening bars
// of one of their pieces, at its tempo.

#include "ui/exercise/reference/reference_page.h"

namespace UI {
namespace Reference {

class TempoPage : public ReferencePage
{
public:
    QString introduction() const override;
    void fillTable(SheetTable& table, const PageContext& context) const override;
};

} // namespace Reference
} // namespace UI
