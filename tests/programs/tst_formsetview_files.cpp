// Program files, collection files and the logo upload of the program page
// against the processor stand-in: every failure loses nothing.

#include "programfile.h"
#include "programsfixture.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QSet>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using programbytes::imageof;
using programbytes::readall;
using programbytes::writeall;
using standin::Fault;

namespace
{
// A mount namespace of the test's own (made before any thread starts), so a
// tiny tmpfs can stand for a full disk without touching the machine's mounts.
bool privatemounts()
{
#ifdef Q_OS_LINUX
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
#else
    return false;
#endif
}
const bool gPrivateMounts = privatemounts();

#ifdef Q_OS_LINUX
// The append-only attribute of a file or folder, set or cleared; false where
// the file system does not keep it.
bool setappendonly(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_APPEND_FL : flags & ~FS_APPEND_FL;
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

// Append-only for one scope: cleared again however the test ends.
struct AppendOnly {
    explicit AppendOnly(const QString &p)
        : path(p)
        , on(setappendonly(p, true))
    {
    }
    ~AppendOnly()
    {
        if (on)
            setappendonly(path, false);
    }
    QString path;
    bool on;
};

// The process (all its threads) acts as the unprivileged user "nobody" for
// one scope, its saved user staying root: the system then applies the
// rules root is exempt from, such as the sticky bit's.
constexpr uid_t kNobody = 65534;
constexpr uid_t kOtherUser = 65533;
struct Unprivileged {
    Unprivileged()
        : dumpable(::prctl(PR_GET_DUMPABLE))
        , ok(::getuid() == 0 && ::setresgid(gid_t(-1), kNobody, gid_t(-1)) == 0 &&
             ::setresuid(uid_t(-1), kNobody, uid_t(-1)) == 0)
    {
    }
    ~Unprivileged()
    {
        ::setresuid(uid_t(-1), 0, uid_t(-1));
        ::setresgid(gid_t(-1), 0, gid_t(-1));
        // A change of user makes the process undumpable (no core file, its
        // /proc entries root's); the rest of the run goes on as it started.
        if (dumpable > 0)
            ::prctl(PR_SET_DUMPABLE, dumpable);
    }
    const int dumpable;
    const bool ok;
};
#endif

struct Rule {
    int command;
    int packet;
    int program;
};

// Pictures for the logo picker, made as bytes.
quint32 crc32(const QByteArray &bytes)
{
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}
QByteArray be32(quint32 v)
{
    QByteArray out;
    for (int shift : {24, 16, 8, 0})
        out += char((v >> shift) & 0xFF);
    return out;
}
QByteArray pngchunk(const QByteArray &type, const QByteArray &data)
{
    return be32(quint32(data.size())) + type + data + be32(crc32(type + data));
}
// A grey PNG whose header says width x height, with the coded rows given.
QByteArray greypng(quint32 width, quint32 height, const QByteArray &rows)
{
    const QByteArray header = be32(width) + be32(height) + QByteArray("\x08\x00\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngchunk("IHDR", header) +
           pngchunk("IDAT", qCompress(rows).mid(4)) + pngchunk("IEND", QByteArray());
}
QByteArray encoded(const QImage &picture, const char *format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(picture);
    return bytes;
}
QImage noise(int w, int h)
{
    QImage im(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            im.setPixel(x, y, rng.generate() | 0xFF000000u);
    return im;
}
// A JPEG or BMP whose header claims width x height.
QByteArray claimsize(QByteArray bytes, int width, int height)
{
    if (bytes.startsWith("BM")) {
        for (int k = 0; k < 4; ++k) {
            bytes[18 + k] = char((width >> (8 * k)) & 0xFF);
            bytes[22 + k] = char((height >> (8 * k)) & 0xFF);
        }
        return bytes;
    }
    const int sof = bytes.indexOf(QByteArray("\xff\xc0", 2));
    bytes[sof + 5] = char(height >> 8);
    bytes[sof + 6] = char(height & 0xFF);
    bytes[sof + 7] = char(width >> 8);
    bytes[sof + 8] = char(width & 0xFF);
    return bytes;
}

// The process's resident size now and at its peak, in kB; the peak is
// first set back to the size now where the system allows it.
qint64 statuskb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    return -1;
}
void resetpeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}
} // namespace
Q_DECLARE_METATYPE(QVector<Rule>)
Q_DECLARE_METATYPE(QVector<Fault>)

class TstFormSetViewFiles : public QObject
{
    Q_OBJECT
    ProgramsFixture f;
    StandinLine line;

