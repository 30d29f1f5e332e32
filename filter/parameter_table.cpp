#include "filter/parameter_table.h"

using Corvantis::Host::Param::FourCharCode;
using Corvantis::Host::Param::Parameter;
using Corvantis::Host::Param::ParameterFlags;

void AppendTelloraParameters(Corvantis::Host::PS::Parameters& params) {
    constexpr std::uint32_t kNone = 0;
    constexpr std::uint32_t kPercent = ParameterFlags::UnitPercent;
    auto& list = params.parameters;

    // Body shape: 0 ellipse, 1 rounded rectangle.
    Parameter shape = Parameter::MakeEnumerated("Ellipse", FourCharCode("Wzaa"), FourCharCode("Wzab"));
    shape.AddEnumValue(FourCharCode("Wzac"), "Ellipse");
    shape.AddEnumValue(FourCharCode("Wzad"), "Rectangle");
    list.push_back(shape);

    list.push_back(Parameter("Ellipse Width", FourCharCode("Wzae"), 100.0, kPercent, 0.0, 400.0, 0.0, 15000.0));
    list.push_back(Parameter("Ellipse Height", FourCharCode("Wzaf"), 100.0, kPercent, 0.0, 400.0, 0.0, 15000.0));
    list.push_back(Parameter("Indicator Width", FourCharCode("Wzag"), 20.0, kPercent, 0.0, 250.0, 0.0, 500.0));
    list.push_back(Parameter("Edge Thickness", FourCharCode("Wzah"), 2.0, kNone, 0.0, 20.0, 0.0, 100.0));
    list.push_back(Parameter("Indicator Thickness", FourCharCode("Wzai"), 2.0, kNone, 0.0, 20.0, 0.0, 100.0));
    list.push_back(Parameter("Bubble Fill Color", FourCharCode("Wzas"), 1.0, 1.0, 1.0, kNone));
    list.push_back(Parameter("Edge Color", FourCharCode("Wzaj"), 0.0, 0.0, 0.0, kNone));
    list.push_back(Parameter("Text", FourCharCode("Wzak"), std::string("Text"), kNone));
    list.push_back(Parameter("Text Color", FourCharCode("Wzal"), 0.0, 0.0, 0.0, kNone));
    // Positions are percent of the frame.
    list.push_back(Parameter("X Position", FourCharCode("Wzam"), 1.0, kPercent, 0.0, 100.0));
    list.push_back(Parameter("Y Position", FourCharCode("Wzan"), 15.0, kPercent, 0.0, 100.0));
    list.push_back(Parameter("X Indi Position", FourCharCode("Wzap"), 1.0, kPercent, 0.0, 100.0));
    list.push_back(Parameter("Y Indi Position", FourCharCode("Wzaq"), 15.0, kPercent, 0.0, 100.0));
    list.push_back(Parameter("Bounding Box", FourCharCode("Wzar"), true, kNone));
    list.push_back(Parameter("Font Size", FourCharCode("Wzao"), 12.0, kNone, 0.0, 40.0, 0.0, 4000.0));
    list.push_back(Parameter("Font Facename", FourCharCode("Wzat"), std::string("Arial"), kNone));
    list.push_back(Parameter("Font Family", FourCharCode("Wzav"), std::int32_t{4}, kNone, 0, 100));
    list.push_back(Parameter("Font Style", FourCharCode("Wzaw"), std::int32_t{0}, kNone, 0, 100));
    list.push_back(Parameter("Font Weight", FourCharCode("Wzax"), std::int32_t{0}, kNone, 0, 100));
    list.push_back(Parameter("Font Underline", FourCharCode("Wzay"), false, kNone));
}
