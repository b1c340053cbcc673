#pragma once
// The timed sampling save dialog `Percorsofile` ("SAVE FILE"). Thin: OK runs
// TimedSaveOk with the channel texts it was given; a double-click on a file
// names the save after it.
#include <string>
#include <vector>

#include "files/forms/SaveDialog.h"

class QLabel;

namespace q24 {

class Percorsofile : public SaveDialog {
    Q_OBJECT
public:
    Percorsofile(State& s, Panel& main, FilesEnv env, std::vector<std::string> channelText,
                    QWidget* parent = nullptr);

private:
    void ok();
    std::vector<std::string> channelText_;
    QLabel* status_;
};

}  // namespace q24
