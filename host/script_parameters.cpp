#include "host/script_parameters.h"

#include "host/descriptor_property.h"
#include "host/host_handles.h"
#include "param/ps_parameters.h"

#include <cstring>
#include <limits>
#include <vector>

namespace Corvantis::Host::PS {
namespace {

using Param::Parameter;
using Param::ParameterType;
using Param::Rgb;

// Stands for a key that no parameter claims; it ends the read.
constexpr int16 kKeyNotClaimed = -19;
// Ends the read of a host whose key procedure never says it is done.
constexpr int kMaxKeys = 1 << 16;

template <class Fn, class... Args>
int16 Call(Fn fn, Args... args) {
    return fn ? int16(fn(args...)) : int16(errPlugInHostInsufficient);
}

int16 PutText(const WriteDescriptorProcs& w, const HandleProcs* procs, PIWriteDescriptor token, uint32 key,
              const std::string& text) {
    if (!w.putTextProc) return errPlugInHostInsufficient;
    const std::size_t n = std::strlen(text.c_str());
    if (n > std::size_t(std::numeric_limits<int32>::max())) return memFullErr;
    Handle h = HostNewHandle(procs, int32(n));
    if (!h) return memFullErr;
    if (n > 0) {
        void* bytes = HostLockHandle(procs, h, false);
        if (!bytes) {
            HostDisposeHandle(procs, h);
            return memFullErr;
        }
        std::memcpy(bytes, text.data(), n);
        HostUnlockHandle(procs, h);
    }
    // The host takes the handle over when it accepts it; a refused one is still ours.
    const int16 err = w.putTextProc(token, key, h);
    if (err) HostDisposeHandle(procs, h);
    return err;
}

int16 PutColor(const WriteDescriptorProcs& w, const HandleProcs* procs, PIWriteDescriptor token,
               const Parameter& p) {
    if (!w.putObjectProc) return errPlugInHostInsufficient;
    PIWriteDescriptor object = w.openWriteDescriptorProc();
    if (!object) return errMissingParameter;
    const Rgb c = p.value.GetColor();
    const int32 m = ColorScale(p, kScriptEncoding);
    const std::pair<uint32, double> components[] = {{kKeyRed, c.red}, {kKeyGreen, c.green}, {kKeyBlue, c.blue}};
    int16 err = noErr;
    for (const auto& [key, value] : components) {
        err = m ? Call(w.putIntegerProc, object, key, EncodeColorComponent(value, m))
                : Call(w.putFloatProc, object, key, &value);
        if (err) break;
    }
    PIDescriptorHandle objectHandle = nullptr;
    const int16 closeErr = w.closeWriteDescriptorProc(object, &objectHandle);
    if (!err) err = closeErr;
    if (!objectHandle) return err;
    // As with texts, an accepted object handle belongs to the host.
    if (!err) err = w.putObjectProc(token, p.key, kClassRGBColor, objectHandle);
    if (err) HostDisposeHandle(procs, objectHandle);
    return err;
}

int16 WriteOne(const WriteDescriptorProcs& w, const HandleProcs* procs, PIWriteDescriptor token,
               const Parameter& p) {
    switch (p.type) {
        case ParameterType::Integer: return Call(w.putIntegerProc, token, p.key, p.value.GetInteger());
        case ParameterType::Float: {
            const double v = EncodeFloat(p, kScriptEncoding);
            if (HasUnit(p)) return Call(w.putUnitFloatProc, token, p.key, FloatUnit(p), &v);
            return Call(w.putFloatProc, token, p.key, &v);
        }
        case ParameterType::Boolean:
            return Call(w.putBooleanProc, token, p.key, Boolean(p.value.GetBoolean() ? 1 : 0));
        case ParameterType::Text: return PutText(w, procs, token, p.key, p.value.text);
        case ParameterType::Enumerated:
            return Call(w.putEnumeratedProc, token, p.key, p.enumType, p.GetEnumValue());
        case ParameterType::Color: return PutColor(w, procs, token, p);
        default: return noErr;
    }
}

struct Reader {
    const ReadDescriptorProcs& r;
    FilterRecord* record;

