#include "import/ui/frmReadEcel.h"

#include "app/ui/WindowPlacement.h"
#include "import/AddFiles.h"
#include "import/ImportWindowActions.h"
#include "import/Mapping.h"
#include "import/ui/ImportPanelTexts.h"
#include "import/ui/frmCheckReport.h"
#include "import/ui/frmSheets.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tarnwick {
namespace {

const char *const kFileInstructions =
    "This process requires you Export a Text CSV or Excel Spreadsheet of the Site or Guest information. The exported "
    "file MUST have the Titles of the Fields as the first line and each field, and in the case of the Txt & CSV "
    "files, be seperated by either a comma or semicolon.  Then you must be be aware that if you use a comma you "
    "can't have any other commas in the data; likewise, if you used semicolons there can't be any semicolons in the "
    "data.  If there are commas or semicolons in the data it will cause extra fields to be created and that will "
    "make the record input fail.  The error will be reported and you can continue the import just without that "
    "record.  The Excel Spreadsheet will have the best success rate for Importing.";

const char *const kPanelInstructions =
    "Place your Mouse over the Field Text to understand what the Input Format Must be.  Then Select the Field "
    "Header from the DropDown that best matches the Label above.  If there is no match, leave it blank and nothing "
    "will be imported for that field.  Site Number and Site Alias can be left Blank and will be entered "
    "automatically.  You can always edit these entries later";

// What differs between the three panels.
struct PanelSpec {
    const char *title;
    const char *instructionsName;
    const char *labelName;
    const char *dropDownName;
    const std::vector<std::string> &(*captions)();
    const std::vector<SlotTips> &(*tips)();
    const char *importName;
    const char *importTip;
    const char *purgeName;
    const char *purgeCaption;
    const char *purgeTip;
};

const ImportTable kTables[3] = {ImportTable::Sites, ImportTable::Guests, ImportTable::Charges};

const PanelSpec kPanels[3] = {
    {"3) Match the Field Names for Site Definitions ", "Label1", "ParkField", "FileField", SiteCaptions, SiteSlotTips,
     "Command1", "Import Site Data from the Selected File", "Command4", "Purge ALL Site Data",
     "Delete ALL Records from the Sites Table in Park.MDB"},
    {"3) Match the Field Names for Guest Data ", "Label2", "GuestField", "FileField2", GuestCaptions, GuestSlotTips,
     "Command2", "Import Guest Data from the Selected File", "Command5", "Purge ALL Guest Data",
     "Delete ALL Records from the Guest Table in Park.MDB"},
    {"3) Match the Field Names for POS Item Definitions ", "Label4", "ChgField", "FileField3", ChargeCaptions,
     ChargeSlotTips, "Command8", "Import Other Charge Data from the Selected File", "Command7",
     "Purge ALL Other Chg Data", "Delete ALL Records from the OtherCharges Table in Park.MDB"},
};

// A file list that reports when a mouse button is let go, and whether it was over a selected entry.
class FileList : public QListWidget {
public:
    explicit FileList(std::function<void(bool)> released) : released_(std::move(released)) {}
    // Small by nature: the window's height for its width counts this, and the list takes the room
    // that is left over.
    QSize sizeHint() const override { return {256, minimumHeight()}; }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override {
        QListWidget::mouseReleaseEvent(event);
        const QListWidgetItem *item = itemAt(event->position().toPoint());
        released_(item && item->isSelected());
    }

private:
    std::function<void(bool)> released_;
};

// Tells the window the worksheet proposed while the operator is asked about it, and lets the
// program's picker offer the others.
class ProposingPicker : public SheetPicker {
public:
    ProposingPicker(SheetPicker &picker, QLineEdit *shtName) : picker_(picker), shtName_(shtName) {}
    std::optional<std::string> pick(const std::vector<std::string> &names) override { return picker_.pick(names); }
    void proposed(const std::string &name) override { shtName_->setText(QString::fromStdString(name)); }

private:
    SheetPicker &picker_;
    QLineEdit *shtName_;
};

// The width of the left column, the three steps.
constexpr int kStepsWidth = 440;
// What the folder's row leaves of that width for the folder's name beside its button: the group
// box's margins and the row's spacing.
constexpr int kFolderRowMargins = 48;

const char *const kTableCaptions[3] = {"Site Definitions", "Guest Data", "POS Items"};

template <typename W> W *named(W *widget, const QString &name, const QString &tip = {}) {
    widget->setObjectName(name);
    if (!tip.isEmpty())
        widget->setToolTip(tip);
    return widget;
}

QLabel *wrapped(const char *text, const QString &name) {
    auto *label = named(new QLabel(text), name);
    label->setWordWrap(true);
    return label;
}

QCheckBox *yesNoBox(const QString &name, const char *tip) {
    return named(new QCheckBox("YES/NO"), name, tip);
}

std::vector<MappingSlot> slotsOf(const std::vector<QLabel *> &labels, const std::vector<QComboBox *> &dropDowns) {
    std::vector<MappingSlot> slots;
    for (std::size_t k = 0; k < labels.size(); ++k)
        slots.push_back({labels[k]->text().toStdString(), dropDowns[k]->currentText().toStdString()});
    return slots;
}

} // namespace

