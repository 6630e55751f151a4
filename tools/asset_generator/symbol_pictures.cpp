// The symbol trainer's pictures: each symbol engraved in its setting on a short staff by the
// notation layer (notes, rests, clefs, key signatures, accidentals), with the marks the engraver
// does not place itself (articulations, dynamics, hairpins, ties, slurs, pedal and octave signs,
// repeats, grace notes, arpeggios) drawn from the same music font beside the engraved notes.

#include "asset_book.h"
#include "design.h"
#include "pictures.h"

#include "notation/font_metadata.h"
#include "notation/music_font.h"
#include "notation/painter_surface.h"
#include "notation/score_document.h"
#include "notation/score_painter.h"

#include <QFontMetricsF>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>

namespace {

using Notation::FontMetadata;
using Notation::LayoutItem;
using Notation::ScoreLayout;
using Role = Notation::LayoutItem::Role;

// Music-font marks drawn beside the engraved notes, by SMuFL name and code point.
enum class Mark
{
    ArticAccentAbove,
    ArticStaccatoAbove,
    ArticTenutoAbove,
    ArticStaccatissimoAbove,
    ArticMarcatoAbove,
    FermataAbove,
    DynamicPPP,
    DynamicPP,
    DynamicPiano,
    DynamicMP,
    DynamicMF,
    DynamicForte,
    DynamicFF,
    DynamicFFF,
    DynamicSforzato,
    OrnamentTrill,
    OttavaAlta,
    OttavaBassa,
    KeyboardPedalPed,
    KeyboardPedalUp,
    RepeatDot,
    Tremolo3,
    WiggleArpeggiatoUp,
    GraceNoteAcciaccaturaStemUp,
    GraceNoteAppoggiaturaStemUp,
    MetNoteQuarterUp,
    AccidentalNatural,
    Count
};

const struct
{
    const char* name;
    char32_t codePoint;
} markTable[] = {
    {"articAccentAbove", 0xE4A0},   {"articStaccatoAbove", 0xE4A2},   {"articTenutoAbove", 0xE4A4},
    {"articStaccatissimoAbove", 0xE4A6}, {"articMarcatoAbove", 0xE4AC}, {"fermataAbove", 0xE4C0},
    {"dynamicPPP", 0xE52A},         {"dynamicPP", 0xE52B},            {"dynamicPiano", 0xE520},
    {"dynamicMP", 0xE52C},          {"dynamicMF", 0xE52D},            {"dynamicForte", 0xE522},
    {"dynamicFF", 0xE52F},          {"dynamicFFF", 0xE530},           {"dynamicSforzato", 0xE539},
    {"ornamentTrill", 0xE566},      {"ottavaAlta", 0xE511},           {"ottavaBassaVb", 0xE51C},
    {"keyboardPedalPed", 0xE650},   {"keyboardPedalUp", 0xE655},      {"repeatDot", 0xE044},
    {"tremolo3", 0xE222},           {"wiggleArpeggiatoUp", 0xEAA9},   {"graceNoteAcciaccaturaStemUp", 0xE560},
    {"graceNoteAppoggiaturaStemUp", 0xE562}, {"metNoteQuarterUp", 0xECA5}, {"accidentalNatural", 0xE261},
};
static_assert(sizeof(markTable) / sizeof(markTable[0]) == size_t(Mark::Count), "one row per mark");

constexpr int markCount = int(Mark::Count);

// Outlines of the marks in staff spaces (origin at the glyph origin, y downwards) and their
// advance widths, read from the compiled-in music font and checked against its metadata.
struct MarkFont
{
    std::array<QPainterPath, markCount> paths;
    std::array<double, markCount> advances{};

