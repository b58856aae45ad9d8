// The window's navigation aids: row labels, block summaries as header tooltips, the selection
// and pointer panels, go to block and the Overview window.
#include <QFrame>
#include <QLabel>
#include <QStatusBar>

#include "BlockTooltips.h"
#include "GoToBlock.h"
#include "GridStatusPanels.h"
#include "HeaderMarks.h"
#include "LumarkMain.h"
#include "MatrixGridView.h"
#include "OverviewWindow.h"

namespace lumark {

void LumarkMain::CreateNavigation() {
    ShowRowLabels(*ListView);
    FollowHeaderMarks(*ListView, *grid_);
    ShowBlockSummaryTooltips(*ListView, doc_);

    // Panels 6 and 7, after "Modified". The count is as wide as it says (GridStatusPanels); the
    // pointer's takes the rest.
    const auto addPanel = [this](const char* name, int widthTwips) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QString::fromLatin1(name));
        // Fixed in both directions: a new text then repaints the panel alone instead of laying
        // out the whole status bar again.
        panel->setFixedSize(Px(widthTwips), panel->sizeHint().height());
        StatusBar->addWidget(panel);
        panels_.push_back(panel);
        return panel;
    };
    QLabel* count = addPanel("Selected", 1300);
    QLabel* pointer = addPanel("Pointer", 2400);
    statusPanels_ = new GridStatusPanels(doc_, *grid_, *ListView, *count, *pointer, this);
    statusPanels_->YieldsRoom(*StatusPanel(5));  // "Modified"
}

void LumarkMain::GoToBlock_Key() {
    RunGuarded([this] { GoToBlock(dialogs_, doc_, *ListView); });
}

void LumarkMain::Overview_Key() {
    RunGuarded([this] {
        if (overview_ == nullptr) {
            overview_ = new OverviewWindow(doc_, *grid_, *ListView, this);
        }
        // The controls stand above the grid's frame.
        overview_->OpenBeside(*this, Picture1->mapToGlobal(QPoint(0, 0)).y() - 1);
    });
}

}  // namespace lumark
