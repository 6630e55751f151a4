#pragma once
// What the main window is given to work with: the long-lived engine objects, the stack of
// screens, and the few actions that belong to the program as a whole rather than to a window.
// The application fills it (Application::mainWindowServices()); the tests and the tools may fill
// it as they need. Every action may be left empty, and is then skipped.

#include <QString>

#include <functional>
#include <memory>

namespace Core {
class ExerciseCatalog;
class NewsClient;
class SettingsStore;
class SoundController;
struct GeneralSettings;
} // namespace Core

namespace UI {

class WindowStackManager;

struct MainWindowServices
{
    std::shared_ptr<Core::ExerciseCatalog> catalog;
    Core::SettingsStore* settings = nullptr;
    std::shared_ptr<Core::SoundController> sound;
    std::shared_ptr<Core::NewsClient> news;
    WindowStackManager* stack = nullptr;

    // The settings block the trainers read: the quiz's or the exercises'.
    std::function<void(bool quiz)> setQuizMode;
    // Stores the general settings and selects the stored MIDI input again.
    std::function<void(const Core::GeneralSettings& settings)> applyGeneralSettings;
    // Selects the MIDI input whose name is stored, else the first; true when the stored one was found.
    std::function<bool()> selectStoredInputDevice;
    // Opens an address in the desktop's browser, the window minimised first when asked.
    std::function<void(const QString& url, bool minimize)> openUrl;
    std::function<void()> showHelp;
};

} // namespace UI
