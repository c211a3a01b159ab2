#include "globalcontrl.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TstGlobalContrl : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir *dir = nullptr;
    QString olddir;

    static QByteArray readfile()
    {
        QFile f(QStringLiteral("UserConfig.ini"));
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray();
        return f.readAll();
    }
    static void writefile(const QByteArray &text)
    {
        QFile f(QStringLiteral("UserConfig.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

private slots:
    // Every case runs in a fresh, empty working directory.
    void init()
    {
        olddir = QDir::currentPath();
        dir = new QTemporaryDir;
        QVERIFY(dir->isValid());
        QVERIFY(QDir::setCurrent(dir->path()));
    }
    void cleanup()
    {
        QDir::setCurrent(olddir);
        delete dir;
        dir = nullptr;
    }

    void missingfilewritesChinese()
    {
        QVERIFY(!QFile::exists(QStringLiteral("UserConfig.ini")));
        GlobalContrl g;
        QCOMPARE(g.getlanguage(), 1);
        QCOMPARE(g.getclosing(), uchar(0));
        const QByteArray text = readfile();
        QVERIFY(text.contains("[General]"));
        QVERIFY(text.contains("Langue=chs"));
        QCOMPARE(GlobalContrl::configpath(), QDir(dir->path()).canonicalPath() + "/UserConfig.ini");
    }

    void storedvalue_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("language");
        QTest::newRow("en") << QByteArray("[General]\nLangue=en\n") << 0;
        QTest::newRow("En is not en") << QByteArray("[General]\nLangue=En\n") << 1;
        QTest::newRow("no key") << QByteArray("[General]\nOther=en\n") << 1;
        QTest::newRow("garbage") << QByteArray("\x01\x02 not an ini \xff\n") << 1;
    }
    void storedvalue()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, language);
        writefile(file);
        GlobalContrl g;
        QCOMPARE(g.getlanguage(), language);
        // An existing file is read, never rewritten.
        QCOMPARE(readfile(), file);
    }

    void setlanguagewrites_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("language");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("0 en") << 0 << 0 << QByteArray("Langue=en");
        QTest::newRow("-1 chs") << -1 << 1 << QByteArray("Langue=chs");
    }
    void setlanguagewrites()
    {
        QFETCH(int, value);
        QFETCH(int, language);
        QFETCH(QByteArray, stored);
        GlobalContrl g;
        QSignalSpy spy(&g, &GlobalContrl::refreshLangangeState);
        g.setlanguage(0);
        g.setlanguage(value);
        QCOMPARE(g.getlanguage(), language);
        QVERIFY(readfile().contains(stored));
        QCOMPARE(spy.count(), 0);
        // A new object (the next run) reads what was written.
        GlobalContrl next;
        QCOMPARE(next.getlanguage(), language);
    }

    void readonlydirectorykeepsflag()
    {
        if (::getuid() == 0)
            QSKIP("root ignores directory permissions");
        QTemporaryDir ro;
        QVERIFY(QDir::setCurrent(ro.path()));
        QFile::setPermissions(ro.path(), QFile::ReadOwner | QFile::ExeOwner);
        GlobalContrl g;
        QCOMPARE(g.getlanguage(), 1);
        g.setlanguage(0);
        QCOMPARE(g.getlanguage(), 0);
        QFile::setPermissions(ro.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QDir::setCurrent(dir->path()));
    }
};

QTEST_GUILESS_MAIN(TstGlobalContrl)
#include "tst_globalcontrl.moc"
