// The readable text form of descriptors: what `filterhost run --record` writes and
// `--script` reads, and how the descriptor registry keeps its persistent entries.
//
//   # a comment runs to the end of the line
//   'Wzao' float 24
//   'Wzae' unitFloat '#Prc' 150
//   'Wzak' text "Hello \"you\"\n"         escapes: \\ \" \n \r \t \xHH; other bytes as they are
//   'Wzaa' enum 'Wzab' 'Wzad'
//   'Wzar' boolean true
//   'Wzav' integer 4
//   'Wzas' object 'RGBC' {
//       'Rd  ' float 1
//   }
//   'Lst ' list [
//       integer 1
//       text "two"
//   ]
//   'null' reference [ property 'Prpr' 'Rslt' enum 'Dcmn' 'Ordn' 'Trgt' ]
//
// Value kinds: integer, float, unitFloat, boolean, text, enum, object, globalObject, class,
// globalClass, alias, list, reference. Reference items: class C, property C KEY,
// enum C TYPE VALUE, name C "TEXT", index C N, identifier C N, offset C N.
// A code is four characters in single quotes, or 0xHHHHHHHH.
#pragma once
#include "hostsim/descriptor.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace hostsim {

// A comment for one top-level item (empty for none), e.g. the parameter's scripting name.
using DescriptorAnnotator = std::function<std::string(DescriptorKeyID key, const DescriptorValue& value)>;

std::string FormatDescriptor(const Descriptor& descriptor, const DescriptorAnnotator& annotate = {});
// Throws HostError "<origin>:<line>: <what is wrong>".
Descriptor ParseDescriptor(const std::string& text, const std::string& origin);

// Named descriptors, one `entry "NAME" { ... }` each.
using NamedDescriptors = std::vector<std::pair<std::string, Descriptor>>;
std::string FormatNamedDescriptors(const NamedDescriptors& entries);
NamedDescriptors ParseNamedDescriptors(const std::string& text, const std::string& origin);

// A code as the text form writes it: '....' when printable, else 0xHHHHHHHH.
std::string CodeText(uint32 code);

}  // namespace hostsim
