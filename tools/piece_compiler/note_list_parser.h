#pragma once
// Reads a piece written in the note-list text format (see resources/midi/README.md) and turns it
// into timed MIDI events on channel 0. Used by the piece compiler at build time; it knows nothing
// of the engine.

#include <QString>
#include <QVector>

#include <cstdint>

struct CompiledEvent
{
    qint64 tick = 0;
    int order = 0; // ties at one tick: metas, pedal up, note-offs, note-ons, pedal down
    QVector<quint8> bytes;
};

struct CompiledPiece
{
    QString title;
    int numerator = 4;
    int denominator = 4;
    int beatTicks = 0; // the metronome beat, in ticks
    QVector<CompiledEvent> events;
    qint64 endTick = 0;
    double seconds = 0.0;           // time of the last event, from the tempo map
    QVector<double> beatsPerMinute; // every tempo the piece sets, as beats of beatTicks
};

class NoteListParser
{
public:
    static constexpr int ticksPerQuarter = 480;

    // Parses the whole text; on failure returns false and sets `error` to "line N: what".
    bool Parse(const QString& text, CompiledPiece& out, QString& error);

private:
    struct VoiceState
    {
        qint64 tick = 0;
        qint64 durationTicks = ticksPerQuarter;
        int velocity = 78;
        int offset = 0;
        bool pedalDown = false;
    };

    bool ParseHeader(const QStringList& words, CompiledPiece& out);
    bool ParseVoiceTokens(const QStringList& tokens, CompiledPiece& out);
    bool ParseDuration(const QString& text, qint64& ticks);
    bool ParsePitch(const QString& text, int& key);
    bool AddNotes(const QVector<int>& keys, qint64 ticks, const QString& articulation, CompiledPiece& out);
    bool Fail(const QString& message);
    void AddTempo(qint64 tick, double beatsPerMinute, CompiledPiece& out);

    QString error;
    int lineNumber = 0;
    qint64 barTicks = 4 * ticksPerQuarter;
    qint64 partialTicks = 0;
    bool haveTempo = false;
    bool inVoice = false;
    VoiceState voice;
    QVector<QPair<qint64, double>> tempos; // tick, beats per minute
};
