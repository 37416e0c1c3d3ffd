// The settings file over one run of the program, for the window and for the headless start alike.
#include "app/settings_lifecycle.h"

#include <exception>
#include <utility>

#include "app/error_text.h"

namespace quillet {

SettingsLifecycle::SettingsLifecycle(std::string settingsPath, MainController& controller, WindowGeometry& geometry,
                                     MainView& view)
    : m_controller(controller), m_view(view), m_form(controller, geometry), m_storage(std::move(settingsPath), m_form) {}

void SettingsLifecycle::WindowShown() {
  Step([this] { m_storage.WindowShown(); });
}

void SettingsLifecycle::FirstActivation() {
  if (m_activated) return;
  m_activated = true;
  Step([this] { m_storage.FirstActivation(m_controller.State().Unattended); });
  m_controller.FormActivate();
}

void SettingsLifecycle::WindowClosing() {
  Step([this] { m_storage.WindowClosing(); });
}

void SettingsLifecycle::ProgramEnd() {
  if (m_ended) return;
  m_ended = true;
  Step([this] { m_storage.WindowDestroyed(); });
  Step([this] { m_storage.ProgramEnd(); });
}

void SettingsLifecycle::Step(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& e) {
    m_view.ShowError(ErrorBoxText(e));
  }
}

}  // namespace quillet
