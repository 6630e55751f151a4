#pragma once
// The settings page of one trainer, shown from the tool bar's "Settings" tab while a lesson is
// open. For now it holds the general choices the student makes most (how to answer, note
// letters, the difficulty question before a lesson); the trainers' question settings come with
// their own tabs. In a quiz nothing may be changed, and a notice says so. The main window
// creates the three pages and applies a page when the student leaves it. GUI thread only.

#include <QWidget>

class QCheckBox;
class QLabel;

namespace Core {
class SettingsStore;
}

namespace UI {

class TrainerSettingsPage : public QWidget
{
    Q_OBJECT
public:
    // trainer: 0 note, 1 ear, 2 symbol trainer. The settings store must outlive the page.
    TrainerSettingsPage(int trainer, Core::SettingsStore* settings, QWidget* parent = nullptr);

    int Trainer() const { return trainer; }
    // In a quiz the page only shows what is in force.
    void SetQuizMode(bool quiz);
    bool IsQuizMode() const { return quizMode; }
    // Opens the page at the tab of lesson section `section` (the general tab when it has none).
    void OpenTab(int section);

    // Reads the stored values into the controls.
    void Data2Gui();
    // Stores what the controls show; nothing in a quiz. True when anything changed.
    bool Gui2Data();

protected:
    void showEvent(QShowEvent* event) override;

private:
    int trainer = 0;
    bool quizMode = false;
    Core::SettingsStore* settings = nullptr;
    QLabel* quizNotice = nullptr;
    QLabel* hint = nullptr;
    QCheckBox* onScreenKeyboard = nullptr;
    QCheckBox* multipleChoice = nullptr;
    QCheckBox* noteLetters = nullptr;
    QCheckBox* difficultyDialog = nullptr;
};

} // namespace UI
