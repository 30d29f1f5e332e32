// One host-side filter session: the records the plug-in receives and the state a host keeps
// for it between calls.
#pragma once
#include "hostsim/action_suites.h"
#include "hostsim/basic_suite.h"
#include "hostsim/callback_table.h"
#include "hostsim/color_services.h"
#include "hostsim/document.h"
#include "hostsim/handle_store.h"
#include "hostsim/message_box_watch.h"
#include "hostsim/problem_log.h"
#include "hostsim/script_descriptors.h"
#include "hostsim/session_hooks.h"

#include "pluginapi/filter_record.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace hostsim {

class ColorEngine;
class HostWindow;
class PluginModule;

// What the host offers. Switching something off tests the plug-in's handling of a host that
// lacks it.
struct HostOptions {
    bool basicSuite = true;   // sSPBasic; false: null in both records
    bool errorString = true;  // errorString; false: null
    bool bigDocument = true;  // bigDocumentData; false: null
    void* hostWindow = nullptr;          // platformData->hwnd (a GTK top-level window or an HWND,
                                         // or null)
    bool makeHostWindow = false;         // with hostWindow null: the session makes its own window
                                         // (HostWindow) when it can, else hwnd stays null
    std::optional<PickAnswer> pickColor; // what colorServices' choose colour answers instead of
                                         // the colour it is offered
    ColorServicesHost::Chooser colourChooser;  // asks the user when no pickColor is set
    int16 initialResult = noErr;         // the result slot before every call
    int32 maxSpace = 256 * 1024 * 1024;  // maxSpace at the start of a run
    bool handleProcs = true;             // handleProcs; false: null (single procs: callbacks())
    bool unsizedHandles = false;         // getSizeProc answers 0 for every handle
    bool descriptorParameters = true;    // descriptorParameters; false: null
    bool readDescriptorProcs = true;     // descriptorParameters->readDescriptorProcs; false: null
    bool writeDescriptorProcs = true;    // descriptorParameters->writeDescriptorProcs; false: null
};

// Owns the About record, the filter record and everything they point to, the plug-in data
// slot and the result slot. The data slot keeps its value from call to call, as a host's does.
// The filter record is built when the session (or its options or document) changes and then
// kept across selectors, so what the plug-in writes into it at one selector is there at the
// next. Not copyable: the records point into the session.
class HostSession {
public:
    static constexpr std::size_t kErrorStringSize = sizeof(Str255);
    // The host's signature in the record's hostSig.
    static constexpr OSType kHostSignature = FourCC("TlFH");

    explicit HostSession(const HostOptions& options = {}, const Document& document = {});
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    const HostOptions& options() const { return options_; }
    void SetOptions(const HostOptions& options);
    const Document& document() const { return document_; }
    void SetDocument(const Document& document);
    // Builds a fresh filter record from the options and document: the start of a new run.
    // The parameters handle stays, as a host keeps it for the next use of the filter.
    void ResetFilterRecord();

    BasicSuite& basicSuite() { return basic_; }
    // The pixel side of the host (PixelHost), or null: it fills the record's image fields at
    // every ResetFilterRecord, sees every filter-selector call and serves advanceState and
    // progress. Not owned; setting it rebuilds the record.
    void SetHooks(SessionHooks* hooks);
    SessionHooks* hooks() const { return hooks_; }
    // Changes take effect at the next call.
    CallbackTable& callbacks() { return callbacks_; }

    // One call of the entry point: the About record for selector 0, the filter record for
    // every other. Returns the result slot after the call.
    int16 Call(const PluginModule& module, int16 selector);
    int16 Call(PluginEntryProc entry, int16 selector);

    intptr_t& data() { return data_; }
    int16 result() const { return result_; }

    // Host memory handles lent through handleProcs (also the host's own handles: the scripting
    // descriptor, text and object handles).
    HandleStore& handles() { return handles_; }
    const HandleStore& handles() const { return handles_; }
    // The scripting descriptor of the filter record and its read and write procs.
    ScriptDescriptors& scriptDescriptors() { return scriptDescriptors_; }
    // ActionDescriptor, ActionReference, ActionControl and DescriptorRegistry, registered in
    // basicSuite() under their names; switch one off with basicSuite().SetEnabled.
    ActionSuites& actionSuites() { return actionSuites_; }
    // colorServices: its answers and the requests it saw.
    ColorServicesHost& colorServices() { return colorServices_; }
    const ColorServicesHost& colorServices() const { return colorServices_; }
    // The colour engine of displayPixels and colorServices, made on first use.
    ColorEngine& colorEngine();
    // The window the session made (HostOptions::makeHostWindow), or null; and why there is none.
    HostWindow* ownWindow() const { return window_.get(); }
    const std::string& ownWindowProblem() const { return windowProblem_; }

