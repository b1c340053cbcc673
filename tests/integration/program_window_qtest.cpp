// The program's window under --simulate, its dialogs answered as an operator
// would: timed sampling (START, the save dialog, EXIT), a shot, a reviewed
// stack, FIND UNITS and the program's end while a shot is armed; pictures of
// the window and the dialogs.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "acquisition/NoiseMonitor.h"
#include "acquisition/forms/Noise_monitor.h"
#include "files/Loading.h"
#include "files/Seg2Reader.h"
#include "files/WriteForm.h"
#include "support/ProgramWindow.h"
#include "support/ReadFile.h"
#include "support/Screenshot.h"
#include "support/SpreadIni.h"
#include "support/TempDir.h"
#include "ui/Application.h"
#include "units/PtyUnits.h"

using namespace q24;

class ProgramWindow : public QObject {
    Q_OBJECT

private slots:
    // A stack of three with "Review each hit": the first hit added, the
    // second rejected, the third added reversed. The .sg2 saved holds hit 1
    // minus hit 3, as the data file's seven digits keep them, and says STACK 2.
    // First of all: the program's end in a later case leaves a last-chance
    // quit behind that would close the stacking dialog's loop.
    void reviewedStackSavesTheSignedSum() {
        const std::string converter = QCoreApplication::applicationDirPath().toStdString() + "/../bin/Sg2Maker";
        if (!std::filesystem::exists(converter)) QSKIP("Sg2Maker is not built");
        test::TempDir home;
        const int channels = 12, samples = 1024;
        QCOMPARE(test::WriteSpreadIni(home.path(), channels, [](State& s) { s.N_samples = samples; }), std::string());
        std::filesystem::copy_file(converter, home / "Sg2Maker");
        Application app(test::SimulatedOptions(home.path()), Regional{});
        app.start();
        app.window().resize(1400, 900);
        QTRY_VERIFY_WITH_TIMEOUT(app.owner().idle(), 15000);

        std::vector<TraceArray> hits;
        int questions = 0;
        test::OperatorHand operatorHand(50, [&](QWidget* front) {
            const QString name = front->objectName();
            if (auto* box = qobject_cast<QMessageBox*>(front)) {
                if (box->text() == "Keep on Stacking?") {
                    box->button(++questions < 3 ? QMessageBox::Yes : QMessageBox::No)->click();
                } else box->button(QMessageBox::Ok)->click();
            } else if (name == "stacking") {
                front->findChild<QRadioButton*>("Option1")->click();
                front->findChild<QCheckBox*>("Review_hits")->click();
                test::SaveScreenshot(*front, "stacking_review");
                front->findChild<QPushButton*>("Command1")->click();
            } else if (name == "geometria") {
                static_cast<QDialog*>(front)->accept();
            } else if (name == "Review_hit") {
                hits.push_back(app.program().shot().hit());
                QCOMPARE(front->windowTitle(), QString("Review hit %1").arg(hits.size()));
                if (hits.size() == 3) test::SaveScreenshot(*front, "review_hit");
                const char* choice[] = {"Add", "Reject", "Add_reversed"};
                front->findChild<QPushButton*>(choice[hits.size() - 1])->click();
            } else if (name == "Percorsofile_tr") {
                front->findChild<QLineEdit*>("Text1")->setText("stack 1");
                // DONE ends on "file .sg2 created", a box of its own.
                QTimer::singleShot(0, front->findChild<QPushButton*>("Command1"), &QPushButton::click);
            }
        });
        operatorHand.start();
        QTimer::singleShot(0, [&] { app.window().findChild<QAction*>("Stack")->trigger(); });
        QTRY_VERIFY_WITH_TIMEOUT(app.state().Stacking && app.state().Review_hits, 10000);
        app.window().toolbarAction(2)->trigger();  // GO TRIGGER
        QTRY_VERIFY_WITH_TIMEOUT(questions == 3 && app.owner().idle(), 90000);
        operatorHand.stop();
        test::SaveScreenshot(app.window(), "window_after_review");

        QCOMPARE(int(hits.size()), 3);
        std::optional<Seg2File> sg2;
        QTRY_VERIFY_WITH_TIMEOUT((sg2 = ParseSeg2(test::ReadFile(home / "Data" / "stack 1.sg2"))).has_value() &&
                                     int(sg2->traces.size()) == channels,
                                 20000);
        for (int t = 0; t < channels; ++t) {
            const Seg2Trace& trace = sg2->traces[static_cast<std::size_t>(t)];
            QCOMPARE(Seg2Value(trace.strings, "STACK").value_or(""), std::string("2"));
            QCOMPARE(int(trace.values.size()), samples);
            for (int k = 0; k < samples; ++k) {
                const float sum = (0.0f + hits[0](t, k)) - hits[2](t, k);
                const float kept = static_cast<float>(std::strtod(WriteFormSingle(sum).c_str(), nullptr));
                const float got = trace.values[static_cast<std::size_t>(k)];
                if (got != kept)
                    QFAIL(qPrintable(QString("trace %1 sample %2: %3, not %4").arg(t + 1).arg(k).arg(got).arg(kept)));
            }
        }
        QVERIFY(std::abs(hits[0](0, 300) - hits[2](0, 300)) > 0);  // the hits differ: their noise
    }

