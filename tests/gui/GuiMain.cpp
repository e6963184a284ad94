// The GUI tests run inside one QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

// QApplication takes the locale of the environment, as the desktop program
// does; one asked for by LC_ALL must exist, or the run would not try it.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const char* asked = std::getenv("LC_ALL");
    if (std::setlocale(LC_ALL, "") == nullptr && asked != nullptr && *asked != '\0') {
        std::fprintf(stderr, "The locale LC_ALL=%s is not installed (make test generates it).\n",
                     asked);
        return 1;
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
