#include "editors/ui/frmGuestDef.h"

#include "editors/ui/EditorGrid.h"
#include "editors/ui/EditorWidgets.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QVBoxLayout>

namespace tarnwick {
namespace {

struct BoxSpec {
    const char *caption;
    int index;
    const char *tip;
};

// The panel's rows, left to right; Data(10), the notes, is a taller box of its own.
const std::vector<std::vector<BoxSpec>> kRows = {
    {{"Name", 1, "Enter the Guest Name Ex: Last, First"},
     {"Vehicle", 11, "Enter the Guest Vehicle Make and/or Model Vehicle"}},
    {{"Address1", 2, "Enter the Guest's Address line 1"}, {"VIN", 12, "Enter the Guest's VIN "}},
    {{"Address2", 3, "Enter the Guest's Address line 2"},
     {"LicensePlate", 13, "Enter the Guest's License Plate"},
     {"DLNumber", 14, "Enter the Guest's Drivers License Number"}},
    {{"City", 4, "Enter the Guest's City"},
     {"State", 5, "Enter the Guest's State"},
     {"Zip", 6, "Enter the Guest's Zip Code"},
     {"Arrival", 15, "Enter the Guest's Arrival Date"},
     {"Departure", 16, "Enter the Guest's Departure Date"},
     {"Site", 17, "Enter the Site Alias ONLY IF THE GUEST IS STILL THERE"}},
    {{"Phone", 7, "Enter the Guest's Phone Number"},
     {"Cell Phone", 8, "Enter the Guest's Cell Phone Number"},
     {"NoPeople", 18, "Enter the Number of people in the Guest's party"},
     {"Length", 19, "Enter the Length of the Guest Vehicle"},
     {"Width", 20, "Enter the Width of the Guest Vehicle"}},
    {{"Email", 9, "Enter the Guest's  Email"}, {"Pets", 21, "Enter the Guest's Pet information/names"}},
};

} // namespace

frmGuestDef::frmGuestDef(Navigator &navigator) : EditorWindow(navigator), editor_(navigator.session) {
    setObjectName("frmGuestDef");
    setWindowTitle("Guest Definition");

    QVBoxLayout *layout =
        centralColumn("On this Panel you can Modify, or Delete a Guest.  Below is what are currently defined:");

    QGroupBox *frame1 =
        gridFrame("Current Guests Defined ", editor_.grid, "Guests.",
                  [this](int x, int y, long r, int c) { act([&] { editor_.Click(x, y, r, c); }, false); });
    layout->addWidget(frame1, 1);
    layout->addWidget(buildPanel());
    layout->addWidget(navigationRow({{"<========= GoTo Sites", "Command2", WindowId::SiteEditor},
                                     {"GoTo Import Data ==>", "Command7", WindowId::Import},
                                     {"<== Return to Site Types", "Command6", WindowId::Main}}));
    helpMenu("Guest Definition Help", "mnuGuest", 120);

    act([this] { editor_.LoadGrid2(); }, true);
    resize(Pixels(15000), Pixels(10500));
}

QWidget *frmGuestDef::buildPanel() {
    frame2_ = new QGroupBox("Selected Guest ");
    frame2_->setObjectName("Frame2");
    auto *rows = new QVBoxLayout(frame2_);
    for (std::size_t r = 0; r < kRows.size(); ++r) {
        auto *line = new QHBoxLayout;
        for (const BoxSpec &spec : kRows[r]) {
            data_[spec.index] = EditorBox(QString("Data_%1").arg(spec.index), spec.tip);
            line->addWidget(BoxCaption(spec.caption, data_[spec.index]));
            line->addWidget(data_[spec.index], spec.index == 1 ? 3 : 1);
        }
        if (r == 0) {
            check1_ = NamedCheck("No Rent", "Check1", "Check if you do NOT want to rent to this Guest");
            line->addWidget(check1_);
        }
        rows->addLayout(line);
    }
    auto *last = new QHBoxLayout;
    // A box of double height, an entry box like the others.
    data_[10] = EditorBox("Data_10", "Enter the any Notes about the Guest");
    data_[10]->setFixedHeight(2 * data_[10]->sizeHint().height());
    last->addWidget(BoxCaption("Notes", data_[10]));
    last->addWidget(data_[10], 1);
    command3_ = NamedButton("Delete Guest", "Command3");
    command4_ = NamedButton("Save Guest", "Command4");
    command5_ = NamedButton("Clear", "Command5");
    for (QPushButton *b : {command3_, command4_, command5_}) {
        last->addWidget(b);
        b->setVisible(false);
    }
    rows->addLayout(last);
    connect(command3_, &QPushButton::clicked, this, [this] { act([this] { editor_.Delete(); }, true); });
    connect(command4_, &QPushButton::clicked, this, [this] { act([this] { editor_.Save(); }, true); });
    connect(command5_, &QPushButton::clicked, this, [this] { act([this] { editor_.Clear(); }, false); });
    return frame2_;
}

void frmGuestDef::readState() {
    GuestEditorState &s = editor_.state;
    for (int k = 1; k <= 21; ++k)
        s.Data[k] = data_[k]->text().toStdString();
    s.Check1 = check1_->isChecked();
}

void frmGuestDef::showState() {
    const GuestEditorState &s = editor_.state;
    for (int k = 1; k <= 21; ++k) {
        data_[k]->setText(QString::fromStdString(s.Data[k]));
    }
    check1_->setChecked(s.Check1);
    frame2_->setTitle(QString::fromStdString(s.Frame2));
    command3_->setText(QString::fromStdString(s.Command3));
    command4_->setText(QString::fromStdString(s.Command4));
    for (QPushButton *b : {command3_, command4_, command5_})
        b->setVisible(s.editButtonsVisible);
    noSites_->setText(QString::fromStdString(s.NoSites));
}

} // namespace tarnwick
