// asset_generator --font-dir DIR [--sheet SHEET.png] OUTPUT_FOLDER
// Draws every picture and synthesises every sound the program shows or plays into OUTPUT_FOLDER,
// under their resource paths, with "assets.qrc" listing them; optionally writes a contact sheet
// of the pictures. DIR holds the Lato text font files. The output depends only on this program
// and the fonts, so two runs give identical files.

#include "asset_book.h"
#include "pictures.h"

#include "notation/music_font.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "asset_generator: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    QString fontDir, sheet, output;
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--font-dir") && i + 1 < arguments.size())
            fontDir = arguments[++i];
        else if (arguments[i] == QLatin1String("--sheet") && i + 1 < arguments.size())
            sheet = arguments[++i];
        else if (output.isEmpty())
            output = arguments[i];
        else
            output.clear(), i = arguments.size();
    }
    if (fontDir.isEmpty() || output.isEmpty()) {
        std::fprintf(stderr, "usage: asset_generator --font-dir DIR [--sheet SHEET.png] OUTPUT_FOLDER\n");
        return 2;
    }
    // Text in pictures is set in Lato, loaded from its files: never a font the system may lack.
    for (const char* file : {"Lato-Regular.ttf", "Lato-Bold.ttf", "Lato-Black.ttf"}) {
        const QString path = QDir(fontDir).filePath(QString::fromLatin1(file));
        if (QFontDatabase::addApplicationFont(path) < 0)
            return Fail(QStringLiteral("cannot load the text font %1").arg(path));
    }
    if (Notation::MusicFont::RegisterApplicationFont() < 0)
        return Fail(QStringLiteral("cannot load the music font"));

    AssetBook book;
    QString error;
    AddInterfacePictures(book);
    AddKeyboardPictures(book);
    if (!AddSymbolPictures(book, &error))
        return Fail(error);
    AddAnswerSounds(book);
    if (!book.WriteAll(output, &error))
        return Fail(error);
    if (!sheet.isEmpty() && !book.ContactSheet().save(sheet, "PNG"))
        return Fail(QStringLiteral("cannot write %1").arg(sheet));
    return 0;
}
