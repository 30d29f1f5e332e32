// The host's ColorSpace suite, on the colour engine.
//
// Convert8 and Convert16 work in place on slots of four components (bytes, or 16-bit words
// 0..32768): a colour of k components sits in the last k of its slot and the leading ones are
// zero (RGB: 0 R G B; gray: 0 0 0 g; CMYK: C M Y K). Colour objects (Make, Stuff/Extract
// Components) hold one colour; their components are passed in order (c0 first), 8 bits each.
#pragma once
#include "hostsim/color_engine.h"
#include "hostsim/fault_plan.h"
#include "hostsim/problem_log.h"

#include "pluginapi/color_space.h"

#include <map>
#include <memory>

namespace hostsim {

class ColorSpaceSuiteHost {
public:
    ColorSpaceSuiteHost(ColorEngine& engine, FaultPlan& faults, ProblemLog& problems);
    ~ColorSpaceSuiteHost();
    ColorSpaceSuiteHost(const ColorSpaceSuiteHost&) = delete;
    ColorSpaceSuiteHost& operator=(const ColorSpaceSuiteHost&) = delete;

    // The table to register with the basic suite. Tests may null single entries.
    PSColorSpaceSuite1* table() { return &table_; }
    void RestoreTable();

    // Colour objects made and not yet deleted.
    std::size_t outstandingColors() const { return colors_.size(); }

    class ActiveScope {
    public:
        explicit ActiveScope(ColorSpaceSuiteHost& host);
        ~ActiveScope();
        ActiveScope(const ActiveScope&) = delete;
        ActiveScope& operator=(const ActiveScope&) = delete;

    private:
        ColorSpaceSuiteHost* previous_;
    };

private:
    struct Color {
        int16 space = plugIncolorServicesRGBSpace;
        double unit[4] = {0, 0, 0, 0};
    };
    static ColorSpaceSuiteHost* Enter(PixelCall call, SPErr* failure);
    Color* Find(ColorID id, const char* caller);
    // Converts slots of `Sample` (max value `full`) in place.
    template <class Sample>
    SPErr ConvertSlots(const char* caller, int16 from, int16 to, Sample* slots, int16 count, double full);

    static SPErr Make(ColorID* colorID);
    static SPErr Delete(ColorID* colorID);
    static SPErr StuffComponents(ColorID colorID, int16 colorSpace, uint8 c0, uint8 c1, uint8 c2, uint8 c3);
    static SPErr ExtractComponents(ColorID colorID, int16 colorSpace, uint8* c0, uint8* c1, uint8* c2, uint8* c3,
                                   Boolean* gamutFlag);
    static SPErr StuffXYZ(ColorID colorID, CS_XYZColor xyz);
    static SPErr ExtractXYZ(ColorID colorID, CS_XYZColor* xyz);
    static SPErr Convert8(int16 inputCSpace, int16 outputCSpace, Color8* colorArray, int16 count);
    static SPErr Convert16(int16 inputCSpace, int16 outputCSpace, Color16* colorArray, int16 count);
    static SPErr GetNativeSpace(ColorID colorID, int16* nativeSpace);
    static SPErr IsBookColor(ColorID colorID, Boolean* isBookColor);
    static SPErr ExtractColorName(ColorID colorID, ASZString* colorName);
    static SPErr PickColor(ColorID* colorID, ASZString promptString);
    static SPErr Convert8to16(uint8* inputData, uint16* outputData, int16 count);
    static SPErr Convert16to8(uint16* inputData, uint8* outputData, int16 count);
    static SPErr ConvertToMonitorRGB(int16 inputCSpace, Color8* inputData, Color8* outputData, int16 count);
    static SPErr Convert32to8(real32* inputData, uint8* outputData, int16 count);

    ColorEngine& engine_;
    FaultPlan& faults_;
    ProblemLog& problems_;
    PSColorSpaceSuite1 table_{};
    std::map<ColorID, std::unique_ptr<Color>> colors_;
};

}  // namespace hostsim
