#include "formats/ShiftJis.h"

#include <cerrno>
#include <iconv.h>

namespace celdo {

namespace {

// Windows code page 932 is what Japanese Windows programs wrote; plain
// Shift-JIS is the fallback for a C library that lacks it.
constexpr const char* kFileEncoding = "CP932";
constexpr const char* kFallbackEncoding = "SHIFT_JIS";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

class Converter {
public:
    // Opens `to` ← `from`, trying `altTo` ← `altFrom` when the first pair is
    // not available.
    Converter(const char* to, const char* from, const char* altTo, const char* altFrom)
        : m_cd(iconv_open(to, from)) {
        if (!valid())
            m_cd = iconv_open(altTo, altFrom);
    }
    ~Converter() {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of [in, in + size) as it can, appending to `out`.
    // Returns 0 when everything was converted, else the errno that stopped it
    // with `in`/`size` at the offending input.
    int convert(const char*& in, std::size_t& size, std::string& out) {
        char chunk[256];
        while (size > 0) {
            char* inPtr = const_cast<char*>(in);
            char* outPtr = chunk;
            std::size_t outLeft = sizeof chunk;
            const std::size_t result = iconv(m_cd, &inPtr, &size, &outPtr, &outLeft);
            const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
            out.append(chunk, sizeof chunk - outLeft);
            in = inPtr;
            if (error != 0 && error != E2BIG)
                return error;
        }
        return 0;
    }

private:
    iconv_t m_cd;
};

std::size_t utf8CharLength(const char* p, std::size_t size) {
    const auto lead = static_cast<unsigned char>(*p);
    std::size_t length = 1;
    if (lead >= 0xF0 && lead < 0xF8)
        length = 4;
    else if (lead >= 0xE0)
        length = lead < 0xF0 ? 3 : 1;
    else if (lead >= 0xC0)
        length = 2;
    if (length > size)
        return 1;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80)
            return 1;
    return length;
}

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// UTF-8 → file bytes, one character at a time when `perChar` is given so a
// caller can see each character's length.
template <typename PerChar> std::string encode(std::string_view utf8, PerChar perChar) {
    Converter cd(kFileEncoding, "UTF-8", kFallbackEncoding, "UTF-8");
    std::string out;
    const char* p = utf8.data();
    std::size_t left = utf8.size();
    while (left > 0) {
        const std::size_t charLength = utf8CharLength(p, left);
        const std::size_t before = out.size();
        std::size_t size = charLength;
        const char* in = p;
        if (!cd.valid() || cd.convert(in, size, out) != 0) {
            out.resize(before);
            out.push_back('?');
        }
        if (!perChar(std::string_view(p, charLength), out.size() - before)) {
            out.resize(before);
            break;
        }
        p += charLength;
        left -= charLength;
    }
    return out;
}

} // namespace

std::string fromShiftJis(std::string_view bytes) {
    Converter cd("UTF-8", kFileEncoding, "UTF-8", kFallbackEncoding);
    std::string out;
    const char* in = bytes.data();
    std::size_t size = bytes.size();
    if (!cd.valid()) {
        for (char c : bytes)
            out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
        return out;
    }
    while (size > 0) {
        const int error = cd.convert(in, size, out);
        if (error == 0)
            break;
        out.append(kReplacement);
        if (error == EINVAL)
            break;
        // Skip the whole undecodable pair when the byte announced one.
        const std::size_t skip = isLeadByte(static_cast<unsigned char>(*in)) && size >= 2 ? 2 : 1;
        in += skip;
        size -= skip;
    }
    return out;
}

std::string toShiftJis(std::string_view utf8) {
    return encode(utf8, [](std::string_view, std::size_t) { return true; });
}

std::string cutShiftJis(std::string_view bytes, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t length =
            isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
        if (i + length > maxBytes)
            break;
        i += length;
    }
    return std::string(bytes.substr(0, i));
}

std::string fitShiftJis(std::string_view utf8, std::size_t maxBytes) {
    std::string kept;
    std::size_t used = 0;
    encode(utf8, [&](std::string_view character, std::size_t length) {
        if (used + length > maxBytes)
            return false;
        used += length;
        kept.append(character);
        return true;
    });
    return kept;
}

std::size_t shiftJisLength(std::string_view utf8) {
    return toShiftJis(utf8).size();
}

} // namespace celdo
