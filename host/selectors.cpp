// Default handlers of the filter selectors after About.
#include "host/descriptor_registry.h"
#include "host/host.h"
#include "host/host_result.h"
#include "host/image_modes.h"
#include "host/parameter_handle.h"
#include "host/registry_preference.h"
#include "host/script_parameters.h"
#include "param/ps_parameters.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace Corvantis::Host::PS {

void Host::LoadRememberedValues(Parameters* list) {
    // The descriptor registry, or the Windows registry when the descriptor registry itself
    // cannot be used or when the last Finish could only keep them there.
    bool fallback = true;
    const int32 loaded = LoadFromDescriptorRegistry(list, basic, title, &fallback);
    if (registryPrefix && ((loaded != 0 && fallback) || RegistryStoreIsNewer(registryPrefix)))
        list->LoadFromRegistry(registryPrefix);
}

void Host::OnParameters() {
    Parameters* list = nullptr;
    uint8* dataByte = nullptr;
    if (!GetParameters(list, dataByte, true)) return;
    list->parameters.clear();
    *dataByte = 1;  // show the dialog at the next Start
    DefineParameters(list);
}

void Host::OnPrepare() {
    Parameters* list = nullptr;
    uint8* dataByte = nullptr;
    if (!GetParameters(list, dataByte, true)) return;
    filterRecord->bufferSpace = 0;
    const Rect filter = GetFilterRect();
    int32 width = std::min<int32>(RectWidth(filter), 256);
    int32 height = std::min<int32>(RectHeight(filter), 256);
    GetTileSize(filter, width, height);
    // Two tiles' worth of every plane; an inverted rect needs nothing, and the product is
    // kept within the field's range.
    const int64_t planes = int64_t(filterRecord->planes) + (filterRecord->maskData ? 1 : 0);
    const int64_t need64 = 2 * std::max<int64_t>(planes, 0) * std::max<int32>(width, 0) * std::max<int32>(height, 0);
    const int32 need = int32(std::min<int64_t>(need64, std::numeric_limits<int32>::max()));
    if (filterRecord->maxSpace > need) filterRecord->maxSpace = need;
}

void Host::OnStart() {
    ClearRequests(false);
    // A mode without samples the pixel path can read is refused before any pixel is asked for:
    // Indexed would ask for three planes of a one-plane document, and a host that clamps such a
    // request instead of refusing it would lend fewer planes than are read.
    if (filterRecord && !ModeCanBeFiltered(filterRecord->imageMode)) {
        if (result) *result = filterBadMode;
        return;
    }
    Parameters* list = nullptr;
    uint8* dataByte = nullptr;
    if (!GetParameters(list, dataByte, false)) return;

    LoadRememberedValues(list);
    std::unique_ptr<Parameters> backup = CloneParameters(*list);

    bool proceed = true;
    bool show = false;
    int16 failedRead = noErr;
    const int16 closed = ReadScriptParameters(list, filterRecord, dataByte, &show, &failedRead);
    if (failedRead != noErr) {
        *dataByte = 0;
        // A played action the host could not hand over whole: rendering with whatever part of it
        // arrived would apply values nobody asked for. The run ends with the host's error.
        if (result) *result = HostFacingResult(failedRead);
        return;
    }
    // Hosts close a replay with an error in normal use: errMissingParameter for keys the action
    // did not record, or the last error of any read. The values read apply and the tiles
    // render, and the code does not reach the host. Missing keys leave the dialog to the play
    // information, so that the user can fill them in; any other error skips the dialog.
    if ((closed == noErr || closed == errMissingParameter) && show) {
        inDialog = true;
        proceed = RunDialog(list);
    }
    *dataByte = 0;

    if (proceed) {
        ProcessTiles();
    } else {
        params = CloneParameters(*backup);
        list = params.get();
        if (result) *result = userCanceledErr;
    }

    // After a cancel the handle receives the restored values and the result stays -128;
    // otherwise a failure to keep the values is reported to the host.
    const int16 stored = FlattenParameters(list, filterRecord);
    if (stored != noErr && proceed && result) *result = HostFacingResult(stored);
}

void Host::OnContinue() {
    if (!filterRecord) return;
    const Rect empty{0, 0, 0, 0};
    SetInRect(empty);
    SetOutRect(empty);
    SetMaskRect(empty);
}

void Host::OnFinish() {
    Parameters* list = nullptr;
    uint8* dataByte = nullptr;
    if (!GetParameters(list, dataByte, false)) return;
    // Without values from the parameters handle (a host that lost it, or cannot tell its size)
    // the list holds the defaults: storing them would replace what is remembered. What is
    // remembered is written back instead.
    if (!parametersRead) LoadRememberedValues(list);
    const int16 recorded = WriteScriptParameters(list, filterRecord);
    bool fallback = true, reached = false;
    const int32 stored = StoreInDescriptorRegistry(list, basic, title, &fallback, &reached);
    if (registryPrefix) {
        if (stored != 0 && fallback) {
            // A registry that is there but refused the values may still hold older ones: the
            // Windows registry now has the newest, and Start must prefer them.
            if (list->SaveToRegistry(registryPrefix) && reached) MarkRegistryStoreNewer(registryPrefix, true);
        } else if (stored == 0) {
            MarkRegistryStoreNewer(registryPrefix, false);
        }
    }
    // A recording that could not be written whole would replay other values: say so.
    if (recorded != noErr && result) *result = HostFacingResult(recorded);
}

}  // namespace Corvantis::Host::PS
