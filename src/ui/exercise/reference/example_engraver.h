#pragma once
// Engraves the small music examples of the reference pages (a chord, a scale, a note or rest
// alone) into transparent pictures through a score board that is never shown, and keeps each
// picture for the next paint. GUI thread only.

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

namespace UI {

class ScoreBoard;

namespace Reference {

class ExampleEngraver
{
public:
    ExampleEngraver();
    ~ExampleEngraver();
    ExampleEngraver(const ExampleEngraver&) = delete;
    ExampleEngraver& operator=(const ExampleEngraver&) = delete;

    // The notation text engraved into a transparent picture of `size` at `ratio` with a staff
    // `staffHeight` pixels high across its middle and the music centred. `isolated` keeps only
    // the last note or rest on a short piece of staff, without the clef, as the generated symbol
    // pictures show them. Kept per text, size, ratio and form.
    QImage engrave(const QByteArray& gmn, const QSize& size, qreal ratio, int staffHeight,
                   bool isolated = false) const;

private:
    // Made on the first engraving.
    mutable std::unique_ptr<ScoreBoard> m_board;
    mutable QHash<QString, QImage> m_pictures;
};

} // namespace Reference
} // namespace UI
