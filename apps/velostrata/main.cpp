// velostrata: the refraction program the acquisition program hands each
// finished refraction project to (one .sg2 path a line).
//   velostrata PROJECT.prj                 the window: shots, traces, picking,
//                                          travel times, model
//   velostrata --list PROJECT.prj          the shots listed on standard output
//   velostrata --screenshot PNG PROJECT.prj  the window saved as a picture
//   velostrata --pictures FOLDER PROJECT.prj the traces (AGC), travel times and
//                                          model saved as PNG in FOLDER
//   velostrata --pick PROJECT.prj --out PICKS.sgt [--csv PICKS.csv]
//       every shot picked automatically, the first breaks written as .sgt
//       (and as CSV: source_x,receiver_x,time_s)
//   velostrata --interpret PICKS.sgt --layers 2|3 --out MODEL.csv
//       velocities and depths printed and written as CSV
// --pick and --interpret need no display; they exit 1 with the reason on
// standard error when the work was not done. --list exits 2 when a listed
// file is missing or does not load.
#include <csignal>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <string>

#include "state/Version.h"
#include "files/ProjectList.h"
#include "refraction/Commands.h"
#include "refraction/forms/VelostrataWindow.h"

namespace {

bool allLoaded(const std::vector<q24::ProjectEntry>& entries) {
    for (const auto& e : entries)
        if (!e.error.empty()) return false;
    return true;
}

// The three drawings of the window saved in `folder` (the shots picked first
// when the project has no picks yet, the traces with AGC), for reports.
bool savePictures(q24::refraction::VelostrataWindow& w, const QString& folder) {
    bool any = false;
    for (int s = 0; s < w.session().shotCount(); ++s)
        for (const auto& p : w.session().picks(s)) any = any || p.valid();
    if (!any) w.autoPick(-1);
    if (auto* agc = w.findChild<QCheckBox*>("Agc")) agc->setChecked(true);
    QDir().mkpath(folder);
    bool ok = true;
    const char* names[] = {"traces.png", "travel-times.png", "model.png"};
    for (int tab = 0; tab < 3; ++tab) {
        w.selectTab(tab);
        ok = w.savePicture(tab, folder + "/" + names[tab]) && ok;
    }
    return ok;
}

constexpr const char* kUsage =
    "velostrata [--list] [--screenshot PNG] [--pictures FOLDER] PROJECT.prj\n"
    "       velostrata --pick PROJECT.prj --out PICKS.sgt [--csv PICKS.csv]\n"
    "       velostrata --interpret PICKS.sgt --layers 2|3 --out MODEL.csv";

int finish(const q24::refraction::CommandResult& r) {
    std::fputs(r.output.c_str(), stdout);
    std::fputs(r.errors.c_str(), stderr);
    return r.status;
}

int fail(const std::string& reason) {
    std::fprintf(stderr, "%s\nusage: %s\n", reason.c_str(), kUsage);
    return 1;
}

struct Options {
    std::string project, screenshot, pictures, pick, interpret, out, csv, layers, wrong;
    bool list = false;
};

Options parse(int argc, char** argv) {
    Options o;
    const std::pair<const char*, std::string Options::*> valued[] = {{"--screenshot", &Options::screenshot},
                                                                     {"--pictures", &Options::pictures},
                                                                     {"--pick", &Options::pick},
                                                                     {"--interpret", &Options::interpret},
                                                                     {"--out", &Options::out},
                                                                     {"--layers", &Options::layers},
                                                                     {"--csv", &Options::csv}};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        bool known = a == "--list";
        o.list = o.list || known;
        for (const auto& [name, member] : valued)
            if (a == name && i + 1 < argc) {
                o.*member = argv[++i];
                known = true;
                break;
            }
        if (!known && a.rfind("--", 0) == 0 && o.wrong.empty()) o.wrong = a;
        else if (!known) o.project = a;
    }
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    // A write beyond a file-size limit fails with its reason instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    if (q24::AnswerVersionOrHelp(argc, argv, "velostrata", kUsage)) return 0;
    const Options o = parse(argc, argv);
    const std::string &project = o.project, &screenshot = o.screenshot, &pictures = o.pictures, &pick = o.pick,
                      &interpret = o.interpret, &out = o.out, &layers = o.layers;
    if (!o.wrong.empty()) return fail("unknown or incomplete option " + o.wrong);
    if (!pick.empty() || !interpret.empty()) {
        if (out.empty()) return fail("--out is missing");
        if (!pick.empty()) return finish(q24::refraction::PickProject(pick, out, o.csv));
        if (layers != "2" && layers != "3") return fail("--layers must be 2 or 3");
        return finish(q24::refraction::InterpretPicks(interpret, layers == "2" ? 2 : 3, out));
    }
    if (project.empty()) return fail("no project file given");
    if (o.list) {
        const auto entries = q24::ReadProject(project);
        std::fputs(q24::ProjectReport(entries).c_str(), stdout);
        return allLoaded(entries) ? 0 : 2;
    }
    QApplication app(argc, argv);
    q24::refraction::VelostrataWindow window(project);
    window.show();
    if (!screenshot.empty() || !pictures.empty())
        QTimer::singleShot(300, &window, [&window, screenshot, pictures] {
            bool ok = true;
            if (!pictures.empty()) ok = savePictures(window, QString::fromStdString(pictures));
            if (!screenshot.empty()) ok = window.grab().save(QString::fromStdString(screenshot)) && ok;
            QApplication::exit(ok ? 0 : 1);
        });
    return app.exec();
}
