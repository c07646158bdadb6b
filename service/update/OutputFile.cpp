#include "service/update/OutputFile.h"

#include "service/update/UpdateError.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace update {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw UpdateError("cannot " + what + " " + path + ": " + std::strerror(errno));
}

}  // namespace

OutputFile::OutputFile(std::string path)
    : m_path(std::move(path)),
      m_descriptor(::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {
    if (m_descriptor < 0) Fail("create", m_path);
}

OutputFile::~OutputFile() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
        ::unlink(m_path.c_str());
    }
}

void OutputFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) Fail("write", m_path);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void OutputFile::Restart() {
    if (::ftruncate(m_descriptor, 0) != 0 || ::lseek(m_descriptor, 0, SEEK_SET) != 0) {
        Fail("empty", m_path);
    }
}

void OutputFile::Keep() {
    const int descriptor = std::exchange(m_descriptor, -1);
    int error = ::fsync(descriptor) == 0 ? 0 : errno;
    if (::close(descriptor) != 0 && error == 0) error = errno;
    if (error != 0) {
        ::unlink(m_path.c_str());
        errno = error;
        Fail("write", m_path);
    }
}

}  // namespace update