frmReadEcel::frmReadEcel(Navigator &navigator) : navigator_(navigator), session_(navigator.session) {
    setObjectName("frmReadEcel");
    setWindowTitle("Read CSV or Excel Spreadsheet");
    setAttribute(Qt::WA_DeleteOnClose);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *body = new QHBoxLayout;
    panels_ = named(new QStackedWidget, "Panels");
    for (int panel = 0; panel < 3; ++panel)
        panels_->addWidget(buildPanel(panel));
    body->addWidget(buildSteps(), 0);
    body->addWidget(panels_, 1);
    layout->addLayout(body);
    layout->addWidget(buildNavigation());
    // On a small or magnified screen the window stays on it and scrolls to every control.
    auto *scroll = named(new QScrollArea, "ImportScroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(central);
    setCentralWidget(scroll);

    AddHelpItem(navigator_, this, "Export Text or Excel Files", "mnuExport", 130);

    refreshFileList();
    ResizeWithinScreen(this, 1280, 720);
}

QWidget *frmReadEcel::buildSteps() {
    auto *steps = new QWidget;
    steps->setFixedWidth(kStepsWidth);
    auto *layout = new QVBoxLayout(steps);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *frame2 = named(new QGroupBox("1) Determine Which Table Will Be Imported "), "Frame2");
    auto *tables = new QVBoxLayout(frame2);
    const char *const *captions = kTableCaptions;
    const char *tips[3] = {"Select to Import Site Data", "Select to Import Guest Data", ""};
    for (int i = 0; i < 3; ++i) {
        option1_[i] = named(new QRadioButton(captions[i]), QString("Option1_%1").arg(i), tips[i]);
        tables->addWidget(option1_[i]);
        connect(option1_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on)
                return;
            panels_->setCurrentIndex(i);
            showStatus();
        });
    }
    option1_[0]->setChecked(true);
    layout->addWidget(frame2);

    auto *options = new QHBoxLayout;
    auto *frame1 = named(new QGroupBox("Select Delimiter "), "Frame1");
    auto *delimiters = new QVBoxLayout(frame1);
    comma_ = named(new QRadioButton("Comma"), "Option2_0", "Select if File uses Commas");
    delimiters->addWidget(comma_);
    delimiters->addWidget(named(new QRadioButton("Semicolon"), "Option2_1", "Select if File uses Semicolons"));
    comma_->setChecked(true);
    auto *frame4 = named(new QGroupBox("Text Case "), "Frame4");
    auto *cases = new QVBoxLayout(frame4);
    allCaps_ = named(new QRadioButton("All Caps"), "Option3_0", "Select to force Upper Case on Importing Data");
    auto *titleCase =
        named(new QRadioButton("Title Case"), "Option3_1", "Select to force Title Case on Importing Data");
    cases->addWidget(allCaps_);
    cases->addWidget(titleCase);
    titleCase->setChecked(true);
    options->addWidget(frame1);
    options->addWidget(frame4);
    layout->addLayout(options);

    auto *frame3 = named(new QGroupBox("2) Select a CSV or Excel Spreadsheet for Import "), "Frame3");
    auto *files = new QVBoxLayout(frame3);
    auto *folderRow = new QHBoxLayout;
    folder_ = named(new QLabel, "lblParkFolder");
    folder_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *addFiles = named(new QPushButton("Add Files..."), "cmdAddFiles",
                           "Copy files from another folder into the park's folder, to import them");
    connect(addFiles, &QPushButton::clicked, this, [this] { addFilesClicked(); });
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(addFiles);
    files->addLayout(folderRow);
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { refreshFileList(); });
    // A click reads the files, also when it leaves the selection as it was.
    file1_ = named(new FileList([this](bool onSelected) {
                       if (clickPending_ || onSelected)
                           File1_Click();
                   }),
                   "File1", "Select the File for Data Import");
    file1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    file1_->setMinimumHeight(100);
    connect(file1_, &QListWidget::itemSelectionChanged, this, [this] { fileSelectionChanged(); });
    files->addWidget(file1_);
    auto *processing = new QHBoxLayout;
    processing->addWidget(named(new QLabel("Processing:"), "Label5"));
    shtName_ = named(new QLineEdit, "ShtName");
    processing->addWidget(shtName_, 1);
    files->addLayout(processing);
    status_ = named(new QLabel, "lblReadStatus");
    status_->setWordWrap(true);
    files->addWidget(status_);
    layout->addWidget(frame3, 1);

    layout->addWidget(wrapped(kFileInstructions, "Label3"));
    return steps;
}

