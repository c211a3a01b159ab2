#include "globalcontrl.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Root ignores directory permissions, so a folder root cannot write to has to
// be a read-only mount, and mounting needs root and a mount namespace of the
// test's own (made here, before any thread starts).
bool privatemounts()
{
    return ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}
const bool gPrivateMounts = privatemounts();
} // namespace

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

    // A settings path that is no regular file is never opened (a FIFO would
    // hold the start-up for ever waiting for a writer) nor written over: the
    // language is Chinese as for a missing file, a choice holds for the run,
    // and a warning says why. A watcher opens the FIFO's other end should
    // anything read it, which both ends the wait and shows the fault.
    void notregularfile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("link to a FIFO") << "link";
        QTest::newRow("directory") << "dir";
        QTest::newRow("link to /dev/null") << "null";
    }
    void notregularfile()
    {
        QFETCH(QString, kind);
        const QByteArray fifo = QFile::encodeName(dir->filePath(QStringLiteral("pipe")));
        const QByteArray name = QFile::encodeName(dir->filePath(QStringLiteral("UserConfig.ini")));
        if (kind == "fifo" || kind == "link")
            QCOMPARE(::mkfifo(kind == "fifo" ? name.constData() : fifo.constData(), 0600), 0);
        if (kind == "link")
            QCOMPARE(::symlink(fifo.constData(), name.constData()), 0);
        if (kind == "dir")
            QVERIFY(QDir().mkdir(QStringLiteral("UserConfig.ini")));
        if (kind == "null")
            QCOMPARE(::symlink("/dev/null", name.constData()), 0);

        std::atomic<bool> done{false};
        std::atomic<bool> opened{false};
        const QByteArray watched = kind == "link" ? fifo : name;
        std::thread watcher([&]() {
            if (kind != "fifo" && kind != "link")
                return;
            // A non-blocking open for writing succeeds only while a reader
            // has the FIFO open.
            while (!done) {
                const int fd = ::open(watched.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    opened = true;
                    ::close(fd);
                }
                ::usleep(2000);
            }
        });
        const QString message =
            QStringLiteral("settings file %1 is not a regular file: not opened, the language "
                           "setting is not kept")
                .arg(GlobalContrl::configpath());
        QTest::ignoreMessage(QtWarningMsg, qPrintable(message));
        QTest::ignoreMessage(QtWarningMsg, qPrintable(message));
        int first = -1, chosen = -1;
        {
            GlobalContrl g;
            first = g.getlanguage();
            g.setlanguage(0);
            chosen = g.getlanguage();
        }
        done = true;
        watcher.join();
        QVERIFY(!opened);
        QCOMPARE(first, 1);
        QCOMPARE(chosen, 0);
        // What was there is still there.
        struct stat st;
        QCOMPARE(::lstat(name.constData(), &st), 0);
        if (kind == "fifo")
            QVERIFY(S_ISFIFO(st.st_mode));
        else if (kind == "dir")
            QVERIFY(S_ISDIR(st.st_mode));
        else
            QVERIFY(S_ISLNK(st.st_mode));
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

    // A folder the settings cannot be saved in: the language chosen still
    // holds for the run, and nothing is written. Another user gets such a
    // folder by its permissions; root (as in CI) needs a read-only mount.
    void readonlydirectorykeepsflag()
    {
        QTemporaryDir ro;
        const QByteArray path = QFile::encodeName(ro.path());
        const bool root = ::geteuid() == 0;
        if (root) {
            if (!gPrivateMounts)
                QSKIP("needs root's own mount namespace for a read-only folder");
            QVERIFY(::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) == 0);
            if (::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
                ::umount2(path.constData(), MNT_DETACH);
                QFAIL("no read-only mount");
            }
        } else {
            QFile::setPermissions(ro.path(), QFile::ReadOwner | QFile::ExeOwner);
        }
        QVERIFY(QDir::setCurrent(ro.path()));
        int first = -1, chosen = -1;
        {
            GlobalContrl g;
            first = g.getlanguage();
            g.setlanguage(0);
            chosen = g.getlanguage();
        }
        const bool written = QFile::exists(ro.filePath(QStringLiteral("UserConfig.ini")));
        QVERIFY(QDir::setCurrent(dir->path()));
        if (root)
            ::umount2(path.constData(), MNT_DETACH);
        else
            QFile::setPermissions(ro.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(first, 1);
        QCOMPARE(chosen, 0);
        QVERIFY(!written);
    }
};

QTEST_GUILESS_MAIN(TstGlobalContrl)
#include "tst_globalcontrl.moc"