    bool Load(QString* error)
    {
        constexpr double pixelSize = 400.0;
        QRawFont font(Notation::MusicFont::FontFile(), pixelSize);
        if (!font.isValid()) {
            *error = QStringLiteral("the music font cannot be read");
            return false;
        }
        const QJsonObject metadata = QJsonDocument::fromJson(Notation::MusicFont::MetadataFile()).object();
        const QJsonObject boxes = metadata.value(QStringLiteral("glyphBBoxes")).toObject();
        const QJsonObject widths = metadata.value(QStringLiteral("glyphAdvanceWidths")).toObject();
        const QTransform toSpaces = QTransform::fromScale(4.0 / pixelSize, 4.0 / pixelSize);
        for (int i = 0; i < markCount; ++i) {
            const QString name = QString::fromLatin1(markTable[i].name);
            const uint codePoint = markTable[i].codePoint;
            const QVector<quint32> glyphs = font.glyphIndexesForString(QString::fromUcs4(&codePoint, 1));
            if (glyphs.isEmpty() || glyphs.first() == 0) {
                *error = QStringLiteral("the music font lacks %1").arg(name);
                return false;
            }
            paths[i] = toSpaces.map(font.pathForGlyph(glyphs.first()));
            // The outline must match the metadata's box for that name: a wrong code point shows.
            const QJsonObject box = boxes.value(name).toObject();
            const QJsonArray sw = box.value(QStringLiteral("bBoxSW")).toArray();
            const QJsonArray ne = box.value(QStringLiteral("bBoxNE")).toArray();
            const QRectF expected(QPointF(sw.at(0).toDouble(), -ne.at(1).toDouble()),
                                  QPointF(ne.at(0).toDouble(), -sw.at(1).toDouble()));
            const QRectF actual = paths[i].boundingRect();
            const double tolerance = 0.08;
            if (sw.isEmpty() || std::abs(actual.left() - expected.left()) > tolerance ||
                std::abs(actual.right() - expected.right()) > tolerance ||
                std::abs(actual.top() - expected.top()) > tolerance ||
                std::abs(actual.bottom() - expected.bottom()) > tolerance) {
                *error = QStringLiteral("U+%1 is not %2 in the music font")
                             .arg(quint32(codePoint), 4, 16, QLatin1Char('0'))
                             .arg(name);
                return false;
            }
            advances[i] = widths.contains(name) ? widths.value(name).toDouble() : actual.right();
        }
        return true;
    }

    const QPainterPath& Path(Mark mark) const { return paths[int(mark)]; }
    QRectF Box(Mark mark) const { return paths[int(mark)].boundingRect(); }
};

const MarkFont* marks = nullptr;

// One engraved example, laid out in staff spaces and placed on a canvas.
struct Engraving
{
    ScoreLayout layout;
    double staffTop = 0;
    double staffLeft = 0, staffRight = 0;
    QPointF origin; // canvas position of staff-space (0, 0)
    double space = Design::StaffSpace;

    QPointF At(double x, double y) const { return origin + QPointF(x, y) * space; }
    QPointF At(QPointF p) const { return At(p.x(), p.y()); }

    std::vector<LayoutItem> Items(Role role) const
    {
        std::vector<LayoutItem> found;
        for (const LayoutItem& item : layout.systems.front().items)
            if (item.role == role)
                found.push_back(item);
        std::sort(found.begin(), found.end(),
                  [](const LayoutItem& a, const LayoutItem& b) { return a.origin.x() < b.origin.x(); });
        return found;
    }
    // Vertical extent of everything engraved, staff included.
    double InkTop() const { return Extent(true); }
    double InkBottom() const { return Extent(false); }
    double Extent(bool top) const
    {
        const FontMetadata& metadata = FontMetadata::Instance();
        double value = top ? staffTop : staffTop + 4;
        for (const LayoutItem& item : layout.systems.front().items) {
            double a, b;
            if (item.isGlyph) {
                const QRectF box = metadata.BoundingBox(item.glyph);
                a = item.origin.y() + box.top();
                b = item.origin.y() + box.bottom();
            } else {
                a = std::min(item.origin.y(), item.end.y());
                b = std::max(item.origin.y(), item.end.y());
            }
            value = top ? std::min(value, a) : std::max(value, b);
        }
        return value;
    }
    // Centre x of a notehead.
    static double HeadCentre(const LayoutItem& head)
    {
        return head.origin.x() + FontMetadata::Instance().Width(head.glyph) / 2;
    }

