#include "hextext.h"

#include <QtTest>

class TestHexText : public QObject
{
    Q_OBJECT
private slots:
    void hextobytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("blank between bytes") << "1122 33" << QByteArray::fromHex("112233");
        QTest::newRow("odd length drops last digit") << "abc" << QByteArray::fromHex("ab");
        QTest::newRow("blank in second place") << "1 2" << QByteArray::fromHex("0f");
        QTest::newRow("two invalid digits") << "zz" << QByteArray::fromHex("ef");
        QTest::newRow("lone digit") << "5" << QByteArray();
    }
    void hextobytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(::hextobytes(text), bytes);
        QByteArray out("stale content");
        ::hextobytes(text, out);
        QCOMPARE(out, bytes); // replaces, never appends
    }

    void bytestohex_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << QString() << QString();
        QTest::newRow("appends") << QByteArray::fromHex("0a") << "11"
                                 << "110a";
    }
    void bytestohex()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, prefix);
        QFETCH(QString, text);
        QString out = prefix;
        ::bytestohex(bytes, out);
        QCOMPARE(out, text);
    }

    void digitvalue_data()
    {
        QTest::addColumn<QChar>("c");
        QTest::addColumn<int>("value");
        const char *valid = "0123456789";
        for (int i = 0; i < 10; ++i)
            QTest::addRow("%c", valid[i]) << QChar(valid[i]) << i;
        for (int i = 0; i < 6; ++i) {
            QTest::addRow("%c", 'a' + i) << QChar('a' + i) << 10 + i;
            QTest::addRow("%c", 'A' + i) << QChar('A' + i) << 10 + i;
        }
        for (char c : {' ', 'g', 'G', '/', ':', '@', '`', '\0'})
            QTest::addRow("invalid %d", int(c)) << QChar(c) << -1;
        QTest::newRow("non-latin") << QChar(0x4e2d) << -1;
    }
    void digitvalue()
    {
        QFETCH(QChar, c);
        QFETCH(int, value);
        QCOMPARE(hexdigitvalue(c), value);
    }

    void roundTripAllBytes()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        QCOMPARE(::hextobytes(::bytestohex(all)), all);
        QCOMPARE(::hextobytes(::bytestohex(all).toUpper()), all);
    }
};

QTEST_APPLESS_MAIN(TestHexText)
#include "tst_hextext.moc"
