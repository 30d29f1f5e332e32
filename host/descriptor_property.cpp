#include "host/descriptor_property.h"

#include <cmath>

namespace Corvantis::Host::PS {
namespace {

using Param::Parameter;
using Param::ParameterFlags;

constexpr uint32 kUnitFlags =
    ParameterFlags::UnitPercent | ParameterFlags::UnitAngle | ParameterFlags::UnitPixels | ParameterFlags::UnitPixelsAlt;

// Calls a host procedure that may be missing.
template <class Fn, class... Args>
int32 Call(Fn fn, Args... args) {
    return fn ? int32(fn(args...)) : kSPUnimplementedError;
}

// Asks the host for the target object of class classID (its property key, when key is
// non-zero) and hands the result descriptor to use(procs, descriptor), which returns its code
// and whether it kept the descriptor.
template <class Use>
int32 OnTarget(SPBasicSuite* basic, uint32 classID, uint32 key, Use use) {
    if (!basic) return errPlugInHostInsufficient;
    AcquiredSuite<PSActionDescriptorProcs> descriptors(basic, kPSActionDescriptorSuite,
                                                       kPSActionDescriptorSuiteVersion);
    if (descriptors.Error()) return descriptors.Error();
    AcquiredSuite<PSActionControlProcs> control(basic, kPSActionControlSuite, kPSActionControlSuiteVersion);
    if (control.Error()) return control.Error();
    AcquiredSuite<PSActionReferenceProcs> references(basic, kPSActionReferenceSuite,
                                                     kPSActionReferenceSuiteVersion);
    if (references.Error()) return references.Error();

    PIActionReference reference = nullptr;
    int32 err = Call(references->Make, &reference);
    if (err == 0 && !reference) err = kSPBadParameterError;
    if (err == 0 && key != 0) err = Call(references->PutProperty, reference, kClassProperty, key);
    if (err == 0) err = Call(references->PutEnumerated, reference, classID, kTypeOrdinal, kEnumTarget);
    PIActionDescriptor target = nullptr;
    if (err == 0) err = Call(control->Get, &target, reference);
    bool kept = false;
    if (err == 0) err = use(descriptors.Get(), target, kept);
    if (reference && references->Free) references->Free(reference);
    if (target && !kept && descriptors->Free) descriptors->Free(target);
    return err;
}

}  // namespace

double ConvertRelativeUnit(double value, uint32 unit, double resolution) {
    return unit == unitDistance ? value * resolution / 72.0 : value;
}

int32 GetDescriptorProperty(const PSActionDescriptorProcs* procs, PIActionDescriptor descriptor, uint32 key,
                            void* out, void* extra) {
    if (!out) return kSPBadParameterError;
    if (!procs) return kSPUnimplementedError;
    Boolean has = 0;
    if (const int32 err = Call(procs->HasKey, descriptor, key, &has)) return err;
    if (!has) return 0;
    DescriptorTypeID type = 0;
    if (const int32 err = Call(procs->GetType, descriptor, key, &type)) return err;
    switch (type) {
        case typeInteger: return Call(procs->GetInteger, descriptor, key, static_cast<int32*>(out));
        case typeBoolean: return Call(procs->GetBoolean, descriptor, key, static_cast<Boolean*>(out));
        case typeFloat: return Call(procs->GetFloat, descriptor, key, static_cast<double*>(out));
        case typeEnumerated:
            if (!extra) return kSPBadParameterError;
            return Call(procs->GetEnumerated, descriptor, key, static_cast<DescriptorEnumTypeID*>(extra),
                        static_cast<DescriptorEnumID*>(out));
        case typeObjectSpecifier:
            return Call(procs->GetReference, descriptor, key, static_cast<PIActionReference*>(out));
        case typeType:
        case typeGlobalClass: return Call(procs->GetClass, descriptor, key, static_cast<DescriptorClassID*>(out));
        case typeAlias:
        case typePath: return Call(procs->GetAlias, descriptor, key, static_cast<Handle*>(out));
        case typeGlobalObject:
            if (!extra) return kSPBadParameterError;
            return Call(procs->GetGlobalObject, descriptor, key, static_cast<DescriptorClassID*>(extra),
                        static_cast<PIActionDescriptor*>(out));
        case typeObject:
            if (!extra) return kSPBadParameterError;
            return Call(procs->GetObject, descriptor, key, static_cast<DescriptorClassID*>(extra),
                        static_cast<PIActionDescriptor*>(out));
        case typeUnitFloat:
            if (!extra) return kSPBadParameterError;
            return Call(procs->GetUnitFloat, descriptor, key, static_cast<DescriptorUnitID*>(extra),
                        static_cast<double*>(out));
        case typeValueList: return Call(procs->GetList, descriptor, key, static_cast<PIActionList*>(out));
        case typeChar: {
            if (!extra) return kSPBadParameterError;
            auto* length = static_cast<uint32*>(extra);
            const uint32 capacity = *length;
            if (const int32 err = Call(procs->GetStringLength, descriptor, key, length)) return err;
            // The text and its zero byte must both fit.
            if (*length >= capacity) return kSPBadParameterError;
            return Call(procs->GetString, descriptor, key, static_cast<char*>(out), *length + 1);
        }
        default: return kSPUnimplementedError;
    }
}

int32 GetTargetProperty(SPBasicSuite* basic, uint32 classID, uint32 key, void* out, void* extra) {
    if (!basic) return errPlugInHostInsufficient;
    if (!out) {
        // A host without the suites answers with its own error first.
        AcquiredSuite<PSActionDescriptorProcs> descriptors(basic, kPSActionDescriptorSuite,
                                                           kPSActionDescriptorSuiteVersion);
        if (descriptors.Error()) return descriptors.Error();
        AcquiredSuite<PSActionControlProcs> control(basic, kPSActionControlSuite, kPSActionControlSuiteVersion);
        if (control.Error()) return control.Error();
        AcquiredSuite<PSActionReferenceProcs> references(basic, kPSActionReferenceSuite,
                                                         kPSActionReferenceSuiteVersion);
        if (references.Error()) return references.Error();
        return kSPBadParameterError;
    }
    return OnTarget(basic, classID, key, [&](const PSActionDescriptorProcs* procs, PIActionDescriptor target, bool& kept) {
        if (key == 0) {
            *static_cast<PIActionDescriptor*>(out) = target;
            kept = true;
            return int32(0);
        }
        if (!target) return int32(errMissingParameter);
        return GetDescriptorProperty(procs, target, key, out, extra);
    });
}

double DocumentResolution(SPBasicSuite* basic) {
    double resolution = 72.0;
    // The property is read by its own type here: a value of another type must not land in a double.
    OnTarget(basic, kClassDocument, kKeyResolution,
             [&](const PSActionDescriptorProcs* procs, PIActionDescriptor target, bool&) -> int32 {
                 if (!target) return errMissingParameter;
                 Boolean has = 0;
                 if (int32 err = Call(procs->HasKey, target, kKeyResolution, &has)) return err;
                 if (!has) return errMissingParameter;
                 DescriptorTypeID type = 0;
                 if (int32 err = Call(procs->GetType, target, kKeyResolution, &type)) return err;
                 double value = 0.0;
                 int32 err = kSPUnimplementedError;
                 if (type == typeUnitFloat) {
                     DescriptorUnitID unit = 0;
                     err = Call(procs->GetUnitFloat, target, kKeyResolution, &unit, &value);
                 } else if (type == typeFloat) {
                     err = Call(procs->GetFloat, target, kKeyResolution, &value);
                 } else if (type == typeInteger) {
                     int32 whole = 0;
                     err = Call(procs->GetInteger, target, kKeyResolution, &whole);
                     value = whole;
                 }
                 if (err == 0 && std::isfinite(value) && value > 0.0) resolution = value;
                 return err;
             });
    return resolution;
}

bool HasUnit(const Parameter& p) { return (p.flags & kUnitFlags) != 0; }

uint32 FloatUnit(const Parameter& p) {
    if (p.flags & ParameterFlags::UnitPercent) return unitPercent;
    if (p.flags & ParameterFlags::UnitAngle) return unitAngle;
    return unitPixels;
}

double EncodeFloat(const Parameter& p, const DescriptorEncoding& enc) {
    const double v = p.value.GetFloat();
    return (p.flags & enc.scaled) ? v * p.scale : v;
}

double DecodeFloat(const Parameter& p, const DescriptorEncoding& enc, double value, uint32 unit,
                   double resolution) {
    if (HasUnit(p) && !(p.flags & (ParameterFlags::UnitPercent | ParameterFlags::UnitAngle)))
        value = ConvertRelativeUnit(value, unit, resolution);
    // A zero scale would turn every value into infinity: such a value is taken as it is.
    if ((p.flags & enc.scaled) && p.scale != 0.0) value /= p.scale;
    return value;
}

int32 ColorScale(const Parameter& p, const DescriptorEncoding& enc) {
    if (p.flags & enc.color32768) return 32768;
    if (p.flags & enc.color255) return 255;
    return 0;
}

int32 EncodeColorComponent(double component, int32 m) {
    const double v = double(m) * component;
    if (!(v > 0.0)) return 0;  // also NaN
    if (v >= double(m)) return m;
    return int32(v);
}

}  // namespace Corvantis::Host::PS
