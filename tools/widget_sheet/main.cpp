// widget_sheet OUTPUT.png [TILE_FOLDER]
// Renders the shared screen parts offscreen, each in the looks a student meets, at device pixel
// ratio 1 and 2, into one labelled sheet for a person to review (make widgets). Every tile is
// drawn at its own ratio and copied pixel for pixel, so a ratio-2 tile shows exactly the device
// pixels a high-density screen gets. With TILE_FOLDER, each tile is also written there alone.

#include "core/score_builder.h"
#include "notation/music_font.h"
#include "ui/exercise/question_countdown.h"
#include "ui/exercise/computer_piano.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/progress.h"
#include "ui/widgets/score_board.h"
#include "ui/interface_fonts.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Tile
{
    QString label;
    QString fileName;
    QImage picture; // device pixels
};

// Renders `widget` into a picture of its size times `ratio`, with that device pixel ratio.
QImage Render(QWidget& widget, qreal ratio)
{
    QPixmap pixmap(widget.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(QColor(0x3b, 0x3f, 0x46)); // the exercise screen's dark backdrop
    widget.render(&pixmap);
    QImage image = pixmap.toImage();
    image.setDevicePixelRatio(1.0);
    return image;
}

void SendMouse(QWidget& widget, QEvent::Type type, QPoint position)
{
    QMouseEvent event(type, position, widget.mapToGlobal(position),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

KeysStateMap Marks(std::initializer_list<std::pair<int, int>> marks)
{
    KeysStateMap map;
    for (const auto& [key, mark] : marks) {
        KeyStateRecord record;
        record.mark = mark;
        map.insert(key, record);
    }
    return map;
}

struct KeyboardLook
{
    QString label;
    QString name;
    std::function<void(Keyboard&)> prepare;
};

std::vector<KeyboardLook> KeyboardLooks()
{
    const int middleC = 39, e4 = 43, g4 = 46, fSharp4 = 45, aSharp3 = 37;
    // The computer keyboard's window from C3, its letters as UI::ComputerPiano gives them.
    QMap<int, QString> window;
    for (int place = 0; place < UI::ComputerPiano::KeyCount; ++place)
        window.insert(27 + place, UI::ComputerPiano::letterOf(place));
    return {
        {"Keyboard: normal", "keyboard-normal", [](Keyboard&) {}},
        {"Keyboard: hover over E4", "keyboard-hover",
         [=](Keyboard& k) { SendMouse(k, QEvent::MouseMove, k.keyRect(e4).center()); }},
        {"Keyboard: C4 held down", "keyboard-pressed",
         [=](Keyboard& k) {
             SendMouse(k, QEvent::MouseMove, k.keyRect(middleC).center());
             SendMouse(k, QEvent::MouseButtonPress, k.keyRect(middleC).center());
         }},
        {"Keyboard: answer marks, C4 E4 right (green), G4 missed (blue), F#4 and A#3 wrong (red)",
         "keyboard-marks",
         [=](Keyboard& k) {
             k.setMode(Keyboard::DisplayMode);
             k.updateKeysState(Marks({{middleC, Keyboard::GreenMark},
                                      {e4, Keyboard::GreenMark},
                                      {g4, Keyboard::BlueMark},
                                      {fSharp4, Keyboard::RedMark},
                                      {aSharp3, Keyboard::RedMark}}));
         }},
        {"Keyboard: the computer keyboard's window from C3, C4 and E4 held from it", "keyboard-letters",
         [=](Keyboard& k) {
             k.setKeyLetters(window);
             k.pressKey(middleC);
             k.pressKey(e4);
         }},
        {"Keyboard: answer marks with the computer keyboard's letters", "keyboard-letters-marks",
         [=](Keyboard& k) {
             k.setKeyLetters(window);
             k.updateKeysState(Marks({{middleC, Keyboard::GreenMark},
                                      {g4, Keyboard::BlueMark},
                                      {fSharp4, Keyboard::RedMark}}));
         }},
        {"Keyboard: picking an octave, hover over octave 4", "keyboard-octave",
         [=](Keyboard& k) {
             k.setMode(Keyboard::PickOctaveMode);
             SendMouse(k, QEvent::MouseMove, k.keyRect(e4).center());
         }},
        {"Keyboard: dimmed while no answer is taken", "keyboard-dimmed",
         [](Keyboard& k) {
             k.setInteractive(false);
             k.setDimmed(true);
         }},
    };
}

struct BoardLook
{
    QString label;
    QString name;
    QByteArray gmn;
    bool letters;
};

std::vector<BoardLook> BoardLooks()
{
    using Core::ScoreBuilder;
    const QVector<ScoreBuilder::AnswerNote> answer{{39, 0}, {43, 0}, {45, 1}, {46, 2}};
    return {
        {"Score board: chord question (C major, treble), letters on", "board-chord-letters",
         ScoreBuilder::WriteQuestion({39, 43, 46}, true, false, 3), true},
        {"Score board: chord question, letters off", "board-chord",
         ScoreBuilder::WriteQuestion({39, 43, 46}, true, false, 3), false},
        {"Score board: interval question (E2-C3, bass), letters off", "board-interval",
         ScoreBuilder::WriteQuestion({19, 27}, false, false, 2), false},
        {"Score board: answer view (green right, red wrong, blue missed), letters on", "board-answer-letters",
         ScoreBuilder::WriteAnswer(answer, true, false), true},
        {"Score board: answer view, letters off", "board-answer",
         ScoreBuilder::WriteAnswer(answer, true, false), false},
    };
}

// Tiles of one ratio.
void AddTiles(std::vector<Tile>& tiles, qreal ratio)
{
    const QString suffix = QStringLiteral(" (ratio %1)").arg(ratio);
    const QString fileSuffix = QStringLiteral("@%1x.png").arg(ratio);
    for (const KeyboardLook& look : KeyboardLooks()) {
        Keyboard keyboard;
        keyboard.resize(1100, 111);
        keyboard.show();
        look.prepare(keyboard);
        tiles.push_back({look.label + suffix, look.name + fileSuffix, Render(keyboard, ratio)});
    }
    struct Counts
    {
        int right, wrong;
    };
    for (int style = 0; style <= 2; ++style) {
        for (const Counts counts : {Counts{0, 0}, Counts{3, 1}, Counts{1000, 0}}) {
            Progress bar(style);
            bar.resize(style == 2 ? 420 : 300, bar.sizeHint().height());
            bar.setMaximumValue(std::max(counts.right, counts.wrong));
            bar.setValues(counts.wrong, counts.right);
            tiles.push_back(
                {QStringLiteral("Progress style %1: %2 right, %3 wrong")
                         .arg(style)
                         .arg(counts.right)
                         .arg(counts.wrong) +
                     suffix,
                 QStringLiteral("progress-%1-%2-%3").arg(style).arg(counts.right).arg(counts.wrong) +
                     fileSuffix,
                 Render(bar, ratio)});
        }
    }
    // The time left of a timed question, on the score pane's grey.
    for (const int left : {10000, 5000, 2000, 0}) {
        UI::QuestionCountdown countdown;
        countdown.setStyleSheet(QStringLiteral("background: rgb(198, 196, 194);"));
        countdown.setAttribute(Qt::WA_StyledBackground);
        countdown.resize(countdown.sizeHint());
        countdown.setTimeLimit(10000);
        countdown.setRemaining(left);
        tiles.push_back({QStringLiteral("Countdown: %1 s of 10 s left").arg(left / 1000) + suffix,
                         QStringLiteral("countdown-%1").arg(left) + fileSuffix, Render(countdown, ratio)});
    }
    for (const BoardLook& look : BoardLooks()) {
        UI::ScoreBoard board;
        board.resize(630, 210);
        board.setDrawingMode(2);
        board.changeLettersMode(look.letters);
        board.setScore(look.gmn);
        board.show();
        tiles.push_back({look.label + suffix, look.name + fileSuffix, Render(board, ratio)});
    }
}

QImage Sheet(const std::vector<Tile>& tiles)
{
    QFont labelFont(UI::InterfaceFonts::familyName());
    labelFont.setPixelSize(16);
    const int margin = 24, labelHeight = 26, gap = 18;
    int width = 0, height = margin;
    for (const Tile& tile : tiles) {
        width = std::max(width, tile.picture.width());
        height += labelHeight + tile.picture.height() + gap;
    }
    QImage sheet(width + 2 * margin, height + margin, QImage::Format_RGB32);
    sheet.fill(QColor(0x2a, 0x2d, 0x33));
    QPainter painter(&sheet);
    painter.setFont(labelFont);
    painter.setPen(Qt::white);
    int y = margin;
    for (const Tile& tile : tiles) {
        painter.drawText(QRect(margin, y, width, labelHeight), Qt::AlignLeft | Qt::AlignVCenter, tile.label);
        y += labelHeight;
        painter.drawImage(margin, y, tile.picture);
        y += tile.picture.height() + gap;
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        std::fputs("usage: widget_sheet OUTPUT.png [TILE_FOLDER]\n", stderr);
        return 2;
    }
    Q_INIT_RESOURCE(assets);
    Notation::MusicFont::RegisterApplicationFont();
    UI::InterfaceFonts::registerFonts();

    std::vector<Tile> tiles;
    AddTiles(tiles, 1.0);
    AddTiles(tiles, 2.0);

    if (arguments.size() == 3) {
        QDir folder(arguments.at(2));
        if (!folder.mkpath(QStringLiteral("."))) {
            std::fprintf(stderr, "widget_sheet: cannot create %s\n", qPrintable(arguments.at(2)));
            return 1;
        }
        for (const Tile& tile : tiles)
            if (!tile.picture.save(folder.filePath(tile.fileName), "PNG")) {
                std::fprintf(stderr, "widget_sheet: cannot write %s\n",
                             qPrintable(folder.filePath(tile.fileName)));
                return 1;
            }
    }
    if (!Sheet(tiles).save(arguments.at(1), "PNG")) {
        std::fprintf(stderr, "widget_sheet: cannot write %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    std::printf("widget_sheet: %d tiles written to %s\n", int(tiles.size()), qPrintable(arguments.at(1)));
    return 0;
}
