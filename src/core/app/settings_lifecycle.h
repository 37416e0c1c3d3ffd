// The settings file over one run of the program, for the window and for the headless start alike.
#pragma once

#include <functional>
#include <string>

#include "app/controller_form.h"
#include "app/main_controller.h"
#include "app/main_view.h"
#include "settings/form_storage.h"

namespace quillet {

/*
 * The moments of a run, in the order they come: the window is shown (the file is restored), it is activated for
 * the first time (restored again, or the store switched off for an unattended run; then the controller's own
 * activation, which runs the unattended job), it closes (saved into memory), the program ends (saved if closing
 * did not, then the file written once). FormStorage says what each moment does with the file.
 *
 * A failure of the settings file never stops the program: it is reported in the view's error box, worded as any
 * command's error, and the run goes on.
 */
class SettingsLifecycle {
 public:
  // The controller must have been created (FormCreate: it tells whether the run is unattended); it, the geometry
  // and the view must outlive the lifecycle.
  SettingsLifecycle(std::string settingsPath, MainController& controller, WindowGeometry& geometry, MainView& view);

  void WindowShown();
  // Only the first call acts.
  void FirstActivation();
  void WindowClosing();
  // Only the first call acts.
  void ProgramEnd();

 private:
  void Step(const std::function<void()>& step);

  MainController& m_controller;
  MainView& m_view;
  ControllerForm m_form;
  FormStorage m_storage;
  bool m_activated = false;
  bool m_ended = false;
};

}  // namespace quillet
