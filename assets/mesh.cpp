// COLLADA meshes: one geometry's positions, normals and texture coordinates and its polygon
// list read as triangles. Units are the file's; the file is Z-up, the engine Y-up, so a file
// position (x, y, z) becomes (x, z, -y). Numbers are read as atof and atoi read them, from
// tokens split on single spaces only (a newline or tab stays inside a token).

#include "assets/mesh.h"

#include <epoxy/gl.h>
#include <rapidxml/rapidxml.hpp>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace {

using XmlNode = rapidxml::xml_node<>;

constexpr int32_t floatsPerVertex = 8;
constexpr float largestFloat = 3.4028235e38f;
// Far above any mesh of the valley; keeps every size below within 32-bit counts.
constexpr int64_t largestCount = int64_t{1} << 26;

Mesh emptyMesh() {
    return Mesh{0, floatsPerVertex, nullptr, 0, nullptr, 0, 0, Vec3{0.0f, 0.0f, 0.0f}};
}

// The first child element (with the name, when one is given); none for no parent.
XmlNode* firstElement(XmlNode* parent, const char* name = nullptr) {
    if (parent == nullptr) {
        return nullptr;
    }
    XmlNode* node = parent->first_node(name);
    while (node != nullptr && node->type() != rapidxml::node_element) {
        node = node->next_sibling(name);
    }
    return node;
}

XmlNode* nextElement(XmlNode* node) {
    if (node == nullptr) {
        return nullptr;
    }
    XmlNode* next = node->next_sibling();
    while (next != nullptr && next->type() != rapidxml::node_element) {
        next = next->next_sibling();
    }
    return next;
}

bool isDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Tokens are runs of anything but spaces, each ended by a space or the end of the text: what
// strtok(text, " ") cuts, found without changing the text.
bool endsToken(char c) {
    return c == ' ' || c == '\0';
}

// 8 characters read as one word, the first in the low byte.
uint64_t loadWord(const char* c) {
    uint64_t word;
    std::memcpy(&word, c, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
}

// Shifts by an even 0 to 64 bits (64 clears the word), done in two halves.
uint64_t shiftedDown(uint64_t word, int bits) {
    return word >> (bits / 2) >> (bits / 2);
}

uint64_t shiftedUp(uint64_t word, int bits) {
    return word << (bits / 2) << (bits / 2);
}

// The leading decimal digits of a word of 8 characters, found without branches (the numbers
// vary too much for branches to be predicted).
struct DigitRun {
    uint64_t digits; // each character minus '0'
    int length;      // how many characters before the first non-digit, 8 when none is
};

DigitRun digitRun(uint64_t word) {
    // A digit gives 0..9; any other byte sets its top bit here or after adding 0x76. Borrows
    // and carries only run towards later characters, so every byte up to the first non-digit
    // is judged right.
    const uint64_t digits = word - 0x3030303030303030u;
    const uint64_t nonDigits = (digits | (digits + 0x7676767676767676u)) & 0x8080808080808080u;
    // The bits below the first non-digit's top bit, 8 x length + 7 of them (64 without one).
    const uint64_t before = (nonDigits - 1) & ~nonDigits;
    const int length = (64 - __builtin_clzll(before)) / 8;
    return DigitRun{digits, length};
}

// The value of the run's digits: moved to the top bytes over zeros (leading zero digits), then
// combined in pairs, fours and eights.
uint64_t valueOf(const DigitRun& run) {
    uint64_t digits = shiftedUp(run.digits, 64 - 8 * run.length);
    digits = digits * 10 + (digits >> 8);
    digits = ((digits & 0x000000FF000000FFu) * (100 + (uint64_t{1000000} << 32)) +
              ((digits >> 16) & 0x000000FF000000FFu) * (1 + (uint64_t{10000} << 32))) >>
             32;
    return digits & 0xFFFFFFFFu;
}

// Bit i set when c[i] is a space or i is past the `available` characters: 16 characters at a
// time where the processor can, one by one for the text's last 64.
uint64_t spaceBits(const char* c, size_t available) {
#if defined(__SSE2__)
    if (available >= 64) {
        const __m128i space = _mm_set1_epi8(' ');
        uint64_t bits = 0;
        for (int i = 0; i < 4; ++i) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 16 * i));
            const uint32_t matches = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, space)));
            bits |= static_cast<uint64_t>(matches) << (16 * i);
        }
        return bits;
    }
