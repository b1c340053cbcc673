#pragma once
// First-break picks as the unified data format of refraction tomography
// (.sgt): the count of points, then one point a line ("x y" or "x y z"), then
// the count of picks, then one pick a line ("s g t": 1-based point numbers of
// the source and the receiver, travel time in seconds). '#' starts a comment;
// a comment line right after the pick count may name the columns ("#s g t").
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q24::refraction {

struct Point {
    double x = 0, y = 0, z = 0;
};

struct Pick {
    int source = 0;    // index into the points, from 0
    int receiver = 0;  // index into the points, from 0
    double time = 0;   // s after the shot
    bool operator==(const Pick&) const = default;
};

struct PickTable {
    std::vector<Point> points;
    std::vector<Pick> picks;
    bool threeD = false;  // the points carry z

    // The index of the point at x (within 1 mm), added at the end when absent.
    int pointAt(double x);
    double xOf(int index) const { return points[static_cast<std::size_t>(index)].x; }
};

// The valid picks of every shot (picks[i] for shots[i]), the points sorted by
// position; a shot's time is the trace's pick.
struct Shot;
struct TracePick;
PickTable TableOfPicks(const std::vector<Shot>& shots, const std::vector<std::vector<TracePick>>& picks);

// Picks of one table against those of another (a person's) by source and
// receiver position: how many of the reference have a pick, the median
// absolute difference and the shares within 2 and 4 ms of those compared.
struct PickAgreement {
    int reference = 0;
    int compared = 0;
    double median = 0;   // s
    double within2 = 0;  // share, 0..1
    double within3 = 0;
    double within4 = 0;
};
PickAgreement ComparePicks(const PickTable& picks, const PickTable& reference);

// The table a file holds; nothing, with the reason (line number and what is
// wrong), when it breaks a rule: a count that is not a number or disagrees
// with the lines, a bad number, a point number out of range, a negative or
// non-finite time.
std::optional<PickTable> ParseSgt(std::string_view text, std::string* why = nullptr);
// The text of a table; numbers written so that reading them gives the same values.
std::string FormatSgt(const PickTable& table);
// Reads or writes (atomically) a file; the write returns "" or the reason.
std::optional<PickTable> ReadSgt(const std::string& path, std::string* why = nullptr);
std::string WriteSgt(const std::string& path, const PickTable& table);

// The picks as CSV, one a line by position: "source_x,receiver_x,time_s"
// (metres, seconds), and the file written atomically ("" or the reason).
std::string PicksCsv(const PickTable& table);
std::string WritePicksCsv(const std::string& path, const PickTable& table);

// The elevations ("y", and "z" where given) of `from`'s points copied onto
// the points of `to` at the same position: what a hand-edited file carried
// survives the next write.
void KeepElevations(PickTable& to, const PickTable& from);

}  // namespace q24::refraction
