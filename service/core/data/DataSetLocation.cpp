#include "service/core/data/DataSetLocation.h"

#include <filesystem>

namespace service {

std::string DataSetFolder(const std::string& folder) {
    const std::filesystem::path link = std::filesystem::path(folder) / kCurrentSetLink;
    std::error_code error;
    if (!std::filesystem::is_symlink(link, error)) return folder;
    const std::filesystem::path target = std::filesystem::canonical(link, error);
    // A dangling link is reported by the set's own checks, under the link's name.
    return error ? link.string() : target.string();
}

}  // namespace service
