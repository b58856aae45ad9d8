#include "QtUserDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

#include "PathText.h"

namespace lumark {

namespace {

// Texts shown may hold paths, so every text crosses with the one conversion of paths.
QString Q(const std::string& text) {
    return PathToQString(text);
}

QMessageBox::Icon IconFor(int style) {
    switch (style & 0x70) {
        case UserDialogs::vbCritical:
            return QMessageBox::Critical;
        case 32:
            return QMessageBox::Question;
        case UserDialogs::vbExclamation:
            return QMessageBox::Warning;
        case 64:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

int QtUserDialogs::MsgBox(const std::string& text, const std::string& title, int style) {
    QMessageBox box(IconFor(style), Q(title), Q(text), QMessageBox::NoButton, owner_);
    switch (style & 0x7) {
        case UserDialogs::vbYesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case UserDialogs::vbYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return vbYes;
        case QMessageBox::No:
            return vbNo;
        case QMessageBox::Ok:
            return vbOK;
        default:
            // Escape or the window's close button: Cancel where there is one, else the only
            // answer the box has.
            return (style & 0x7) == UserDialogs::vbYesNo ? vbNo
                   : (style & 0x7) == 0                  ? vbOK
                                                         : vbCancel;
    }
}

std::string QtUserDialogs::InputBox(const std::string& prompt, const std::string& title,
                                    const std::string& defaultReply) {
    bool ok = false;
    const QString reply =
        QInputDialog::getText(owner_, Q(title), Q(prompt), QLineEdit::Normal, Q(defaultReply), &ok);
    return ok ? PathFromQString(reply) : std::string();
}

std::string QtUserDialogs::GetOpenFileName(const std::string& title,
                                           const std::vector<FileDialogFilter>& filters,
                                           int& selectedFilter) {
    QStringList entries;
    for (const FileDialogFilter& filter : filters) {
        entries << QStringLiteral("%1 (%2)").arg(Q(filter.Description),
                                                 Q(filter.Pattern).replace(';', ' '));
    }
    QString selected = entries.value(selectedFilter);
    const QString path = QFileDialog::getOpenFileName(
        owner_, Q(title), QDir::currentPath(), entries.join(QStringLiteral(";;")), &selected);
    if (entries.contains(selected)) {
        selectedFilter = static_cast<int>(entries.indexOf(selected));
    }
    return PathFromQString(path);
}

}  // namespace lumark
