#include "ui/settings/settings_page_base.h"

namespace UI {

SettingsPageBase::SettingsPageBase(QWidget* parent) : QWidget(parent) {}

SettingsPageBase::~SettingsPageBase() = default;

bool SettingsPageBase::isValid() const
{
    return true;
}

} // namespace UI
