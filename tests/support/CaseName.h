#pragma once
// Readable names for the cases of a data-driven test: the words of a description run together, each
// capitalised ("store items: price, taxable" -> StoreItemsPriceTaxable), as gtest's names allow.
#include <cctype>
#include <string>

namespace tarnwick {

inline std::string CaseName(const std::string &description) {
    std::string name;
    bool wordStart = true;
    for (const char c : description) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte))
            name += wordStart ? static_cast<char>(std::toupper(byte)) : c;
        wordStart = !std::isalnum(byte);
    }
    return name;
}

} // namespace tarnwick
