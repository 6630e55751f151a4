// The real application in the standard and the colour-blind answer palette: every text on the
// screens and the section end dialog stands out from what is behind it (WCAG AA), and the
// judgement's colours (pane border, marked keys, answer notes with tick or cross) follow the palette.

#include "../common/main_window_fixture.h"
#include "core/exercise/settings_check.h"
#include "core/score_builder.h"
#include "core/settings_store.h"
#include "ui/answer_colours.h"
#include "ui/dialogs/section_end_dialog.h"
#include "ui/settings/trainer_settings_page.h"
#include "ui/widgets/fader_widget.h"
#include "ui/widgets/keyboard_pictures.h"
#include "ui/widgets/score_board.h"
#include "ui/window_stack_manager.h"

#include <QAbstractButton>
#include <QLabel>
#include <QToolButton>

#include <algorithm>
#include <cmath>

using UI::AnswerColours;

namespace {

double Contrast(QRgb a, QRgb b)
{
    const auto luminance = [](QRgb p) {
        double sum = 0;
        for (const auto& [value, weight] :
             {std::pair(qRed(p), 0.2126), {qGreen(p), 0.7152}, {qBlue(p), 0.0722}})
            sum += weight *
                   (value <= 10 ? value / 255.0 / 12.92 : std::pow((value / 255.0 + 0.055) / 1.055, 2.4));
        return sum;
    };
    const double first = luminance(a), second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// The part of its window `widget` covers, as painted there.
QImage Painted(QWidget* widget)
{
    QWidget* window = widget->window();
    return window->grab(QRect(widget->mapTo(window, QPoint()), widget->size()))
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The contrast of the text of `widget`, painted with and without it, by its strongest tenth of
// pixels (antialiased edges are weaker than the strokes); 0 when no text is painted.
double TextContrast(QWidget* widget, const QString& text)
{
    auto* label = qobject_cast<QLabel*>(widget);
    auto* button = qobject_cast<QAbstractButton*>(widget);
    const QImage shown = Painted(widget);
    label ? label->setText(QString()) : button->setText(QString());
    const QImage bare = Painted(widget);
    label ? label->setText(text) : button->setText(text);
    std::vector<double> ratios;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != bare.pixel(x, y))
                ratios.push_back(Contrast(shown.pixel(x, y), bare.pixel(x, y)));
    if (ratios.size() < 8)
        return 0;
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 10, ratios.end(), std::greater<>());
    return ratios[ratios.size() / 10];
}

// Every visible, enabled label and button in `window` whose text is too faint (WCAG AA: 4.5:1,
// 3:1 for text of 24 pixels or bold of 19).
QStringList FaintTexts(QWidget* window)
{
    QStringList faint;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.trimmed().isEmpty() || !widget->isVisible() || !widget->isEnabled() ||
            widget->visibleRegion().isEmpty())
            continue;
        const QFontInfo font(widget->font());
        const double needed = font.pixelSize() >= 24 || (font.bold() && font.pixelSize() >= 19) ? 3.0 : 4.5;
        const double contrast = TextContrast(widget, text);
        if (contrast > 0 && contrast < needed)
            faint << QStringLiteral("%1 \"%2\" (%3): %4, needs %5")
                         .arg(widget->objectName(), text.left(40), widget->parentWidget()->objectName())
                         .arg(contrast, 0, 'f', 2)
                         .arg(needed);
    }
    return faint;
}

// The answer colour (kind) of `palette` a painted pixel is closest to; 10 + kind for one of the
// other palette, -1 when none is nearer than `tolerance`.
int NearestKind(QRgb pixel, AnswerColours::Palette palette, int tolerance)
{
    int best = -1, bestDistance = tolerance;
    for (int p = 0; p < 2; ++p)
        for (int kind = 0; kind < 3; ++kind) {
            const QColor c = AnswerColours::colour(AnswerColours::Kind(kind), AnswerColours::Palette(p));
            const int distance = std::abs(c.red() - qRed(pixel)) + std::abs(c.green() - qGreen(pixel)) +
                                 std::abs(c.blue() - qBlue(pixel));
            if (distance < bestDistance)
                best = p == palette ? kind : 10 + kind, bestDistance = distance;
        }
    return best;
}

} // namespace

