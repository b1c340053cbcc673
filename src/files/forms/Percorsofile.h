#pragma once
// The timed sampling save dialog `Percorsofile` ("SAVE FILE"). Thin: OK runs
// TimedSaveOk with the channel texts it was given.
#include <QDialog>
#include <string>
#include <vector>

#include "files/Saving.h"

class QLabel;
class QLineEdit;

namespace q24 {

class FolderLists;

class Percorsofile : public QDialog {
    Q_OBJECT
public:
    Percorsofile(State& s, Panel& main, FilesEnv env, std::vector<std::string> channelText,
                    QWidget* parent = nullptr);
    SaveResult result() const { return result_; }
    FolderLists* lists() const { return lists_; }

private:
    void ok();
    State& s_;
    Panel& main_;
    FilesEnv env_;
    std::vector<std::string> channelText_;
    SaveResult result_ = SaveResult::Closed;
    FolderLists* lists_;
    QLineEdit* name_;
    QLabel* status_;
};

}  // namespace q24
