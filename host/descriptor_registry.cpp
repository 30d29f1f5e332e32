#include "host/descriptor_registry.h"

#include "host/descriptor_property.h"
#include "param/ps_parameters.h"

#include <cstring>
#include <new>
#include <vector>

namespace Corvantis::Host::PS {
namespace {

using Param::Parameter;
using Param::ParameterType;
using Param::Rgb;

// A registered text longer than this is taken for garbage and skipped.
constexpr uint32 kMaxTextLength = 16u * 1024u * 1024u;

template <class Fn, class... Args>
int32 Call(Fn fn, Args... args) {
    return fn ? int32(fn(args...)) : kSPUnimplementedError;
}

int32 StoreColor(const PSActionDescriptorProcs* d, PIActionDescriptor descriptor, const Parameter& p) {
    PIActionDescriptor object = nullptr;
    int32 err = Call(d->Make, &object);
    if (err) return err;
    if (!object) return kSPBadParameterError;
    const Rgb c = p.value.GetColor();
    const int32 m = ColorScale(p, kRegistryEncoding);
    const std::pair<uint32, double> components[] = {{kKeyRed, c.red}, {kKeyGreen, c.green}, {kKeyBlue, c.blue}};
    for (const auto& [key, value] : components) {
        err = m ? Call(d->PutInteger, object, key, EncodeColorComponent(value, m)) : Call(d->PutFloat, object, key, value);
        if (err) break;
    }
    if (!err) err = Call(d->PutObject, descriptor, p.key, kClassRGBColor, object);
    if (d->Free) d->Free(object);
    return err;
}

int32 StoreOne(const PSActionDescriptorProcs* d, PIActionDescriptor descriptor, const Parameter& p) {
    switch (p.type) {
        case ParameterType::Integer: return Call(d->PutInteger, descriptor, p.key, p.value.GetInteger());
        case ParameterType::Float: {
            const double v = EncodeFloat(p, kRegistryEncoding);
            if (HasUnit(p)) return Call(d->PutUnitFloat, descriptor, p.key, FloatUnit(p), v);
            return Call(d->PutFloat, descriptor, p.key, v);
        }
        case ParameterType::Boolean:
            return Call(d->PutBoolean, descriptor, p.key, Boolean(p.value.GetBoolean() ? 1 : 0));
        case ParameterType::Text: return Call(d->PutString, descriptor, p.key, p.value.text.c_str());
        case ParameterType::Enumerated:
            return Call(d->PutEnumerated, descriptor, p.key, p.enumType, p.GetEnumValue());
        case ParameterType::Color: return StoreColor(d, descriptor, p);
        default: return 0;
    }
}

int32 LoadText(const PSActionDescriptorProcs* d, PIActionDescriptor descriptor, Parameter& p) {
    uint32 length = 0;
    if (const int32 err = Call(d->GetStringLength, descriptor, p.key, &length)) return err;
    if (length > kMaxTextLength) return memFullErr;
    std::vector<char> buffer;
    try {
        buffer.assign(std::size_t(length) + 1, 0);
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    const int32 err = Call(d->GetString, descriptor, p.key, buffer.data(), length + 1);
    if (!err) p.value.text.assign(buffer.data(), strnlen(buffer.data(), length));
    return err;
}

// A component the object does not hold is 0; one the host failed to read (or to say whether
// the object holds it) leaves the whole colour as it was, and the read's error is returned. An
// object the host hands back is freed, also one that comes with an error.
int32 LoadColor(const PSActionDescriptorProcs* d, PIActionDescriptor descriptor, Parameter& p) {
    DescriptorClassID cls = 0;
    PIActionDescriptor object = nullptr;
    int32 err = Call(d->GetObject, descriptor, p.key, &cls, &object);
    if (!object) return err;
    if (!err && cls == kClassRGBColor) {
        Rgb c{0.0, 0.0, 0.0};
        const int32 m = ColorScale(p, kRegistryEncoding);
        for (auto [key, component] : {std::pair{kKeyRed, &c.red}, {kKeyGreen, &c.green}, {kKeyBlue, &c.blue}}) {
            Boolean has = 0;
            err = Call(d->HasKey, object, key, &has);
            if (err) break;
            if (!has) continue;
            if (m) {
                int32 v = 0;
                err = Call(d->GetInteger, object, key, &v);
                *component = double(v) / double(m);
            } else {
                err = Call(d->GetFloat, object, key, component);
            }
            if (err) break;
        }
        if (!err) p.value.SetColor(c);
    }
    if (d->Free) d->Free(object);
    return err;
}

int32 LoadOne(const PSActionDescriptorProcs* d, PIActionDescriptor descriptor, Parameter& p, double resolution) {
    switch (p.type) {
        case ParameterType::Integer: {
            int32 v = 0;
            const int32 err = Call(d->GetInteger, descriptor, p.key, &v);
            if (!err) p.value.SetInteger(v);
            return err;
        }
        case ParameterType::Float: {
            double v = 0.0;
            DescriptorUnitID unit = 0;
            const int32 err = HasUnit(p) ? Call(d->GetUnitFloat, descriptor, p.key, &unit, &v)
                                         : Call(d->GetFloat, descriptor, p.key, &v);
            if (err) return err;
            p.value.SetFloat(DecodeFloat(p, kRegistryEncoding, v, unit, resolution));
            return 0;
        }
        case ParameterType::Boolean: {
            Boolean v = 0;
            const int32 err = Call(d->GetBoolean, descriptor, p.key, &v);
            if (!err) p.value.SetBoolean(v != 0);
            return err;
        }
        case ParameterType::Text: return LoadText(d, descriptor, p);
        case ParameterType::Enumerated: {
            DescriptorEnumTypeID type = 0;
            DescriptorEnumID v = 0;
            const int32 err = Call(d->GetEnumerated, descriptor, p.key, &type, &v);
            if (!err && type == p.enumType) p.SetEnumValue(v);
            return err;
        }
        case ParameterType::Color: return LoadColor(d, descriptor, p);
        default: return 0;
    }
}

}  // namespace

int32 StoreInDescriptorRegistry(Parameters* params, SPBasicSuite* basic, const char* title, bool* fallback,
                                bool* reached) {
    bool ignored = true, notAsked = false;
    if (!fallback) fallback = &ignored;
    if (!reached) reached = &notAsked;
    *fallback = true;
    *reached = false;
    if (!basic) return errPlugInHostInsufficient;
    if (!params || !title) return kSPBadParameterError;
    AcquiredSuite<PSDescriptorRegistryProcs> registry(basic, kPSDescriptorRegistrySuite,
                                                      kPSDescriptorRegistrySuiteVersion);
    if (registry.Error()) return registry.Error();
    AcquiredSuite<PSActionDescriptorProcs> descriptors(basic, kPSActionDescriptorSuite,
                                                       kPSActionDescriptorSuiteVersion);
    if (descriptors.Error()) return descriptors.Error();
    *reached = true;
    PIActionDescriptor descriptor = nullptr;
    int32 err = Call(descriptors->Make, &descriptor);
    if (err) return err;
    if (!descriptor) return kSPBadParameterError;

    *fallback = false;
    for (const Parameter& p : params->parameters) {
        if (p.key == 0) continue;
        err = StoreOne(descriptors.Get(), descriptor, p);
        if (err) break;
    }
    if (!err) err = Call(registry->Register, title, descriptor, Boolean(1));
    if (descriptors->Free) descriptors->Free(descriptor);
    // Values that did not reach the registry must be kept elsewhere.
    if (err) *fallback = true;
    return err;
}

int32 LoadFromDescriptorRegistry(Parameters* params, SPBasicSuite* basic, const char* title, bool* fallback) {
    bool ignored = true;
    if (!fallback) fallback = &ignored;
    *fallback = true;
    if (!basic) return errPlugInHostInsufficient;
    if (!params || !title) return kSPBadParameterError;
    AcquiredSuite<PSDescriptorRegistryProcs> registry(basic, kPSDescriptorRegistrySuite,
                                                      kPSDescriptorRegistrySuiteVersion);
    if (registry.Error()) return registry.Error();
    AcquiredSuite<PSActionDescriptorProcs> descriptors(basic, kPSActionDescriptorSuite,
                                                       kPSActionDescriptorSuiteVersion);
    if (descriptors.Error()) return descriptors.Error();
    PIActionDescriptor descriptor = nullptr;
    // A descriptor handed back together with an error is ours all the same, as an object is.
    if (const int32 err = Call(registry->Get, title, &descriptor)) {
        if (descriptor && descriptors->Free) descriptors->Free(descriptor);
        return err;
    }
    if (!descriptor) return 0;  // first run: nothing registered yet

    *fallback = false;
    const double resolution = DocumentResolution(basic);
    int32 err = 0;
    for (Parameter& p : params->parameters) {
        if (p.key == 0 || uint32(p.type) > uint32(ParameterType::Color)) continue;
        const Param::ParameterValue previous = p.value;
        err = LoadOne(descriptors.Get(), descriptor, p, resolution);
        p.KeepUsable(previous);
    }
    if (descriptors->Free) descriptors->Free(descriptor);
    return err;
}

}  // namespace Corvantis::Host::PS
