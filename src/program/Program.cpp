#include "program/Program.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "link/EventLoopWaits.h"
#include "link/PosixPort.h"
#include "display/TraceCount.h"
#include "state/Config.h"
#include "units/PtyUnits.h"

namespace q24 {

namespace {

// The units --simulate offers: a shot gather over 96 units numbered 1 to 96
// (FIND UNITS fills the 96 channel positions with them), the hammer three
// seconds after arming, bytes paced at the line rate.
std::unique_ptr<units::PtyUnits> StartSimulatedUnits() {
    units::UnitsConfig c;
    for (int unit = 1; unit <= 96; ++unit) c.addresses.push_back(unit);
    c.data = units::DataKind::Gather;
    c.triggerDelay = 3.0;
    c.paced = true;
    auto u = std::make_unique<units::PtyUnits>(c);
    std::string error;
    if (!u->open(error)) {
        std::fprintf(stderr, "quelda24: the emulated units could not start: %s\n", error.c_str());
        return nullptr;
    }
    u->start();
    std::fprintf(stderr, "quelda24: emulated units on %s\n", u->path().c_str());
    return u;
}

}  // namespace

struct Program::OwnLine {
    PosixPort port;
    EventLoopWaits waits;
    std::unique_ptr<units::PtyUnits> simulated;  // --simulate: the units on a pseudo-terminal
};

Program::Program(Operator& op, Options options, Regional regional)
    : Program(op, std::move(options), std::move(regional), std::make_unique<OwnLine>(), nullptr, nullptr) {}

Program::Program(Operator& op, Options options, Regional regional, Port& port, Waits& waits)
    : Program(op, std::move(options), std::move(regional), nullptr, &port, &waits) {}

Program::Program(Operator& op, Options options, Regional regional, std::unique_ptr<OwnLine> line, Port* port,
                 Waits* waits)
    : options_(std::move(options)),
      regional_(std::move(regional)),
      files_{options_.home, regional_},
      op_(op),
      line_(std::move(line)),
      state_(std::make_unique<State>()),
      port_(port ? *port : line_->port),
      waits_(waits ? *waits : line_->waits),
      map_(portMap()),
      gated_(op),
      link_(*state_, gated_, port_, map_, waits_),
      owner_(*state_, gated_, link_),
      params_(*state_, gated_, regional_.decimal),
      channels_(*state_),
      shot_(*state_, gated_, op, link_, owner_, params_, channels_, files_),
      running_(*state_, gated_, op, link_, owner_, params_, channels_),
      timed_(*state_, gated_, op, link_, owner_, channels_),
      passive_(*state_, gated_, op, link_, files_, owner_),
      probe_(*state_, gated_, link_, owner_),
      noise_(options_.home + "/" + kMonitorSettingsFile) {
    owner_.failed = [](const std::string& what) {
        std::fprintf(stderr, "quelda24: a sequence failed: %s\n", what.c_str());
    };
}

Program::~Program() = default;

PortMap Program::portMap() {
    PortMap map;
    bool comOneGiven = false;
    for (const auto& [n, path] : options_.ports) {
        map.assign(n, path);
        comOneGiven |= n == 1;
    }
    if (line_ && options_.simulate && (line_->simulated = StartSimulatedUnits()) && !comOneGiven)
        map.assign(1, line_->simulated->path());
    map.fillDefaults(line_ ? PortMap::PresentDevices("/dev", HasUart) : std::vector<std::string>{});
    return map;
}

Task<bool> Program::startLine() {
    State& s = *state_;
    if (std::exchange(openAtStart_, false)) {
        if (!owner_.idle()) owner_.phase(Activity::SpeedChange);  // within the owner's reset sequence
        if (!co_await link_.Open_port()) co_return false;
    }
    link_.Send_parameters(s.Trigger_unit, 256, 8000, 0, s.Trg_mode, s.Trg_opening, s.Passive_mode);
    co_await owner_.reset();
    co_return !link_.cancelled();
}

units::PtyUnits* Program::simulatedUnits() { return line_ ? line_->simulated.get() : nullptr; }

std::string Program::lineFailure() const {
    if (!link_.openError().empty()) return link_.openError();
    const std::string path = map_.path(state_->Com_port);
    return "the port " + (path.empty() ? "COM" + std::to_string(state_->Com_port) : path) + " could not be opened";
}

void Program::goTrigger() {
    owner_.request(Command::GoTrigger, Activity::ShotArmed, [this] { return shot_.puls_trigger_Click(); });
}

void Program::exitTrigger() {
    if (owner_.allows(Command::ExitTrigger)) shot_.ExitFromTrigger();
}

void Program::goRunning() {
    owner_.request(Command::GoRunning, Activity::Running, [this] { return running_.run(); });
}

void Program::stop() {
    if (owner_.activity() == Activity::Probing) {
        owner_.cancel(CancelReason::Preempted);
        return;
    }
    if (owner_.allows(Command::Stop)) running_.fine_loop();
}

void Program::continuousSampling() {
    owner_.request(Command::ContinuousSampling, Activity::Timed, [this] { return running_.puls_sample_Click(); });
}

void Program::passiveSeismic() {
    owner_.request(Command::Passive, Activity::Passive, [this] { return op_.passiveSeismic(); });
}

void Program::resetUnits() {
    owner_.request(Command::Reset, Activity::Resetting, [this]() -> Task<void> { co_await owner_.reset(); });
}

void Program::findUnits(const std::function<void(const ProbeResult&)>& done) {
    const bool started = owner_.request(Command::FindUnits, Activity::Probing, [this, done]() -> Task<void> {
        const ProbeResult r = co_await probe_.run();
        if (r.complete) {
            std::vector<std::pair<int, bool>> fill;
            for (const FoundUnit& u : r.units) fill.emplace_back(u.address, u.answer == UnitAnswer::Answered);
            // Nobody answered (a cable off): the spread stays as it was.
            const int leftOver = fill.empty() ? 0 : channels_.FillFound(fill);
            if (const std::string text = ProbeMessage(r, leftOver); !text.empty()) co_await gated_.messageAsync(text);
        }
        if (done) done(r);
    });
    if (!started && done) done(ProbeResult{});  // refused: the reason is in the status text
}

void Program::traceCountChanged(int value) {
    TraceCountChanged(*state_, gated_, value, op_.pictureWidth());
    channels_.RefreshChannelSlots();
}

std::string Program::saveConfiguration() {
    params_.VScroll1_Change();
    return SaveConfiguration(*state_, options_.home);
}

void Program::end(int status) {
    auto quit = [status] { QCoreApplication::exit(status); };
    if (owner_.idle()) {
        quit();
        return;
    }
    if (ending_) return;
    ending_ = true;
    // The sequence's clean-up only sends the reset byte now; whatever still
    // waits after that is not waited for.
    owner_.idleAgain = quit;
    owner_.cancel(CancelReason::Ending);
    constexpr int kLastChanceMs = 3000;
    QTimer::singleShot(kLastChanceMs, qApp, quit);
}

}  // namespace q24
