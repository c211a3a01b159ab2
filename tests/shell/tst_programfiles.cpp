// Program files from the tool bar: saving the current parameters, loading a
// file into the current device and writing it to the processor (the stand-in
// on a pseudo-terminal), refusing wrong files and failed transfers.

#include "formtoolbutton.h"
#include "globalcontrl.h"
#include "scriptedprompts.h"
#include "tst_connect_support.h"

#include <QTemporaryDir>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace linktest;
using standin::Fault;

namespace
{
bool writefile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readfile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TstProgramFiles : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;

    // A file opened by the tool bar's Open while a processor is connected:
    // refused with a critical box, the model untouched, nothing sent.
    void openrefused(const QString &name, const QByteArray &file, const QString &title, const QString &text);

private slots:
    // Waits at a tenth of their time; the load keeps real timing.
    void init() { MainApp::settimescale(QTest::currentTestFunction() == QLatin1String("load") ? 1.0 : 0.1); }
    void cleanup() { MainApp::settimescale(1.0); }
    void save_data();
    void save();
    void load_data();
    void load();
    void wrongsize_data();
    void wrongsize();
    void damaged_data();
    void damaged();
    void unacknowledged_data();
    void unacknowledged();
    void refusedwhilebusy();
    void notconnected_data();
    void notconnected();
    void notregular_data();
    void notregular();
    void fulldisk();
};

void TstProgramFiles::save_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("filter");
    QTest::newRow("type 24, no extension") << 0x18 << "a"
                                           << "a.K91"
                                           << "Program File (*.K91)";
    QTest::newRow("type 20, another extension") << 0x14 << "c.bin"
                                                << "c.bin.K53"
                                                << "Program File (*.K53)";
    QTest::newRow("type 24, a dot in the name") << 0x18 << "show.v2"
                                                << "show.v2.K91"
                                                << "Program File (*.K91)";
    QTest::newRow("type 22, own extension in lower case") << 0x16 << "b.k72"
                                                          << "b.k72"
                                                          << "Program File (*.K72)";
}

void TstProgramFiles::save()
{
    QFETCH(int, type);
    QFETCH(QString, given);
    QFETCH(QString, written);
    QFETCH(QString, filter);
    ScriptedPrompts prompts;
    Env env;
    env.select(quint8(type), 1, kSerial);
    for (int k = 0; k < kProgramImageSize; ++k)
        env.cur()->setcurimagebyte(k, quint8(sampleimage(2).at(k)));
    env.cur()->unpackprogram();
    prompts.fileNames.enqueue(dir.filePath(given));
    FormToolButton bar;
    bar.on_Save_Button_clicked();
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown.first().kind, QStringLiteral("save"));
    QCOMPARE(prompts.shown.first().text, filter);
    const QByteArray bytes = readfile(dir.filePath(written));
    QCOMPARE(bytes.size(), kProgramImageSize);
    QCOMPARE(bytes.toHex(), packedimage(env.cur()).toHex());
}

// Whether or not the processor echoes the program in its replies.
void TstProgramFiles::load_data()
{
    QTest::addColumn<bool>("echo"); // another value than the program in the replies
    QTest::newRow("echo") << false;
    QTest::newRow("other echo") << true;
}

void TstProgramFiles::load()
{
    QFETCH(bool, echo);
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(env.serial());
    env.cur()->setcomconnected(1);
    if (echo) {
        Fault other;
        other.kind = Fault::OtherEcho;
        env.standin.addfault(other);
    }
    const QByteArray image = sampleimage(7);
    const QString path = dir.filePath(QStringLiteral("load.k91"));
    QVERIFY(writefile(path, image));
    prompts.fileNames.enqueue(path);
    FormToolButton bar;
    QSignalSpy views(&bar, &FormToolButton::updataallviews);
    bar.on_Down_Button_clicked();

    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown.first().text, QStringLiteral("Program File (*.K91 *.k91)"));
    QCOMPARE(views.count(), 1);
    QCOMPARE(currentimage(env.cur()), image);
    const auto writes = env.commands(0x60);
    QCOMPARE(writes.size(), 26);
    for (int k = 0; k < 26; ++k) {
        QCOMPARE(int(quint8(writes[k].payload().at(1))), k);
        QCOMPARE(writes[k].payload().mid(2), image.mid(k * 64, 64));
    }
    const auto recalls = env.commands(0x62);
    QCOMPARE(recalls.size(), 1);
    QCOMPARE(recalls.first().payload().toHex(), QByteArray("00"));
    QVERIFY(recalls.first().ns > writes.last().ns);
    QCOMPARE(env.standin.state(env.unit).image.toHex(), image.toHex());
}

void TstProgramFiles::wrongsize_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("1663") << 1663;
    QTest::newRow("1665") << 1665;
}

