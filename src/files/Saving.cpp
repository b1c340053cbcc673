#include "files/Saving.h"

#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "files/DataTextFile.h"
#include "files/MiniSeed.h"
#include "files/RecordFile.h"
#include "files/Seg2Writer.h"
#include "files/WriteForm.h"
#include "state/AtomicFile.h"

namespace q24 {

std::string StartDetached(const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    process.setArguments(list);
    process.setWorkingDirectory(QString::fromStdString(std::filesystem::path(program).parent_path().string()));
    if (process.startDetached()) return {};
    const QString reason = process.errorString();
    return reason.isEmpty() ? std::string("it could not be started") : reason.toStdString();
}

std::string ExecutableFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

namespace {

std::string Absolute(const std::string& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

// A program of the suite: beside our own executable first (where an
// installed system keeps the programs together), else in the program folder.
std::string SuiteProgram(const std::string& name, const std::string& inHome) {
    const std::string beside = ExecutableFolder() + "/" + name;
    return IsNormalFile(beside) ? beside : inHome;
}

}  // namespace

std::string ConverterPath(const std::string& home) { return SuiteProgram("Sg2Maker", home + "/Sg2Maker"); }
std::string VelostrataPath(const std::string& home) {
    return SuiteProgram("velostrata", home + "/velostrata/bin/velostrata");
}
std::string DataFolder(const std::string& home) { return home + "/Data"; }
std::string ProjectPath(const std::string& home, const std::string& name) {
    return DataFolder(home) + "/" + name + ".prj";
}

bool IsNormalFile(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string CheckName(const std::string& name, bool blankAllowed) {
    if (name.find('/') != std::string::npos || name.find("..") != std::string::npos)
        return "The name must not contain \"/\" or \"..\": please type a plain file name.";
    if (name.find('\0') != std::string::npos) return "The name holds a character a file name cannot have.";
    if (!blankAllowed && name.find_first_not_of(" \t") == std::string::npos) return "Please type a file name.";
    return {};
}

std::string NextName(const std::string& name) {
    std::size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
    if (digits == name.size()) return name + "1";
    std::string number = name.substr(digits);
    // Decimal increment by hand: the number may be longer than any integer.
    std::size_t i = number.size();
    while (i > 0 && number[i - 1] == '9') number[--i] = '0';
    if (i == 0) number.insert(number.begin(), '1');
    else ++number[i - 1];
    return name.substr(0, digits) + number;
}

std::string ProposedName(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path newest;
    fs::file_time_type newestTime{};
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() != ".sg2" || !it->is_regular_file(ec)) continue;
        const auto t = it->last_write_time(ec);
        if (newest.empty() || t > newestTime || (t == newestTime && it->path() > newest)) {
            newest = it->path();
            newestTime = t;
        }
    }
    if (newest.empty()) return {};
    std::string name = newest.stem().string();
    constexpr int kTries = 100000;  // a folder full of every next name: propose nothing
    for (int k = 0; k < kTries; ++k) {
        name = NextName(name);
        if (!fs::exists(fs::path(folder) / (name + ".sg2"), ec) && CheckName(name, false).empty()) return name;
    }
    return {};
}

std::string NameFromPickedFile(const std::string& fileName) {
    for (const char* ext : {".sg2", ".txt"}) {
        const std::size_t n = std::strlen(ext);
        if (fileName.size() > n && fileName.compare(fileName.size() - n, n, ext) == 0)
            return fileName.substr(0, fileName.size() - n);
    }
    return fileName;
}

namespace {

// The .sg2 path after the existence question; nothing when the operator did
// not agree to replace the file (the old file stays: the converter replaces
// it only with a complete new one).
bool agreeToReplace(Panel& main, const std::string& sg2, const std::string& name) {
    if (!IsNormalFile(sg2)) return true;
    return main.ask(Question::EraseFile, name + " already exists, erase the file ?", Buttons::YesNoCancel) == Answer::Yes;
}

bool startConverter(Panel& main, const FilesEnv& env, const std::string& data, const std::string& sg2,
                    const Seg2Record& record) {
    const std::string exe = ConverterPath(env.home);
    if (!IsNormalFile(exe) || ::access(exe.c_str(), X_OK) != 0) {
        main.message(kConverterMissing);
        return false;
    }
    // The converter runs in its own folder: relative paths would name files there.
    std::vector<std::string> args{Absolute(data) + "|" + Absolute(sg2)};
    for (std::string& option : ConverterOptions(record)) args.push_back(std::move(option));
    if (std::string err = env.launch(exe, args); !err.empty()) {
        main.message("Sg2Maker could not be started: " + err);
        return false;
    }
    return true;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// One line more in the project file. The whole file is rewritten each time,
// so a crash never leaves half a line in it.
std::string appendProjectLine(const std::string& project, const std::string& line) {
    std::string text;
    if (IsNormalFile(project)) text = readAll(project);
    return WriteFileAtomically(project, text + line + kLineEnd);
}

// NAME.mseed beside NAME.sg2, from the data text file the converter reads.
// A failure is said; the .sg2 save goes on.
void saveMseed(const State& s, Panel& main, const FilesEnv& env, const std::string& data, const std::string& folder,
               const std::string& name) {
    const std::string path = folder + "/" + name + ".mseed";
    const MseedSettings settings = ReadMseedSettings(env.home + "/" + kMseedSettingsFile);
    if (!settings.notes.empty()) main.message(settings.notes);
    const long long block = s.Passive_mode ? s.N_block_passive : 0;
    if (std::string err = WriteMseedFromDataText(data, path, settings.codes, s.Record_start_utc, block); !err.empty())
        main.message("The miniSEED file " + path + " could not be written: " + err);
}

}  // namespace

SaveResult TriggerSaveDone(State& s, Panel& main, const FilesEnv& env, const std::string& folder,
                           const std::string& name, bool mseed) {
    if (!s.Passive_mode && s.Stacking) {
        s.Stacking = false;
        s.Stack_series = false;
    }
    if (std::string why = CheckName(name, false); !why.empty()) {
        main.message(why);
        return SaveResult::Refused;
    }
    const std::string sg2 = folder + "/" + name + ".sg2";
    s.File_path = sg2;
    if (!agreeToReplace(main, sg2, name)) return SaveResult::Declined;
    const std::string data = env.home + "/" + (s.Passive_mode ? kDataFile : kTriggerDataFile);
    Seg2Record held{.shot = ShotNumberOf(name)};
    if (!s.Passive_mode && s.Sampling_freq > 0) {
        held.delaySeconds = -static_cast<double>(s.N_pretrigger) / s.Sampling_freq;
        held.stack = std::max<int16_t>(s.Record_hits, 1);
    }
    if (s.Passive_mode && mseed) saveMseed(s, main, env, data, folder, name);
    if (!startConverter(main, env, data, sg2, held)) return SaveResult::Failed;
    if (s.Passive_mode) {
        main.message(kSg2Created);
        return SaveResult::Saved;
    }

    if (s.Refraction_project) {
        const std::string project = ProjectPath(env.home, s.Prj_name);
        if (std::string err = appendProjectLine(project, Absolute(sg2)); !err.empty())
            main.message("The refraction project file " + project + " could not be written: " + err);
        if (main.ask(Question::EndProject, "End of Refraction Project?", Buttons::YesNo) == Answer::Yes &&
            main.ask(Question::AreYouSure, "Are you sure?", Buttons::YesNo) == Answer::Yes)
            EndProject(s, main, env);
    }

    const std::string record = folder + "/" + name + ".txt";
    s.File_path = record;
    if (std::string err = WriteRecordFile(s, record); !err.empty()) {
        // The converter is running all the same: the .sg2 comes.
        main.message("The record file " + record + " could not be written: " + err);
        main.message(kSg2Created);
        return SaveResult::Failed;
    }
    main.message(kSg2Created);
    return SaveResult::Saved;
}

void TriggerSaveExit(State& s) {
    if (s.Stacking) {
        s.Stacking = false;
        s.Stack_series = false;
    }
}

SaveResult TimedSaveOk(State& s, Panel& main, const FilesEnv& env, const std::string& folder, const std::string& name,
                       const std::vector<std::string>& channelText, bool mseed) {
    if (std::string why = CheckName(name, false); !why.empty()) {
        main.message(why);
        return SaveResult::Refused;
    }
    const std::string data = env.home + "/" + kDataFile;
    if (std::string err = WriteTimedDataText(s, channelText, data, env.regional); !err.empty()) {
        main.message("The data file " + data + " could not be written: " + err);
        return SaveResult::Failed;
    }
    if (mseed) saveMseed(s, main, env, data, folder, name);
    s.File_path = folder + "/" + name + ".sg2";
    const Seg2Record record{.shot = ShotNumberOf(name)};
    return startConverter(main, env, data, s.File_path, record) ? SaveResult::Saved : SaveResult::Failed;
}

bool BeforeNewProject(State& s, Panel& main, const FilesEnv& env) {
    if (!s.Refraction_project) return true;
    if (main.ask(Question::EndOpenProject, "The refraction project \"" + s.Prj_name + "\" is open. End it before starting a new one?",
                 Buttons::YesNo) != Answer::Yes)
        return false;
    EndProject(s, main, env);
    return true;
}

bool ProjectNameOk(State& s, Panel& main, const FilesEnv& env, const std::string& name) {
    if (std::string why = CheckName(name, true); !why.empty()) {
        main.message(why);
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(DataFolder(env.home), ec);
    const std::string project = ProjectPath(env.home, name);
    if (std::string err = WriteFileAtomically(project, ""); !err.empty()) {
        main.message("The refraction project file " + project + " could not be created: " + err);
        return false;
    }
    s.Refraction_project = true;
    s.Prj_name = name;
    return true;
}

void EndProject(State& s, Panel& main, const FilesEnv& env) {
    s.Refraction_project = false;
    const std::string exe = VelostrataPath(env.home);
    if (!IsNormalFile(exe)) {
        main.message(kVelostrataMissing);
        return;
    }
    if (std::string err = env.launch(exe, {Absolute(ProjectPath(env.home, s.Prj_name))}); !err.empty())
        main.message("velostrata could not be started: " + err);
}

}  // namespace q24
