// tour OUTPUT_DIR SHEET.png
// Drives the real exercise screen offscreen through a learning and a quiz lesson of each trainer,
// answered as a student answers (on-screen keys, answer buttons, the keys 1 to 6, one question
// left to time out), and takes a picture at every moment a reviewer should see: each question
// kind, the judgements, the MIDI notice, the pause hint, the play dialog and the section end
// dialog. It does so at 1920x1080, at 1366x768 and at 1920x1080 with device pixel ratio 2, each
// in a process of its own (the ratio-2 pass runs with QT_SCALE_FACTOR=2, so every widget paints
// at ratio 2 and picks its "@2x" pictures). The screen sits under a 60 px stand-in for the main
// window's tool bar, as it will in the main window. The pictures go to OUTPUT_DIR/<size>/, with
// a labelled contact sheet of all of them in SHEET.png (make tour).
//
// Without a JACK server or a sound card: the sound controller has no synthesizer and watches no
// devices, so no MIDI input exists and the screen shows its MIDI notice; answer sounds are
// swallowed by a silent server. Questions are drawn from a fixed seed.

#include "../../tests/core/exercise/settings_blocks.h"
#include "core/exercise/exercise.h"
#include "core/exercise/exercise_catalog.h"
#include "core/exercise/question_data.h"
#include "core/midi/au_server.h"
#include "core/midi/midi_bank.h"
#include "core/midi/midi_event.h"
#include "core/midi/sound_controller.h"
#include "notation/music_font.h"
#include "ui/action_hint.h"
#include "ui/console_exercise_control.h"
#include "ui/controls/keyboard.h"
#include "ui/controls/progress.h"
#include "ui/interface_fonts.h"
#include "ui/midi_warning_dialog.h"
#include "ui/play_dialog.h"
#include "ui/section_end_dialog.h"
#include "ui/settings_store.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

// The resources of the libraries (outside any namespace, as Q_INIT_RESOURCE needs).
static void InitResources()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(assets);
    Q_INIT_RESOURCE(midi_pieces);
}

