// The main window as the operator meets it: the questions, EXIT and the close
// box, the panel switched off and on, the panel at two screen sizes.
#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <fstream>

#include "support/DialogTest.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"
#include "ui/analog.h"
#include "ui/Application.h"

using namespace q24;

namespace {

// Presses `button` on the next message box to open and remembers its text;
// then notes the name of the dialog the answer opened ("" for none) and
// closes it.
void answerNextBox(QMessageBox::StandardButton button, QString* seen, QString* opened = nullptr) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        if (seen) *seen = box->text();
        box->button(button)->click();
        if (!opened) return;
        QTimer::singleShot(0, [=] {
            QWidget* front = QApplication::activeModalWidget();
            *opened = front ? front->objectName() : "";
            if (front) front->close();
        });
    });
}

// The program started with --home FOLDER and nothing else.
WindowOptions AtHome(const std::string& folder) {
    WindowOptions o;
    o.home = folder, o.noPortDialog = true;
    return o;
}

void writeIni(const std::string& folder) {
    std::ofstream out(folder + "/ini.txt", std::ios::binary);
    for (auto* v : {"1024", "4000", "12", "1"}) out << v << "\r\n";
    for (int i = 1; i <= 240; ++i) out << i << "\r\n";
    for (auto* v : {"5", "0", "0", "5", "0", "500000", "500000", "2000", "256", "0"}) out << v << "\r\n";
}

}  // namespace

class AnalogTest : public QObject {
    Q_OBJECT
private slots:
    void questionsUseTheirTextsAndActOnlyOnOkOrYes() {
        test::TempDir home;
        Application app(AtHome(home.path()), Regional::fromLocaleName("en_US"));
        auto trigger = [&](const char* name) { app.window().findChild<QAction*>(name)->trigger(); };
        const struct {
            const char* action;
            QString question;
            QMessageBox::StandardButton no, yes;
            QString opens;
        } rows[] = {
            {"codice", "ONLY 1 UNIT MUST BE CONNECTED ! PROCEED ANYWAY ?", QMessageBox::Cancel, QMessageBox::Ok,
             "Password"},
            {"Refraction", "Do you want to start a REFRACTION Project?", QMessageBox::No, QMessageBox::Yes,
             "Project_name"},
            {"Trg_corr", "Changing this parameter affects precision of trigger event!", QMessageBox::Cancel,
             QMessageBox::Ok, "TRG_correction"},
        };
        for (const auto& row : rows) {
            QString seen, opened = "?";
            answerNextBox(row.no, &seen, &opened);
            trigger(row.action);
            QCOMPARE(seen, row.question);
            QTRY_COMPARE(opened, QString());
            answerNextBox(row.yes, nullptr, &opened);
            trigger(row.action);
            QCOMPARE(opened, row.opens);
        }
        // "Initialisation Parameters" has no effect at all.
        trigger("Init_par");
        QVERIFY(!QApplication::activeModalWidget());
    }

    void exitWritesTheConfigurationAndTheCloseBoxDoesNot() {
        test::TempDir home;
        writeIni(home.path());
        const std::string ini = home.path() + "/ini.txt", before = test::ReadFile(ini);
        for (const bool viaExit : {false, true}) {
            if (viaExit) QCOMPARE(test::ReadFile(ini), before);  // the close box wrote nothing
            Application app(AtHome(home.path()), Regional::fromLocaleName("en_US"));
            app.program().start();  // without the line: only the configuration file matters here
            app.state().Ch_param[7] = 99;
            if (viaExit) app.window().findChild<QAction*>("uscita")->trigger();
            else app.window().close();
        }
        const std::string after = test::ReadFile(ini);
        QVERIFY(after != before);
        QVERIFY(after.find("\r\n6\r\n99\r\n8\r\n") != std::string::npos);
    }

    // The panel off keeps its labels readable; a control a sequence switched
    // off stays off when the panel comes back, and one switched on while the
    // panel is off waits for it.
    void panelControlsKeepTheirOwnStateWhileThePanelIsOff() {
        analog w;
        w.setCommand(Ctl::GO_TRIGGER, [] {});
        Panel& panel = w;
        QWidget* sample = w.findChild<QWidget*>("puls_sample");
        QWidget* toolbar = w.findChild<QWidget*>("Toolbar2");
        panel.setEnabled(Ctl::puls_sample, false);  // a high sampling rate
        panel.setEnabled(Ctl::Frame2, false);       // a shot, or running mode's STOP after it
        QVERIFY(!toolbar->isEnabled() && !w.findChild<QWidget*>("VScroll1")->isEnabled());
        QVERIFY(w.findChild<QWidget*>("testo")->isEnabled());
        panel.setEnabled(Ctl::Frame2, true);
        QVERIFY(!sample->isEnabled() && w.toolbarAction(2)->isEnabled());
        QVERIFY(!w.toolbarAction(0)->isEnabled());  // no command yet
        panel.setEnabled(Ctl::Frame2, false);
        panel.setEnabled(Ctl::Toolbar2, true);  // a unit reset during the shot
        QVERIFY(!toolbar->isEnabled());
        panel.setEnabled(Ctl::puls_sample, true);
        QVERIFY(!sample->isEnabled());
        panel.setEnabled(Ctl::Frame2, true);
        QVERIFY(toolbar->isEnabled() && sample->isEnabled());
    }

    void panelFitsWithoutOverlapAtBothScreenSizes() {
        for (QSize size : {QSize(1280, 800), QSize(1920, 1080)}) {
            analog w;
            w.resize(size);
            test::Show(w);
            QCOMPARE(w.width(), size.width());
            QWidget* frame = w.findChild<QWidget*>("Frame2");
            QList<QWidget*> parts;
            for (QWidget* c : frame->findChildren<QWidget*>())
                if (c->isVisible() && !qobject_cast<QToolBar*>(c->parentWidget()) && c->parentWidget() == frame)
                    parts << c;
            for (int i = 0; i < parts.size(); ++i) {
                QVERIFY(frame->rect().contains(parts[i]->geometry()));
                for (int j = i + 1; j < parts.size(); ++j)
                    QVERIFY2(!parts[i]->geometry().intersects(parts[j]->geometry()),
                             qPrintable(parts[i]->objectName() + " / " + parts[j]->objectName()));
            }
            for (auto* b : w.menuWidget()->findChildren<QAbstractButton*>())
                QVERIFY(w.menuWidget()->rect().contains(b->geometry()));
        }
    }
};

QTEST_MAIN(AnalogTest)
#include "analog_qtest.moc"
