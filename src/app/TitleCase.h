#pragma once
#include "app/Session.h"

#include <string>

namespace tarnwick {

// Capitalises `text` in place the way names and site types are written: the first character and
// every character after a full stop, a blank or a comma are upper-cased; nothing is lowered;
// surrounding blanks are removed. The result is also left in session.TitleCaseResult.
void TitleCase(Session &session, std::string &text);

// The conversion itself.
std::string TitleCased(std::string text);

} // namespace tarnwick
