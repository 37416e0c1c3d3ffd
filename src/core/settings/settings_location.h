// Where the settings file lives: beside the program when it can be kept there, else in the user's config folder.
#pragma once

#include <string>

namespace quillet {

// What the choice depends on, gathered from the running process by SettingsPlacesOfProcess.
struct SettingsPlaces {
  std::string programFolder;         // the running program's folder, ending with "/"
  bool besideProgramWritable = true;  // the file can be kept in the program folder
  std::string xdgConfigHome;         // $XDG_CONFIG_HOME ("" when unset)
  std::string home;                  // $HOME ("" when unset)
};

/*
 * A program unpacked into a folder of its own keeps its settings file beside itself, as it always has (portable
 * use; existing setups rely on it). An installed program (one in a system folder: /usr/bin, /usr/local/bin, …)
 * keeps it in the user's config folder, for every user, root included, whose writes would otherwise land in the
 * system folder where the package manager never removes them: $XDG_CONFIG_HOME/quillet/, or ~/.config/quillet/
 * when that variable is unset or not an absolute path. So does a program whose folder cannot be written. With
 * neither variable usable the file stays beside the program (and a failed write is reported with its name, as for
 * any settings file).
 */
std::string SettingsFilePath(const SettingsPlaces& places);

// Whether `programFolder` (ending with "/") is a folder the system's packages install programs into.
bool IsSystemProgramFolder(const std::string& programFolder);

// The places of this process. The program folder counts as writable when the system lets this process create files
// in it, or when a settings file already there may be written (it is then rewritten in place).
SettingsPlaces SettingsPlacesOfProcess(const std::string& programFolder);

// SettingsFilePath, with the config folder created when the file goes there. A folder that cannot be created is
// left to the file's write at program end, which names the file and the reason.
std::string ChooseSettingsFile(const SettingsPlaces& places);

}  // namespace quillet
