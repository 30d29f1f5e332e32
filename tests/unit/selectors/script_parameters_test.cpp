// Values exchanged with scripting descriptors and the descriptor registry: units, scaling,
// colours as whole numbers, reading order, and single-property reads.
#include "host/descriptor_property.h"
#include "host/descriptor_registry.h"
#include "host/script_parameters.h"
#include "selector_support.h"

#include <cmath>

using namespace Corvantis::Host::PS;
using namespace selectors_test;
using Corvantis::Host::Param::FourCharCode;
using Corvantis::Host::Param::Parameter;
using Corvantis::Host::Param::ParameterFlags;
using fake::Descriptor;
using fake::Value;

namespace {

class ScriptTest : public SelectorTest {
protected:
    // Reads `d` as a played descriptor into `list`; returns the result and whether to show.
    std::pair<int16, bool> Play(Parameters& list, const Descriptor& d, int32 playInfo = plugInDialogDontDisplay,
                                uint8 dataByte = 0) {
        host.Dispose(host.descriptorParameters.descriptor);
        host.descriptorParameters.descriptor = host.NewDescriptorHandle(d);
        host.descriptorParameters.playInfo = playInfo;
        bool show = false;
        const int16 r = ReadScriptParameters(&list, &host.record, &dataByte, &show);
        return {r, show};
    }
    // The descriptor written for `list`; valid until the next call.
    const Descriptor& Written(Parameters& list) {
        EXPECT_EQ(WriteScriptParameters(&list, &host.record), 0);
        written = host.ReadDescriptorHandle(host.descriptorParameters.descriptor);
        return written;
    }
    Descriptor written;
    static Parameters One(const Parameter& p) {
        Parameters list;
        list.parameters.push_back(p);
        return list;
    }
};

constexpr uint32 kKey = FourCharCode("Tst1");

TEST_F(ScriptTest, FloatsCarryTheirUnitAndScale) {
    Parameters percent = One(Parameter("P", kKey, 50.0, ParameterFlags::UnitPercent, 0.0, 100.0));
    const Value* v = Written(percent).Find(kKey);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->type, typeUnitFloat);
    EXPECT_EQ(v->unit, unitPercent);
    EXPECT_EQ(v->number, 50.0);

    // A percent comes back as it is whatever the unit; pixels follow a relative unit.
    Descriptor d;
    d.Set(kKey, Value::UnitFloat(unitDistance, 50.0));
    Play(percent, d);
    EXPECT_EQ(percent.parameters[0].value.GetFloat(), 50.0);

    host.resolution = 300.0;
    Parameters pixels = One(Parameter("X", kKey, 0.0, ParameterFlags::UnitPixels, 0.0, 1000.0));
    d.Set(kKey, Value::UnitFloat(unitDistance, 10.0));
    Play(pixels, d);
    EXPECT_NEAR(pixels.parameters[0].value.GetFloat(), 10.0 * 300.0 / 72.0, 1e-12);
    d.Set(kKey, Value::UnitFloat(unitPixels, 10.0));
    Play(pixels, d);
    EXPECT_EQ(pixels.parameters[0].value.GetFloat(), 10.0);
    EXPECT_EQ(Written(pixels).Find(kKey)->unit, unitPixels);

    Parameters angle = One(Parameter("A", kKey, 0.0, ParameterFlags::UnitAngle, 0.0, 360.0));
    EXPECT_EQ(Written(angle).Find(kKey)->unit, unitAngle);

    // Scaled for scripting (scale 0.01), plain double without unit bits.
    Parameters scaled = One(Parameter("S", kKey, 250.0, ParameterFlags::ScriptScaled, 0.0, 1000.0));
    v = Written(scaled).Find(kKey);
    EXPECT_EQ(v->type, typeFloat);
    EXPECT_DOUBLE_EQ(v->number, 2.5);
    d.Set(kKey, Value::Float(4.0));
    Play(scaled, d);
    EXPECT_DOUBLE_EQ(scaled.parameters[0].value.GetFloat(), 400.0);
}

