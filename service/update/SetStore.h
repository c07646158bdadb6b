#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace update {

// A store of data sets as wherix-update keeps it (service/core/data/DataSetLocation.h):
// sets/<id>/ each a whole set never changed again, `current` and `previous` links naming
// two of them. A set is made in sets/.new-<id>/ and put in use by renames only, so a
// reader sees the old set or the new one, never a mixture.
class SetStore {
public:
    explicit SetStore(std::string root);
    ~SetStore();
    SetStore(const SetStore&) = delete;
    SetStore& operator=(const SetStore&) = delete;

    const std::string& root() const { return m_root; }

    // Takes the store's lock (root/.lock, made with the store when missing), waiting at
    // most `wait` for another run to finish. Throws UpdateError saying which process holds
    // it when the time is up.
    void Lock(std::chrono::milliseconds wait);

    // Removes what an interrupted run left behind (sets being made, links being replaced,
    // sets no link names); with the lock held nobody else is writing. Returns their names.
    std::vector<std::string> RemoveLeftovers();

    // The folder of the set in use, or before it; nothing when the store has none.
    std::optional<std::string> CurrentSet() const;
    std::optional<std::string> PreviousSet() const;

    // A new empty folder for a set being made.
    std::string NewSetFolder();
    // Puts the set made in folder (from NewSetFolder) in use: renamed to sets/<id>,
    // `previous` pointed at the set in use, `current` at the new one, and sets neither link
    // names removed. Returns the new set's folder. Throws UpdateError.
    std::string Commit(const std::string& folder);
    // Puts the previous set back in use, and the one in use becomes the previous one.
    // Throws UpdateError when there is no previous set.
    void Rollback();

private:
    std::optional<std::string> LinkTarget(const char* link) const;
    void PointLink(const char* link, const std::string& setName);

    std::string m_root;
    int m_lock = -1;
};

}  // namespace update
