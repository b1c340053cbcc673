#include "files/FileDialogs.h"

#include <QApplication>
#include <QDir>

#include "files/LoadDialog.h"
#include "files/ProjectNameDialog.h"
#include "files/TimedSaveDialog.h"
#include "files/TriggerSaveDialog.h"

namespace q24 {

SaveResult ShowTriggerSave(State& s, Panel& main, const FilesEnv& env) {
    TriggerSaveDialog dialog(s, main, env, QApplication::activeWindow());
    dialog.exec();
    return dialog.result();
}

SaveResult ShowTimedSave(State& s, Panel& main, const FilesEnv& env, const std::vector<std::string>& channelText,
                         const std::function<void()>& afterSave) {
    TimedSaveDialog dialog(s, main, env, channelText, QApplication::activeWindow());
    dialog.exec();
    if (dialog.result() == SaveResult::Saved) {
        if (afterSave) afterSave();
        main.message(kSg2Created);
    }
    return dialog.result();
}

void ShowProjectName(State& s, Panel& main, const FilesEnv& env) {
    if (!BeforeNewProject(s, main, env)) return;
    ProjectNameDialog dialog(s, main, env, QApplication::activeWindow());
    dialog.exec();
}

void ShowLoad(State& s, Panel& main, const FilesEnv& env, const std::function<void()>& redraw) {
    const std::string data = DataFolder(env.home);
    LoadDialog dialog(s, main, env.regional, QDir(QString::fromStdString(data)).exists() ? data : env.home, redraw,
                      QApplication::activeWindow());
    dialog.exec();
}

}  // namespace q24
