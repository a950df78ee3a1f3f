#include "app/FileOpener.h"

namespace tarnwick {

short FileOpener(Session &session, const std::string &path, short mode, short /*recordLength*/) {
    if (mode < ModeOutput || mode > ModeBinary)
        return 0;
    try {
        try {
            return session.files.Open(path, static_cast<OpenMode>(mode));
        } catch (const FileError &error) {
            if (error.number() != fileerr::FileNotFound)
                throw;
        }
        short number = session.files.Open(path, ModeOutput);
        session.files.Print(number, session.AppFolder);
        session.files.Print(number, session.AppFolder);
        session.files.Close(number);
    } catch (const FileError &error) {
        session.prompter.notify("FileOpener: Error: " + std::to_string(error.number()));
    }
    return 0;
}

} // namespace tarnwick
