#pragma once
// The load dialog `Percorso_load` ("Load File.txt and File.sg2"): a click
// picks File_path, a double-click loads it (LoadFile) and closes the dialog.
#include <QDialog>
#include <functional>

#include "files/Loading.h"

namespace q24 {

class FolderLists;

class Percorso_load : public QDialog {
    Q_OBJECT
public:
    Percorso_load(State& s, Panel& main, Regional regional, const std::string& folder,
               std::function<void()> redraw = {}, QWidget* parent = nullptr);
    FolderLists* lists() const { return lists_; }

private:
    State& s_;
    Panel& main_;
    Regional regional_;
    std::function<void()> redraw_;
    FolderLists* lists_;
};

}  // namespace q24
