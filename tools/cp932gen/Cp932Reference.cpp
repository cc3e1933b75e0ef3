#include "tools/cp932gen/Cp932Reference.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <map>
#include <utility>

namespace cp932gen {

namespace {

// One descriptor per direction, kept open while the program runs: the
// generator and the tests ask millions of times. Closed at exit, so that a
// leak checker sees nothing left behind.
class Descriptors {
public:
    Descriptors() = default;
    Descriptors(const Descriptors&) = delete;
    Descriptors& operator=(const Descriptors&) = delete;
    ~Descriptors()
    {
        for (const auto& [directions, cd] : open_) {
            if (cd != kNone) {
                iconv_close(cd);
            }
        }
    }

    iconv_t get(const char* to, const char* from)
    {
        const auto key = std::make_pair(std::string(to), std::string(from));
        const auto found = open_.find(key);
        if (found != open_.end()) {
            return found->second;
        }
        const iconv_t cd = iconv_open(to, from);
        open_.emplace(key, cd);
        return cd;
    }

    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

private:
    std::map<std::pair<std::string, std::string>, iconv_t> open_;
};

iconv_t descriptor(const char* to, const char* from)
{
    static Descriptors descriptors;
    return descriptors.get(to, from);
}

} // namespace

std::optional<std::string> systemConvert(const char* to, const char* from, std::string_view input)
{
    const iconv_t cd = descriptor(to, from);
    if (cd == Descriptors::kNone) {
        return std::nullopt;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    std::array<char, 4096> chunk{};
    auto* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (true) {
        char* outPtr = chunk.data();
        std::size_t outLeft = chunk.size();
        const std::size_t rc = iconv(cd, inLeft > 0 ? &in : nullptr, &inLeft, &outPtr, &outLeft);
        out.append(chunk.data(), chunk.size() - outLeft);
        if (rc != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) {
                return out;
            }
            continue;
        }
        if (errno != E2BIG) {
            return std::nullopt;
        }
    }
}

} // namespace cp932gen
