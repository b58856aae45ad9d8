#include "QtUserDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>
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

// Dialogs size themselves to their text, and window managers shorten a title that is wider.
// This is the width that keeps the title whole, with room for the title bar's icon and buttons.
int WidthForTitle(const QWidget& box) {
    QFont titleFont = box.font();
    titleFont.setBold(true);
    constexpr int TitleBarControls = 160;
    return QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + TitleBarControls;
}

// A dialog's layout overrides a minimum width; a spacer in the layout is kept.
void KeepTitleWhole(QDialog& box) {
    auto* spacer = new QSpacerItem(WidthForTitle(box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(spacer, grid->rowCount(), 0, 1, grid->columnCount());
    } else if (box.layout() != nullptr) {
        box.layout()->addItem(spacer);
    } else {
        delete spacer;
    }
}

QStringList FilterEntries(const std::vector<FileDialogFilter>& filters) {
    QStringList entries;
    for (const FileDialogFilter& filter : filters) {
        entries << QStringLiteral("%1 (%2)").arg(Q(filter.Description),
                                                 Q(filter.Pattern).replace(';', ' '));
    }
    return entries;
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
    KeepTitleWhole(box);
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
    QInputDialog box(owner_);
    box.setWindowTitle(Q(title));
    box.setLabelText(Q(prompt));
    box.setTextValue(Q(defaultReply));
    box.minimumSizeHint();  // builds the input box's layout, which it otherwise does when shown
    KeepTitleWhole(box);
    return box.exec() == QDialog::Accepted ? PathFromQString(box.textValue()) : std::string();
}

std::string QtUserDialogs::GetOpenFileName(const std::string& title,
                                           const std::vector<FileDialogFilter>& filters,
                                           int& selectedFilter) {
    const QStringList entries = FilterEntries(filters);
    QString selected = entries.value(selectedFilter);
    const QString path = QFileDialog::getOpenFileName(
        owner_, Q(title), QDir::currentPath(), entries.join(QStringLiteral(";;")), &selected);
    if (entries.contains(selected)) {
        selectedFilter = static_cast<int>(entries.indexOf(selected));
    }
    return PathFromQString(path);
}

std::string QtUserDialogs::GetSaveFileName(const std::string& title,
                                           const std::vector<FileDialogFilter>& filters,
                                           const std::string& proposedPath) {
    const QString path =
        QFileDialog::getSaveFileName(owner_, Q(title), PathToQString(proposedPath),
                                     FilterEntries(filters).join(QStringLiteral(";;")), nullptr,
                                     QFileDialog::DontConfirmOverwrite);
    return PathFromQString(path);
}

}  // namespace lumark
