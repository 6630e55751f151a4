#include "ui/console.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace UI {

Console::Console(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Cantorela"));
    setObjectName(QStringLiteral("Console"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Cantorela"), this);
    title->setAlignment(Qt::AlignCenter);
    QFont font = title->font();
    font.setPointSize(28);
    font.setBold(true);
    title->setFont(font);
    layout->addWidget(title);
    resize(1024, 700);
}

void Console::ShowOnScreen(bool fullScreen, int displayIndex)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    QScreen* screen = displayIndex >= 0 && displayIndex < screens.size() ? screens[displayIndex]
                                                                         : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    if (fullScreen)
        showFullScreen();
    else
        show();
    if (screen && windowHandle())
        windowHandle()->setScreen(screen);
}

} // namespace UI
