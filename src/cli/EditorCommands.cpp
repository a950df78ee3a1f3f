// list, clone-site, edit and delete: the site and guest editors from the terminal, through the
// same rules as their windows.
#include "app/SiteTypes.h"
#include "cli/Commands.h"
#include "editors/GuestEditor.h"
#include "editors/SiteEditor.h"

#include <iostream>

namespace tarnwick {
namespace {

// The site types as ParkInfo holds them, as the main window's boxes would show them.
void useStoredSiteTypes(Session &session) {
    SiteTypeBoxes boxes;
    LoadSiteTypes(session, boxes);
    RebuildSiteTypeNames(session, boxes);
}

void printRow(const std::vector<std::string> &cells) {
    for (std::size_t c = 0; c < cells.size(); ++c)
        std::cout << (c ? "\t" : "") << cells[c];
    std::cout << "\n";
}

// The grid as the window shows it; a fill that stopped says so where the count line would be. A
// fill the park refused (a damaged park) is named on stderr, and the status is 1.
template <typename Editor>
int printGrid(CliSession &cli, Editor &editor, const std::function<void()> &load, const std::string &what) {
    cli.prompter.holdNotices(true);
    cli.session.LastRefusal.clear();
    load();
    if (!cli.session.LastRefusal.empty()) {
        cli.prompter.holdNotices(false);
        std::cerr << cli.session.LastRefusal << std::endl;
        return 1;
    }
    if (editor.grid.columnCount() > 0)
        printRow(editor.grid.titles);
    for (long r = 0; r < editor.grid.filledRows(); ++r)
        printRow(editor.grid.rowTexts(r));
    std::cout << "There are Currently " << editor.state.NoSites << what << std::endl;
    cli.prompter.holdNotices(false);
    return 0;
}

// Picks the row of `id` into the editor as a click on its ID cell does; false when there is none.
template <typename Editor> bool pickRow(Editor &editor, long id, const std::string &table) {
    const long row = editor.grid.rowOfId(id);
    if (row == 0) {
        std::cerr << "There is no row with ID " << id << " in " << table << "." << std::endl;
        return false;
    }
    editor.Click(0, 300, row, 0);
    return true;
}

// 0 when the park took the last change; otherwise its sentence on stderr and 1.
int refused(const Session &session) {
    if (session.LastRefusal.empty())
        return 0;
    std::cerr << session.LastRefusal << std::endl;
    return 1;
}

template <typename Editor>
int editRow(CliSession &cli, Editor &editor, const std::function<void()> &load, const EditOptions &options,
            const std::string &table) {
    load();
    if (!pickRow(editor, options.id, table))
        return 1;
    for (const std::string &assignment : options.assignments) {
        const std::size_t eq = assignment.find('=');
        std::optional<std::string> problem =
            eq == std::string::npos ? std::optional<std::string>("COLUMN=VALUE expected, not '" + assignment + "'")
                                    : editor.TypeInto(assignment.substr(0, eq), assignment.substr(eq + 1));
        if (problem) {
            std::cerr << *problem << std::endl;
            return 2;
        }
    }
    editor.Save();
    return refused(cli.session);
}

} // namespace

int RunList(CliSession &cli, bool sites) {
    if (sites) {
        useStoredSiteTypes(cli.session);
        SiteEditor editor(cli.session);
        return printGrid(
            cli, editor, [&] { editor.LoadGrid(); }, "Sites.");
    }
    GuestEditor editor(cli.session);
    return printGrid(
        cli, editor, [&] { editor.LoadGrid2(); }, "Guests.");
}

int RunEdit(CliSession &cli, const EditOptions &options) {
    if (options.sites) {
        useStoredSiteTypes(cli.session);
        SiteEditor editor(cli.session);
        return editRow(
            cli, editor, [&] { editor.LoadGrid(); }, options, "Sites");
    }
    GuestEditor editor(cli.session);
    return editRow(
        cli, editor, [&] { editor.LoadGrid2(); }, options, "Guest");
}

int RunDelete(CliSession &cli, bool sites, long id) {
    auto done = [&](auto &editor, const char *table) {
        if (!pickRow(editor, id, table))
            return 1;
        editor.Delete();
        return refused(cli.session);
    };
    if (sites) {
        SiteEditor editor(cli.session);
        editor.LoadGrid();
        return done(editor, "Sites");
    }
    GuestEditor editor(cli.session);
    editor.LoadGrid2();
    return done(editor, "Guest");
}

int RunCloneSite(CliSession &cli, const CloneOptions &options) {
    useStoredSiteTypes(cli.session);
    SiteEditor editor(cli.session);
    editor.LoadGrid();
    if (!pickRow(editor, options.id, "Sites"))
        return 1;
    for (int type : options.types) {
        if (type < 1 || type > 10 || !editor.state.SCTypeVisible[type]) {
            std::cerr << "--type " << type << ": the park has " << cli.session.SiteTypeCount << " site types"
                      << std::endl;
            return 2;
        }
        editor.state.SCType[type] = true;
    }
    editor.state.Text1 = options.count;
    editor.Text1Changed();
    const SiteEditor::CreateOutcome outcome = editor.Create();
    if (outcome == SiteEditor::CreateOutcome::Refused || outcome == SiteEditor::CreateOutcome::RefusedCount)
        return 1;
    return refused(cli.session);
}

} // namespace tarnwick