void TstProgramFiles::wrongsize()
{
    QFETCH(int, size);
    openrefused(QStringLiteral("wrong.K91"), QByteArray(size, '\x11'), QStringLiteral("Download Program Failed "),
                QStringLiteral("Please Try Again"));
}

// A file of the right size with a field out of its range: refused with the
// field named, the model untouched, nothing sent.
void TstProgramFiles::damaged_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("field");
    // OUT3's limiter attack (record 1169 + 7 x 6, +4) 7000 = 0x1b58.
    QTest::newRow("limiter attack") << 1215 << QByteArray::fromHex("581b")
                                    << "OUT3 limiter attack is out of range (7000)";
    // IN-B's gain (21 + 3, +1) with bit 15 set: 0x8190.
    QTest::newRow("gain, high bit") << 25 << QByteArray::fromHex("9081")
                                    << "IN-B gain is out of range (33168)";
    QTest::newRow("every byte 0x5a") << 0 << QByteArray(kProgramImageSize, '\x5a')
                                     << "IN-A mute is out of range (90)";
}

void TstProgramFiles::damaged()
{
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, field);
    QByteArray image = sampleimage(3);
    image.replace(offset, bytes.size(), bytes);
    openrefused(QStringLiteral("damaged.K91"), image, QStringLiteral("Load File Error "),
                "This file is damaged: " + field + "\nPlease Select Again");
}

void TstProgramFiles::openrefused(const QString &name, const QByteArray &file, const QString &title,
                                  const QString &text)
{
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(env.serial());
    env.cur()->setcomconnected(1);
    const QString path = dir.filePath(name);
    QVERIFY(writefile(path, file));
    prompts.fileNames.enqueue(path);
    const QByteArray before = currentimage(env.cur());
    const QByteArray packed = packedimage(env.cur());
    FormToolButton bar;
    bar.on_Down_Button_clicked();
    QCOMPARE(prompts.lastKind(), QStringLiteral("critical"));
    QCOMPARE(prompts.shown.last().title, title);
    QCOMPARE(prompts.shown.last().text, text);
    QCOMPARE(currentimage(env.cur()), before);
    QCOMPARE(packedimage(env.cur()), packed);
    QTest::qWait(100);
    QVERIFY(env.standin.commands(env.unit).isEmpty());
}

// An unacknowledged part or recall is sent a bounded number of times.
void TstProgramFiles::unacknowledged_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("packet");
    QTest::addColumn<bool>("stray"); // other replies that set the ready flag arrive meanwhile
    QTest::newRow("last part") << 0x60 << 25 << false;
    QTest::newRow("recall") << 0x62 << -1 << false;
    QTest::newRow("recall, stray lock and reset replies") << 0x62 << -1 << true;
}

void TstProgramFiles::unacknowledged()
{
    QFETCH(int, command);
    QFETCH(int, packet);
    QFETCH(bool, stray);
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(env.serial());
    env.cur()->setcomconnected(1);
    QTimer strays;
    QObject::connect(&strays, &QTimer::timeout, [&env]() {
        env.comctrl.dataReceived(QByteArray::fromHex("445566 18 01 10 01 01 12 112233"));
        env.comctrl.dataReceived(QByteArray::fromHex("445566 18 01 65 00 66 112233"));
    });
    if (stray)
        strays.start(20);
    env.standin.addfault(onefault(Fault::NoReply, command, packet));
    const QString path = dir.filePath(QStringLiteral("silent.K91"));
    QVERIFY(writefile(path, sampleimage(4)));
    prompts.fileNames.enqueue(path);
    FormToolButton bar;
    bar.on_Down_Button_clicked();

    QCOMPARE(prompts.lastKind(), QStringLiteral("critical"));
    QCOMPARE(prompts.shown.last().title, QStringLiteral("Download Program Failed "));
    const auto writes = env.commands(0x60);
    const auto recalls = env.commands(0x62);
    if (command == 0x60) {
        QCOMPARE(writes.size(), packet + FormToolButton::kSendAttempts);
        QCOMPARE(int(quint8(writes.last().payload().at(1))), packet);
        QCOMPARE(recalls.size(), 0);
    } else {
        QCOMPARE(writes.size(), 26);
        QCOMPARE(recalls.size(), FormToolButton::kSendAttempts);
    }
    QCOMPARE(gConnectBusy, 0);
}

void TstProgramFiles::refusedwhilebusy()
{
    ScriptedPrompts prompts;
    Env env;
    env.select(0x18, 1, kSerial);
    gConnectBusy = 1; // a connect is running its waits
    FormToolButton bar;
    bar.on_Down_Button_clicked();
    QVERIFY(prompts.shown.isEmpty());
    QCOMPARE(gConnectBusy, 1);
    gConnectBusy = 0;
}

