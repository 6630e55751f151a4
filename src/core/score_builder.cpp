#include "core/score_builder.h"

#include "core/error.h"

#include "notation/score_document.h"

#include <QLoggingCategory>
#include <QPainter>

#include <vector>

Q_LOGGING_CATEGORY(scoreLog, "cantorela.score")

namespace Core {

namespace {

const char* const opening = "{ ";
const char* const staffHeader = "[ \\staff<1> ";
const char* const trebleClefTag = "\\clef<\"g2\"> ";
const char* const bassClefTag = "\\clef<\"f4\"> ";
const char* const stemsAuto = " \\stemsAuto ";
const char* const noteSeparator = " ";
const char* const chordOpening = " { ";
const char* const chordSeparator = " , ";
const char* const chordClosing = " } ";
const char* const voiceEnd = " ]";
const char* const voiceSeparator = ", ";
const char* const scoreEndAfterEmptyVoice = " ] }";
const char* const answerEnd = " }";
const char* const colourBlack = "  \\noteFormat<color=\"black\"> ";
const char* const colourRed = "  \\noteFormat<color=\"0xdc4040\"> ";
const char* const colourGreen = "  \\noteFormat<color=\"0x00996c\"> ";
const char* const colourBlue = "  \\noteFormat<color=\"0x2789dd\"> ";

const char* const sharpNames[12] = {"c", "c#", "d", "d#", "e", "f", "f#", "g", "g#", "a", "a#", "b"};
const char* const flatNames[12] = {"c", "d&", "d", "e&", "e", "f", "g&", "g", "a&", "a", "b&", "b"};
const char* const octaveTexts[9] = {"-3", "-2", "-1", "0", "1", "2", "3", "4", "5"};

constexpr int lowestWritableKey = 0;
constexpr int highestWritableKey = 98; // B in the last octave the octave texts reach

// The keys of the chord or answer group being written; the writers fill it for the length of
// one call. One per thread, so writers on different threads cannot disturb each other.
thread_local std::vector<int> currentChord;

struct ChordScope
{
    ~ChordScope() { currentChord.clear(); }
};

bool Writable(int key)
{
    return key >= lowestWritableKey && key <= highestWritableKey;
}

QByteArray Header(bool treble)
{
    return QByteArray(staffHeader) + (treble ? trebleClefTag : bassClefTag) + stemsAuto;
}

const char* ColourTag(int colour)
{
    switch (colour) {
    case 0:
        return colourGreen;
    case 1:
        return colourRed;
    case 2:
        return colourBlue;
    default:
        return colourBlack;
    }
}

} // namespace

ScoreBuilder::ScoreBuilder() = default;
ScoreBuilder::~ScoreBuilder() = default;

void ScoreBuilder::WriteNote(QByteArray& out, int key, bool flat)
{
    if (!Writable(key))
        return;
    const int pitchClass = key < 3 ? 9 + key : (key - 3) % 12;
    const bool black =
        pitchClass == 1 || pitchClass == 3 || pitchClass == 6 || pitchClass == 8 || pitchClass == 10;
    if (black) {
        // A black key next to a natural of the chord is spelled away from it.
        for (int other : currentChord) {
            if (other == key - 1 && !flat) {
                flat = true;
                break;
            }
            if (other == key + 1 && flat) {
                flat = false;
                break;
            }
        }
    }
    out += flat ? flatNames[pitchClass] : sharpNames[pitchClass];
    out += key < 3 ? octaveTexts[0] : octaveTexts[(key - 3) / 12 + 1];
}

QByteArray ScoreBuilder::WriteQuestion(const QVector<int>& keys, bool treble, bool flat, int mode)
{
    ChordScope scope;
    QVector<int> written;
    for (int key : keys) {
        if (Writable(key))
            written.append(key);
    }
    const QByteArray header = Header(treble);
    QByteArray out = opening + header;
    if (!written.isEmpty()) {
        if (mode == 3) {
            currentChord.assign(written.begin(), written.end());
            out += chordOpening;
            WriteNote(out, written.first(), flat);
            for (int i = 1; i < written.size(); ++i) {
                out += chordSeparator;
                WriteNote(out, written.at(i), flat);
            }
            out += chordClosing;
            currentChord.clear();
        } else {
            for (int key : written) {
                out += noteSeparator;
                WriteNote(out, key, flat);
            }
        }
    }
    out += voiceEnd;
    out += voiceSeparator;
    out += header;
    out += scoreEndAfterEmptyVoice;
    return out;
}

QByteArray ScoreBuilder::WriteAnswer(const QVector<AnswerNote>& notes, bool treble, bool flat)
{
    ChordScope scope;
    auto shownRed = [treble](int key) { return treble ? key >= 25 && key <= 88 : key >= 0 && key <= 54; };
    std::vector<int> redGroup, otherGroup;
    for (const AnswerNote& note : notes) {
        if (!Writable(note.first))
            continue;
        if (note.second == 1) {
            if (shownRed(note.first))
                redGroup.push_back(note.first);
        } else {
            otherGroup.push_back(note.first);
        }
    }
    QByteArray out = opening + Header(treble);
    QByteArray red, other;
    const char* redSeparator = "";
    const char* otherSeparator = "";
    for (const AnswerNote& note : notes) {
        if (!Writable(note.first))
            continue;
        if (note.second == 1) {
            if (!shownRed(note.first))
                continue;
            currentChord = redGroup;
            red += redSeparator;
            WriteNote(red, note.first, flat);
            redSeparator = chordSeparator;
        } else {
            currentChord = otherGroup;
            other += otherSeparator;
            other += ColourTag(note.second);
            WriteNote(other, note.first, flat);
            otherSeparator = chordSeparator;
        }
    }
    if (!red.isEmpty())
        out += chordOpening + QByteArray(colourRed) + red + chordClosing;
    out += chordOpening + other + chordClosing;
    out += voiceEnd;
    out += answerEnd;
    return out;
}

void ScoreBuilder::SetPageSize(int pageWidth, int pageHeight)
{
    width = pageWidth;
    height = pageHeight;
    scoreHeight = pageHeight;
    customSize = true;
}

void ScoreBuilder::InitializePainter(const QByteArray& gmn)
{
    painter = std::make_unique<Notation::ScoreDocument>();
    // Every kind draws on the same page: 3000 × 1000 notation units with these margins, into
    // pixmaps of 1050 × 350.
    Notation::PageFormat format;
    format.width = 3000.0;
    format.height = 1000.0;
    format.marginLeft = 20.0;
    format.marginTop = 70.0;
    format.marginRight = 20.0;
    format.marginBottom = 70.0;
    painter->SetPageFormat(format);
    if (!customSize) {
        height = 350;
        scoreHeight = 350;
        width = 1050;
    }
    if (!painter->SetGmnCode(gmn)) {
        qCWarning(scoreLog) << "notation text rejected:" << painter->LastError().Describe();
        throw Error("src/core/score_builder", "Core::ScoreBuilder::InitializePainter", 148, 0x500,
                    QStringLiteral("bad gmn code"));
    }
}

void ScoreBuilder::Build(const QByteArray& gmn, ScoreSet& set, int buildKind)
{
    struct Release
    {
        ScoreBuilder* builder;
        ~Release()
        {
            builder->painter.reset();
            builder->scratch.clear();
            builder->scoreSet = nullptr;
        }
    } release{this};

    kind = buildKind;
    scoreSet = &set;
    InitializePainter(gmn);
    set.scale = 0.0;
    set.width = width;
    set.height = height;
    set.scoreHeight = scoreHeight;
    for (int page = 0; page < painter->PageCount(); ++page)
        RenderPage(page);
}

// A transparent pixmap of the given size. Copies share one buffer until one of them is painted
// on (QPixmap copies on write), so the pages' spare pixmaps cost nothing until they are used.
QPixmap ScoreBuilder::TransparentPixmap(int pixmapWidth, int pixmapHeight)
{
    thread_local QPixmap blank;
    if (blank.width() != pixmapWidth || blank.height() != pixmapHeight) {
        blank = QPixmap(pixmapWidth, pixmapHeight);
        blank.fill(Qt::transparent);
    }
    return blank;
}

void ScoreBuilder::RenderPage(int page)
{
    ScorePage record;
    record.score = std::make_shared<QPixmap>(width, scoreHeight);
    record.score->fill(Qt::transparent);
    record.second = std::make_shared<QPixmap>(TransparentPixmap(width, height));
    record.overlay = std::make_shared<QPixmap>(TransparentPixmap(width, scoreHeight));

    Notation::GraphicMap map;
    {
        QPainter pixmapPainter(record.score.get());
        pixmapPainter.setRenderHint(QPainter::Antialiasing, true);
        pixmapPainter.setPen(QColor(0x00, 0x00, 0x20));
        map = painter->DrawPage(&pixmapPainter, page, QRectF(0, 0, width, scoreHeight));
    }
    if (const Notation::MapElement* staff = map.FindNth(Notation::MapElement::staffType, 1)) {
        record.measuredHeight = int(staff->box.height());
        record.measuredTop = int(staff->box.top());
    }
    if (const Notation::MapElement* system = map.FindNth(Notation::MapElement::systemType, 1))
        record.measuredWidth = int(system->box.width());
    scoreSet->pages.append(record);
    // The events in map order, as counting them one by one would find them; staves and
    // systems in drawing order.
    for (const Notation::MapElement& element : map.elements) {
        if (element.type == Notation::MapElement::eventType &&
            element.subtype == Notation::MapElement::noteSubtype) {
            scoreSet->elementBoxes.append(element.box);
            scoreSet->elementPages.append(page);
        } else if (element.type == Notation::MapElement::staffType) {
            scoreSet->staffBoxes.append(element.box);
            scoreSet->staffPages.append(page);
        } else if (element.type == Notation::MapElement::systemType) {
            scoreSet->systemBoxes.append(element.box);
            scoreSet->systemPages.append(page);
        }
    }
}

} // namespace Core
