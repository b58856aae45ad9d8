#include "DocumentSession.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QTimer>

#include "AtomicFile.h"
#include "DateiOeffnen.h"
#include "FileSystem.h"
#include "Ini.h"
#include "LumarkError.h"
#include "Lumark_Allgemein.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "PathParts.h"
#include "PathText.h"
#include "RelationChanges.h"
#include "UserDialogs.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"
#include "WindowCommands.h"

namespace lumark {

namespace {

const char* const OpenDialogTitle = "Open visibility file";
const char* const OpenDialogFilter = "Visibility File|visibility.txt|All Files|*.*";
const char* const SettingsSection = "Main";
const char* const LastDirKey = "LastDir";
const char* const LastDirDefault = "C:";

const char* const SaveAsDialogTitle = "Save visibility file as";
std::string StrandedEditsHint() {
    return WithKeys(
               "The edits are still in the window: Save As ({SaveAs}) can write them "
               "elsewhere.")
        .toStdString();
}
const char* const SaveAsFailedHint = "Nothing was saved; the edits are still in the window.";

const char* const ReloadedText = "Reloaded: changed on disk";
const char* const UnreadableText = "Changed on disk; cannot be read yet";
const char* const DeletedText = "Deleted on disk";
const char* const ReadOnlyText = "Read-only";
const char* const ReloadStepText = "Reload from disk";
// The longest list of changes a question shows.
constexpr std::size_t ListedChanges = 10;
// Changes in quick succession, such as a copy written in pieces, are looked at once.
constexpr int CheckDelayMs = 150;

using platform::Exists;
using platform::IsFolder;

}  // namespace

DocumentSession::DocumentSession(UserDialogs& dialogs, std::string settingsFilePath,
                                 std::string backupFolder, QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      settingsFilePath_(std::move(settingsFilePath)),
      grid_(std::make_unique<MatrixGridModel>(doc_, selection_)),
      history_(std::make_unique<EditHistory>(doc_, *grid_)),
      backupFolder_(std::move(backupFolder)),
      watcher_(new QFileSystemWatcher(this)),
      checkSoon_(new QTimer(this)) {
    checkSoon_->setSingleShot(true);
    checkSoon_->setInterval(CheckDelayMs);
    connect(checkSoon_, &QTimer::timeout, this, [this] { CheckDisk(); });
    connect(watcher_, &QFileSystemWatcher::fileChanged, checkSoon_,
            static_cast<void (QTimer::*)()>(&QTimer::start));
    connect(watcher_, &QFileSystemWatcher::directoryChanged, checkSoon_,
            static_cast<void (QTimer::*)()>(&QTimer::start));
    // What the panel said of the last change is news until the next edit.
    connect(history_.get(), &EditHistory::Changed, this, [this] {
        if (diskState_ == ReloadedText || diskState_ == UnreadableText) {
            SetDiskState({});
        }
    });
}

DocumentSession::~DocumentSession() = default;

void DocumentSession::Load() {
    if (!MayReplaceDocument()) {
        return;
    }
    const std::string lastDir =
        Ini::ReadIniValue(SettingsSection, LastDirKey, LastDirDefault, settingsFilePath_);
    if (Lumark_Allgemein::DirectoryHasFiles(lastDir)) {
        QDir::setCurrent(PathToQString(lastDir));
    }
    const std::string path =
        DateiOeffnen::ShowFileOpenDialog(dialogs_, OpenDialogTitle, OpenDialogFilter);
    // A cancelled dialog keeps the open file, so "Save" still has somewhere to write.
    if (!path.empty()) {
        Open(path);
    }
}

void DocumentSession::OpenAfterAsking(const std::string& path) {
    if (MayReplaceDocument()) {
        Open(path);
    }
}

bool DocumentSession::MayReplaceDocument() {
    // Opening replaces the document: edits of an open file are offered for saving first.
    return !UnsavedChanges() || filePath_.empty() || AskToSaveChanges();
}

void DocumentSession::Open(const std::string& path) {
    if (recovery_->OfferRecords(path)) {
        return;  // the edits that a crash left, recovered
    }
    // Taken before reading: a change during the read then shows as a change afterwards.
    const std::optional<FileState> state = ReadFileState(path);
    ReadVisibilityFile(doc_, path);
    history_->Clear();
    touched_ = false;
    RememberDisk(state, doc_);
    recovery_->StartAfresh(path, state);
    FollowFile(path);
    Watch();
    SetDiskState(!platform::MayWrite(path) ? ReadOnlyText : "");
    FillMatrixGrid(*grid_);
    emit DocumentReplaced();
}

void DocumentSession::Adopt(const VisibilityDocument& doc, const std::string& path) {
    doc_ = doc;
    history_->Clear();
    touched_ = false;
    disk_.reset();
    filePath_ = path;
    recovery_->StartAfresh(path, std::nullopt);
    emit FileFollowed();
    FillMatrixGrid(*grid_);
    emit DocumentReplaced();
}

void DocumentSession::FollowFile(const std::string& path) {
    filePath_ = path;
    // Rewritten only when it changes: most opens are from the same folder.
    Ini::WriteIniValueIfChanged(SettingsSection, LastDirKey,
                                Lumark_Allgemein::ExtractDirectory(path), settingsFilePath_);
    emit FileFollowed();
}

bool DocumentSession::WriteDocumentTo(const std::string& path, const char* whenFailed) {
    if (path == filePath_ && !MayReplaceChangedFile()) {
        return false;
    }
    const std::string bytes = FormatVisibilityFile(doc_);
    try {
        WriteFileAtomically(path, bytes, SaveSystemCalls::Real(), backupFolder_);
    } catch (const LumarkError& error) {
        throw LumarkError(std::string(error.what()) + "\n\n" + whenFailed);
    }
    // What is on disk now is where undoing back to clears the flag.
    history_->MarkSaved();
    touched_ = false;
    const std::optional<FileIdentity> identity = IdentityOf(path);
    RememberDisk(
        identity ? std::optional<FileState>(FileState{*identity, HashBytes(bytes)}) : std::nullopt,
        doc_);
    recovery_->FileWritten(path, disk_);
    SetDiskState({});
    return true;
}

bool DocumentSession::AskToSaveChanges() {
    const int answer =
        dialogs_.MsgBox("Save Visibility now ?", "Visibility hasn't been saved yet !",
                        UserDialogs::vbYesNoCancel + UserDialogs::vbExclamation);
    if (answer == UserDialogs::vbCancel) {
        return false;
    }
    // With no file ever loaded there is nowhere to write; Yes then goes on like No.
    if (answer == UserDialogs::vbYes && !filePath_.empty()) {
        return WriteDocumentTo(filePath_, StrandedEditsHint().c_str());
    }
    return true;
}

void DocumentSession::Save() {
    if (filePath_.empty()) {
        return;
    }
    if (dialogs_.MsgBox("Save as " + filePath_, "Save Visibility", UserDialogs::vbYesNo) !=
        UserDialogs::vbYes) {
        return;
    }
    if (!WriteDocumentTo(filePath_, StrandedEditsHint().c_str())) {
        return;
    }
    dialogs_.MsgBox("File : " + filePath_, "Save Visibility successfull", UserDialogs::vbOKOnly);
}

void DocumentSession::SaveAs() {
    // Without an open file there is no layout to write in.
    if (filePath_.empty()) {
        return;
    }
    // The folder of the open file, or the last one used when that folder has gone.
    const std::string folder = Lumark_Allgemein::ExtractDirectory(filePath_);
    const std::string name(SplitPath(filePath_).Name);
    const std::string proposed =
        (IsFolder(folder) ? folder
                          : Ini::ReadIniValue(SettingsSection, LastDirKey, "", settingsFilePath_)) +
        PathSeparator() + name;
    const std::string path = dialogs_.GetSaveFileName(
        SaveAsDialogTitle, DateiOeffnen::FilterPairs(DateiOeffnen::ConvertFilter(OpenDialogFilter)),
        proposed);
    if (path.empty()) {
        return;
    }
    if (Exists(path) &&
        dialogs_.MsgBox(path + " already exists.\nDo you want to replace it?", "Save As",
                        UserDialogs::vbYesNo + UserDialogs::vbExclamation) != UserDialogs::vbYes) {
        return;
    }
    if (!WriteDocumentTo(path, SaveAsFailedHint)) {
        return;
    }
    FollowFile(path);
    Watch();
}

bool DocumentSession::MayClose() {
    const bool mayClose = !UnsavedChanges() || AskToSaveChanges();
    if (mayClose) {
        recovery_->Discard();  // saved, or given up with No
    }
    return mayClose;
}

bool DocumentSession::Undo() {
    if (!history_->Undo()) {
        return false;
    }
    touched_ = false;  // the flag now says whether this is the saved state
    return true;
}

bool DocumentSession::Redo() {
    if (!history_->Redo()) {
        return false;
    }
    touched_ = false;
    return true;
}

void DocumentSession::RememberDisk(const std::optional<FileState>& state,
                                   const VisibilityDocument& doc) {
    disk_ = state;
    diskDocument_ = doc;
    unreadable_.reset();
    keptOver_.reset();
}

void DocumentSession::SetDiskState(std::string text) {
    if (text != diskState_) {
        diskState_ = std::move(text);
        emit DiskStateChanged();
    }
}

void DocumentSession::Watch() {
    if (!watcher_->files().isEmpty()) {
        watcher_->removePaths(watcher_->files());
    }
    if (!watcher_->directories().isEmpty()) {
        watcher_->removePaths(watcher_->directories());
    }
    if (filePath_.empty()) {
        return;
    }
    const std::string_view folder = SplitPath(filePath_).Folder;
    watcher_->addPath(PathToQString(filePath_));
    watcher_->addPath(folder.empty() ? QStringLiteral(".") : PathToQString(std::string(folder)));
}

void DocumentSession::CheckDisk() {
    if (filePath_.empty() || !disk_) {
        return;
    }
    // A question about the file waits for the box on screen, and one at a time.
    if (checking_ || QGuiApplication::modalWindow() != nullptr) {
        checkSoon_->start();
        return;
    }
    const std::optional<FileIdentity> identity = IdentityOf(filePath_);
    if (!identity) {
        SetDiskState(DeletedText);
        return;
    }
    if (!watcher_->files().contains(PathToQString(filePath_))) {
        Watch();
    }
    if (*identity == disk_->Identity || identity == unreadable_) {
        if (diskState_ == DeletedText) {
            SetDiskState({});
        }
        return;
    }
    const std::optional<FileState> state = ReadFileState(filePath_);
    if (!state) {
        return;  // gone again, or not a file for now: the next change is looked at
    }
    if (state->Hash == disk_->Hash) {
        // Touched or copied over, or written back after a version that did not read: the
        // window holds what is on disk, so there is nothing to tell.
        disk_->Identity = state->Identity;
        unreadable_.reset();
        if (diskState_ == DeletedText || diskState_ == UnreadableText) {
            SetDiskState({});
        }
        return;
    }
    if (keptOver_ == state->Hash) {
        return;
    }
    VisibilityDocument fresh;
    try {
        ReadVisibilityFile(fresh, filePath_);
    } catch (const LumarkError&) {
        // Likely cut short while the other program writes it: tried again when it changes.
        unreadable_ = state->Identity;
        SetDiskState(UnreadableText);
        return;
    }
    unreadable_.reset();
    if (UnsavedChanges()) {
        checking_ = true;
        const bool reload = AskToReload(fresh);
        checking_ = false;
        if (!reload) {
            keptOver_ = state->Hash;
            SetDiskState({});
            return;
        }
    }
    ReloadFromDisk(fresh, *state);
}

bool DocumentSession::AskToReload(const VisibilityDocument& fresh) {
    const std::vector<std::string> changes = RelationChanges(diskDocument_, fresh);
    std::string listed;
    for (std::size_t i = 0; i < changes.size() && i < ListedChanges; ++i) {
        listed += changes[i] + "\n";
    }
    if (changes.size() > ListedChanges) {
        listed += "and " + std::to_string(changes.size() - ListedChanges) + " more\n";
    }
    const std::string text = filePath_ +
                             "\nwas changed by another program. What it changed in the version "
                             "Lumark opened:\n\n" +
                             listed +
                             "\nReload the file from disk? Your edits stay in the undo history.";
    return dialogs_.MsgBox(text, "Changed on disk",
                           UserDialogs::vbYesNo + UserDialogs::vbExclamation) == UserDialogs::vbYes;
}

void DocumentSession::ReloadFromDisk(const VisibilityDocument& fresh, const FileState& state) {
    history_->Replace(QString::fromLatin1(ReloadStepText), fresh);
    history_->MarkSaved();
    touched_ = false;
    RememberDisk(state, fresh);
    SetDiskState(!platform::MayWrite(filePath_) ? ReadOnlyText : ReloadedText);
    emit DocumentReplaced();
}

bool DocumentSession::MayReplaceChangedFile() {
    if (!disk_) {
        return true;
    }
    const std::optional<FileState> now = ReadFileState(filePath_);
    if (!now || now->Hash == disk_->Hash) {
        return true;  // gone, or as Lumark left it
    }
    return dialogs_.MsgBox(
               filePath_ + WithKeys("\nwas changed by another program after Lumark opened "
                                    "it.\nReplace it with the window's version?\n\nNo "
                                    "writes nothing; Save As ({SaveAs}) can write the "
                                    "window's version elsewhere.")
                               .toStdString(),
               "Replace changed file",
               UserDialogs::vbYesNo + UserDialogs::vbExclamation) == UserDialogs::vbYes;
}

void DocumentSession::KeepRecoveryRecords(const std::string& folder) {
    recovery_ = std::make_unique<RecoveryKeeper>(*this, dialogs_, folder);
    connect(recovery_.get(), &RecoveryKeeper::ProblemMet, this,
            [this](const QString& text) { SetDiskState(text.toStdString()); });
}

void DocumentSession::OfferRecoveryRecords() {
    recovery_->OfferRecords(std::nullopt);
}

void DocumentSession::PutRecoveredHistory(const RecoveredRecord& record) {
    const RecordedHistory& recorded = record.History;
    VisibilityDocument base;
    base.Matrix = recorded.Base();
    base.VersionText = record.File.VersionText;
    base.BlockCount = recorded.BlockCount();
    Adopt(base, record.File.Path);
    // The relation in the file the record began from; the base when no state of it was saved.
    VisibilityDocument onDisk = base;
    onDisk.Matrix = history_->PutRecorded(recorded);
    // Modified follows the history alone: a record left standing at the file's state (a kill
    // between the undo back to it and the record's removal) holds nothing unsaved.
    const FileState& disk = record.File.State;
    RememberDisk(disk, onDisk);
    // The box that offered the record said whether the file has changed since: Save asks
    // before replacing it, and no reload is offered for that version.
    if (const std::optional<FileState> now = ReadFileState(filePath_);
        now && now->Hash != disk.Hash) {
        keptOver_ = now->Hash;
    }
    FollowFile(filePath_);
    Watch();
    SetDiskState(!platform::MayWrite(filePath_) ? ReadOnlyText : "");
}

}  // namespace lumark
