#include "param/preset_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>
#ifdef _WIN32
#include <filesystem>
#endif

#include "files/atomic_file.h"
#include "param/c_numbers.h"
#include "param/parameters.h"
#include "param/wide_path.h"

namespace {

// Preset paths are UTF-8; on Windows a stream opens them through the wide API.
#ifdef _WIN32
std::filesystem::path ToNativePath(const std::string& utf8) { return std::filesystem::u8path(utf8); }
#else
const std::string& ToNativePath(const std::string& utf8) { return utf8; }
#endif

}  // namespace

namespace Corvantis {
namespace Host {
namespace Param {

namespace {

const char kLineEnd[] = "\r\n";

bool IsTrimSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

void TrimRight(std::string& s) {
    std::size_t end = s.size();
    while (end > 0 && IsTrimSpace(s[end - 1]))
        --end;
    s.resize(end);
}

void TrimLeft(std::string& s) {
    std::size_t start = 0;
    while (start < s.size() && IsTrimSpace(s[start]))
        ++start;
    s.erase(0, start);
}

enum class FieldEnd { Delimiter, EndOfFile, TooLong };

// Characters up to `delim` (consumed, not kept), at most kMaxField of them.
FieldEnd ReadField(std::streambuf& in, char delim, std::string& out) {
    out.clear();
    for (;;) {
        const int c = in.sbumpc();
        if (c == std::char_traits<char>::eof())
            return FieldEnd::EndOfFile;
        if (static_cast<char>(c) == delim)
            return FieldEnd::Delimiter;
        if (out.size() == PresetFile::kMaxField)
            return FieldEnd::TooLong;
        out += static_cast<char>(c);
    }
}

// One "key: value" pair. A key runs on across line breaks up to its colon. A pair
// counts only when its key ended at a colon and neither field was over-long;
// `more` tells whether anything may follow it.
bool ReadPair(std::streambuf& in, std::string& key, std::string& value, bool& more) {
    more = false;
    if (ReadField(in, ':', key) != FieldEnd::Delimiter)
        return false;
    const FieldEnd end = ReadField(in, '\n', value);
    if (end == FieldEnd::TooLong)
        return false;
    more = end == FieldEnd::Delimiter;
    TrimRight(key);
    TrimRight(value);
    TrimLeft(value);
    return true;
}

void ApplyValue(Parameter& p, const std::string& value) {
    switch (p.type) {
    case ParameterType::Integer:
    case ParameterType::Enumerated:
        p.value.SetInteger(CNumbers::ToInt32(value.c_str()));
        break;
    case ParameterType::Float:
        p.value.SetFloat(CNumbers::ToDouble(value.c_str()));
        break;
    case ParameterType::Boolean:
        p.value.SetBoolean(value == "true");
        break;
    case ParameterType::Text:
        p.value.text = PresetFile::UnquoteText(value);
        break;
    case ParameterType::Color: {
        double rgb[3];
        const Rgb old = p.value.GetColor();
        rgb[0] = old.red;
        rgb[1] = old.green;
        rgb[2] = old.blue;
        std::size_t piece = 0, pos = 0;
        while (piece < 3 && pos < value.size()) {
            while (pos < value.size() && value[pos] == ' ')
                ++pos;
            if (pos >= value.size())
                break;
            const std::size_t end = std::min(value.find(' ', pos), value.size());
            const double v = CNumbers::ToDouble(value.substr(pos, end - pos).c_str());
            if (std::isfinite(v))
                rgb[piece] = v;
            ++piece;
            pos = end;
        }
        p.value.SetColor(rgb[0], rgb[1], rgb[2]);
        break;
    }
    }
}

}  // namespace

std::string PresetFile::FormatFloat(double value) {
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << value;
    return os.str();
}

std::string PresetFile::QuoteText(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string PresetFile::UnquoteText(const std::string& value) {
    std::string text;
    if (value.empty() || value[0] != '"')
        return text;
    for (std::size_t i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '"')
            break;
        if (c == '\\') {
            if (++i >= value.size())
                break;
            const char next = value[i];
            text += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            text += c;
        }
    }
    return text;
}

bool PresetFile::ValueText(const Parameter& p, std::string& text) {
    switch (p.type) {
    case ParameterType::Integer:
    case ParameterType::Enumerated:
        text = std::to_string(p.value.GetInteger());
        return true;
    case ParameterType::Float:
        text = FormatFloat(p.value.GetFloat());
        return true;
    case ParameterType::Boolean:
        text = p.value.GetBoolean() ? "true" : "false";
        return true;
    case ParameterType::Text:
        text = QuoteText(p.value.text);
        return true;
    case ParameterType::Color: {
        const Rgb c = p.value.GetColor();
        text = FormatFloat(c.red) + " " + FormatFloat(c.green) + " " + FormatFloat(c.blue) + " ";
        return true;
    }
    }
    return false;
}

void PresetFile::Write(const Parameters& params, std::ostream& out, const std::string& pluginName,
                       const std::string& version) {
    out << "Plugin Name: " << pluginName << kLineEnd;
    out << "Version Number: " << version << kLineEnd;
    std::string text;
    for (const Parameter& p : params.parameters) {
        if ((p.flags & ParameterFlags::NoPreset) || !ValueText(p, text))
            continue;
        out << p.name << ": " << text << kLineEnd;
    }
}

bool PresetFile::FitsReader(const Parameters& params, const std::string& pluginName, const std::string& version) {
    // A value field runs from the colon to the line feed: the blank before the value and the
    // carriage return after it count as well. A key field is the name alone.
    const auto fits = [](std::size_t valueLength) { return valueLength + 2 <= kMaxField; };
    if (!fits(pluginName.size()) || !fits(version.size()))
        return false;
    std::string text;
    for (const Parameter& p : params.parameters) {
        if ((p.flags & ParameterFlags::NoPreset) || !ValueText(p, text))
            continue;
        if (p.name.size() > kMaxField || !fits(text.size()))
            return false;
    }
    return true;
}

void PresetFile::Read(Parameters& params, std::istream& in) {
    std::streambuf* buf = in.rdbuf();
    if (!buf)
        return;
    std::string key, value;
    bool more = false;
    try {
        // The first pair is the "Plugin Name" line, whatever it holds.
        if (!ReadPair(*buf, key, value, more) || !more)
            return;
        while (ReadPair(*buf, key, value, more)) {
            for (Parameter& p : params.parameters) {
                if (p.name != key)
                    continue;
                const ParameterValue previous = p.value;
                ApplyValue(p, value);
                p.KeepUsable(previous);
            }
            if (!more)
                break;
        }
    } catch (const std::ios_base::failure&) {
        // A read error (a folder, a failing disk) ends the read like the end of
        // the file; what was applied before it stays.
    }
}

bool Parameters::SavePreset(const std::wstring& path, const std::string& pluginName, const std::string& version) {
    const std::string target = NarrowPath(path);
    if (target.empty() || target.find('\0') != std::string::npos)
        return false;
    // A preset that could not be read back whole is not saved: loading it would lose values.
    if (!PresetFile::FitsReader(*this, pluginName, version))
        return false;
    std::ostringstream text;
    PresetFile::Write(*this, text, pluginName, version);
    const std::string bytes = text.str();

    // Written beside the target and renamed over it, so that a failed save never leaves a
    // truncated preset in place of a good one.
    return tellora::SaveFileAtomically(pluginName, target, bytes) != tellora::SaveOutcome::Failed;
}

void Parameters::LoadPreset(const std::wstring& path) {
    const std::string source = NarrowPath(path);
    if (source.empty() || source.find('\0') != std::string::npos)
        return;
    std::ifstream in(ToNativePath(source), std::ios::binary);
    if (!in.is_open())
        return;
    PresetFile::Read(*this, in);
}

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
