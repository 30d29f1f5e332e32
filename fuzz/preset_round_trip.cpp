#include "fuzz/preset_round_trip.h"

#include <cmath>
#include <cstring>
#include <sstream>

#include "filter/parameter_table.h"
#include "param/c_numbers.h"
#include "param/preset_file.h"

namespace tellora_fuzz {
namespace {

using Corvantis::Host::Param::CNumbers::ToDouble;
using Corvantis::Host::Param::Parameter;
using Corvantis::Host::Param::ParameterFlags;
using Corvantis::Host::Param::ParameterType;
using Corvantis::Host::Param::PresetFile;
using Corvantis::Host::Param::Rgb;

// Hands out the input's bytes; zeros once they run out.
class ByteSource {
public:
    ByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint32_t Word() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
        return v;
    }
    double Number() {
        std::uint64_t bits = (std::uint64_t(Word()) << 32) | Word();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        // Stored values are finite: the readers keep the old value for anything else.
        return std::isfinite(v) ? v : double(std::int32_t(bits));
    }
    // A text whose length the next two bytes give (times a byte for long ones), of input bytes.
    std::string Text() {
        std::size_t length = Byte();
        if (length == 255) length = std::size_t(Byte()) * 1024 + Byte();
        std::string text;
        for (std::size_t i = 0; i < length && pos_ < size_; ++i) text += char(Byte());
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// What the reader gives for a number the writer wrote.
double AsWritten(double v) { return ToDouble(PresetFile::FormatFloat(v).c_str()); }

bool Same(double a, double b) { return a == b || (a == 0.0 && b == 0.0); }

std::string Compare(const Parameter& saved, const Parameter& loaded) {
    const std::string where = saved.name + ": ";
    switch (saved.type) {
        case ParameterType::Integer:
        case ParameterType::Enumerated:
            if (saved.value.GetInteger() != loaded.value.GetInteger())
                return where + std::to_string(saved.value.GetInteger()) + " came back as " +
                       std::to_string(loaded.value.GetInteger());
            return {};
        case ParameterType::Boolean:
            if (saved.value.GetBoolean() != loaded.value.GetBoolean()) return where + "the boolean changed";
            return {};
        case ParameterType::Float:
            if (!Same(AsWritten(saved.value.GetFloat()), loaded.value.GetFloat()))
                return where + PresetFile::FormatFloat(saved.value.GetFloat()) + " came back as " +
                       PresetFile::FormatFloat(loaded.value.GetFloat());
            return {};
        case ParameterType::Text:
            if (saved.value.text != loaded.value.text)
                return where + "a text of " + std::to_string(saved.value.text.size()) + " bytes came back as one of " +
                       std::to_string(loaded.value.text.size());
            return {};
        case ParameterType::Color: {
            const Rgb a = saved.value.GetColor(), b = loaded.value.GetColor();
            if (!Same(AsWritten(a.red), b.red) || !Same(AsWritten(a.green), b.green) ||
                !Same(AsWritten(a.blue), b.blue))
                return where + "the colour changed";
            return {};
        }
    }
    return {};
}

}  // namespace

std::string CheckPresetRoundTrip(const std::uint8_t* data, std::size_t size) {
    ByteSource bytes(data, size);
    Corvantis::Host::PS::Parameters saved;
    AppendTelloraParameters(saved);
    for (Parameter& p : saved.parameters) {
        switch (p.type) {
            case ParameterType::Integer:
            case ParameterType::Enumerated: p.value.SetInteger(std::int32_t(bytes.Word())); break;
            case ParameterType::Boolean: p.value.SetBoolean(bytes.Byte() & 1); break;
            case ParameterType::Float: p.value.SetFloat(bytes.Number()); break;
            case ParameterType::Text: p.value.text = bytes.Text(); break;
            case ParameterType::Color: {
                const double r = bytes.Number(), g = bytes.Number(), b = bytes.Number();
                p.value.SetColor(r, g, b);
                break;
            }
        }
        // A list only ever holds values the reader would take: finite numbers, indices of the list.
        p.KeepUsable(p.defaultValue);
    }
    if (!PresetFile::FitsReader(saved, "Tellora", "1.0")) return {};  // not saved at all
    std::ostringstream out;
    PresetFile::Write(saved, out, "Tellora", "1.0");

    Corvantis::Host::PS::Parameters loaded;
    AppendTelloraParameters(loaded);
    std::istringstream in(out.str());
    PresetFile::Read(loaded, in);
    if (loaded.parameters.size() != saved.parameters.size()) return "the list changed its length";
    for (std::size_t i = 0; i < saved.parameters.size(); ++i) {
        const Parameter& s = saved.parameters[i];
        // A parameter left out of presets keeps the value the fresh list has.
        if (s.flags & ParameterFlags::NoPreset) continue;
        const std::string difference = Compare(s, loaded.parameters[i]);
        if (!difference.empty()) return difference;
    }
    return {};
}

}  // namespace tellora_fuzz
