// Disk faults for every writer: a folder the program may not write in, a disk
// that fills (a file-size limit), an error reported when the file is closed.
// Each writer names the reason, and the file that was there keeps its content.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <functional>
#include <linux/capability.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "files/DataTextFile.h"
#include "files/MiniSeed.h"
#include "files/RecordFile.h"
#include "files/Saving.h"
#include "files/Seg2Writer.h"
#include "state/Config.h"
#include "support/FakePanel.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

namespace {
bool failClose = false;
}  // namespace

// Every close of this program passes here: while failClose is set, a close
// that succeeded reports an I/O error (as a network file system may, when it
// writes the data out only then).
extern "C" int close(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "close"));
    const int r = real(fd);
    if (r == 0 && failClose) {
        errno = EIO;
        return -1;
    }
    return r;
}

namespace q24 {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.insert(e.path().filename().string());
    return out;
}

// Root writes in a folder without write bits: this thread drops the
// capabilities that allow it while `on`.
void RespectPermissions(bool on) {
    static __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    static __user_cap_data_struct saved[2]{};
    static const bool got = syscall(SYS_capget, &header, saved) == 0;
    if (!got) return;
    __user_cap_data_struct caps[2] = {saved[0], saved[1]};
    if (on) caps[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
    syscall(SYS_capset, &header, caps);
}

enum class Fault { ReadOnlyFolder, FullDisk, CloseError };

TEST(DiskFaults, EveryWriterNamesTheReasonAndKeepsTheOldFile) {
    auto s = std::make_unique<State>();
    s->N_Geofoni = 2;
    s->N_samples = 64;
    s->Sampling_freq = 1000;
    s->Dist_geofoni = 2;
    s->Ch_enabled[1] = s->Ch_enabled[2] = true;
    for (int t = 0; t < 2; ++t)
        for (int j = 0; j < 64; ++j) s->Dati(t, j) = static_cast<float>(t * 1000 + j);
    test::TempDir input;
    const std::string dataText = (input / "data.txt").string();
    ASSERT_EQ(WriteStackedDataText(*s, dataText, Regional{}), "");
    const std::vector<float> samples(4096, 1.5f);

    struct Writer {
        const char* name;
        std::string file;  // the target, relative to the folder written in
        std::function<std::string(const std::string& folder)> write;
    };
    const Writer writers[] = {
        {"ini.txt", "ini.txt", [&](const std::string& d) { return SaveConfiguration(*s, d); }},
        {"data text", "data_trigger.txt",
         [&](const std::string& d) { return WriteStackedDataText(*s, d + "/data_trigger.txt", Regional{}); }},
        {"record file", "shot.txt", [&](const std::string& d) { return WriteRecordFile(*s, d + "/shot.txt"); }},
        {".sg2", "shot.sg2", [&](const std::string& d) { return ConvertDataText(dataText, d + "/shot.sg2"); }},
        {"miniSEED", "t1.mseed",
         [&](const std::string& d) { return WriteMseedFromDataText(dataText, d + "/t1.mseed", {}, {0}, 0); }},
        {"project file", "Data/line.prj",
         [&](const std::string& d) {
             test::FakePanel panel;
             return ProjectNameOk(*s, panel, FilesEnv{.home = d}, "line") ? "" : panel.messages.back();
         }},
        // The temporary channel files are emptied when a recording starts:
        // none exists before, only the reason is checked.
        {"temporary channel files", "",
         [&](const std::string& d) {
             TempChannelFiles temp;
             if (std::string err = temp.create(d, 2); !err.empty()) return err;
             for (int k = 1; k <= 2; ++k) temp.append(k, samples.data(), 4096);
             return temp.close();
         }},
    };
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_IGN);
    for (const Writer& w : writers)
        for (Fault fault : {Fault::ReadOnlyFolder, Fault::FullDisk, Fault::CloseError}) {
            SCOPED_TRACE(std::string(w.name) + " fault " + std::to_string(static_cast<int>(fault)));
            // An empty project file takes no space: a full disk cannot stop it.
            if (fault == Fault::FullDisk && w.file == "Data/line.prj") continue;
            test::TempDir dir;
            const std::string target = (dir / w.file).string();
            const std::string folder = w.file.empty() ? dir.path() : fs::path(target).parent_path().string();
            fs::create_directories(folder);
            if (!w.file.empty()) test::WriteFile(target, "old\r\n");
            const std::set<std::string> before = Names(folder);
            std::string err;
            switch (fault) {
                case Fault::ReadOnlyFolder:
                    ::chmod(folder.c_str(), 0555);
                    RespectPermissions(true);
                    err = w.write(dir.path());
                    RespectPermissions(false);
                    ::chmod(folder.c_str(), 0755);
                    break;
                case Fault::FullDisk: {
                    const rlimit small{256, old.rlim_max};
                    setrlimit(RLIMIT_FSIZE, &small);
                    err = w.write(dir.path());
                    setrlimit(RLIMIT_FSIZE, &old);
                    break;
                }
                case Fault::CloseError:
                    failClose = true;
                    err = w.write(dir.path());
                    failClose = false;
                    break;
            }
            const int reason[] = {EACCES, EFBIG, EIO};
            EXPECT_NE(err.find(std::strerror(reason[static_cast<int>(fault)])), std::string::npos) << err;
            if (w.file.empty()) continue;
            EXPECT_EQ(test::ReadFile(target), "old\r\n");
            EXPECT_EQ(Names(folder), before);  // no temporary file left behind
        }
}

}  // namespace
}  // namespace q24
