// Replays every file of the given folders through a fuzz entry point, so the
// committed corpus is checked in the ordinary test build.
#include <QDir>
#include <QStringList>
#include <QFile>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    int count = 0;
    // Folders taken as absolute first: an entry point may change the
    // current directory.
    QStringList folders;
    for (int i = 1; i < argc; ++i)
        folders << QDir(QString::fromLocal8Bit(argv[i])).absolutePath();
    for (const QString &folder : folders) {
        QDir dir(folder);
        const auto files = dir.entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo &fi : files) {
            QFile f(fi.absoluteFilePath());
            if (!f.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(fi.absoluteFilePath()));
                return 1;
            }
            const QByteArray data = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()));
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
