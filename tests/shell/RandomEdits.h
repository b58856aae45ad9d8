#pragma once

#include <QCheckBox>
#include <QCoreApplication>
#include <QTest>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "FileState.h"
#include "LumarkMain.h"
#include "MatrixGridView.h"
#include "UserDialogs.h"

// What the crash test's child editor does, shared with the test, which replays it when it must
// know a state the child had no time to report.
namespace lumark::crash {

// One clock for the test and its child: steady_clock counts from the machine's start on both
// systems.
inline std::int64_t MonotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The relation of blocks 1..BlockCount, hashed.
inline std::uint64_t RelationHash(const VisibilityDocument& doc) {
    const int n = doc.BlockCount;
    std::string bits(static_cast<std::size_t>(n) * static_cast<std::size_t>(n) + 1, '\0');
    bits[0] = static_cast<char>(n);
    for (int c = 1; c <= n; ++c) {
        for (int r = 1; r <= n; ++r) {
            bits[static_cast<std::size_t>((c - 1) * n + r)] = doc.IsVisible(c, r) ? '1' : '0';
        }
    }
    return HashBytes(bits);
}

// Answers as the user of the crash test does: Yes to recovering and to saving, the scripted
// reply to each input box. Anything else is counted as unexpected.
class EditorDialogs : public UserDialogs {
  public:
    std::string nextReply;
    int recoveryQuestions = 0;
    int unreadableRecords = 0;
    std::vector<std::string> unexpected;

    int MsgBox(const std::string& text, const std::string& title, int style) override {
        if (title == "Recover unsaved changes") {
            if (style == vbOKOnly + vbExclamation) {
                ++unreadableRecords;
                return vbOK;
            }
            ++recoveryQuestions;
            return vbYes;
        }
        if (title == "Save Visibility") {
            return vbYes;
        }
        if (title == "Save Visibility successfull" || title == "Set distance") {
            return vbOK;  // the latter: no block selected
        }
        unexpected.push_back(title + ": " + text);
        return vbCancel;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string&) override {
        return nextReply;
    }
    std::string GetOpenFileName(const std::string&, const std::vector<FileDialogFilter>&,
                                int&) override {
        unexpected.push_back("open dialog");
        return {};
    }
    std::string GetSaveFileName(const std::string&, const std::vector<FileDialogFilter>&,
                                const std::string&) override {
        unexpected.push_back("save dialog");
        return {};
    }
};

// One seeded action of every kind there is: cell clicks and double clicks (toggles or edges),
// header clicks, Select All, Increase, Decrease, Set Minimum, Set distance, Cross, Remove
// one-way, Select blocks, undo and redo. Given the same document and seed, the same steps.
class RandomEdits {
  public:
    RandomEdits(LumarkMain& window, EditorDialogs& dialogs, unsigned seed)
        : window_(window), dialogs_(dialogs), random_(seed) {}

    void Next() {
        const int n = window_.Document().BlockCount;
        const int roll = Below(100);
        if (roll < 30) {
            ClickCell(1 + Below(n), 1 + Below(n), false);
        } else if (roll < 36) {
            ClickCell(1 + Below(n), 1 + Below(n), true);
        } else if (roll < 39) {
            window_.chEdge->setChecked(!window_.chEdge->isChecked());
        } else if (roll < 47) {
            window_.ColumnClickWithCtrl(1 + Below(n), Below(2) == 0);
        } else if (roll < 50) {
            window_.cmdSelAll_Click();
        } else if (roll < 56) {
            window_.cmdIncrease_Click();
        } else if (roll < 62) {
            window_.cmdDecrease_Click();
        } else if (roll < 65) {
            dialogs_.nextReply = std::to_string(1 + Below(n / 2));
            window_.cmdSetMinimum_Click();
        } else if (roll < 68) {
            dialogs_.nextReply = std::to_string(Below(n / 2 + 1));
            window_.SetDistance_Key();
        } else if (roll < 70) {
            window_.XCheckcmd_Click(1);
        } else if (roll < 72) {
            window_.RemoveOneWay_Key();
        } else if (roll < 74) {
            const int first = Below(n);
            dialogs_.nextReply = std::to_string(first) + "-" + std::to_string((first + 20) % n);
            window_.SelectBlocks_Key();
        } else if (roll < 90) {
            window_.Undo_Activated();
        } else {
            window_.Redo_Activated();
        }
    }

  private:
    int Below(int limit) { return static_cast<int>(random_() % static_cast<unsigned>(limit)); }

    void ClickCell(int row, int block, bool twice) {
        MatrixGridView& view = *window_.ListView;
        const QModelIndex index = window_.Grid().index(row - 1, block);
        view.scrollTo(index);
        const QPoint at = view.visualRect(index).center();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
        if (twice) {
            QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
        }
    }

    LumarkMain& window_;
    EditorDialogs& dialogs_;
    std::mt19937 random_;
};

}  // namespace lumark::crash
