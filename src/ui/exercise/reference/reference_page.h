#pragma once
// One subject of the reference: the paragraph over its table and the table's rows. The book
// makes a page's builder when the page is first shown, has it fill a table and puts the table
// on a sheet under the paragraph. Builders that have examples to hear give each row a play
// button that hands the book the steps of its example, or a passage of a tempo piece.

#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class QObject;

namespace Core {
class MidiBank;
class MidiStream;
} // namespace Core

namespace UI {
namespace Reference {

class ExampleEngraver;
class SheetTable;

// One moment of an example: the piano keys (0-87) that sound together, and for how long.
struct ExampleStep
{
    QVector<int> keys;
    int milliseconds = 0;
};

// What a builder fills its table with: the engraver of the examples, where a play button
// sends its row's example (run in `receiver`'s thread), the tempo pieces (null when the book
// has none: the tempo rows then have no play buttons), and where a play button sends a passage
// of a piece (null when none could be read), which sounds as written, with its own
// instruments and dynamics.
struct PageContext
{
    const ExampleEngraver* engraver = nullptr;
    std::function<void(int row, const QVector<ExampleStep>& steps)> play;
    QObject* receiver = nullptr;
    std::shared_ptr<Core::MidiBank> pieces;
    std::function<void(int row, std::shared_ptr<Core::MidiStream> passage)> playPassage;
};

class ReferencePage
{
public:
    virtual ~ReferencePage() = default;

    // The paragraph over the table, translated; empty for none.
    virtual QString introduction() const = 0;
    virtual void fillTable(SheetTable& table, const PageContext& context) const = 0;
};

template <typename Page> std::unique_ptr<ReferencePage> makePage()
{
    return std::make_unique<Page>();
}

// The keys of `offsets` above `root`.
QVector<int> keysAbove(int root, const std::vector<int>& offsets);
// "C – E – G": names joined by dashes.
QString joinedNames(const QStringList& names);

} // namespace Reference
} // namespace UI
