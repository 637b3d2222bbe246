// The main of the tests that need a Qt application: the application is made before any test,
// outlives every widget, and ends before Qt's own globals do.

#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv) {
    // Test discovery runs the program outside CTest's environment, where no display exists;
    // these tests never need one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
