// Opening and applying the Ear Trainer's settings page (UI::TrainerSettingsPage, trainer 1) in a
// shown offscreen window of 1366 × 768, on a real settings store in a temporary configuration
// folder and a sound controller without synthesizer, as the main window uses it:
//   open       the main window builds its three pages once at start-up and shows one when the
//              Settings tab is chosen, so "open" is from that moment to the page painted:
//              openTab(section) and setQuizMode(false) (which reads the stored values,
//              loadSettings), show() (the page's showEvent reads them again), the layout and the
//              window's first repaint with the page in it (its UpdateRequest handled). The
//              section asked for goes round the page's tabs, so every tab's first paint counts.
//   construct  the same with the page built first (what start-up pays per page), then deleted;
//   apply      one value changed as a student changes it — a chord type check box of the
//              "Chords" tab clicked (checked and unchecked in turn), or, without that tab, the
//              General tab's level buttons 1 and 2 in turn; the click checks the changed
//              block against every question pool of the trainer and saves it — then
//              applySettings(), the leaving of the page. The figure is both together.
// Prints medians and 99th percentiles of each phase; the last line is
//   settings_page open_p50_ms=<median> apply_p50_ms=<median>

#include "bench_support.h"
#include "core/midi/sound_controller.h"
#include "core/settings_store.h"
#include "ui/interface_fonts.h"
#include "ui/settings/trainer_settings_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

const QSize windowSize(1366, 768);
constexpr int earTrainer = 1;
constexpr int warmUp = 3;
constexpr int repetitions = 60;

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Notes when the watched window has finished a repaint (its UpdateRequest handled: painted into
// the backing store and flushed).
class PaintClock : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (receiver != window || event->type() != QEvent::UpdateRequest)
            return QApplication::notify(receiver, event);
        const bool result = QApplication::notify(receiver, event);
        painted = Clock::now();
        ++paints;
        return result;
    }

    QObject* window = nullptr;
    int paints = 0;
    Clock::time_point painted;
};

// Handles events until the window has repainted since `paintsBefore`; false after five seconds.
bool WaitForPaint(PaintClock& app, int paintsBefore)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
    while (app.paints == paintsBefore) {
        if (Clock::now() > deadline)
            return false;
        app.processEvents(QEventLoop::AllEvents);
    }
    return true;
}

// Handles events for `ms` milliseconds: whatever the last step left (a delayed layout, a
// deferred delete) is done before the next one is timed.
void Settle(PaintClock& app, int ms)
{
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until)
        app.processEvents(QEventLoop::AllEvents, 5);
}

void Print(const char* name, const std::vector<double>& values)
{
    if (values.empty()) {
        std::printf("  %-46s none\n", name);
        return;
    }
    std::printf("  %-46s n=%3zu p50 %7.3f ms, p99 %7.3f ms, max %7.3f ms\n", name, values.size(),
                Bench::Percentile(values, 0.5), Bench::Percentile(values, 0.99),
                *std::max_element(values.begin(), values.end()));
}

// The offscreen platform says on every window layout that it cannot pass size hints on.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

