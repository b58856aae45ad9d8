#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "DevelopmentDirectory.h"
#include "MatrixGridModel.h"
#include "MatrixGridView.h"
#include "Twips.h"
#include "WindowFixture.h"

namespace lumark {
namespace {

int Px(const QWidget& w, int twips) {
    return TwipsToPixels(twips, w.logicalDpiX());
}

TEST_F(WindowTest, StartsWithCaptionPanelsAndAnEmptyGrid) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumark 0.9.35 by Tobrenk"));
    EXPECT_EQ(window->StatusPanel(1)->text(), QStringLiteral("Lumark 0.9.35"));
    EXPECT_EQ(window->StatusPanel(2)->text(), QStringLiteral("File Version : "));
    EXPECT_EQ(window->StatusPanel(3)->text(), QString());
    EXPECT_EQ(window->StatusPanel(4)->text(), QString());
    EXPECT_EQ(window->StatusPanel(5)->text(), QString());  // "Modified" only once edited
    EXPECT_EQ(window->StatusPanelByKey("Sta1"), window->StatusPanel(1));
    EXPECT_EQ(window->StatusPanelByKey("Sta3"), window->StatusPanel(3));
    const int widths[] = {1200, 2000, 1560, 1440};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window->StatusPanel(i + 1)->width(), Px(*window, widths[i])) << i;
    }
    EXPECT_EQ(window->Grid().rowCount(), 0);
    EXPECT_FALSE(window->chEdge->isChecked());
    EXPECT_TRUE(window->ListView->showGrid());
    EXPECT_FALSE(window->ListView->HideSelection());
    EXPECT_FALSE(window->Session().UnsavedChanges());
    dialogs.ExpectNoDialog();
}

TEST_F(WindowTest, ControlsStandWhereTheDesignPutsThem) {
    struct Expected {
        QWidget* widget;
        QString caption;
        QWidget* parent;
        int left, top, width, height;
    };
    QWidget* client = window->centralWidget();
    const Expected controls[] = {
        {window->Loadcmd, "Load", client, 240, 120, 855, 375},
        {window->Savecmd, "Save", client, 1200, 120, 855, 372},
        {window->frVisibility, "View Distance", client, 2280, 0, 5292, 615},
        {window->cmdSelAll, "Select All", window->frVisibility, 120, 240, 1092, 255},
        {window->cmdIncrease, "Increase (+)", window->frVisibility, 1440, 240, 1092, 255},
        {window->cmdDecrease, "Decrease (-)", window->frVisibility, 2640, 240, 1092, 255},
        {window->cmdSetMinimum, "Set Minimum", window->frVisibility, 3960, 240, 1092, 255},
        {window->XCheckcmd, "Cross Fw & Bw", client, 7680, 240, 1212, 252},
        {window->chEdge, "Edge Setting", client, 9000, 240, 1215, 255},
    };
    for (const Expected& c : controls) {
        SCOPED_TRACE(c.caption.toStdString());
        EXPECT_EQ(c.widget->parentWidget(), c.parent);
        const QRect shown = c.widget->geometry();
        EXPECT_EQ(shown.topLeft(), QPoint(Px(*window, c.left), Px(*window, c.top)));
        EXPECT_EQ(shown.height(), Px(*window, c.height));
        // Never narrower than the design; wider only where the design would clip the text.
        EXPECT_GE(shown.width(), Px(*window, c.width));
        if (auto* button = qobject_cast<QAbstractButton*>(c.widget)) {
            const QString text = QString(button->text()).replace("&&", "&");  // && shows one &
            EXPECT_EQ(text, c.caption);
            EXPECT_LT(button->fontMetrics().horizontalAdvance(text), shown.width());
            if (shown.width() > Px(*window, c.width)) {
                EXPECT_LE(shown.width(),
                          std::max(button->sizeHint().width(),
                                   button->fontMetrics().horizontalAdvance(text) + 12));
            }
        }
    }
    EXPECT_EQ(qobject_cast<QGroupBox*>(window->frVisibility)->title(), "View Distance");
    EXPECT_EQ(window->ListView->parentWidget(), window->Picture1);
}

TEST_F(WindowTest, TabOrderFollowsTheDesign) {
    QWidget* const focusable[] = {window->Loadcmd,     window->ListView,      window->cmdIncrease,
                                  window->cmdDecrease, window->cmdSetMinimum, window->cmdSelAll,
                                  window->XCheckcmd,   window->Savecmd,       window->chEdge};
    for (std::size_t i = 1; i < std::size(focusable); ++i) {
        QWidget* next = focusable[i - 1]->nextInFocusChain();
        while (next != focusable[i] && next->focusPolicy() == Qt::NoFocus) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, focusable[i]) << focusable[i - 1]->objectName().toStdString();
    }
}

TEST_F(WindowTest, CannotBeMadeSmallerThanTheMinimum) {
    // The outer minimum of 10515 x 2500 twips less the borders and title bar.
    EXPECT_EQ(window->minimumSize(), QSize(Px(*window, 10395), Px(*window, 2155)));
    window->show();
    window->resize(10, 10);
    EXPECT_EQ(window->size(), window->minimumSize());
}

TEST_F(WindowTest, PictureBoxAndGridFollowTheWindowSize) {
    window->show();
    window->resize(window->minimumSize());
    QCoreApplication::processEvents();
    EXPECT_EQ(window->Picture1->geometry(),
              QRect(Px(*window, 240), Px(*window, 720), Px(*window, 9975), Px(*window, 1135)));
    EXPECT_EQ(window->ListView->geometry(), window->Picture1->contentsRect());

    window->resize(1200, 900);
    QCoreApplication::processEvents();
    const int width = TwipsToPixels(
        static_cast<int>(PixelsToTwips(1200, window->logicalDpiX())) - 420, window->logicalDpiX());
    EXPECT_EQ(window->Picture1->width(), width);
    EXPECT_EQ(window->ListView->geometry(), window->Picture1->contentsRect());
}

TEST_F(WindowTest, NothingIsResizedWhileMinimized) {
    window->show();
    QCoreApplication::processEvents();
    const QRect before = window->Picture1->geometry();
    window->showMinimized();
    window->Form_Resize();
    EXPECT_EQ(window->Picture1->geometry(), before);
}

TEST(DevelopmentDirectory, MatchesOnlyTheExactFolder) {
    EXPECT_TRUE(IsDevelopmentDirectory("C:\\Zediv_EZ\\Lumark\\Source"));
    EXPECT_FALSE(IsDevelopmentDirectory("C:\\Zediv_EZ\\Lumark\\Source\\"));
    EXPECT_FALSE(IsDevelopmentDirectory("c:\\zediv_ez\\lumark\\source"));
    EXPECT_FALSE(IsDevelopmentDirectory("/usr/bin"));
}

}  // namespace
}  // namespace lumark
