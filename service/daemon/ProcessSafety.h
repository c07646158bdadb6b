#pragma once

#include <string>

namespace service {

// Makes sure descriptors 0, 1 and 2 are open, on /dev/null where they were closed, so that
// nothing the service opens later (its listening socket, a data file) takes the place of
// standard error and receives the log. Call first thing in main.
void KeepStandardDescriptorsOpen();

// The service writes its log to a standard error that may be a pipe whose reader goes
// away; a write there must fail with EPIPE, not end the process.
void IgnoreBrokenPipes();

// The databases are mapped into memory; a file cut short in place (instead of replaced by
// rename) makes the next read of a page beyond its new end raise SIGBUS. The service then
// says so in one line on standard error and dies of the signal as before, so a service
// manager sees the failure and restarts it.
void ReportDataFaults(const std::string& dataFolder);

}  // namespace service