#endif
    uint64_t bits = 0;
    for (size_t i = 0; i < 64; ++i) {
        if (i >= available || c[i] == ' ') {
            bits |= uint64_t{1} << i;
        }
    }
    return bits;
}

// strtod on the token alone: its end is made the end of the text for the call.
double strtodToken(char* token) {
    char* tokenEnd = token;
    while (!endsToken(*tokenEnd)) {
        ++tokenEnd;
    }
    const char separator = *tokenEnd;
    *tokenEnd = '\0';
    const double value = std::strtod(token, nullptr);
    *tokenEnd = separator;
    return value;
}

// from_chars for a plain decimal that makes up the whole token, strtod for anything else.
double readDoubleSlowly(char* token, const char* end) {
    const char* digits = token + (*token == '-' ? 1 : 0);
    if (isDigit(*digits) || *digits == '.') {
        double value = 0.0;
        const std::from_chars_result read = std::from_chars(token, end, value);
        if (read.ec == std::errc() && endsToken(*read.ptr)) {
            return value;
        }
    }
    return strtodToken(token);
}

// The token at `token` as atof reads it (`end`: the text's terminating zero), all three ways
// giving strtod's double:
// - [-]digits[.digits] with at most 8 digits, at most 7 before the point: the digits as an
//   integer divided by a power of ten up to 10^8, both exact in a double, so the one rounding of
//   the division is the correct rounding strtod gives;
// - any other plain decimal ([-]digits[.digits][e[+-]digits]) that makes up the whole token:
//   from_chars, correctly rounded as glibc's strtod is;
// - everything else goes to strtod itself: leading whitespace, '+', hex, inf and nan,
//   characters after the number, no number at all, values out of range (strtod gives infinity
//   or zero, from_chars gives nothing).
// With a decimal point other than '.' (the engine never sets a locale) strtod reads everything.
inline double readDouble(char* token, const char* end) {
    const bool negative = *token == '-';
    const char* digits = token + (negative ? 1 : 0);
    if (end - digits >= 16) {
        const uint64_t first = loadWord(digits);
        const uint64_t second = loadWord(digits + 8);
        // The first point among the first 7 characters, looked for apart from the digits so
        // that the two searches overlap: each byte equal to '.' sets its top bit.
        const uint64_t notPoint = first ^ 0x2E2E2E2E2E2E2E2Eu;
        const uint64_t points =
            ~(((notPoint & 0x7F7F7F7F7F7F7F7Fu) + 0x7F7F7F7F7F7F7F7Fu) | notPoint) & 0x0080808080808080u;
        const int point = points != 0 ? 1 : 0;
        const int wholeBits = __builtin_ctzll(points | uint64_t{1} << 63) & ~7; // 56 without a point
        // The characters again with the point taken out (by a shift distance rather than a
        // branch: numbers with and without one mix), so that one run holds all the digits.
        const int skipped = wholeBits + 8 * point;
        const uint64_t rest = shiftedDown(first, skipped) | shiftedUp(second, 64 - skipped);
        const DigitRun number = digitRun((first & ~(~uint64_t{0} << wholeBits)) | rest << wholeBits);
        // Negative when something other than digits comes before the point.
        const int fractionLength = (number.length - wholeBits / 8) & -point;
        if (number.length > 0 && fractionLength >= 0 && endsToken(digits[number.length + point])) {
            static constexpr double powersOfTen[9] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
            static constexpr double signs[2] = {1.0, -1.0};
            // At most 8 digits: exact as a double, and converted as a signed number (cheaper).
            const double digitsValue = static_cast<double>(static_cast<int64_t>(valueOf(number)));
            return signs[negative ? 1 : 0] * (digitsValue / powersOfTen[fractionLength]);
        }
    }
    return readDoubleSlowly(token, end);
}

