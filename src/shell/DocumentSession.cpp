#include "DocumentSession.h"

#include <sys/stat.h>
#include <QDir>

#include "DateiOeffnen.h"
#include "Ini.h"
#include "LumarkError.h"
#include "Lumark_Allgemein.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "PathParts.h"
#include "PathText.h"
#include "UserDialogs.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"

namespace lumark {

namespace {

const char* const OpenDialogTitle = "Open visibility file";
const char* const OpenDialogFilter = "Visibility File|visibility.txt|All Files|*.*";
const char* const SettingsSection = "Main";
const char* const LastDirKey = "LastDir";
const char* const LastDirDefault = "C:";

const char* const SaveAsDialogTitle = "Save visibility file as";
const char* const StrandedEditsHint =
    "The edits are still in the window: Save As (Ctrl+Shift+S) can write them elsewhere.";
const char* const SaveAsFailedHint = "Nothing was saved; the edits are still in the window.";

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

DocumentSession::DocumentSession(UserDialogs& dialogs, std::string settingsFilePath,
                                 QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      settingsFilePath_(std::move(settingsFilePath)),
      grid_(new MatrixGridModel(doc_, this)),
      history_(std::make_unique<EditHistory>(doc_, *grid_)) {}

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
    ReadVisibilityFile(doc_, path);
    history_->Clear();
    touched_ = false;
    FollowFile(path);
    FillMatrixGrid(doc_, *grid_);
    emit DocumentReplaced();
}

void DocumentSession::Adopt(const VisibilityDocument& doc, const std::string& path) {
    doc_ = doc;
    history_->Clear();
    touched_ = false;
    filePath_ = path;
    emit FileFollowed();
    FillMatrixGrid(doc_, *grid_);
    emit DocumentReplaced();
}

void DocumentSession::FollowFile(const std::string& path) {
    filePath_ = path;
    // Rewritten only when it changes: most opens are from the same folder.
    Ini::WriteIniValueIfChanged(SettingsSection, LastDirKey,
                                Lumark_Allgemein::ExtractDirectory(path), settingsFilePath_);
    emit FileFollowed();
}

void DocumentSession::WriteDocumentTo(const std::string& path, const char* whenFailed) {
    try {
        WriteVisibilityFile(doc_, path);
    } catch (const LumarkError& error) {
        throw LumarkError(std::string(error.what()) + "\n\n" + whenFailed);
    }
    // What is on disk now is where undoing back to clears the flag.
    history_->MarkSaved();
    touched_ = false;
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
        WriteDocumentTo(filePath_, StrandedEditsHint);
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
    WriteDocumentTo(filePath_, StrandedEditsHint);
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
        '/' + name;
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
    WriteDocumentTo(path, SaveAsFailedHint);
    FollowFile(path);
}

bool DocumentSession::MayClose() {
    return !UnsavedChanges() || AskToSaveChanges();
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

}  // namespace lumark
