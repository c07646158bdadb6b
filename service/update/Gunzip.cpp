#include "service/update/Gunzip.h"

#include "service/update/OutputFile.h"
#include "service/update/UpdateError.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace update {
namespace {

constexpr int kGzipOnly = 15 + 16;  // the largest window, and a gzip header and trailer
constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

struct GunzipStream::State {
    std::string path;
    int descriptor = -1;
    z_stream stream{};
    bool streamReady = false;
    bool inMember = false;  // between members (and before the first) a new one may begin
    int members = 0;
    bool finished = false;
    unsigned char input[kChunk];

    ~State() {
        if (streamReady) inflateEnd(&stream);
        if (descriptor >= 0) ::close(descriptor);
    }

    [[noreturn]] void Fail(const std::string& why) const {
        throw UpdateError("cannot unpack " + path + ": " + why);
    }

    // More input, or false at the end of the file.
    bool Refill() {
        ssize_t got;
        do {
            got = ::read(descriptor, input, sizeof input);
        } while (got < 0 && errno == EINTR);
        if (got < 0) Fail(std::strerror(errno));
        stream.next_in = input;
        stream.avail_in = static_cast<uInt>(got);
        return got > 0;
    }
};

GunzipStream::GunzipStream(const std::string& path) : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.path = path;
    s.descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (s.descriptor < 0) s.Fail(std::strerror(errno));
    if (inflateInit2(&s.stream, kGzipOnly) != Z_OK) s.Fail("out of memory");
    s.streamReady = true;
}

GunzipStream::~GunzipStream() = default;

std::size_t GunzipStream::Read(char* buffer, std::size_t size) {
    State& s = *m_state;
    s.stream.next_out = reinterpret_cast<Bytef*>(buffer);
    s.stream.avail_out = static_cast<uInt>(std::min<std::size_t>(size, kChunk));
    const uInt wanted = s.stream.avail_out;
    while (!s.finished && s.stream.avail_out == wanted) {
        if (s.stream.avail_in == 0 && !s.Refill()) {
            if (s.inMember) s.Fail("the file ends early (cut off?)");
            if (s.members == 0) s.Fail("the file is empty");
            s.finished = true;
            break;
        }
        if (!s.inMember) {
            inflateReset(&s.stream);
            s.inMember = true;
        }
        switch (inflate(&s.stream, Z_NO_FLUSH)) {
            case Z_OK:
            case Z_BUF_ERROR:  // no progress without more input: the loop reads some
                break;
            case Z_STREAM_END:
                s.inMember = false;
                ++s.members;
                break;
            case Z_MEM_ERROR:
                s.Fail("out of memory");
            default:
                s.Fail(s.members > 0             ? "bytes after the end of the compressed data"
                       : s.stream.msg != nullptr ? s.stream.msg
                                                 : "damaged data");
        }
    }
    return wanted - s.stream.avail_out;
}

void Gunzip(const std::string& from, const std::string& to, std::uint64_t maxBytes) {
    GunzipStream stream(from);
    OutputFile output(to);
    char buffer[kChunk];
    std::uint64_t total = 0;
    while (const std::size_t got = stream.Read(buffer, sizeof buffer)) {
        total += got;
        if (total > maxBytes) {
            throw UpdateError("cannot unpack " + from + ": more than " + std::to_string(maxBytes) +
                              " bytes");
        }
        output.Write(std::string_view(buffer, got));
    }
    output.Keep();
}

}  // namespace update
