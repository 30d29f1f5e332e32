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

class Parameters;

class PresetFile {
public:
    // Longest key or value the reader takes; a longer one ends the read.
    static constexpr std::size_t kMaxField = 255;

    static void Write(const Parameters& params, std::ostream& out, const std::string& pluginName,
                      const std::string& version);
    // Sets the values of the parameters the text names, as they are (no clamping).
    static void Read(Parameters& params, std::istream& in);

    // Value text of a double: default stream notation, six significant digits.
    static std::string FormatFloat(double value);
    static std::string QuoteText(const std::string& text);
    // The text of a value that begins with a double quote; empty otherwise.
    static std::string UnquoteText(const std::string& value);
};

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
