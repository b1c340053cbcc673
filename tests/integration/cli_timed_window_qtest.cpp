// Timed sampling through the program's window under --simulate, as an
// operator would: START, the save dialog, EXIT; a picture while recording.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "files/Saving.h"
#include "support/ProgramWindow.h"
#include "support/Screenshot.h"
#include "support/SpreadIni.h"
#include "support/TempDir.h"
#include "ui/Application.h"
#include "units/PtyUnits.h"

using namespace q24;

class TimedWindow : public QObject {
    Q_OBJECT

private slots:
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
        app.start();
        QVERIFY(app.program().simulatedUnits());
        // The start-up's line steps (open, parameters, reset) run first.
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
};

QTEST_MAIN(TimedWindow)
#include "cli_timed_window_qtest.moc"
