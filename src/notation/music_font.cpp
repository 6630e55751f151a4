#include "notation/music_font.h"

#include <QFile>
#include <QFontDatabase>
#include <QLoggingCategory>
#include <QRawFont>
#include <QTransform>

#include <array>
#include <mutex>

Q_LOGGING_CATEGORY(notationLog, "cantorela.notation")

// Resources compiled into a static library must be registered by name from inside it.
static void InitializeNotationResources()
{
    Q_INIT_RESOURCE(music_font);
}

namespace Notation {

namespace {

QByteArray ReadResource(const QString& path)
{
    static std::once_flag once;
    std::call_once(once, InitializeNotationResources);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCCritical(notationLog) << "missing resource" << path;
        return {};
    }
    return file.readAll();
}

// Outlines are taken at this pixel size and scaled down to staff spaces.
constexpr double outlinePixelSize = 400.0;

} // namespace

QString MusicFont::FamilyName()
{
    return QStringLiteral("Bravura");
}

int MusicFont::RegisterApplicationFont()
{
    const int id = QFontDatabase::addApplicationFontFromData(FontFile());
    if (id < 0)
        qCWarning(notationLog) << "the music font could not be registered";
    return id;
}

QByteArray MusicFont::FontFile()
{
    static const QByteArray data = ReadResource(QStringLiteral(":/notation/bravura.otf"));
    return data;
}

QByteArray MusicFont::MetadataFile()
{
    return ReadResource(QStringLiteral(":/notation/metadata.json"));
}

const QPainterPath& MusicFont::GlyphPath(SmuflGlyph glyph)
{
    static std::array<QPainterPath, SmuflGlyphCount> paths;
    static std::once_flag once;
    std::call_once(once, [] {
        QRawFont font(FontFile(), outlinePixelSize);
        if (!font.isValid()) {
            qCCritical(notationLog) << "the music font cannot be read";
            return;
        }
        // One em is four staff spaces.
        const double toStaffSpaces = 4.0 / outlinePixelSize;
        const QTransform scale = QTransform::fromScale(toStaffSpaces, toStaffSpaces);
        for (int i = 0; i < SmuflGlyphCount; ++i) {
            const uint codePoint = SmuflCodePoint(static_cast<SmuflGlyph>(i));
            const QVector<quint32> indexes = font.glyphIndexesForString(QString::fromUcs4(&codePoint, 1));
            if (indexes.isEmpty() || indexes.first() == 0) {
                qCCritical(notationLog) << "the music font lacks" << SmuflName(static_cast<SmuflGlyph>(i));
                continue;
            }
            paths[i] = scale.map(font.pathForGlyph(indexes.first()));
        }
    });
    return paths[static_cast<int>(glyph)];
}

} // namespace Notation
