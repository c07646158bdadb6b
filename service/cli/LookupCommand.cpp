#include "LookupCommand.h"

#include "DataError.h"
#include "GeoData.h"
#include "LookupOptions.h"
#include "LookupRun.h"
#include "ProgressLine.h"

#include <memory>
#include <optional>

namespace cli {

int RunLookupCommand(std::span<const std::string_view> arguments, std::istream& in,
                     std::ostream& out, std::ostream& errors, bool errorsOnTerminal) {
    LookupOptions options;
    try {
        options = ParseLookupOptions(arguments);
    } catch (const UsageError& error) {
        errors << "wherix-lookup: " << error.what() << '\n' << LookupUsageText();
        return kUsage;
    }
    if (options.showHelp) {
        out << LookupUsageText();
        return kAllAnswered;
    }
    if (options.showVersion) {
        out << "wherix-lookup (" << LOKARO_PRODUCT_NAME << ") " << LOKARO_VERSION << '\n';
        return kAllAnswered;
    }

    std::unique_ptr<service::GeoData> data;
    try {
        data = std::make_unique<service::GeoData>(options.dataFolder);
    } catch (const service::DataError& error) {
        errors << "wherix-lookup: " << service::DataErrorAdvice(error, options.dataFolder);
        return kNoData;
    }

    std::optional<ProgressLine> progress;
    if (errorsOnTerminal) progress.emplace(errors);
    LookupRun run(*data, options.json, out, errors, progress ? &*progress : nullptr);
    bool readAll = true;
    for (const std::string_view source : options.sources) {
        if (source != kStandardInput) {
            run.AnswerArgument(source);
        } else if (!run.AnswerLines(in)) {
            readAll = false;
        }
    }
    run.Finish();
    out.flush();
    if (progress) progress->Wipe();
    if (!readAll || !out) {
        errors << "wherix-lookup: "
               << (readAll ? "cannot write the answers" : "cannot read the input") << '\n';
        return kInputOutputFailed;
    }
    return run.sawBadAddress() ? kSomeBad : kAllAnswered;
}

}  // namespace cli
