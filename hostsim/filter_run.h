// One use of a filter, the way a host runs it: Parameters when the user is to be asked (or the
// filter has never run), then Prepare, Start (and Continue while the plug-in asks for more),
// Finish. Between uses the host keeps the plug-in data and parameters handles, across
// processes too (in the state folder), and the descriptor registry.
#pragma once
#include "hostsim/descriptor.h"
#include "hostsim/descriptor_text.h"
#include "hostsim/script_settings.h"

#include <optional>
#include <string>
#include <vector>

namespace hostsim {

class HostSession;
class PluginModule;

struct RunOptions {
    Settings settings;          // parameter values by scripting name, into the scripting descriptor
    std::string scriptFile;     // a descriptor in the text form to play (settings apply on top)
    std::string recordFile;     // where to write the descriptor the plug-in returns at Finish
    std::optional<int32> playInfo;  // the descriptor's play information; any of these four
                                    // options hands the plug-in a descriptor
    bool fresh = false;         // forget the filter's stored state first
    bool keepState = true;      // read and write the stored state and the registry file
    std::string stateFolder;    // empty: StateFolder()
};

struct SelectorCall {
    int16 selector = 0;
    int16 result = noErr;
    std::string errorText;
};

struct RunReport {
    std::vector<SelectorCall> calls;
    bool succeeded = false;
    int16 result = noErr;   // of the last selector called
    std::string errorText;  // of the last selector called
    std::optional<Descriptor> recorded;  // what the plug-in returned at Finish
    std::vector<std::string> notes;      // what the user should know about the run
    std::vector<std::string> unsaved;    // what the host could not write (the recording, the
                                         // stored state), each with the reason
    std::vector<std::string> problems;   // the plug-in's faults: misused callbacks, leaks

    bool Called(int16 selector) const;
};

const char* SelectorName(int16 selector);

class FilterRun {
public:
    FilterRun(const PluginModule& module, HostSession& session);

    // Throws HostError or UsageError, before the plug-in is called, for input that cannot be
    // used: a script file, a setting, the stored state or the registry file. What cannot be
    // written once the plug-in has run is told in the report's `unsaved`, so that the caller
    // still keeps the rest (the image).
    RunReport Run(const RunOptions& options);

    // Comments for recorded descriptors: the parameters' scripting names.
    DescriptorAnnotator Annotator() const;
    // The name the filter's stored state is kept under.
    std::string StateKey() const;
    // The files a run with `options` keeps its state in (empty without keepState). Throws
    // HostError when there is no state folder.
    struct StateFiles {
        std::string filterState;  // the filter's stored handles
        std::string registry;     // the descriptor registry
    };
    StateFiles StateFilesFor(const RunOptions& options) const;

    // Limits the Continue calls of one run (a plug-in that never stops asking).
    static constexpr int kMaxContinueCalls = 1000000;

private:
    bool CallSelector(int16 selector, RunReport& report);
    bool RequestsPending() const;
    void InstallStoredState(const std::string& path, RunReport& report);
    void StoreState(const std::string& path, RunReport& report);

    const PluginModule& module_;
    HostSession& session_;
};

}  // namespace hostsim
