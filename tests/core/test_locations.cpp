// Where the program keeps its settings and finds its user's guide: beside
// itself when portable, in the user's config folder when installed.
#include "core/Locations.h"
#include "support/TestSupport.h"

#include <QtTest>

using TestSupport::Core;

class TestLocations : public QObject
{
    Q_OBJECT
private slots:
    void whereFilesLive_data()
    {
        QTest::addColumn<QString>("tree"); // what the program's surroundings hold
        // settings file | user's guide | first-start folder; {p} the prefix, {h} home
        QTest::addColumn<QString>("where");
        QTest::newRow("build folder") << ""
                                      << "{p}/bin/tarvik.ini|{p}/bin/Readme.html|{p}/bin";
        QTest::newRow("installed, a settings file beside")
            << "doc ini"
            << "{p}/bin/tarvik.ini|{p}/bin/Readme.html|{p}/bin";
        QTest::newRow("installed")
            << "doc"
            << "{h}/.config/reelbind/tarvik.ini|{p}/share/doc/reelbind/Readme.html|{h}";
        QTest::newRow("installed, Videos")
            << "doc videos"
            << "{h}/.config/reelbind/tarvik.ini|{p}/share/doc/reelbind/Readme.html|{h}/Videos";
        QTest::newRow("installed, XDG_CONFIG_HOME")
            << "doc xdg"
            << "{h}/cfg/reelbind/tarvik.ini|{p}/share/doc/reelbind/Readme.html|{h}";
        QTest::newRow("installed, config folder impossible")
            << "doc blocked"
            << "{h}/file/reelbind/tarvik.ini|{p}/share/doc/reelbind/Readme.html|{h}";
    }
    void whereFilesLive()
    {
        QFETCH(QString, tree);
        QFETCH(QString, where);
        QTemporaryDir prefix, home;
        QVERIFY(QDir().mkpath(prefix.filePath("bin")));
        if (tree.contains("doc")) {
            QVERIFY(QDir().mkpath(prefix.filePath("share/doc/reelbind")));
            TestSupport::makeFile(prefix.filePath("share/doc/reelbind"), "Readme.html", 10);
        }
        QFile ini(prefix.filePath("bin/tarvik.ini"));
        QVERIFY(!tree.contains("ini") ||
                (ini.open(QIODevice::WriteOnly) && ini.write("[Preferences]\n")));
        ini.close();
        QVERIFY(!tree.contains("videos") || QDir().mkpath(home.filePath("Videos")));
        TestSupport::makeFile(home.path(), "file", 1); // no folder can be made under it
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", tree.contains("xdg") ? QFile::encodeName(home.filePath("cfg"))
                                   : tree.contains("blocked")
                                       ? QFile::encodeName(home.filePath("file"))
                                       : QByteArray());
        const Locations l = Locations::of(prefix.filePath("bin"));
        QCOMPARE(QStringList({l.settingsFile(), l.readme, l.firstStartFolder}).join('|'),
                 where.replace("{p}", prefix.path()).replace("{h}", home.path()));
        QCOMPARE(l.installed, tree.contains("doc") && !tree.contains("ini"));

        // Start-up makes the config folder and writes there, nothing beside the program;
        // where it cannot, the program starts all the same on the defaults.
        Core core(l);
        if (!tree.contains("ini"))
            QCOMPARE(core.settings(), Settings::defaults(l.firstStartFolder));
        QCOMPARE(QFileInfo(l.settingsFile()).isFile(), !tree.contains("blocked"));
        QCOMPARE(QDir(prefix.filePath("bin")).entryList(QDir::Files),
                 QStringList(tree.contains("ini") || !l.installed ? 1 : 0, "tarvik.ini"));
    }
};

QTEST_GUILESS_MAIN(TestLocations)
#include "test_locations.moc"
