#include "editors/ui/frmSiteDef.h"

#include "editors/ui/EditorGrid.h"
#include "editors/ui/EditorWidgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QVBoxLayout>
#include <map>

namespace tarnwick {
namespace {

QHBoxLayout *row(QVBoxLayout *into) {
    auto *line = new QHBoxLayout;
    into->addLayout(line);
    return line;
}

} // namespace

frmSiteDef::frmSiteDef(Navigator &navigator) : EditorWindow(navigator), editor_(navigator.session) {
    setObjectName("frmSiteDef");
    setWindowTitle("Site Definition");

    QVBoxLayout *layout =
        centralColumn("On this Panel you can enter Sites and duplicate them, Delete or Modify a Site.  "
                      "Below is what are currently defined:");

    QGroupBox *frame1 =
        gridFrame("Current Sites Defined ", editor_.grid, "Sites.",
                  [this](int x, int y, long r, int c) { act([&] { editor_.Click(x, y, r, c); }, false); });
    auto *inFrame = static_cast<QVBoxLayout *>(frame1->layout());
    auto *label3 = new QLabel("You may select a Site above to Clone for a specified number of times.");
    label3->setObjectName("Label3");
    inFrame->addWidget(label3);
    inFrame->addWidget(buildPanel());
    layout->addWidget(frame1, 1);
    layout->addWidget(navigationRow({{"<== Return to Site Types", "Command6", WindowId::Main},
                                     {"GoTo Guests  =====>", "Command2", WindowId::GuestEditor},
                                     {"GoTo Import Data ==>", "Command7", WindowId::Import}}));
    helpMenu("Site Definition Creation", "mnuSite", 110);

    act([this] { editor_.LoadGrid(); }, true);
    resize(Pixels(15000), Pixels(9600));
}

QWidget *frmSiteDef::buildPanel() {
    frame2_ = new QGroupBox("Selected Site ");
    frame2_->setObjectName("Frame2");
    auto *rows = new QVBoxLayout(frame2_);
    auto boxes = [&](QHBoxLayout *line, std::initializer_list<std::pair<const char *, int>> captionedBoxes) {
        static const std::map<int, const char *> tips = {
            {0, "Enter the length of the longest unit in feet"},
            {1, "Enter the widest Unit in feet."},
            {2, "Enter the greatest number of Electric Amps available at this Site."}};
        for (const auto &[caption, index] : captionedBoxes) {
            auto it = tips.find(index);
            data_[index] = EditorBox(QString("Data_%1").arg(index), it == tips.end() ? QString() : it->second);
            line->addWidget(BoxCaption(caption, data_[index]));
            line->addWidget(data_[index], 1);
        }
    };
    QHBoxLayout *first = row(rows);
    boxes(first, {{"Number", 14}, {"Alias Number", 15}, {"Length", 0}, {"Width", 1}, {"Electric Amps", 2}});
    check1_ = NamedCheck("Water", "Check1", "Check if water is available at this Site.");
    check2_ = NamedCheck("Sewer", "Check2", "Check if Sewer is available at this Site.");
    check3_ = NamedCheck("Unavailable", "Check3", "Check Only if this Site is NOT Available for occupancy.");
    for (QCheckBox *box : {check1_, check2_, check3_})
        first->addWidget(box);
    connect(check3_, &QCheckBox::toggled, this, [this] { paintUnavailable(); });

    QHBoxLayout *types = row(rows);
    for (int i = 1; i <= 10; ++i) {
        scType_[i] = NamedCheck(QString(), QString("SCType_%1").arg(i));
        scType_[i]->setVisible(false);
        types->addWidget(scType_[i]);
    }
    types->addStretch(1);

    boxes(row(rows), {{"Sum Daily Rate", 3},
                      {"Sum Weekly Rate", 4},
                      {"Sum Monthly Rate", 5},
                      {"Win Daily Rate", 6},
                      {"Win Weekly Rate", 7},
                      {"Win Monthly Rate", 8}});
    boxes(row(rows), {{"3 Month Rate", 9},
                      {"6 Month Rate", 10},
                      {"Yearly Rate", 11},
                      {"Past Electric Meter Reading", 12},
                      {"Current Electric Meter Reading", 13}});

    QHBoxLayout *last = row(rows);
    text1_ = EditorBox("Text1");
    text1_->setText("1");
    text1_->setMaximumWidth(80);
    last->addWidget(BoxCaption("Create", text1_));
    last->addWidget(text1_);
    last->addWidget(new QLabel("Sites"));
    command1_ = NamedButton("Create 1 Site", "Command1");
    command3_ = NamedButton("Delete Site", "Command3");
    command4_ = NamedButton("Save Site", "Command4");
    command5_ = NamedButton("Clear", "Command5");
    for (QPushButton *b : {command1_, command3_, command4_, command5_})
        last->addWidget(b);
    last->addStretch(1);
    connect(text1_, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (showing_)
            return;
        editor_.state.Text1 = text.toStdString();
        editor_.Text1Changed();
        command1_->setText(QString::fromStdString(editor_.state.Command1));
    });
    connect(command1_, &QPushButton::clicked, this, [this] {
        SiteEditor::CreateOutcome outcome = SiteEditor::CreateOutcome::Refused;
        act([&] { outcome = editor_.Create(); }, true);
        if (outcome == SiteEditor::CreateOutcome::RefusedCount)
            text1_->setFocus();
    });
    connect(command3_, &QPushButton::clicked, this, [this] { act([this] { editor_.Delete(); }, true); });
    connect(command4_, &QPushButton::clicked, this, [this] { act([this] { editor_.Save(); }, true); });
    connect(command5_, &QPushButton::clicked, this, [this] { act([this] { editor_.Clear(); }, false); });
    return frame2_;
}

