#pragma once
// velostrata's work without a display: picking a project into a picks file,
// and interpreting a picks file into a model. Each gives the exit status and
// what to print on standard output and standard error.
#include <string>

namespace q24::refraction {

struct CommandResult {
    int status = 0;  // 0 done, 1 not done (the reason in `errors`)
    std::string output;
    std::string errors;
};

// Every shot of the project picked automatically, the picks written
// (atomically) to `picksPath` (keeping the elevations of the points of the
// file it replaces) and, when `csvPath` is given, as CSV there too.
// Files that cannot be read are named on standard error and skipped; no shot
// at all, or a failed write, is status 1.
CommandResult PickProject(const std::string& projectPath, const std::string& picksPath,
                          const std::string& csvPath = {});

// The picks file interpreted for 2 or 3 layers (the layers given by hand in
// the window, PICKS.layers.csv beside it, respected); the model written as CSV to
// `modelPath` and printed. A file that does not read, or picks too few for
// any straight-line fit, is status 1.
CommandResult InterpretPicks(const std::string& picksPath, int layers, const std::string& modelPath);

}  // namespace q24::refraction
