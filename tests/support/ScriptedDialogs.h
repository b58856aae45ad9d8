#pragma once

#include <deque>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "UserDialogs.h"

namespace lumark {

enum class DialogKind { MsgBox, InputBox, OpenFile, SaveFile };

// One dialog the code under test asked for.
struct DialogCall {
    DialogKind Kind = DialogKind::MsgBox;
    std::string Text;  // message text or input prompt
    std::string Title;
    int Style = 0;                          // MsgBox only
    std::string DefaultReply;               // InputBox only
    std::vector<FileDialogFilter> Filters;  // OpenFile only
    int SelectedFilter = 0;                 // OpenFile only
    std::string ProposedPath;               // SaveFile only
};

inline std::ostream& operator<<(std::ostream& out, const DialogCall& call) {
    switch (call.Kind) {
        case DialogKind::MsgBox:
            return out << "MsgBox(\"" << call.Text << "\", \"" << call.Title << "\", " << call.Style
                       << ")";
        case DialogKind::InputBox:
            return out << "InputBox(\"" << call.Text << "\", \"" << call.Title << "\", \""
                       << call.DefaultReply << "\")";
        case DialogKind::OpenFile:
            out << "GetOpenFileName(\"" << call.Title << "\", {";
            for (const FileDialogFilter& filter : call.Filters) {
                out << " \"" << filter.Description << "\" \"" << filter.Pattern << "\"";
            }
            return out << " }, " << call.SelectedFilter << ")";
        case DialogKind::SaveFile:
            return out << "GetSaveFileName(\"" << call.Title << "\", \"" << call.ProposedPath
                       << "\")";
    }
    return out;
}

// Answers every dialog from scripted replies and records what was asked, so no test ever
// waits on a real dialog. A dialog without a scripted reply fails the test and is answered
// with Cancel or the empty text; a reply left over at the end fails it too.
class ScriptedDialogs : public UserDialogs {
  public:
    std::vector<DialogCall> calls;

    ScriptedDialogs() = default;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    ~ScriptedDialogs() override {
        if (!msgBoxAnswers_.empty() || !inputReplies_.empty() || !openFilePaths_.empty() ||
            !saveFilePaths_.empty()) {
            ADD_FAILURE() << "scripted dialog replies were never asked for: "
                          << msgBoxAnswers_.size() << " message box, " << inputReplies_.size()
                          << " input box, " << openFilePaths_.size() << " file dialog, "
                          << saveFilePaths_.size() << " save dialog";
        }
    }

    ScriptedDialogs& AnswerMsgBox(int answer) {
        msgBoxAnswers_.push_back(answer);
        return *this;
    }
    // The empty text stands for a cancelled input box.
    ScriptedDialogs& AnswerInputBox(std::string reply) {
        inputReplies_.push_back(std::move(reply));
        return *this;
    }
    // The empty text stands for a cancelled file dialog.
    ScriptedDialogs& ChooseFile(std::string path) {
        openFilePaths_.push_back(std::move(path));
        return *this;
    }

    // The empty text stands for a cancelled save dialog.
    ScriptedDialogs& ChooseSaveFile(std::string path) {
        saveFilePaths_.push_back(std::move(path));
        return *this;
    }

    int MsgBox(const std::string& text, const std::string& title, int style) override {
        DialogCall call;
        call.Kind = DialogKind::MsgBox;
        call.Text = text;
        call.Title = title;
        call.Style = style;
        return Answer(std::move(call), msgBoxAnswers_, vbCancel);
    }

    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultReply) override {
        DialogCall call;
        call.Kind = DialogKind::InputBox;
        call.Text = prompt;
        call.Title = title;
        call.DefaultReply = defaultReply;
        return Answer(std::move(call), inputReplies_, std::string());
    }

    std::string GetOpenFileName(const std::string& title,
                                const std::vector<FileDialogFilter>& filters,
                                int& selectedFilter) override {
        DialogCall call;
        call.Kind = DialogKind::OpenFile;
        call.Title = title;
        call.Filters = filters;
        call.SelectedFilter = selectedFilter;
        return Answer(std::move(call), openFilePaths_, std::string());
    }

    std::string GetSaveFileName(const std::string& title,
                                const std::vector<FileDialogFilter>& filters,
                                const std::string& proposedPath) override {
        DialogCall call;
        call.Kind = DialogKind::SaveFile;
        call.Title = title;
        call.Filters = filters;
        call.ProposedPath = proposedPath;
        return Answer(std::move(call), saveFilePaths_, std::string());
    }

    std::size_t CountOf(DialogKind kind) const {
        std::size_t count = 0;
        for (const DialogCall& call : calls) {
            count += call.Kind == kind ? 1 : 0;
        }
        return count;
    }

    // Expects that a message box with exactly this text, title and style was shown.
    void ExpectMsgBox(const std::string& text, const std::string& title, int style) const {
        for (const DialogCall& call : calls) {
            if (call.Kind == DialogKind::MsgBox && call.Text == text && call.Title == title &&
                call.Style == style) {
                return;
            }
        }
        ADD_FAILURE() << "no MsgBox(\"" << text << "\", \"" << title << "\", " << style
                      << ") among the dialogs shown:" << Listing();
    }

    // Expects that no dialog at all was shown.
    void ExpectNoDialog() const {
        if (!calls.empty()) {
            ADD_FAILURE() << "unexpected dialogs:" << Listing();
        }
    }

    std::string Listing() const {
        std::ostringstream out;
        for (const DialogCall& call : calls) {
            out << "\n  " << call;
        }
        return out.str();
    }

  private:
    template <typename Reply>
    Reply Answer(DialogCall call, std::deque<Reply>& replies, Reply whenUnscripted) {
        calls.push_back(std::move(call));
        if (replies.empty()) {
            ADD_FAILURE() << "unexpected dialog: " << calls.back();
            return whenUnscripted;
        }
        Reply reply = std::move(replies.front());
        replies.pop_front();
        return reply;
    }

    std::deque<int> msgBoxAnswers_;
    std::deque<std::string> inputReplies_;
    std::deque<std::string> openFilePaths_;
    std::deque<std::string> saveFilePaths_;
};

}  // namespace lumark