    int16 ReadText(PIReadDescriptor token, Parameter& p) const {
        Handle h = nullptr;
        int16 err = Call(r.getTextProc, token, &h);
        if (err || !h) {
            if (!err) p.value.text.clear();
            return err;
        }
        const HandleProcs* procs = record->handleProcs;
        int32 size = 0;
        if (!HostHandleSize(procs, h, size)) {
            // A size the host failed to give is no empty text: the text keeps what it had.
            err = errPlugInHostInsufficient;
        } else if (size == 0) {
            p.value.text.clear();
        } else if (const auto* bytes = static_cast<const char*>(HostLockHandle(procs, h, false))) {
            // The text ends at its first zero byte or at the end of the handle.
            const void* zero = std::memchr(bytes, 0, std::size_t(size));
            p.value.text.assign(bytes, zero ? std::size_t(static_cast<const char*>(zero) - bytes) : std::size_t(size));
            HostUnlockHandle(procs, h);
        } else {
            err = memFullErr;
        }
        HostDisposeHandle(procs, h);
        return err;
    }

    int16 ReadColor(PIReadDescriptor token, Parameter& p) const {
        PIDescriptorHandle objectHandle = nullptr;
        int16 err = Call(r.getObjectProc, token, static_cast<DescriptorClassID*>(nullptr), &objectHandle);
        if (err || !objectHandle) return err;
        static const DescriptorKeyID kColorKeys[] = {kKeyRed, kKeyGreen, kKeyBlue, 0};
        if (PIReadDescriptor object = r.openReadDescriptorProc(objectHandle, const_cast<DescriptorKeyID*>(kColorKeys))) {
            Rgb c{0.0, 0.0, 0.0};
            const int32 m = ColorScale(p, kScriptEncoding);
            DescriptorKeyID key = 0;
            DescriptorTypeID type = 0;
            int32 flags = 0;
            for (int n = 0; !err && n < kMaxKeys && r.getKeyProc(object, &key, &type, &flags); ++n) {
                double* component = key == kKeyRed ? &c.red : key == kKeyGreen ? &c.green : key == kKeyBlue ? &c.blue
                                                                                                          : nullptr;
                if (!component) continue;
                if (m) {
                    int32 v = 0;
                    err = Call(r.getIntegerProc, object, &v);
                    if (!err) *component = double(v) / double(m);
                } else {
                    double v = 0.0;
                    err = Call(r.getFloatProc, object, &v);
                    if (!err) *component = v;
                }
            }
            // As with the whole descriptor, an error at the close (a component the object does
            // not hold) does not undo the components read; a component the host failed to
            // read leaves the whole colour as it was.
            r.closeReadDescriptorProc(object);
            if (!err) p.value.SetColor(c);
        }
        HostDisposeHandle(record->handleProcs, objectHandle);
        return err;
    }

