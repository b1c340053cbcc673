#pragma once
// A miniSEED file read back with libmseed: each trace's stretches in time
// order and the encodings each station's records use.
#include <gtest/gtest.h>
#include <libmseed.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace q24::test {

struct MseedStretch {
    int64_t start;
    double rate;
    std::vector<float> values;
};
struct MseedReadBack {
    std::map<std::string, std::vector<MseedStretch>> stretches;  // by NET.STA.LOC.CHA, in time order
    std::map<std::string, std::set<int>> encodings;
};

inline MseedReadBack ReadMseed(const std::string& path) {
    MseedReadBack out;
    MSTraceGroup* group = nullptr;
    EXPECT_EQ(ms_readtraces(&group, path.c_str(), 0, -1.0, -1.0, 0, 1, 1, 0), MS_NOERROR);
    if (group == nullptr) return out;
    mst_groupsort(group, 0);
    for (MSTrace* t = group->traces; t != nullptr; t = t->next) {
        const std::string id = std::string(t->network) + "." + t->station + "." + t->location + "." + t->channel;
        MseedStretch s{t->starttime, t->samprate, {}};
        for (int64_t k = 0; k < t->numsamples; ++k)
            s.values.push_back(t->sampletype == 'i' ? static_cast<float>(static_cast<int32_t*>(t->datasamples)[k])
                                                    : static_cast<float*>(t->datasamples)[k]);
        out.stretches[id].push_back(std::move(s));
    }
    mst_freegroup(&group);
    MSRecord* msr = nullptr;
    while (ms_readmsr(&msr, path.c_str(), 0, nullptr, nullptr, 1, 0, 0) == MS_NOERROR)
        out.encodings[msr->station].insert(msr->encoding);
    ms_readmsr(&msr, nullptr, 0, nullptr, nullptr, 0, 0, 0);
    return out;
}

}  // namespace q24::test
