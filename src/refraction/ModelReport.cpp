// The interpretation as CSV and as text.
#include <cstdio>
#include <string>

#include "refraction/Interpretation.h"

namespace q24::refraction {

namespace {

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string side(int direction) { return direction > 0 ? "forward" : "reverse"; }

}  // namespace

std::string ModelCsv(const Model& m) {
    std::string velocities;
    for (int k = 0; k < 3; ++k)
        velocities +=
            "," +
            (k < static_cast<int>(m.velocities.size()) ? fixed(m.velocities[static_cast<std::size_t>(k)], 1) : "");
    std::string out = "x_m,method,depth2_m,depth3_m,v1_m_s,v2_m_s,v3_m_s\n";
    for (const ShotDepth& d : m.shotDepths)
        out += fixed(d.source, 3) + ",intercept-time " + side(d.direction) + "," + fixed(d.depths[0], 3) + "," +
               (d.depths.size() > 1 ? fixed(d.depths[1], 3) : "") + velocities + "\n";
    for (const ReceiverDepth& d : m.receiverDepths)
        out += fixed(d.x, 3) + ",plus-minus," + fixed(d.depth, 3) + "," + velocities + "\n";
    return out;
}

std::string ModelText(const Model& m) {
    std::string out = std::to_string(m.layers) + " layers, velocities:";
    for (std::size_t k = 0; k < m.velocities.size(); ++k)
        out += " v" + std::to_string(k + 1) + " = " + fixed(m.velocities[k], 0) + " m/s";
    out += "\n";
    if (!m.shotDepths.empty()) out += "Intercept-time depths below the shots (m):\n";
    for (const ShotDepth& d : m.shotDepths) {
        out += "  shot " + fixed(d.source, 2) + " m " + side(d.direction) + ": layer 2 at " + fixed(d.depths[0], 2);
        if (d.depths.size() > 1) out += ", layer 3 at " + fixed(d.depths[1], 2);
        out += "\n";
    }
    if (!m.receiverDepths.empty()) out += "Plus-minus depth of the top of layer 2 below the receivers (m):\n";
    for (const ReceiverDepth& d : m.receiverDepths)
        out += "  " + fixed(d.x, 2) + " m: " + fixed(d.depth, 2) + " (shot pairs: " + std::to_string(d.pairs) + ")\n";
    if (!m.reciprocals.empty()) out += "Reciprocal times (ms):\n";
    for (const Reciprocal& r : m.reciprocals)
        out += "  shots " + fixed(r.shotA, 2) + " and " + fixed(r.shotB, 2) + " m: " + fixed(r.timeAB * 1e3, 2) +
               " / " + fixed(r.timeBA * 1e3, 2) + ", misfit " + fixed(r.misfit() * 1e3, 2) + "\n";
    for (const std::string& n : m.notes) out += "Note: " + n + "\n";
    return out;
}

}  // namespace q24::refraction