    int16 ReadOne(PIReadDescriptor token, Parameter& p) const {
        switch (p.type) {
            case ParameterType::Integer: {
                int32 v = 0;
                const int16 err = Call(r.getIntegerProc, token, &v);
                if (!err) p.value.SetInteger(v);
                return err;
            }
            case ParameterType::Float: {
                double v = 0.0;
                DescriptorUnitID unit = 0;
                const int16 err = HasUnit(p) ? Call(r.getUnitFloatProc, token, &unit, &v)
                                             : Call(r.getFloatProc, token, &v);
                if (err) return err;
                const double resolution = unit == unitDistance ? DocumentResolution(record->sSPBasic) : 72.0;
                p.value.SetFloat(DecodeFloat(p, kScriptEncoding, v, unit, resolution));
                return noErr;
            }
            case ParameterType::Boolean: {
                Boolean v = 0;
                const int16 err = Call(r.getBooleanProc, token, &v);
                if (!err) p.value.SetBoolean(v != 0);
                return err;
            }
            case ParameterType::Text: return ReadText(token, p);
            case ParameterType::Enumerated: {
                DescriptorEnumID v = 0;
                const int16 err = Call(r.getEnumeratedProc, token, &v);
                if (!err) p.SetEnumValue(v);
                return err;
            }
            case ParameterType::Color: return ReadColor(token, p);
            default: return kKeyNotClaimed;
        }
    }
};

}  // namespace

int16 WriteScriptParameters(Parameters* params, FilterRecord* record) {
    if (!params || !record) return noErr;
    PIDescriptorParameters* dp = record->descriptorParameters;
    if (!dp || !dp->writeDescriptorProcs) return noErr;
    const WriteDescriptorProcs& w = *dp->writeDescriptorProcs;
    if (!w.openWriteDescriptorProc || !w.closeWriteDescriptorProc) return errMissingParameter;
    PIWriteDescriptor token = w.openWriteDescriptorProc();
    if (!token) return errMissingParameter;

    // A text goes to the host in a handle; a host without handle procedures can take only its
    // own, so texts are left out of its recording rather than failing the whole of it.
    const bool textsCanBeHanded = HandleProcsUsable(record->handleProcs);
    int16 err = noErr;
    for (const Parameter& p : params->parameters) {
        if (p.key == 0 || (p.type == ParameterType::Text && !textsCanBeHanded)) continue;
        err = WriteOne(w, record->handleProcs, token, p);
        if (err) break;
    }

    if (dp->descriptor) HostDisposeHandle(record->handleProcs, dp->descriptor);
    dp->descriptor = nullptr;
    PIDescriptorHandle written = nullptr;
    const int16 closeErr = w.closeWriteDescriptorProc(token, &written);
    dp->descriptor = written;
    dp->recordInfo = plugInDialogOptional;
    return err ? err : closeErr;
}

int16 ReadScriptParameters(Parameters* params, FilterRecord* record, uint8* dataByte, bool* show,
                           int16* failedRead) {
    bool ignored = false;
    int16 noCode = noErr;
    if (!show) show = &ignored;
    if (!failedRead) failedRead = &noCode;
    *show = dataByte && *dataByte != 0;
    *failedRead = noErr;
    if (!params || !record) return noErr;
    PIDescriptorParameters* dp = record->descriptorParameters;
    if (!dp || !dp->readDescriptorProcs || !dp->descriptor) return noErr;
    const ReadDescriptorProcs& r = *dp->readDescriptorProcs;
    if (!r.openReadDescriptorProc || !r.getKeyProc || !r.closeReadDescriptorProc) return noErr;

    std::vector<DescriptorKeyID> keys;
    for (const Parameter& p : params->parameters)
        if (p.key) keys.push_back(p.key);
    keys.push_back(0);

    PIReadDescriptor token = r.openReadDescriptorProc(dp->descriptor, keys.data());
    if (!token) {
        *show = dp->playInfo == plugInDialogDisplay;
        return noErr;
    }

    const Reader reader{r, record};
    int16 err = noErr;
    DescriptorKeyID key = 0;
    DescriptorTypeID type = 0;
    int32 flags = 0;
    for (int n = 0; !err && n < kMaxKeys && r.getKeyProc(token, &key, &type, &flags); ++n) {
        err = kKeyNotClaimed;
        for (Parameter& p : params->parameters) {
            if (p.key == 0 || p.key != key) continue;
            const Param::ParameterValue previous = p.value;
            err = reader.ReadOne(token, p);
            p.KeepUsable(previous);
        }
    }

    const int16 closeErr = r.closeReadDescriptorProc(token);
    HostDisposeHandle(record->handleProcs, dp->descriptor);
    dp->descriptor = nullptr;
    *show = dp->playInfo == plugInDialogDisplay;
    // A key no parameter claims only ends the read.
    if (err != kKeyNotClaimed) *failedRead = err;
    return closeErr;
}

}  // namespace Corvantis::Host::PS
