#pragma once

#include "service/core/LookupAnswer.h"

#include <string>
#include <string_view>

namespace service {

// The service's two pages as UTF-8 HTML. The values are the answer's texts, which hold no
// markup characters (see DisplayedValue), so the program shows them as they are. The program cuts
// its results out of them at fixed markers (PageMarkers.h), so their shape is part of the
// service's interface:
//
// own-address page: full-width colon and "[", the address, "] ", then the words "from" and a
// full-width colon, the location, "<br/>"; no full-width colon and "[" before the address;
// query page: the page's first "<li>" opens item 1, and items 1 to 3 follow back to back,
// each closed by "</li>" and the next opened at once by "<li>"; no "<li>" or "</li>"
// comes before them.

// The page for the caller's own address, located by answer.
std::string OwnAddressPage(std::string_view address, AnswerView answer);

// The page for one query: the answer's three texts as the three items; queriedAddress is the
// address as the form shows it again (empty when the request held no valid address).
std::string QueryPage(std::string_view queriedAddress, AnswerView answer);

}  // namespace service