    // Puts the staff's middle horizontally at the canvas centre and the middle of [top, bottom]
    // (staff spaces) vertically at the canvas centre.
    void Place(const QSizeF& canvas, double top, double bottom, double largest = Design::StaffSpace)
    {
        // The design's staff size, smaller only where the example would not fit the card.
        const double margin = Design::SymbolMargin;
        space = std::min({largest, (canvas.height() - 2 * margin) / (bottom - top),
                          (canvas.width() - 2 * margin) / (staffRight - staffLeft)});
        origin = QPointF(canvas.width() / 2 - (staffLeft + staffRight) / 2 * space,
                         canvas.height() / 2 - (top + bottom) / 2 * space);
    }

    void Paint(QPainter& p) const
    {
        Notation::PainterSurface surface(&p);
        Notation::ScorePainter::PaintPage(layout, 0, QRectF(origin, layout.pageSize * space), Design::Ink(), &surface);
    }

    void Draw(QPainter& p, Mark mark, QPointF at) const
    {
        p.save();
        p.translate(At(at));
        p.scale(space, space);
        p.setPen(Qt::NoPen);
        p.setBrush(Design::Ink());
        p.drawPath(marks->Path(mark));
        p.restore();
    }
    // Draws a mark with the centre of its box at `centre`.
    void DrawCentred(QPainter& p, Mark mark, QPointF centre) const
    {
        Draw(p, mark, centre - marks->Box(mark).center());
    }
    void Line(QPainter& p, QPointF from, QPointF to, double thickness, Qt::PenStyle style = Qt::SolidLine) const
    {
        QPen pen(Design::Ink(), thickness * space, style, Qt::FlatCap);
        if (style != Qt::SolidLine)
            pen.setDashPattern({0.5 / thickness, 0.5 / thickness});
        p.setPen(pen);
        p.drawLine(At(from), At(to));
    }
    // A tie or slur between two points, bowed by `sag` (positive: downwards), as a filled crescent.
    void Curve(QPainter& p, QPointF from, QPointF to, double sag) const
    {
        const QPointF along = (to - from) / 3;
        const QPointF outer(0, sag), inner(0, sag - (sag > 0 ? 0.2 : -0.2));
        QPainterPath path;
        path.moveTo(At(from));
        path.cubicTo(At(from + along + outer), At(to - along + outer), At(to));
        path.cubicTo(At(to - along + inner), At(from + along + inner), At(from));
        p.setPen(QPen(Design::Ink(), 0.04 * space));
        p.setBrush(Design::Ink());
        p.drawPath(path);
    }
};

// Engraves `gmn` on a page wide enough for one system. Without `keepClef` the staff shows only
// the notes; `extraLeft` and `extraRight` (staff spaces) widen the staff for drawn marks.
bool Engrave(const QByteArray& gmn, bool keepClef, double extraLeft, double extraRight, Engraving* out,
             QString* error)
{
    Notation::ScoreDocument document;
    if (!document.SetGmnCode(gmn)) {
        *error = QStringLiteral("cannot engrave %1: %2").arg(QString::fromLatin1(gmn), document.LastError().Describe());
        return false;
    }
    out->layout = document.Layout();
    if (out->layout.systems.size() != 1) {
        *error = QStringLiteral("%1 does not fit one system").arg(QString::fromLatin1(gmn));
        return false;
    }
    Notation::LayoutSystem& system = out->layout.systems.front();
    if (!keepClef)
        system.items.erase(std::remove_if(system.items.begin(), system.items.end(),
                                          [](const LayoutItem& item) { return item.role == Role::Clef; }),
                           system.items.end());
    const FontMetadata& metadata = FontMetadata::Instance();
    double minX = std::numeric_limits<double>::max(), maxX = std::numeric_limits<double>::lowest();
    for (const LayoutItem& item : system.items) {
        if (item.role == Role::StaffLine)
            continue;
        if (item.isGlyph) {
            const QRectF box = metadata.BoundingBox(item.glyph);
            minX = std::min(minX, item.origin.x() + box.left());
            maxX = std::max(maxX, item.origin.x() + box.right());
        } else {
            minX = std::min({minX, item.origin.x(), item.end.x()});
            maxX = std::max({maxX, item.origin.x(), item.end.x()});
        }
    }
    if (minX > maxX)
        minX = maxX = system.staves.front().left;
    const double padding = 1.0;
    out->staffTop = system.staves.front().top;
    out->staffLeft = keepClef ? system.staves.front().left : minX - padding - extraLeft;
    out->staffRight = maxX + padding + extraRight;
    for (LayoutItem& item : system.items) {
        if (item.role == Role::StaffLine) {
            item.origin.setX(out->staffLeft);
            item.end.setX(out->staffRight);
        }
    }
    return true;
}

void CardBackground(QPainter& p, const QSizeF& size)
{
    const QRectF rect = QRectF(QPointF(0, 0), size).adjusted(1, 1, -1, -1);
    QColor shadow = Qt::black;
    shadow.setAlpha(28);
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawRoundedRect(rect.translated(0, 1), Design::RadiusLarge, Design::RadiusLarge);
    p.setPen(QPen(Design::CardEdge(), Design::Hairline));
    p.setBrush(Design::Card());
    p.drawRoundedRect(rect.adjusted(0, 0, 0, -1), Design::RadiusLarge, Design::RadiusLarge);
}

using Extras = std::function<void(QPainter&, const Engraving&)>;

struct Example
{
    Example(QString file, QByteArray gmn, bool keepClef = false, double extraLeft = 0, double extraRight = 0,
            double above = 0, double below = 0, Extras extras = {})
        : file(std::move(file)), gmn(std::move(gmn)), keepClef(keepClef), extraLeft(extraLeft),
          extraRight(extraRight), above(above), below(below), extras(std::move(extras))
    {
    }
    QString file;
    QByteArray gmn;
    bool keepClef;
    double extraLeft, extraRight;
    double above, below; // room for drawn marks beyond the engraved ink, staff spaces
    Extras extras;
};

void AddExample(AssetBook& book, const Example& example, Engraving engraving)
{
    const double top = engraving.InkTop() - example.above, bottom = engraving.InkBottom() + example.below;
    const Extras extras = example.extras;
    book.AddPicture(QStringLiteral("pixmap/exercise/") + example.file, Design::Symbol,
                    [engraving, extras, top, bottom](QPainter& p, const QSizeF& size) mutable {
                        CardBackground(p, size);
                        engraving.Place(size, top, bottom);
                        engraving.Paint(p);
                        if (extras)
                            extras(p, engraving);
                    });
}

LayoutItem Head(const Engraving& e, int n = 0)
{
    return e.Items(Role::Notehead).at(size_t(n));
}

// A mark centred over the first note, `height` staff spaces above the staff's top line.
Extras Over(Mark mark, double height)
{
    return [mark, height](QPainter& p, const Engraving& e) {
        const double top = std::min(e.staffTop, e.InkTop());
        e.DrawCentred(p, mark, QPointF(Engraving::HeadCentre(Head(e)), top - height));
    };
}

// A mark in the space just above the first note (the note has its stem down).
Extras NearHead(Mark mark)
{
    return [mark](QPainter& p, const Engraving& e) {
        const LayoutItem head = Head(e);
        e.DrawCentred(p, mark, QPointF(Engraving::HeadCentre(head), head.origin.y() - 1.0));
    };
}

// A dynamic mark centred below the first note.
Extras Dynamic(Mark mark)
{
    return [mark](QPainter& p, const Engraving& e) {
        const double y = std::max(e.staffTop + 4, e.InkBottom()) + 2.0;
        const QRectF box = marks->Box(mark);
        e.Draw(p, mark, QPointF(Engraving::HeadCentre(Head(e)) - box.center().x(), y));
    };
}

Extras Hairpin(bool opening)
{
    return [opening](QPainter& p, const Engraving& e) {
        const std::vector<LayoutItem> heads = e.Items(Role::Notehead);
        const double left = heads.front().origin.x(), right = heads.back().origin.x() + 1.2;
        const double y = std::max(e.staffTop + 4, e.InkBottom()) + 1.6, half = 0.65;
        const double closed = opening ? left : right, open = opening ? right : left;
        e.Line(p, QPointF(closed, y), QPointF(open, y - half), 0.16);
        e.Line(p, QPointF(closed, y), QPointF(open, y + half), 0.16);
    };
}

// Left of the note at its height (accidentals the engraver would not write, grace notes).
Extras Natural()
{
    return [](QPainter& p, const Engraving& e) {
        const LayoutItem head = Head(e);
        const QRectF box = marks->Box(Mark::AccidentalNatural);
        e.DrawCentred(p, Mark::AccidentalNatural, QPointF(head.origin.x() - 0.3 - box.width() / 2, head.origin.y()));
    };
}

Extras Grace(Mark mark)
{
    return [mark](QPainter& p, const Engraving& e) {
        const LayoutItem head = Head(e);
        const double graceX = head.origin.x() - 2.6, graceY = head.origin.y() - 0.5;
        e.Draw(p, mark, QPointF(graceX, graceY));
        e.Curve(p, QPointF(graceX + 0.45, graceY + 0.6), QPointF(Engraving::HeadCentre(head), head.origin.y() + 0.75),
                0.45);
    };
}

void RepeatSign(QPainter& p, const Engraving& e)
{
    const double right = e.staffRight, top = e.staffTop;
    e.Line(p, QPointF(right - 0.25, top), QPointF(right - 0.25, top + 4), 0.5);
    e.Line(p, QPointF(right - 0.9, top), QPointF(right - 0.9, top + 4), 0.16);
    e.DrawCentred(p, Mark::RepeatDot, QPointF(right - 1.5, top + 1.5));
    e.DrawCentred(p, Mark::RepeatDot, QPointF(right - 1.5, top + 2.5));
}

std::vector<Example> Examples()
{
    std::vector<Example> list;
    const struct
    {
        const char* name;
        int denominator;
    } lengths[] = {
        {"whole", 1},      {"half", 2},          {"quarter", 4},      {"eighth", 8},
        {"sixteenth", 16}, {"thirtysecond", 32}, {"sixtyfourth", 64}, {"hundredtwentyeighth", 128}};
    for (const auto& length : lengths) {
        list.push_back({QStringLiteral("%1note.png").arg(length.name), QStringLiteral("[ a1/%1 ]").arg(length.denominator).toLatin1()});
        list.push_back({QStringLiteral("%1rest.png").arg(length.name), QStringLiteral("[ _/%1 ]").arg(length.denominator).toLatin1()});
    }
    const struct
    {
        const char* name;
        int fifths;
    } keys[] = {{"c-a", 0},    {"g-e", 1},     {"d-b", 2},     {"a-fis", 3},  {"e-cis", 4},   {"b-gis", 5},   {"fis-dis", 6},
                {"ges-ees", -6}, {"des-bes", -5}, {"aes-f", -4}, {"ees-c", -3}, {"bes-g", -2}, {"f-d", -1}};
    for (const auto& key : keys) {
        list.push_back({QStringLiteral("%1-tr.png").arg(key.name),
                        QStringLiteral("[ \\clef<\"g2\"> \\key<%1> ]").arg(key.fifths).toLatin1(), true, 0, 1.0});
        list.push_back({QStringLiteral("%1-bass.png").arg(key.name),
                        QStringLiteral("[ \\clef<\"f4\"> \\key<%1> ]").arg(key.fifths).toLatin1(), true, 0, 1.0});
    }
    const struct
    {
        const char* file;
        Mark mark;
    } dynamics[] = {{"pianississimo.png", Mark::DynamicPPP}, {"pianissimo.png", Mark::DynamicPP},
                    {"piano.png", Mark::DynamicPiano},       {"mezzopiano.png", Mark::DynamicMP},
                    {"mezzoforte.png", Mark::DynamicMF},     {"forte.png", Mark::DynamicForte},
                    {"fortissimo.png", Mark::DynamicFF},     {"fortississimo.png", Mark::DynamicFFF},
                    {"sforzando.png", Mark::DynamicSforzato}};
    for (const auto& dynamic : dynamics)
        list.push_back({dynamic.file, "[ c2/2 ]", false, 1.0, 1.0, 0, 3.2, Dynamic(dynamic.mark)});
    list.push_back({"crescendo.png", "[ c2/4 d2 e2 f2 ]", false, 0.5, 1.0, 0, 2.4, Hairpin(true)});
    list.push_back({"diminuendo.png", "[ f2/4 e2 d2 c2 ]", false, 0.5, 1.0, 0, 2.4, Hairpin(false)});

    list.push_back({"staccato.png", "[ c2/4 ]", false, 1.0, 1.0, 0, 0, NearHead(Mark::ArticStaccatoAbove)});
    list.push_back({"staccatissimo.png", "[ c2/4 ]", false, 1.0, 1.0, 2.0, 0, Over(Mark::ArticStaccatissimoAbove, 1.0)});
    list.push_back({"accent.png", "[ c2/4 ]", false, 1.0, 1.0, 2.0, 0, Over(Mark::ArticAccentAbove, 1.0)});
    list.push_back({"fermata.png", "[ c2/2 ]", false, 1.0, 1.0, 2.4, 0, Over(Mark::FermataAbove, 1.3)});
    list.push_back({"flat.png", "[ b&1/4 ]", false, 0.5, 0.5});
    list.push_back({"tie.png", "[ g1/2 g1/2 ]", false, 0, 0, 0, 0.6, [](QPainter& p, const Engraving& e) {
                        const LayoutItem a = Head(e, 0), b = Head(e, 1);
                        e.Curve(p, QPointF(a.origin.x() + 1.0, a.origin.y() + 0.5),
                                QPointF(b.origin.x() + 0.2, b.origin.y() + 0.5), 0.7);
                    }});
    list.push_back({"marcato.png", "[ c2/4 ]", false, 1.0, 1.0, 2.0, 0, Over(Mark::ArticMarcatoAbove, 1.0)});
    list.push_back({"natural.png", "[ c2/4 ]", false, 1.6, 0.5, 0, 0, Natural()});
    list.push_back({"ottavaalta.png", "[ a2/4 c3 b2 ]", false, 0.5, 0.5, 2.4, 0, [](QPainter& p, const Engraving& e) {
                        const std::vector<LayoutItem> heads = e.Items(Role::Notehead);
                        const double y = std::min(e.staffTop, e.InkTop()) - 1.6;
                        const double left = heads.front().origin.x() - 0.3;
                        const QRectF box = marks->Box(Mark::OttavaAlta);
                        e.Draw(p, Mark::OttavaAlta, QPointF(left - box.left(), y - box.center().y()));
                        const double right = heads.back().origin.x() + 1.2;
                        e.Line(p, QPointF(left + box.width() + 0.4, y - 0.2), QPointF(right, y - 0.2), 0.12, Qt::DashLine);
                        e.Line(p, QPointF(right, y - 0.26), QPointF(right, y + 0.9), 0.12);
                    }});
    list.push_back({"ottavabassa.png", "[ e1/4 c1 d1 ]", false, 0.5, 0.5, 0, 2.6, [](QPainter& p, const Engraving& e) {
                        const std::vector<LayoutItem> heads = e.Items(Role::Notehead);
                        const double y = std::max(e.staffTop + 4, e.InkBottom()) + 1.5;
                        const double left = heads.front().origin.x() - 0.3;
                        const QRectF box = marks->Box(Mark::OttavaBassa);
                        e.Draw(p, Mark::OttavaBassa, QPointF(left - box.left(), y - box.center().y()));
                        const double right = heads.back().origin.x() + 1.2;
                        e.Line(p, QPointF(left + box.width() + 0.4, y + 0.5), QPointF(right, y + 0.5), 0.12, Qt::DashLine);
                        e.Line(p, QPointF(right, y + 0.56), QPointF(right, y - 0.6), 0.12);
                    }});
    list.push_back({"pedaldown.png", "[ e1/2 ]", false, 1.0, 1.5, 0, 3.0, [](QPainter& p, const Engraving& e) {
                        const LayoutItem head = Head(e);
                        const double y = std::max(e.staffTop + 4, e.InkBottom()) + 1.6;
                        const QRectF box = marks->Box(Mark::KeyboardPedalPed);
                        e.Draw(p, Mark::KeyboardPedalPed, QPointF(head.origin.x() - 0.6 - box.left(), y - box.center().y()));
                    }});
    list.push_back({"pedalup.png", "[ e1/2 ]", false, 1.0, 1.0, 0, 3.0, [](QPainter& p, const Engraving& e) {
                        const double y = std::max(e.staffTop + 4, e.InkBottom()) + 1.6;
                        e.DrawCentred(p, Mark::KeyboardPedalUp, QPointF(Engraving::HeadCentre(Head(e)), y));
                    }});
    list.push_back({"repeat.png", "[ e2/4 c2 g1 c2 ]", false, 0, 1.6, 0, 0, RepeatSign});
    list.push_back({"sharp.png", "[ c#2/4 ]", false, 0.5, 0.5});
    list.push_back({"volte.png", "[ e2/4 c2 g1 c2 ]", false, 0, 1.6, 2.6, 0, [](QPainter& p, const Engraving& e) {
                        RepeatSign(p, e);
                        const double y = std::min(e.staffTop, e.InkTop()) - 1.6;
                        const double left = Head(e).origin.x() - 0.4, right = e.staffRight - 0.05;
                        e.Line(p, QPointF(left, y + 1.6), QPointF(left, y - 0.06), 0.16);
                        e.Line(p, QPointF(left - 0.08, y), QPointF(right, y), 0.16);
                        p.setPen(Design::Ink());
                        p.setFont(Design::TextFont(1.5 * e.space, QFont::Bold));
                        p.drawText(e.At(left + 0.35, y + 1.45), QStringLiteral("1."));
                    }});
    list.push_back({"tremolo.png", "[ a1/2 ]", false, 1.0, 1.0, 0, 0, [](QPainter& p, const Engraving& e) {
                        const LayoutItem stem = e.Items(Role::Stem).at(0);
                        const double y = (stem.origin.y() + stem.end.y()) / 2 - 0.3;
                        e.DrawCentred(p, Mark::Tremolo3, QPointF(stem.origin.x(), y));
                    }});
    list.push_back({"trill.png", "[ c2/2 ]", false, 1.0, 1.0, 2.4, 0, Over(Mark::OrnamentTrill, 1.2)});
    list.push_back({"appoggiatura.png", "[ a1/2 ]", false, 3.2, 0.5, 0, 0.5, Grace(Mark::GraceNoteAppoggiaturaStemUp)});
    list.push_back({"doubleflat.png", "[ b&&1/4 ]", false, 0.5, 0.5});
    list.push_back({"doublesharp.png", "[ c##2/4 ]", false, 0.5, 0.5});
    list.push_back({"arpeggio.png", "[ {c1/2, e1, g1, c2} ]", false, 1.6, 0.5, 0, 0, [](QPainter& p, const Engraving& e) {
                        const std::vector<LayoutItem> heads = e.Items(Role::Notehead);
                        double low = heads.front().origin.y(), high = low, x = heads.front().origin.x();
                        for (const LayoutItem& head : heads) {
                            low = std::max(low, head.origin.y());
                            high = std::min(high, head.origin.y());
                            x = std::min(x, head.origin.x());
                        }
                        const double advance = marks->advances[int(Mark::WiggleArpeggiatoUp)];
                        const int segments = std::max(2, int(std::ceil((low - high + 1.0) / advance)));
                        p.save();
                        p.translate(e.At(x - 0.35, low + 0.5));
                        p.rotate(-90);
                        p.scale(e.space, e.space);
                        p.setPen(Qt::NoPen);
                        p.setBrush(Design::Ink());
                        for (int k = 0; k < segments; ++k)
                            p.drawPath(marks->Path(Mark::WiggleArpeggiatoUp).translated(k * advance, 0));
                        p.restore();
                    }});
    list.push_back({"tenuto.png", "[ c2/4 ]", false, 1.0, 1.0, 0, 0, NearHead(Mark::ArticTenutoAbove)});
    list.push_back({"legato.png", "[ d1/4 e1 f1 g1 ]", false, 0, 0, 0, 1.4, [](QPainter& p, const Engraving& e) {
                        const std::vector<LayoutItem> heads = e.Items(Role::Notehead);
                        const LayoutItem a = heads.front(), b = heads.back();
                        e.Curve(p, QPointF(Engraving::HeadCentre(a), a.origin.y() + 0.8),
                                QPointF(Engraving::HeadCentre(b), b.origin.y() + 0.8), 1.1);
                    }});
    list.push_back({"acciaccatura.png", "[ a1/2 ]", false, 3.2, 0.5, 0, 0.5, Grace(Mark::GraceNoteAcciaccaturaStemUp)});
    return list;
}

void QuestionPicture(QPainter& p, const QSizeF& size, Engraving engraving)
{
    CardBackground(p, size);
    engraving.Place(size, engraving.staffTop - 1, engraving.staffTop + 5);
    engraving.Paint(p);
    p.setPen(Design::Accent());
    p.setFont(Design::TextFont(7.0 * engraving.space, QFont::Black));
    const QPointF centre = engraving.At((engraving.staffLeft + engraving.staffRight) / 2 + 1.3, engraving.staffTop + 2);
    p.drawText(QRectF(centre - QPointF(60, 70), QSizeF(120, 140)), Qt::AlignCenter, QStringLiteral("?"));
}

// Tempo word and metronome mark over the first bar of a staff, as a score heads its music.
void TempoPicture(QPainter& p, const QSizeF& size, Engraving engraving, const QString& word, int beats)
{
    CardBackground(p, size);
    engraving.Place(size, engraving.staffTop - 3.6, engraving.InkBottom(), Design::TempoStaffSpace);
    engraving.Paint(p);
    const QPointF base = engraving.At(engraving.staffLeft, engraving.staffTop - 1.6);
    p.setPen(Design::Ink());
    const QFont wordFont = Design::TextFont(1.8 * engraving.space, QFont::Black);
    p.setFont(wordFont);
    p.drawText(base, word);
    const double x = base.x() + QFontMetricsF(wordFont).horizontalAdvance(word) + 0.8 * engraving.space;
    p.save();
    p.translate(x, base.y() - 0.1 * engraving.space);
    p.scale(engraving.space * 0.75, engraving.space * 0.75);
    p.setPen(Qt::NoPen);
    p.setBrush(Design::Ink());
    p.drawPath(marks->Path(Mark::MetNoteQuarterUp));
    p.restore();
    p.setPen(Design::Ink());
    p.setFont(Design::TextFont(1.35 * engraving.space, QFont::Bold));
    p.drawText(QPointF(x + 1.3 * engraving.space, base.y()), QStringLiteral("= %1").arg(beats));
}

} // namespace