    // What the host refused or found wrong in the plug-in's calls.
    ProblemLog& problems() { return problems_; }
    const ProblemLog& problems() const { return problems_; }
    void ReportMisuse(std::string what) { problems_.Add(std::move(what)); }

    // Handles the plug-in holds beyond those the host keeps for it between calls (the data
    // slot's handle, the parameters handle and the scripting descriptor): 0 unless it leaked.
    std::size_t LeakedHandles() const;
    // True when `h` is one the host keeps for the plug-in between calls.
    bool IsKeptHandle(Handle h) const;

    // The error string as text (length byte, then at most 255 bytes); empty when the host
    // offers none or the plug-in left it empty.
    std::string ErrorText() const;
    // True when the last call wrote past the 256 bytes of the error string.
    bool errorStringOverrun() const { return errorStringOverrun_; }
    // The message boxes the last call showed, when the run is unattended and the host answers
    // them (on Windows; MessageBoxWatch).
    const std::vector<WatchedBox>& messageBoxes() const { return messageBoxes_; }

    AboutRecord& aboutRecord() { return about_; }
    FilterRecord& filterRecord() { return filter_; }
    BigDocumentStruct& bigDocument() { return bigDocument_; }

    // The last progress reported by the plug-in (callbacks().Calls(Progress) counts reports).
    int32 progressDone() const { return progressDone_; }
    int32 progressTotal() const { return progressTotal_; }

    // The session whose call is under way on this thread, or null: the callbacks of the
    // filter record carry no context and find their session here.
    static HostSession* Current();

    // Makes this session the current one (and its basic suite the active one) for the scope's
    // lifetime: for host code that uses the callbacks and suites as a plug-in would.
    class CallScope {
    public:
        explicit CallScope(HostSession& session);
        ~CallScope();
        CallScope(const CallScope&) = delete;
        CallScope& operator=(const CallScope&) = delete;

    private:
        HostSession* previous_;
        BasicSuite::ActiveScope active_;
    };

private:
    void BuildAboutRecord();
    void UpdateHostWindow();
    void* HostWindowHandle() const;
    void ApplyCallbacks();
    void PrepareErrorString();
    void CheckErrorString();

    static Boolean AbortProc();
    static void HostProcProc(int16 selector, intptr_t* data);
    static void ProcessEventProc(void* event);
    static void ProgressProc(int32 done, int32 total);
    static OSErr AdvanceStateProc();
    static OSErr DisplayPixelsProc(const PSPixelMap* source, const VRect* srcRect, int32 dstRow, int32 dstCol,
                                   void* platformContext);
    static OSErr ColorServicesProc(ColorServicesInfo* info);

    HostOptions options_;
    Document document_;
    BasicSuite basic_;
    CallbackTable callbacks_;
    HandleStore handles_;
    HandleProcs handleProcs_{};
    ResourceProcs resourceProcs_{};
    PropertyProcs propertyProcs_{};
    ImageServicesProcs imageServicesProcs_{};
    ChannelPortProcs channelPortProcs_{};
    ScriptDescriptors scriptDescriptors_;
    ActionSuites actionSuites_;
    ProblemLog problems_;
    SessionHooks* hooks_ = nullptr;
    ColorServicesHost colorServices_;
    std::unique_ptr<ColorEngine> engine_;
    std::unique_ptr<HostWindow> window_;
    std::string windowProblem_;

    PlatformData platformData_{};
    AboutRecord about_{};
    FilterRecord filter_{};
    BigDocumentStruct bigDocument_{};
    // The error string plus a guard band that shows writes past its end.
    struct ErrorBuffer {
        Str255 text;
        uint8 guard[16];
    };
    ErrorBuffer errorBuffer_{};
    bool errorStringOverrun_ = false;
    std::vector<WatchedBox> messageBoxes_;

    intptr_t data_ = 0;
    int16 result_ = noErr;
    int32 progressDone_ = 0;
    int32 progressTotal_ = 0;
};

}  // namespace hostsim
