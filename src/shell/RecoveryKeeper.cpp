#include "RecoveryKeeper.h"

#include <QTimer>
#include <utility>

#include "DocumentSession.h"
#include "FileState.h"
#include "LumarkError.h"
#include "RecoveryQuestion.h"
#include "UserDialogs.h"

namespace lumark {

namespace {

constexpr int FlushDelayMs = 1000;

// The same file, by name or, for another name of it, by device and inode.
bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) {
        return true;
    }
    const std::optional<FileIdentity> first = IdentityOf(a);
    const std::optional<FileIdentity> second = IdentityOf(b);
    return first && second && first->Device == second->Device && first->Inode == second->Inode;
}

// Bytes that differ, or a file that is gone; a copy of the same bytes is no change.
bool ChangedSince(const RecordedFile& file) {
    const std::optional<FileState> now = ReadFileState(file.Path);
    return !now || now->Hash != file.State.Hash;
}

}  // namespace

RecoveryKeeper::RecoveryKeeper(DocumentSession& session)
    : session_(session), dialogs_(nullptr), keeping_(false), flushTimer_(new QTimer(this)) {}

RecoveryKeeper::RecoveryKeeper(DocumentSession& session, UserDialogs& dialogs, std::string folder)
    : session_(session),
      dialogs_(&dialogs),
      folder_(std::move(folder)),
      keeping_(true),
      flushTimer_(new QTimer(this)) {
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(FlushDelayMs);
    connect(flushTimer_, &QTimer::timeout, this, [this] { Flush(); });
    session_.History().SetListener(this);
}

RecoveryKeeper::~RecoveryKeeper() {
    if (writer_) {
        writer_->Flush();
    }
}

std::string RecoveryKeeper::RecordPath() const {
    return writer_ ? writer_->RecordPath() : std::string();
}

bool RecoveryKeeper::OfferRecords(const std::optional<std::string>& path) {
    if (!keeping_) {
        return false;
    }
    std::vector<std::string> unreadable;
    bool recovered = false;
    for (const RecordSummary& summary : ListRecoveryRecords(folder_)) {
        if (!summary.Problem.empty()) {
            unreadable.push_back(summary.RecordPath + ": " + summary.Problem);
            continue;
        }
        if (recovered || (path && !SameFile(summary.FilePath, *path))) {
            continue;
        }
        // Held again while asked: another Lumark starting now must not offer it too.
        std::optional<RecoveryClaim> claim = RecoveryClaim::Take(summary.RecordPath);
        if (!claim) {
            continue;
        }
        std::optional<RecoveredRecord> record;
        try {
            record.emplace(claim->Read());
        } catch (const LumarkError& error) {
            unreadable.push_back(summary.RecordPath + ": " + error.Problem());
            continue;
        }
        const RecoveryOffer offer{record->File.Path, claim->UpdatedNs(),
                                  record->History.Steps().size(), ChangedSince(record->File)};
        const int answer = AskToRecover(*dialogs_, offer);
        if (answer == UserDialogs::vbYes) {
            TakeOver(std::move(*claim), std::move(*record));
            recovered = true;
        } else if (answer == UserDialogs::vbNo) {
            claim->Remove();
        }
    }
    if (!unreadable.empty() && !unreadableSaid_) {
        unreadableSaid_ = true;
        SayUnreadableRecords(*dialogs_, unreadable);
    }
    return recovered;
}

void RecoveryKeeper::TakeOver(RecoveryClaim claim, RecoveredRecord record) {
    session_.PutRecoveredHistory(record);
    file_ = record.File;
    writer_.emplace(std::move(claim), std::move(record));
    Settle(std::nullopt);
}

void RecoveryKeeper::StartAfresh(const std::string& path, const std::optional<FileState>& state) {
    Remove();
    file_ = {path, state.value_or(FileState{}), session_.Document().VersionText};
}

void RecoveryKeeper::FileWritten(const std::string& path, const std::optional<FileState>& state) {
    StartAfresh(path, state);
}

void RecoveryKeeper::Discard() {
    Remove();
}

void RecoveryKeeper::StartRecord(std::optional<StepKind> topKind) {
    EditHistory::ElementSteps around = session_.History().ElementStepsAround();
    // Only the step just pushed may still take in a double click.
    if (topKind && around.Position == around.Steps.size() && around.Position > 0) {
        around.Steps.back().Kind = *topKind;
    }
    std::optional<RecoveryWriter> fresh;
    try {
        const VisibilityDocument& doc = session_.Document();
        fresh.emplace(
            folder_, file_,
            RecordedHistory::StandingAt(doc.Matrix, doc.BlockCount, std::move(around.Steps),
                                        around.Position, around.SavedPosition));
    } catch (const LumarkError& error) {
        // The history does not read as element changes of its own document: a fault.
        Remove();
        Report(error.what());
        return;
    }
    // The new record is named before the old one goes, so that one always exists.
    Remove();
    writer_ = std::move(fresh);
}

void RecoveryKeeper::StepPushed(const RecordedStep& step) {
    if (writer_ && !writer_->Broken()) {
        writer_->AppendPush(step);
    }
    Settle(step.Kind);
}

void RecoveryKeeper::DocumentPushed() {
    // The steps before can no longer be followed element by element. The document came from
    // the file, which usually becomes the saved state at once: the record is started anew only
    // if that does not happen.
    Remove();
    file_.State = ReadFileState(file_.Path).value_or(FileState{});
    file_.VersionText = session_.Document().VersionText;
    QTimer::singleShot(0, this, [this] { Settle(std::nullopt); });
}

// The record's history holds the steps around where it stands, as the edit history does, unless
// a step that replaced the whole document bounds it: a step beyond its ends starts it anew.
void RecoveryKeeper::StepUndone() {
    const bool follows = writer_ && !writer_->Broken() && writer_->History().Position() > 0;
    if (follows) {
        writer_->AppendUndo();
    }
    Settle(std::nullopt, !follows);
}

void RecoveryKeeper::StepRedone() {
    const bool follows = writer_ && !writer_->Broken() &&
                         writer_->History().Position() < writer_->History().Steps().size();
    if (follows) {
        writer_->AppendRedo();
    }
    Settle(std::nullopt, !follows);
}

void RecoveryKeeper::Cleared() {
    Remove();
}

void RecoveryKeeper::MarkedSaved() {
    Remove();
}

void RecoveryKeeper::Settle(std::optional<StepKind> topKind, bool startAnew) {
    if (session_.History().AtSavedState()) {
        Remove();  // what the window shows is on disk
        return;
    }
    if (!writer_ || writer_->Broken() || startAnew) {
        StartRecord(topKind);
    }
    if (writer_) {
        Report(writer_->Problem());
    }
    if (writer_ && !flushTimer_->isActive()) {
        flushTimer_->start();
    }
}

void RecoveryKeeper::Remove() {
    if (writer_) {
        writer_->Remove();
        writer_.reset();
    }
    flushTimer_->stop();
}

void RecoveryKeeper::Flush() {
    if (writer_) {
        writer_->Flush();
        Report(writer_->Problem());
    }
}

void RecoveryKeeper::Report(const std::string& problem) {
    if (problemSaid_ || problem.empty()) {
        return;
    }
    problemSaid_ = true;
    emit ProblemMet(QStringLiteral("No recovery copy: ") + QString::fromStdString(problem));
}

}  // namespace lumark
