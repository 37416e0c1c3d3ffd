// The main window's settings store: which keys the settings file holds, how they are restored and saved, and when.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_file.h"
#include "settings/stored_form.h"

namespace quillet {

inline constexpr const char* kSettingsFileName = "Quillet_Settings.ini";
inline constexpr const char* kSettingsSection = "Form1";

/*
 * The store holds the whole settings file in memory from the first restore or save on, and writes it back once,
 * at program end. The window calls the lifecycle methods at the moments their names give:
 *
 *   moment             interactive run              unattended run
 *   WindowShown        restore                      restore (the command line then overrides)
 *   FirstActivation    restore again                store switched off
 *   WindowClosing      save into memory             nothing
 *   WindowDestroyed    save if not yet saved        nothing
 *   ProgramEnd         image written to the file    image written with the values read at show time
 *
 * So the file's values change only through an interactive run that ends normally. A read-only file (or one that
 * could not be read) is restored from as usual and never written.
 */
class FormStorage {
 public:
  static constexpr int kFormVersion = 0;

  // `form` must outlive the store. Nothing is read until the first restore or save.
  FormStorage(std::string iniPath, StoredForm& form);

  void WindowShown();
  // Only the first call acts; unattended switches the store off instead of restoring.
  void FirstActivation(bool unattended);
  // The unattended run's switch: from now on showing restores nothing and closing saves nothing.
  void SwitchOff() { m_active = false; }
  bool Active() const { return m_active; }
  // Call when the window has been asked to close and agreed.
  void WindowClosing();
  void WindowDestroyed();
  // Writes the memory image over the file; only the first call acts. Returns whether the file was written (false
  // for a read-only or unreadable file). Throws FileError when writing fails; the old file then stays whole.
  bool ProgramEnd();

  // The two operations themselves, whatever the state; the lifecycle methods above call them.
  // Restore throws ConversionError "'%s' is not a valid integer value" for a placement key ("FormVersion",
  // "Flags", "PixelsPerInch", "ShowCmd") that is not an integer, after applying what came before it, and
  // FileError when the file exists but cannot be read.
  void Restore();
  void Save();

  const IniFile& Ini() const { return m_ini; }

 private:
  std::optional<std::string> Read(std::string_view key) const;
  int ReadInteger(std::string_view key, int fallback) const;
  void Write(std::string_view key, std::string_view value);
  void RestorePlacement();
  void RestoreProperties();

  IniFile m_ini;
  StoredForm& m_form;
  bool m_active = true;
  bool m_activated = false;
  bool m_saved = false;
  bool m_ended = false;
};

}  // namespace quillet