TEST_F(ScriptTest, DocumentResolutionFallsBackTo72) {
    EXPECT_DOUBLE_EQ(DocumentResolution(&host.basic), 72.0);
    host.resolution = 300.0;
    EXPECT_DOUBLE_EQ(DocumentResolution(&host.basic), 300.0);
    host.absentSuites.insert(kPSActionControlSuite);
    EXPECT_DOUBLE_EQ(DocumentResolution(&host.basic), 72.0);
    EXPECT_DOUBLE_EQ(DocumentResolution(nullptr), 72.0);
    EXPECT_DOUBLE_EQ(ConvertRelativeUnit(10.0, unitPixels, 300.0), 10.0);
}

TEST_F(ScriptTest, ColorsAsWholeNumbersAreClampedAndTruncated) {
    Parameters list = One(Parameter("C", kKey, 1.2, 0.5, -0.1, ParameterFlags::ScriptColor255));
    const Value* v = Written(list).Find(kKey);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->objectClass, kClassRGBColor);
    EXPECT_EQ(v->object->Find(kKeyRed)->integer, 255);
    EXPECT_EQ(v->object->Find(kKeyGreen)->integer, 127);
    EXPECT_EQ(v->object->Find(kKeyBlue)->integer, 0);

    list.parameters[0].flags |= ParameterFlags::ScriptColor32768;
    list.parameters[0].value.SetColor(0.5, NAN, 1.0);
    v = Written(list).Find(kKey);
    EXPECT_EQ(v->object->Find(kKeyRed)->integer, 16384) << "32768 wins over 255";
    EXPECT_EQ(v->object->Find(kKeyGreen)->integer, 0) << "not a number gives 0";

    // Reading back: missing components are 0, other keys are passed over.
    Descriptor color;
    color.Set(kKeyRed, Value::Integer(16384));
    color.Set(FourCharCode("Xtra"), Value::Text("ignored"));
    color.Set(kKeyBlue, Value::Integer(32768));
    Descriptor d;
    d.Set(kKey, Value::Object(kClassRGBColor, color));
    Play(list, d);
    const auto c = list.parameters[0].value.GetColor();
    EXPECT_DOUBLE_EQ(c.red, 0.5);
    EXPECT_EQ(c.green, 0.0);
    EXPECT_DOUBLE_EQ(c.blue, 1.0);

    Parameters floats = One(Parameter("F", kKey, 0.3, 0.6, 0.9, uint32{0}));
    EXPECT_EQ(Written(floats).Find(kKey)->object->Find(kKeyGreen)->number, 0.6);
}

TEST_F(ScriptTest, AKeyNoParameterClaimsStopsTheRead) {
    Parameters list = TableList();
    Descriptor d;
    d.Set(FourCharCode("Wzak"), Value::Text("first"));
    d.Set(FourCharCode("Zzzz"), Value::Integer(1));
    d.Set(FourCharCode("Wzat"), Value::Text("never"));
    const auto [result, show] = Play(list, d, plugInDialogDisplay, 0);
    EXPECT_EQ(result, 0) << "the close's result";
    EXPECT_TRUE(show);
    EXPECT_EQ(list.parameters[kParamText].value.text, "first");
    EXPECT_EQ(list.parameters[kParamFontFacename].value.text, "Arial");
    EXPECT_EQ(host.descriptorParameters.descriptor, nullptr);
}

TEST_F(ScriptTest, ShowFollowsTheDataByteUntilADescriptorIsHandedOver) {
    Parameters list = TableList();
    for (uint8 byte : {0, 1}) {
        bool show = !byte;
        host.descriptorParameters.playInfo = plugInDialogDisplay;
        EXPECT_EQ(ReadScriptParameters(&list, &host.record, &byte, &show), 0);
        EXPECT_EQ(show, byte == 1) << "no descriptor";
    }
    // A descriptor the host cannot open: playInfo decides and nothing is consumed.
    host.FailAt(fake::Site::OpenRead);
    uint8 byte = 1;
    bool show = true;
    host.descriptorParameters.descriptor = host.NewDescriptorHandle(Descriptor{});
    host.descriptorParameters.playInfo = plugInDialogSilent;
    EXPECT_EQ(ReadScriptParameters(&list, &host.record, &byte, &show), 0);
    EXPECT_FALSE(show);
    EXPECT_NE(host.descriptorParameters.descriptor, nullptr);
}

