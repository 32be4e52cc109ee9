// GoogleTest entry for tests that need a QApplication. Listing the tests needs
// no display, so the application is only made when tests run.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
#ifdef FILONEX_TEST_PLATFORM
    qputenv("QT_QPA_PLATFORM", FILONEX_TEST_PLATFORM);
#endif
#ifdef FILONEX_TEST_GL_INTEGRATION
    qputenv("QT_XCB_GL_INTEGRATION", FILONEX_TEST_GL_INTEGRATION);
#endif
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
