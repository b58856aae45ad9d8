#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "GridInteraction.h"
#include "ListViewFunktionen.h"
#include "LumarkMain.h"
#include "MatrixGridModel.h"
#include "MatrixGridView.h"
#include "PaintCounter.h"
#include "ScriptedDialogs.h"
#include "SessionState.h"

namespace lumark {

// Lets queued repaints happen.
inline void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

// The real window, shown, with scripted dialogs and its own settings file. Documents are put
// into it directly; the user's side is driven only through Qt events.
class EditingWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        window = std::make_unique<LumarkMain>(
            dialogs, dir.filePath(QStringLiteral("Lumark.ini")).toStdString(), "");
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
    }

    void TearDown() override {
        // Nothing may ask to save on the way out.
        TreatAsSaved(*window);
        window.reset();
    }

    VisibilityDocument& Document() { return window->Document(); }
    DocumentSession& Session() { return window->Session(); }
    MatrixGridModel& Grid() { return window->Grid(); }
    MatrixGridView& View() { return *window->ListView; }

    // A document of `blocks` blocks in which every block sees only itself.
    void Load(std::int16_t blocks) {
        VisibilityDocument doc;
        doc.VersionText = "1.2";
        doc.BlockCount = blocks;
        for (int b = 1; b <= blocks; ++b) {
            doc.SetElement(b, b, True16);
        }
        // Put in directly, not opened by the user: the focus stays where the test has it.
        QWidget* const focused = QApplication::focusWidget();
        window->Session().Adopt(doc, dir.filePath(QStringLiteral("visibility.txt")).toStdString());
        if (focused != nullptr) {
            focused->setFocus();
        }
        QCoreApplication::processEvents();
    }

    // Block c sees exactly `seen`; the grid follows.
    void Sees(std::int16_t c, const std::set<int>& seen) {
        for (int j = 1; j <= Document().BlockCount; ++j) {
            Document().SetElement(c, j, seen.count(j) ? True16 : False16);
        }
        window->FillMatrixGrid();
        QCoreApplication::processEvents();
    }

    std::set<int> SeenBy(std::int16_t c) const {
        std::set<int> seen;
        for (int j = 1; j <= window->Document().BlockCount; ++j) {
            if (window->Document().IsVisible(c, j)) {
                seen.insert(j);
            }
        }
        return seen;
    }

    std::set<int> Selected() {
        std::set<int> selected;
        for (std::int16_t b = 1; b <= Document().BlockCount; ++b) {
            if (SelectedBlock(Grid().Selection(), b)) {
                selected.insert(b);
            }
        }
        return selected;
    }

    std::set<int> AllBlocks() {
        std::set<int> all;
        for (int b = 1; b <= Document().BlockCount; ++b) {
            all.insert(b);
        }
        return all;
    }

    // The centre of the cell in row `row` under block column `block`, scrolled into view.
    QPoint CellCentre(int row, int block) {
        const QModelIndex index = Grid().index(row - 1, block);
        View().scrollTo(index);
        return View().visualRect(index).center();
    }

    void ClickCell(int row, int block, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(View().viewport(), Qt::LeftButton, modifiers, CellCentre(row, block));
        QCoreApplication::processEvents();
    }

    // As the platform delivers a double-click: a click, then the double-click and its release.
    void DoubleClickCell(int row, int block) {
        const QPoint at = CellCentre(row, block);
        QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(View().viewport(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
    }

    // A click on the header of sub-item `section`, at the section's centre.
    void ClickHeader(int section, Qt::KeyboardModifiers modifiers = {}) {
        QHeaderView* header = View().horizontalHeader();
        View().scrollTo(Grid().index(0, section));
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        ASSERT_EQ(header->logicalIndexAt(at), section);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers, at);
        QCoreApplication::processEvents();
    }

    // A header click with Ctrl held on the grid's keyboard, as the user does it.
    void CtrlClickHeader(int section) {
        QTest::keyPress(&View(), Qt::Key_Control, Qt::ControlModifier);
        ClickHeader(section, Qt::ControlModifier);
        QTest::keyRelease(&View(), Qt::Key_Control, Qt::ControlModifier);
    }

    void Click(QWidget* control) {
        QTest::mouseClick(control, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<LumarkMain> window;
};

}  // namespace lumark
