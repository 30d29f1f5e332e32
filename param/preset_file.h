// The preset text format: a "Plugin Name" and a "Version Number" line, then one
// "name: value" line per parameter, each line ending in CR LF.
//
// Texts are written in double quotes with a backslash before every backslash
// and double quote. A line feed inside a text is written as \n and a carriage
// return as \r, so that such a text stays on its line and reads back whole;
// texts without line breaks are written exactly as before. On reading, \n and
// \r give the line breaks back and any other backslash takes the next
// character literally.
#pragma once

#include <iosfwd>
#include <string>

namespace Corvantis {
namespace Host {
namespace Param {

class Parameter;
class Parameters;

class PresetFile {
public:
    // Longest key or value the reader takes (the line end included); a longer one ends the
    // read. As large as the longest text the other stores keep, yet bounded.
    static constexpr std::size_t kMaxField = 16u * 1024u * 1024u;

    static void Write(const Parameters& params, std::ostream& out, const std::string& pluginName,
                      const std::string& version);
    // True when every line Write would produce reads back whole: no name or value text is
    // longer than the reader takes. SavePreset writes nothing otherwise.
    static bool FitsReader(const Parameters& params, const std::string& pluginName, const std::string& version);
    // Sets the values of the parameters the text names, as they are (no clamping).
    static void Read(Parameters& params, std::istream& in);

    // Value text of a double: default stream notation, six significant digits.
    static std::string FormatFloat(double value);
    static std::string QuoteText(const std::string& text);
    // The value text of a parameter's current value; false for a type that gets no line.
    static bool ValueText(const Parameter& p, std::string& text);
    // The text of a value that begins with a double quote; empty otherwise.
    static std::string UnquoteText(const std::string& value);
};

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
