#include <QApplication>

#include <gtest/gtest.h>

// Test entry for everything that needs a QApplication: always the offscreen platform, so tests
// neither need nor touch a display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
