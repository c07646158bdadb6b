#pragma once

#include "service/update/Downloader.h"

#include <ostream>
#include <span>
#include <string_view>

namespace update {

// Exit statuses of wherix-update.
inline constexpr int kUpdateDone = 0;
inline constexpr int kUpdateFailed = 1;
inline constexpr int kUpdateUsage = 2;

// wherix-update with the arguments after the program name: reports on out when something
// changed (or always, with --json), errors on err. Returns the exit status. Downloads are
// made with `downloads`, its mirror set from the arguments.
int RunUpdateCommand(std::span<const std::string_view> arguments, std::ostream& out,
                     std::ostream& err, DownloadOptions downloads = {});

}  // namespace update
