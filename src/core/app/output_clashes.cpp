// Outputs of a named conversion that would write over an input, another file's output, or a foreign .sub.
#include "app/output_clashes.h"

#include <map>

#include "app/named_run_setup.h"
#include "base/file_paths.h"
#include "run/output_files.h"

namespace quillet {
std::vector<std::string> OutputClashes(const NamedOptions& options) {
  std::map<std::string, std::size_t> inputs;
  for (std::size_t i = 0; i < options.files.size(); ++i) inputs.emplace(FileKey(options.files[i]), i);
  std::vector<std::string> clashes(options.files.size());
  // Outputs claimed so far. A refused file writes nothing, so it claims nothing.
  std::map<std::string, std::size_t> owners;
  for (std::size_t i = 0; i < options.files.size(); ++i) {
    const OutputPaths paths = NamedOutputPaths(options, options.files[i]);
    const std::vector<std::string> outputs = paths.Files();
    std::vector<std::string> keys;
    for (const std::string& output : outputs) keys.push_back(FileKey(output));
    for (std::size_t k = 0; k < outputs.size() && clashes[i].empty(); ++k) {
      if (const auto input = inputs.find(keys[k]); input != inputs.end()) {
        clashes[i] = "not converted: its output " + outputs[k] + " is the input " + options.files[input->second];
      }
    }
    for (std::size_t k = 0; k < outputs.size() && clashes[i].empty(); ++k) {
      if (const auto owner = owners.find(keys[k]); owner != owners.end()) {
        clashes[i] =
            "not converted: its output " + outputs[k] + " is also the output of " + options.files[owner->second];
      }
    }
    if (clashes[i].empty()) {
      if (const ForeignOutput foreign = FirstForeignOutput(paths); !foreign.path.empty()) {
        clashes[i] = "not converted: its output " + foreign.path + " exists and " + foreign.reason +
                     "; it is not written over (use -o DIR)";
      }
    }
    if (clashes[i].empty()) {
      for (const std::string& key : keys) owners.emplace(key, i);
    }
  }
  return clashes;
}

}  // namespace quillet