TEST_F(ScriptTest, OtherTypesRoundTripThroughTheScriptingDescriptor) {
    Parameters list = TableList();
    auto& p = list.parameters;
    p[kParamShape].value.SetInteger(1);
    p[kParamText].value.text = "";
    p[kParamBoundingBox].value.SetBoolean(false);
    p[kParamFontWeight].value.SetInteger(-3);  // outside the accepted ranges, as given
    p[kParamXIndicatorPosition].value.SetFloat(-10.0);
    const Descriptor d = Written(list);
    EXPECT_EQ(d.Find(FourCharCode("Wzaa"))->enumValue, FourCharCode("Wzad"));
    EXPECT_EQ(d.Find(FourCharCode("Wzaa"))->enumType, FourCharCode("Wzab"));
    EXPECT_EQ(d.Find(FourCharCode("Wzak"))->text, "") << "an empty text is written too";

    Parameters back = TableList();
    Play(back, d);
    for (std::size_t i = 0; i < back.parameters.size(); ++i)
        EXPECT_EQ(back.parameters[i].value, p[i].value) << "parameter " << i;

    // An unknown enumeration code leaves the index.
    Descriptor unknown;
    unknown.Set(FourCharCode("Wzaa"), Value::Enumerated(FourCharCode("Wzab"), FourCharCode("Nope")));
    Play(back, unknown);
    EXPECT_EQ(back.parameters[kParamShape].value.GetInteger(), 1);
}

TEST_F(ScriptTest, WriteReplacesTheOldDescriptorAndReportsWhatFails) {
    Parameters list = TableList();
    host.descriptorParameters.descriptor = host.NewDescriptorHandle(Descriptor{});
    Written(list);
    EXPECT_EQ(host.LiveHandles(), 1u) << "the old descriptor was disposed";

    host.FailAt(fake::Site::OpenWrite);
    EXPECT_EQ(WriteScriptParameters(&list, &host.record), errMissingParameter);
    host.FailAt(fake::Site::NewHandle);
    EXPECT_EQ(WriteScriptParameters(&list, &host.record), memFullErr) << "the text handle";
    host.hasFault = false;

    host.record.descriptorParameters = nullptr;
    EXPECT_EQ(WriteScriptParameters(&list, &host.record), 0);
    host.record.descriptorParameters = &host.descriptorParameters;
    host.descriptorParameters.writeDescriptorProcs = nullptr;
    EXPECT_EQ(WriteScriptParameters(&list, &host.record), 0);
}

TEST_F(ScriptTest, RegistryEncodingObeysTheRegistryBits) {
    Parameters list;
    list.parameters.push_back(Parameter("R", kKey, 2.0, ParameterFlags::RegistryScaled, 0.0, 10.0));
    list.parameters.back().scale = 10.0;
    list.parameters.push_back(Parameter("C", FourCharCode("Tst2"), 0.25, 1.0, 0.0,
                                        ParameterFlags::RegistryColor32768 | ParameterFlags::ScriptColor255));
    list.parameters.push_back(Parameter("Unkeyed", 0, int32{9}, 0, 0, 10));
    bool fallback = true;
    EXPECT_EQ(StoreInDescriptorRegistry(&list, &host.basic, kTitle, &fallback), 0);
    EXPECT_FALSE(fallback);
    const Descriptor& stored = host.registry[kTitle];
    EXPECT_EQ(stored.entries.size(), 2u) << "key 0 takes no part";
    EXPECT_DOUBLE_EQ(stored.Find(kKey)->number, 20.0);
    EXPECT_EQ(stored.Find(FourCharCode("Tst2"))->object->Find(kKeyRed)->integer, 8192);

    Parameters back = list;
    back.parameters[0].value.SetFloat(0.0);
    back.parameters[1].value.SetColor(0, 0, 0);
    EXPECT_EQ(LoadFromDescriptorRegistry(&back, &host.basic, kTitle, &fallback), 0);
    EXPECT_FALSE(fallback);
    EXPECT_DOUBLE_EQ(back.parameters[0].value.GetFloat(), 2.0);
    EXPECT_DOUBLE_EQ(back.parameters[1].value.GetColor().red, 0.25);
    EXPECT_DOUBLE_EQ(back.parameters[1].value.GetColor().green, 1.0);
    // An object handed back with an error is freed (the fixture checks) and not taken.
    host.FailAt(fake::Site::DescriptorGetObject);
    back.parameters[1].value.SetColor(0, 0, 0);
    EXPECT_EQ(LoadFromDescriptorRegistry(&back, &host.basic, kTitle, &fallback), fake::kFailureCode);
    EXPECT_DOUBLE_EQ(back.parameters[1].value.GetColor().green, 0.0);
    host.hasFault = false;

    // An object of another class and an enumeration of another type are not taken.
    Parameters table = TableList();
    Descriptor odd;
    odd.Set(FourCharCode("Wzas"), Value::Object(FourCharCode("HSBC"), Descriptor{}));
    odd.Set(FourCharCode("Wzaa"), Value::Enumerated(FourCharCode("Othr"), FourCharCode("Wzad")));
    odd.Set(FourCharCode("Wzak"), Value::Text("from the registry"));
    host.registry[kTitle] = odd;
    EXPECT_NE(LoadFromDescriptorRegistry(&table, &host.basic, kTitle, &fallback), 0) << "the last read failed";
    EXPECT_FALSE(fallback) << "but the registry was usable";
    EXPECT_EQ(table.parameters[kParamFillColor].value.GetColor().red, 1.0);
    EXPECT_EQ(table.parameters[kParamShape].value.GetInteger(), 0);
    EXPECT_EQ(table.parameters[kParamText].value.text, "from the registry") << "a failed read does not stop the load";
}

