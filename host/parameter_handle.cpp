#include "host/parameter_handle.h"

#include "host/host.h"
#include "host/host_handles.h"
#include "param/ps_parameters.h"

#include <cstring>
#include <limits>

namespace Corvantis::Host::PS {
namespace {

using Param::Parameter;
using Param::ParameterType;
using Param::ParameterValue;

bool HasPayload(ParameterType type) {
    switch (type) {
        case ParameterType::Integer:
        case ParameterType::Float:
        case ParameterType::Boolean:
        case ParameterType::Enumerated:
        case ParameterType::Color: return true;
        default: return false;
    }
}

// The two handles this module keeps in the host's record, with the sizes it last made them in
// this process. Some hosts answer 0 from getHandleSize for every handle they allocated, and the
// plug-in interface offers no other way to learn a handle's size: where the host cannot say,
// the size this module wrote stands in. Only these two are known so: every other handle is the
// host's, and its address may be reused for anything.
struct KeptHandle {
    Handle handle = nullptr;
    int32 size = 0;
};
KeptHandle gKeptParameters, gKeptData;

// The size of a kept handle: the host's when it can give one, else the size this module made it.
// False when nobody knows it.
bool KeptHandleSize(const HandleProcs* procs, Handle h, const KeptHandle& kept, int32& size) {
    if (HostHandleSize(procs, h, size)) return true;
    if (!h || h != kept.handle) return false;
    size = kept.size;
    return true;
}

// A text is stored up to its first zero byte, so that an embedded zero cannot shift the values
// after it.
std::size_t StoredTextLength(const std::string& text) { return std::strlen(text.c_str()); }

std::size_t FlatLength(const Parameter& p) {
    if (HasPayload(p.type)) return ParameterValue::kPayloadSize;
    if (p.type == ParameterType::Text) return StoredTextLength(p.value.text) + 1;
    return 0;
}

}  // namespace

std::size_t FlatParametersSize(const Parameters& params) {
    std::size_t total = 0;
    for (const Parameter& p : params.parameters) total += FlatLength(p);
    return total;
}

int16 FlattenParameters(Parameters* params, FilterRecord* record) {
    if (!params || !record) return noErr;
    const std::size_t total = FlatParametersSize(*params);
    if (total == 0) return noErr;
    if (total > std::size_t(std::numeric_limits<int32>::max())) return memFullErr;
    const int32 size = int32(total);
    HandleProcs* procs = record->handleProcs;
    if (!record->parameters) {
        Handle h = HostNewHandle(procs, size);
        if (!h) return memFullErr;
        record->parameters = h;
    } else if (HostGetHandleSize(procs, record->parameters) != size) {
        if (const int16 err = HostSetHandleSize(procs, record->parameters, size)) return err;
    }
    gKeptParameters = {record->parameters, size};
    auto* out = static_cast<unsigned char*>(HostLockHandle(procs, record->parameters, true));
    if (!out) return memFullErr;
    for (const Parameter& p : params->parameters) {
        if (HasPayload(p.type)) {
            std::memcpy(out, p.value.payload, ParameterValue::kPayloadSize);
            out += ParameterValue::kPayloadSize;
        } else if (p.type == ParameterType::Text) {
            const std::size_t n = StoredTextLength(p.value.text);
            std::memcpy(out, p.value.text.data(), n);
            out[n] = 0;
            out += n + 1;
        }
    }
    HostUnlockHandle(procs, record->parameters);
    return noErr;
}

int16 UnflattenParameters(Parameters* params, FilterRecord* record, bool* read) {
    if (read) *read = false;
    if (!params || !record || !record->parameters) return noErr;
    HandleProcs* procs = record->handleProcs;
    // A handle whose size nobody knows is treated as absent, never as empty: reading it would
    // go past its end, and taking it for empty would put the defaults in place of its values.
    int32 known = 0;
    if (!KeptHandleSize(procs, record->parameters, gKeptParameters, known)) return noErr;
    if (read) *read = true;
    const std::size_t size = std::size_t(known);
    if (size == 0) return noErr;
    const auto* in = static_cast<const unsigned char*>(HostLockHandle(procs, record->parameters, true));
    if (!in) return memFullErr;
    std::size_t pos = 0;
    for (Parameter& p : params->parameters) {
        if (pos >= size) break;
        const std::size_t left = size - pos;
        if (HasPayload(p.type)) {
            if (left < ParameterValue::kPayloadSize) break;
            // The handle is the host's to keep and may come from anywhere: a value that would
            // harm the module keeps the one the list has.
            const ParameterValue previous = p.value;
            std::memcpy(p.value.payload, in + pos, ParameterValue::kPayloadSize);
            p.KeepUsable(previous);
            pos += ParameterValue::kPayloadSize;
        } else if (p.type == ParameterType::Text) {
            const void* zero = std::memchr(in + pos, 0, left);
            const std::size_t n = zero ? std::size_t(static_cast<const unsigned char*>(zero) - (in + pos)) : left;
            p.value.text.assign(reinterpret_cast<const char*>(in + pos), n);
            pos += zero ? n + 1 : n;
        }
    }
    HostUnlockHandle(procs, record->parameters);
    return noErr;
}

bool Host::GetParameters(Parameters*& list, uint8*& dataByte, bool create) {
    list = nullptr;
    dataByte = nullptr;
    if (!filterRecord) {
        if (result) *result = filterBadParameters;
        return false;
    }
    HandleProcs* procs = filterRecord->handleProcs;
    Handle dataHandle = data ? reinterpret_cast<Handle>(*data) : nullptr;
    bool isNew = false;
    if (!dataHandle) {
        // Without a slot there is nowhere to keep a new handle.
        if (!create || !data) {
            if (result) *result = filterBadParameters;
            return false;
        }
        dataHandle = HostNewHandle(procs, 1);
        if (!dataHandle) {
            if (result) *result = memFullErr;
            return false;
        }
        *data = reinterpret_cast<intptr_t>(dataHandle);
        gKeptData = {dataHandle, 1};
        isNew = true;
    } else if (int32 size = 0; KeptHandleSize(procs, dataHandle, gKeptData, size) && size < 1) {
        // A handle without its byte is grown to one and starts over as new. One whose size
        // nobody knows is taken for ours, of one byte, and is used as it is.
        if (HostSetHandleSize(procs, dataHandle, 1) != noErr) {
            if (result) *result = memFullErr;
            return false;
        }
        gKeptData = {dataHandle, 1};
        isNew = true;
    }
    auto* byte = static_cast<uint8*>(HostLockHandle(procs, dataHandle, true));
    if (!byte) {
        if (result) *result = memFullErr;
        return false;
    }
    dataByte = byte;
    if (isNew) *dataByte = 1;

    if (!params) params = NewParameters();
    // The list is defined afresh: records left from an earlier call would be doubled.
    params->parameters.clear();
    DefineParameters(params.get());
    if (const int16 err = UnflattenParameters(params.get(), filterRecord, &parametersRead)) {
        if (result) *result = err;
        return false;
    }
    list = params.get();
    return true;
}

}  // namespace Corvantis::Host::PS
