// The plug-in property list: what the host learns about a module before calling it.
#pragma once
#include "pluginapi/pi_types.h"

#include <optional>
#include <string>
#include <vector>

namespace hostsim {

// Property keys the host understands.
namespace pipl_key {
constexpr uint32 kKind = FourCC("kind");
constexpr uint32 kName = FourCC("name");
constexpr uint32 kCategory = FourCC("catg");
constexpr uint32 kVersion = FourCC("vers");
constexpr uint32 kEntryPoint64 = FourCC("8664");
constexpr uint32 kModes = FourCC("mode");
constexpr uint32 kTerminology = FourCC("hstm");
constexpr uint32 kEnable = FourCC("enbl");
constexpr uint32 kMaxSize32 = FourCC("ms32");
constexpr uint32 kFilterLayer = FourCC("flly");
constexpr uint32 kFilterCases = FourCC("fici");
}  // namespace pipl_key

constexpr uint32 kPiplVendor = FourCC("8BIM");
constexpr uint32 kFilterKind = FourCC("8BFM");

// A property kept as it was found: unknown keys, or a known key from another vendor.
struct PiplProperty {
    uint32 vendor = 0;
    uint32 key = 0;
    int32 id = 0;
    std::vector<uint8> data;
};

// The 'hstm' property: the scripting event and the terminology resource that describes it.
struct PiplTerminologyLink {
    int32 version = 0;
    uint32 classId = 0;
    uint32 eventId = 0;
    int16 terminologyId = 0;
    std::string scope;
};

// One entry of 'fici', for one filter case.
struct PiplFilterCase {
    int8 inputHandling = 0;
    int8 outputHandling = 0;
    uint8 flags1 = 0;
    uint8 flags2 = 0;
};

struct PiplMaxSize {
    int32 vertical = 0;
    int32 horizontal = 0;
};

// The parsed property list. Each known property is present only when the list holds it.
struct Pipl {
    // Parses the resource bytes; throws HostError naming the property and offset when a header,
    // a length or a value does not fit.
    static Pipl Parse(const uint8* data, std::size_t size);
    static Pipl Parse(const std::vector<uint8>& bytes) { return Parse(bytes.data(), bytes.size()); }

    int16 version = 0;
    int32 listVersion = 0;

    std::optional<uint32> kind;
    std::optional<std::string> name;
    std::optional<std::string> category;
    std::optional<uint32> interfaceVersion;  // major in the high 16 bits
    std::optional<std::string> entryPoint;
    std::optional<std::vector<uint8>> modes;  // bit set, most significant bit of the first byte first
    std::optional<PiplTerminologyLink> terminology;
    std::optional<std::string> enableExpression;
    std::optional<PiplMaxSize> maxSize;
    std::optional<std::vector<uint8>> filterLayer;  // flag bytes as stored
    std::optional<std::vector<PiplFilterCase>> filterCases;
    std::vector<PiplProperty> others;

    int VersionMajor() const { return interfaceVersion ? int(*interfaceVersion >> 16) : 0; }
    int VersionMinor() const { return interfaceVersion ? int(*interfaceVersion & 0xFFFFu) : 0; }
    // Whether bit `index` of the mode set is on (index 0 = Bitmap, 1 = Grayscale, ...).
    bool SupportsMode(int index) const;
    // Names of the supported modes, in bit order; bits without a name as "mode bit N".
    std::vector<std::string> ModeNames() const;
    // Name of mode bit `index` ("Bitmap", "Grayscale", ...), or empty past the known ones.
    static std::string ModeBitName(int index);
    // Name of filter case `index` (0-based, in the order of the 'fici' entries), or empty.
    static std::string FilterCaseName(int index);
};

}  // namespace hostsim