class TestColourVision : public QObject
{
    Q_OBJECT

    Application& app = *Application::instance();
    std::unique_ptr<UI::MainWindow> console;

    // The window on the home screen, with answer buttons and no dialogs before a lesson.
    void OpenConsole(bool colourBlind = false)
    {
        app.setLastState(Core::LastState());
        Core::GeneralSettings general = app.settings()->generalSettings();
        general.showDifficultyDialog = false;
        general.hideMidiDialog = true;
        general.answerWithMultipleChoice = true;
        general.colourBlindColours = colourBlind;
        app.setGeneralSettings(general);
        console = OpenMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(console.get()));
    }

private Q_SLOTS:
    void cleanup()
    {
        if (console) {
            console->endSession();
            console.reset();
        }
        AnswerColours::setPalette(AnswerColours::StandardPalette);
    }

    void everyTextStandsOut_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<int>("trainer");
        QTest::addColumn<bool>("colourBlind");
        const char* places[] = {"home",       "well done", "keep practising", "right", "wrong",
                                "statistics", "reference", "settings"}; // the lesson's for each trainer
        for (const bool colourBlind : {false, true})
            for (int p = 0; p < 8; ++p)
                for (int trainer = 0; trainer < (p < 3 ? 1 : 3); ++trainer)
                    QTest::addRow("%s %d, %s", places[p], trainer, colourBlind ? "colour-blind" : "standard")
                        << QString(places[p]) << trainer << colourBlind;
    }

    void everyTextStandsOut()
    {
        QFETCH(QString, place);
        QFETCH(int, trainer);
        QFETCH(bool, colourBlind);
        OpenConsole(colourBlind); // puts the stored palette in force
        QCOMPARE(AnswerColours::palette(),
                 colourBlind ? AnswerColours::ColourBlindPalette : AnswerColours::StandardPalette);
        QWidget* checked = console.get();
        std::unique_ptr<UI::SectionEndDialog> card;
        if (place == "well done" || place == "keep practising") {
            card = std::make_unique<UI::SectionEndDialog>(console.get());
            card->setScore(place == "well done" ? 1 : 9, place == "well done" ? 19 : 11);
            card->show();
            QVERIFY(QTest::qWaitForWindowExposed(card.get()));
            QTRY_COMPARE(card->opacity(), 1.0);
            checked = card.get();
        } else if (place != "home") {
            app.setQuizMode(false);
            console->openExercise(size_t(trainer), false);
            QVERIFY2(WaitForQuestion(*console), "no question was asked");
            if (place == "statistics")
                console->showStatistics();
            else if (place == "reference")
                console->showReference();
            else if (place == "settings")
                console->showSettings();
        }
        QTRY_VERIFY(WindowSettled(*console));
        if (place == "right" || place == "wrong") {
            UI::ExerciseScreen* screen = console->exerciseScreen();
            const int right = screen->session()->snapshot().question.correctIndex + 1;
            const int chosen = place == "right" ? right : right % 6 + 1;
            auto* button = screen->findChild<QToolButton*>(QStringLiteral("variant%1").arg(chosen));
            QVERIFY(button && button->isVisible());
            QTest::mouseClick(button, Qt::LeftButton);
            QTRY_COMPARE(screen->findChild<QLabel*>(QStringLiteral("statusLabel"))->text(),
                         QString(place == "right" ? "Right" : "Wrong"));
            const QImage border = Painted(screen->findChild<QWidget*>(QStringLiteral("scorePane")));
            QCOMPARE(NearestKind(border.pixel(border.width() / 2, 0), AnswerColours::palette(), 8),
                     place == "right" ? AnswerColours::Right : AnswerColours::Wrong);
        }
        QStringList faint = FaintTexts(checked);
        if (place == "settings") {
            UI::TrainerSettingsPage* page = console->settingsPage(trainer);
            for (int section = -1; section < Core::TrainerSectionCount(trainer); ++section) {
                page->openTab(section);
                faint += FaintTexts(checked);
            }
        }
        faint.removeDuplicates();
        QVERIFY2(faint.isEmpty(), qPrintable("too faint: " + faint.join(QStringLiteral("; "))));
    }

    // "Colour-blind friendly colours" ticked on the general settings tab: back in the lesson the
    // palette is in force; unticked, the standard one returns.
    void settingSwitchesThePalette()
    {
        OpenConsole();
        app.setQuizMode(false);
        console->openExercise(0, false);
        QVERIFY2(WaitForQuestion(*console), "no question was asked");
        for (const bool tick : {true, false}) {
            console->showSettings();
            QTRY_VERIFY(WindowSettled(*console));
            console->settingsPage(0)->openTab(-1);
            auto* box =
                console->settingsPage(0)->findChild<QAbstractButton*>(QStringLiteral("colourBlindColours"));
            QVERIFY(box && box->isVisible() && box->isChecked() != tick);
            QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
            console->showExercise();
            QTRY_COMPARE(AnswerColours::palette(),
                         tick ? AnswerColours::ColourBlindPalette : AnswerColours::StandardPalette);
        }
    }

    // The marked keys and the answer notes in each palette: each kind in its own colour, a tick
    // beside a right note and a cross beside a wrong one, none beside a missed one; a palette
    // switch repaints the board already shown.
    void answersArePaintedInThePalette_data()
    {
        QTest::addColumn<bool>("colourBlind");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("keySet");
        const std::pair<const char*, int> kinds[] = {{"right", KeyboardPictures::GreenSet},
                                                     {"wrong", KeyboardPictures::RedSet},
                                                     {"missed", KeyboardPictures::BlueSet}};
        for (const bool colourBlind : {false, true})
            for (int kind : {AnswerColours::Right, AnswerColours::Wrong, AnswerColours::Missed})
                QTest::addRow("%s, %s", kinds[kind].first, colourBlind ? "colour-blind" : "standard")
                    << colourBlind << kind << kinds[kind].second;
    }

    void answersArePaintedInThePalette()
    {
        QFETCH(bool, colourBlind);
        QFETCH(int, kind);
        QFETCH(int, keySet);
        const auto palette = colourBlind ? AnswerColours::ColourBlindPalette : AnswerColours::StandardPalette;
        // The answer is shown before the palette changes, as when it is switched with one in view.
        UI::ScoreBoard board;
        board.resize(600, 300);
        board.setDrawingMode(2);
        QVERIFY(board.setScore(Core::ScoreBuilder::WriteAnswer({{51, kind}}, true, false)));
        board.grab();
        KeyboardPictures keys(QPointF(1, 1), 1.0);
        keys.keyPicture(3, KeyboardPictures::PictureSet(keySet));
        AnswerColours::setPalette(palette);

        const QImage key = keys.keyPicture(3, KeyboardPictures::PictureSet(keySet)).toImage();
        QCOMPARE(NearestKind(key.pixel(key.width() / 2, key.height() * 3 / 4), palette, 120), kind);

        const QImage painted = board.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const Notation::GraphicMap map = board.lastMap();
        const Notation::MapElement* head = map.FindNth(Notation::MapElement::eventType, 1);
        QVERIFY(head);
        QCOMPARE(NearestKind(painted.pixel(head->box.center().toPoint()), palette, 8), kind);
        // Ink of the note's colour right of its head, in the upper left and the upper right of
        // a square a head high there: a cross has both, a tick only the right, a missed note none.
        const double size = head->box.height();
        const auto inked = [&](double left, double right) {
            int count = 0;
            for (int y = int(head->box.top()); y < int(head->box.center().y()); ++y)
                for (int x = int(head->box.right() + left * size); x < int(head->box.right() + right * size);
                     ++x)
                    count += NearestKind(painted.pixel(x, y), palette, 40) == kind;
            return count > 2;
        };
        QCOMPARE(inked(0.25, 0.8), kind == AnswerColours::Wrong);
        QCOMPARE(inked(0.8, 1.5), kind != AnswerColours::Missed);
    }
};

MAIN_WINDOW_TEST_MAIN(TestColourVision)

#include "test_colour_vision.moc"
