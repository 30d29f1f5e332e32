// Reading single properties from action descriptors and from the host's current objects, and
// the per-type value encodings shared by the scripting descriptor and the descriptor registry.
#pragma once
#include "param/parameter.h"
#include "pluginapi/action_suites.h"
#include "pluginapi/basic_suite.h"
#include "pluginapi/descriptor_procs.h"

namespace Corvantis::Host::PS {

// Keys and classes the exchange uses.
constexpr uint32 kClassRGBColor = FourCC("RGBC");
constexpr uint32 kKeyRed = FourCC("Rd  ");
constexpr uint32 kKeyGreen = FourCC("Grn ");
constexpr uint32 kKeyBlue = FourCC("Bl  ");
constexpr uint32 kClassDocument = FourCC("Dcmn");
constexpr uint32 kKeyResolution = FourCC("Rslt");
constexpr uint32 kClassProperty = FourCC("Prpr");
constexpr uint32 kTypeOrdinal = FourCC("Ordn");
constexpr uint32 kEnumTarget = FourCC("Trgt");

// value x resolution / 72 for the relative unit '#Rlt'; any other unit leaves the value.
double ConvertRelativeUnit(double value, uint32 unit, double resolution);

// Reads the property `key` of `descriptor` by its type into `out`:
//   'long' int32, 'bool' Boolean, 'doub' double, 'enum' DescriptorEnumID (extra: the enum
//   type, required), 'obj ' PIActionReference, 'type'/'GlbC' DescriptorClassID, 'alis'/'Pth '
//   Handle, 'Objc'/'GlbO' PIActionDescriptor (extra: the class, required), 'UntF' double
//   (extra: the unit, required), 'VlLs' PIActionList, 'TEXT' char[] (extra: uint32 holding the
//   buffer size in bytes, zero included; receives the text length; 'Parm' when it does not fit).
// A missing key returns 0 with `out` untouched. Other types give '!IMP', as does a host
// procedure that is missing. The caller owns what a reference, object, list or alias read
// gives.
int32 GetDescriptorProperty(const PSActionDescriptorProcs* procs, PIActionDescriptor descriptor, uint32 key,
                            void* out, void* extra);

// A property of the current target object of class classID (the active document for 'Dcmn'),
// read as GetDescriptorProperty reads it. With key 0, `out` receives the whole result
// descriptor (a PIActionDescriptor the caller frees). -30900 without the basic suite.
int32 GetTargetProperty(SPBasicSuite* basic, uint32 classID, uint32 key, void* out, void* extra);

// The active document's resolution in pixels per inch; 72 when it cannot be had (no suite, no
// document, a value of another type, or one that is not a positive number).
double DocumentResolution(SPBasicSuite* basic);

// Which flag bits steer an exchange: the scripting descriptor's or the descriptor registry's.
struct DescriptorEncoding {
    uint32 scaled;
    uint32 color255;
    uint32 color32768;
};
constexpr DescriptorEncoding kScriptEncoding{Param::ParameterFlags::ScriptScaled,
                                             Param::ParameterFlags::ScriptColor255,
                                             Param::ParameterFlags::ScriptColor32768};
constexpr DescriptorEncoding kRegistryEncoding{Param::ParameterFlags::RegistryScaled,
                                               Param::ParameterFlags::RegistryColor255,
                                               Param::ParameterFlags::RegistryColor32768};

// A Float with any unit bit goes out as a unit float.
bool HasUnit(const Param::Parameter& p);
// '#Prc', else '#Ang', else '#Pxl'.
uint32 FloatUnit(const Param::Parameter& p);
// The value a Float is written as: times its scale when the scaling bit is set.
double EncodeFloat(const Param::Parameter& p, const DescriptorEncoding& enc);
// The value a Float read from a descriptor stands for: relative units converted (unless the
// parameter is a percent or an angle), then divided by the scale when the scaling bit is set.
double DecodeFloat(const Param::Parameter& p, const DescriptorEncoding& enc, double value, uint32 unit,
                   double resolution);
// 0 when colours are exchanged as floats; else 255, or 32768 when that bit is set.
int32 ColorScale(const Param::Parameter& p, const DescriptorEncoding& enc);
// m x component, clamped to 0..m and truncated toward zero (NaN gives 0).
int32 EncodeColorComponent(double component, int32 m);

// A host suite acquired through the basic suite and released when this goes out of scope.
template <class Procs>
class AcquiredSuite {
public:
    AcquiredSuite(SPBasicSuite* basic, const char* name, int32 version) : basic_(basic), name_(name), version_(version) {
        if (!basic_ || !basic_->AcquireSuite) {
            error_ = kSPSuiteNotFoundError;
            return;
        }
        const void* suite = nullptr;
        error_ = basic_->AcquireSuite(name_, version_, &suite);
        if (error_ != kSPNoError) return;
        if (!suite) {
            // Acquired, but nothing to use: give it back.
            if (basic_->ReleaseSuite) basic_->ReleaseSuite(name_, version_);
            error_ = kSPSuiteNotFoundError;
            return;
        }
        procs_ = static_cast<const Procs*>(suite);
    }
    ~AcquiredSuite() {
        if (procs_ && basic_->ReleaseSuite) basic_->ReleaseSuite(name_, version_);
    }
    AcquiredSuite(const AcquiredSuite&) = delete;
    AcquiredSuite& operator=(const AcquiredSuite&) = delete;

    SPErr Error() const { return error_; }
    const Procs* operator->() const { return procs_; }
    const Procs* Get() const { return procs_; }

private:
    SPBasicSuite* basic_;
    const char* name_;
    int32 version_;
    const Procs* procs_ = nullptr;
    SPErr error_ = kSPNoError;
};

}  // namespace Corvantis::Host::PS
