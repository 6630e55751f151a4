#pragma once
// The reference pages of the exercise screen: one page per subject (single notes, intervals,
// chords, scales, tempo, note lengths, key signatures, loudness, note modifiers), each a table
// of names, pictures or small engraved examples and short definitions that scrolls when it is
// taller than the view. Intervals, chords, scales and single notes have a play button per row
// that sounds the example on the sound controller's current output. The exercise screen shows
// the page of the current trainer and section button, sets its title label from ShowPage and
// prints PageImage. Pages are built on first show, so that building the screen stays cheap.
//
// GUI thread only. Examples are played by a QTimer of the book; sending a note never blocks.

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QStackedWidget>
#include <QString>
#include <QVector>

#include <memory>

class QTimer;
class QScrollArea;

namespace Core {
class MidiOutDevice;
class SoundController;
} // namespace Core

namespace UI {

class ScoreBoard;

class ReferenceBook : public QStackedWidget
{
    Q_OBJECT
public:
    // One moment of an example: the piano keys (0-87) that sound together, and for how long.
    struct ExampleStep
    {
        QVector<int> keys;
        int milliseconds = 0;
    };

    // sound: the controller whose current output plays the examples; may be null (the play
    // buttons then play nothing).
    explicit ReferenceBook(std::shared_ptr<Core::SoundController> sound, QWidget* parent = nullptr);
    ~ReferenceBook() override;

    // Shows the page of trainer (0 note, 1 ear, 2 symbol) for the section button with index
    // `section` (0-4, the first button 0) and returns its title ("Chords Reference"); empty,
    // showing a blank page, when the trainer has no such page (the note trainer's last two).
    QString ShowPage(int trainer, int section);
    // The object name of the page shown ("Chords", "NoteLengths"); empty for the blank page.
    QString CurrentPageName() const;
    // The object name and title of a page, without showing it; empty when there is none.
    static QString PageName(int trainer, int section);
    static QString PageTitle(int trainer, int section);

    // The whole current page, title included, drawn top to bottom at its full height for a
    // width in device-independent pixels (at least the page's minimum width), at the given
    // device pixel ratio, without its play buttons: what printing slices into printer pages.
    // A null image when no page is shown. The page on screen is left as it was.
    QImage PageImage(int width, qreal devicePixelRatio = 1.0) const;

    // The notation text engraved into a transparent picture of `size` at `ratio` with a staff
    // `staffHeight` pixels high across its middle and the music centred: what the example cells
    // draw. `isolated` keeps only the last note or rest on a short piece of staff, without the
    // clef, as the generated symbol pictures show them. Kept per text, size, ratio and form.
    QImage EngravedExample(const QByteArray& gmn, const QSize& size, qreal ratio, int staffHeight,
                           bool isolated = false) const;

public slots:
    // Silences the example that is sounding, if any.
    void StopExample();

Q_SIGNALS:
    // A play button was used (for tests and telemetry).
    void examplePlayed(QString pageName, int row);
    // The keys of the example now sounding, each time they change; empty when it has ended or
    // was stopped.
    void exampleSounding(QVector<int> keys);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QScrollArea* Page(const QString& name);
    QWidget* BuildPage(const QString& name);
    void PlayExample(const QString& pageName, int row, const QVector<ExampleStep>& steps);
    void NextStep();
    void SendKeys(const QVector<int>& keys, bool on);

    std::shared_ptr<Core::SoundController> sound;
    QWidget* blankPage = nullptr;
    QHash<QString, QScrollArea*> pages;

    // The example being played: its steps, the next one to play, the keys sounding and the
    // output they sound on (kept, so that they are silenced where they were started).
    QVector<ExampleStep> steps;
    int nextStep = 0;
    QVector<int> sounding;
    std::shared_ptr<Core::MidiOutDevice> output;
    QTimer* stepTimer = nullptr;

    // Engraves the examples; made on the first engraving and never shown.
    mutable std::unique_ptr<ScoreBoard> engraver;
    mutable QHash<QString, QImage> engravings;
};

} // namespace UI
