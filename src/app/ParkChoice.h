#pragma once
// The operator's choice of the park's folder through a folder dialog, with the offer to make an
// empty park where there is none, and the writing of that choice to path.txt.
#include "app/Session.h"

#include <string>

namespace tarnwick {

enum class ParkChoice {
    Open, // a folder that holds the park, or one to make a new park in
    New   // a folder without a park, to make one in
};

// The folder dialog's titles.
extern const char *const kChooseParkTitle;
extern const char *const kNewParkTitle;
// The question that follows Yes to making a park, on its two lines: Yes makes a Jet 4 park.
extern const char *const kParkFormatQuestion;
extern const char *const kParkFormatNo;

// Asks for a folder until one holds a park or gets a new one, then opens it (DbFolder,
// ParkConnection) and writes its folder on both lines of AppFolder/path.txt. A folder that cannot
// serve is said in one sentence and the dialog comes again, with nothing written. False when the
// operator cancelled: the session is as it was.
bool ChoosePark(Session &session, ParkChoice choice);

} // namespace tarnwick
