#include "notation/font_metadata.h"

#include "notation/music_font.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(notationLog)

namespace Notation {

namespace {

bool ReadPoint(const QJsonValue& value, QPointF* point)
{
    const QJsonArray pair = value.toArray();
    if (pair.size() != 2 || !pair.at(0).isDouble() || !pair.at(1).isDouble())
        return false;
    *point = QPointF(pair.at(0).toDouble(), pair.at(1).toDouble());
    return true;
}

void ReadDefault(const QJsonObject& defaults, const char* name, double* value)
{
    const QJsonValue v = defaults.value(QLatin1String(name));
    if (v.isDouble() && v.toDouble() >= 0.0 && v.toDouble() < 2.0)
        *value = v.toDouble();
}

} // namespace

const FontMetadata& FontMetadata::Instance()
{
    static const FontMetadata metadata = [] {
        FontMetadata loaded;
        QString message;
        if (!loaded.Load(MusicFont::MetadataFile(), &message))
            qCCritical(notationLog) << "music font metadata:" << message;
        return loaded;
    }();
    return metadata;
}

const char* FontMetadata::AnchorName(GlyphAnchor anchor)
{
    switch (anchor) {
    case GlyphAnchor::stemUpSE:
        return "stemUpSE";
    case GlyphAnchor::stemDownNW:
        return "stemDownNW";
    case GlyphAnchor::stemUpNW:
        return "stemUpNW";
    case GlyphAnchor::stemDownSW:
        return "stemDownSW";
    case GlyphAnchor::Count:
        break;
    }
    return "";
}

bool FontMetadata::Load(const QByteArray& json, QString* errorMessage)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        *errorMessage = QStringLiteral("not a metadata document: %1").arg(parseError.errorString());
        return false;
    }
    const QJsonObject root = document.object();

    EngravingDefaults readDefaults;
    const QJsonObject engraving = root.value(QLatin1String("engravingDefaults")).toObject();
    ReadDefault(engraving, "staffLineThickness", &readDefaults.staffLineThickness);
    ReadDefault(engraving, "stemThickness", &readDefaults.stemThickness);
    ReadDefault(engraving, "legerLineThickness", &readDefaults.legerLineThickness);
    ReadDefault(engraving, "legerLineExtension", &readDefaults.legerLineExtension);
    ReadDefault(engraving, "thinBarlineThickness", &readDefaults.thinBarlineThickness);

    const QJsonObject boxObject = root.value(QLatin1String("glyphBBoxes")).toObject();
    const QJsonObject anchorObject = root.value(QLatin1String("glyphsWithAnchors")).toObject();
    std::array<QRectF, SmuflGlyphCount> readBoxes{};
    decltype(anchors) readAnchors{};
    decltype(hasAnchor) readHasAnchor{};
    for (int i = 0; i < SmuflGlyphCount; ++i) {
        const auto glyph = static_cast<SmuflGlyph>(i);
        const QString name = QLatin1String(SmuflName(glyph));
        const QJsonObject box = boxObject.value(name).toObject();
        QPointF southWest, northEast;
        if (!ReadPoint(box.value(QLatin1String("bBoxSW")), &southWest) ||
            !ReadPoint(box.value(QLatin1String("bBoxNE")), &northEast)) {
            *errorMessage = QStringLiteral("no bounding box for glyph %1").arg(name);
            return false;
        }
        // SMuFL counts y upwards; the layout counts it downwards.
        readBoxes[i] = QRectF(QPointF(southWest.x(), -northEast.y()), QPointF(northEast.x(), -southWest.y()));
        const QJsonObject glyphAnchors = anchorObject.value(name).toObject();
        for (int a = 0; a < static_cast<int>(GlyphAnchor::Count); ++a) {
            QPointF point;
            if (ReadPoint(glyphAnchors.value(QLatin1String(AnchorName(static_cast<GlyphAnchor>(a)))),
                          &point)) {
                readAnchors[i][a] = QPointF(point.x(), -point.y());
                readHasAnchor[i][a] = true;
            }
        }
    }
    defaults = readDefaults;
    boxes = readBoxes;
    anchors = readAnchors;
    hasAnchor = readHasAnchor;
    return true;
}

QPointF FontMetadata::Anchor(SmuflGlyph glyph, GlyphAnchor anchor) const
{
    return anchors[static_cast<int>(glyph)][static_cast<int>(anchor)];
}

bool FontMetadata::HasAnchor(SmuflGlyph glyph, GlyphAnchor anchor) const
{
    return hasAnchor[static_cast<int>(glyph)][static_cast<int>(anchor)];
}

} // namespace Notation