bool AddSymbolPictures(AssetBook& book, QString* error)
{
    static MarkFont font;
    if (!font.Load(error))
        return false;
    marks = &font;
    for (const Example& example : Examples()) {
        Engraving engraving;
        if (!Engrave(example.gmn, example.keepClef, example.extraLeft, example.extraRight, &engraving, error))
            return false;
        AddExample(book, example, engraving);
    }
    Engraving staff;
    if (!Engrave("[ \\clef<\"g2\"> ]", true, 0, 7.5, &staff, error))
        return false;
    book.AddPicture(QStringLiteral("pixmap/exercise/question.png"), Design::Symbol,
                    [staff](QPainter& p, const QSizeF& size) { QuestionPicture(p, size, staff); });
    Engraving bar;
    if (!Engrave("[ \\clef<\"g2\"> \\meter<\"4/4\"> c2/4 g1 e1 g1 ]", true, 0, 0, &bar, error))
        return false;
    const struct
    {
        const char* file;
        const char* word;
        int beats;
    } tempos[] = {{"adagio.png", "Adagio", 70},     {"allegro.png", "Allegro", 120}, {"andante.png", "Andante", 90},
                  {"largo.png", "Largo", 50},       {"moderato.png", "Moderato", 110}, {"presto.png", "Presto", 170},
                  {"vivace.png", "Vivace", 140}};
    for (const auto& tempo : tempos) {
        const QString word = QString::fromLatin1(tempo.word);
        const int beats = tempo.beats;
        book.AddPicture(QStringLiteral("pixmap/exercise/") + tempo.file, Design::Symbol,
                        [bar, word, beats](QPainter& p, const QSizeF& size) { TempoPicture(p, size, bar, word, beats); });
    }
    return true;
}
