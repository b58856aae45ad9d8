#include "RecoveryQuestion.h"

#include <QDateTime>

#include "DocumentSession.h"
#include "MatrixEdits.h"
#include "MatrixGridModel.h"
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

void RestoreRecord(DocumentSession& session, const RecoveredRecord& record) {
    const RecordedHistory& recorded = record.History;
    VisibilityDocument base;
    base.Matrix = recorded.Base();
    base.VersionText = record.File.VersionText;
    base.BlockCount = recorded.BlockCount();
    session.Adopt(base, record.File.Path);  // the history starts at the base, as saved

    EditHistory& history = session.History();
    VisibilityDocument& doc = session.Document();
    const std::vector<RecordedStep>& steps = recorded.Steps();
    const std::optional<std::size_t>& saved = recorded.SavedPosition();
    // The relation in the file the record began from; the base when no state of it was saved.
    VisibilityDocument onDisk = base;
    for (std::size_t done = 0; done <= steps.size(); ++done) {
        if (saved == done) {
            history.MarkSaved();
            onDisk = doc;
        }
        if (done < steps.size()) {
            history.Record(QString::fromStdString(steps[done].Text),
                           [&] { ReplayElementChanges(doc, steps[done].Changes, Replay::Redo); });
        }
    }
    for (std::size_t done = steps.size(); done > recorded.Position(); --done) {
        history.Undo();
    }
    if (!saved) {
        history.ForgetSavedState();
    }
    // Modified follows the history alone: a record left standing at the file's state (a kill
    // between the undo back to it and the record's removal) holds nothing unsaved.
    session.FollowRecoveredFile(record.File.State, onDisk);
}

}  // namespace lumark