// atoi's reading (whitespace, one sign, digits up to the first other character) for
// readIndex.
int64_t readIndexSlowly(const char* token) {
    const char* c = token;
    while (*c == '\t' || *c == '\n' || *c == '\v' || *c == '\f' || *c == '\r') {
        ++c;
    }
    const bool negative = *c == '-';
    if (*c == '-' || *c == '+') {
        ++c;
    }
    int64_t value = 0;
    for (; isDigit(*c); ++c) {
        if (value <= largestCount) {
            value = 10 * value + (*c - '0');
        }
    }
    return negative && value != 0 ? -1 : value;
}

// The token at `token` as atoi reads it, where only values from 0 up to the largest count
// matter: a larger value comes back as something above the largest count, any negative one as
// -1. Either is refused as an index, as atoi's values outside int are.
inline int64_t readIndex(const char* token, const char* end) {
    if (end - token >= 8) {
        // Digits, 1 to 8 of them, right up to the token's end.
        const DigitRun run = digitRun(loadWord(token));
        if (run.length > 0 && endsToken(token[run.length])) {
            return static_cast<int64_t>(valueOf(run));
        }
    }
    return readIndexSlowly(token);
}

// The tokens of one element's zero-terminated text, in order. Token starts (a non-space at the
// text's start or after a space) are found 64 characters at a time, so reading one number does
// not wait for the end of the one before.
class Tokens {
  public:
    explicit Tokens(XmlNode* element)
        : text_(element->value()), length_(std::strlen(text_)),
          dotDecimals_(std::strcmp(std::localeconv()->decimal_point, ".") == 0) {}

    // The text's terminating zero.
    const char* end() const { return text_ + length_; }

    // Whether strtod's decimal point is '.', as in the C locale.
    bool dotDecimals() const { return dotDecimals_; }

    // Hands the next `count` tokens in order to read(token, i), i counting from 0; false when
    // the text ends first.
    template <class Read> bool read(int64_t count, Read read) {
        // Locals, so that the compiler need not store them back around every token.
        uint64_t starts = starts_;
        int64_t i = 0;
        while (i < count) {
            if (starts == 0) {
                if (scanned_ >= length_) {
                    return false;
                }
                scanBlock();
                starts = starts_;
                continue;
            }
            char* block = text_ + (scanned_ - 64);
            do {
                read(block + __builtin_ctzll(starts), i);
                starts &= starts - 1;
                ++i;
            } while (starts != 0 && i < count);
        }
        starts_ = starts;
        return true;
    }

    // How many tokens are left; the walk ends.
    int64_t countRest() {
        int64_t count = __builtin_popcountll(starts_);
        while (scanned_ < length_) {
            scanBlock();
            count += __builtin_popcountll(starts_);
        }
        starts_ = 0;
        return count;
    }

  private:
    void scanBlock() {
        const uint64_t spaces = spaceBits(text_ + scanned_, length_ - scanned_);
        starts_ = ~spaces & (spaces << 1 | spaceBefore_);
        spaceBefore_ = spaces >> 63;
        scanned_ += 64;
    }

    char* text_;
    size_t length_;
    bool dotDecimals_;
    size_t scanned_ = 0;       // characters looked at, a multiple of 64
    uint64_t starts_ = 0;      // token starts among the last 64 not handed out yet
    uint64_t spaceBefore_ = 1; // the character before the next 64 is a space (or there is none)
};

