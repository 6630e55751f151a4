#pragma once
// The scales page: every scale on middle C, its notes, its whole and half steps, engraved and
// heard from the bottom up (the descending melodic minor from the top down).

#include "ui/exercise/reference/reference_page.h"

namespace UI {
namespace Reference {

class ScalesPage : public ReferencePage
{
public:
    QString introduction() const override;
    void fillTable(SheetTable& table, const PageContext& context) const override;
};

} // namespace Reference
} // namespace UI
