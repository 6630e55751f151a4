#pragma once
// The single notes page: where the notes from C3 to C5 sit on the treble and the bass staff,
// each engraved and heard on its own.

#include "ui/exercise/reference/reference_page.h"

namespace UI {
namespace Reference {

class NotesPage : public ReferencePage
{
public:
    QString introduction() const override;
    void fillTable(SheetTable& table, const PageContext& context) const override;
};

} // namespace Reference
} // namespace UI