// The element's "count" attribute read as atoi does. Refused when missing, negative, above
// the largest count the engine takes, or above `limit`.
bool readCount(XmlNode* element, int64_t limit, int64_t& count) {
    rapidxml::xml_attribute<>* attribute = element->first_attribute("count");
    if (attribute == nullptr) {
        return false;
    }
    count = std::strtol(attribute->value(), nullptr, 10);
    return count >= 0 && count <= largestCount && count <= limit;
}

// A token takes at least one character and all but the last a space after it.
int64_t tokensAtMost(XmlNode* element) {
    return static_cast<int64_t>(element->value_size() / 2 + 1);
}

// The source's first <float_array> and its count; none when either is missing or refused.
XmlNode* floatArray(XmlNode* source, int64_t& count) {
    XmlNode* array = firstElement(source, "float_array");
    return array != nullptr && readCount(array, tokensAtMost(array), count) ? array : nullptr;
}

// The next `count` numbers, as atof reads them, rounded to float; false when the text ends first.
[[gnu::noinline]] bool readFloats(Tokens& tokens, int64_t count, float* values) {
    const char* end = tokens.end();
    if (!tokens.dotDecimals()) {
        return tokens.read(
            count, [values](char* token, int64_t i) { values[i] = static_cast<float>(strtodToken(token)); });
    }
    return tokens.read(count, [values, end](char* token, int64_t i) {
        values[i] = static_cast<float>(readDouble(token, end));
    });
}

// Positions are read this many vertices at a time, then put in place.
constexpr int64_t vertexBatch = 256;

// The vertex array from the positions, count / 3 of them (a partial vertex is read and dropped):
// each vertex starts with its own position turned Y-up, zero normal and texture coordinate.
bool readPositions(XmlNode* array, int64_t count, float* vertices) {
    Tokens tokens(array);
    float positions[3 * vertexBatch];
    for (int64_t first = 0; first < count / 3; first += vertexBatch) {
        const int64_t n = std::min(vertexBatch, count / 3 - first);
        if (!readFloats(tokens, 3 * n, positions)) {
            return false;
        }
        // Stored one by one: a copy from a small array built on the stack would load it back
        // in wider pieces than it was stored in, which stalls.
        for (int64_t i = 0; i < n; ++i) {
            const float* position = positions + 3 * i;
            float* vertex = vertices + (first + i) * floatsPerVertex;
            vertex[0] = position[0];
            vertex[1] = position[2];
            vertex[2] = -position[1];
            std::fill(vertex + 3, vertex + floatsPerVertex, 0.0f);
        }
    }
    return readFloats(tokens, count % 3, positions);
}

// The next token's start, past the spaces at `cursor`; none when only spaces are left.
const char* tokenAt(const char* cursor) {
    while (*cursor == ' ') {
        ++cursor;
    }
    return *cursor == '\0' ? nullptr : cursor;
}

// Just past the token at `token`.
const char* pastToken(const char* token) {
    while (!endsToken(*token)) {
        ++token;
    }
    return token;
}

// The corner at `cursor` read as readIndex reads its three numbers (vertex, normal, texcoord);
// the cursor moves past it. False when the text ends first.
bool readCorner(const char*& cursor, const char* end, uint64_t fields[3]) {
    const char* token = tokenAt(cursor);
    for (int field = 0; field < 3; ++field) {
        if (token == nullptr) {
            return false;
        }
        // Negative numbers, -1 here, become too large to pass as indices.
        fields[field] = static_cast<uint64_t>(readIndex(token, end));
        cursor = pastToken(token);
        if (field < 2) {
            token = tokenAt(cursor);
        }
    }
    return true;
}

