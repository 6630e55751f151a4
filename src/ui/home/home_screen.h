#pragma once
// The home screen: a background picture with three blocks, one per trainer (Note Trainer, Ear
// Trainer, Music Symbols), each with a "Learn" and a "Quiz" button and a bar of the user's right
// and wrong answers over all runs. A button asks for the difficulty level first when the settings
// say so, then emits openExercise, which the main window turns into opening the exercise screen.
// The main window calls markForRefresh each time it brings the screen back, so that the bars are
// read again from the statistics store before the next show. GUI thread only.

#include <QBasicTimer>
#include <QPixmap>
#include <QRectF>
#include <QWidget>

#include <array>
#include <cstddef>
#include <functional>
#include <memory>

class Progress;
class QLabel;
class QPushButton;

namespace Core {
class ExerciseCatalog;
class SettingsStore;
} // namespace Core

namespace Ui {
class HomeScreen;
}

namespace UI {

class DifficultyLevelDialog;

class HomeScreen : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TrainerCount = 3;
    // Screens taller than this many pixels get the big background.
    static constexpr int BigBackgroundAbove = 900;

    // catalog: where the statistics come from (may be null: the bars stay empty); settings: the
    // store the difficulty dialogs write (must outlive the screen); setQuizMode: switches the
    // application between the exercise and the quiz settings block.
    HomeScreen(std::shared_ptr<Core::ExerciseCatalog> catalog, Core::SettingsStore* settings,
                     std::function<void(bool)> setQuizMode, QWidget* parent = nullptr);
    ~HomeScreen() override;

    // The background picture for a primary screen `screenHeight` pixels high.
    static QString backgroundFor(int screenHeight);

    // The bars are read again from the statistics store before the next show.
    void markForRefresh();
    void setVisible(bool visible) override;

    // The difficulty dialog of a trainer, null until it is first needed.
    DifficultyLevelDialog* existingDifficultyDialog(int trainer) const;

Q_SIGNALS:
    void openExercise(size_t id, bool quizMode);

public Q_SLOTS:
    void on_Learn1_clicked();
    void on_Learn2_clicked();
    void on_Learn3_clicked();
    void on_Quiz1_clicked();
    void on_Quiz2_clicked();
    void on_Quiz3_clicked();
    void beginExerciseOrQuiz();
    void difficultyDialogClosing();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    struct Block
    {
        QLabel* title;
        QLabel* description;
        QLabel* caption;
        QPushButton* learn;
        QPushButton* quiz;
        Progress* progress;
        QRectF frame; // in the widget, logical pixels
    };

    void startLearning(std::size_t trainer);
    void startQuiz(std::size_t trainer);
    DifficultyLevelDialog* difficultyDialog(std::size_t trainer);
    void refreshProgress();
    // The background at ratio 1, or its "@2x" picture above ratio 1.
    void loadBackground(double ratio);
    void updateLayout();

    std::unique_ptr<Ui::HomeScreen> m_ui;
    std::shared_ptr<Core::ExerciseCatalog> m_catalog;
    Core::SettingsStore* m_settings;
    std::function<void(bool)> m_setQuizMode;

    bool m_refresh = true;
    // The background's resource name, the picture at the ratio drawn at, and its scaled copy.
    QString m_backgroundName;
    QPixmap m_background;
    double m_pictureRatio = 0;
    QPixmap m_scaledBackground;
    QRectF m_backgroundTarget;
    std::array<Block, TrainerCount> m_blocks{};
    // Logical pixels per pixel of the design's block geometry.
    double m_blockScale = 1;
    std::array<DifficultyLevelDialog*, TrainerCount> m_dialogs{};
    std::size_t m_chosenTrainer = 0;
    bool m_chosenQuizMode = false;
    // Smooth scaling of a large background is deferred until resizing settles.
    QBasicTimer m_rescaleTimer;
};

} // namespace UI
