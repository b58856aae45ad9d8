#pragma once

#include "UserDialogs.h"

class QWidget;

namespace lumark {

// The real dialogs: message boxes, the input box and the file dialog of Qt.
class QtUserDialogs : public UserDialogs {
  public:
    explicit QtUserDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    int MsgBox(const std::string& text, const std::string& title, int style) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultReply) override;
    std::string GetOpenFileName(const std::string& title,
                                const std::vector<FileDialogFilter>& filters,
                                int& selectedFilter) override;
    std::string GetSaveFileName(const std::string& title,
                                const std::vector<FileDialogFilter>& filters,
                                const std::string& proposedPath) override;

  private:
    QWidget* owner_;
};

}  // namespace lumark