QWidget *frmReadEcel::buildPanel(int panel) {
    const PanelSpec &spec = kPanels[panel];
    auto *frame = named(new QGroupBox(spec.title), QString("frmImport_%1").arg(panel));
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(wrapped(kPanelInstructions, spec.instructionsName));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    const std::vector<std::string> &captions = spec.captions();
    const std::vector<SlotTips> &tips = spec.tips();
    const int count = static_cast<int>(captions.size());
    const int perColumn = (count + 1) / 2;
    for (int k = 1; k <= count; ++k) {
        auto *label = named(new QLabel(QString::fromStdString(captions[k - 1])),
                            QString("%1_%2").arg(spec.labelName).arg(k), tips[k - 1].label);
        auto *dropDown = named(new QComboBox, QString("%1_%2").arg(spec.dropDownName).arg(k), tips[k - 1].dropDown);
        dropDown->setMinimumContentsLength(14);
        dropDown->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        dropDown->installEventFilter(this);
        label->setBuddy(dropDown);
        const int row = (k - 1) % perColumn, column = (k - 1) / perColumn * 4;
        grid->addWidget(label, row, column, Qt::AlignRight);
        grid->addWidget(dropDown, row, column + 1);
        labels_[panel].push_back(label);
        dropDowns_[panel].push_back(dropDown);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);
    grid->setColumnMinimumWidth(3, 16);
    auto place = [&](QCheckBox *box, int k) {
        grid->addWidget(box, (k - 1) % perColumn, (k - 1) / perColumn * 4 + 2);
        return box;
    };
    if (panel == 0) {
        waterYesNo_ = place(yesNoBox("Check1", "If the Water Field in your Import file has Yes & No and not "
                                               "True/False or 1/0 then Check this Box"),
                            5);
        sewerYesNo_ = place(yesNoBox("Check2", "If the Sewer Field in your Import file has Yes & No and not "
                                               "True/False or 1/0 then Check this Box"),
                            6);
        ampYesNo_ = place(yesNoBox("Check3", "If the Electric Amp Field in your Import file has Yes & No and not 0, "
                                             "30, & 50 then Check this Box to have 50 for Yes and 30 for No"),
                          7);
    } else if (panel == 2) {
        taxableYesNo_ = place(yesNoBox("Check6", "If the Taxable Field in your Import file has Yes & No and not "
                                                 "True/False or 1/0 then Check this Box"),
                              5);
    }
    layout->addLayout(grid);
    layout->addStretch(1);

    static const PurgeTable purges[3] = {PurgeTable::Sites, PurgeTable::Guests, PurgeTable::OtherCharges};
    auto *buttons = new QHBoxLayout;
    auto *import = named(new QPushButton("Import"), spec.importName, spec.importTip);
    auto *purge = named(new QPushButton(spec.purgeCaption), spec.purgeName, spec.purgeTip);
    import->setMinimumWidth(160);
    connect(import, &QPushButton::clicked, this, [this, panel] { importClicked(kTables[panel]); });
    connect(purge, &QPushButton::clicked, this, [this, panel] { purgeClicked(purges[panel]); });
    auto *match = named(new QPushButton("Match Titles"), QString("cmdMatch_%1").arg(panel),
                        "Choose the titles that plainly name a column for the columns still blank");
    auto *save = named(new QPushButton("Save Mapping..."), QString("cmdSaveMapping_%1").arg(panel),
                       "Keep these choices for files with the same titles");
    connect(match, &QPushButton::clicked, this, [this, panel] { matchTitles(panel); });
    connect(save, &QPushButton::clicked, this, [this, panel] {
        RunHandler(session_, [&] {
            OfferSaveMapping(session_, CaptureMapping(windowState(), kTables[panel], panelTitles(panel)));
        });
    });
    auto *check = named(new QPushButton("Check File"), QString("cmdCheck_%1").arg(panel),
                        "Try the import of the selected files without storing anything, and list every problem");
    connect(check, &QPushButton::clicked, this, [this, panel] { checkClicked(kTables[panel]); });
    buttons->addWidget(import);
    buttons->addWidget(check);
    buttons->addWidget(match);
    buttons->addWidget(save);
    buttons->addStretch(1);
    buttons->addWidget(purge);
    layout->addLayout(buttons);
    return frame;
}

