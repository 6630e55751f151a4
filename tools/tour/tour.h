#pragma once
// One pass: the program at one size and ratio, from the splash through six lessons to the
// dialogs of the main window, and the lessons of their own for what the six leave to chance.

#include "album.h"
#include "feature_moments.h"
#include "lesson_tabs.h"
#include "pass.h"
#include "student.h"
#include "tour_window.h"
#include "window_moments.h"

#include <QString>

#include <cstddef>

class Application;

class Tour
{
public:
    Tour(Application& app, const Pass& pass, const QString& folder);

    bool Run();

private:
    // The splash while the application prepares itself, then the main window on the home screen.
    bool Start();
    // Statistics of earlier days in the history of all three trainers, on disk before the home
    // screen is next shown.
    void AddProgress();

    // Opens the lesson of trainer `trainerId`, learning or quiz, and has the student answer it.
    bool Lesson(size_t trainerId, bool quizMode);
    // The pictures that follow belong to the open lesson.
    void LessonPlace();
    // Leaves a lesson that has ended for the home screen: with "Continue" in the section end
    // dialog, as the dialog offers, or with the tool bar's Back button.
    bool GoHome(bool withBack);
    // After a lesson's end was left with Back: the next lesson as it opens, and the section end
    // dialog put away with "Continue" if it came back with it (the lesson is then opened again).
    bool AfterBack();

    Application& app;
    TourWindow window;
    Album album;
    Student student;
    LessonTabs tabs;
    WindowMoments moments;
    FeatureMoments features;
    size_t trainer = 0;
    bool quiz = false;
    bool leftWithBack = false;
};
