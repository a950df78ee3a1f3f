#include "app/ui/QtPrompter.h"

#include "app/ui/WindowPlacement.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace tarnwick {
namespace {

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString lines(const std::string &text) {
    return QString::fromStdString(text).replace("\r\n", "\n");
}

// Shows a message box over the window that speaks, wide enough for its title; the button pressed.
int showBox(Icon icon, const std::string &text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(qtIcon(icon), "Tarnwick", lines(text), buttons, SpeakingOwner());
    FitTitle(&box);
    return box.exec();
}

} // namespace

void QtPrompter::notify(const std::string &text, Icon icon) {
    showBox(icon, text, QMessageBox::Ok);
}

Answer QtPrompter::ask(const std::string &text, Buttons buttons, Icon icon) {
    bool yesNo = buttons == Buttons::YesNo;
    const int result =
        showBox(icon, text, yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok | QMessageBox::Cancel);
    if (yesNo)
        return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    return result == QMessageBox::Ok ? Answer::OK : Answer::Cancel;
}

std::optional<std::string> QtPrompter::input(const std::string &title, const std::string &prompt) {
    bool ok = false;
    QString text = QInputDialog::getText(SpeakingOwner(), QString::fromStdString(title), lines(prompt),
                                         QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text.toStdString();
}

std::optional<std::string> QtPrompter::chooseFolder(const std::string &title, const std::string &start) {
    const QString folder = QFileDialog::getExistingDirectory(
        SpeakingOwner(), QString::fromStdString(title), QString::fromStdString(start));
    if (folder.isEmpty())
        return std::nullopt;
    return folder.toStdString();
}

std::optional<std::string> QtPrompter::chooseSaveFile(const SaveRequest &request) {
    const QString path = QFileDialog::getSaveFileName(
        SpeakingOwner(), QString::fromStdString(request.title),
        QString::fromStdString(request.folder + "/" + request.name), QString::fromStdString(request.filter), nullptr,
        request.dialogAsksBeforeReplacing ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

std::vector<std::string> QtPrompter::chooseFiles(const std::string &title, const std::string &start,
                                             const std::string &filter) {
    std::vector<std::string> files;
    for (const QString &file :
         QFileDialog::getOpenFileNames(SpeakingOwner(), QString::fromStdString(title), QString::fromStdString(start),
                                       QString::fromStdString(filter)))
        files.push_back(file.toStdString());
    return files;
}

} // namespace tarnwick
