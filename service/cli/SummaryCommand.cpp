#include "service/cli/SummaryCommand.h"

#include "service/cli/LookupCommand.h"
#include "service/cli/ProgressLine.h"
#include "service/summary/ByteSources.h"
#include "service/summary/LogLines.h"
#include "service/summary/Summary.h"
#include "service/summary/SummaryOutputs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

namespace cli {
namespace {

constexpr std::string_view kStandardInputName = "standard input";

// The bytes all sources hold, when every one is a file of known size.
std::optional<std::uint64_t> TotalSize(const LookupOptions& options) {
    std::uint64_t total = 0;
    for (const std::string_view source : options.sources) {
        std::error_code error;
        const std::filesystem::path path(source);
        if (source == kStandardInput || !std::filesystem::is_regular_file(path, error)) {
            return std::nullopt;
        }
        total += std::filesystem::file_size(path, error);
        if (error) return std::nullopt;
    }
    return total;
}

std::string Formatted(const summary::Summary& result, SummaryFormat format) {
    switch (format) {
        case SummaryFormat::kCsv:
            return summary::SummaryCsv(result);
        case SummaryFormat::kJson:
            return summary::SummaryJson(result);
        case SummaryFormat::kText:
            break;
    }
    return summary::SummaryText(result);
}

// Writes beside the file and renames, so that the file is never seen half written and an
// old report stays until the new one is whole.
bool WriteWhole(const std::string& path, const std::string& contents) {
    const std::string temporary = path + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        file.close();
        if (!file) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

int RunSummaryCommand(const LookupOptions& options, const service::GeoData& data, std::istream& in,
                      std::ostream& out, std::ostream& errors, bool errorsOnTerminal) {
    std::optional<ProgressLine> progress;
    if (errorsOnTerminal) {
        progress.emplace(errors, std::chrono::steady_clock::now, ProgressUnit::kBytes,
                         TotalSize(options));
    }
    const auto report = [&](std::string_view name, std::string_view message) {
        if (progress) progress->Wipe();
        errors << "wherix-lookup: " << name << ": " << message << '\n';
    };

    summary::VisitorTally tally(options.extract ? summary::LineReading::kExtract
                                                : summary::LineReading::kWholeLine);
    bool readAll = true;
    for (const std::string_view name : options.sources) {
        const bool standardInput = name == kStandardInput;
        try {
            std::unique_ptr<summary::ByteSource> source;
            if (standardInput) {
                source = std::make_unique<summary::StreamSource>(in);
            } else {
                source = std::make_unique<summary::FileSource>(std::string(name));
            }
            summary::LogLines lines(*source, [&](std::size_t bytes) {
                if (progress) progress->Count(bytes);
            });
            while (const auto line = lines.Next()) tally.CountLine(*line);
        } catch (const summary::InputError& error) {
            report(standardInput ? kStandardInputName : name, error.what());
            readAll = false;
        }
    }

    summary::Summary result = summary::Summarise(tally, data, options.top);
    result.data = summary::SourcesOf(data.record());
    if (progress) progress->Wipe();

    bool wroteAll = true;
    if (!options.htmlFile.empty() && !WriteWhole(options.htmlFile, summary::SummaryHtml(result))) {
        report(options.htmlFile, "cannot write the report");
        wroteAll = false;
    }
    const std::string text = Formatted(result, options.format);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
        errors << "wherix-lookup: cannot write the summary\n";
        wroteAll = false;
    }
    if (!readAll || !wroteAll) return kInputOutputFailed;
    if (tally.notAddresses() > 0) {
        errors << "wherix-lookup: " << tally.notAddresses()
               << (tally.notAddresses() == 1 ? " line was" : " lines were")
               << " not an address (--extract finds addresses inside lines)\n";
        return kSomeBad;
    }
    return kAllAnswered;
}

}  // namespace cli
