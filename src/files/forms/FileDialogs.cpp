#include "files/forms/FileDialogs.h"

#include <QApplication>
#include <QDir>

#include "files/forms/Percorso_load.h"
#include "files/forms/Project_name.h"
#include "files/forms/Percorsofile.h"
#include "files/forms/Percorsofile_tr.h"

namespace q24 {

SaveResult ShowTriggerSave(State& s, Panel& main, const FilesEnv& env) {
    Percorsofile_tr dialog(s, main, env, QApplication::activeWindow());
    dialog.exec();
    return dialog.result();
}

SaveResult ShowTimedSave(State& s, Panel& main, const FilesEnv& env, const std::vector<std::string>& channelText,
                         const std::function<void()>& afterSave) {
    Percorsofile dialog(s, main, env, channelText, QApplication::activeWindow());
    dialog.exec();
    if (dialog.result() == SaveResult::Saved) {
        if (afterSave) afterSave();
        main.message(kSg2Created);
    }
    return dialog.result();
}

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
