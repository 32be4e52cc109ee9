// GoogleTest entry with a QApplication named like the program, so that
// message boxes carry its title. Listing the tests needs no display.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Filonex"));
    return RUN_ALL_TESTS();
}
