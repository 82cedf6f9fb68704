// Every test program runs inside a QApplication on the offscreen platform,
// so widgets, events and images work with no display.
#include "platform/MessageBox.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // no test opens a real box: one that no script expected fails the test instead of waiting for a person
    platform::SetMessageBoxHandler([](QWidget*, const QString& text, unsigned style) {
        ADD_FAILURE() << "unexpected message box: \"" << text.toStdString() << "\" style 0x" << std::hex << style;
        return platform::IDCANCEL;
    });
    return RUN_ALL_TESTS();
}
