// The ordered list of parameter records with its undo and redo history and the
// two stores of its values (preset files and the registry).
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "param/parameter.h"

namespace Corvantis {
namespace Host {
namespace Param {

class Parameters {
public:
    // One history step: the values that applying it puts back, by index.
    using Snapshot = std::map<std::uint64_t, ParameterValue>;

    // A record's index is its identity everywhere (events, bindings, the host's handle).
    std::vector<Parameter> parameters;
    // Newest step at the front of each list.
    std::list<Snapshot> undo;
    std::list<Snapshot> redo;
    // Above 0 while a group of changes is open.
    std::int32_t groupDepth = 0;

    Parameters() = default;
    Parameters(const Parameters&) = default;
    Parameters& operator=(const Parameters&) = default;
    Parameters(Parameters&&) = default;
    Parameters& operator=(Parameters&&) = default;
    virtual ~Parameters();

    // Every value back to its default; records nothing (call RecordAll first to undo it).
    virtual void ResetToDefaults();
    // Writes the current values as a preset text file. Returns false when the file
    // could not be written completely; an existing file is then left as it was.
    virtual bool SavePreset(const std::wstring& path, const std::string& pluginName, const std::string& version);
    // Sets the values a preset text file names; a file that cannot be read changes nothing.
    virtual void LoadPreset(const std::wstring& path);

    // Called before the value at `index` changes. Outside a group each call opens
    // a new step; within a step the first old value of an index wins. An index
    // that is not in the list is ignored.
    void RecordChange(std::uint64_t index);
    void BeginGroup();
    void EndGroup();
    // Closes any open group and drops an empty step at the front of `undo`.
    void SettleHistory();
    // One step holding every current value; the group is closed on every exit.
    void RecordAll();
    // Writes the snapshot's values and puts their inverse at the front of `redo`
    // (toRedo) or `undo`. Entries whose index is not in the list are skipped.
    void ApplySnapshot(const Snapshot& snapshot, bool toRedo);
    bool Undo();
    bool Redo();
    bool CanUndo() const { return !undo.empty(); }
    bool CanRedo() const { return !redo.empty(); }

    // One registry key per parameter: HKEY_CURRENT_USER\<prefix><name>, unnamed value.
    // Save: true when every parameter was written. Load: true when the walk got to
    // the end; values read are clamped to the accepted range.
    bool SaveToRegistry(const std::string& prefix) const;
    bool LoadFromRegistry(const std::string& prefix);
};

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
