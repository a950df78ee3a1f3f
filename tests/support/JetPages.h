#pragma once
// The pages a Jet table holds, with the outside readers.
#include "support/JetReaders.h"