void frmSiteDef::readState() {
    SiteEditorState &s = editor_.state;
    for (int k = 0; k < 16; ++k)
        s.Data[k] = data_[k]->text().toStdString();
    s.Check1 = check1_->isChecked();
    s.Check2 = check2_->isChecked();
    s.Check3 = check3_->isChecked();
    for (int i = 1; i <= 10; ++i)
        s.SCType[i] = scType_[i]->isChecked();
    s.Text1 = text1_->text().toStdString();
}

void frmSiteDef::showState() {
    const SiteEditorState &s = editor_.state;
    showing_ = true;
    for (int k = 0; k < 16; ++k)
        data_[k]->setText(QString::fromStdString(s.Data[k]));
    check1_->setChecked(s.Check1);
    check2_->setChecked(s.Check2);
    check3_->setChecked(s.Check3);
    for (int i = 1; i <= 10; ++i) {
        scType_[i]->setText(QString::fromStdString(s.SCTypeCaption[i]));
        scType_[i]->setChecked(s.SCType[i]);
        scType_[i]->setVisible(s.SCTypeVisible[i]);
    }
    text1_->setText(QString::fromStdString(s.Text1));
    frame2_->setTitle(QString::fromStdString(s.Frame2));
    command1_->setText(QString::fromStdString(s.Command1));
    command3_->setText(QString::fromStdString(s.Command3));
    command4_->setText(QString::fromStdString(s.Command4));
    for (QPushButton *b : {command3_, command4_, command5_})
        b->setVisible(s.editButtonsVisible);
    noSites_->setText(QString::fromStdString(s.NoSites));
    showing_ = false;
}

void frmSiteDef::paintUnavailable() {
    QPalette palette = check3_->palette();
    palette.setColor(QPalette::WindowText,
                     check3_->isChecked() ? QColor(255, 0, 0) : QApplication::palette().color(QPalette::WindowText));
    check3_->setPalette(palette);
}

} // namespace tarnwick
