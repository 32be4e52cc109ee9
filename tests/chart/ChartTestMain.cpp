// GoogleTest entry with a QApplication named like the program, so that
// message boxes carry its title. Listing the tests needs no display.
// Numbers are written in the C locale whatever the machine's locale, as the
// expected texts have a decimal point.

#include <QApplication>

#include <clocale>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Filonex"));
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
