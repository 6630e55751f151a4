#pragma once
// Writes the GUIDO Music Notation text of questions and answer views, and builds a text into
// page pictures with the boxes of its notes, staves and systems (Core::ScoreSet) through the
// notation layer. The trainers call the writers; the exercise handler builds. GUI thread:
// building paints pixmaps.

#include "core/score_set.h"

#include <QByteArray>
#include <QPair>
#include <QVector>

#include <memory>

namespace Notation {
class ScoreDocument;
}

namespace Core {

class ScoreBuilder
{
public:
    // (key, colour index): 0 green, 1 red, 2 blue, any other black.
    using AnswerNote = QPair<int, int>;

    ScoreBuilder();
    ~ScoreBuilder();
    ScoreBuilder(const ScoreBuilder&) = delete;
    ScoreBuilder& operator=(const ScoreBuilder&) = delete;

    // Keys count piano keys from A0 (0) to C8 (87). Mode 3 writes a chord, any other mode the
    // notes in sequence. Keys the notation cannot name (below 0 or above 98) are left out.
    static QByteArray WriteQuestion(const QVector<int>& keys, bool trebleClef, bool flatSpelling, int mode);
    static QByteArray WriteAnswer(const QVector<AnswerNote>& notes, bool trebleClef, bool flatSpelling);
    // Appends the note name of a key, spelled against the chord being written; nothing for a
    // key the notation cannot name.
    static void WriteNote(QByteArray& out, int key, bool flatSpelling);

    // Renders every page of the text into the score set. Throws Error 0x500 "bad gmn code"
    // when the text is not notation the engraver reads; no page is added then.
    void Build(const QByteArray& gmn, ScoreSet& scoreSet, int kind);

    // Page pixmap size used instead of the kind's (the gmn2png tool draws at other sizes).
    void SetPageSize(int pageWidth, int pageHeight);

private:
    void InitializePainter(const QByteArray& gmn);
    void RenderPage(int page);
    static QPixmap TransparentPixmap(int pixmapWidth, int pixmapHeight);

    std::unique_ptr<Notation::ScoreDocument> painter;
    int kind = 0;
    ScoreSet* scoreSet = nullptr;
    QVector<int> scratch;
    int height = 350;
    int scoreHeight = 350;
    int width = 1050;
    bool customSize = false;
};

} // namespace Core
