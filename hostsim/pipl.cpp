#include "hostsim/pipl.h"

#include "hostsim/byte_reader.h"
#include "hostsim/four_cc.h"

namespace hostsim {

namespace {

constexpr const char* kModeBitNames[] = {"Bitmap",  "Grayscale",    "Indexed", "RGB", "CMYK",
                                         "HSL",     "HSB",          "Multichannel", "Duotone", "Lab"};

constexpr const char* kFilterCaseNames[] = {
    "flat image, no selection",
    "flat image with selection",
    "floating selection",
    "editable transparency, no selection",
    "editable transparency with selection",
    "protected transparency, no selection",
    "protected transparency with selection",
};

// Reads the known property `key` from its data; the reader covers exactly the property's bytes.
void ReadKnown(Pipl& pipl, uint32 key, ByteReader& in) {
    using namespace pipl_key;
    switch (key) {
        case kKind: pipl.kind = in.U32("kind code"); break;
        case kName: pipl.name = in.PascalString("menu name"); break;
        case kCategory: pipl.category = in.PascalString("category"); break;
        case kVersion: pipl.interfaceVersion = in.U32("interface version"); break;
        case kEntryPoint64: pipl.entryPoint = in.CString("entry point name"); break;
        case kModes: {
            if (in.remaining() == 0) in.Fail("mode set", "is empty");
            const std::size_t n = in.remaining();
            const uint8* p = in.Take(n, "mode set");
            pipl.modes = std::vector<uint8>(p, p + n);
            break;
        }
        case kTerminology: {
            PiplTerminologyLink link;
            link.version = in.I32("terminology version");
            link.classId = in.U32("scripting class");
            link.eventId = in.U32("scripting event");
            link.terminologyId = in.I16("terminology resource id");
            link.scope = in.CString("scope");
            pipl.terminology = link;
            break;
        }
        case kEnable: pipl.enableExpression = in.CString("enable expression"); break;
        case kMaxSize32: {
            PiplMaxSize size;
            size.vertical = in.I32("maximum height");
            size.horizontal = in.I32("maximum width");
            pipl.maxSize = size;
            break;
        }
        case kFilterLayer: {
            const uint8* p = in.Take(4, "filter layer flags");
            pipl.filterLayer = std::vector<uint8>(p, p + 4);
            break;
        }
        case kFilterCases: {
            if (in.remaining() == 0 || in.remaining() % 4 != 0) {
                in.Fail("filter case info", "length " + std::to_string(in.remaining()) + " is not a positive multiple of 4");
            }
            std::vector<PiplFilterCase> cases;
            while (!in.AtEnd()) {
                PiplFilterCase entry;
                entry.inputHandling = int8(in.U8("input handling"));
                entry.outputHandling = int8(in.U8("output handling"));
                entry.flags1 = in.U8("flags");
                entry.flags2 = in.U8("reserved flags");
                cases.push_back(entry);
            }
            pipl.filterCases = std::move(cases);
            break;
        }
        default: break;
    }
}

bool IsKnown(uint32 key) {
    using namespace pipl_key;
    switch (key) {
        case kKind: case kName: case kCategory: case kVersion: case kEntryPoint64: case kModes:
        case kTerminology: case kEnable: case kMaxSize32: case kFilterLayer: case kFilterCases:
            return true;
        default:
            return false;
    }
}

}  // namespace

Pipl Pipl::Parse(const uint8* data, std::size_t size) {
    ByteReader in(data, size, "PiPL");
    Pipl pipl;
    pipl.version = in.I16("resource version");
    if (pipl.version != 1) in.Fail("resource version", "is " + std::to_string(pipl.version) + ", expected 1");
    pipl.listVersion = in.I32("list version");
    if (pipl.listVersion != 0) in.Fail("list version", "is " + std::to_string(pipl.listVersion) + ", expected 0");
    const int32 count = in.I32("property count");
    // Each property has at least a 16-byte header: a count the data cannot hold is garbage.
    if (count < 0 || static_cast<std::size_t>(count) > in.remaining() / 16) {
        in.Fail("property count", std::to_string(count) + " does not fit in " + std::to_string(in.remaining()) + " bytes");
    }

    for (int32 i = 0; i < count; ++i) {
        const std::string where = "property " + std::to_string(i + 1);
        const uint32 vendor = in.U32("property vendor");
        const uint32 key = in.U32("property key");
        const int32 id = in.I32("property id");
        const int32 length = in.I32("property length");
        if (length < 0 || static_cast<std::size_t>(length) > in.remaining()) {
            in.Fail("property length", where + " (" + QuotedFourCC(key) + ") claims " + std::to_string(length) +
                                           " bytes, " + std::to_string(in.remaining()) + " left");
        }
        const uint8* body = in.Take(static_cast<std::size_t>(length), "property data");
        // Property data is padded to a multiple of 4; skip padding not counted in the length.
        const std::size_t pad = (4 - length % 4) % 4;
        if (pad && in.remaining() >= pad) in.Skip(pad, "property padding");

        if (vendor == kPiplVendor && IsKnown(key)) {
            ByteReader property(body, static_cast<std::size_t>(length),
                                "PiPL " + where + " (" + QuotedFourCC(key) + ")");
            ReadKnown(pipl, key, property);
        } else {
            pipl.others.push_back(PiplProperty{vendor, key, id, std::vector<uint8>(body, body + length)});
        }
    }
    return pipl;
}

bool Pipl::SupportsMode(int index) const {
    if (!modes || index < 0 || static_cast<std::size_t>(index / 8) >= modes->size()) return false;
    return ((*modes)[index / 8] >> (7 - index % 8)) & 1;
}

std::vector<std::string> Pipl::ModeNames() const {
    std::vector<std::string> names;
    const int bits = modes ? int(modes->size() * 8) : 0;
    for (int i = 0; i < bits; ++i) {
        if (!SupportsMode(i)) continue;
        const std::string name = ModeBitName(i);
        names.push_back(name.empty() ? "mode bit " + std::to_string(i) : name);
    }
    return names;
}

std::string Pipl::ModeBitName(int index) {
    constexpr int known = int(sizeof kModeBitNames / sizeof kModeBitNames[0]);
    return index >= 0 && index < known ? kModeBitNames[index] : "";
}

std::string Pipl::FilterCaseName(int index) {
    constexpr int known = int(sizeof kFilterCaseNames / sizeof kFilterCaseNames[0]);
    return index >= 0 && index < known ? kFilterCaseNames[index] : "";
}

}  // namespace hostsim
