#pragma once
#include "app/Session.h"

#include <optional>
#include <string>

namespace tarnwick {

// Offers to write a copy of a delimited source with every line wrapped in quotes and every comma
// turned into quote-comma-quote, beside the source as "<base> New.<EXT>". Returns the new file's
// name when it was written, nothing when the operator cancelled or the source could not be read.
std::optional<std::string> OfferQuoteRepair(Session &session, const std::string &fileName);

// The repair itself, without the question: writes the copy and shows the closing message.
std::optional<std::string> RepairQuotes(Session &session, const std::string &fileName);

} // namespace tarnwick
