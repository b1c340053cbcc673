// The real serial layer against quelda24-units over a pseudo-terminal: the
// start-up and the line held alone (shots, bursts and sweeps over it are the
// command-line tool's tests).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include <QCoreApplication>

#include "link/EventLoopWaits.h"
#include "link/Link.h"
#include "link/PosixPort.h"
#include "support/FakePanel.h"
#include "support/PatternTrace.h"
#include "units/UnitsProcess.h"

using namespace q24;

namespace {

class OverPty : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "pty_test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    }
    void SetUp() override {
        const std::string tool = units::UnitsProcess::ToolBesideMe();
        if (tool.empty()) GTEST_SKIP() << "quelda24-units is not built";
        units_ = std::make_unique<units::UnitsProcess>(tool, std::vector<std::string>{"--pattern", "--paced"});
        ASSERT_TRUE(units_->running()) << units_->error();
        map_.assign(1, units_->path());
        map_.fillDefaults({});
        s_->Com_port = 1;
        s_->Baud_rate = 1000000;
        s_->Use_timeout = true;
        link_ = std::make_unique<Link>(*s_, panel_, port_, map_, waits_);
    }

    std::unique_ptr<units::UnitsProcess> units_;
    std::unique_ptr<State> s_ = std::make_unique<State>();
    test::FakePanel panel_;
    PosixPort port_;
    PortMap map_;
    EventLoopWaits waits_;
    std::unique_ptr<Link> link_;
};

TEST_F(OverPty, StartupABlockAndTheLineForThisProgramAlone) {
    Link& link = *link_;
    // Start-up: open at 250000, speed command, working speed after about a
    // second, parameter command, reset, working speed again.
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(RunInEventLoop(link.Open_port()), 1);
    const double opened = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(opened, 0.5);
    EXPECT_LE(opened, 1.7);
    EXPECT_EQ(port_.speed(), 1000000);
    EXPECT_EQ(panel_.text(Ctl::Baudrate_lbl), "Br= 1000000");
    link.Send_parameters(1, 256, 8000, 0, 0, 0, false);
    RunInEventLoop(link.Reset_units());
    EXPECT_EQ(port_.speed(), 1000000);
    EXPECT_TRUE(panel_.messages.empty());

    // A block: the exact pattern, mean removed.
    ASSERT_EQ(RunInEventLoop(link.Read_block(5, 1024, false, true)), 1);
    const std::vector<float> block = test::PatternBlockTrace(5, 1024);
    for (int k = 0; k < 1024; ++k) ASSERT_EQ(s_->Traccia[k], block[k]) << k;
    EXPECT_EQ(link.counters().timeouts + link.counters().framing, 0u);

    // The line belongs to this program alone: a second one is refused at once.
    PosixPort other;
    std::string error;
    EXPECT_FALSE(other.open(units_->path(), error));
    EXPECT_EQ(error, Port::kInUse);
    port_.close();
    EXPECT_TRUE(other.open(units_->path(), error)) << error;
}

}  // namespace
