// Feeds arbitrary bytes to the preset reader over the plug-in's real parameter list, then uses
// the same bytes as values for a save, load and compare of all 21 parameters.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "filter/parameter_table.h"
#include "fuzz/preset_round_trip.h"
#include "param/preset_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Corvantis::Host::PS::Parameters params;
    AppendTelloraParameters(params);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    Corvantis::Host::Param::PresetFile::Read(params, in);
    if (params.parameters.size() != kTelloraParameterCount)
        std::abort();
    for (const auto& p : params.parameters) {
        if (p.type == Corvantis::Host::Param::ParameterType::Float && std::isnan(p.value.GetFloat()))
            std::abort();
    }
    // What was read must write out and read back to the same values.
    std::ostringstream out;
    Corvantis::Host::Param::PresetFile::Write(params, out, "Tellora", "1.0");
    Corvantis::Host::PS::Parameters again;
    AppendTelloraParameters(again);
    std::istringstream back(out.str());
    Corvantis::Host::Param::PresetFile::Read(again, back);

    if (!tellora_fuzz::CheckPresetRoundTrip(data, size).empty())
        std::abort();
    return 0;
}
