#pragma once

#include <string>

namespace celdo {

// A font as the program describes and stores it: the fields of a logical-font
// record.  A positive height is the character cell's height in pixels, a
// negative one the character height; both are used as the pixel size here.
struct LogicalFont {
    // The character set of Japanese fonts; a set with its top bit set is a
    // double-byte set.
    static constexpr int ShiftJisCharSet = 128;

    std::string faceName;
    int height = 24;
    int width = 0;
    int escapement = 0; // tenths of a degree, counter-clockwise
    int orientation = 0;
    int weight = 400; // 0: the face's default
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = ShiftJisCharSet;
    int outPrecision = 3;
    int clipPrecision = 2;
    int quality = 1;
    int pitchAndFamily = 0x31;

    bool doubleByte() const { return (charSet & 0x80) != 0; }
    bool operator==(const LogicalFont&) const = default;
};

// The size number shown to the user and the font height: h = S × 4 / 3 and
// S = (h × 3 + 3) / 4, in integers.  Negative heights show as their size.
int fontHeightForSize(int size);
int fontSizeForHeight(int height);

} // namespace celdo
