#include "TFileVersion.h"

#include <QTest>

class TestFileVersion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void programValues_data();
    void programValues();
    void withoutVersionInformation();
    void valuesAreTrimmed_data();
    void valuesAreTrimmed();
};

void TestFileVersion::programValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ProductName") << "ProductName"
                                 << "Tarvane";
    QTest::newRow("FileVersion") << "FileVersion"
                                 << "12.0.0.722";
    QTest::newRow("CompanyName") << "CompanyName"
                                 << "Tarvane";
    QTest::newRow("ProductVersion") << "ProductVersion"
                                    << "12.0";
    QTest::newRow("empty description") << "FileDescription"
                                       << "";
    QTest::newRow("name not in the table") << "LegalTrademarks"
                                           << "";
    QTest::newRow("empty name") << ""
                                << "";
}

void TestFileVersion::programValues()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const TFileVersion version;
    QCOMPARE(version.translationKey(), QStringLiteral("080403a8"));
    QCOMPARE(version.value(name), expected);
}

void TestFileVersion::withoutVersionInformation()
{
    const TFileVersion version { VersionBlock() };
    QCOMPARE(version.translationKey(), QString());
    QCOMPARE(version.productName(), QString());
    QCOMPARE(version.fileVersion(), QString());
    QCOMPARE(version.value(QStringLiteral("CompanyName")), QString());
}

void TestFileVersion::valuesAreTrimmed_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trailing blanks") << "Tarvane   "
                                     << "Tarvane";
    QTest::newRow("trailing line break") << "12.0.0.722\r\n"
                                         << "12.0.0.722";
    QTest::newRow("leading tab, trailing NUL") << QStringLiteral("\tTarvane") + QChar(0) << "Tarvane";
    QTest::newRow("inner blank kept") << " Tarvane Desk "
                                      << "Tarvane Desk";
    QTest::newRow("only blanks") << " \r\n "
                                 << "";
}

void TestFileVersion::valuesAreTrimmed()
{
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    VersionBlock block;
    block.translations.append({ 0x0409, 0x04b0 });
    block.strings.insert(QStringLiteral("StringFileInfo\\040904b0\\ProductName"), stored);
    const TFileVersion version(block);
    QCOMPARE(version.translationKey(), QStringLiteral("040904b0"));
    QCOMPARE(version.productName(), expected);
}

QTEST_GUILESS_MAIN(TestFileVersion)
#include "tst_fileversion.moc"