namespace {

constexpr int ToolBarHeight = 60;
const char* const IndexFile = "index.tsv";

struct Pass
{
    QString name; // folder name
    QString title;
    int width;
    int height;
    int ratio;
};

const std::vector<Pass>& Passes()
{
    static const std::vector<Pass> passes = {
        {QStringLiteral("1920x1080"), QStringLiteral("1920×1080"), 1920, 1080, 1},
        {QStringLiteral("1366x768"), QStringLiteral("1366×768"), 1366, 768, 1},
        {QStringLiteral("1920x1080@2x"), QStringLiteral("1920×1080, ratio 2"), 1920, 1080, 2},
    };
    return passes;
}

// Swallows the answer sounds: the tour runs without a sound card.
class SilentAuServer : public Core::AuServer
{
public:
    void Play(SoundClip&) override {}
    void Stop() override {}
};

// Short lessons that ask every question kind: single notes, intervals and chords of the note
// trainer twice each (the trainer alternates the clefs when both are on and the notes fit both
// staves), chord symbols in the quiz, one question of every other section, and one section with
// a short time-out so that a question runs out of time; edits the learning or the quiz block.
// Not the tests' ShortLessons(): the tour must show every question kind, on both staves.
void TourLessons(Core::TrainerSettings& s, bool quiz)
{
    using namespace Core;
    const int relaxed = 30;
    NoteTrainerSettings& n = s.noteTrainer;
    n.singleNotes.duration = {relaxed, quiz ? 1 : 2};
    n.intervals.duration = {quiz ? relaxed : 4, quiz ? 1 : 2};
    n.chords.duration = {relaxed, quiz ? 1 : 2};
    for (ClefSettings* c : {&n.singleNotes.clefs, &n.intervals.clefs, &n.chords.clefs})
        *c = ClefSettings{true, true};
    for (NotesDiapason* d : {&n.singleNotes.diapason, &n.intervals.diapason, &n.chords.diapason,
                             &s.earTrainer.singleNotes.diapason, &s.earTrainer.intervals.diapason,
                             &s.earTrainer.chords.diapason, &s.earTrainer.scales.diapason})
        *d = NotesDiapason{34, 51, true, true}; // G3 to C5: on either staff
    n.intervals.intervalStart = 3;
    n.intervals.intervalEnd = 7;
    n.chords.SetAll(false);
    n.chords[ChordSwitch::MajorTriad] = true;
    n.chords[ChordSwitch::MinorTriad] = true;
    n.chords[ChordSwitch::ChordNotation] = quiz;
    // Learning pauses after a mistake (the hint then offers the next question), the quiz goes on.
    n.wrongAnswerPolicy = {quiz, 2500};

    EarTrainerSettings& e = s.earTrainer;
    e.singleNotes.duration = {quiz ? relaxed : 8, 1};
    for (DurationSettings* d :
         {&e.intervals.duration, &e.chords.duration, &e.scales.duration, &e.tempo.duration})
        *d = {relaxed, 1};
    e.intervals.intervalStart = 3;
    e.intervals.intervalEnd = 7;
    e.chords.SetAll(false);
    e.chords[ChordSwitch::MajorTriad] = true;
    e.chords[ChordSwitch::MinorTriad] = true;
    e.scales.SetAll(false);
    e.scales[ScaleSwitch::NaturalMaj] = true;
    e.scales[ScaleSwitch::NaturalMin] = true;
    e.scales[ScaleSwitch::Ascending] = true;
    e.tempo.SetAll(false);
    e.tempo[TempoSwitch::Allegro] = true;
    e.tempo[TempoSwitch::Adagio] = true;

    SymbolTrainerSettings& y = s.symbolTrainer;
    y.lengths.duration = {relaxed, 1};
    y.keySignatures.duration = {relaxed, 1};
    y.tempo.duration = {relaxed, 1};
    y.loudness.duration = {quiz ? relaxed : 4, 1};
    y.noteModifiers.duration = {relaxed, 1};
    y.lengths.SetAll(true);
    y.keySignatures.SetAll(true);
    y.tempo.SetAll(true);
    y.loudness.SetAll(true);
    y.noteModifiers.SetAll(true);
}

const char* TrainerName(size_t trainer)
{
    static const char* const names[] = {"Note trainer", "Ear trainer", "Symbol trainer"};
    return names[trainer];
}
const char* TrainerSlug(size_t trainer)
{
    static const char* const names[] = {"note", "ear", "symbol"};
    return names[trainer];
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

void Pause(int ms)
{
    QTest::qWait(ms);
}

// One pass: the screen at one size and ratio, through six lessons.
class Tour
{
public:
    Tour(const Pass& pass, const QString& folder) : pass(pass), folder(folder)
    {
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
        store = std::make_unique<Core::SettingsStore>([this] { return blocks.IsQuizMode(); });
        Core::GeneralSettings general = store->GetGeneralSettings();
        general.answerWithGraphicalKeyboard = true;
        general.answerWithMultipleChoice = true;
        general.hideMidiDialog = false;
        store->SetGeneralSettings(general);
        for (bool quizBlock : {true, false}) {
            blocks.SetQuizMode(quizBlock);
            blocks.Change([quizBlock](Core::TrainerSettings& s) { TourLessons(s, quizBlock); });
        }
        catalog = std::make_shared<Core::ExerciseCatalog>(&blocks);
        catalog->SetMidiBank(std::make_shared<Core::MidiBank>());
        Core::SoundController::Options options;
        options.builtInSynthesizer = false;
        options.watchDevices = false;
        sound = std::make_shared<Core::SoundController>(options);

        // The main window's frame: its tool bar above, the screen below.
        window = std::make_unique<QWidget>();
        window->setWindowTitle(QStringLiteral("Cantorela tour"));
        auto* layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto* bar = new QLabel(QStringLiteral("   tool bar of the main window (60 px)"), window.get());
        bar->setFixedHeight(ToolBarHeight);
        bar->setStyleSheet(QStringLiteral("background: #202225; color: #6d727a; font-size: 14px;"));
        layout->addWidget(bar);
        screen = new UI::ConsoleExerciseControl(catalog, sound, store.get(), window.get());
        layout->addWidget(screen, 1);
        window->setFixedSize(pass.width, pass.height);
    }
    ~Tour()
    {
        if (screen)
            screen->CloseExercise();
        window.reset();
        catalog.reset();
    }

    bool Run()
    {
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            std::fprintf(stderr, "tour: the window is not exposed\n");
            return false;
        }
        for (bool quiz : {false, true})
            for (size_t trainer = 0; trainer < 3; ++trainer)
                if (!Lesson(trainer, quiz))
                    return false;
        return WriteIndex();
    }

private:
    Core::Exercise& Exercise() const { return *screen->GetExercise(); }
    template <typename T = QWidget> T* Child(const QString& name) const
    {
        return screen->findChild<T*>(name);
    }
    QToolButton* Variant(int id) const { return Child<QToolButton>(QStringLiteral("variant%1").arg(id)); }
    Keyboard* Piano() const { return Child<Keyboard>(QStringLiteral("keyboard")); }
    Progress* Bar() const { return Child<Progress>(QStringLiteral("progress")); }

    // The window as it is on screen: the window itself with the dialogs laid over it.
    QImage Capture() const
    {
        QPixmap picture = window->grab();
        QPainter painter(&picture);
        const QPoint origin = window->mapToGlobal(QPoint(0, 0));
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top == window.get() || !top->isVisible() || top->parentWidget() == nullptr)
                continue;
            painter.drawPixmap(top->mapToGlobal(QPoint(0, 0)) - origin, top->grab());
        }
        painter.end();
        QImage image = picture.toImage();
        image.setDevicePixelRatio(1.0);
        return image;
    }

    void Shot(const QString& moment)
    {
        ++count;
        const QString slug = QString(moment).toLower().replace(
            QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("-"));
        const QString file = QStringLiteral("%1-%2-%3-%4.png")
                                 .arg(count, 2, 10, QLatin1Char('0'))
                                 .arg(QLatin1String(TrainerSlug(trainer)), quiz ? "quiz" : "learn")
                                 .arg(slug.left(60).remove(QRegularExpression(QStringLiteral("-$"))));
        const QImage image = Capture();
        if (!image.save(QDir(folder).filePath(file), "PNG"))
            std::fprintf(stderr, "tour: cannot write %s\n", qPrintable(file));
        index.append(QStringLiteral("%1\t%2 · %3 · %4 · %5")
                         .arg(file, pass.title, QLatin1String(TrainerName(trainer)),
                              quiz ? QStringLiteral("quiz") : QStringLiteral("learn"), moment));
        std::printf("tour %s: %s\n", qPrintable(pass.name), qPrintable(file));
        std::fflush(stdout);
    }

    bool WriteIndex() const
    {
        QFile file(QDir(folder).filePath(QLatin1String(IndexFile)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        QTextStream out(&file);
        out.setCodec("UTF-8");
        for (const QString& line : index)
            out << line << '\n';
        return true;
    }

    bool LessonEnded() const
    {
        return screen->GetSectionEndDialog() && screen->GetSectionEndDialog()->isVisible();
    }

    // Waits for a question after `asked` questions that waits for its answer, or the lesson's end;
    // presses the space bar when the screen waits for it.
    bool WaitForNextQuestion(int asked)
    {
        auto ready = [&] {
            return LessonEnded() || (Exercise().GetState() == Core::Exercise::AwaitingAnswer &&
                                     Exercise().GetPlayState() == Core::LessonBase::Running &&
                                     Exercise().GetCounters().asked > asked);
        };
        for (int attempt = 0; attempt < 4; ++attempt) {
            if (WaitFor(ready, 15000))
                return true;
            QTest::keyClick(screen, Qt::Key_Space);
        }
        return false;
    }

    QVector<int> ExpectedKeys() const
    {
        QVector<int> keys;
        const Core::QuestionRecord question = Exercise().GetCurrentQuestion();
        if (const Core::QuestionData* item = question.AskedItem())
            if (item->stream)
                for (const MidiEvent& e : *item->stream)
                    if (e.message.IsNoteOn() && !keys.contains(int(e.message.byte1) - 21))
                        keys.append(int(e.message.byte1) - 21);
        return keys;
    }

    void ClickKey(int key) const
    {
        const QRect area = Piano()->KeyRect(key);
        QTest::mouseClick(Piano(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(area.center().x(), area.bottom() - 4));
    }

    // What the question is, for the label.
    QString QuestionName() const
    {
        const Core::QuestionRecord question = Exercise().GetCurrentQuestion();
        const int section = Exercise().GetCurrentSection();
        const auto titles = Exercise().GetSectionTitles();
        QString name = section >= 0 && size_t(section) < titles.size()
                           ? titles[size_t(section)].shortName
                           : QStringLiteral("section %1").arg(section);
        if (question.kind == Core::QuestionRecord::ChordSymbolQuestion)
            return QStringLiteral("Chord symbol");
        if (trainer == 0)
            name += question.option1 ? QStringLiteral(", treble clef") : QStringLiteral(", bass clef");
        if (trainer == 1)
            name = QStringLiteral("Heard: ") + name;
        return name;
    }

    enum class Move
    {
        RightOnPiano,
        WrongButton,
        RightKey,
        WrongOnPiano,
        RightButton,
        WrongKey,
        TimeOut,
    };

    // Answers the question as `move` says, falling back to the inputs that show; returns the
    // label of what was done.
    QString Answer(Move move)
    {
        const Core::QuestionRecord question = Exercise().GetCurrentQuestion();
        const bool buttons = Variant(1)->isVisible();
        const bool piano = Piano()->isVisible();
        const int right = question.correctIndex + 1;
        const int wrong = right % 6 + 1;
        const QVector<int> expected = ExpectedKeys();
        const bool onPiano = move == Move::RightOnPiano || move == Move::WrongOnPiano;
        if (move == Move::TimeOut)
            return QStringLiteral("out of time");
        const bool isRight =
            move == Move::RightOnPiano || move == Move::RightKey || move == Move::RightButton;
        if ((onPiano && piano && !expected.isEmpty()) || (!buttons && piano && !expected.isEmpty())) {
            if (isRight) {
                for (int key : expected)
                    ClickKey(key);
            } else {
                int key = expected.first() + 1;
                while (expected.contains(key) || (key - expected.first()) % 12 == 0)
                    ++key;
                ClickKey(key);
            }
            return isRight ? QStringLiteral("right answer on the on-screen piano")
                           : QStringLiteral("wrong answer on the on-screen piano");
        }
        if (!buttons)
            return QString();
        const int id = isRight ? right : wrong;
        if (move == Move::RightKey || move == Move::WrongKey) {
            QTest::keyClick(screen, Qt::Key(Qt::Key_0 + id));
            return isRight ? QStringLiteral("right answer by key %1").arg(id)
                           : QStringLiteral("wrong answer by key %1").arg(id);
        }
        QTest::mouseClick(Variant(id), Qt::LeftButton, Qt::NoModifier, Variant(id)->rect().center());
        return isRight ? QStringLiteral("right answer by button") : QStringLiteral("wrong answer by button");
    }

    // The missing-MIDI notice, when it comes up as a lesson opens: pictured, then closed with OK.
    void CloseMidiNotice()
    {
        auto shown = [&] {
            return screen->GetMidiWarningDialog() && screen->GetMidiWarningDialog()->isVisible();
        };
        if (!WaitFor(shown, 1500))
            return;
        Pause(400); // it fades in
        Shot(noticeShots++ == 0 ? QStringLiteral("MIDI notice: no MIDI input device")
                                : QStringLiteral("MIDI notice again"));
        QTest::mouseClick(screen->GetMidiWarningDialog()->OkButton(), Qt::LeftButton);
        WaitFor([&] { return !shown(); }, 3000);
        Pause(200);
    }

    // The play dialog and the pause hint, in the first lesson.
    void PauseMoments()
    {
        QTest::keyClick(screen, Qt::Key_Space);
        WaitFor([&] { return screen->FindPlayDialog() && screen->FindPlayDialog()->IsShown(); }, 3000);
        Pause(400);
        Shot(QStringLiteral("Paused: the play dialog"));
        QTest::keyClick(screen, Qt::Key_Space);
        if (WaitFor([&] { return screen->GetActionHint()->isVisible(); }, 8000)) {
            Pause(300);
            Shot(QStringLiteral("The pause hint"));
        } else {
            std::fprintf(stderr, "tour: no pause hint came\n");
        }
    }

    bool Lesson(size_t trainerId, bool quizMode)
    {
        trainer = trainerId;
        quiz = quizMode;
        blocks.SetQuizMode(quiz);
        std::srand(14u + unsigned(trainer) + (quiz ? 3u : 0u));
        if (screen->GetSectionEndDialog())
            screen->GetSectionEndDialog()->hide();
        screen->LoadExercise(trainer, quiz, false);
        if (!screen->GetExercise()) {
            std::fprintf(stderr, "tour: no lesson of trainer %zu\n", trainer);
            return false;
        }
        const bool first = trainer == 0 && !quiz;
        CloseMidiNotice();
        int asked = 0;
        bool timedOut = quiz; // one time-out per learning lesson
        bool heardShown = false;
        const Move cycle[] = {Move::RightOnPiano, Move::WrongButton, Move::RightKey,
                              Move::WrongOnPiano, Move::RightButton, Move::WrongKey};
        for (int n = 0; n < 20; ++n) {
            if (trainer == 1 && !heardShown) {
                // A heard question while it sounds: the speaker moves.
                heardShown = true;
                const auto presenting = [&] { return Exercise().GetState() == Core::Exercise::Presenting; };
                if (WaitFor(
                        [&] {
                            return presenting() || Exercise().GetState() == Core::Exercise::AwaitingAnswer;
                        },
                        8000) &&
                    presenting()) {
                    Pause(250);
                    Shot(QStringLiteral("%1: sounding").arg(QuestionName()));
                }
            }
            if (!WaitForNextQuestion(asked)) {
                std::fprintf(stderr, "tour: no question after %d in %s\n", asked, TrainerName(trainer));
                return false;
            }
            if (LessonEnded())
                break;
            if (first && n == 0)
                PauseMoments();
            Pause(700); // the question fades in
            asked = Exercise().GetCounters().asked;
            const int answered = Exercise().GetCounters().answered;
            const QString question = QuestionName();
            Shot(question + QStringLiteral(": question"));
            // The section with the short time-out lets its question run out of time.
            const int section = Exercise().GetCurrentSection();
            const bool timeOutHere = !timedOut && Exercise().TicksPerQuestion(section) > 0 &&
                                     Exercise().TicksPerQuestion(section) * Core::Exercise::TickMs <= 8000;
            const Move move = timeOutHere ? Move::TimeOut : cycle[size_t(n) % 6];
            const QString what = Answer(move);
            if (what.isEmpty()) {
                std::fprintf(stderr, "tour: no input to answer with in %s\n", TrainerName(trainer));
                return false;
            }
            if (!WaitFor([&] { return Exercise().GetCounters().answered > answered; }, 15000)) {
                std::fprintf(stderr, "tour: the answer (%s) was not judged\n", qPrintable(what));
                return false;
            }
            if (move == Move::TimeOut) {
                timedOut = true;
                Pause(900);
                Shot(question + QStringLiteral(": out of time"));
                Pause(UI::ConsoleExerciseControl::TimeoutSummaryDelayMs);
                // The status goes back to the question count; the judged question stays.
                if (Exercise().GetCounters().asked == asked && !screen->IsTimedOut())
                    Shot(question + QStringLiteral(": out of time, 3 s later"));
                else
                    std::fprintf(stderr, "tour: %s moved on before the time-out summary\n",
                                 TrainerName(trainer));
            } else {
                const bool right = what.startsWith(QLatin1String("right"));
                Pause(right ? 250 : 900); // a right answer moves on after half a second
                Shot(question + QStringLiteral(": ") + what);
            }
            // After a mistake in a learning lesson the space bar goes on.
            if (Exercise().GetPlayState() == Core::LessonBase::Paused &&
                Exercise().GetCounters().asked == asked)
                QTest::keyClick(screen, Qt::Key_Space);
        }
        if (!WaitFor([&] { return LessonEnded(); }, 20000)) {
            std::fprintf(stderr, "tour: the lesson of %s did not end\n", TrainerName(trainer));
            return false;
        }
        UI::SectionEndDialog* dialog = screen->GetSectionEndDialog();
        QSignalSpy counted(dialog, &UI::SectionEndDialog::SectionEndTimeout);
        counted.wait(3000);
        Pause(300);
        Shot(QStringLiteral("Section end: the lesson's score"));
        if (first) {
            // The looks on either side of the 90 % line.
            for (const auto& score : {std::make_pair(1, 9), std::make_pair(3, 22)}) {
                dialog->setScore(score.first, score.second);
                QSignalSpy again(dialog, &UI::SectionEndDialog::SectionEndTimeout);
                dialog->ShowForSectionEnd();
                again.wait(3000);
                Pause(300);
                Shot(QStringLiteral("Section end at %1 %")
                         .arg(score.second * 100 / (score.first + score.second)));
            }
        }
        return true;
    }

    const Pass& pass;
    QString folder;
    QTemporaryDir data;
    QTemporaryDir config;
    SettingsBlocks blocks;
    std::unique_ptr<Core::SettingsStore> store;
    std::shared_ptr<Core::ExerciseCatalog> catalog;
    std::shared_ptr<Core::SoundController> sound;
    std::unique_ptr<QWidget> window;
    UI::ConsoleExerciseControl* screen = nullptr;
    QStringList index;
    int count = 0;
    int noticeShots = 0;
    size_t trainer = 0;
    bool quiz = false;
};

int RunPass(const Pass& pass, const QString& folder)
{
    InitResources();
    QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
    QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
    UI::InterfaceFonts::Register();
    Notation::MusicFont::RegisterApplicationFont();
    SilentAuServer sounds;
    if (!QDir(folder).mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "tour: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    for (const QString& old : QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files))
        QFile::remove(QDir(folder).filePath(old));
    Tour tour(pass, folder);
    return tour.Run() ? 0 : 1;
}

struct Picture
{
    QString file;
    QString label;
};

QImage Sheet(const QString& outputDir)
{
    constexpr int margin = 24, columns = 4, thumbWidth = 480, labelHeight = 50, gap = 16, headHeight = 44;
    QFont labelFont(UI::InterfaceFonts::FamilyName());
    labelFont.setPixelSize(12);
    QFont headFont(UI::InterfaceFonts::FamilyName());
    headFont.setPixelSize(24);
    headFont.setBold(true);

    struct Group
    {
        QString title;
        std::vector<Picture> pictures;
        int thumbHeight;
    };
    std::vector<Group> groups;
    for (const Pass& pass : Passes()) {
        Group group{pass.title, {}, thumbWidth * pass.height / pass.width};
        const QDir folder(QDir(outputDir).filePath(pass.name));
        QFile file(folder.filePath(QLatin1String(IndexFile)));
        if (file.open(QIODevice::ReadOnly)) {
            QTextStream in(&file);
            in.setCodec("UTF-8");
            while (!in.atEnd()) {
                const QStringList fields = in.readLine().split('\t');
                if (fields.size() == 2)
                    group.pictures.push_back({folder.filePath(fields[0]), fields[1]});
            }
        }
        groups.push_back(group);
    }
    int height = margin;
    for (const Group& group : groups) {
        const int rows = int((group.pictures.size() + columns - 1) / columns);
        height += headHeight + rows * (labelHeight + group.thumbHeight + gap);
    }
    const int width = 2 * margin + columns * thumbWidth + (columns - 1) * gap;
    QImage sheet(width, height + margin, QImage::Format_RGB32);
    sheet.fill(QColor(0x2a, 0x2d, 0x33));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    int y = margin;
    for (const Group& group : groups) {
        painter.setFont(headFont);
        painter.setPen(Qt::white);
        painter.drawText(QRect(margin, y, width - 2 * margin, headHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         group.title);
        y += headHeight;
        painter.setFont(labelFont);
        for (size_t i = 0; i < group.pictures.size(); ++i) {
            const int column = int(i % columns);
            const int x = margin + column * (thumbWidth + gap);
            const Picture& picture = group.pictures[i];
            painter.setPen(QColor(0xdd, 0xdd, 0xdd));
            painter.drawText(QRect(x, y, thumbWidth, labelHeight),
                             Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
                             QFileInfo(picture.file).fileName() + QStringLiteral("\n") + picture.label);
            QImage image(picture.file);
            if (!image.isNull())
                painter.drawImage(QRect(x, y + labelHeight, thumbWidth, group.thumbHeight),
                                  image.scaled(thumbWidth, group.thumbHeight, Qt::IgnoreAspectRatio,
                                               Qt::SmoothTransformation));
            if (column == columns - 1 || i + 1 == group.pictures.size())
                y += labelHeight + group.thumbHeight + gap;
        }
    }
    return sheet;
}

// Runs the passes, each in its own process (the ratio must be set before the application starts).
int RunAll(const QString& outputDir, const QString& sheetPath)
{
    const QString program = QCoreApplication::applicationFilePath();
    std::vector<std::unique_ptr<QProcess>> processes;
    for (size_t i = 0; i < Passes().size(); ++i) {
        const Pass& pass = Passes()[i];
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("QT_AUTO_SCREEN_SCALE_FACTOR"));
        environment.remove(QStringLiteral("QT_SCREEN_SCALE_FACTORS"));
        if (pass.ratio != 1)
            environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(pass.ratio));
        else
            environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(program,
                       {QStringLiteral("--pass"), QString::number(i), QDir(outputDir).filePath(pass.name)});
        processes.push_back(std::move(process));
    }
    int failures = 0;
    for (auto& process : processes) {
        process->waitForFinished(-1);
        if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
            ++failures;
    }
    if (!Sheet(outputDir).save(sheetPath, "PNG")) {
        std::fprintf(stderr, "tour: cannot write %s\n", qPrintable(sheetPath));
        return 1;
    }
    std::printf("tour: contact sheet written to %s\n", qPrintable(sheetPath));
    if (failures)
        std::fprintf(stderr, "tour: %d of the passes failed\n", failures);
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--pass")) {
        const size_t pass = arguments.at(2).toUInt();
        if (pass >= Passes().size())
            return 2;
        return RunPass(Passes()[pass], arguments.at(3));
    }
    if (arguments.size() != 3) {
        std::fputs("usage: tour OUTPUT_DIR SHEET.png\n", stderr);
        return 2;
    }
    UI::InterfaceFonts::Register();
    return RunAll(arguments.at(1), arguments.at(2));
}
