// The save, project and load dialogs, driven by their controls' names.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <filesystem>
#include <sys/stat.h>

#include "files/forms/FolderLists.h"
#include "files/forms/Percorso_load.h"
#include "files/forms/Project_name.h"
#include "files/RecordFile.h"
#include "files/forms/Percorsofile.h"
#include "files/forms/Percorsofile_tr.h"
#include "support/DialogTest.h"
#include "support/FakePanel.h"
#include "support/ReadFile.h"
#include "support/TempDir.h"

using namespace q24;
using test::Click, test::Find;

namespace {

QListWidgetItem* item(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
}

void clickItem(QListWidget* list, const QString& text, bool twice = false) {
    QListWidgetItem* i = item(list, text);
    QVERIFY2(i, qPrintable(text));
    const QPoint at = list->visualItemRect(i).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class FileDialogsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> home;
    std::unique_ptr<State> s;
    test::FakePanel panel;
    FilesEnv env;
    std::vector<std::string> launched;

private slots:
    void init() {
        home = std::make_unique<test::TempDir>();
        s = std::make_unique<State>();
        s->N_Geofoni = 2;
        s->N_samples = 4;
        s->Sampling_freq = 1000;
        panel = {};
        launched.clear();
        std::filesystem::create_directories(DataFolder(home->path()) + "/Line 1");
        test::WriteFile(ConverterPath(home->path()), "#!/bin/sh\n");
        ::chmod(ConverterPath(home->path()).c_str(), 0755);
        env.home = home->path();
        env.launch = [this](const std::string& p, const std::vector<std::string>& a) {
            launched.push_back(p + " " + a.front());
            return std::string();
        };
    }

    // The pre-trigger note only when there is a pre-trigger; EXIT ends stacking.
    void triggerSavePretriggerNoteAndExit() {
        for (int pre : {0, 128}) {
            s->N_pretrigger = static_cast<int16_t>(pre);
            s->Stacking = s->Stack_series = true;
            Percorsofile_tr d(*s, panel, env);
            d.show();
            QCOMPARE(Find<QLabel>(d, "Label1")->isVisible(), pre > 0);
            QVERIFY(!Find<QCheckBox>(d, "Mseed")->isVisible());  // offered for passive recordings only
            Click(d, "Command2");
            QVERIFY(!d.isVisible() && !s->Stacking && !s->Stack_series);
            QCOMPARE(d.result(), SaveResult::Closed);
        }
    }

    // A picked file's name, declined; then a new name in a subfolder, saved.
    void triggerSavePickedFileThenASubfolder() {
        test::WriteFile(DataFolder(home->path()) + "/old shot.sg2", "old");
        Percorsofile_tr d(*s, panel, env);
        d.show();
        QCOMPARE(d.lists()->folder(), QString::fromStdString(DataFolder(home->path())));
        clickItem(Find<QListWidget>(d, "File1"), "old shot.sg2");
        QCOMPARE(Find<QLineEdit>(d, "Text1")->text(), QString("old shot"));
        test::SaveScreenshot(d, "Percorsofile_tr");

        panel.answers = {Answer::No};
        Click(d, "Command1");
        QVERIFY(!d.isVisible() && d.result() == SaveResult::Declined);

        d.show();
        auto* dirs = Find<QListWidget>(d, "Dir1");
        QListWidgetItem* sub = item(dirs, "Line 1");
        QVERIFY(sub);
        emit dirs->itemActivated(sub);  // double-click or Enter
        QVERIFY(item(dirs, ".."));
        Find<QLineEdit>(d, "Text1")->clear();
        QTest::keyClicks(Find<QLineEdit>(d, "Text1"), "shot 2");
        Click(d, "Command1");
        QCOMPARE(d.result(), SaveResult::Saved);
        const std::string folder = DataFolder(home->path()) + "/Line 1";
        QCOMPARE(launched, std::vector<std::string>{ConverterPath(home->path()) + " " + home->path() +
                                                    "/data_trigger.txt|" + folder + "/shot 2.sg2"});
    }

    // The timed save names itself after a file double-clicked, not one clicked;
    // the miniSEED box, off at first, adds NAME.mseed.
    void timedSaveNamedAfterAPickedFile() {
        s->Record_start_utc = {1796601600000000};
        s->N_samples_cont = 3;
        s->Dati_cont.resize(3, 4);
        const std::string data = DataFolder(home->path());
        test::WriteFile(data + "/old run.sg2", "old");
        Percorsofile d(*s, panel, env, {"1", "2"});
        d.show();
        auto* name = Find<QLineEdit>(d, "Text1");
        clickItem(Find<QListWidget>(d, "File1"), "old run.sg2");
        QCOMPARE(name->text(), QString("xyz"));
        test::SaveScreenshot(d, "Percorsofile");
        clickItem(Find<QListWidget>(d, "File1"), "old run.sg2", true);
        QCOMPARE(name->text(), QString("old run"));
        auto* mseed = Find<QCheckBox>(d, "Mseed");
        QVERIFY(mseed->isVisible() && !mseed->isChecked() && mseed->text() == "Also save as miniSEED");
        mseed->setChecked(true);
        Click(d, "OK");
        QVERIFY(IsNormalFile(data + "/old run.mseed"));
        QCOMPARE(d.result(), SaveResult::Saved);
        QCOMPARE(launched, std::vector<std::string>{ConverterPath(home->path()) + " " + home->path() + "/data.txt|" +
                                                    data + "/old run.sg2"});
    }

    void projectNameStartsAProject() {
        Project_name d(*s, panel, env);
        d.show();
        auto* name = Find<QLineEdit>(d, "Text1");
        test::SaveScreenshot(d, "Project_name");
        name->selectAll();
        QTest::keyClicks(name, "north line");
        Click(d, "Command2");
        QVERIFY(!d.isVisible() && s->Refraction_project);
        QCOMPARE(s->Prj_name, std::string("north line"));
        QVERIFY(IsNormalFile(ProjectPath(home->path(), "north line")));
    }

    void loadDialogListsDataFilesAndLoadsOnDoubleClick() {
        const std::string data = DataFolder(home->path());
        for (const char* f : {"a.sg2", "c.seg2", "D.DAT", "e.doc"}) test::WriteFile(data + "/" + f, "x");
        auto rec = std::make_unique<State>();
        rec->N_Geofoni = 1, rec->N_samples = 2, rec->Sampling_freq = 2000;
        rec->Dati(0, 1) = 5;
        test::WriteFile(data + "/b.txt", RecordFileText(*rec));
        int redraws = 0;
        Percorso_load d(*s, panel, Regional{}, data, [&] { ++redraws; });
        d.show();
        auto* files = Find<QListWidget>(d, "File1");
        QStringList shown;
        for (int i = 0; i < files->count(); ++i) shown << files->item(i)->text();
        QCOMPARE(shown, (QStringList{"a.sg2", "b.txt", "c.seg2", "D.DAT"}));
        test::SaveScreenshot(d, "Percorso_load");
        clickItem(files, "b.txt", true);
        QVERIFY(!d.isVisible());
        QCOMPARE(std::tuple(s->Sampling_freq, s->Dati(0, 1), redraws), std::tuple(2000, 5.0f, 1));
    }
};

QTEST_MAIN(FileDialogsTest)
#include "dialogs_qtest.moc"
