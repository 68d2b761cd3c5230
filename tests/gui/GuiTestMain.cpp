#include <QApplication>

#include <gtest/gtest.h>

// The windows need an application object; tests run with the offscreen platform.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
