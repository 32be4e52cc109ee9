// The control in a process whose platform offers no OpenGL at all.

#include "ScreenTestSupport.h"

#include <gtest/gtest.h>

TEST(Window3dNoOpenGL, ShowsWhyInsteadOfTheScene)
{
    TShownWindow shown;
    TCountingWindow3D &window = *shown.Window;
    window.SetBgColor(0x202020);
    EXPECT_EQ(window.GetErrors(),
              QStringList({"OpenGL initialization is failed.", "Could not get OpenGL RC!"}));
    ExpectErrorText(window, Qt::white, QColor(0x20, 0x20, 0x20));
    EXPECT_TRUE(window.GrabFramebuffer().isNull());

    window.resize(300, 200);
    TShownWindow::Settle();
    EXPECT_EQ(window.GetErrors().size(), 2);
}
