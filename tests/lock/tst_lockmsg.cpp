// The message library of each language folder, loaded as the program loads
// it: texts cross in a 256-byte buffer, length byte first, no NUL.
#include "TestEnv.h"

#include <QLibrary>
#include <QtTest>

#include <array>
#include <cstdint>

namespace {

using GetUnitStrFn = void (*)(unsigned char *, int32_t);
using GetMsgStrFn = void (*)(unsigned char *, int32_t, int32_t);

constexpr unsigned char Sentinel = 0xEE;
constexpr int BufferSize = 256;

} // namespace

class TestLockMsg : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("unit");
        QTest::addColumn<int>("argument");
        QTest::addColumn<QString>("expected");
        const auto unit = [](int language, int index, const char *text) {
            QTest::addRow("%d unit %d", language, index) << language << true << index << QString::fromUtf8(text);
        };
        const auto msg = [](int language, int code, const char *text) {
            QTest::addRow("%d code %d", language, code) << language << false << code << QString::fromUtf8(text);
        };
        unit(2052, 0, "发卡机信息（代码：%s）");
        unit(2052, 1, "注销卡");
        unit(2052, 2, "以下房间有使用此卡的在住记录：%s。是否退房？");
        unit(2052, 3, "");
        unit(2052, -1, "");
        msg(2052, 1, "操作成功！");
        msg(2052, -1, "无卡！");
        msg(2052, -2, "无发卡机！");
        msg(2052, -14, "非本系统的发卡机！");
        msg(2052, -15, "操作失败！");
        msg(2052, -7, "操作失败！");
        msg(2052, 0, "操作失败！");
        // Only the low half travels, read as a signed word.
        msg(2052, 0x1FFFF, "无卡！");
        msg(2052, 0xFFFE, "无发卡机！");
        msg(2052, 0x10001, "操作成功！");
        unit(1033, 0, "Card encoder message (code: %s)");
        unit(1033, 9, "");
        msg(1033, -1, "No card!");
        msg(1033, -15, "Operation failed!");
        // Test texts (language 0): a text longer than the buffer is cut to
        // whole characters; patterns cross verbatim.
        unit(0, 0, "%d-%s-%s");
        QTest::addRow("0 unit 1 cut") << 0 << true << 1 << QString::fromUtf8("房间").repeated(50).left(85);
        QTest::addRow("0 unit 3 cut before a split character")
            << 0 << true << 3 << u'x' + QString::fromUtf8("房间").repeated(50).left(84);
    }

    void texts()
    {
        QFETCH(int, language);
        QFETCH(bool, unit);
        QFETCH(int, argument);
        QFETCH(QString, expected);
        // Language 0: the test-text build beside the program folder.
        const QString path = language == 0
            ? TestEnv::binDir() + QStringLiteral("/../stubs/lockmsg/Dll/2052/libLockMsg.so")
            : TestEnv::binDir() + QStringLiteral("/Dll/%1/libLockMsg.so").arg(language);
        QLibrary library(path);
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        const auto getUnit = reinterpret_cast<GetUnitStrFn>(library.resolve("GetUnitStr"));
        const auto getMsg = reinterpret_cast<GetMsgStrFn>(library.resolve("GetMsgStr"));
        QVERIFY(getUnit && getMsg);

        std::array<unsigned char, BufferSize + 16> buf;
        buf.fill(Sentinel);
        if (unit)
            getUnit(buf.data(), argument);
        else
            getMsg(buf.data(), argument, 1);
        const int length = buf[0];
        const QByteArray text(reinterpret_cast<const char *>(buf.data()) + 1, length);
        QCOMPARE(QString::fromUtf8(text), expected);
        QCOMPARE(text, expected.toUtf8()); // whole characters, exactly L bytes
        for (size_t i = 1 + length; i < buf.size(); ++i)
            QCOMPARE(buf[i], Sentinel);
    }
};

QTEST_GUILESS_MAIN(TestLockMsg)
#include "tst_lockmsg.moc"
