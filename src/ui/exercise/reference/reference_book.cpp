#include "ui/exercise/reference/reference_book.h"

#include "core/error.h"
#include "core/exercise/music_tables.h"
#include "core/midi/midi_bank.h"
#include "core/midi/midi_device_connector.h"
#include "core/midi/midi_in_stream_device_auto.h"
#include "core/midi/midi_message.h"
#include "core/midi/midi_out_device.h"
#include "core/midi/sound_controller.h"
#include "ui/exercise/reference/chords_page.h"
#include "ui/exercise/reference/example_engraver.h"
#include "ui/exercise/reference/intervals_page.h"
#include "ui/exercise/reference/key_signatures_page.h"
#include "ui/exercise/reference/note_lengths_page.h"
#include "ui/exercise/reference/notes_page.h"
#include "ui/exercise/reference/reference_sheet.h"
#include "ui/exercise/reference/scales_page.h"
#include "ui/exercise/reference/symbols_page.h"
#include "ui/exercise/reference/tempo_page.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace UI {
namespace {

using namespace Reference;

struct PageEntry
{
    const char* name;
    const char* title;
    std::unique_ptr<ReferencePage> (*make)();
};

// By section button, for the note and ear trainers (the note trainer has the first three) and for
// the symbol trainer.
const PageEntry pitchedPages[5] = {
    {"SingleNotes", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Single Notes Reference"), &makePage<NotesPage>},
    {"Intervals", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Intervals Reference"), &makePage<IntervalsPage>},
    {"Chords", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Chords Reference"), &makePage<ChordsPage>},
    {"Scales", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Scales Reference"), &makePage<ScalesPage>},
    {"Tempo", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Tempo Reference"), &makePage<TempoPage>},
};
const PageEntry symbolPages[5] = {
    {"NoteLengths", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Note Lengths Reference"),
     &makePage<NoteLengthsPage>},
    {"KeySignatures", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Key Signatures Reference"),
     &makePage<KeySignaturesPage>},
    {"Tempo", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Tempo Reference"), &makePage<TempoPage>},
    {"Loudness", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Loudness Reference"), &makePage<LoudnessPage>},
    {"NoteModifiers", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Note Modifiers Reference"),
     &makePage<NoteModifiersPage>},
};
constexpr int noteTrainerPages = 3;

constexpr int titleHeight = 56;
constexpr int velocity = 96;
// How long after its last event the device of a passage is let go: the event is sure to be out.
constexpr int passageMargin = 200;

const PageEntry* entry(int trainer, int section)
{
    if (section < 0 || section >= 5)
        return nullptr;
    switch (trainer) {
    case 0:
        return section < noteTrainerPages ? &pitchedPages[section] : nullptr;
    case 1:
        return &pitchedPages[section];
    case 2:
        return &symbolPages[section];
    default:
        return nullptr;
    }
}

const PageEntry* entryByName(const QString& name)
{
    for (const PageEntry* table : {pitchedPages, symbolPages}) {
        for (int i = 0; i < 5; ++i) {
            if (name == QLatin1String(table[i].name))
                return &table[i];
        }
    }
    return nullptr;
}

// After cells were hidden or shown: the layouts and the sizes they keep of their widgets are
// worked out again at once, not when the posted layout request arrives.
void relayout(QWidget* sheet)
{
    for (QWidget* widget : sheet->findChildren<QWidget*>()) {
        if (widget->layout())
            widget->updateGeometry();
    }
    for (QLayout* layout : sheet->findChildren<QLayout*>())
        layout->invalidate();
    sheet->layout()->invalidate();
}

} // namespace

ReferenceBook::ReferenceBook(std::shared_ptr<Core::SoundController> sound,
                             std::shared_ptr<Core::MidiBank> pieces, QWidget* parent)
    : QStackedWidget(parent), m_sound(std::move(sound)), m_pieces(std::move(pieces)),
      m_blankPage(new QWidget(this)), m_stepTimer(new QTimer(this)),
      m_engraver(std::make_unique<ExampleEngraver>())
{
    setStyleSheet(QString::fromLatin1(sheetStyle));
    m_blankPage->setObjectName(QString());
    addWidget(m_blankPage);
    m_stepTimer->setSingleShot(true);
    m_stepTimer->setTimerType(Qt::PreciseTimer); // music, and the end of a passage on time
    connect(m_stepTimer, &QTimer::timeout, this, &ReferenceBook::nextStep);
}

ReferenceBook::~ReferenceBook()
{
    // A note still sounding is ended, never left hanging on the output.
    stopExample();
}

QString ReferenceBook::pageName(int trainer, int section)
{
    const PageEntry* found = entry(trainer, section);
    return found ? QString::fromLatin1(found->name) : QString();
}

QString ReferenceBook::pageTitle(int trainer, int section)
{
    const PageEntry* found = entry(trainer, section);
    return found ? tr(found->title) : QString();
}

QString ReferenceBook::showPage(int trainer, int section)
{
    stopExample();
    const PageEntry* found = entry(trainer, section);
    if (!found) {
        setCurrentWidget(m_blankPage);
        return QString();
    }
    setCurrentWidget(page(QString::fromLatin1(found->name)));
    return tr(found->title);
}

QString ReferenceBook::currentPageName() const
{
    QWidget* shown = currentWidget();
    return shown && shown != m_blankPage ? shown->objectName() : QString();
}

QScrollArea* ReferenceBook::page(const QString& name)
{
    if (QScrollArea* built = m_pages.value(name))
        return built;
    auto* scrollArea = new QScrollArea;
    scrollArea->setObjectName(name);
    const PageEntry* found = entryByName(name);
    scrollArea->setAccessibleName(found ? tr(found->title) : name);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setWidgetResizable(true);
    // The play buttons take the focus, and the page scrolls to the one Tab reaches; the space
    // bar stays with the screen.
    scrollArea->setFocusPolicy(Qt::NoFocus);
    scrollArea->setWidget(buildSheet(name));
    addWidget(scrollArea);
    m_pages.insert(name, scrollArea);
    return scrollArea;
}

QWidget* ReferenceBook::buildSheet(const QString& name)
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("referenceSheet"));
    auto* outer = new QHBoxLayout(sheet);
    outer->setContentsMargins(0, 24, 0, 32);
    outer->setSpacing(0);
    auto* column = new QVBoxLayout;
    column->setSpacing(cellSpacing);
    // 80 % of the width, centred.
    outer->addStretch(1);
    outer->addLayout(column, 8);
    outer->addStretch(1);

    const PageEntry* found = entryByName(name);
    const std::unique_ptr<ReferencePage> builder = found ? found->make() : nullptr;
    auto* table = new SheetTable(found ? tr(found->title) : name);
    const QString introduction = builder ? builder->introduction() : QString();
    if (!introduction.isEmpty()) {
        QLabel* label = SheetTable::paragraph(introduction, Qt::PlainText, QStringLiteral("note"));
        label->setContentsMargins(cellSpacing, 0, cellSpacing, 0);
        column->addWidget(label);
    }
    column->addWidget(table);
    column->addStretch(1);

    if (builder) {
        PageContext context;
        context.engraver = m_engraver.get();
        context.play = [this, name](int row, const QVector<ExampleStep>& steps) {
            playExample(name, row, steps);
        };
        context.receiver = this;
        context.pieces = m_pieces;
        context.playPassage = [this, name](int row, std::shared_ptr<Core::MidiStream> passage) {
            playPassage(name, row, std::move(passage));
        };
        builder->fillTable(*table, context);
    }
    return sheet;
}

QImage ReferenceBook::pageImage(int width, qreal devicePixelRatio) const
{
    auto* shown = qobject_cast<QScrollArea*>(currentWidget());
    QWidget* sheet = shown ? shown->widget() : nullptr;
    if (!sheet)
        return QImage();
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    // A page never shown has not had its style sheet applied yet, and its sizes would be wrong.
    sheet->ensurePolished();

    // The play buttons stay on the screen; the focus comes back to the one that had it, and the
    // view to where it was scrolled.
    QWidget* focused = QApplication::focusWidget();
    const QPoint scrolled(shown->horizontalScrollBar()->value(), shown->verticalScrollBar()->value());
    QList<QWidget*> hidden;
    for (QWidget* widget : sheet->findChildren<QWidget*>()) {
        if (widget->property(screenOnly).toBool() && !widget->isHidden()) {
            widget->hide();
            hidden.append(widget);
        }
    }
    relayout(sheet);

    const int sheetWidth = std::max(width, sheet->minimumSizeHint().width());
    const int sheetHeight =
        std::max(sheet->hasHeightForWidth() ? sheet->heightForWidth(sheetWidth) : sheet->sizeHint().height(),
                 sheet->minimumSizeHint().height());
    const QSize shownSize = sheet->size();
    sheet->resize(sheetWidth, sheetHeight);
    sheet->layout()->activate();

    QImage image(QSize(sheetWidth, sheetHeight + titleHeight) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(24);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(QRect(0, 0, sheetWidth, titleHeight), Qt::AlignHCenter | Qt::AlignBottom,
                         shown->accessibleName());
    }
    sheet->render(&image, QPoint(0, titleHeight), QRegion(), QWidget::DrawChildren);

    for (QWidget* widget : hidden)
        widget->show();
    relayout(sheet);
    sheet->resize(shownSize);
    if (focused && !focused->hasFocus() && focused->isVisible())
        focused->setFocus();
    shown->horizontalScrollBar()->setValue(scrolled.x());
    shown->verticalScrollBar()->setValue(scrolled.y());
    return image;
}

void ReferenceBook::playExample(const QString& pageName, int row, const QVector<ExampleStep>& steps)
{
    stopExample();
    Q_EMIT examplePlayed(pageName, row);
    m_output = m_sound ? m_sound->CurrentOutputDevice() : nullptr;
    if (!m_output)
        return;
    m_steps = steps;
    m_nextStep = 0;
    nextStep();
}

void ReferenceBook::playPassage(const QString& pageName, int row, std::shared_ptr<Core::MidiStream> passage)
{
    stopExample();
    Q_EMIT examplePlayed(pageName, row);
    m_output = m_sound ? m_sound->CurrentOutputDevice() : nullptr;
    if (!m_output || !passage || passage->isEmpty()) {
        m_output.reset();
        return;
    }
    m_passageChannels = 0;
    for (const MidiEvent& event : qAsConst(*passage))
        m_passageChannels |= quint16(1u << event.message.Channel());
    const int milliseconds = int(passage->last().seconds * 1000) + passageMargin;
    try {
        m_passageDevice = std::make_shared<Core::MidiInStreamDeviceAuto>(std::move(passage));
    } catch (const Error& error) {
        qCWarning(referenceLog) << "cannot play the piece:" << error.Describe();
        m_output.reset();
        return;
    }
    m_passageConnector = std::make_shared<Core::MidiDeviceConnector>(m_passageDevice, m_output);
    m_passageDevice->Play();
    m_stepTimer->start(milliseconds);
}

void ReferenceBook::nextStep()
{
    if (m_nextStep >= m_steps.size()) {
        stopExample();
        return;
    }
    const ExampleStep& step = m_steps.at(m_nextStep++);
    sendKeys(m_sounding, false);
    m_sounding = step.keys;
    sendKeys(m_sounding, true);
    Q_EMIT exampleSounding(m_sounding);
    m_stepTimer->start(step.milliseconds);
}

void ReferenceBook::stopExample()
{
    m_stepTimer->stop();
    const bool wasSounding = !m_sounding.isEmpty();
    sendKeys(m_sounding, false);
    m_sounding.clear();
    m_steps.clear();
    m_nextStep = 0;
    stopPassage();
    m_output.reset();
    if (wasSounding)
        Q_EMIT exampleSounding(m_sounding);
}

void ReferenceBook::stopPassage()
{
    if (!m_passageDevice)
        return;
    // Once Open returns the device releases nothing more. Cut short, the passage leaves notes
    // and the pedal down: they are let go, to die away as released keys do.
    const bool cut = m_passageDevice->IsPlaying();
    m_passageDevice->Open();
    for (quint8 channel = 0; cut && m_output && channel < 16; ++channel) {
        if (m_passageChannels & (1u << channel)) {
            m_output->Send(MidiMessage(0xB0, channel, 64, 0));  // sustain pedal up
            m_output->Send(MidiMessage(0xB0, channel, 123, 0)); // all notes off
        }
    }
    m_passageConnector.reset();
    m_passageDevice.reset();
    m_passageChannels = 0;
}

void ReferenceBook::sendKeys(const QVector<int>& keys, bool on)
{
    if (!m_output)
        return;
    for (int key : keys) {
        if (key < 0 || key >= Core::MusicTables::KeyCount)
            continue;
        m_output->Send(MidiMessage(on ? 0x90 : 0x80, 0, quint8(key + 21), velocity));
    }
}

void ReferenceBook::hideEvent(QHideEvent* event)
{
    stopExample();
    QStackedWidget::hideEvent(event);
}

} // namespace UI
