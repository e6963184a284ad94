// parlo_floor: the floor program (FloorWindow) on its own, for the start-up
// benchmark. `parlo_floor [FILE]`.
#include <QApplication>

#include "bench/floor/FloorWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    parlo::bench::FloorWindow window(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    window.show();
    return QApplication::exec();
}
