// The markup is followed as RapidXML's parser follows it with flags 0: element names run to a
// space, '/', '>' or '?'; attribute names to one of those or '<', '=', '!'; a quoted value
// begins only after a name and '='. Comments, CDATA sections, declarations and processing
// instructions nest nothing; a document type's internal subset in brackets may hold '>'.
// Plain loops rather than the C string functions: their checked versions measure the whole
// remaining text at every call.
#include "assets/xml_bounds.h"

namespace valley {

namespace {

bool space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool nameChar(char c) { return c != '\0' && !space(c) && c != '/' && c != '>' && c != '?'; }

bool attributeNameChar(char c) { return nameChar(c) && c != '<' && c != '=' && c != '!'; }

const char* skipSpace(const char* c) {
    while (space(*c)) {
        ++c;
    }
    return c;
}

// Just past the first `close` (2 or 3 characters) from `c`; none when the text ends first.
const char* past(const char* c, const char* close) {
    for (; *c != '\0'; ++c) {
        if (c[0] == close[0] && c[1] == close[1] && (close[2] == '\0' || c[2] == close[2])) {
            return c + (close[2] == '\0' ? 2 : 3);
        }
    }
    return nullptr;
}

// Just past the first '>' from `c`; none when the text ends first.
const char* pastAngle(const char* c) {
    for (; *c != '\0'; ++c) {
        if (*c == '>') {
            return c + 1;
        }
    }
    return nullptr;
}

// Just past the '>' ending a document type declaration; brackets nest and hide '>'.
const char* pastDoctype(const char* c) {
    for (; *c != '>'; ++c) {
        if (*c == '\0') {
            return nullptr;
        }
        if (*c == '[') {
            for (int brackets = 1; brackets > 0;) {
                ++c;
                if (*c == '\0') {
                    return nullptr;
                }
                brackets += *c == '[' ? 1 : *c == ']' ? -1 : 0;
            }
        }
    }
    return c + 1;
}

// Whether the text at `c` begins with `word`.
bool startsWith(const char* c, const char* word) {
    for (; *word != '\0'; ++c, ++word) {
        if (*c != *word) {
            return false;
        }
    }
    return true;
}

// From `<!`: just past a comment, CDATA section, document type or other declaration.
const char* pastDeclaration(const char* c) {
    if (startsWith(c, "!--")) {
        return past(c + 3, "-->");
    }
    if (startsWith(c, "![CDATA[")) {
        return past(c + 8, "]]>");
    }
    if (startsWith(c, "!DOCTYPE") && space(c[8])) {
        return pastDoctype(c + 9);
    }
    return pastAngle(c + 1);
}

const char* pastName(const char* c) {
    while (nameChar(*c)) {
        ++c;
    }
    return c;
}

// From the name of a start tag: just past its attributes, at its '>' or "/>", each attribute
// counted in `parts`; none where RapidXML refuses the tag.
const char* pastAttributes(const char* c, int64_t& parts) {
    const char* name = c;
    c = pastName(c);
    if (c == name) {
        return nullptr;
    }
    c = skipSpace(c);
    while (attributeNameChar(*c)) {
        ++parts;
        while (attributeNameChar(*c)) {
            ++c;
        }
        c = skipSpace(c);
        if (*c != '=') {
            return nullptr;
        }
        c = skipSpace(c + 1);
        const char quote = *c;
        if (quote != '"' && quote != '\'') {
            return nullptr;
        }
        for (++c; *c != quote; ++c) {
            if (*c == '\0') {
                return nullptr;
            }
        }
        c = skipSpace(c + 1);
    }
    return c;
}

} // namespace

bool xmlWithin(const char* text, XmlBounds limit) {
    int depth = 0;
    int64_t parts = 0;
    const char* c = text;
    while (c != nullptr) {
        bool data = false; // text inside an element other than spaces: a data node
        for (; *c != '\0' && *c != '<'; ++c) {
            data = data || !space(*c);
        }
        if (*c == '\0') {
            return depth == 0;
        }
        parts += data && depth > 0 ? 2 : 1;
        if (parts > limit.parts) {
            return false;
        }
        ++c;
        if (*c == '!') {
            c = pastDeclaration(c);
        } else if (*c == '?') {
            c = past(c + 1, "?>");
        } else if (*c == '/') {
            // A closing tag: its name is not checked against the element it closes.
            c = skipSpace(pastName(c + 1));
            if (*c != '>' || depth == 0) {
                return false;
            }
            --depth;
            ++c;
        } else {
            // A start tag: the element lies a level deeper, and so do its children unless it
            // ends with "/>".
            c = pastAttributes(c, parts);
            if (c == nullptr || parts > limit.parts || depth + 1 > limit.depth) {
                return false;
            }
            if (*c == '>') {
                ++depth;
                ++c;
            } else if (c[0] == '/' && c[1] == '>') {
                c += 2;
            } else {
                return false;
            }
        }
    }
    return false;
}

} // namespace valley
