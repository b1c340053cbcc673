// velostrata: the refraction program the acquisition program hands each
// finished refraction project to. It reads the project file (one .sg2 path a
// line), checks that every listed file exists and loads, and lists them with
// their traces, samples, interval and the source and receiver locations.
//   velostrata PROJECT.prj                 the list in a window
//   velostrata --list PROJECT.prj          the list on standard output
//   velostrata --screenshot PNG PROJECT.prj  the window saved as a picture
// Exits non-zero when a listed file is missing or does not load (--list) or
// the project file cannot be read.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <string>

#include "state/Version.h"
#include "files/ProjectList.h"

namespace {

bool allLoaded(const std::vector<q24::ProjectEntry>& entries) {
    for (const auto& e : entries)
        if (!e.error.empty()) return false;
    return true;
}

QWidget* makeWindow(const std::string& project, const std::vector<q24::ProjectEntry>& entries) {
    auto* window = new QMainWindow;
    window->setWindowTitle(QString("velostrata - %1").arg(QString::fromStdString(project)));
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    int good = 0;
    for (const auto& e : entries) good += e.error.empty();
    layout->addWidget(new QLabel(QString("%1 of %2 shot files load").arg(good).arg(entries.size())));
    auto* table = new QTableWidget(static_cast<int>(entries.size()), 7);
    table->setObjectName("Shots");
    table->setHorizontalHeaderLabels({"File", "Traces", "Samples", "Interval (s)", "Source (m)", "Receivers (m)", "Status"});
    for (int r = 0; r < static_cast<int>(entries.size()); ++r) {
        const auto& e = entries[static_cast<std::size_t>(r)];
        QString receivers;
        if (!e.receivers.empty())
            receivers = QString::fromStdString(e.receivers.front()) + " .. " + QString::fromStdString(e.receivers.back());
        const QString cells[] = {QString::fromStdString(e.path), e.error.empty() ? QString::number(e.traces) : "",
                                 e.error.empty() ? QString::number(e.samples) : "", QString::fromStdString(e.interval),
                                 QString::fromStdString(e.source), receivers,
                                 e.error.empty() ? "loaded" : QString::fromStdString(e.error)};
        for (int c = 0; c < 7; ++c) table->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(table);
    window->setCentralWidget(central);
    window->resize(1000, 400);
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    if (q24::AnswerVersionOrHelp(argc, argv, "velostrata",
                                 "velostrata [--list] [--screenshot PNG] PROJECT.prj"))
        return 0;
    std::string project, screenshot;
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--list") list = true;
        else if (a == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
        else project = a;
    }
    if (project.empty()) {
        std::fprintf(stderr, "usage: velostrata [--list] PROJECT.prj\n");
        return 1;
    }
    const auto entries = q24::ReadProject(project);
    if (list) {
        std::fputs(q24::ProjectReport(entries).c_str(), stdout);
        return allLoaded(entries) ? 0 : 2;
    }
    QApplication app(argc, argv);
    QWidget* window = makeWindow(project, entries);
    window->show();
    if (!screenshot.empty())
        QTimer::singleShot(300, window, [window, screenshot] {
            window->grab().save(QString::fromStdString(screenshot));
            QApplication::exit(0);
        });
    const int rc = app.exec();
    delete window;
    return rc;
}