// The 3 x triangleCount corners of <p>, (vertex, normal, texcoord) each, checked against the
// arrays: the vertex numbers become the indices and each corner writes its texture coordinate
// into its vertex (its position there is the vertex's own already; normals are recomputed).
[[gnu::noinline]] bool readCorners(XmlNode* p, int64_t triangleCount, int64_t normalCount,
                                   const std::vector<float>& texcoords, Mesh& mesh) {
    const char* cursor = p->value();
    const char* end = cursor + std::strlen(cursor);
    const int64_t cornerCount = 3 * triangleCount;
    const uint64_t limits[3] = {static_cast<uint64_t>(mesh.vertexCount), static_cast<uint64_t>(normalCount),
                                texcoords.size() / 2};
    const uint64_t sharedLimit = std::min({limits[0], limits[1], limits[2]});
    auto place = [&mesh, &texcoords](int64_t k, uint64_t vertex, uint64_t texcoord) {
        mesh.indices[k] = static_cast<int32_t>(vertex);
        std::memcpy(mesh.vertices + vertex * floatsPerVertex + 6, &texcoords[2 * texcoord],
                    2 * sizeof(float));
    };
    int64_t k = 0;
    while (k < cornerCount) {
        while (*cursor == ' ') {
            ++cursor;
        }
        // The valley's meshes give most corners as one number three times, single spaces
        // between, and neighbouring corners mostly numbers as wide: while that holds, corners
        // are read with the width fixed, so that where the next one starts is known at once.
        const int width = end - cursor >= 32 ? std::min(digitRun(loadWord(cursor)).length, 7) : 0;
        if (width > 0) {
            const int step = width + 1;
            const uint64_t digitsAndSpace = ~uint64_t{0} >> (64 - 8 * step);
            const uint64_t digitBytes = digitsAndSpace >> 8;
            const uint64_t space = uint64_t{' '} << (8 * width);
            while (k < cornerCount && end - cursor >= 32) {
                const uint64_t word = loadWord(cursor);
                const uint64_t text = word & digitsAndSpace;
                const uint64_t digits = word - 0x3030303030303030u;
                const uint64_t nonDigits = (digits | (digits + 0x7676767676767676u)) & 0x8080808080808080u;
                if ((nonDigits & digitBytes) != 0 || (text & ~digitBytes) != space ||
                    (loadWord(cursor + step) & digitsAndSpace) != text ||
                    (loadWord(cursor + 2 * step) & digitsAndSpace) != text) {
                    break;
                }
                const uint64_t value = valueOf(DigitRun{digits, width});
                if (value >= sharedLimit) {
                    return false;
                }
                place(k++, value, value);
                cursor += 3 * step;
            }
            if (k == cornerCount) {
                break;
            }
        }
        // Anything else, one corner at a time.
        uint64_t fields[3];
        if (!readCorner(cursor, end, fields) || fields[0] >= limits[0] || fields[1] >= limits[1] ||
            fields[2] >= limits[2]) {
            return false;
        }
        place(k++, fields[0], fields[2]);
    }
    return true;
}

void computeExtent(Mesh& mesh) {
    float lowest[3] = {largestFloat, largestFloat, largestFloat};
    float highest[3] = {-largestFloat, -largestFloat, -largestFloat};
    for (int32_t i = 0; i < mesh.vertexCount; ++i) {
        const float* position = mesh.vertices + static_cast<size_t>(i) * mesh.stride;
        for (int axis = 0; axis < 3; ++axis) {
            if (position[axis] < lowest[axis]) {
                lowest[axis] = position[axis];
            }
            if (position[axis] > highest[axis]) {
                highest[axis] = position[axis];
            }
        }
    }
    float extent[3];
    for (int axis = 0; axis < 3; ++axis) {
        extent[axis] = -lowest[axis] > highest[axis] ? -lowest[axis] : highest[axis];
    }
    mesh.extent = Vec3{extent[0], extent[1], extent[2]};
}

Vec3 positionOf(const Mesh& mesh, int32_t vertex) {
    const float* v = mesh.vertices + static_cast<size_t>(vertex) * mesh.stride;
    return Vec3{v[0], v[1], v[2]};
}

float* normalOf(Mesh& mesh, int32_t vertex) {
    return mesh.vertices + static_cast<size_t>(vertex) * mesh.stride + 3;
}