    void recordAndSaveUnderSimulate() {
        const std::string converter = QCoreApplication::applicationDirPath().toStdString() + "/../bin/Sg2Maker";
        if (!std::filesystem::exists(converter)) QSKIP("Sg2Maker is not built");
        test::TempDir home;
        QCOMPARE(test::WriteSpreadIni(home.path(), 4, [](State& s) {
                     s.N_samples = 256;
                     s.Sampling_freq = 250;
                     s.Finestra_tempo = 1;
                     s.Baud_rate = 500000;
                 }),
                 std::string());
        std::filesystem::copy_file(converter, home / "Sg2Maker");

        Application app(test::SimulatedOptions(home.path()), Regional{});
        app.start();  // its line steps (open, parameters, reset) run first
        QVERIFY(app.program().simulatedUnits());
        QTRY_VERIFY_WITH_TIMEOUT(app.owner().idle(), 15000);
        app.program().simulatedUnits()->with([](units::Units& u) { u.config().clockScale = 30; });
        // A stored low rate becomes 4000 Hz at start-up: the operator picks
        // 250 Hz in the parameters dialog, which enables "Continuous sampling".
        app.program().parameters().setFreqPosition(2);
        QCOMPARE(app.state().Sampling_freq, 250);

        QStringList seen;
        bool started = false, pictured = false, exited = false;
        int speedWhileRecording = 0;
        test::OperatorHand operatorHand(50, [&](QWidget* front) {
            if (auto* box = qobject_cast<QMessageBox*>(front)) {
                seen << box->text();
                box->button(QMessageBox::Ok)->click();
            } else if (front->objectName() == "Percorsofile") {
                seen << front->objectName();
                front->findChild<QLineEdit*>("Text1")->setText("timed 1");
                front->findChild<QPushButton*>("OK")->click();
            } else if (front->objectName() == "acquisizione") {
                auto* start = front->findChild<QPushButton*>("Start_acq");
                auto* status = front->findChild<QLabel*>("Label3");
                if (!started && start->isEnabled()) {
                    started = true;
                    QCOMPARE(front->findChild<QLabel*>("Label5")->text(), "250");
                    QTimer::singleShot(0, start, &QPushButton::click);
                } else if (!pictured && status->text() == "Sampling and Reception..." &&
                           front->findChild<QProgressBar*>("ProgressBar1")->value() >= 40) {
                    pictured = true;
                    speedWhileRecording = app.program().link().pcSpeed();
                    test::SaveScreenshot(*front, "acquisizione_in_program");
                } else if (!exited && status->text() == "FINE" && start->isEnabled()) {
                    exited = true;
                    seen << "FINE";
                    QTimer::singleShot(0, front->findChild<QPushButton*>("Command2"), &QPushButton::click);
                }
            }
        });
        operatorHand.start();

        auto* button = app.window().findChild<QPushButton*>("puls_sample");
        QVERIFY(button && button->isEnabled());
        button->click();  // the dialog's sequence runs from the event loop, until EXIT
        QTRY_VERIFY_WITH_TIMEOUT(app.owner().idle(), 60000);
        operatorHand.stop();

        QVERIFY(pictured);
        QCOMPARE(speedWhileRecording, 1000000);  // the high rate
        QCOMPARE(seen, (QStringList{"Percorsofile", kSg2Created, "FINE"}));
        QCOMPARE(app.state().N_samples_cont, 14976);
        QCOMPARE(app.program().link().pcSpeed(), 500000);  // EXIT's reset: back to the working rate
        QVERIFY(std::filesystem::exists(home / "data.txt"));
        const auto sg2 = home / "Data" / "timed 1.sg2";
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(sg2), 20000);
    }

    // A shot, the dialogs answered as an operator would; then EXIT or the
    // close box while a shot waits for a trigger that never comes: what would
    // disturb the armed units is refused with its reason, and the program
    // ends within five seconds with the units reset; EXIT writes ini.txt, the
    // close box does not.
    void shotThenEndingWhileArmed() {
        for (const bool viaExit : {true, false}) {
            test::TempDir home;  // empty: the first start under --simulate is ready to shoot
            Application app(test::SimulatedOptions(home.path()), Regional{});
            app.start();  // its line steps (open, parameters, reset) run first
            app.window().resize(1400, 900);
            QStringList seen;
            test::OperatorHand operatorHand(100, [&](QWidget* front) {
                if (auto* box = qobject_cast<QMessageBox*>(front)) {
                    seen << box->text();
                    box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
                } else if (auto* d = qobject_cast<QDialog*>(front)) {
                    seen << d->objectName();
                    if (d->objectName() == "geometria") d->accept();
                    else d->reject();
                }
            });
            operatorHand.start();
            QTRY_VERIFY_WITH_TIMEOUT(app.owner().idle(), 15000);
            QAction* go = app.window().toolbarAction(2);
            if (viaExit) {
                QVERIFY(go->isEnabled());
                go->trigger();  // the shot runs from the event loop
                QVERIFY(!go->isEnabled());
                QTRY_VERIFY_WITH_TIMEOUT(app.owner().idle(), 60000);
                QCOMPARE(int(app.program().shot().lastShot()), int(TriggerAcquisition::ShotEnd::Done));
                QCOMPARE(seen, (QStringList{"geometria", "Press to Continue", "Percorsofile_tr"}));
                QVERIFY(go->isEnabled());
                QCOMPARE(app.window().text(Ctl::testo), std::string());
                // The first breaks came: the traces near the source are far from flat.
                QVERIFY(std::abs(app.state().Dati(0, 300)) + std::abs(app.state().Dati(0, 400)) > 0);
                test::SaveScreenshot(app.window(), "window_after_shot");
            }

            app.program().simulatedUnits()->with([](units::Units& u) { u.config().triggerDelay = -1; });
            std::filesystem::remove(home / "ini.txt");
            go->trigger();
            QTRY_COMPARE_WITH_TIMEOUT(app.window().text(Ctl::testo), std::string("Waiting for Trigger..."), 10000);
            operatorHand.stop();
            QVERIFY(!go->isEnabled());
            QVERIFY(!app.owner().allows(Command::Reset));
            QCOMPARE(app.window().text(Ctl::testo), std::string("Not now: waiting for the trigger"));
            if (viaExit) test::SaveScreenshot(app.window(), "window_refusal_while_armed");

            auto resets = [&app] {
                return app.program().simulatedUnits()->with([](units::Units& u) {
                    return static_cast<long>(std::count(u.log().begin(), u.log().end(), std::string("reset")));
                });
            };
            const long before = resets();
            QElapsedTimer clock;
            clock.start();
            QTimer::singleShot(0, [&] {
                if (viaExit) app.window().findChild<QAction*>("uscita")->trigger();
                else app.window().close();
            });
            QTimer hang;  // a hang fails here
            hang.setSingleShot(true);
            QObject::connect(&hang, &QTimer::timeout, [] { QApplication::exit(99); });
            hang.start(20000);
            QCOMPARE(QApplication::exec(), 0);
            QVERIFY2(clock.elapsed() < 5000, QByteArray::number(clock.elapsed()).constData());
            QCOMPARE(std::filesystem::exists(home / "ini.txt"), viaExit);
            QTRY_COMPARE_WITH_TIMEOUT(resets(), before + 1, 2000);
        }
    }
    // FIND UNITS in the channel settings over the emulated units 2, 5 and 7:
    // slots 1 to 3 get them, ticked; slot 4 keeps the spread's unit 4.
    void findUnitsFillsTheChannelSlots() {
        test::TempDir home;  // empty: the emulated units' spread, units 1 to 24
        Application app(test::SimulatedOptions(home.path()), Regional{});
        app.start();
        QTRY_VERIFY_WITH_TIMEOUT(app.owner().idle(), 15000);
        app.program().simulatedUnits()->with([](units::Units& u) { u.config().addresses = {2, 5, 7}; });
        bool clicked = false, closed = false;
        test::OperatorHand operatorHand(50, [&](QWidget* front) {
            if (front->objectName() != "Channels_setting") return;
            auto* find = front->findChild<QPushButton*>("Find_units");
            if (!clicked) {
                clicked = true;
                find->click();
            } else if (app.owner().idle() && find->text() == "FIND UNITS" && !closed) {
                closed = true;
                test::SaveScreenshot(*front, "channels_after_find_units");
                front->findChild<QPushButton*>("Command1")->click();
            }
        });
        operatorHand.start();
        QTimer::singleShot(0, [&] { app.window().findChild<QAction*>("canali")->trigger(); });
        QTRY_VERIFY_WITH_TIMEOUT(closed, 20000);
        operatorHand.stop();
        const State& s = app.state();
        QCOMPARE((std::vector<int>{s.Ch_param[1], s.Ch_param[2], s.Ch_param[3], s.Ch_param[4]}),
                 (std::vector<int>{2, 5, 7, 4}));
        QVERIFY(s.Ch_enabled[1] && s.Ch_enabled[2] && s.Ch_enabled[3]);
    }

    // The noise monitor in running mode, unit 3 noisy and unit 5 silent: the
    // third bar red over the threshold, the fifth "not working", the others
    // quiet. A threshold typed as text is refused and the old one stays; a
    // good one takes effect at once.
    void noiseMonitorInRunningMode() {
        test::TempDir home;  // empty: the emulated units' spread, units 1 to 24
        Application app(test::SimulatedOptions(home.path()), Regional{});
        app.start();
        app.window().resize(1400, 900);
        QTRY_VERIFY_WITH_TIMEOUT(app.owner().idle(), 15000);
        app.program().simulatedUnits()->with([](units::Units& u) {
            u.config().noisy[3] = -20;
            u.config().silent.insert(5);
        });
        auto* view = app.window().findChild<Noise_monitor*>("Noise_monitor");
        QVERIFY(view && !view->isVisible() && !app.program().running().noise);
        app.window().findChild<QCheckBox*>("Noise_view")->click();
        QVERIFY(view->isVisible());
        app.window().toolbarAction(0)->trigger();  // GO RUNNING
        const NoiseMonitor& m = app.program().noise();
        QTRY_VERIFY_WITH_TIMEOUT(m.sweeps() >= 3, 60000);  // the second sweep read whole

        auto* box = view->findChild<QLineEdit*>("Noise_threshold");
        auto* status = view->findChild<QLabel*>("Noise_status");
        auto type = [&](const char* text) {
            box->setText(text);
            QTest::keyClick(box, Qt::Key_Return);
        };
        auto colourAt = [view](int position) {
            const QRect bar = view->barArea(position);
            return view->grab().toImage().pixelColor(bar.center().x(), bar.bottom() - 3);
        };
        QCOMPARE(m.channels().size(), std::size_t{24});
        for (const NoiseMonitor::Channel& c : m.channels()) {
            const auto reading = c.position == 5 ? NoiseMonitor::Reading::NotWorking : NoiseMonitor::Reading::Level;
            QCOMPARE(std::tuple(int(c.reading), m.over(c)), std::tuple(int(reading), c.position == 3));
        }
        QVERIFY(colourAt(3).red() > 200 && colourAt(3).green() < 60);
        QVERIFY(colourAt(4).green() > colourAt(4).red());
        QCOMPARE(colourAt(5), QColor(150, 150, 150));  // the grey stub
        test::SaveScreenshot(app.window(), "window_noise_monitor");

        type("loud");  // which ones are refused, and monitor.ini: the logic's tests
        QCOMPARE(std::tuple(m.threshold(), box->text()), std::tuple(-40.0, QString("-40")));
        QVERIFY2(status->text().contains("the threshold stays -40 dB"), qPrintable(status->text()));
        type("-10,5");
        QCOMPARE(std::tuple(m.threshold(), status->text()), std::tuple(-10.5, QString()));
        QVERIFY(colourAt(3).green() > colourAt(3).red());  // under the new threshold

        app.window().toolbarAction(1)->trigger();  // STOP
        QTRY_VERIFY_WITH_TIMEOUT(app.owner().idle(), 15000);
        app.window().findChild<QCheckBox*>("Noise_view")->click();
        QVERIFY(!view->isVisible() && !app.program().running().noise);
    }

    // Another recorder's file with 10 ms of pre-trigger, loaded: the trigger
    // line stands where its DELAY puts the trigger (80 of 2031 drawn samples).
    void loadedPreTriggerShowsTheTriggerLine() {
        const std::string file = std::string(Q24_SEG2_CORPUS) + "/obspy_geometrics-smartseis_fmt3_1tr.seg2";
        if (!std::filesystem::exists(file)) QSKIP("the SEG-2 corpus is not beside the repository");
        test::TempDir home;  // empty: the emulated units' spread
        Application app(test::SimulatedOptions(home.path()), Regional{});
        app.start();
        app.window().resize(1400, 900);
        QTRY_VERIFY_WITH_TIMEOUT(app.owner().idle(), 15000);
        QCOMPARE(int(LoadFile(app.state(), app.op(), file, Regional{})), int(LoadResult::Loaded));
        auto* zero = app.window().findChild<QWidget*>("zero_line");
        QVERIFY(zero && zero->isVisible());
        const int height = zero->parentWidget()->height();
        QVERIFY2(std::abs(zero->geometry().center().y() - height * 80 / 2031.2) <= 2,
                 QByteArray::number(zero->geometry().center().y()).constData());
        test::SaveScreenshot(app.window(), "window_loaded_pretrigger");
    }
};

QTEST_MAIN(ProgramWindow)
#include "program_window_qtest.moc"
