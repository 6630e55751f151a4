#pragma once
// The key signatures page: every signature of the symbol trainer on the treble and the bass
// staff, its two keys and its sharps or flats in the order they are written.

#include "ui/exercise/reference/reference_page.h"

namespace UI {
namespace Reference {

class KeySignaturesPage : public ReferencePage
{
public:
    QString introduction() const override;
    void fillTable(SheetTable& table, const PageContext& context) const override;
};

} // namespace Reference
} // namespace UI
