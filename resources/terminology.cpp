// The scripting terminology (type "AETE", id 16000, US English): one suite with
// one event whose 21 keyed parameters match the parameter table, and the shape
// enumeration. Windows form: 16-bit numbers little-endian, four-character codes
// as little-endian 32-bit numbers (characters in reverse order), strings with one
// length byte in front, no padding. Kept in its own section so that a host can
// read it from the module file without running any code.
#include "resources/terminology.h"
#include "resources/resource_section.h"

#define U16(v) static_cast<unsigned char>((v) & 0xFF), static_cast<unsigned char>(((v) >> 8) & 0xFF)
#define CODE(a, b, c, d) d, c, b, a

TELLORA_RESOURCE_SECTION(".rsrc.AETE.16000") const unsigned char kTelloraTerminology[] = {
    U16(1),  // one terminology follows
    1, 0,    // version 1.0
    U16(0),  // language
    U16(0),  // script

    U16(1),  // suites
    9, 'C', 'o', 'r', 'v', 'a', 'n', 't', 'i', 's',
    17, 'C', 'o', 'r', 'v', 'a', 'n', 't', 'i', 's', ' ', 'T', 'e', 'l', 'l', 'o', 'r', 'a',
    CODE('W', 'z', 'r', '1'),
    U16(1),  // level
    U16(1),  // version

    U16(1),  // events
    7, 'T', 'e', 'l', 'l', 'o', 'r', 'a',
    7, 'T', 'e', 'l', 'l', 'o', 'r', 'a',
    CODE('W', 'z', 'r', '1'),  // event class
    CODE('W', 'z', 'r', '1'),  // event id
    // reply: none
    CODE('n', 'u', 'l', 'l'), 0 /* no description */, U16(0x0000),
    // direct parameter: the image reference
    CODE('#', 'I', 'm', 'R'), 0 /* no description */, U16(0xB000),

    U16(21),  // parameters: name, key, type, description, flags
    // 0 ellipseChoice
    13, 'e', 'l', 'l', 'i', 'p', 's', 'e', 'C', 'h', 'o', 'i', 'c', 'e',
    CODE('W', 'z', 'a', 'a'), CODE('W', 'z', 'a', 'b'),
    14, 'e', 'l', 'l', 'i', 'p', 's', 'e', ' ', 'C', 'h', 'o', 'i', 'c', 'e',
    U16(0xA000),
    // 1 ellipseWidth
    12, 'e', 'l', 'l', 'i', 'p', 's', 'e', 'W', 'i', 'd', 't', 'h',
    CODE('W', 'z', 'a', 'e'), CODE('d', 'o', 'u', 'b'),
    13, 'e', 'l', 'l', 'i', 'p', 's', 'e', ' ', 'w', 'i', 'd', 't', 'h',
    U16(0x8000),
    // 2 ellipseHeight
    13, 'e', 'l', 'l', 'i', 'p', 's', 'e', 'H', 'e', 'i', 'g', 'h', 't',
    CODE('W', 'z', 'a', 'f'), CODE('d', 'o', 'u', 'b'),
    14, 'e', 'l', 'l', 'i', 'p', 's', 'e', ' ', 'h', 'e', 'i', 'g', 'h', 't',
    U16(0x8000),
    // 3 indicatorWidth
    14, 'i', 'n', 'd', 'i', 'c', 'a', 't', 'o', 'r', 'W', 'i', 'd', 't', 'h',
    CODE('W', 'z', 'a', 'g'), CODE('d', 'o', 'u', 'b'),
    15, 'i', 'n', 'd', 'i', 'c', 'a', 't', 'o', 'r', ' ', 'w', 'i', 'd', 't', 'h',
    U16(0x8000),
    // 4 edgeThickness
    13, 'e', 'd', 'g', 'e', 'T', 'h', 'i', 'c', 'k', 'n', 'e', 's', 's',
    CODE('W', 'z', 'a', 'h'), CODE('d', 'o', 'u', 'b'),
    14, 'e', 'd', 'g', 'e', ' ', 't', 'h', 'i', 'c', 'k', 'n', 'e', 's', 's',
    U16(0x8000),
    // 5 indicatorThickness
    18, 'i', 'n', 'd', 'i', 'c', 'a', 't', 'o', 'r', 'T', 'h', 'i', 'c', 'k', 'n', 'e', 's', 's',
    CODE('W', 'z', 'a', 'i'), CODE('d', 'o', 'u', 'b'),
    19, 'i', 'n', 'd', 'i', 'c', 'a', 't', 'o', 'r', ' ', 't', 'h', 'i', 'c', 'k', 'n', 'e', 's', 's',
    U16(0x8000),
    // 6 bubblefillColor
    15, 'b', 'u', 'b', 'b', 'l', 'e', 'f', 'i', 'l', 'l', 'C', 'o', 'l', 'o', 'r',
    CODE('W', 'z', 'a', 's'), CODE('C', 'l', 'r', ' '),
    16, 'b', 'u', 'b', 'b', 'l', 'e', 'f', 'i', 'l', 'l', ' ', 'c', 'o', 'l', 'o', 'r',
    U16(0x8000),
    // 7 edgeColor
    9, 'e', 'd', 'g', 'e', 'C', 'o', 'l', 'o', 'r',
    CODE('W', 'z', 'a', 'j'), CODE('C', 'l', 'r', ' '),
    10, 'e', 'd', 'g', 'e', ' ', 'c', 'o', 'l', 'o', 'r',
    U16(0x8000),
    // 8 Text
    4, 'T', 'e', 'x', 't',
    CODE('W', 'z', 'a', 'k'), CODE('T', 'E', 'X', 'T'),
    5, ' ', 't', 'e', 'x', 't',
    U16(0x8000),
    // 9 TextColor
    9, 'T', 'e', 'x', 't', 'C', 'o', 'l', 'o', 'r',
    CODE('W', 'z', 'a', 'l'), CODE('C', 'l', 'r', ' '),
    10, 'T', 'e', 'x', 't', ' ', 'c', 'o', 'l', 'o', 'r',
    U16(0x8000),
    // 10 xPosition
    9, 'x', 'P', 'o', 's', 'i', 't', 'i', 'o', 'n',
    CODE('W', 'z', 'a', 'm'), CODE('d', 'o', 'u', 'b'),
    10, 'x', ' ', 'p', 'o', 's', 'i', 't', 'i', 'o', 'n',
    U16(0x8000),
    // 11 yPosition
    9, 'y', 'P', 'o', 's', 'i', 't', 'i', 'o', 'n',
    CODE('W', 'z', 'a', 'n'), CODE('d', 'o', 'u', 'b'),
    10, 'y', ' ', 'p', 'o', 's', 'i', 't', 'i', 'o', 'n',
    U16(0x8000),
    // 12 xindiPosition
    13, 'x', 'i', 'n', 'd', 'i', 'P', 'o', 's', 'i', 't', 'i', 'o', 'n',
    CODE('W', 'z', 'a', 'p'), CODE('d', 'o', 'u', 'b'),
    14, 'x', ' ', 'i', 'n', 'd', 'i', 'p', 'o', 's', 'i', 't', 'i', 'o', 'n',
    U16(0x8000),
    // 13 yindiPosition
    13, 'y', 'i', 'n', 'd', 'i', 'P', 'o', 's', 'i', 't', 'i', 'o', 'n',
    CODE('W', 'z', 'a', 'q'), CODE('d', 'o', 'u', 'b'),
    14, 'y', ' ', 'i', 'n', 'd', 'i', 'p', 'o', 's', 'i', 't', 'i', 'o', 'n',
    U16(0x8000),
    // 14 boundingBox
    11, 'b', 'o', 'u', 'n', 'd', 'i', 'n', 'g', 'B', 'o', 'x',
    CODE('W', 'z', 'a', 'r'), CODE('b', 'o', 'o', 'l'),
    12, 'b', 'o', 'u', 'n', 'd', 'i', 'n', 'g', ' ', 'b', 'o', 'x',
    U16(0x8000),
    // 15 fontSize
    8, 'f', 'o', 'n', 't', 'S', 'i', 'z', 'e',
    CODE('W', 'z', 'a', 'o'), CODE('d', 'o', 'u', 'b'),
    9, 'F', 'o', 'n', 't', ' ', 'S', 'i', 'z', 'e',
    U16(0x8000),
    // 16 fontFacename
    12, 'f', 'o', 'n', 't', 'F', 'a', 'c', 'e', 'n', 'a', 'm', 'e',
    CODE('W', 'z', 'a', 't'), CODE('T', 'E', 'X', 'T'),
    13, 'F', 'o', 'n', 't', ' ', 'F', 'a', 'c', 'e', 'n', 'a', 'm', 'e',
    U16(0x8000),
    // 17 fontFamily
    10, 'f', 'o', 'n', 't', 'F', 'a', 'm', 'i', 'l', 'y',
    CODE('W', 'z', 'a', 'v'), CODE('l', 'o', 'n', 'g'),
    11, 'F', 'o', 'n', 't', ' ', 'F', 'a', 'm', 'i', 'l', 'y',
    U16(0x8000),
    // 18 fontStyle
    9, 'f', 'o', 'n', 't', 'S', 't', 'y', 'l', 'e',
    CODE('W', 'z', 'a', 'w'), CODE('l', 'o', 'n', 'g'),
    10, 'F', 'o', 'n', 't', ' ', 'S', 't', 'y', 'l', 'e',
    U16(0x8000),
    // 19 fontWeight
    10, 'f', 'o', 'n', 't', 'W', 'e', 'i', 'g', 'h', 't',
    CODE('W', 'z', 'a', 'x'), CODE('l', 'o', 'n', 'g'),
    11, 'F', 'o', 'n', 't', ' ', 'W', 'e', 'i', 'g', 'h', 't',
    U16(0x8000),
    // 20 fontUnderline
    13, 'f', 'o', 'n', 't', 'U', 'n', 'd', 'e', 'r', 'l', 'i', 'n', 'e',
    CODE('W', 'z', 'a', 'y'), CODE('b', 'o', 'o', 'l'),
    14, 'F', 'o', 'n', 't', ' ', 'U', 'n', 'd', 'e', 'r', 'l', 'i', 'n', 'e',
    U16(0x8000),

    U16(0),  // classes
    U16(0),  // comparison operators

    U16(1),  // enumerations
    CODE('W', 'z', 'a', 'b'),
    U16(2),
    7, 'E', 'l', 'l', 'i', 'p', 's', 'e',
    CODE('W', 'z', 'a', 'c'),
    7, 'e', 'l', 'l', 'i', 'p', 's', 'e',
    9, 'R', 'e', 'c', 't', 'a', 'n', 'g', 'l', 'e',
    CODE('W', 'z', 'a', 'd'),
    9, 'r', 'e', 'c', 't', 'a', 'n', 'g', 'l', 'e',
};

const std::size_t kTelloraTerminologySize = sizeof(kTelloraTerminology);
