#include "service/summary/ByteSources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace summary {
namespace {

InputError SystemError(const char* what) {
    return InputError(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

FileSource::FileSource(const std::string& path)
    : m_descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (m_descriptor < 0) throw SystemError("cannot open");
    struct stat status {};
    if (::fstat(m_descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        m_size = static_cast<std::uint64_t>(status.st_size);
    }
}

FileSource::~FileSource() {
    ::close(m_descriptor);
}

std::size_t FileSource::Read(char* buffer, std::size_t size) {
    while (true) {
        const ssize_t count = ::read(m_descriptor, buffer, size);
        if (count >= 0) return static_cast<std::size_t>(count);
        if (errno != EINTR) throw SystemError("cannot read");
    }
}

std::size_t StreamSource::Read(char* buffer, std::size_t size) {
    // The summary comes at the end, so there is no point in answering before a block is full.
    m_stream.read(buffer, static_cast<std::streamsize>(size));
    if (m_stream.bad()) throw InputError("cannot read");
    return static_cast<std::size_t>(m_stream.gcount());
}

}  // namespace summary
