#pragma once
// A band under the main window's tool bar that tells the student, in words, that the answers
// could not be saved (the disk is full, the data folder cannot be written) and that they are kept
// in memory until they can be. It does not take the keyboard focus, so a lesson answered from the
// keyboard goes on under it; screen readers hear it as an alert. It hides itself once saving
// works again, and the student can close it.
//
// It listens to the statistics store it is given for as long as it lives; the store tells from
// whichever thread wrote, and what it says is carried over to the GUI thread. GUI thread only.

#include "core/data_file.h"

#include <QFrame>

#include <memory>

namespace Core {
class ExerciseStatistics;
}

class QLabel;
class QToolButton;

namespace UI {

class SaveWarningBar : public QFrame
{
    Q_OBJECT
public:
    // store: the one whose saves are watched, or none.
    explicit SaveWarningBar(std::shared_ptr<Core::ExerciseStatistics> store, QWidget* parent = nullptr);
    ~SaveWarningBar() override;

    // Shows the warning for a failed save, or hides it when saving works again (saving true).
    // The same problem told twice shows once: a closed warning stays closed until the problem
    // changes or saving has worked in between.
    void setSaveState(bool saving, Core::DataFile::Problem problem, const QString& folder,
                      const QString& detail);

    QString text() const;

    // The student's words for a failed save.
    static QString message(Core::DataFile::Problem problem, const QString& folder, const QString& detail);

private:
    QLabel* m_text = nullptr;
    QToolButton* m_closeButton = nullptr;
    QString shownFor; // the problem last shown, so that it is not shown again
    std::shared_ptr<Core::ExerciseStatistics> store;
};

} // namespace UI
