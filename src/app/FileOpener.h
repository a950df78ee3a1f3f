#pragma once
#include "app/Session.h"

#include <string>

namespace tarnwick {

// Opens `path` in mode `mode` (1 output, 2 input, 3 append, 4 random, 5 binary) and yields the file
// number, or 0 when nothing was opened. An input file that does not exist is created holding the
// application folder on two lines (this is how path.txt gets its default); any other failure is
// reported to the operator. A mode outside 1 to 5 opens nothing and says nothing. The record length
// is accepted for modes 2 and 4 and has no effect on line-by-line reading.
short FileOpener(Session &session, const std::string &path, short mode, short recordLength = 0);

} // namespace tarnwick
