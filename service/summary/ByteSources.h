#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>

namespace summary {

// An input that could not be read to its end: unreadable, or damaged compressed data. The
// message says what went wrong, without the input's name.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bytes of one input, read a block at a time.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to size bytes into buffer; 0 only at the end. Throws InputError.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// A file by its name, read with the system's own calls so that every failure (a folder, a
// disk error) is told apart from the end.
class FileSource : public ByteSource {
public:
    // Throws InputError when the file cannot be opened.
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t Read(char* buffer, std::size_t size) override;
    // The size of a regular file; nothing for a pipe or a device.
    std::optional<std::uint64_t> size() const { return m_size; }

private:
    int m_descriptor = -1;
    std::optional<std::uint64_t> m_size;
};

// A stream such as standard input; a stream gone bad is an unreadable input.
class StreamSource : public ByteSource {
public:
    explicit StreamSource(std::istream& stream) : m_stream(stream) {}
    std::size_t Read(char* buffer, std::size_t size) override;

private:
    std::istream& m_stream;
};

}  // namespace summary