#if defined(__SSE2__)
// normalize on four vectors at once, lane by lane the same operations: the same floats.
void normalize4(__m128& x, __m128& y, __m128& z) {
    const __m128 length =
        _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y)), _mm_mul_ps(z, z)));
    const __m128 zero = _mm_cmpeq_ps(length, _mm_setzero_ps());
    x = _mm_andnot_ps(zero, _mm_div_ps(x, length));
    y = _mm_andnot_ps(zero, _mm_div_ps(y, length));
    z = _mm_andnot_ps(zero, _mm_div_ps(z, length));
}

// The unit normals of four triangles, (p1 - p2) x (p1 - p0) normalised, lane t for triangle t:
// lane by lane what subtract, cross and normalize do.
void faceNormals4(const Mesh& mesh, const int32_t* corners, float faces[3][4]) {
    // One axis of one corner of the four triangles, lane t for triangle t.
    auto gather = [&mesh, corners](int corner, int axis) {
        auto at = [&](int t) {
            return mesh.vertices[static_cast<size_t>(corners[3 * t + corner]) * mesh.stride + axis];
        };
        return _mm_set_ps(at(3), at(2), at(1), at(0));
    };
    const __m128 p1x = gather(1, 0);
    const __m128 p1y = gather(1, 1);
    const __m128 p1z = gather(1, 2);
    const __m128 ax = _mm_sub_ps(p1x, gather(2, 0));
    const __m128 ay = _mm_sub_ps(p1y, gather(2, 1));
    const __m128 az = _mm_sub_ps(p1z, gather(2, 2));
    const __m128 bx = _mm_sub_ps(p1x, gather(0, 0));
    const __m128 by = _mm_sub_ps(p1y, gather(0, 1));
    const __m128 bz = _mm_sub_ps(p1z, gather(0, 2));
    __m128 x = _mm_sub_ps(_mm_mul_ps(ay, bz), _mm_mul_ps(az, by));
    __m128 y = _mm_sub_ps(_mm_mul_ps(az, bx), _mm_mul_ps(ax, bz));
    __m128 z = _mm_sub_ps(_mm_mul_ps(ax, by), _mm_mul_ps(ay, bx));
    normalize4(x, y, z);
    _mm_storeu_ps(faces[0], x);
    _mm_storeu_ps(faces[1], y);
    _mm_storeu_ps(faces[2], z);
}

// Vertices first .. first + 3: each normal sum divided by its number of triangles (a vertex in
// none keeps its zero sum: dividing it by 1 leaves it), then normalised.
void meanNormals4(Mesh& mesh, int32_t first, const int32_t* uses) {
    auto gather = [&mesh, first](int axis) {
        auto at = [&](int t) { return normalOf(mesh, first + t)[axis]; };
        return _mm_set_ps(at(3), at(2), at(1), at(0));
    };
    auto countOf = [uses](int t) { return static_cast<float>(uses[t] != 0 ? uses[t] : 1); };
    const __m128 count = _mm_set_ps(countOf(3), countOf(2), countOf(1), countOf(0));
    __m128 x = _mm_div_ps(gather(0), count);
    __m128 y = _mm_div_ps(gather(1), count);
    __m128 z = _mm_div_ps(gather(2), count);
    normalize4(x, y, z);
    alignas(16) float units[3][4];
    _mm_store_ps(units[0], x);
    _mm_store_ps(units[1], y);
    _mm_store_ps(units[2], z);
    for (int t = 0; t < 4; ++t) {
        float* normal = normalOf(mesh, first + t);
        for (int axis = 0; axis < 3; ++axis) {
            normal[axis] = units[axis][t];
        }
    }
}
#endif

// Replaces the bound GL_ARRAY_BUFFER's contents with the whole vertex array.
void bufferVertices(const Mesh& mesh) {
    glBufferData(GL_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(static_cast<size_t>(mesh.vertexCount) * mesh.stride * sizeof(float)),
                 mesh.vertices, GL_STATIC_DRAW);
}

