#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QTimer>

#include <gtest/gtest.h>

#include "QtUserDialogs.h"

namespace lumark {
namespace {

// Opens the real box, and once it shows, records its width and closes it.
template <typename Show>
int WidthOfShownBox(Show show) {
    int width = 0;
    QTimer::singleShot(0, [&width] {
        QWidget* box = QApplication::activeModalWidget();
        if (box != nullptr) {
            width = box->width();
            static_cast<QDialog*>(box)->reject();
        }
    });
    show();
    return width;
}

// Window managers shorten a title wider than its box: the boxes are made wide enough.
TEST(DialogTitleTest, BoxesAreWideEnoughForTheirTitles) {
    QtUserDialogs dialogs;
    const std::string titles[] = {"Save Visibility successfull",
                                  "Visibility hasn't been saved yet !"};
    for (const std::string& title : titles) {
        SCOPED_TRACE(title);
        QFont bold = QApplication::font();
        bold.setBold(true);
        const int needed = QFontMetrics(bold).horizontalAdvance(QString::fromStdString(title));
        EXPECT_GT(WidthOfShownBox([&] { dialogs.MsgBox("OK", title, UserDialogs::vbOKOnly); }),
                  needed);
        EXPECT_GT(WidthOfShownBox([&] { dialogs.InputBox("?", title, "5"); }), needed);
    }
}

}  // namespace
}  // namespace lumark
