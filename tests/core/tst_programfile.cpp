#include "devicedata.h"
#include "devicedatatestutil.h"
#include "programfile.h"
#include "programimage.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace
{

bool writeraw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readraw(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A file whose size says one image but which holds a byte more by the time
// it is read (another program appending to it).
class GrowingFile : public QIODevice
{
public:
    GrowingFile() { open(QIODevice::ReadOnly); }
    qint64 size() const override { return 1664; }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        const qint64 n = qMin<qint64>(max, 1665 - m_pos);
        std::memset(data, 0x2a, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 m_pos = 0;
};

} // namespace

class TestProgramFile : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void suffixAndFilter_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("filter");
        QTest::newRow("24") << 24 << ".K91"
                            << "Program File (*.K91)";
        QTest::newRow("20") << 20 << ".K53"
                            << "Program File (*.K53)";
        QTest::newRow("other") << 0x19 << ""
                               << "";
    }
    void suffixAndFilter()
    {
        QFETCH(int, type);
        QFETCH(QString, suffix);
        QFETCH(QString, filter);
        QCOMPARE(programfilesuffix(type), suffix);
        QCOMPARE(programfilefilter(type), filter);
    }

    // The extension added to a typed name: unless the name already ends with
    // the file type's own, in any letter case.
    void withSuffix_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "show"
                                      << ".K91"
                                      << "show.K91";
        QTest::newRow("a dot in the name") << "show.v2"
                                           << ".K91"
                                           << "show.v2.K91";
        QTest::newRow("another extension") << "show.bin"
                                           << ".J72"
                                           << "show.bin.J72";
        QTest::newRow("the program's for a collection") << "show.K91"
                                                        << ".J91"
                                                        << "show.K91.J91";
        QTest::newRow("own extension") << "show.K53"
                                       << ".K53"
                                       << "show.K53";
        QTest::newRow("own extension, lower case") << "show.k91"
                                                   << ".K91"
                                                   << "show.k91";
        QTest::newRow("own extension, mixed case") << "show.j91"
                                                   << ".J91"
                                                   << "show.j91";
        QTest::newRow("dotted folder") << "/tmp/v1.2/show"
                                       << ".K91"
                                       << "/tmp/v1.2/show.K91";
        QTest::newRow("nothing typed") << ""
                                       << ".K91"
                                       << "";
        QTest::newRow("no extension for the type") << "show"
                                                   << ""
                                                   << "show";
    }
    void withSuffix()
    {
        QFETCH(QString, typed);
        QFETCH(QString, suffix);
        QFETCH(QString, written);
        QCOMPARE(withsuffix(typed, suffix), written);
    }

    void saveAndLoadRoundTrip()
    {
        auto a = std::make_unique<DeviceData>();
        a->settype(22);
        a->setprogramname(QStringLiteral("Balcony"));
        a->setgain(6, 333);
        a->setdelay(2, 4800);
        a->setdelayflag(2, 0x80);
        a->setgeq(1, 4, 280, true);
        a->setpeqtype(8, 1, 5);
        a->setpeqallpass(8, 1, 123);
        a->setrouteinc(7, true);
        const QString path = dir.filePath("hall" + programfilesuffix(a->gettype()));
        QString error;
        QCOMPARE(saveprogramfile(path, *a, &error), ProgramFileStatus::Ok);
        QVERIFY(error.isEmpty());

        // The file is the write image, byte for byte, nothing before or after.
        const QByteArray bytes = readraw(path);
        QCOMPARE(bytes.size(), 1664);
        QCOMPARE(bytes, writeimage(*a));

        auto b = std::make_unique<DeviceData>();
        QCOMPARE(loadprogramfile(path, *b, &error), ProgramFileStatus::Ok);
        QCOMPARE(currentimage(*b), bytes);
        const QString diff = firstdifference(imagefields(*b), imagefields(*a));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QVERIFY(b->getgeqpass(1, 4));

        // Saving what was loaded gives the same file again.
        const QString again = dir.filePath("again.K72");
        QCOMPARE(saveprogramfile(again, *b), ProgramFileStatus::Ok);
        QCOMPARE(readraw(again), bytes);
    }

    void wrongSizeRefused_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("one short") << 1663;
        QTest::newRow("one long") << 1665;
    }
    void wrongSizeRefused()
    {
        QFETCH(int, size);
        const QString path = dir.filePath(QStringLiteral("size%1.K91").arg(size));
        QVERIFY(writeraw(path, QByteArray(size, '\x55')));

        auto d = std::make_unique<DeviceData>();
        d->setgain(0, 111);
        const QByteArray imagebefore = currentimage(*d);
        const QStringList fieldsbefore = imagefields(*d);
        QString error;
        QCOMPARE(loadprogramfile(path, *d, &error), ProgramFileStatus::WrongSize);
        QVERIFY2(error.contains(QStringLiteral("size%1.K91").arg(size)), qPrintable(error));
        QVERIFY2(error.contains("1664"), qPrintable(error));
        QCOMPARE(currentimage(*d), imagebefore);
        QCOMPARE(imagefields(*d), fieldsbefore);

        QByteArray image("untouched");
        QCOMPARE(readprogramfile(path, image), ProgramFileStatus::WrongSize);
        QCOMPARE(image, QByteArray("untouched"));
    }

    void unreadableRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing file") << "nosuchfile.K91";
        QTest::newRow("directory") << "adir.K91";
        QTest::newRow("device") << "/dev/zero";
    }
    void unreadableRefused()
    {
        QFETCH(QString, name);
        QDir(dir.path()).mkdir("adir.K91");
        const QString path = name.startsWith('/') ? name : dir.filePath(name);
        auto d = std::make_unique<DeviceData>();
        const QByteArray imagebefore = currentimage(*d);
        QString error;
        const ProgramFileStatus status = loadprogramfile(path, *d, &error);
        QVERIFY(status != ProgramFileStatus::Ok);
        QVERIFY2(error.startsWith("Cannot read file "), qPrintable(error));
        QCOMPARE(currentimage(*d), imagebefore);
    }

    void grownFileRefused()
    {
        GrowingFile f;
        QByteArray image("untouched");
        QString error;
        QCOMPARE(readprogramimage(f, "grown.K91", image, &error), ProgramFileStatus::WrongSize);
        QCOMPARE(image, QByteArray("untouched"));
        QCOMPARE(error, QString("Cannot read file grown.K91: the file changed while it was read."));
    }

    void writeRefused()
    {
        QString error;
        // A wrong-sized image is never written.
        const QString path = dir.filePath("short.K91");
        QCOMPARE(writeprogramfile(path, QByteArray(100, '\0'), &error), ProgramFileStatus::WrongSize);
        QVERIFY(!QFile::exists(path));
        QVERIFY2(error.startsWith("Cannot write file short.K91"), qPrintable(error));

        // A folder that does not exist.
        auto d = std::make_unique<DeviceData>();
        const QString bad = dir.filePath("no/such/folder/x.K91");
        QCOMPARE(saveprogramfile(bad, *d, &error), ProgramFileStatus::CannotOpen);
        QVERIFY2(error.startsWith("Cannot write file x.K91: "), qPrintable(error));

        // A failed write leaves an existing file as it was.
        const QString keep = dir.filePath("keep.K91");
        QVERIFY(writeraw(keep, QByteArray(1664, '\x42')));
        QCOMPARE(writeprogramfile(keep, QByteArray(10, '\0')), ProgramFileStatus::WrongSize);
        QCOMPARE(readraw(keep), QByteArray(1664, '\x42'));
    }
};

QTEST_GUILESS_MAIN(TestProgramFile)
#include "tst_programfile.moc"