QWidget *frmReadEcel::buildNavigation() {
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *sites = named(new QPushButton("<== Enter Sites Manually"), "Command3", "Enter or Change Site Data Manually");
    auto *guests = named(new QPushButton("<==   Modify Guest Data"), "Command6");
    auto *main = named(new QPushButton("<== Return to Site Types"), "Command9");
    auto *exportDb =
        named(new QPushButton("Export Access DB"), "Command10", "Use this tool to Open an Access DB to Export Tables");
    const std::pair<QPushButton *, WindowId> targets[] = {{sites, WindowId::SiteEditor},
                                                          {guests, WindowId::GuestEditor},
                                                          {main, WindowId::Main},
                                                          {exportDb, WindowId::Export}};
    for (const auto &[button, target] : targets) {
        layout->addWidget(button);
        const WindowId id = target;
        // The site editor's button unloads this window before the editor is shown.
        const auto order = id == WindowId::SiteEditor ? Navigator::Order::UnloadFirst : Navigator::Order::ShowFirst;
        connect(button, &QPushButton::clicked, this, [this, id, order] {
            if (navigator_.defined(id))
                RunHandler(session_, [&] { navigator_.goTo(this, id, order); });
        });
    }
    return row;
}

void frmReadEcel::ClearLists(short cho) {
    for (QComboBox *dropDown : dropDowns_[cho])
        dropDown->clear();
    shtName_->clear();
}

ImportWindowState frmReadEcel::windowState() const {
    ImportWindowState state;
    for (int panel = 0; panel < 3; ++panel)
        state.slots(kTables[panel]) = slotsOf(labels_[panel], dropDowns_[panel]);
    state.comma = comma_->isChecked();
    state.allCaps = allCaps_->isChecked();
    state.waterYesNo = waterYesNo_->isChecked();
    state.sewerYesNo = sewerYesNo_->isChecked();
    state.ampYesNo = ampYesNo_->isChecked();
    state.taxableYesNo = taxableYesNo_->isChecked();
    state.ShtName = shtName_->text().toStdString();
    return state;
}

