#pragma once

#include <string>
#include <string_view>

namespace update {

// A file being written by a step of an update: made or emptied when opened, and removed
// again when the object goes away before Keep(), so that a failed step leaves nothing.
class OutputFile {
public:
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Both throw UpdateError naming the file.
    void Write(std::string_view bytes);
    void Restart();
    // Flushes the file to the disk and closes it, so that it may be renamed into place at
    // once; a failure (a full disk, say) is an UpdateError and removes the file.
    void Keep();

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    int m_descriptor;
};

}  // namespace update
