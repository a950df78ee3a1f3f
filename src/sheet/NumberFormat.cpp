#include "sheet/NumberFormat.h"

namespace tarnwick {

bool IsBuiltInDateFormat(std::uint16_t id) {
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
}

bool IsDateFormatString(const std::string &format) {
    if (format == "General" || format == "Standard" || format == "GENERAL")
        return false;
    // Only the first section (positive numbers) decides.
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        switch (c) {
        case '"': {
            std::size_t close = format.find('"', i + 1);
            if (close == std::string::npos)
                return false;
            i = close;
            break;
        }
        case '\\':
        case '_':
        case '*':
            ++i;
            break;
        case '[': {
            std::size_t close = format.find(']', i + 1);
            if (close == std::string::npos)
                return false;
            // Elapsed-time brackets ([h], [mm], [ss]) are times; colours and conditions are not.
            std::string inner = format.substr(i + 1, close - i - 1);
            if (!inner.empty() && inner.find_first_not_of("hHmMsS") == std::string::npos)
                return true;
            i = close;
            break;
        }
        case ';':
            return false;
        case 'd':
        case 'D':
        case 'm':
        case 'M':
        case 'y':
        case 'Y':
        case 'h':
        case 'H':
        case 's':
        case 'S':
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace tarnwick