    standin::UnitState unit() const { return line.s.state(line.unit); }
    QString path(const QString &name) const { return f.dir.filePath(name); }
    QString boxes() const
    {
        QStringList out;
        for (const auto &s : f.prompts->shown)
            if (s.kind != "open" && s.kind != "save")
                out << s.kind + ':' + s.title + '|' + s.text;
        return out.join("; ");
    }
    // The distinct requests of one code (by program and part); a slow reply
    // may bring a repeat of an answered one, so tests count requests.
    QVector<standin::FrameRecord> distinct(int command) const
    {
        QVector<standin::FrameRecord> out;
        QSet<QByteArray> seen;
        for (const auto &r : line.sent(command)) {
            const QByteArray key = r.payload().left(command == 0x64 ? 1 : 2);
            if (!seen.contains(key)) {
                seen.insert(key);
                out << r;
            }
        }
        return out;
    }
    int sendsof(const Rule &rule) const
    {
        int n = 0;
        for (const auto &r : line.sent(rule.command)) {
            const QByteArray p = r.payload();
            n += (rule.program < 0 || quint8(p.at(0)) == rule.program) &&
                 (rule.packet < 0 || quint8(p.at(1)) == rule.packet);
        }
        return n;
    }
    // Converts a picture through the page's picker.
    QByteArray convert(const QImage &picture)
    {
        const QString p = path("logo.png");
        if (!picture.save(p))
            return QByteArray();
        f.prompts->fileNames << p;
        f.click("pushButton_51");
        return QByteArray(reinterpret_cast<const char *>(gMainApp->logobuild), MainApp::kLogoBytes);
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QVector<Rule>>();
        qRegisterMetaType<QVector<Fault>>();
        QVERIFY2(line.open(), qPrintable(line.s.errorstring()));
    }
    void cleanupTestCase() { line.close(); }
    // The proposed names and the logo picker's checks send nothing about
    // programs: they take the page on the line as it starts, without the
    // stand-in's programs listed and the current data loaded first.
    void init()
    {
        static const QSet<QByteArray> local{"filenames", "logobits", "logonotpicture", "logohostile",
                                            "logohostilechinese"};
        if (!local.contains(QTest::currentTestFunction())) {
            programbytes::setupstocked(f, line, 0, programbytes::kQuickScale);
            return;
        }
        f.setup();
        MainApp::settimescale(programbytes::kQuickScale);
        line.reset();
    }
    void cleanup() { programbytes::teardownstocked(f, line); }

    // Failures with the stand-in's faults: each shows its box, sends no
    // more than its bound, and leaves an existing file as it was.
    void failures_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("program"); // selected
        QTest::addColumn<QVector<Rule>>("rules");
        QTest::addColumn<int>("event"); // 1 the link drops, 2 the application closes
        QTest::addColumn<QString>("box");
        // command:requests checks; every silent request is sent 11 times
        QTest::addColumn<QString>("sends");
        const QString download = "critical:Download Program Failed |Please Try Again";
        QTest::newRow("part never acknowledged")
            << "btnloadFromPc" << 4 << QVector<Rule>{{0x60, 7, -1}} << 0 << download << "60:8 64:0";
        QTest::newRow("part 25 silent, name answered")
            << "btnloadFromPc" << 4 << QVector<Rule>{{0x60, 25, -1}} << 0 << ""
            << "60:26 64:1";
        QTest::newRow("part 25 and name silent")
            << "btnloadFromPc" << 4 << QVector<Rule>{{0x60, 25, -1}, {0x64, -1, -1}} << 0 << download
            << "60:26 64:1";
        // The part under way may have been written: the box says the line dropped.
        QTest::newRow("link dropped")
            << "btnloadFromPc" << 4 << QVector<Rule>{{0x60, 3, -1}} << 1
            << "critical:Download Program Failed |The line to the processor dropped; the processor may have "
               "done it. Connect again to see what it holds"
            << "64:0";
        QTest::newRow("save one, read fails") << "btnloadcurdata_3" << 2 << QVector<Rule>{{0x61, 9, 2}} << 0
                                              << "critical:Cannot Save To PC |Please Try Again"
                                              << "61:10";
        QTest::newRow("save all, program 17 fails")
            << "btnloadcurdata_4" << 1 << QVector<Rule>{{0x61, 0, 17}} << 0
            << "critical:Cannot Save To PC |this file is save error\n can not be used and opened\n Please "
               "save Again"
            << "61:417"; // programs 1 to 16 and part 0 of 17: the reads stop there
        // The box names what was written; the name of program 5 is asked for once more.
        QTest::newRow("load all, program 5 fails")
            << "btnloadcurdata_5" << 1 << QVector<Rule>{{0x60, 2, 5}} << 0
            << "critical:Download Program Failed |Programs 1 to 4 were written\n"
               "Program 5 is incomplete\nPlease Try Again"
            << "60:107 64:5";
        QTest::newRow("closing during load all")
            << "btnloadcurdata_5" << 1 << QVector<Rule>{{0x60, 2, 5}} << 2 << ""
            << "";
        QTest::newRow("link dropped during save all")
            << "btnloadcurdata_4" << 1 << QVector<Rule>{{0x61, 0, 3}} << 1
            << "critical:Cannot Save To PC |this file is save error\n can not be used and opened\n Please "
               "save Again"
            << "";
    }
    void failures()
    {
        QFETCH(QString, button);
        QFETCH(int, program);
        QFETCH(QVector<Rule>, rules);
        QFETCH(int, event);
        QFETCH(QString, box);
        QFETCH(QString, sends);
        const bool saving = button != "btnloadFromPc" && button != "btnloadcurdata_5";
        const QString file = path(button == "btnloadcurdata_5" ? "x.J91" : "x.K91");
        QByteArray collection;
        for (int n = 1; n <= 30; ++n)
            collection += imageof(100 + n);
        const QByteArray before = saving                      ? QByteArray("an existing file")
                                  : button == "btnloadFromPc" ? imageof(60)
                                                              : collection;
        QVERIFY(writeall(file, before));
        const QByteArray running = f.curimage();
        for (const Rule &r : rules) {
            Fault x;
            x.command = r.command;
            x.packet = r.packet;
            x.program = r.program;
            line.s.addfault(x);
        }
        if (event != 0)
            QTimer::singleShot(150, [&] {
                if (event == 1)
                    f.dev->setcomconnected(0);
                else
                    gGlobalContrl->setclosing(1);
            });
        f.select(program);
        f.prompts->fileNames << file;
        f.invoke(button);
        QCOMPARE(boxes(), box);
        QVERIFY(line.caughtup());
        for (const QString &check : sends.split(' ', Qt::SkipEmptyParts)) {
            const int command = check.section(':', 0, 0).toInt(nullptr, 16);
            QCOMPARE(QString("%1:%2").arg(check.section(':', 0, 0)).arg(distinct(command).size()), check);
        }
        for (const Rule &r : rules)
            if (event == 0)
                QCOMPARE(sendsof(r), 11);
        QCOMPARE(readall(file), before);
        QCOMPARE(f.curimage(), running);
        QVERIFY(!f.page->isbusy());
        if (button == "btnloadcurdata_5") {
            QCOMPARE(sendsof({0x60, -1, 6}), 0);
            if (event == 0)
                QCOMPARE(unit().programs[3].image, imageof(104));
        }
        if (event == 1)
            QVERIFY(line.sent(0x60).size() < 26);
    }

