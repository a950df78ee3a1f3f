#include "editors/ui/frmGuestDef.h"

#include "app/ui/EntryFocus.h"
#include "editors/ui/EditorGrid.h"
#include "editors/ui/EditorWidgets.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
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

frmGuestDef::frmGuestDef(Navigator &navigator)
    : navigator_(navigator), session_(navigator.session), editor_(navigator.session) {
    setObjectName("frmGuestDef");
    setWindowTitle("Guest Definition");
    setAttribute(Qt::WA_DeleteOnClose);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    // The frame is 300 twips and the grid 600 twips narrower than the window, whatever its width.
    layout->setContentsMargins(Pixels(150), 6, Pixels(150), 6);
    auto *label1 = new QLabel("On this Panel you can Modify, or Delete a Guest.  Below is what are currently defined:");
    label1->setObjectName("Label1");
    layout->addWidget(label1);

    auto *frame1 = new QGroupBox("Current Guests Defined ");
    frame1->setObjectName("Frame1");
    auto *inFrame = new QVBoxLayout(frame1);
    inFrame->setContentsMargins(Pixels(150), 6, Pixels(150), 6);
    grid_ = new EditorGrid(editor_.grid, [this](int x, int y, long r, int c) {
        act([&] { editor_.Click(x, y, r, c); }, false);
    });
    grid_->setMinimumHeight(Pixels(2000));
    inFrame->addWidget(grid_, 1);
    auto *count = new QHBoxLayout;
    count->addWidget(new QLabel("There are Currently "));
    noSites_ = new QLabel("0000");
    noSites_->setObjectName("NoSites");
    count->addWidget(noSites_);
    count->addWidget(new QLabel("Guests."));
    count->setSpacing(0);
    count->addStretch(1);
    inFrame->addLayout(count);
    layout->addWidget(frame1, 1);
    layout->addWidget(buildPanel());
    layout->addWidget(buildNavigation());
    setCentralWidget(central);

    QMenu *help = menuBar()->addMenu("Help");
    help->setObjectName("mnuHelp");
    help->addAction("Guest Definition Help")->setObjectName("mnuGuest");

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
    notes_ = new QPlainTextEdit;
    notes_->setObjectName("Data_10");
    notes_->setToolTip("Enter the any Notes about the Guest");
    InstallEntryFocus(notes_);
    notes_->setFixedHeight(2 * notes_->fontMetrics().height() + 12);
    last->addWidget(BoxCaption("Notes", notes_));
    last->addWidget(notes_, 1);
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

QWidget *frmGuestDef::buildNavigation() {
    auto *buttons = new QWidget;
    auto *layout = new QHBoxLayout(buttons);
    layout->setContentsMargins(0, 0, 0, 0);
    const std::pair<QPushButton *, WindowId> targets[] = {
        {NamedButton("<========= GoTo Sites", "Command2"), WindowId::SiteEditor},
        {NamedButton("GoTo Import Data ==>", "Command7"), WindowId::Import},
        {NamedButton("<== Return to Site Types", "Command6"), WindowId::Main}};
    for (const auto &[button, target] : targets) {
        layout->addWidget(button);
        const WindowId id = target;
        connect(button, &QPushButton::clicked, this,
                [this, id] { RunHandler(session_, [&] { navigator_.goTo(this, id); }); });
    }
    return buttons;
}

void frmGuestDef::act(const std::function<void()> &action, bool gridChanged) {
    RunHandler(session_, [&] {
        readState();
        action();
        if (gridChanged)
            grid_->refresh();
        showState();
    });
}

void frmGuestDef::readState() {
    GuestEditorState &s = editor_.state;
    for (int k = 1; k <= 21; ++k)
        s.Data[k] = k == 10 ? notes_->toPlainText().toStdString() : data_[k]->text().toStdString();
    s.Check1 = check1_->isChecked();
}

void frmGuestDef::showState() {
    const GuestEditorState &s = editor_.state;
    for (int k = 1; k <= 21; ++k) {
        if (k == 10)
            notes_->setPlainText(QString::fromStdString(s.Data[k]));
        else
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

frmGuestDef::~frmGuestDef() {
    grid_->setModel(nullptr);
}

void frmGuestDef::closeEvent(QCloseEvent *event) {
    session_.SelectedId = 0;
    navigator_.unloading();
    event->accept();
}

} // namespace tarnwick
