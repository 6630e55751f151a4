#include "ui/exercise/lesson_speech.h"

#include "core/exercise/lesson_session.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_chord_data.h"
#include "core/exercise/question_note_data.h"
#include "core/exercise/trainer_support.h"
#include "notation/gmn_parser.h"

#include <QStringList>

#include <algorithm>
#include <iterator>
#include <set>

namespace UI {

namespace {

using Core::QuestionRecord;

// Small counts are read as words, which a screen reader says the same in every voice.
QString countWord(int count)
{
    static const char* const words[] = {
        QT_TRANSLATE_NOOP("UI::LessonSpeech", "no"),     QT_TRANSLATE_NOOP("UI::LessonSpeech", "one"),
        QT_TRANSLATE_NOOP("UI::LessonSpeech", "two"),    QT_TRANSLATE_NOOP("UI::LessonSpeech", "three"),
        QT_TRANSLATE_NOOP("UI::LessonSpeech", "four"),   QT_TRANSLATE_NOOP("UI::LessonSpeech", "five"),
        QT_TRANSLATE_NOOP("UI::LessonSpeech", "six"),    QT_TRANSLATE_NOOP("UI::LessonSpeech", "seven"),
        QT_TRANSLATE_NOOP("UI::LessonSpeech", "eight"),  QT_TRANSLATE_NOOP("UI::LessonSpeech", "nine"),
        QT_TRANSLATE_NOOP("UI::LessonSpeech", "ten"),    QT_TRANSLATE_NOOP("UI::LessonSpeech", "eleven"),
        QT_TRANSLATE_NOOP("UI::LessonSpeech", "twelve"),
    };
    return count >= 0 && count < int(std::size(words)) ? LessonSpeech::tr(words[count])
                                                       : QString::number(count);
}

// The staff of a shown question and how many notes it holds, from its notation text; empty when
// the text shows no note.
QString shownMusic(const QByteArray& gmn)
{
    Notation::Score score;
    Notation::ParseError error;
    if (gmn.isEmpty() || !Notation::GmnParser::Parse(gmn, &score, &error))
        return QString();
    std::set<int> staves;
    std::set<Notation::ClefKind> clefs;
    int notes = 0;
    int mostChords = 0; // the longest run of notes or chords in one voice
    bool together = false;
    for (const Notation::Voice& voice : score.voices) {
        // A voice without a clef is in the treble clef, as the engraver draws it.
        Notation::ClefKind clef = Notation::ClefKind::G;
        bool clefRead = false;
        int chords = 0;
        for (const Notation::VoiceItem& item : voice.items) {
            if (item.kind == Notation::VoiceItem::Kind::Clef && !clefRead)
                clef = item.clef.kind;
            if (item.kind != Notation::VoiceItem::Kind::Chord)
                continue;
            clefRead = true;
            ++chords;
            notes += int(item.notes.size());
            together = together || item.notes.size() > 1;
        }
        if (chords == 0)
            continue;
        staves.insert(voice.staff);
        clefs.insert(clef);
        mostChords = std::max(mostChords, chords);
    }
    if (notes == 0)
        return QString();

    QString staff;
    if (staves.size() > 1 || clefs.size() > 1)
        staff = LessonSpeech::tr("Grand staff");
    else if (*clefs.begin() == Notation::ClefKind::G)
        staff = LessonSpeech::tr("Treble clef");
    else if (*clefs.begin() == Notation::ClefKind::F)
        staff = LessonSpeech::tr("Bass clef");
    else
        staff = LessonSpeech::tr("C clef");

    QString music;
    if (notes == 1)
        music = LessonSpeech::tr("one note");
    else if (mostChords == 1) // every voice sounds once: the notes make one chord
        music = LessonSpeech::tr("chord of %1 notes").arg(countWord(notes));
    else if (!together)
        music = LessonSpeech::tr("%1 notes").arg(countWord(notes));
    else
        music = LessonSpeech::tr("%1 chords").arg(countWord(mostChords));
    return LessonSpeech::tr("%1, %2").arg(staff, music);
}

QString heardItem(const Core::QuestionData* item)
{
    if (dynamic_cast<const Core::QuestionNoteData*>(item))
        return LessonSpeech::tr("Listen: a note");
    if (Core::TrainerSupport::IsInterval(item))
        return LessonSpeech::tr("Listen: an interval");
    if (Core::TrainerSupport::IsScale(item))
        return LessonSpeech::tr("Listen: a scale");
    if (dynamic_cast<const Core::QuestionChordData*>(item))
        return LessonSpeech::tr("Listen: a chord");
    // Not "Listen" alone: that is the speaker's name while the question sounds.
    return LessonSpeech::tr("Listen and answer");
}

bool spelledWithFlats(const QuestionRecord& question)
{
    return question.kind != QuestionRecord::SymbolQuestion && question.option2;
}

QString keyNames(const QVector<int>& keys, bool flat)
{
    QStringList names;
    for (int key : keys)
        names.append(Core::MusicTables::NoteLabel(key, flat));
    return names.join(QLatin1Char(' '));
}

QString itemText(const Core::QuestionData* item)
{
    return item ? Core::TrainerSupport::OneLine(item->caption2) : QString();
}

// What the student gave: the notes played (each key once, in the order they came), the interval
// or the chosen button's text.
QString answerText(const Core::Judgement& judgement)
{
    const Core::Answer& answer = judgement.answer;
    const QuestionRecord& question = judgement.question;
    switch (answer.kind) {
    case Core::Answer::Notes: {
        QVector<int> keys;
        for (const MidiEvent& event : answer.notes) {
            const int key = event.message.byte1 - 21;
            if (event.message.IsNoteOn() && key >= 0 && key < Core::MusicTables::KeyCount &&
                !keys.contains(key))
                keys.append(key);
        }
        return keys.isEmpty() ? LessonSpeech::tr("no notes") : keyNames(keys, spelledWithFlats(question));
    }
    case Core::Answer::Interval:
        return Core::MusicTables::IntervalName(answer.value);
    case Core::Answer::Choice:
        if (answer.variant >= 0 && size_t(answer.variant) < question.candidates.size())
            return itemText(question.candidates[size_t(answer.variant)].get());
        return LessonSpeech::tr("answer %1").arg(answer.variant + 1);
    default:
        return QString();
    }
}

// What was asked, in the terms of the answer: the notes for notes played, the interval for an
// interval, the button's text for a choice.
QString askedText(const Core::Judgement& judgement)
{
    const QuestionRecord& question = judgement.question;
    const Core::QuestionData* item = question.AskedItem();
    const QVector<int> keys = Core::TrainerSupport::EntryKeys(item);
    if (judgement.answer.kind == Core::Answer::Choice || keys.isEmpty())
        return itemText(item);
    // An interval given as one is asked as one: the distance of the item's first two notes.
    if (judgement.answer.kind == Core::Answer::Interval && keys.size() >= 2)
        return Core::MusicTables::IntervalName(qAbs(keys[1] - keys[0]));
    return keyNames(keys, spelledWithFlats(question));
}

} // namespace

QString LessonSpeech::question(const QuestionRecord& question)
{
    const Core::QuestionData* item = question.AskedItem();
    if (!item)
        return QString();
    switch (question.kind) {
    case QuestionRecord::EarQuestion:
        return heardItem(item);
    case QuestionRecord::TempoQuestion:
        return tr("Listen: a tempo");
    case QuestionRecord::ChordSymbolQuestion:
        return tr("Chord symbol %1").arg(item->caption2.section(QLatin1Char('\n'), 0, 0));
    case QuestionRecord::SymbolQuestion:
        return tr("Music symbol");
    default: {
        const QString music = shownMusic(item->gmn);
        return music.isEmpty() ? tr("Music") : music;
    }
    }
}

QString LessonSpeech::judgement(const Core::Judgement& judgement)
{
    const QString asked = askedText(judgement);
    if (judgement.answer.kind == Core::Answer::NoAnswer)
        return judgement.verdict == Core::Judgement::OutOfTime
                   ? tr("No answer, out of time. Asked: %1").arg(asked)
                   : tr("No answer. Asked: %1").arg(asked);
    const QString given = answerText(judgement);
    if (judgement.isRight())
        return tr("Your answer: %1, right.").arg(given);
    return tr("Your answer: %1, wrong. Asked: %2").arg(given, asked);
}

} // namespace UI
