#pragma once
// The statistics view's list of what a student mixes up in a section: the (asked -> answered)
// pairs of wrong answers the answer log holds most often, in the current run or in every run,
// one row each ("You answer Minor sixth as Major sixth: 7 times") with a button that presents
// both items, played for heard sections and shown for the others. Pairs whose names read the
// same (one interval asked from different roots) are one row, counted together; its button
// presents the pair met most often.
//
// The list asks the log with its asynchronous query and fills itself when the answer comes; an
// answer to a request that a newer one replaced (another section, the history switch) is dropped.
// Shown items come as a card over the list: the asked item, then after a moment the answer beside
// it, engraved by the notation layer or drawn from the symbol's picture. GUI thread only.

#include "core/exercise/answer_log.h"
#include "ui/exercise/worksheet.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace UI {

class ScoreBoard;

class ConfusionList : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxRows = 5;
    // Pairs asked of the log: enough that pairs read alike can be added up before the rows are cut.
    static constexpr int QueryLimit = 64;
    // How long the asked item is shown alone before the answer comes beside it.
    static constexpr int SecondItemDelayMs = 1500;

    enum class Presentation
    {
        Heard, // "Play": the lesson plays both items
        Shown, // "Show": the card shows both items
    };
    // The name a student knows an item of the section by; empty for a key the section lacks.
    using Naming = std::function<QString(qint32 key)>;

    // One item on the card: what it is and how it is drawn.
    struct CardItem
    {
        QString caption; // "Asked: G"
        WorksheetItem item;
    };

    explicit ConfusionList(QWidget* parent = nullptr);
    ~ConfusionList() override;

    // Asks `log` (null: there is none, and the list is empty) for the confusions of `scope`,
    // named by `naming`. The rows shown stay until the answer replaces them.
    void showScope(std::shared_ptr<Core::AnswerLog> log, const Core::AnswerLog::Scope& scope, Naming naming,
                   Presentation presentation);
    // Asks again for the scope shown (after Clear History, after more answers).
    void refresh();
    // Shows the two items of a pair on the card, the second after SecondItemDelayMs.
    void showCard(const CardItem& first, const CardItem& second);
    void hideCard();

    // The rows' texts as shown, top to bottom.
    QStringList rowTexts() const;
    // Whether an answer of the log is still awaited.
    bool isWaiting() const { return m_waiting; }

Q_SIGNALS:
    // A row's button: the pair to present, asked item first.
    void presentRequested(qint32 asked, qint32 answered);
    // The rows were filled from an answer of the log.
    void updated();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Row
    {
        QLabel* text = nullptr;
        QPushButton* button = nullptr;
        qint32 asked = 0;
        qint32 answered = 0;
    };
    struct CardSlot
    {
        QWidget* frame = nullptr;
        QLabel* caption = nullptr;
        ScoreBoard* music = nullptr;
        QLabel* picture = nullptr;
    };

    void fill(const std::vector<Core::Confusion>& confusions);
    void setSlot(CardSlot& slot, const CardItem& item);
    void placeCard();

    std::shared_ptr<Core::AnswerLog> m_log;
    Core::AnswerLog::Scope m_scope;
    Naming m_naming;
    Presentation m_presentation = Presentation::Shown;
    // Counts the requests: an answer carrying an older number is dropped.
    quint64 m_request = 0;
    bool m_waiting = false;

    std::vector<Row> m_rows;
    QLabel* m_caption = nullptr; // which lessons the rows are of
    QLabel* m_empty = nullptr;
    QFrame* m_card = nullptr;
    CardSlot m_cardSlots[2];
    QPushButton* m_cardClose = nullptr;
    QTimer* m_cardTimer = nullptr;
};

} // namespace UI
