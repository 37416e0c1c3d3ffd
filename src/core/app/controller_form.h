// The main window as the settings store sees it: the controller's stored values and the window's placement.
#pragma once

#include "app/main_controller.h"
#include "settings/stored_form.h"

namespace quillet {

// Window placement and screen come from the window (none without a display: a fixed screen and placement that
// are reported back unchanged, so a run without a display never moves a stored position).
class WindowGeometry {
 public:
  virtual ~WindowGeometry() = default;
  virtual ScreenInfo Screen() const = 0;
  virtual WindowPlacement Placement() const = 0;
  virtual void SetPlacement(const WindowPlacement& placement) = 0;
  virtual void SetWindowState(WindowState state) = 0;
};

class HeadlessGeometry : public WindowGeometry {
 public:
  ScreenInfo Screen() const override { return m_screen; }
  WindowPlacement Placement() const override { return m_placement; }
  void SetPlacement(const WindowPlacement& placement) override { m_placement = placement; }
  void SetWindowState(WindowState) override {}

 private:
  ScreenInfo m_screen{1024, 768, 96};
  WindowPlacement m_placement{0, 1, {-1, -1}, {-1, -1}, {0, 0, 811, 739}};
};

class ControllerForm : public StoredForm {
 public:
  ControllerForm(MainController& controller, WindowGeometry& geometry)
      : m_controller(controller), m_geometry(geometry) {}

  ScreenInfo Screen() const override { return m_geometry.Screen(); }
  WindowPlacement Placement() const override { return m_geometry.Placement(); }
  void SetPlacement(const WindowPlacement& placement) override { m_geometry.SetPlacement(placement); }
  void SetWindowState(WindowState state) override { m_geometry.SetWindowState(state); }

  std::string Caption(StoredProperty property) const override;
  void SetCaption(StoredProperty property, const std::string& text) override;
  int ItemIndex(StoredProperty property) const override;
  int ItemCount(StoredProperty property) const override;
  void SetItemIndex(StoredProperty property, int index) override;
  int Position(StoredProperty property) const override;
  void SetPosition(StoredProperty property, int position) override;
  bool Checked(StoredProperty property) const override;
  void SetChecked(StoredProperty property, bool checked) override;

 private:
  MainController& m_controller;
  WindowGeometry& m_geometry;
};

}  // namespace quillet
