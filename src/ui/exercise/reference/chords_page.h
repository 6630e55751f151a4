#pragma once
// The chords page: every chord type of the trainers on middle C in root position, its notes
// spelled as its formula says, engraved and heard broken, then together.

#include "ui/exercise/reference/reference_page.h"

namespace UI {
namespace Reference {

class ChordsPage : public ReferencePage
{
public:
    QString introduction() const override;
    void fillTable(SheetTable& table, const PageContext& context) const override;
};

} // namespace Reference
} // namespace UI
