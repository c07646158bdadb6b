#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace client {

// Dispatches the window events already queued, once, and returns.
void ProcessPendingEvents();

// The query page's decoder: byte by byte from code page 936, pumping the event queue
// (ProcessPendingEvents) before the first character and then once every kCharactersPerPump
// characters, so that a page of megabytes keeps the window alive without a pass per character
// (a pass costs microseconds, the character nanoseconds). A byte >= 0x80 always takes the next
// byte as its trail byte, whatever it is; one in the last position throws LookupFailure. The
// input is never changed, also when a handler run by the pump replaces the caller's array.
inline constexpr qsizetype kCharactersPerPump = 1024;
QString DecodeResponseBytes(const QByteArray& bytes);
// The same with another pump (tests count its calls).
QString DecodeResponseBytes(const QByteArray& bytes,
                            const std::function<void()>& processPendingEvents);

// The own-address page's conversion: the whole body from code page 936 at once.
// Never fails; invalid or truncated sequences become U+FFFD.
QString ConvertWholePage(const QByteArray& bytes);

}  // namespace client
