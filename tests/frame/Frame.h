#pragma once
// What every test of the frame starts from: a settings file and a folder of
// its own (no setting: dialogs wear the skin), and a look at what is drawn.
#include "tests/support/TempEnvironment.h"

#include <QWidget>
#include <gtest/gtest.h>

class FrameTest : public ::testing::Test {
protected:
    TempEnvironment env;

    static QRgb Pixel(QWidget* widget, int x, int y) { return widget->grab().toImage().pixel(x, y); }
};
