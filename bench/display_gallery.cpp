// Pictures of the main window showing a synthetic shot gather in each of the
// three drawing styles, for looking at the display without units:
//   display_gallery DIR   writes DIR/style1.png, style2.png, style3.png
// Not a benchmark: it prints the files it wrote.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <memory>

#include "display/Redraw.h"
#include "display/ShotGather.h"
#include "display/forms/TracePicture.h"
#include "ui/analog.h"

using namespace q24;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    auto s = std::make_unique<State>();
    s->N_samples = 1024;
    s->Sampling_freq = 2000;
    s->N_Geofoni = 24;
    FillShotGather(*s, 24, 1024, 2000, 3e3);
    analog window;
    window.picture()->attach(*s);
    window.setText(Ctl::N_Geofoni, "24");
    window.setText(Ctl::N_samples, "1024");
    window.setText(Ctl::Sampling_freq, "2000");
    window.setText(Ctl::durata, "512");
    window.setText(Ctl::Label12, "msec");
    window.setText(Ctl::Label3, "msec");
    window.show();
    for (int style = 1; style <= 3; ++style) {
        s->Display_mode = static_cast<int16_t>(style);
        RedrawAll(*s, window);
        const QString file = dir + QString("/style%1.png").arg(style);
        window.grab().save(file);
        std::printf("%s\n", file.toLocal8Bit().constData());
    }
    return 0;
}