    // Files equal the processor: a user program and a preset saved; random
    // program files loaded into random user slots (seeded), each as 26 parts
    // carrying the file and the name read back; the current image untouched;
    // then save all, blank the stand-in's slots, load all: the 30 slots return.
    void roundtrip()
    {
        const QByteArray running = f.curimage();
        for (int program : {2, 33}) {
            line.s.clearframes();
            f.prompts->clear();
            f.select(program);
            f.prompts->fileNames << path("one.K91");
            f.click("btnloadcurdata_3");
            QCOMPARE(boxes(), QString());
            const auto &dialog = f.prompts->shown.first();
            QCOMPARE(dialog.title + '|' + dialog.text,
                     QString("Save Program Collection File|Program File (*.K91)"));
            QCOMPARE(dialog.dir, QString("%1 %2.K91").arg(program > 30 ? "PRESET" : "USER").arg(program));
            QCOMPARE(readall(path("one.K91")), unit().programimage(program));
            QCOMPARE(distinct(0x61).size(), 26);
        }
        QRandomGenerator rng(2026);
        for (int step = 0; step < 6; ++step) {
            const int slot = 1 + int(rng.bounded(30));
            const int seed = 200 + int(rng.bounded(1000));
            const QByteArray image = imageof(seed);
            const QString file = path(QString("r%1.K91").arg(step));
            QVERIFY(writeall(file, image));
            line.s.clearframes();
            f.prompts->clear();
            f.select(slot);
            f.prompts->fileNames << file;
            f.click("btnloadFromPc");
            QCOMPARE(boxes(), QString());
            const auto parts = distinct(0x60);
            QCOMPARE(parts.size(), 26);
            for (int k = 0; k < 26; ++k) {
                QCOMPARE(quint8(parts[k].bytes.at(6)), quint8(0x42)); // count: program, part and 64 bytes
                QCOMPARE(parts[k].payload(),
                         QByteArray(1, char(slot)) + QByteArray(1, char(k)) + image.mid(64 * k, 64));
            }
            QCOMPARE(distinct(0x64).size(), 1);
            QCOMPARE(quint8(line.sent(0x64).first().payload().at(0)), quint8(slot));
            QCOMPARE(unit().programs[slot - 1].image, image);
            QCOMPARE(f.cell("progwidget", slot - 1, 2).toLatin1(),
                     name20("IMAGE " + QByteArray::number(seed)));
        }
        QCOMPARE(f.curimage(), running);

        const QString file = path("all.J91");
        f.prompts->clear();
        f.prompts->fileNames << file;
        f.click("btnloadcurdata_4");
        QCOMPARE(boxes(), QString("information:Save All Data To PC OK |Save All Data To PC OK"));
        QCOMPARE(f.prompts->shown.first().title, QString("Save Program Collection File"));
        QCOMPARE(f.prompts->shown.first().text, QString("Program File (*.J91)"));
        QByteArray expected;
        for (int n = 1; n <= 30; ++n)
            expected += unit().programimage(n);
        QCOMPARE(readall(file), expected);
        line.s.update(line.unit, [](standin::UnitState &u) {
            for (int k = 0; k < 30; ++k)
                u.programs[k].image = QByteArray(1664, '\0');
        });
        line.s.clearframes();
        f.prompts->clear();
        f.prompts->fileNames << file;
        f.click("btnloadcurdata_5");
        QCOMPARE(boxes(), QString());
        QCOMPARE(distinct(0x60).size(), 30 * 26);
        QCOMPARE(distinct(0x64).size(), 30);
        for (int n = 1; n <= 30; ++n)
            QCOMPARE(unit().programs[n - 1].image, expected.mid(1664 * (n - 1), 1664));
        QCOMPARE(f.curimage(), unit().image);
    }

