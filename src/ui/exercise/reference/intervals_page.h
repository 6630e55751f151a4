#pragma once
// The intervals page: every interval from the unison to the octave above middle C, engraved,
// spelled, described by how it sounds and heard note by note, then together.

#include "ui/exercise/reference/reference_page.h"

namespace UI {
namespace Reference {

class IntervalsPage : public ReferencePage
{
public:
    QString introduction() const override;
    void fillTable(SheetTable& table, const PageContext& context) const override;
};

} // namespace Reference
} // namespace UI
