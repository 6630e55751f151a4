#include "ui/interface_fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(interfaceFontsLog, "cantorela.ui.fonts")

// Resources compiled into a static library must be registered by name from inside it, outside
// any namespace.
static void InitializeInterfaceFontResources()
{
    Q_INIT_RESOURCE(interface_fonts);
}

namespace UI {

namespace {

bool AddFont(const QString& file)
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/interface/") + file);
    if (id < 0 || !QFontDatabase::applicationFontFamilies(id).contains(InterfaceFonts::familyName())) {
        qCWarning(interfaceFontsLog) << "the interface font" << file << "could not be registered";
        return false;
    }
    return true;
}

} // namespace

QString InterfaceFonts::familyName()
{
    return QStringLiteral("Lato");
}

bool InterfaceFonts::registerFonts()
{
    static const bool registered = [] {
        InitializeInterfaceFontResources();
        bool ok = AddFont(QStringLiteral("Lato-Regular.ttf"));
        ok = AddFont(QStringLiteral("Lato-Bold.ttf")) && ok;
        // The heaviest weight sets the tool bar's caption.
        ok = AddFont(QStringLiteral("Lato-Black.ttf")) && ok;
        // The italic is compiled in when the system that built the program had it.
        if (QFile::exists(QStringLiteral(":/fonts/interface/Lato-Italic.ttf")))
            AddFont(QStringLiteral("Lato-Italic.ttf"));
        if (ok)
            for (const char* family : {"Tahoma", "MS Shell Dlg 2"})
                QFont::insertSubstitution(QLatin1String(family), familyName());
        return ok;
    }();
    return registered;
}

} // namespace UI
