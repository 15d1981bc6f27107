#include "boards/LogicalFont.h"

#include <cstdlib>

namespace celdo {

int fontHeightForSize(int size) {
    return size * 4 / 3;
}

int fontSizeForHeight(int height) {
    return (std::abs(height) * 3 + 3) / 4;
}

} // namespace celdo
