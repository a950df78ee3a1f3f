#include "db/jet/GeneralSortKey.h"

#include "db/jet/BigEndian.h"
#include "db/jet/JetText.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace tarnwick::jet {
namespace {

// What a character adds to a key beyond its primary weight.
enum class Extra : std::uint8_t {
    None,
    Kana,
    SmallKana,
    // A Japanese voicing mark: its weight adds to the mark of the character before; alone it is nothing.
    VoicingMark,
};

// Characters `first` to `first + count - 1` weigh alike, but that the primary weight, and the
// weight of a left-out character, go up by one from one character to the next. A character with
// no primary weight but a mark is a combining mark: it adds to the mark of the weighted character
// before it. One with neither and no left-out weight is ignored.
struct WeightRun {
    std::uint16_t first;
    std::uint16_t count;
    std::uint32_t primary;
    std::uint8_t primaryLength;
    std::uint16_t marks;
    std::uint8_t marksLength;
    Extra extra;
    std::uint8_t leftOut;
};

// Every character of U+0001 to U+FFFD but the surrogates and U+FEFF, as the keys of an index
// holding each of them alone show them (the shared test data's jackcess-textkeys.mdb, KeyChar).
constexpr WeightRun kRuns[] = {
#define N Extra::None
#define K Extra::Kana
#define S Extra::SmallKana
#define V Extra::VoicingMark
#include "db/jet/GeneralSortWeights.inc"
#undef N
#undef K
#undef S
#undef V
};

constexpr char kSectionEnd = 0x01;
constexpr char kKeyEnd = 0x00;
constexpr std::uint8_t kNoMark = 0x02;
constexpr char kLeftOutScript = 0x06;
// A left-out character's place: this, plus four for each weighted character before it.
constexpr unsigned kFirstPlace = 0x8007;
// The sub-sections the kana section ends with after its small-kana flags.
constexpr char kKanaTail[] = {'\xFF', '\x02', '\x80', '\xFF', '\x80', '\xFF'};

const WeightRun *runOf(char16_t code) {
    const auto after = std::upper_bound(std::begin(kRuns), std::end(kRuns), code,
                                        [](char16_t c, const WeightRun &run) { return c < run.first; });
    if (after == std::begin(kRuns))
        return nullptr;
    const WeightRun *run = std::prev(after);
    return code < run->first + run->count ? run : nullptr;
}

// Two bits for each kana, small 10 and other 11, three to a byte after a leading 10; the flags
// after the last small kana are left out.
std::string kanaFlags(std::vector<bool> small) {
    while (!small.empty() && !small.back())
        small.pop_back();
    std::string out;
    for (std::size_t i = 0; i < small.size(); i += 3) {
        unsigned byte = 0x80;
        for (std::size_t j = i; j < std::min(i + 3, small.size()); ++j)
            byte |= (small[j] ? 2u : 3u) << (4 - 2 * (j - i));
        out += static_cast<char>(byte);
    }
    return out;
}

} // namespace

std::optional<std::string> GeneralSortKey(const std::string &utf8) {
    std::u16string codes = Utf16Units(utf8);
    while (!codes.empty() && codes.back() == u' ')
        codes.pop_back();
    std::string primary, leftOut;
    primary.reserve(3 * codes.size());
    std::vector<std::uint8_t> marks;
    marks.reserve(codes.size());
    std::vector<bool> kana;
    unsigned weighted = 0;
    for (const char16_t code : codes) {
        const WeightRun *run = runOf(code);
        if (!run)
            return std::nullopt;
        const unsigned step = code - run->first;
        if (run->primaryLength > 0) {
            AppendBigEndian(primary, run->primary + step, run->primaryLength);
            if (run->marksLength == 0)
                marks.push_back(kNoMark);
            for (unsigned i = run->marksLength; i-- > 0;)
                marks.push_back(static_cast<std::uint8_t>(run->marks >> (8 * i)));
            ++weighted;
        } else if (run->marksLength > 0) {
            const auto mark = static_cast<std::uint8_t>(run->marks);
            if (!marks.empty())
                marks.back() = static_cast<std::uint8_t>(marks.back() + mark);
            else if (run->extra != Extra::VoicingMark)
                marks.push_back(mark);
        }
        if (run->leftOut != 0) {
            const unsigned place = kFirstPlace + 4 * weighted;
            AppendBigEndian(leftOut, place, 2);
            leftOut += {kLeftOutScript, static_cast<char>(run->leftOut + step)};
        }
        if (run->extra == Extra::Kana || run->extra == Extra::SmallKana)
            kana.push_back(run->extra == Extra::SmallKana);
    }
    while (!marks.empty() && marks.back() == kNoMark)
        marks.pop_back();
    std::string key = std::move(primary);
    key += kSectionEnd;
    key.append(marks.begin(), marks.end());
    if (!kana.empty()) {
        key += std::string(2, kSectionEnd) + kanaFlags(kana) + std::string(kKanaTail, sizeof kKanaTail);
        if (leftOut.empty())
            key.pop_back();
        else
            key += kSectionEnd + leftOut;
    } else if (!leftOut.empty()) {
        key += std::string(3, kSectionEnd) + leftOut;
    }
    return key + kKeyEnd;
}

} // namespace tarnwick::jet