int TabIndex(QTabWidget* tabs, const QString& title)
{
    for (int i = 0; tabs && i < tabs->count(); ++i)
        if (tabs->tabText(i).remove(QLatin1Char('&')).compare(title, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// The control a student would use to change one chord type on the "Chords" tab: a check box
// named after a minor chord when there is one, else the first unchecked check box (so that
// unchecking it again never leaves a group empty), else any enabled check box.
QAbstractButton* ChordTypeBox(QWidget* tab)
{
    const QList<QCheckBox*> boxes = tab->findChildren<QCheckBox*>();
    const auto usable = [](const QCheckBox* box) {
        return box->isEnabled() && box->isVisibleTo(box->window());
    };
    for (QCheckBox* box : boxes)
        if (usable(box) && !box->isChecked() &&
            (box->accessibleName() + QLatin1Char(' ') + box->text())
                .contains(QLatin1String("minor"), Qt::CaseInsensitive))
            return box;
    for (QCheckBox* box : boxes)
        if (usable(box) && !box->isChecked())
            return box;
    for (QCheckBox* box : boxes)
        if (usable(box))
            return box;
    return nullptr;
}

int Measure(PaintClock& app)
{
    Core::SettingsStore store([] { return false; });
    Core::SoundController::Options options;
    options.builtInSynthesizer = false;
    options.watchDevices = false;
    auto sound = std::make_shared<Core::SoundController>(options);
    // As the application stores a general record: saved, then the stored input chosen again.
    const auto setGeneralSettings = [&store, sound](const Core::GeneralSettings& general) {
        store.setGeneralSettings(general);
        if (!sound->SelectInputByName(general.inputDevice) && sound->InputCount() > 0)
            sound->SetCurrentInputIndex(0);
    };
    const auto makePage = [&](QWidget* parent) {
        return new UI::TrainerSettingsPage(earTrainer, &store, sound, setGeneralSettings, parent);
    };

    QWidget window;
    window.setObjectName(QStringLiteral("window"));
    window.resize(windowSize);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    window.show();
    app.window = &window;
    const Clock::time_point exposeDeadline = Clock::now() + std::chrono::seconds(5);
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && Clock::now() < exposeDeadline)
        app.processEvents(QEventLoop::AllEvents, 5);
    if (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        std::fprintf(stderr, "settings_page: the window was not exposed\n");
        return 1;
    }
    Settle(app, 100);

    // ---- open: the page built once, shown again and again ----
    UI::TrainerSettingsPage* page = makePage(&window);
    page->hide();
    layout->addWidget(page);
    auto* tabs = page->findChild<QTabWidget*>();
    const int tabCount = tabs ? tabs->count() : 1;
    QStringList tabTitles;
    for (int i = 0; i < tabCount; ++i)
        tabTitles << (tabs ? tabs->tabText(i) : QStringLiteral("General"));
    std::printf("Ear Trainer settings page: %d tab(s):", tabCount);
    for (int i = 0; tabs && i < tabs->count(); ++i)
        std::printf(" \"%s\"", qPrintable(tabs->tabText(i)));
    std::printf("\n");

    std::vector<double> openMs, prepareMs, showMs, paintMs, loadMs;
    std::vector<std::vector<double>> openPerTab{static_cast<size_t>(tabCount)};
    for (int rep = 0; rep < warmUp + repetitions; ++rep) {
        const int section = rep % tabCount - 1; // -1: the General tab
        if (page->isVisible()) {
            const int hidden = app.paints;
            page->hide();
            WaitForPaint(app, hidden);
        }
        Settle(app, 20);

        const int before = app.paints;
        const Clock::time_point start = Clock::now();
        page->openTab(section);
        page->setQuizMode(false);
        const Clock::time_point prepared = Clock::now();
        page->show();
        const Clock::time_point shown = Clock::now();
        if (!WaitForPaint(app, before)) {
            std::fprintf(stderr, "settings_page: the shown page was not painted\n");
            return 1;
        }
        const Clock::time_point painted = app.painted;
        if (rep < warmUp)
            continue;
        openMs.push_back(Ms(start, painted));
        prepareMs.push_back(Ms(start, prepared));
        showMs.push_back(Ms(prepared, shown));
        paintMs.push_back(Ms(shown, painted));
        openPerTab[size_t(section + 1)].push_back(Ms(start, painted));
    }
    for (int rep = 0; rep < warmUp + repetitions; ++rep) {
        const Clock::time_point start = Clock::now();
        page->loadSettings();
        if (rep >= warmUp)
            loadMs.push_back(Ms(start, Clock::now()));
    }

    // ---- apply: one value changed, then applySettings ----
    QAbstractButton* control = nullptr;
    std::array<QAbstractButton*, 2> levels{};
    const int chordsTab = TabIndex(tabs, QStringLiteral("Chords"));
    if (chordsTab >= 0) {
        tabs->setCurrentIndex(chordsTab);
        Settle(app, 50);
        control = ChordTypeBox(tabs->widget(chordsTab));
    }
    QString changing;
    if (control) {
        changing =
            QStringLiteral("the chord type check box \"%1\" on the Chords tab")
                .arg(control->accessibleName().isEmpty() ? control->text() : control->accessibleName());
    } else {
        if (tabs)
            tabs->setCurrentIndex(0);
        levels = {page->findChild<QPushButton*>(QStringLiteral("Level1")),
                  page->findChild<QPushButton*>(QStringLiteral("Level2"))};
        if (!levels[0] || !levels[1]) {
            std::fprintf(stderr, "settings_page: neither a chord type nor the level buttons were found\n");
            return 1;
        }
        changing = chordsTab >= 0
                       ? QStringLiteral("the level buttons 1 and 2 (no check box on the Chords tab)")
                       : QStringLiteral("the level buttons 1 and 2 of the General tab (no Chords tab)");
    }
    Settle(app, 50);
    std::printf("apply changes %s, in turn\n", qPrintable(changing));
    std::vector<double> applyMs, clickMs, leaveMs;
    int changed = 0;
    for (int rep = 0; rep < warmUp + repetitions; ++rep) {
        QAbstractButton* button = control ? control : levels[size_t(rep % 2)];
        const Clock::time_point clicking = Clock::now();
        button->click();
        const Clock::time_point start = Clock::now();
        page->applySettings();
        const bool anything = page->isModified();
        const Clock::time_point end = Clock::now();
        // The click's repaint is not part of what is timed.
        Settle(app, 10);
        if (rep < warmUp)
            continue;
        changed += anything ? 1 : 0;
        // The click runs the check of every pool and saves; applySettings is the leaving of the page.
        applyMs.push_back(Ms(clicking, end));
        clickMs.push_back(Ms(clicking, start));
        leaveMs.push_back(Ms(start, end));
    }
    std::printf("the page reported a change %d times of %d\n", changed, repetitions);
    std::printf("settings file: %s (%lld bytes)\n", qPrintable(store.fileName()),
                static_cast<long long>(QFile(store.fileName()).size()));

    // ---- construct: the page built, shown and painted, then deleted ----
    delete page;
    tabs = nullptr;
    Settle(app, 50);
    std::vector<double> constructMs, buildMs;
    for (int rep = 0; rep < warmUp + repetitions; ++rep) {
        const int section = rep % tabCount - 1;
        const int before = app.paints;
        const Clock::time_point start = Clock::now();
        UI::TrainerSettingsPage* built = makePage(&window);
        const Clock::time_point made = Clock::now();
        layout->addWidget(built);
        built->openTab(section);
        built->setQuizMode(false);
        built->show();
        if (!WaitForPaint(app, before)) {
            std::fprintf(stderr, "settings_page: the built page was not painted\n");
            return 1;
        }
        const Clock::time_point painted = app.painted;
        delete built;
        const int gone = app.paints;
        WaitForPaint(app, gone);
        Settle(app, 20);
        if (rep < warmUp)
            continue;
        constructMs.push_back(Ms(start, painted));
        buildMs.push_back(Ms(start, made));
    }

    std::printf("open (the page built once at start-up; shown from the Settings tab to painted):\n");
    Print("open: openTab + setQuizMode (loadSettings)", prepareMs);
    Print("open: show() (showEvent: loadSettings)", showMs);
    Print("open: layout and first repaint", paintMs);
    Print("open: total", openMs);
    for (int i = 0; i < tabCount; ++i) {
        const QString name = QStringLiteral("open at tab \"%1\"").arg(tabTitles.at(i));
        Print(qPrintable(name), openPerTab[size_t(i)]);
    }
    Print("loadSettings alone", loadMs);
    std::printf("construct (the page built, shown and painted):\n");
    Print("construct: constructor", buildMs);
    Print("construct: total to painted", constructMs);
    std::printf("apply (one value changed: checked against every pool and saved, then applySettings):\n");
    Print("apply: the click (check and save)", clickMs);
    Print("apply: applySettings on leaving", leaveMs);
    Print("apply: total", applyMs);
    std::printf("targets: open <= 30 ms, apply <= 20 ms\n");
    std::printf("settings_page open_p50_ms=%.1f apply_p50_ms=%.1f\n", Bench::Percentile(openMs, 0.5),
                Bench::Percentile(applyMs, 0.5));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("JACK_NO_START_SERVER", "1");
    // A configuration and data folder of this run only: the settings file is written at every apply.
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "settings_page: no temporary folder\n");
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", home.path().toUtf8()); // a folder of mode 0700, as Qt wants it
    qInstallMessageHandler(QuietHandler);

    PaintClock app(argc, argv);
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(assets);
    QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
    QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
    UI::InterfaceFonts::registerFonts();
    app.setStyleSheet(QStringLiteral("file:///:css/global.css"));

    QFile loadAverage(QStringLiteral("/proc/loadavg"));
    if (loadAverage.open(QIODevice::ReadOnly))
        std::printf("load average before: %s\n", loadAverage.readAll().trimmed().constData());
    return Measure(app);
}