    // A typed name gets the file type's own extension, as the tool bar's
    // save gives it, unless it ends with it already (in any letter case); a
    // dot elsewhere is part of the name. The open dialogs then list what was
    // saved.
    void savesuffix_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("program, no extension") << "btnloadcurdata_3"
                                               << "show1"
                                               << "show1.K91";
        QTest::newRow("program, another extension") << "btnloadcurdata_3"
                                                    << "show1.bin"
                                                    << "show1.bin.K91";
        QTest::newRow("program, a dot in the name") << "btnloadcurdata_3"
                                                    << "show.v2"
                                                    << "show.v2.K91";
        QTest::newRow("program, own extension") << "btnloadcurdata_3"
                                                << "show1.k91"
                                                << "show1.k91";
        QTest::newRow("collection, no extension") << "btnloadcurdata_4"
                                                  << "show1"
                                                  << "show1.J91";
        QTest::newRow("collection, dotted folder") << "btnloadcurdata_4"
                                                   << "v1.2/show1"
                                                   << "v1.2/show1.J91";
        QTest::newRow("collection, own extension") << "btnloadcurdata_4"
                                                   << "show1.j91"
                                                   << "show1.j91";
        QTest::newRow("collection, a dot in the name") << "btnloadcurdata_4"
                                                       << "show.v2"
                                                       << "show.v2.J91";
        QTest::newRow("collection, the program's extension") << "btnloadcurdata_4"
                                                             << "show2.K91"
                                                             << "show2.K91.J91";
    }
    void savesuffix()
    {
        QFETCH(QString, button);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QVERIFY(QDir(f.dir.path()).mkpath("v1.2"));
        f.select(2);
        f.prompts->fileNames << path(typed);
        f.invoke(button);
        const bool single = button == "btnloadcurdata_3";
        QCOMPARE(boxes(),
                 single ? QString() : QString("information:Save All Data To PC OK |Save All Data To PC OK"));
        QByteArray expected;
        for (int n = single ? 2 : 1; n <= (single ? 2 : 30); ++n)
            expected += unit().programimage(n);
        QCOMPARE(readall(path(written)), expected);
        if (written != typed)
            QVERIFY(!QFile::exists(path(typed)));
    }

    // Refused before anything is sent: a place that cannot be written, a file
    // of the wrong size or missing, a preset target.
    void refused_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target"); // empty: the folder itself
        QTest::addColumn<int>("size");       // of the file made first, -1 none
        QTest::addColumn<int>("program");
        QTest::addColumn<QString>("box"); // ending in ": ", a prefix
        const QString write = "warning:Write File|Cannot write file %1: ";
        const QString wrong = "critical:Load File Error |This File is not integrity \nPlease Select Again";
        QTest::newRow("program file, a folder") << "btnloadcurdata_3"
                                                << "" << -1 << 2 << write;
        QTest::newRow("program file, missing folder") << "btnloadcurdata_3"
                                                      << "none/x.K91" << -1 << 2 << write;
        QTest::newRow("collection, a folder") << "btnloadcurdata_4"
                                              << "" << -1 << 2 << write;
        QTest::newRow("program 1663") << "btnloadFromPc"
                                      << "a.bin" << 1663 << 4 << wrong;
        QTest::newRow("collection 49919") << "btnloadcurdata_5"
                                          << "b.bin" << 49919 << 4 << wrong;
        // A file of the right size whose fields lie outside their ranges.
        QTest::newRow("program, damaged") << "btnloadFromPc"
                                          << "e.K91" << 1664 << 4
                                          << "critical:Load File Error |This file is damaged: IN-A mute is "
                                             "out of range (90)\nPlease Select "
                                             "Again";
        QTest::newRow("collection, damaged")
            << "btnloadcurdata_5"
            << "f.J91" << 49920 << 4
            << "critical:Load File Error |This file is damaged: program 1, IN-A mute is out of range "
               "(90)\nPlease Select Again";
        QTest::newRow("missing file")
            << "btnloadFromPc"
            << "c.bin" << -1 << 4 << "warning:Read File|Cannot read file %1: No such file or directory.";
        QTest::newRow("preset, missing file")
            << "btnloadFromPc"
            << "d.bin" << -1 << 31
            << "critical:Preset Program Cannot Reset |Preset Program Cannot Reset \nPlease Select Again";
    }
    void refused()
    {
        QFETCH(QString, button);
        QFETCH(QString, target);
        QFETCH(int, size);
        QFETCH(int, program);
        QFETCH(QString, box);
        const QString file = target.isEmpty() ? f.dir.path() : path(target);
        if (size >= 0)
            QVERIFY(writeall(file, QByteArray(size, '\x5a')));
        const int before = f.dev->getstoredbyte(0, 40);
        f.select(program);
        f.prompts->fileNames << file;
        f.invoke(button);
        const QString expected = box.contains("%1") ? box.arg(file) : box;
        if (expected.endsWith(": "))
            QVERIFY2(boxes().startsWith(expected), qPrintable(boxes()));
        else
            QCOMPARE(boxes(), expected);
        QTest::qWait(20);
        QVERIFY(line.sent(-1).isEmpty());
        QCOMPARE(f.dev->getstoredbyte(0, 40), before);
        QVERIFY(size >= 0 || target.isEmpty() || !QFile::exists(file));
    }

    // A full disk: the save reports the system's error and the old file stays.
    void fulldisk_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::newRow("program file") << "btnloadcurdata_3"
                                      << "old.K91";
        QTest::newRow("collection") << "btnloadcurdata_4"
                                    << "old.J91";
    }
    void fulldisk()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        if (!gPrivateMounts)
            QSKIP("needs root to mount a small tmpfs (the full disk) in a namespace of its own");
        const QString mnt = path("small");
        QVERIFY(QDir().mkpath(mnt));
        QVERIFY(::mount("tmpfs", QFile::encodeName(mnt).constData(), "tmpfs", 0, "size=64k") == 0);
        const QString file = mnt + "/" + name;
        QVERIFY(writeall(file, "an existing file"));
        QFile filler(mnt + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(1024, 'f')) == 1024 && filler.flush()) {
        }
        filler.close();
        f.select(2);
        f.prompts->fileNames << file;
        f.invoke(button);
        QCOMPARE(boxes(),
                 QString("warning:Write File|Cannot write file %1: No space left on device.").arg(file));
        QCOMPARE(readall(file), QByteArray("an existing file"));
        QCOMPARE(QDir(mnt).entryList(QDir::Files).size(), 2); // no temporary left
        ::umount(QFile::encodeName(mnt).constData());
        QVERIFY(line.sent(0x61).isEmpty()); // refused before any program was read
    }

    // The free space and the name are checked before the reads: a disk one
    // byte short, or a name longer than the folder takes, fails at once with
    // the system's text; one with room goes ahead.
    void fullbeforereads_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<qint64>("free");
        QTest::addColumn<bool>("room");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        const QString full = QStringLiteral("No space left on device");
        const QString longname = QString(265, QLatin1Char('n'));
        QTest::newRow("collection, one byte short")
            << "btnloadcurdata_4" << qint64(49919) << false << "full.J91" << full;
        QTest::newRow("program file, one byte short")
            << "btnloadcurdata_3" << qint64(1663) << false << "full.K91" << full;
        QTest::newRow("program file, room")
            << "btnloadcurdata_3" << qint64(1664) << true << "full.K91" << QString();
        QTest::newRow("collection, 269-character name")
            << "btnloadcurdata_4" << qint64(1 << 30) << false << longname + ".J91"
            << "File name too long";
        QTest::newRow("program file, 269-character name")
            << "btnloadcurdata_3" << qint64(1 << 30) << false << longname + ".K91"
            << "File name too long";
        QTest::newRow("program file, 255-character name")
            << "btnloadcurdata_3" << qint64(1664) << true << QString(251, QLatin1Char('n')) + ".K91"
            << QString();
    }
    void fullbeforereads()
    {
        QFETCH(QString, button);
        QFETCH(qint64, free);
        QFETCH(bool, room);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        static qint64 freebytes = 0;
        freebytes = free;
        setfreespaceprobe([](const QString &) { return freebytes; });
        const QString file = path(name);
        const QStringList before =
            QDir(f.dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
        f.select(2);
        f.prompts->fileNames << file;
        f.invoke(button);
        setfreespaceprobe(nullptr);
        if (room) {
            QCOMPARE(readall(file).size(), kProgramImageSize);
            QVERIFY(!line.sent(0x61).isEmpty());
        } else {
            QCOMPARE(boxes(), QString("warning:Write File|Cannot write file %1: %2.").arg(file, reason));
            QVERIFY(line.sent(0x61).isEmpty());
            QVERIFY(!QFile::exists(file));
            QCOMPARE(QDir(f.dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                     before);
        }
    }

    // Folders where a file can be made but the save's end (its temporary
    // file renamed over the target, or removed) is refused: the check says
    // so before any program is read, and leaves nothing behind; where the
    // save can end, it saves.
    void unreplaceable_data()
    {
        QTest::addColumn<QString>("folder");  // sticky: the sticky bit, the test acting as "nobody";
                                              // append: an append-only folder; plain: neither
        QTest::addColumn<int>("owner");       // of a file of the name made first, -1 none
        QTest::addColumn<bool>("appendfile"); // that file append-only
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("reason"); // empty: it saves
        QTest::addColumn<bool>("longname");  // a name longer than the file system takes
        const QString sticky =
            "the file belongs to another user, and the folder lets only its owner replace it";
        const QString append = "the folder only lets files be added: none can be replaced or removed there";
        const QString stickyzh = QString::fromUtf8("该文件属于其他用户，此文件夹只允许其所有者替换它");
        const QString appendzh = QString::fromUtf8("该文件夹只允许添加文件，其中的文件无法替换或删除");
        const QString locked = "the file is protected against changes and cannot be replaced";
        const QString toolong = QString::fromLocal8Bit(std::strerror(ENAMETOOLONG));
        const int other = int(kOtherUser);
        const int nobody = int(kNobody);
        for (const char *button : {"btnloadcurdata_3", "btnloadcurdata_4"}) {
            const QString kind = QString(button) == "btnloadcurdata_3" ? "save" : "save all";
            QTest::newRow(qPrintable("sticky folder, another user's file, " + kind))
                << "sticky" << other << false << button << false << sticky << false;
            QTest::newRow(qPrintable("sticky folder, another user's file, " + kind + ", Chinese"))
                << "sticky" << other << false << button << true << stickyzh << false;
            // A new name is linked into an append-only folder at the end of
            // the save; a file of the name there cannot be replaced.
            QTest::newRow(qPrintable("append-only folder, a new name, " + kind))
                << "append" << -1 << false << button << false << QString() << false;
            QTest::newRow(qPrintable("append-only folder, a file of the name, " + kind + ", Chinese"))
                << "append" << 0 << false << button << true << appendzh << false;
            QTest::newRow(qPrintable("append-only folder, a file of the name, " + kind))
                << "append" << 0 << false << button << false << append << false;
            // Judged without a trial file, which would stay in the folder.
            QTest::newRow(qPrintable("append-only folder, a new name too long, " + kind))
                << "append" << -1 << false << button << false << toolong << true;
            QTest::newRow(qPrintable("append-only file, " + kind))
                << "plain" << 0 << true << button << false << locked << false;
            QTest::newRow(qPrintable("sticky folder, own file, " + kind))
                << "sticky" << nobody << false << button << false << QString() << false;
            QTest::newRow(qPrintable("plain folder, " + kind))
                << "plain" << -1 << false << button << false << QString() << false;
        }
    }
    void unreplaceable()
    {
#ifdef Q_OS_LINUX
        QFETCH(QString, folder);
        QFETCH(int, owner);
        QFETCH(bool, appendfile);
        QFETCH(QString, button);
        QFETCH(bool, chinese);
        QFETCH(QString, reason);
        QFETCH(bool, longname);
        if (::getuid() != 0)
            QSKIP("needs root to act as another user and to set the append-only attribute");
        // A folder of its own that "nobody" can reach.
        QTemporaryDir top;
        QVERIFY(top.isValid());
        const QString dir = top.path();
        QVERIFY(::chmod(QFile::encodeName(dir).constData(), folder == "sticky" ? 01777 : 0755) == 0);
        const bool single = button == "btnloadcurdata_3";
        const QString file =
            dir + '/' + (longname ? QString(300, 'n') : QString("taken")) + (single ? ".K91" : ".J91");
        const QByteArray old("a file there before");
        if (owner >= 0) {
            QVERIFY(writeall(file, old));
            QVERIFY(::chown(QFile::encodeName(file).constData(), uid_t(owner), gid_t(owner)) == 0);
            QVERIFY(::chmod(QFile::encodeName(file).constData(), 0666) == 0);
        }
        std::unique_ptr<AppendOnly> locked;
        if (folder == "append" || appendfile) {
            locked.reset(new AppendOnly(appendfile ? file : dir));
            if (!locked->on)
                QSKIP(qPrintable("the file system of " + dir + " keeps no append-only attribute"));
        }
        const QStringList before =
            QDir(dir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
        gGlobalContrl->setlanguage(chinese ? 1 : 0);
        f.select(2);
        f.prompts->fileNames << file;
        {
            std::unique_ptr<Unprivileged> nobody;
            if (folder == "sticky") {
                nobody.reset(new Unprivileged);
                QVERIFY(nobody->ok);
            }
            f.invoke(button);
        }
        gGlobalContrl->setlanguage(0);
        const QStringList after = QDir(dir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
        if (reason.isEmpty()) {
            QCOMPARE(readall(file).size(), (single ? 1 : 30) * kProgramImageSize);
            QCOMPARE(after, QStringList(QFileInfo(file).fileName()));
            // Save all then reads the running data back too.
            QCOMPARE(distinct(0x61).size(), (single ? 1 : 31) * 26);
            return;
        }
        const QString box = chinese ? QString::fromUtf8(single ? "warning:写文件|无法写入文件 %1: %2"
                                                               : "warning:写文件|无法写入文件 %1: %2.")
                                    : QString("warning:Write File|Cannot write file %1: %2.");
        QCOMPARE(boxes(), box.arg(file, reason));
        QTest::qWait(20);
        QVERIFY(line.sent(-1).isEmpty()); // refused before any request
        QCOMPARE(after, before);          // no trial nor temporary file left
        if (owner >= 0)
            QCOMPARE(readall(file), old);
#else
        QSKIP("the sticky bit and the append-only attribute are checked on Linux");
#endif
    }

    // Proposed names from hostile program names.
    void filenames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("plain") << "  Stage Left  " << 24 << "Stage Left.K91";
        QTest::newRow("slashes") << "a/b\\c:d" << 22 << "a_b_c_d.K72";
        QTest::newRow("parent") << "../../etc/passwd" << 20 << "_.._etc_passwd.K53";
        QTest::newRow("dots only") << "..." << 24 << "PROGRAM.K91";
        QTest::newRow("control") << QString("x\ty") + QChar(0) + QChar(0x7f) + "z" << 24 << "x_y__z.K91";
        QTest::newRow("blank") << "    " << 24 << "PROGRAM.K91";
        QTest::newRow("other type") << "p" << 7 << "p";
    }
    void filenames()
    {
        QFETCH(QString, name);
        QFETCH(int, type);
        QFETCH(QString, proposed);
        QCOMPARE(FormSetView::proposedfilename(name, type), proposed);
    }
    // The same through the page, with the processor's own name.
    void hostilename()
    {
        line.s.update(line.unit, [](standin::UnitState &u) { u.programs[1].name = name20("../x/\x01y"); });
        f.click("btn_ref");
        f.select(2);
        f.click("btnloadcurdata_3"); // cancelled
        QCOMPARE(f.prompts->shown.last().dir, QString("_x__y.K91"));
        QVERIFY(line.sent(0x61).isEmpty());
    }

    // Logo bit order and pixel test.
    void logobits_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QString>("set"); // byte:value of every non-zero byte
        const auto white = [](int w, int h) {
            QImage im(w, h, QImage::Format_RGB32);
            im.fill(Qt::white);
            return im;
        };
        QImage corners = white(128, 64);
        corners.setPixel(0, 0, qRgb(0, 0, 0));
        corners.setPixel(127, 63, qRgb(0, 0, 0));
        corners.setPixel(5, 9, qRgb(0, 0, 0));
        QTest::newRow("corners") << corners << "0:1 133:2 1023:128";
        QImage grey = white(128, 64);
        grey.setPixel(1, 0, qRgb(253, 253, 253));
        grey.setPixel(2, 0, qRgb(252, 252, 252));
        QTest::newRow("252 dark, 253 light") << grey << "2:1";
        QImage big = white(200, 100);
        {
            QPainter p(&big);
            p.fillRect(128, 0, 72, 100, Qt::black);
            p.fillRect(0, 64, 200, 36, Qt::black);
        }
        big.setPixel(3, 63, qRgb(0, 0, 0));
        QTest::newRow("cropped") << big << "899:128";
        QImage small(10, 10, QImage::Format_RGB32);
        small.fill(Qt::black);
        QString smallset;
        for (int x = 0; x < 10; ++x)
            smallset += QString(" %1:255").arg(x);
        for (int x = 0; x < 10; ++x)
            smallset += QString(" %1:3").arg(128 + x);
        QTest::newRow("smaller than the logo") << small << smallset.trimmed();
        // A picture with transparency is read as the preview shows it, laid
        // onto white: a transparent pixel is light whatever colour it
        // carries; a half-transparent black one is a dark grey.
        const auto clear = [] {
            QImage im(128, 64, QImage::Format_ARGB32);
            im.fill(Qt::transparent); // transparent black
            return im;
        };
        QImage shape = clear();
        QPainter(&shape).fillRect(10, 8, 20, 8, Qt::black);
        QString shapeset;
        for (int x = 10; x < 30; ++x)
            shapeset += QString(" %1:255").arg(128 + x);
        QTest::newRow("transparent with a shape") << shape << shapeset.trimmed();
        QImage faint = clear();
        faint.setPixel(0, 0, qRgba(0, 0, 0, 128));
        faint.setPixel(1, 0, qRgba(0, 0, 0, 1));
        faint.setPixel(2, 0, qRgba(255, 255, 255, 0));
        QTest::newRow("half transparent dark, nearly clear light") << faint << "0:1";
        QImage opaque = grey.convertToFormat(QImage::Format_ARGB32);
        QVERIFY(opaque.hasAlphaChannel());
        QTest::newRow("opaque with an alpha channel: 252 dark, 253 light") << opaque << "2:1";
    }
    void logobits()
    {
        QFETCH(QImage, picture);
        QFETCH(QString, set);
        memset(gMainApp->logobuild, 0xAA, sizeof(gMainApp->logobuild));
        const QByteArray bytes = convert(picture);
        QStringList got;
        for (int k = 0; k < bytes.size(); ++k)
            if (bytes[k] != 0)
                got << QString("%1:%2").arg(k).arg(quint8(bytes[k]));
        QCOMPARE(got.join(' '), set);
        QCOMPARE(bytes.size(), 1056);
        QVERIFY(f.child<QPushButton>("pushButton_61")->isVisibleTo(f.page.get()));
        QVERIFY(!f.child<QLabel>("label_12")->pixmap(Qt::ReturnByValue).isNull());
        QCOMPARE(boxes(), QString());
    }

    // A file that is no picture: the "Read File" box and nothing to send.
    void logonotpicture()
    {
        convert(QImage(128, 64, QImage::Format_RGB32));
        QVERIFY(f.child<QPushButton>("pushButton_61")->isVisibleTo(f.page.get()));
        QVERIFY(writeall(path("not.png"), "this is text"));
        f.prompts->fileNames << path("not.png");
        f.click("pushButton_51");
        QVERIFY(boxes().startsWith(QString("warning:Read File|Cannot read file %1: ").arg(path("not.png"))));
        QVERIFY(!f.child<QPushButton>("pushButton_61")->isVisibleTo(f.page.get()));
        // A FIFO is refused without being opened (opening would wait).
        const QString fifo = path("fifo.png");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        f.prompts->clear();
        f.prompts->fileNames << fifo;
        f.click("pushButton_51");
        QCOMPARE(boxes(), QString("warning:Read File|Cannot read file %1: not a regular file.").arg(fifo));
    }

    // Pictures a logo cannot need, of another kind, cut off or empty: each
    // refused with the "Read File" box before it is decoded, the process's
    // resident size staying near where it was; whole pictures of the three
    // kinds within the size taken are accepted.
    void logohostile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason"); // empty: accepted
        const QString kind = "not a BMP, JPEG or PNG picture";
        const QString cut = "the picture is incomplete";
        const auto over = [](int w, int h) {
            return QString("the picture is %1 x %2 pixels, more than 4096 x 4096").arg(w).arg(h);
        };
        const QByteArray png = encoded(noise(200, 100), "png");
        const QByteArray jpeg = encoded(noise(200, 100), "jpeg");
        const QByteArray bmp = encoded(noise(200, 100), "bmp");
        QTest::newRow("SVG named .png")
            << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20000\" height=\"20000\">"
                          "<rect width=\"20000\" height=\"20000\"/></svg>")
            << kind;
        QTest::newRow("PNG 40000 x 40000 in a small file")
            << greypng(40000, 40000, QByteArray(16 * 40001, '\0')) << over(40000, 40000);
        QTest::newRow("PNG one pixel too wide")
            << greypng(4097, 2, QByteArray(2 * 4098, '\0')) << over(4097, 2);
        QTest::newRow("JPEG claiming 60000 x 60000") << claimsize(jpeg, 60000, 60000) << over(60000, 60000);
        QTest::newRow("BMP claiming 6000 x 100") << claimsize(bmp, 6000, 100) << over(6000, 100);
        QTest::newRow("PNG cut in half") << png.left(png.size() / 2) << cut;
        QTest::newRow("PNG without its end") << png.left(png.size() - 12) << cut;
        QTest::newRow("JPEG cut in half") << jpeg.left(jpeg.size() / 2) << cut;
        QTest::newRow("JPEG without its end marker") << jpeg.left(jpeg.size() - 2) << cut;
        QTest::newRow("BMP cut in half") << bmp.left(bmp.size() / 2) << cut;
        // Rows of 201 pixels (603 bytes) are padded to 604: a file short by
        // less than the rows' padding still lacks the end of its last row.
        const QByteArray padded = encoded(noise(201, 100), "bmp");
        QTest::newRow("BMP short by less than its rows' padding") << padded.left(padded.size() - 50) << cut;
        QTest::newRow("zero size") << QByteArray() << "the file is empty";
        QTest::newRow("PNG header only") << png.left(8) << "the picture's size cannot be read";
        QTest::newRow("PNG 4096 x 2") << greypng(4096, 2, QByteArray(2 * 4097, '\0')) << "";
        QTest::newRow("PNG") << png << "";
        QTest::newRow("JPEG") << jpeg << "";
        QTest::newRow("progressive JPEG") << encoded(noise(200, 100), "jpeg", true) << "";
        QTest::newRow("BMP") << bmp << "";
        QTest::newRow("BMP with padded rows") << padded << "";
    }
    void logohostile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        convert(QImage(128, 64, QImage::Format_RGB32)); // a picture chosen before
        f.prompts->clear();
        const QString file = path("logo.png");
        QVERIFY(writeall(file, bytes));
        f.prompts->fileNames << file;
        resetpeak();
        const qint64 before = statuskb("VmRSS:");
        f.click("pushButton_51");
        const qint64 peak = statuskb("VmHWM:");
        QVERIFY2(peak - before < 64 * 1024,
                 qPrintable(QString("peak %1 kB over %2 kB").arg(peak).arg(before)));
        QCOMPARE(boxes(), reason.isEmpty()
                              ? QString()
                              : QString("warning:Read File|Cannot read file %1: %2.").arg(file, reason));
        QCOMPARE(f.child<QPushButton>("pushButton_61")->isVisibleTo(f.page.get()), reason.isEmpty());
        QTest::qWait(20);
        QVERIFY(line.sent(-1).isEmpty());
    }

    // The send: 22 blocks "31 bb" + 48 bytes, paced, the tail zero, one at
    // a time; success only when each of the 22 was acknowledged. A block left
    // unanswered goes again (three sends at most), a second answer to a block
    // counts for nothing.
    void logosend_data()
    {
        QTest::addColumn<QVector<Fault>>("faults");
        QTest::addColumn<QString>("sends"); // the blocks sent, in order
        QTest::addColumn<QString>("box");
        const QString ok = "information:Mody Logo Ok|Restart Device You Can See The New Logo";
        const QString failed =
            "critical:Can't Mody Logo|The logo was not acknowledged completely. Please Try Again";
        const auto fault = [](Fault::Kind kind, int block, int times) {
            Fault x;
            x.kind = kind;
            x.command = 0x13;
            x.packet = block;
            x.times = times;
            return x;
        };
        const auto blocks = [](const QVector<int> &order) {
            QStringList out;
            for (int b : order)
                out << QString::number(b);
            return out.join(' ');
        };
        QVector<int> all;
        for (int b = 0; b < 22; ++b)
            all << b;
        QVector<int> again5 = all;
        again5.insert(6, 5);
        QTest::newRow("all acknowledged") << QVector<Fault>{} << blocks(all) << ok;
        QTest::newRow("block 5 unanswered once, block 6 answered twice")
            << QVector<Fault>{fault(Fault::NoReply, 5, 1), fault(Fault::Duplicate, 6, -1)} << blocks(again5)
            << ok;
        QTest::newRow("block 5 never answered, block 6 answered twice")
            << QVector<Fault>{fault(Fault::NoReply, 5, -1), fault(Fault::Duplicate, 6, -1)}
            << blocks({0, 1, 2, 3, 4, 5, 5, 5}) << failed;
        QTest::newRow("every block answered twice")
            << QVector<Fault>{fault(Fault::Duplicate, -1, -1)} << blocks(all) << ok;
        QTest::newRow("block 21 never answered")
            << QVector<Fault>{fault(Fault::NoReply, 21, -1)} << blocks(all + QVector<int>{21, 21}) << failed;
    }
    void logosend()
    {
        QFETCH(QVector<Fault>, faults);
        QFETCH(QString, sends);
        QFETCH(QString, box);
        MainApp::settimescale(0.1);
        QImage picture(128, 64, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter(&picture).fillRect(10, 5, 50, 30, Qt::black);
        const QByteArray bitmap = convert(picture);
        for (const Fault &x : faults)
            line.s.addfault(x);
        QElapsedTimer clock;
        clock.start();
        f.click("pushButton_61");
        // Paced 150 ms apart (under the time scale): a floor, never a ceiling.
        QVERIFY(clock.elapsed() >= qint64(21 * 150 * 0.1));
        QCOMPARE(boxes(), box);
        QVERIFY(line.caughtup());
        const auto blocks = line.sent(0x13);
        QStringList order;
        for (const auto &b : blocks) {
            const int n = quint8(b.payload().at(0));
            order << QString::number(n);
            QCOMPARE(quint8(b.bytes.at(6)), quint8(0x31));
            QCOMPARE(b.payload(), QByteArray(1, char(n)) + bitmap.mid(48 * n, 48));
        }
        QCOMPARE(order.join(' '), sends);
        QCOMPARE(bitmap.mid(1024), QByteArray(32, '\0'));
        if (box.startsWith("information"))
            QCOMPARE(unit().logo, bitmap);
        QVERIFY(!f.page->isbusy());
    }

    // In the Chinese interface a refused picture is named in Chinese.
    void logohostilechinese_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("of another kind")
            << QByteArray("plain text") << QString::fromUtf8("不是 BMP、JPEG 或 PNG 图片");
        QTest::newRow("too large") << greypng(4097, 2, QByteArray(2 * 4098, '\0'))
                                   << QString::fromUtf8("图片为 4097 x 2 像素，超过 4096 x 4096");
        const QByteArray png = encoded(noise(200, 100), "png");
        QTest::newRow("cut off") << png.left(png.size() / 2) << QString::fromUtf8("图片不完整");
        QTest::newRow("empty") << QByteArray() << QString::fromUtf8("文件是空的");
        QTest::newRow("size unreadable") << png.left(8) << QString::fromUtf8("无法读取图片的尺寸");
    }
    void logohostilechinese()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        gGlobalContrl->setlanguage(1);
        const QString file = path("logo.png");
        QVERIFY(writeall(file, bytes));
        f.prompts->fileNames << file;
        f.click("pushButton_51");
        gGlobalContrl->setlanguage(0);
        QCOMPARE(boxes(), QString::fromUtf8("warning:读取文件|无法读取文件 %1: %2.").arg(file, reason));
        QVERIFY(!f.child<QPushButton>("pushButton_61")->isVisibleTo(f.page.get()));
    }

    // Refusals of the logo buttons.
    void logorefused()
    {
        f.dev->setlocktype(2);
        f.click("pushButton_61");
        f.dev->setcomconnected(0);
        f.click("pushButton_51");
        QCOMPARE(boxes(), QString("critical:Can't Mody Logo|Please Unlock First; "
                                  "critical:Can't Load Logo|Please Connect First"));
        QTest::qWait(20);
        QVERIFY(line.sent(-1).isEmpty());
    }
};

QTEST_MAIN(TstFormSetViewFiles)
#include "tst_formsetview_files.moc"
