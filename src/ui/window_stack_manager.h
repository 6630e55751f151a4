#pragma once
// Keeps the stack of top-level screens and dialogs of the main window, so that the program can
// tell which one is in front. Created by the application, used by the main window.

#include <QObject>
#include <QPointer>
#include <QVector>
#include <QWidget>

namespace UI {

class WindowStackManager : public QObject
{
    Q_OBJECT
public:
    explicit WindowStackManager(QObject* parent = nullptr);

    void Push(QWidget* window);
    void Remove(QWidget* window);
    QWidget* Top() const;
    int Count() const;

private:
    QVector<QPointer<QWidget>> windows;
};

} // namespace UI
