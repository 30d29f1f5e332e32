#include <cstring>

#include <gtest/gtest.h>

#include "param/parameter.h"

using namespace Corvantis::Host::Param;

namespace {

const std::uint32_t kKey = FourCharCode("Test");

TEST(ParameterValue, PayloadLayoutIsTheStoredFormat) {
    ParameterValue v;
    v.SetColor(0.25, 0.5, 1.0);
    double raw[3];
    std::memcpy(raw, v.payload, sizeof raw);
    EXPECT_TRUE(raw[0] == 0.25 && raw[1] == 0.5 && raw[2] == 1.0);
    v.SetInteger(-7);
    std::int32_t rawInt;
    std::memcpy(&rawInt, v.payload, sizeof rawInt);
    EXPECT_EQ(rawInt, -7);
    // A boolean byte from elsewhere (a host handle) reads as true when not 0.
    v.payload[0] = 7;
    EXPECT_TRUE(v.GetBoolean());
}

TEST(Parameter, StringLiteralMakesATextRecord) {
    // Not the Boolean constructor, which a pointer would otherwise choose.
    const Parameter t("T", kKey, "Arial", 0);
    EXPECT_EQ(t.type, ParameterType::Text);
    EXPECT_EQ(t.acceptedMax.text, "Arial");
}

TEST(Parameter, ScriptScaledSetsScaleForEveryType) {
    const std::uint32_t scaled = ParameterFlags::ScriptScaled;
    EXPECT_EQ(Parameter("F", kKey, 1.0, scaled, 0.0, 2.0).scale, 0.01);
    EXPECT_EQ(Parameter("B", kKey, true, scaled).scale, 0.01);
    EXPECT_EQ(Parameter("T", kKey, "x", scaled).scale, 0.01);
    EXPECT_EQ(Parameter("C", kKey, 1.0, 1.0, 1.0, scaled).scale, 0.01);
    EXPECT_EQ(Parameter("I", kKey, std::int32_t{1}, scaled, 0, 2).scale, 0.01);
    EXPECT_EQ(Parameter("F", kKey, 1.0, ParameterFlags::RegistryScaled, 0.0, 2.0).scale, 1.0);
}

TEST(Parameter, EnumerationKeys) {
    Parameter e = Parameter::MakeEnumerated("E", kKey, FourCharCode("Enum"));
    EXPECT_EQ(e.GetEnumValue(), 0u) << "empty key list";
    e.AddEnumValue(FourCharCode("aaaa"), "A");
    e.AddEnumValue(FourCharCode("bbbb"), "B");
    e.AddEnumValue(FourCharCode("bbbb"), "B again");
    EXPECT_EQ(e.acceptedMax.GetInteger(), 2);
    EXPECT_EQ(e.sliderMax.GetInteger(), 2);

    e.SetEnumValue(FourCharCode("bbbb"));
    EXPECT_EQ(e.value.GetInteger(), 1) << "first position of a code listed twice";
    EXPECT_EQ(e.GetEnumValue(), FourCharCode("bbbb"));
    e.SetEnumValue(FourCharCode("zzzz"));
    EXPECT_EQ(e.value.GetInteger(), 1) << "unknown code leaves the index";
    for (std::int32_t outside : {-1, 3}) {
        e.value.SetInteger(outside);
        EXPECT_EQ(e.GetEnumValue(), 0u) << outside;
    }
}

}  // namespace
