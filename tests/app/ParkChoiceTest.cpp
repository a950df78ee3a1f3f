// The choice of the park's folder: a park opened or made where the operator points, path.txt
// written then and only then, and every folder that cannot serve refused in one sentence.
#include "app/ParkChoice.h"
#include "db/OpenEngine.h"
#include "db/ParkSchema.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

// The names and sizes of everything under `folder`, to see that nothing was written there.
Texts listing(const std::string &folder) {
    Texts out;
    std::error_code error;
    for (const auto &entry : fs::recursive_directory_iterator(folder, error))
        out.push_back(entry.path().string() + (entry.is_regular_file() ? std::to_string(entry.file_size()) : "/"));
    std::sort(out.begin(), out.end());
    return out;
}

TEST(ParkChoiceTest, AParkIsOpenedOrMadeWhereChosenAndEveryFolderThatCannotServeIsRefused) {
    TempDir parks;
    NoProgress progress;
    FixedClock clock{2026, 12, 4, 9, 5};
    const std::string made = parks.file("made"), gone = parks.file("gone");
    struct Case {
        ParkChoice choice;
        std::string chosen; // in the folder dialog
        std::function<void(ScriptedPrompter &)> prepare;
        bool opens;
        Texts said; // after the dialog's title, FOLDER standing for the folder; after a refusal the title again
    };
    const std::string offer = "There is no Park.MDB in FOLDER.\r\nDo you want to create an empty park there?",
                      format = std::string(kParkFormatQuestion) + "\r\n" + kParkFormatNo;
    // clang-format off
    const Case cases[] = {
        {ParkChoice::Open, parks.file("park") + "/",
         [&](auto &) { CreateParkDatabase(parks.file("park"), ParkFormat::Jet); }, true, {}},
        // No to the offer asks again; Yes makes a Jet 4 park.
        {ParkChoice::New, made, [&](ScriptedPrompter &prompter) {
             fs::create_directory(made);
             prompter.folders.push_front(made);
             prompter.answers = {Answer::No, Answer::Yes, Answer::Yes};
         }, true, {offer, kNewParkTitle, offer, format}},
        {ParkChoice::Open, "/proc", [](auto &) {}, false,
         {"Tarnwick cannot make files in FOLDER, so it cannot keep a park there."}},
        {ParkChoice::Open, parks.file("junk"), [&](auto &) {
             fs::create_directory(parks.file("junk"));
             parks.write("junk/Park.MDB", std::string(3000, 'j'));
         }, false, {"The Park.MDB in FOLDER is not a park database, so Tarnwick cannot use it."}},
        // The folder removed while the questions waited is not made again.
        {ParkChoice::Open, gone, [&](ScriptedPrompter &prompter) {
             fs::create_directory(gone);
             prompter.answers = {Answer::Yes, Answer::Yes};
             prompter.onShow = [&](const Shown &shown) {
                 if (shown.kind == Shown::Question)
                     fs::remove(gone);
             };
         }, false, {offer, format, "The folder FOLDER is no longer there, so no park was made in it."}},
        {ParkChoice::Open, parks.file("never"), [](auto &) {}, false, {"There is no folder FOLDER."}},
        {ParkChoice::New, parks.file("park"), [](auto &) {}, false,
         {"There is a Park.MDB in FOLDER already; a new park needs a folder without one."}},
    };
    // clang-format on
    for (const Case &c : cases) {
        const std::string folder = c.chosen.back() == '/' ? c.chosen.substr(0, c.chosen.size() - 1) : c.chosen;
        SCOPED_TRACE(folder);
        TempDir config;
        ScriptedPrompter prompter;
        Session session(prompter, progress, clock);
        session.AppFolder = config.path();
        session.DbFolder = "/before";
        c.prepare(prompter);
        const Texts before = listing(parks.path());
        prompter.folders.push_back(c.chosen);
        prompter.folders.push_back(std::nullopt);

        EXPECT_EQ(ChoosePark(session, c.choice), c.opens);
        const std::string title = c.choice == ParkChoice::Open ? kChooseParkTitle : kNewParkTitle;
        Texts said{title};
        for (std::string text : c.said) {
            if (text.find("FOLDER") != std::string::npos)
                text.replace(text.find("FOLDER"), 6, folder);
            said.push_back(text);
        }
        if (!c.opens)
            said.push_back(title);
        EXPECT_EQ(prompter.texts(), said);
        if (c.opens) {
            EXPECT_EQ(session.DbFolder, folder);
            EXPECT_EQ(DetectDatabaseFormat(folder + "/Park.MDB"), DatabaseFormat::Jet4);
            EXPECT_NO_THROW(RequireParkTables(*session.ParkConnection));
            EXPECT_EQ(config.read("path.txt"), folder + "\r\n" + folder + "\r\n");
            continue;
        }
        // Nothing written: no park, no folder made again, no path.txt, the session as it was.
        Texts now = listing(parks.path());
        if (folder == gone)
            now.push_back(gone + "/");
        std::sort(now.begin(), now.end());
        EXPECT_EQ(now, before);
        EXPECT_EQ(listing(config.path()), Texts{});
        EXPECT_EQ(session.DbFolder, "/before");
        EXPECT_FALSE(session.ParkConnection);
    }
}

} // namespace
} // namespace tarnwick
