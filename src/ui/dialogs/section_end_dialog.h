#pragma once
// The dialog laid over the exercise screen when a lesson reaches its end: the total score as a
// percentage that counts up, the right and wrong answers on a bar, the result in words, and the
// choices Continue (leave the lesson), Repeat and Review statistics. The exercise screen creates
// it, gives it the score and shows it; the owner of the screen stack connects its screen changes
// to screenChangeSlot(), which hides the dialog while another screen is in front and brings it
// back with the exercise screen. GUI thread only.

#include "ui/dialogs/base_dialog.h"

#include <QPixmap>

#include <memory>

class QTimer;

namespace Ui {
class ex_section_end_dialog;
}

namespace UI {

class SectionEndDialog : public BaseDialog
{
    Q_OBJECT
public:
    explicit SectionEndDialog(QWidget* parent = nullptr);
    ~SectionEndDialog() override;

Q_SIGNALS:
    // The user leaves the lesson (the Continue button, Escape or the Close key sequence).
    void continueRequested();
    void repeatRequested();
    void reviewStatsRequested();
    // The count-up has reached the final score.
    void sectionEndTimeout();

public Q_SLOTS:
    // Shows the dialog for a new section end: clears the score shown and counts up, in 20 steps
    // of 35 ms, to the score given by setScore(). Screen changes hide and show it from now on,
    // until the user makes a choice.
    void showForSectionEnd();

    void on_Continue_released();
    void on_ReviewStats_released();
    void on_Repeat_released();
    // `current` is the object name of the screen now in front, `previous` the one before.
    void screenChangeSlot(QString current, QString previous);
    // The score the count-up leads to; clears the bar. The dialog's accessible name and
    // description say the score and the verdict at once.
    void setScore(int wrong, int right);
    // Shows 0% on the neutral look, with an empty bar.
    void clearScore();
    // The count-up has reached the score given, and nothing has cleared it since.
    bool scoreShown() const { return m_scoreShown; }
    // The lesson it belongs to is closed, or the student looks elsewhere in it: the dialog goes
    // (fading out when `fade`) and screen changes no longer bring it back.
    void dismiss(bool fade);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void countUpTick();
    void stopCountUp();
    int scorePercentage() const;
    void showPercentage(int percentage);
    // Gives the percentage and the background the style sheets held by the form's properties
    // `numberStyle` and `background`, and says `verdict` below the percentage.
    void applyLook(const char* numberStyle, const char* background, const QString& verdict);
    // A choice has been made and the dialog is on its way out: later choices are ignored.
    bool isLeaving() const;

    std::unique_ptr<Ui::ex_section_end_dialog> m_ui;
    int m_wrong = 0;
    int m_right = 0;
    // Progress of the count-up, 0 to 100 in steps of 5.
    int m_step = 0;
    QTimer* m_animationTimer = nullptr;
    // Closes the dialog a moment after Continue, so that the choice is seen.
    QTimer* m_closeTimer = nullptr;
    bool m_shown = false;
    bool m_scoreShown = false;
    // The finished lesson under the dialog, dimmed behind the score (taken when it shows).
    QPixmap m_cover;
};

} // namespace UI
