// A second lumoshelf start, reduced to its single-instance step, for the hand-over tests.
// Usage: instance_probe KEY PATIENCE_MS [FILE]; prints the role it ended in.
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "ui/SingleInstance.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: instance_probe KEY PATIENCE_MS [FILE]\n");
        return 2;
    }
    const QString file =
        argc > 3 ? absoluteCommandLinePath(QString::fromLocal8Bit(argv[3]), QDir::currentPath())
                 : QString();
    SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    const auto role = instance.start(file, std::chrono::milliseconds(std::atoi(argv[2])));
    switch (role) {
        case SingleInstance::Role::Primary:
            std::puts("primary");
            break;
        case SingleInstance::Role::HandedOver:
            std::puts("handed-over");
            break;
        case SingleInstance::Role::Unanswered:
            std::puts("unanswered");
            break;
    }
    return 0;
}
