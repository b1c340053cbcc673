// QUELDA24: control and recording program of the modular seismograph.
#include <QApplication>

#include "ui/Application.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("QUELDA24");
    q24::Application program(
        q24::ParseOptions(QApplication::arguments(), QApplication::applicationDirPath().toStdString()));
    program.start();
    return QApplication::exec();
}
