#include "files/forms/FileDialogs.h"

#include <QApplication>
#include <QDir>

#include "files/forms/Percorso_load.h"
#include "files/forms/Project_name.h"

namespace q24 {

void ShowProjectName(State& s, Panel& main, const FilesEnv& env) {
    if (!BeforeNewProject(s, main, env)) return;
    Project_name dialog(s, main, env, QApplication::activeWindow());
    dialog.exec();
}

void ShowLoad(State& s, Panel& main, const FilesEnv& env, const std::function<void()>& redraw) {
    const std::string data = DataFolder(env.home);
    Percorso_load dialog(s, main, env.regional, QDir(QString::fromStdString(data)).exists() ? data : env.home, redraw,
                      QApplication::activeWindow());
    dialog.exec();
}

}  // namespace q24
