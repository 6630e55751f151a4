#pragma once
// The reference pages of the exercise screen: one page per subject (single notes, intervals,
// chords, scales, tempo, note lengths, key signatures, loudness, note modifiers), each a table
// of names, pictures or small engraved examples and short definitions that scrolls when it is
// taller than the view. Intervals, chords, scales and single notes have a play button per row
// that sounds the example on the sound controller's current output; so have the tempo markings
// the trainers ask, which play the opening bars of one of their pieces. The exercise screen shows
// the page of the current trainer and section button, sets its title label from showPage and
// prints pageImage. Pages are built on first show, so that building the screen stays cheap;
// each subject's builder (UI::Reference::ReferencePage) fills its table.
//
// GUI thread only. Examples are played by a QTimer of the book; sending a note never blocks. The
// bars of a tempo piece are replayed on the 1 ms timer thread by a stream device, as the
// exercises replay their questions; the book lets the device go when they are over or stopped.

#include "ui/exercise/reference/reference_page.h"

#include <QHash>
#include <QImage>
#include <QStackedWidget>
#include <QString>
#include <QVector>

#include <memory>

class QTimer;
class QScrollArea;

namespace Core {
class MidiBank;
class MidiDeviceConnector;
class MidiInStreamDeviceAuto;
class MidiOutDevice;
class MidiStream;
class SoundController;
} // namespace Core

namespace UI {

class ReferenceBook : public QStackedWidget
{
    Q_OBJECT
public:
    // sound: the controller whose current output plays the examples; may be null (the play
    // buttons then play nothing). pieces: the tempo pieces the tempo rows play; may be null (the
    // tempo rows then have no play buttons).
    ReferenceBook(std::shared_ptr<Core::SoundController> sound, std::shared_ptr<Core::MidiBank> pieces,
                  QWidget* parent = nullptr);
    ~ReferenceBook() override;

    // Shows the page of trainer (0 note, 1 ear, 2 symbol) for the section button with index
    // `section` (0-4, the first button 0) and returns its title ("Chords Reference"); empty,
    // showing a blank page, when the trainer has no such page (the note trainer's last two).
    QString showPage(int trainer, int section);
    // The object name of the page shown ("Chords", "NoteLengths"); empty for the blank page.
    QString currentPageName() const;
    // The object name and title of a page, without showing it; empty when there is none.
    static QString pageName(int trainer, int section);
    static QString pageTitle(int trainer, int section);

    // The whole current page, title included, drawn top to bottom at its full height for a
    // width in device-independent pixels (at least the page's minimum width), at the given
    // device pixel ratio, without its play buttons: what printing slices into printer pages.
    // A null image when no page is shown. The page on screen is left as it was.
    QImage pageImage(int width, qreal devicePixelRatio = 1.0) const;

public Q_SLOTS:
    // Silences the example that is sounding, if any.
    void stopExample();

Q_SIGNALS:
    // A play button was used (for tests and telemetry).
    void examplePlayed(QString pageName, int row);
    // The keys of the example now sounding, each time they change; empty when it has ended or
    // was stopped. Not told for the bars of a tempo piece.
    void exampleSounding(QVector<int> keys);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QScrollArea* page(const QString& name);
    QWidget* buildSheet(const QString& name);
    void playExample(const QString& pageName, int row, const QVector<Reference::ExampleStep>& steps);
    void playPassage(const QString& pageName, int row, std::shared_ptr<Core::MidiStream> passage);
    void nextStep();
    void sendKeys(const QVector<int>& keys, bool on);
    void stopPassage();

    std::shared_ptr<Core::SoundController> m_sound;
    std::shared_ptr<Core::MidiBank> m_pieces;
    QWidget* m_blankPage = nullptr;
    QHash<QString, QScrollArea*> m_pages;

    // The example being played: its steps, the next one to play, the keys sounding and the
    // output they sound on (kept, so that they are silenced where they were started).
    QVector<Reference::ExampleStep> m_steps;
    int m_nextStep = 0;
    QVector<int> m_sounding;
    std::shared_ptr<Core::MidiOutDevice> m_output;
    QTimer* m_stepTimer = nullptr;
    // Or the passage of a piece being played: the device replaying it to m_output, and the
    // channels it plays on. The step timer, with no steps, lets the device go once it is over.
    std::shared_ptr<Core::MidiInStreamDeviceAuto> m_passageDevice;
    std::shared_ptr<Core::MidiDeviceConnector> m_passageConnector;
    quint16 m_passageChannels = 0;

    std::unique_ptr<Reference::ExampleEngraver> m_engraver;
};

} // namespace UI
