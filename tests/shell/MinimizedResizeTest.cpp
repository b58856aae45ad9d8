#include <QCoreApplication>
#include <QFrame>

#include "WindowFixture.h"

namespace lumark {
namespace {

// A minimized window may still be given a new size; the controls keep theirs until it is
// shown again, and then follow the size it has.
TEST_F(WindowTest, SizeChangeWhileMinimizedWaitsForTheRestore) {
    window->show();
    window->resize(window->minimumSize());
    QCoreApplication::processEvents();
    const QRect before = window->Picture1->geometry();

    window->showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->isMinimized());
    window->resize(window->minimumSize() + QSize(300, 200));
    QCoreApplication::processEvents();
    window->Form_Resize();
    EXPECT_EQ(window->Picture1->geometry(), before);

    window->showNormal();
    QCoreApplication::processEvents();
    window->Form_Resize();
    EXPECT_EQ(window->Picture1->size(), before.size() + QSize(300, 200))
        << "the restored window lays out its new size";
}

}  // namespace
}  // namespace lumark