// Both buffers stay bound.
void uploadMesh(Mesh& mesh) {
    GLuint buffers[2] = {0, 0};
    glGenBuffers(1, &buffers[0]);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    bufferVertices(mesh);
    glGenBuffers(1, &buffers[1]);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(static_cast<size_t>(mesh.triangleCount) * 3 * sizeof(int32_t)),
                 mesh.indices, GL_STATIC_DRAW);
    mesh.vertexBuffer = buffers[0];
    mesh.indexBuffer = buffers[1];
}

} // namespace

// Document layout: the root element's first <library_geometries>, its first <geometry>, that
// one's first <mesh>. The mesh's first three child elements are the position, normal and
// texture-coordinate sources, each read from its first <float_array>; its first <polylist>
// gives the triangle count and, in its first <p>, corners of (vertex, normal, texcoord).
// Every vertex starts with its own position from the array (so extents include vertices no
// corner names), zero normal and zero texture coordinate; a corner then writes its vertex's
// position, normal and texture coordinate, the last corner naming a vertex winning.
bool readColladaMesh(char* text, Mesh& mesh) {
    mesh = emptyMesh();
    if (text == nullptr) {
        return false;
    }
    rapidxml::xml_document<> document;
    try {
        document.parse<0>(text);
    } catch (const rapidxml::parse_error&) {
        return false;
    }
    XmlNode* geometry = firstElement(firstElement(firstElement(&document), "library_geometries"), "geometry");
    XmlNode* meshElement = firstElement(geometry, "mesh");
    XmlNode* positionSource = firstElement(meshElement);
    XmlNode* normalSource = nextElement(positionSource);
    XmlNode* texcoordSource = nextElement(normalSource);
    XmlNode* polylist = firstElement(meshElement, "polylist");
    XmlNode* p = firstElement(polylist, "p");
    int64_t positionCount = 0;
    int64_t normalCount = 0;
    int64_t texcoordCount = 0;
    int64_t triangleCount = 0;
    XmlNode* positionArray = floatArray(positionSource, positionCount);
    XmlNode* normalArray = floatArray(normalSource, normalCount);
    XmlNode* texcoordArray = floatArray(texcoordSource, texcoordCount);
    if (positionArray == nullptr || normalArray == nullptr || texcoordArray == nullptr || p == nullptr ||
        !readCount(polylist, tokensAtMost(p) / 9, triangleCount)) {
        return false;
    }

    // The file's normals are replaced by smooth ones: only their count matters.
    std::vector<float> texcoords(static_cast<size_t>(texcoordCount));
    Tokens texcoordTokens(texcoordArray);
    if (Tokens(normalArray).countRest() < normalCount ||
        !readFloats(texcoordTokens, texcoordCount, texcoords.data())) {
        return false;
    }
    Mesh result = emptyMesh();
    result.vertexCount = static_cast<int32_t>(positionCount / 3);
    result.triangleCount = static_cast<int32_t>(triangleCount);
    std::unique_ptr<float[]> vertices(new float[static_cast<size_t>(result.vertexCount) * floatsPerVertex]);
    std::unique_ptr<int32_t[]> indices(new int32_t[3 * static_cast<size_t>(result.triangleCount)]);
    result.vertices = vertices.get();
    result.indices = indices.get();
    if (!readPositions(positionArray, positionCount, result.vertices) ||
        !readCorners(p, triangleCount, normalCount / 3, texcoords, result)) {
        return false;
    }
    vertices.release();
    indices.release();
    smoothVertexNormals(result);
    computeExtent(result);
    mesh = result;
    return true;
}

