#pragma once
// The symbol pages: the loudness markings and the note modifiers, each a picture, its name and
// what it asks of the player.

#include "ui/exercise/reference/reference_page.h"

namespace UI {
namespace Reference {

class LoudnessPage : public ReferencePage
{
public:
    QString introduction() const override;
    void fillTable(SheetTable& table, const PageContext& context) const override;
};

class NoteModifiersPage : public ReferencePage
{
public:
    QString introduction() const override;
    void fillTable(SheetTable& table, const PageContext& context) const override;
};

} // namespace Reference
} // namespace UI
