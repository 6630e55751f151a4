#pragma once
// The note lengths page: every note and rest from the whole to the 128th, with its beats and
// its British name.

#include "ui/exercise/reference/reference_page.h"

namespace UI {
namespace Reference {

class NoteLengthsPage : public ReferencePage
{
public:
    QString introduction() const override;
    void fillTable(SheetTable& table, const PageContext& context) const override;
};

} // namespace Reference
} // namespace UI