void frmReadEcel::refreshFileList() {
    const QString folder = QString::fromStdString(session_.DbFolder);
    if (watcher_->directories() != QStringList{folder}) {
        if (!watcher_->directories().isEmpty())
            watcher_->removePaths(watcher_->directories());
        watcher_->addPath(folder);
        folder_->setToolTip(folder);
        // The folder's name, shortened in the middle where the column is too narrow for it.
        const int room =
            kStepsWidth - kFolderRowMargins - findChild<QPushButton *>("cmdAddFiles")->sizeHint().width();
        folder_->setText(folder_->fontMetrics().elidedText("Files in " + folder, Qt::ElideMiddle, room));
    }

    const std::vector<std::string> names = ListSourceFiles(session_.DbFolder);
    std::vector<std::string> listed;
    for (int i = 0; i < file1_->count(); ++i)
        listed.push_back(file1_->item(i)->text().toStdString());
    // The park's own files change the folder too (a commit, a backup): the list is left alone then.
    if (names == listed)
        return;
    std::vector<std::string> selected = selectedFiles();
    listing_ = true;
    file1_->clear();
    for (const std::string &name : names) {
        auto *item = new QListWidgetItem(QString::fromStdString(name), file1_);
        item->setSelected(std::find(selected.begin(), selected.end(), name) != selected.end());
    }
    listing_ = false;
}

void frmReadEcel::addFilesClicked() {
    RunHandler(session_, [this] {
        AddFilesToPark(session_, QDir::homePath().toStdString());
        refreshFileList();
    });
}

std::vector<std::string> frmReadEcel::selectedFiles() const {
    std::vector<std::string> files;
    for (int i = 0; i < file1_->count(); ++i)
        if (file1_->item(i)->isSelected())
            files.push_back(file1_->item(i)->text().toStdString());
    return files;
}

short frmReadEcel::panelCode() const {
    if (option1_[0]->isChecked())
        return 0;
    return option1_[1]->isChecked() ? 1 : 2;
}

void frmReadEcel::fileSelectionChanged() {
    if (listing_)
        return;
    // A selection dragged over several files is read once, when the button is let go.
    if (QApplication::mouseButtons() != Qt::NoButton)
        clickPending_ = true;
    else
        File1_Click();
}

void frmReadEcel::File1_Click() {
    clickPending_ = false;
    RunHandler(session_, [this] {
        const short code = panelCode();
        ClearLists(code);
        readStatus_[code].clear();
        status_->clear();
        std::string shtName;
        ProposingPicker picker(navigator_.sheetPicker(), shtName_);
        SelectedTitles read = ReadSelectedTitles(session_, selectedFiles(), shtName, picker);
        QStringList titles;
        for (const std::string &title : read.titles)
            titles << QString::fromStdString(title);
        for (QComboBox *dropDown : dropDowns_[code]) {
            dropDown->addItems(titles);
            dropDown->setCurrentIndex(-1);
        }
        shtName_->setText(QString::fromStdString(shtName));
        readStatus_[code] = QString::fromStdString(TitlesReadStatus(read.reads, windowState().delimiter()));
        showStatus();
        if (read.filesWritten)
            refreshFileList();
        ImportWindowState state = windowState();
        std::string sources;
        for (const std::string &file : selectedFiles())
            sources += (sources.empty() ? "" : ", ") + file;
        if (!read.titles.empty() && OfferSavedMapping(session_, state, kTables[code], sources, read.titles))
            showChoices(state, code);
    });
}

void frmReadEcel::showStatus() {
    if (!status_)
        return; // the window is being built
    const int panel = panelCode();
    const std::vector<std::string> files = selectedFiles();
    if (dropDowns_[panel].front()->count() == 0 && !files.empty() && readStatus_[panel].isEmpty())
        status_->setText(QString::fromStdString(ReadAgainStatus(files, kTableCaptions[panel])));
    else
        status_->setText(readStatus_[panel]);
}

