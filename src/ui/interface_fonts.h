#pragma once
// The text font of the interface. The forms and style sheets name the Windows families "Tahoma"
// and "MS Shell Dlg 2"; where the system has neither, both are drawn in the compiled-in Lato.
// The application registers it at start-up. GUI thread only.

#include <QString>

namespace UI {

class InterfaceFonts
{
public:
    // Adds the compiled-in Lato files to the application's font database and makes Lato the
    // substitute of "Tahoma" and "MS Shell Dlg 2". Needs a QGuiApplication; a second call only
    // repeats the answer of the first. Returns whether the regular, bold and black faces were
    // added.
    static bool registerFonts();

    static QString familyName();
};

} // namespace UI
