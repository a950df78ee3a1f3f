#include "app/ui/frmDataImport1.h"

#include "app/HelpFile.h"
#include "app/Maintenance.h"
#include "app/Startup.h"
#include "app/TitleCase.h"
#include "app/Version.h"
#include "app/ui/EntryFocus.h"
#include "app/ui/WindowPlacement.h"
#include "app/ui/frmBackups.h"
#include "import/InterruptedImport.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {
namespace {

QLabel *wrappedLabel(const QString &text, const QString &name) {
    auto *label = new QLabel(text);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

QPushButton *button(const QString &caption, const QString &name) {
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    return b;
}

} // namespace

frmDataImport1::frmDataImport1(Navigator &navigator) : navigator_(navigator), session_(navigator.session) {
    setObjectName("frmDataImport1");
    setWindowTitle("Halvane Tarnwick");

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(wrappedLabel(
        "This Tool will take you through a step by step Park setup.  Please follow the steps in the order "
        "presented.  You will still need to enter your Park Information in the Halvane Software, this is only "
        "needed to load your Site and Guest Information.",
        "Label1"));
    layout->addWidget(wrappedLabel(
        "Please use this Tool if you have Excel, Text, or CSV Files containing your Existing Guests and/or Sites.  "
        "If you do NOT have these Files, this tool will NOT help you initially setup your Park or Property "
        "Management situation, just use Halvane.",
        "Label2"));

    auto *frame = new QGroupBox("Site Types  ");
    frame->setObjectName("Frame1");
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(wrappedLabel(
        "1) There are up to 10 Site Types you can use to define what you are renting to your Guests.  Each Type is "
        "limited to 10 Characters.  Examples of these could be: Cabin; Tent; Motorhome; Boat Slip; Trailer; "
        "Mobilehome; Primitive; Room; RV; etc.",
        "Label3"));
    auto *grid = new QGridLayout;
    for (int i = 1; i <= 10; ++i) {
        int row = (i - 1) / 5, column = (i - 1) % 5;
        auto *number = new QLabel(i < 10 ? QString("  %1").arg(i) : QString("10"));
        number->setObjectName(QString("Label%1").arg(10 + i));
        auto *box = new QLineEdit;
        box->setObjectName(QString("SType_%1").arg(i));
        box->setMaxLength(255);
        number->setBuddy(box);
        grid->addWidget(number, row, column * 2);
        grid->addWidget(box, row, column * 2 + 1);
        stype_[i] = box;
        InstallEntryFocus(box, [this, i] { SType_LostFocus(i); });
    }
    frameLayout->addLayout(grid);
    frameLayout->addWidget(wrappedLabel(
        "Please enter your Types or leave them Blank is you don't need them.  Also, please don't leave spaces in "
        "between 2 Types.  e.g. If you need 5 Types, fill in 1 - 5, not 1 - 3 and 5 - 6.",
        "Label4"));
    layout->addWidget(frame);

    auto *buttons = new QGridLayout;
    enterSites_ = button("Enter Sites Manually ==>", "Command1");
    auto *guests = button("Modify Guest Data ===>", "Command2");
    auto *imports = button("Import Data Files ====>", "Command3");
    auto *exportDb = button("Export Access DB", "Command4");
    exportDb->setToolTip("Use this tool to Open an Access DB to Export Tables");
    // The main window hides itself first, except for the export window, which is shown first.
    connect(enterSites_, &QPushButton::clicked, this, [this] {
        RunHandler(session_, [this] {
            ClearSiteTypes();
            LoadSiteTypes();
            navigator_.leaveMain(WindowId::SiteEditor, Navigator::Order::UnloadFirst);
        });
    });
    for (const auto &[button, target] : {std::pair{guests, WindowId::GuestEditor}, std::pair{imports, WindowId::Import},
                                         std::pair{exportDb, WindowId::Export}}) {
        const WindowId id = target;
        const auto order = id == WindowId::Export ? Navigator::Order::ShowFirst : Navigator::Order::UnloadFirst;
        connect(button, &QPushButton::clicked, this,
                [this, id, order] { RunHandler(session_, [this, id, order] { navigator_.leaveMain(id, order); }); });
    }
    buttons->addWidget(enterSites_, 0, 0);
    buttons->addWidget(guests, 0, 1);
    buttons->addWidget(imports, 1, 0);
    buttons->addWidget(exportDb, 1, 1);
    layout->addLayout(buttons);

    auto *version = new QLabel(QString("Version ") + kVersion);
    version->setObjectName("Label5");
    layout->addWidget(version, 0, Qt::AlignRight);
    setCentralWidget(central);

    AddHelpItem(navigator_, this, "Overview", "mnuOverview", 20);
    AddHelpItem(navigator_, this, "Help With Site Types", "mnuSiteTypes", 100);
    // After Help, which stays the menu the original window had first.
    QMenu *backups = menuBar()->addMenu("Backups");
    backups->setObjectName("mnuBackups");
    QAction *restore = backups->addAction("Restore a Backup...");
    restore->setObjectName("mnuRestore");
    connect(restore, &QAction::triggered, this, [this] {
        if (!backups_) {
            backups_ = new frmBackups(session_);
            backups_->setParent(this, Qt::Window);
        }
        backups_->refresh();
        if (backups_->isHidden())
            PlaceOver(backups_, this);
        backups_->show();
    });
    QMenu *park = menuBar()->addMenu("Park");
    park->setObjectName("mnuPark");
    // The current park's folder, shown where the operator looks for another.
    QAction *folder = park->addAction(QString());
    folder->setObjectName("mnuParkFolder");
    folder->setEnabled(false);
    connect(park, &QMenu::aboutToShow, this,
            [this, folder] { folder->setText("Park folder: " + QString::fromStdString(session_.DbFolder)); });
    park->addSeparator();
    QAction *open = park->addAction("Open Another Park...");
    open->setObjectName("mnuOpenPark");
    connect(open, &QAction::triggered, this, [this] { ChooseOtherPark(ParkChoice::Open); });
    QAction *make = park->addAction("New Park...");
    make->setObjectName("mnuNewPark");
    connect(make, &QAction::triggered, this, [this] { ChooseOtherPark(ParkChoice::New); });

    resize(640, 520);
}

frmDataImport1::~frmDataImport1() {
    if (QWidget *focused = focusWidget())
        focused->clearFocus();
}

void frmDataImport1::setVisible(bool visible) {
    if (!visible && isVisible())
        lastPosition_ = pos();
    else if (visible && !isVisible() && lastPosition_)
        PlaceAt(this, *lastPosition_);
    QMainWindow::setVisible(visible);
}

void frmDataImport1::closeEvent(QCloseEvent *event) {
    event->accept();
    QCoreApplication::quit();
}

SiteTypeBoxes frmDataImport1::boxTexts() const {
    SiteTypeBoxes texts;
    for (int i = 1; i <= 10; ++i)
        texts[i] = stype_[i]->text().toStdString();
    return texts;
}

void frmDataImport1::LoadSiteTypes() {
    SiteTypeBoxes texts = boxTexts();
    tarnwick::LoadSiteTypes(session_, texts);
    for (int i = 1; i <= 10; ++i)
        stype_[i]->setText(QString::fromStdString(texts[i]));
}

void frmDataImport1::ParkOpened() {
    LoadSiteTypes();
    enterSites_->setFocus();
    CheckInterruptedImport(session_);
    CheckLeftCompaction(session_);
    BackUpDB(session_, BackupReason::Initial);
}

void frmDataImport1::ChooseOtherPark(ParkChoice choice) {
    RunHandler(session_, [this, choice] {
        // A site-type box being typed in is saved to the park it belongs to first.
        if (QWidget *focused = focusWidget())
            focused->clearFocus();
        if (!ChoosePark(session_, choice))
            return;
        // The restore window lists the backups of the park that was open.
        if (backups_)
            backups_->close();
        InstallHelpFile(ExecutableFolder(), session_.DbFolder);
        ClearSiteTypes();
        ParkOpened();
    });
}

void frmDataImport1::ClearSiteTypes() {
    for (int i = 1; i <= 10; ++i)
        stype_[i]->clear();
}

void frmDataImport1::SType_LostFocus(int index) {
    std::string text = stype_[index]->text().toStdString();
    TitleCase(session_, text);
    stype_[index]->setText(QString::fromStdString(session_.TitleCaseResult));
    SaveSiteTypes(session_, boxTexts());
}

} // namespace tarnwick
