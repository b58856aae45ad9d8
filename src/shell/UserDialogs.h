#pragma once

#include <string>
#include <vector>

namespace lumark {

// One entry of the file dialog's filter list.
struct FileDialogFilter {
    std::string Description;  // "Visibility File"
    std::string Pattern;      // "visibility.txt"; several patterns separated by ';'
};

// Everything modal that the window asks the user goes through here, so tests can answer
// with scripted replies. Answers use the platform's values.
class UserDialogs {
  public:
    static constexpr int vbOK = 1;
    static constexpr int vbCancel = 2;
    static constexpr int vbYes = 6;
    static constexpr int vbNo = 7;

    // Styles: 0 OK, 4 Yes/No, 3 Yes/No/Cancel; plus 16 critical, 32 question, 48 exclamation,
    // 64 information icon.
    static constexpr int vbOKOnly = 0;
    static constexpr int vbYesNoCancel = 3;
    static constexpr int vbYesNo = 4;
    static constexpr int vbCritical = 16;
    static constexpr int vbExclamation = 48;
    static constexpr int vbInformation = 64;

    virtual ~UserDialogs() = default;

    virtual int MsgBox(const std::string& text, const std::string& title, int style) = 0;
    // The reply text; the empty text when the box is cancelled.
    virtual std::string InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultReply) = 0;
    // One existing file, starting in the current directory: its full path, or the empty text
    // when cancelled. `selectedFilter` is the 0-based entry shown first; on return, the entry
    // in use when the file was chosen.
    virtual std::string GetOpenFileName(const std::string& title,
                                        const std::vector<FileDialogFilter>& filters,
                                        int& selectedFilter) = 0;
    // A file name to save to, starting at `proposedPath` (its folder and name): the full path,
    // or the empty text when cancelled. It does not ask about replacing a file: the caller does.
    virtual std::string GetSaveFileName(const std::string& title,
                                        const std::vector<FileDialogFilter>& filters,
                                        const std::string& proposedPath) = 0;
};

}  // namespace lumark
