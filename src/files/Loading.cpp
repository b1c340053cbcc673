#include "files/Loading.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "display/Duration.h"
#include "files/LoadedData.h"
#include "files/RecordFile.h"
#include "files/Seg2Reader.h"
#include "state/NumberFormat.h"

namespace q24 {

LoadResult LoadFile(State& s, Panel& main, const std::string& path, const Regional& regional,
                    const std::function<void()>& redraw, std::string* why) {
    auto erroneous = [&](std::string reason) {
        if (why) *why = std::move(reason);
        main.message(kErroneousFile);
        return LoadResult::Erroneous;
    };
    s.File_path = path;
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return erroneous(std::strerror(errno));
    if (!S_ISREG(st.st_mode)) return erroneous("not a file");
    if (st.st_size > kMaxLoadBytes) {
        if (why) *why = "larger than the trace array can hold";
        main.message(kFileTooLarge);
        return LoadResult::TooLarge;
    }
    main.setText(Ctl::testo, std::filesystem::path(path).filename().string());

    std::ifstream in(path, std::ios::binary);
    if (!in) return erroneous(std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return erroneous("read error");
    const std::string bytes = text.str();

    std::string reason;
    const auto data = IsSeg2(bytes) ? ReadSeg2File(bytes, &reason) : ReadRecordFile(bytes, s, &reason);
    if (!data) return erroneous(reason);
    ApplyLoaded(s, *data);

    main.setText(Ctl::N_Geofoni, FreeFormat(static_cast<long long>(s.N_Geofoni)));
    main.setText(Ctl::N_samples, FreeFormat(static_cast<long long>(s.N_samples)));
    main.setText(Ctl::Sampling_freq, FreeFormat(static_cast<long long>(s.Sampling_freq)));
    main.setText(Ctl::durata,
                 FormatPattern(static_cast<double>(s.N_samples) / s.Sampling_freq, "#0.###", regional.decimal));
    // The duration display then shows the loaded length in its own unit.
    const Duration d = ShowDuration(s.N_samples, s.Sampling_freq, regional.decimal);
    main.setText(Ctl::Label12, d.unit);
    main.setText(Ctl::durata, d.value);

    main.clearPicture();
    s.Trg_offset = static_cast<float>(s.Sampling_freq * 0.0021);
    // A file recorded with pre-trigger (a negative DELAY) shows the trigger
    // line where that DELAY puts it, placed as the parameters' pre-trigger
    // bar places it: sample k of the N - Trg_offset drawn at k / (N - Trg_offset).
    const double drawn = s.N_samples - static_cast<double>(s.Trg_offset);
    if (data->delaySeconds < 0 && drawn > 0) {
        main.setVisible(Ctl::zero_line, true);
        main.placeZeroLine(std::min(1.0, -data->delaySeconds * s.Sampling_freq / drawn));
    }
    if (redraw) {
        redraw();
    } else {
        for (int k = 1; k <= s.N_Geofoni; ++k) main.plotTrace(k, s.Display_mode);
    }
    return LoadResult::Loaded;
}

}  // namespace q24
