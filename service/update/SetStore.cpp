#include "service/update/SetStore.h"

#include "service/core/data/DataSetLocation.h"
#include "service/core/data/DataSetRecord.h"
#include "service/update/UpdateError.h"

#include <filesystem>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace update {
namespace {

namespace fs = std::filesystem;
using service::kCurrentSetLink;
using service::kPreviousSetLink;
using service::kStoredSetsFolder;

constexpr char kLockFile[] = ".lock";
constexpr char kNewSetPrefix[] = ".new-";
constexpr char kNewLinkSuffix[] = ".new";

void FlushFolder(const fs::path& folder) {
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    fsync(descriptor);
    close(descriptor);
}

std::string UtcStamp() {
    return service::UtcNow("%Y%m%dT%H%M%SZ");
}

}  // namespace

SetStore::SetStore(std::string root) : m_root(std::move(root)) {}

SetStore::~SetStore() {
    if (m_lock >= 0) close(m_lock);
}

void SetStore::Lock(std::chrono::milliseconds wait) {
    std::error_code error;
    fs::create_directories(fs::path(m_root) / kStoredSetsFolder, error);
    if (error) throw UpdateError(m_root + ": cannot make the store: " + error.message());
    const std::string path = (fs::path(m_root) / kLockFile).string();
    m_lock = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_lock < 0) throw UpdateError(path + ": cannot open the lock");
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (flock(m_lock, LOCK_EX | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            std::string holder;
            std::ifstream(path) >> holder;
            throw UpdateError(
                "another update" + (holder.empty() ? std::string() : " (process " + holder + ")") +
                " holds " + path + "; gave up after " + std::to_string(wait.count() / 1000) + " s");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(m_lock, 0) == 0) {
        [[maybe_unused]] const ssize_t written = pwrite(m_lock, pid.data(), pid.size(), 0);
    }
}

std::vector<std::string> SetStore::RemoveLeftovers() {
    const std::optional<std::string> current = LinkTarget(kCurrentSetLink);
    const std::optional<std::string> previous = LinkTarget(kPreviousSetLink);
    std::vector<std::string> removed;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(m_root) / kStoredSetsFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (name == current || name == previous) continue;
        fs::remove_all(entry.path(), error);
        removed.push_back(entry.path().string());
    }
    for (const char* link : {kCurrentSetLink, kPreviousSetLink}) {
        const fs::path half = fs::path(m_root) / (std::string(link) + kNewLinkSuffix);
        if (fs::is_symlink(half, error)) {
            fs::remove(half, error);
            removed.push_back(half.string());
        }
    }
    return removed;
}

std::optional<std::string> SetStore::LinkTarget(const char* link) const {
    std::error_code error;
    const fs::path target = fs::read_symlink(fs::path(m_root) / link, error);
    if (error) return std::nullopt;
    return target.filename().string();
}

std::optional<std::string> SetStore::CurrentSet() const {
    const auto name = LinkTarget(kCurrentSetLink);
    if (!name) return std::nullopt;
    return (fs::path(m_root) / kStoredSetsFolder / *name).string();
}

std::optional<std::string> SetStore::PreviousSet() const {
    const auto name = LinkTarget(kPreviousSetLink);
    if (!name) return std::nullopt;
    return (fs::path(m_root) / kStoredSetsFolder / *name).string();
}

std::string SetStore::NewSetFolder() {
    const fs::path folder = fs::path(m_root) / kStoredSetsFolder /
                            (kNewSetPrefix + UtcStamp() + "-" + std::to_string(getpid()));
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) throw UpdateError(folder.string() + ": cannot make: " + error.message());
    return folder.string();
}

void SetStore::PointLink(const char* link, const std::string& setName) {
    const fs::path path = fs::path(m_root) / link;
    const fs::path half = fs::path(m_root) / (std::string(link) + kNewLinkSuffix);
    std::error_code error;
    fs::remove(half, error);
    fs::create_symlink(fs::path(kStoredSetsFolder) / setName, half, error);
    if (!error) fs::rename(half, path, error);
    if (error) {
        fs::remove(half);
        throw UpdateError(path.string() + ": cannot replace the link: " + error.message());
    }
}

std::string SetStore::Commit(const std::string& folder) {
    const fs::path sets = fs::path(m_root) / kStoredSetsFolder;
    std::string name = UtcStamp();
    for (int n = 2; fs::exists(sets / name); ++n) name = UtcStamp() + "-" + std::to_string(n);
    std::error_code error;
    fs::rename(folder, sets / name, error);
    if (error) throw UpdateError(folder + ": cannot put in place: " + error.message());
    FlushFolder(sets);
    if (const auto current = LinkTarget(kCurrentSetLink)) PointLink(kPreviousSetLink, *current);
    PointLink(kCurrentSetLink, name);
    FlushFolder(m_root);
    RemoveLeftovers();
    return (sets / name).string();
}

void SetStore::Rollback() {
    const auto current = LinkTarget(kCurrentSetLink);
    const auto previous = LinkTarget(kPreviousSetLink);
    if (!previous || !fs::is_directory(fs::path(m_root) / kStoredSetsFolder / *previous)) {
        throw UpdateError(m_root + ": no previous data set to go back to");
    }
    PointLink(kCurrentSetLink, *previous);
    if (current) PointLink(kPreviousSetLink, *current);
    FlushFolder(m_root);
}

}  // namespace update
