#pragma once
// The index walk of a Jet file, with the outside readers.
#include "support/JetReaders.h"
