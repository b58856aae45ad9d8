#include "RecoveryQuestion.h"

#include <QDateTime>

#include "UserDialogs.h"

namespace lumark {

namespace {

const char* const QuestionTitle = "Recover unsaved changes";

std::string LocalTimeText(std::int64_t ns) {
    return QDateTime::fromMSecsSinceEpoch(ns / 1000000)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

}  // namespace

int AskToRecover(UserDialogs& dialogs, const RecoveryOffer& offer) {
    std::string text = "Lumark stopped before these changes were saved:\n\n" + offer.FilePath +
                       "\n\nLast kept: " + LocalTimeText(offer.UpdatedNs) + ", " +
                       std::to_string(offer.StepCount) +
                       (offer.StepCount == 1 ? " step" : " steps") + " to undo and redo.\n";
    if (offer.FileChanged) {
        text +=
            "The file on disk has changed since these changes began; Save will ask before "
            "replacing it.\n";
    }
    text += "\nRecover them?";
    return dialogs.MsgBox(text, QuestionTitle,
                          UserDialogs::vbYesNoCancel + UserDialogs::vbExclamation);
}

void SayUnreadableRecords(UserDialogs& dialogs, const std::vector<std::string>& records) {
    std::string text = records.size() == 1
                           ? "This recovery record cannot be read; it is kept as it is:\n"
                           : "These recovery records cannot be read; they are kept as they are:\n";
    for (const std::string& record : records) {
        text += "\n" + record;
    }
    dialogs.MsgBox(text, QuestionTitle, UserDialogs::vbOKOnly + UserDialogs::vbExclamation);
}

}  // namespace lumark
