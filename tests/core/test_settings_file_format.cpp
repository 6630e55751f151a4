// The settings file format against Qt's own IniFormat: what either writes, the other reads with
// the same values; text that is not INI is refused.

#include "../common/file_bytes.h"
#include "../common/temp_settings.h"
#include "core/settings_file_format.h"

#include <QtTest>

#include <climits>

using Core::SettingsFileFormat;

class TestSettingsFileFormat : public QObject
{
    Q_OBJECT

    TempSettings settings;
    int files = 0;

    // A path QSettings has not seen in this process: it caches what it parsed of each path, and
    // each side must parse the file itself.
    QString FreshPath() { return settings.Path() + QStringLiteral("/%1.conf").arg(++files); }

private Q_SLOTS:
    void eachReadsWhatTheOtherWrote_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("comma") << "Group/comma" << QVariant("a, b,c");
        QTest::newRow("quote") << "Group/quote" << QVariant("say \"hi\"");
        QTest::newRow("backslash") << "Group/path" << QVariant("C:\\dir\\file\\");
        QTest::newRow("spaces at both ends") << "Group/padded" << QVariant("  padded  ");
        QTest::newRow("semicolon, equals") << "Group/expr" << QVariant("a;b=c");
        QTest::newRow("non-ASCII") << "Group/greeting" << QVariant(QString::fromUtf8("Grüße 音 😀"));
        QTest::newRow("control characters") << "Group/controls" << QVariant("tab\tline\nbell\a\x01 end");
        QTest::newRow("hex digit after an escape")
            << "Group/hex" << QVariant(QString::fromUtf8("éFab\x01") + QStringLiteral("7") + QChar(0) + "12");
        QTest::newRow("empty") << "Group/empty" << QVariant(QString(""));
        QTest::newRow("leading @") << "Group/at" << QVariant("@Invalid()");
        QTest::newRow("string list") << "Group/list"
                                     << QVariant(QStringList{"one", "two, three", " four ", ""});
        QTest::newRow("bool") << "Group/bool" << QVariant(true);
        QTest::newRow("int") << "Group/int" << QVariant(42);
        QTest::newRow("negative") << "Group/negative" << QVariant(INT_MIN);
        QTest::newRow("double") << "Group/double" << QVariant(2.5);
        QTest::newRow("byte array") << "Group/bytes" << QVariant(QByteArray::fromHex("0001ff4142"));
        QTest::newRow("odd key") << QString::fromUtf8("Gr oup/sub/odd key=ä;音") << QVariant("v");
        QTest::newRow("group named General") << "General/x" << QVariant("y");
        QTest::newRow("key in no group") << "plain" << QVariant("value");
    }

    void eachReadsWhatTheOtherWrote()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        // Neighbours in no group and in a deeper group, so that sections change around the key.
        const QVariantMap written{{key, value}, {"top", 1}, {"Other/Sub/key", "x"}};
        const QSettings::Format ours = SettingsFileFormat::Registered();
        for (const QSettings::Format writer : {ours, QSettings::IniFormat}) {
            const QString path = FreshPath();
            {
                QSettings file(path, writer);
                for (auto it = written.cbegin(); it != written.cend(); ++it)
                    file.setValue(it.key(), it.value());
                file.sync();
                QCOMPARE(file.status(), QSettings::NoError);
            }
            const QString copy = FreshPath();
            QVERIFY(QFile::copy(path, copy));
            const QSettings read(copy, writer == ours ? QSettings::IniFormat : ours);
            QCOMPARE(read.status(), QSettings::NoError);
            QCOMPARE(read.allKeys().size(), written.size());
            for (auto it = written.cbegin(); it != written.cend(); ++it) {
                QVariant value = read.value(it.key()); // as written, once of the type written
                QVERIFY2(value.convert(it.value().userType()) && value == it.value(), qPrintable(it.key()));
            }
        }
    }

    void onlyIniTextIsRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QVariantMap>("expected");
        // (Random bytes: test_settings_store, where the file they fill is kept aside.)
        QTest::newRow("NUL byte") << QByteArray("k=a\0b\n", 6) << false << QVariantMap();
        QTest::newRow("invalid UTF-8") << QByteArray("[G]\nk=\xC3\x28\n") << false << QVariantMap();
        QTest::newRow("a line of words") << QByteArray("[G]\nk=1\njust words\n") << false << QVariantMap();
        QTest::newRow("section not closed") << QByteArray("[G\nk=1\n") << false << QVariantMap();
        QTest::newRow("text after a section") << QByteArray("[G] x\nk=1\n") << false << QVariantMap();
        QTest::newRow("quote not closed") << QByteArray("k=\"abc\nj=2\n") << false << QVariantMap();
        QTest::newRow("no key") << QByteArray("=1\n") << false << QVariantMap();
        QTest::newRow("comments, blanks, CRLF")
            << QByteArray("; one\r\n# two\r\n\r\n[G]\r\n  k = 1 ; three\r\nj=\"a;b\"\r\n") << true
            << QVariantMap{{"G/k", "1"}, {"G/j", "a;b"}};
        QTest::newRow("UTF-8 with byte order mark")
            << "\xEF\xBB\xBF[G]\nname=" + QString::fromUtf8("Grüße").toUtf8() + "\n"
            << true << QVariantMap{{"G/name", QString::fromUtf8("Grüße")}};
        QTest::newRow("continued line") << QByteArray("k=a\\\nb\n") << true << QVariantMap{{"k", "ab"}};
        QTest::newRow("blank only") << QByteArray(" \n\t\n") << true << QVariantMap();
    }

    void onlyIniTextIsRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QFETCH(QVariantMap, expected);
        const QString path = FreshPath();
        QVERIFY(WriteAll(path, bytes));
        const QSettings read(path, SettingsFileFormat::Registered());
        QCOMPARE(read.status(), readable ? QSettings::NoError : QSettings::FormatError);
        QVariantMap contents;
        for (const QString& key : read.allKeys())
            contents.insert(key, read.value(key));
        QCOMPARE(contents, expected);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFileFormat)
#include "test_settings_file_format.moc"
