#include "hostsim/filter_run.h"

#include "hostsim/descriptor_registry.h"
#include "hostsim/filter_state.h"
#include "hostsim/host_error.h"
#include "hostsim/host_session.h"
#include "hostsim/plugin_module.h"
#include "hostsim/state_folder.h"

#include <algorithm>

namespace hostsim {

namespace {

constexpr const char* kRegistryFileName = "descriptor-registry.txt";

bool Empty(const ::Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
bool Empty(const VRect& r) { return r.right <= r.left || r.bottom <= r.top; }

std::string ReadScript(const std::string& path) {
    const std::optional<std::string> text = ReadStateFile(path);
    if (!text) throw HostError("cannot open the script " + path + ": no such file");
    return *text;
}

}  // namespace

const char* SelectorName(int16 selector) {
    switch (selector) {
        case filterSelectorAbout: return "About";
        case filterSelectorParameters: return "Parameters";
        case filterSelectorPrepare: return "Prepare";
        case filterSelectorStart: return "Start";
        case filterSelectorContinue: return "Continue";
        case filterSelectorFinish: return "Finish";
        default: return "?";
    }
}

bool RunReport::Called(int16 selector) const {
    for (const SelectorCall& call : calls) {
        if (call.selector == selector) return true;
    }
    return false;
}

FilterRun::FilterRun(const PluginModule& module, HostSession& session) : module_(module), session_(session) {}

std::string FilterRun::StateKey() const {
    const Pipl& pipl = module_.pipl();
    std::string key = pipl.category.value_or("");
    const std::string name = pipl.name.value_or(module_.path());
    return key.empty() ? name : key + "-" + name;
}

FilterRun::StateFiles FilterRun::StateFilesFor(const RunOptions& options) const {
    if (!options.keepState) return {};
    const std::string folder = options.stateFolder.empty() ? StateFolder() : options.stateFolder;
    return {FilterStatePath(folder, StateKey()), folder + "/" + kRegistryFileName};
}

DescriptorAnnotator FilterRun::Annotator() const {
    const Terminology* terminology = module_.terminology();
    const TerminologyEvent* event = terminology ? ScriptingEvent(*terminology, module_.pipl()) : nullptr;
    if (!event) return {};
    return [terminology, event](DescriptorKeyID key, const DescriptorValue& value) {
        return DescribeItem(*terminology, *event, key, value);
    };
}

bool FilterRun::RequestsPending() const {
    FilterRecord& r = session_.filterRecord();
    if (r.bigDocumentData && r.bigDocumentData->PluginUsing32BitCoordinates) {
        const BigDocumentStruct& b = *r.bigDocumentData;
        return !Empty(b.inRect32) || !Empty(b.outRect32) || !Empty(b.maskRect32);
    }
    return !Empty(r.inRect) || !Empty(r.outRect) || !Empty(r.maskRect);
}

bool FilterRun::CallSelector(int16 selector, RunReport& report) {
    const int16 result = session_.Call(module_, selector);
    report.calls.push_back(SelectorCall{selector, result, session_.ErrorText()});
    report.result = result;
    report.errorText = session_.ErrorText();
    if (session_.errorStringOverrun())
        report.problems.push_back(std::string(SelectorName(selector)) + " wrote past the end of the error string");
    return result == noErr;
}

void FilterRun::InstallStoredState(const std::string& path, RunReport& report) {
    // A session that has run the filter already keeps its own handles.
    if (session_.data() != 0 || session_.filterRecord().parameters) return;
    std::optional<StoredFilterState> state;
    try {
        state = LoadFilterState(path);
    } catch (const HostError& e) {
        throw HostError(std::string(e.what()) + " (--fresh forgets the stored state)");
    }
    if (!state) return;
    if (!session_.options().handleProcs) {
        report.notes.push_back("the stored state of the filter is not handed over: with the handle procs off the "
                               "plug-in can only use handles of its own");
        return;
    }
    HandleStore& store = session_.handles();
    if (state->data) {
        const Handle h = store.NewFrom(*state->data);
        if (!h) throw HostError("out of memory for the stored plug-in data");
        session_.data() = reinterpret_cast<intptr_t>(h);
    }
    if (state->parameters) {
        const Handle h = store.NewFrom(*state->parameters);
        if (!h) throw HostError("out of memory for the stored parameters");
        session_.filterRecord().parameters = h;
    }
}

void FilterRun::StoreState(const std::string& path, RunReport& report) {
    StoredFilterState state;
    state.plugin = StateKey();
    HandleStore& store = session_.handles();
    const Handle data = reinterpret_cast<Handle>(session_.data());
    const Handle parameters = session_.filterRecord().parameters;
    if (store.Owns(data)) state.data = store.Bytes(data);
    if (store.Owns(parameters)) state.parameters = store.Bytes(parameters);
    if ((data && !state.data) || (parameters && !state.parameters)) {
        report.notes.push_back("the plug-in keeps handles of its own, which the host cannot store for the next process");
    }
    if (!state.data && !state.parameters) return;
    SaveFilterState(path, state);
}

RunReport FilterRun::Run(const RunOptions& options) {
    RunReport report;

    // Everything that can be wrong with the input is found before the plug-in runs.
    Descriptor script;
    if (!options.scriptFile.empty()) script = ParseDescriptor(ReadScript(options.scriptFile), options.scriptFile);
    if (!options.settings.empty()) {
        const Terminology* terminology = module_.terminology();
        const TerminologyEvent* event = terminology ? ScriptingEvent(*terminology, module_.pipl()) : nullptr;
        if (!event) throw UsageError("the plug-in has no scripting terminology, so it cannot be scripted by name");
        ApplySettings(script, *terminology, *event, options.settings);
    }
    if (options.playInfo && (*options.playInfo < 0 || *options.playInfo > 2))
        throw UsageError("the play information is 0 (no dialog), 1 (dialog) or 2 (silent)");
    const bool scripted = !options.scriptFile.empty() || !options.settings.empty() || options.playInfo;

    std::string statePath;
    std::shared_ptr<DescriptorRegistry> registry;
    if (options.keepState) {
        const StateFiles files = StateFilesFor(options);
        statePath = files.filterState;
        registry = DescriptorRegistry::ForFile(files.registry);
        try {
            registry->Load();
        } catch (const HostError& e) {
            throw HostError(std::string(e.what()) + " (correct or remove the file)");
        }
        session_.actionSuites().SetRegistry(registry);
        if (options.fresh) {
            // Everything the host kept, the descriptor registry's entries included: a fresh
            // run must not find the values an earlier one left there.
            registry->Clear();
            ForgetFilterState(statePath);
        } else {
            InstallStoredState(statePath, report);
        }
        registry->TakeSaveFailures();  // the run reports its own
    }

    HandleStore& store = session_.handles();
    ScriptDescriptors& descriptors = session_.scriptDescriptors();
    const std::size_t leakedBefore = session_.LeakedHandles();
    const std::size_t descriptorsBefore = session_.actionSuites().OutstandingDescriptors();
    const std::size_t referencesBefore = session_.actionSuites().OutstandingReferences();
    const std::size_t problemsBefore = session_.problems().count();
    const int acquiredBefore = session_.basicSuite().OutstandingAcquires();

    if (scripted) {
        if (!session_.options().descriptorParameters)
            report.notes.push_back("the host offers no scripting descriptor (switched off): the script is not passed on");
        if (!descriptors.Offer(store, script, options.playInfo.value_or(plugInDialogDontDisplay)))
            throw HostError("out of memory for the scripting descriptor");
    } else {
        descriptors.Reset(store);
    }

    // Parameters when the user is to be asked, or when there are no values from an earlier use.
    const bool askUser = options.playInfo == plugInDialogDisplay;
    const bool firstUse = session_.data() == 0 || !session_.filterRecord().parameters;
    bool ok = true;
    if (askUser || firstUse) ok = CallSelector(filterSelectorParameters, report);
    if (ok) ok = CallSelector(filterSelectorPrepare, report);
    if (ok) ok = CallSelector(filterSelectorStart, report);
    for (int n = 0; ok && RequestsPending(); ++n) {
        if (n == kMaxContinueCalls) {
            report.problems.push_back("the plug-in kept asking for data after " + std::to_string(n) + " Continue calls");
            ok = false;
            break;
        }
        ok = CallSelector(filterSelectorContinue, report);
    }
    if (ok) ok = CallSelector(filterSelectorFinish, report);
    report.succeeded = ok;

    // The descriptor the plug-in returned (at Finish) goes to the recording; the record is
    // left without one for the next use.
    std::string problem;
    if (ok) {
        report.recorded = descriptors.Take(store, &problem);
        if (!problem.empty()) report.problems.push_back(problem);
    }
    descriptors.Reset(store);
    if (!options.recordFile.empty()) {
        if (report.recorded) {
            std::string text = "# recorded by filterhost: the descriptor " + module_.pipl().name.value_or(module_.path()) +
                               " returned at Finish\n";
            try {
                WriteStateFile(options.recordFile, text + FormatDescriptor(*report.recorded, Annotator()));
            } catch (const HostError& e) {
                report.unsaved.push_back(std::string("nothing recorded: ") + e.what());
            }
        } else {
            report.notes.push_back("nothing recorded: the plug-in returned no descriptor");
        }
    }

    if (options.keepState) {
        try {
            StoreState(statePath, report);
        } catch (const HostError& e) {
            report.unsaved.push_back(std::string("the filter's state is not kept for its next use: ") + e.what());
        }
        if (registry) {
            for (const std::string& failure : registry->TakeSaveFailures()) {
                const std::string line = "the descriptor registry is not kept for the next use: " + failure;
                if (std::find(report.unsaved.begin(), report.unsaved.end(), line) == report.unsaved.end())
                    report.unsaved.push_back(line);
            }
        }
    }

    // What the plug-in left behind in this run.
    const std::size_t leaked = session_.LeakedHandles();
    if (!session_.options().handleProcs) {
        // The plug-in could not give back the host's handles it was handed: they are reclaimed.
        for (const Handle h : store.LiveHandles()) {
            if (!session_.IsKeptHandle(h)) store.Dispose(h);
        }
    } else if (leaked > leakedBefore) {
        report.problems.push_back("the plug-in left " + std::to_string(leaked - leakedBefore) + " handle(s) undisposed");
    }
    const std::size_t descriptorsLeft = session_.actionSuites().OutstandingDescriptors();
    if (descriptorsLeft > descriptorsBefore)
        report.problems.push_back("the plug-in did not free " + std::to_string(descriptorsLeft - descriptorsBefore) +
                                  " action descriptor(s)");
    const std::size_t referencesLeft = session_.actionSuites().OutstandingReferences();
    if (referencesLeft > referencesBefore)
        report.problems.push_back("the plug-in did not free " + std::to_string(referencesLeft - referencesBefore) +
                                  " action reference(s)");
    if (descriptors.OpenReadTokens() || descriptors.OpenWriteTokens())
        report.problems.push_back("the plug-in left scripting descriptor tokens open");
    if (const int acquired = session_.basicSuite().OutstandingAcquires() - acquiredBefore; acquired > 0)
        report.problems.push_back("the plug-in kept " + std::to_string(acquired) + " suite(s) acquired");
    const ProblemLog& log = session_.problems();
    for (std::size_t i = problemsBefore; i < log.entries().size(); ++i) report.problems.push_back(log.entries()[i]);
    return report;
}

}  // namespace hostsim