TEST_F(ScriptTest, RegistryThatCannotBeUsedAsksForTheFallback) {
    Parameters list = TableList();
    bool fallback = false;
    EXPECT_EQ(LoadFromDescriptorRegistry(&list, nullptr, kTitle, &fallback), errPlugInHostInsufficient);
    EXPECT_TRUE(fallback);
    host.absentSuites = {kPSActionDescriptorSuite};
    fallback = false;
    EXPECT_NE(StoreInDescriptorRegistry(&list, &host.basic, kTitle, &fallback), 0);
    EXPECT_TRUE(fallback);
    host.absentSuites.clear();
    host.FailAt(fake::Site::RegistryRegister);
    EXPECT_NE(StoreInDescriptorRegistry(&list, &host.basic, kTitle, &fallback), 0);
    EXPECT_TRUE(fallback) << "values the registry refused are kept in the Windows registry";
}

TEST_F(ScriptTest, SinglePropertyReads) {
    PIActionDescriptor target = nullptr;
    host.resolution = 150.0;
    ASSERT_EQ(GetTargetProperty(&host.basic, kClassDocument, 0, &target, nullptr), 0);
    ASSERT_NE(target, nullptr);

    const auto* procs = [this] {
        const void* s = nullptr;
        host.basic.AcquireSuite(kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion, &s);
        return static_cast<const PSActionDescriptorProcs*>(s);
    }();
    double value = 0;
    uint32 unit = 0;
    EXPECT_EQ(GetDescriptorProperty(procs, target, kKeyResolution, &value, &unit), 0);
    EXPECT_EQ(value, 150.0);
    EXPECT_EQ(unit, unitDensity);
    EXPECT_EQ(GetDescriptorProperty(procs, target, kKeyResolution, &value, nullptr), kSPBadParameterError);
    EXPECT_EQ(GetDescriptorProperty(procs, target, kKeyResolution, nullptr, &unit), kSPBadParameterError);
    value = -1;
    EXPECT_EQ(GetDescriptorProperty(procs, target, FourCharCode("None"), &value, &unit), 0);
    EXPECT_EQ(value, -1) << "a missing key leaves out untouched";

    procs->PutString(target, kKey, "four");
    char text[5] = {};
    uint32 capacity = 4;
    EXPECT_EQ(GetDescriptorProperty(procs, target, kKey, text, &capacity), kSPBadParameterError)
        << "four characters and a zero need five bytes";
    capacity = 5;
    EXPECT_EQ(GetDescriptorProperty(procs, target, kKey, text, &capacity), 0);
    EXPECT_STREQ(text, "four");
    EXPECT_EQ(capacity, 4u);

    procs->Free(target);
    host.basic.ReleaseSuite(kPSActionDescriptorSuite, kPSActionDescriptorSuiteVersion);
    EXPECT_EQ(GetTargetProperty(nullptr, kClassDocument, kKeyResolution, &value, &unit), errPlugInHostInsufficient);
    EXPECT_EQ(GetTargetProperty(&host.basic, kClassDocument, kKeyResolution, nullptr, &unit), kSPBadParameterError);
}

}  // namespace
