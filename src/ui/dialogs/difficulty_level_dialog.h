#pragma once
// The dialog that asks, before a lesson starts, at which of the five difficulty levels a
// trainer's questions are generated. The home screen shows it over itself in a learn form (with
// "Do not show next time" and, when the user's own settings match no level, the custom row) or
// in a quiz form (levels only). A choice stores the level in the settings store, closes the
// dialog and emits Play(), on which the home screen opens the lesson. Keys 1 to 5 choose the
// levels, Escape closes. GUI thread only.

#include "ui/dialogs/base_dialog.h"

#include <QIcon>

#include <QPixmap>

#include <array>
#include <cstddef>
#include <memory>

namespace Core {
class SettingsStore;
}

class QPushButton;

namespace Ui {
class ex_difficulty_level_dialog;
}

namespace UI {

class DifficultyLevelDialog : public BaseDialog
{
    Q_OBJECT
public:
    // The picture of level button `level` (0-4) with the word "level" in the program's language,
    // sharp at any device pixel ratio.
    static QIcon levelIcon(int level);

    // settings must outlive the dialog.
    explicit DifficultyLevelDialog(Core::SettingsStore* settings, QWidget* parent = nullptr);
    ~DifficultyLevelDialog() override;

    // Shows the learn form for trainer 0 (notes), 1 (ear) or 2 (symbols): the check box
    // unchecked, the custom row only when the exercise settings match no level.
    void showForLearn(std::size_t trainer);
    // Shows the quiz form: the levels only.
    void showForQuiz(std::size_t trainer);

    // Re-evaluates the custom row against the settings now in the store (after a change of
    // settings made while the dialog is open, for instance by a device change).
    void refresh();

    std::size_t trainer() const { return m_trainer; }
    bool isQuizForm() const { return m_quizForm; }

Q_SIGNALS:
    // A level was chosen and stored; the lesson may start.
    void playRequested();

public Q_SLOTS:
    void on_Level1_clicked();
    void on_Level2_clicked();
    void on_Level3_clicked();
    void on_Level4_clicked();
    void on_Level5_clicked();
    void on_Custom_clicked();
    void on_Close_released();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // level 0-4 a preset, 5 the user's own settings.
    void choose(int level);
    void showForm();
    std::array<QPushButton*, 5> levelButtons() const;
    // A picture of the screen under the dialog, drawn dimmed behind the card.
    void takeUnderneath();

    std::unique_ptr<Ui::ex_difficulty_level_dialog> m_ui;
    Core::SettingsStore* m_settings;
    std::size_t m_trainer = 0;
    bool m_quizForm = false;
    QPixmap m_underneath;
};

} // namespace UI