// With no processor connected the open says so at once, in the interface's
// language: no file dialog, nothing read, nothing sent.
void TstProgramFiles::notconnected_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("English") << 0 << "Read File" << "Please Connect First";
    QTest::newRow("Chinese") << 1 << QString::fromUtf8("读取文件") << QString::fromUtf8("请先连接设备");
}

void TstProgramFiles::notconnected()
{
    QFETCH(int, language);
    QFETCH(QString, title);
    QFETCH(QString, text);
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(env.serial()); // the port open and the processor there, not connected
    QTemporaryDir own;
    QVERIFY(QDir::setCurrent(own.path()));
    GlobalContrl lang;
    gGlobalContrl = &lang;
    lang.setlanguage(language);
    const QString path = own.filePath(QStringLiteral("p.K91"));
    QVERIFY(writefile(path, sampleimage(5)));
    prompts.fileNames.enqueue(path);
    const QByteArray before = currentimage(env.cur());
    FormToolButton bar;
    QSignalSpy views(&bar, &FormToolButton::updataallviews);
    bar.on_Down_Button_clicked();
    gGlobalContrl = nullptr;
    QDir::setCurrent(QDir::tempPath());
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.lastKind(), QStringLiteral("warning"));
    QCOMPARE(prompts.shown.last().title, title);
    QCOMPARE(prompts.shown.last().text, text);
    QCOMPARE(prompts.fileNames.size(), 1); // the file dialog never opened
    QCOMPARE(views.count(), 0);
    QCOMPARE(currentimage(env.cur()), before);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(gConnectBusy, 0);
    QTest::qWait(50);
    QVERIFY(env.standin.commands(env.unit).isEmpty());
}

// Only a regular file is opened: a FIFO would block the window for good.
void TstProgramFiles::notregular_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("directory") << "dir";
}

void TstProgramFiles::notregular()
{
    QFETCH(QString, kind);
    ScriptedPrompts prompts;
    Env env;
    QVERIFY(env.serial());
    env.cur()->setcomconnected(1);
    QTemporaryDir own;
    const QString path = own.filePath(QStringLiteral("p.K91"));
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(QDir(own.path()).mkdir(QStringLiteral("p.K91")));
    prompts.fileNames.enqueue(path);
    const QByteArray before = currentimage(env.cur());
    FormToolButton bar;
    QSignalSpy views(&bar, &FormToolButton::updataallviews);
    bar.on_Down_Button_clicked();
    QCOMPARE(prompts.lastKind(), QStringLiteral("warning"));
    QCOMPARE(prompts.shown.last().title, QStringLiteral("Read File"));
    QCOMPARE(prompts.shown.last().text, QStringLiteral("Cannot read file %1: not a regular file.").arg(path));
    QCOMPARE(views.count(), 0);
    QCOMPARE(currentimage(env.cur()), before);
    QVERIFY(env.standin.commands(env.unit).isEmpty());
}

// A save to a full disk (a tmpfs in a private mount namespace) reports the
// disk's own error and leaves the old file as it was, and nothing beside it.
void TstProgramFiles::fulldisk()
{
    QTemporaryDir own;
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0 ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        QSKIP("needs root for a private mount namespace");
    const QString mnt = own.filePath(QStringLiteral("disk"));
    QVERIFY(QDir(own.path()).mkdir(QStringLiteral("disk")));
    QCOMPARE(::mount("tmpfs", QFile::encodeName(mnt).constData(), "tmpfs", 0, "size=64k"), 0);
    const QString path = mnt + QStringLiteral("/old.K91");
    const QByteArray old(kProgramImageSize, '\x5a');
    QVERIFY(writefile(path, old));
    {
        QFile filler(mnt + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(512, '\0');
        while (filler.write(block) == block.size()) {
        }
    }
    ScriptedPrompts prompts;
    Env env;
    env.select(0x18, 1, kSerial);
    prompts.fileNames.enqueue(path);
    MainApp::settimescale(0.01);
    FormToolButton bar;
    bar.on_Save_Button_clicked();
    MainApp::settimescale(1.0);
    const bool old_kept = readfile(path) == old;
    const QStringList files = QDir(mnt).entryList(QDir::Files);
    ::umount2(QFile::encodeName(mnt).constData(), MNT_DETACH);
    QCOMPARE(prompts.lastKind(), QStringLiteral("warning"));
    QCOMPARE(prompts.shown.last().title, QStringLiteral("Write File"));
    QCOMPARE(prompts.shown.last().text,
             QStringLiteral("Cannot write file %1: No space left on device.").arg(path));
    QVERIFY(old_kept);
    QCOMPARE(files, (QStringList{QStringLiteral("filler"), QStringLiteral("old.K91")}));
}

QTEST_MAIN(TstProgramFiles)
#include "tst_programfiles.moc"
