#include "formats/KissHeader.h"

#include "formats/GraphicFile.h"

#include <cstdio>
#include <cstring>

namespace celdo {

Status ReadKissHead(GraphicFile& file, KissHead& head, bool& tagged) {
    static constexpr std::uint8_t Magic[4] = {'K', 'i', 'S', 'S'};
    head.fill(0);
    tagged = false;
    Status code = file.open('R', true);
    if (code != status::Ok)
        return code;
    if (file.measureFileSize() < 0)
        code = status::SeekError;
    else if (file.read(head.data(), 4) != status::Ok)
        code = status::ReadError;
    else if (std::memcmp(head.data(), Magic, 4) == 0) {
        tagged = true;
        if (file.seek(0, SEEK_SET) < 0)
            code = status::SeekError;
        else if (file.read(head.data(), head.size()) != status::Ok)
            code = status::ReadError;
    }
    if (code != status::Ok)
        file.close();
    return code;
}

} // namespace celdo
