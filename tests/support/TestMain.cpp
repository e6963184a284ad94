// The tests run in the locale of their environment, as the programs do (the
// toolkit takes it from LC_ALL, LANG ... when it starts), so that
// `LC_ALL=de_DE.UTF-8 ctest` tries everything on a German desktop.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const char* asked = std::getenv("LC_ALL");
    if (std::setlocale(LC_ALL, "") == nullptr && asked != nullptr && *asked != '\0') {
        std::fprintf(stderr, "The locale LC_ALL=%s is not installed (make test generates it).\n",
                     asked);
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
