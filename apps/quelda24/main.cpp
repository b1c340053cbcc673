// QUELDA24: control and recording program of the modular seismograph.
#include <csignal>
#include <QApplication>

#include "state/Version.h"
#include "ui/Application.h"

int main(int argc, char** argv) {
    // A write beyond a file-size limit fails with its reason instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    if (q24::AnswerVersionOrHelp(argc, argv, "quelda24",
                                 "quelda24 [--home DIR] [--port N=PATH]... [--simulate] [--no-port-dialog] "
                                 "[--screenshot FILE]"))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName("QUELDA24");
    q24::Application program(
        q24::ParseOptions(QApplication::arguments(), QApplication::applicationDirPath().toStdString()));
    program.start();
    return QApplication::exec();
}