std::vector<std::string> frmReadEcel::panelTitles(int panel) const {
    std::vector<std::string> titles;
    QComboBox *first = dropDowns_[panel].front();
    for (int i = 0; i < first->count(); ++i)
        titles.push_back(first->itemText(i).toStdString());
    return titles;
}

void frmReadEcel::showChoices(const ImportWindowState &state, int panel) {
    const std::vector<MappingSlot> &slots = state.slots(kTables[panel]);
    for (std::size_t k = 0; k < slots.size(); ++k)
        dropDowns_[panel][k]->setCurrentIndex(dropDowns_[panel][k]->findText(QString::fromStdString(slots[k].title)));
    comma_->setChecked(state.comma);
    findChild<QRadioButton *>("Option2_1")->setChecked(!state.comma);
    allCaps_->setChecked(state.allCaps);
    findChild<QRadioButton *>("Option3_1")->setChecked(!state.allCaps);
    waterYesNo_->setChecked(state.waterYesNo);
    sewerYesNo_->setChecked(state.sewerYesNo);
    ampYesNo_->setChecked(state.ampYesNo);
    taxableYesNo_->setChecked(state.taxableYesNo);
}

void frmReadEcel::matchTitles(int panel) {
    ImportWindowState state = windowState();
    std::vector<MappingSlot> &slots = state.slots(kTables[panel]);
    const MatchResult match = AutoMatch(slots, kTables[panel], panelTitles(panel));
    showChoices(state, panel);
    // The drop-downs matched here stay marked until the operator changes them.
    for (std::size_t k = 0; k < slots.size(); ++k)
        if (std::find(match.matched.begin(), match.matched.end(), slots[k].caption) != match.matched.end())
            markMatched(dropDowns_[panel][k]);
    session_.prompter.notify(MatchSummary(match));
}

void frmReadEcel::markMatched(QComboBox *dropDown) {
    dropDown->setProperty("matched", true);
    dropDown->setStyleSheet("QComboBox { background-color: #d9f2d0; }");
    auto *connection = new QMetaObject::Connection;
    *connection = connect(dropDown, &QComboBox::currentIndexChanged, this, [dropDown, connection] {
        dropDown->setProperty("matched", false);
        dropDown->setStyleSheet(QString());
        QObject::disconnect(*connection);
        delete connection;
    });
}

void frmReadEcel::importClicked(ImportTable table) {
    const std::vector<std::string> files = selectedFiles();
    const ImportWindowState state = windowState();
    RunBusy(session_, this, [&] { ImportSelectedFiles(session_, state, table, files); });
    refreshFileList();
}

void frmReadEcel::checkClicked(ImportTable table) {
    const std::vector<std::string> files = selectedFiles();
    if (files.empty()) {
        session_.prompter.notify("No file is selected: click the file to check in the list of step 2 first.");
        return;
    }
    const ImportWindowState state = windowState();
    CheckReport report;
    RunBusy(session_, this, [&] { report = CheckFiles(session_, state, table, files); });
    if (!report_) {
        report_ = new frmCheckReport(session_);
        report_->setParent(this, Qt::Window);
    }
    if (report_->isHidden())
        PlaceOver(report_, this);
    report_->showReport(report);
}

void frmReadEcel::purgeClicked(PurgeTable table) {
    RunBusy(session_, this, [&] { ConfirmAndPurge(session_, table); });
}

void frmReadEcel::closeEvent(QCloseEvent *event) {
    navigator_.unloading();
    event->accept();
}

bool frmReadEcel::eventFilter(QObject *watched, QEvent *event) {
    // Delete or Backspace on a drop-down clears its choice: that column is then not imported.
    if (auto *dropDown = qobject_cast<QComboBox *>(watched); dropDown && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            dropDown->setCurrentIndex(-1);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tarnwick