void smoothVertexNormals(Mesh& mesh) {
    std::vector<int32_t> uses(static_cast<size_t>(mesh.vertexCount), 0);
    for (int32_t i = 0; i < mesh.vertexCount; ++i) {
        float* normal = normalOf(mesh, i);
        normal[0] = normal[1] = normal[2] = 0.0f;
    }
    // Summing in triangle order per vertex gives the same floats as walking a per-vertex list
    // of its triangles. Face normals are worked out four at a time where the processor can.
    auto addFace = [&mesh, &uses](const int32_t* corner, float x, float y, float z) {
        for (int c = 0; c < 3; ++c) {
            float* normal = normalOf(mesh, corner[c]);
            normal[0] += x;
            normal[1] += y;
            normal[2] += z;
            ++uses[corner[c]];
        }
    };
    int32_t j = 0;
#if defined(__SSE2__)
    for (; j + 4 <= mesh.triangleCount; j += 4) {
        const int32_t* corners = mesh.indices + 3 * static_cast<size_t>(j);
        float faces[3][4];
        faceNormals4(mesh, corners, faces);
        for (int t = 0; t < 4; ++t) {
            addFace(corners + 3 * t, faces[0][t], faces[1][t], faces[2][t]);
        }
    }
#endif
    for (; j < mesh.triangleCount; ++j) {
        const int32_t* corner = mesh.indices + 3 * static_cast<size_t>(j);
        const Vec3 p0 = positionOf(mesh, corner[0]);
        const Vec3 p1 = positionOf(mesh, corner[1]);
        const Vec3 p2 = positionOf(mesh, corner[2]);
        Vec3 face = cross(subtract(p1, p2), subtract(p1, p0));
        normalize(face);
        addFace(corner, face.x, face.y, face.z);
    }
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= mesh.vertexCount; i += 4) {
        meanNormals4(mesh, i, uses.data() + i);
    }
#endif
    for (; i < mesh.vertexCount; ++i) {
        float* normal = normalOf(mesh, i);
        Vec3 sum{normal[0], normal[1], normal[2]};
        if (uses[i] != 0) {
            const float count = static_cast<float>(uses[i]);
            sum = Vec3{sum.x / count, sum.y / count, sum.z / count};
        }
        normalize(sum);
        normal[0] = sum.x;
        normal[1] = sum.y;
        normal[2] = sum.z;
    }
}

void computeVertexNormals(Mesh& mesh) {
    smoothVertexNormals(mesh);
    if (mesh.vertexBuffer != 0) {
        glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
        bufferVertices(mesh);
    }
}

bool readColladaFile(const char* fileName, Mesh& mesh) {
    mesh = emptyMesh();
    if (fileName == nullptr || std::strstr(fileName, ".dae") == nullptr) {
        return false;
    }
    std::FILE* file = std::fopen(fileName, "r");
    if (file == nullptr) {
        return false;
    }
    // Read straight into one buffer the file's size and a byte more, so that the end shows as a
    // short read: for the terrain, copying through a growing buffer costs as much as parsing a
    // third of it. A file that turns out longer is read on into a buffer twice the size.
    std::error_code sizeUnknown;
    const std::uintmax_t size = std::filesystem::file_size(fileName, sizeUnknown);
    size_t capacity = sizeUnknown || size >= std::uintmax_t{1} << 32 ? 65536 : static_cast<size_t>(size) + 1;
    std::unique_ptr<char[]> text(new char[capacity]);
    size_t used = 0;
    while ((used += std::fread(text.get() + used, 1, capacity - used, file)) == capacity) {
        std::unique_ptr<char[]> larger(new char[2 * capacity]);
        std::memcpy(larger.get(), text.get(), used);
        text = std::move(larger);
        capacity *= 2;
    }
    std::fclose(file);
    text[used] = '\0';
    return readColladaMesh(text.get(), mesh);
}

Mesh& loadMesh(Mesh& mesh, const char* fileName) {
    if (!readColladaFile(fileName, mesh)) {
        std::printf("error: mesh %s loaded incorrectly!\n", fileName == nullptr ? "" : fileName);
        return mesh;
    }
    uploadMesh(mesh);
    return mesh;
}
