#pragma once

#include <string>
#include <vector>

#include "UserDialogs.h"

namespace lumark {

// Dialogs for a benchmark that nothing may ask: every box is cancelled, every file dialog
// returns no file. A benchmark that answers some of them overrides those.
class NoQuestions : public UserDialogs {
  public:
    int MsgBox(const std::string&, const std::string&, int) override { return vbCancel; }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    std::string GetOpenFileName(const std::string&, const std::vector<FileDialogFilter>&,
                                int&) override {
        return {};
    }
    std::string GetSaveFileName(const std::string&, const std::vector<FileDialogFilter>&,
                                const std::string&) override {
        return {};
    }
};

}  // namespace lumark
