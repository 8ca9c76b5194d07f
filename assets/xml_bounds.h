// Bounds on what RapidXML (parse flags 0) builds from a document, found before parsing it.
//
// RapidXML parses each level of elements in a recursive call, so the depth of the elements is
// depth of the stack; it keeps about 100 bytes for every node and attribute it makes, so their
// number is memory. Depth counts the root as level 1.
#pragma once

#include <cstdint>

namespace valley {

struct XmlBounds {
    int depth;     // levels of elements
    int64_t parts; // markup constructs (tags, comments, declarations), runs of text and
                   // attributes: at least the nodes and attributes RapidXML makes
};

// Whether the zero-terminated document stays within both bounds as RapidXML reads it. False too
// for a tag RapidXML cannot read or markup it finds unclosed: the scan stops where the parse
// would. Linear in the text's length.
bool xmlWithin(const char* text, XmlBounds limit);

} // namespace valley
