// Scripting a filter by name: the module's terminology gives each parameter's scripting name,
// key and type, from which `--set name=value` settings become descriptor values.
#pragma once
#include "hostsim/descriptor.h"
#include "hostsim/pipl.h"
#include "hostsim/terminology.h"

#include <string>
#include <utility>
#include <vector>

namespace hostsim {

using Settings = std::vector<std::pair<std::string, std::string>>;

// The event the property list links to, else the terminology's first event; null when the
// terminology has none.
const TerminologyEvent* ScriptingEvent(const Terminology& terminology, const Pipl& pipl);

// The event's parameter by its scripting name (exact, else ignoring case when that is
// unambiguous) or by its key written as four characters; null when none matches.
const TerminologyParameter* FindScriptParameter(const TerminologyEvent& event, const std::string& name);

// The value a setting's text stands for, typed by the parameter:
//   doub: a number, optionally with a unit: 50% ('#Prc'), 10px ('#Pxl'), 45deg ('#Ang'),
//         12pt ('#Rlt', points that the plug-in scales by the document resolution);
//   long: a whole number; bool: true/false, yes/no, on/off, 1/0; TEXT: the text as it is;
//   an enumeration: an enumerator's name (any case), its code, or its position from 0;
//   'Clr ': R,G,B as whole numbers 0-255, as fractions 0-1 when written with a decimal point,
//         or #RRGGBB; becomes an 'RGBC' object of floats 0-1.
// Throws UsageError naming the parameter and what is wrong.
DescriptorValue ParseSettingValue(const Terminology& terminology, const TerminologyParameter& parameter,
                                  const std::string& text);

// Puts every setting into `descriptor` under its parameter's key (later settings win).
// Throws UsageError for an unknown name (listing the names there are) or a bad value.
void ApplySettings(Descriptor& descriptor, const Terminology& terminology, const TerminologyEvent& event,
                   const Settings& settings);

// "fontSize", or "ellipseChoice = Rectangle" for enumerations: a comment for a recorded item.
std::string DescribeItem(const Terminology& terminology, const TerminologyEvent& event, DescriptorKeyID key,
                         const DescriptorValue& value);

}  // namespace hostsim
