// The command frame codec and the reply checks, byte for byte.
#include "cliutil.h"
#include "zynframe.h"
#include "zynlib.h"

#include <QtTest>

#include <vector>

using Bytes = std::vector<unsigned char>;

class TestFrame : public QObject {
    Q_OBJECT
private slots:
    void commandFrames_data();
    void commandFrames();
    void frameLength();
    void longFormWaitsForItsHeader();
    void checkSum();
    void replyCheck();
    void crc();
    void makeUint64();
    void transportResults();
};

void TestFrame::commandFrames_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no payload") << 0x13 << QByteArray() << QByteArray::fromHex("5e0161010013" "14");
    QTest::newRow("checksum wraps") << 0xFF << QByteArray() << QByteArray::fromHex("5e01610100ff" "00");
    QTest::newRow("two-byte payload") << 0x22 << QByteArray::fromHex("0700")
                                      << QByteArray::fromHex("5e0161030022" "0700" "2c");
}

void TestFrame::commandFrames()
{
    QFETCH(int, command);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, expected);
    Bytes out(size_t(payload.size()) + 7, 0xAA);
    const int n = ZynBuildFrame(uchar(command), payload.constData(), payload.size(), out.data());
    QCOMPARE(n, expected.size());
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(out.data()), n), expected);
}

void TestFrame::frameLength()
{
    Bytes status = {0x5E, 0x01, 0x61, 0x01, 0x00, 0x41, 0x42};
    for (int count = 0; count < 6; ++count)
        QCOMPARE(get_frame_length(status.data(), count), -1);
    QCOMPARE(get_frame_length(status.data(), 6), 7);
    QCOMPARE(get_frame_length(status.data(), 7), 7);

    Bytes big = {0x5E, 0x01, 0x61, 0x00, 0x01, 0, 0};   // 256 data bytes
    QCOMPARE(get_frame_length(big.data(), 7), 262);

    Bytes wrong = {0x5E, 0x01, 0x62, 0x01, 0x00, 0x41, 0x42};
    QCOMPARE(get_frame_length(wrong.data(), 7), -2);
    QCOMPARE(get_frame_length(nullptr, 7), -1);
}

void TestFrame::longFormWaitsForItsHeader()
{
    // FF FF: 24-bit length at 5..7; "HTTP" is written over 5..8 only once all of them are here.
    Bytes frame = {0x5E, 0x01, 0x61, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x2F, 0x31};
    for (int count = 6; count < 9; ++count) {
        QCOMPARE(get_frame_length(frame.data(), count), -1);
        QCOMPARE(frame[5], uchar(0x70));
    }
    QCOMPARE(get_frame_length(frame.data(), 9), 0x011170 + 6);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(frame.data()) + 5, 4), QByteArray("HTTP"));
    QCOMPARE(frame[9], uchar(0x31));
}

void TestFrame::checkSum()
{
    Bytes status = {0x5E, 0x01, 0x61, 0x01, 0x00, 0x41, 0x42};
    QCOMPARE(CalCheckSum(status.data(), 7), 0x42);
    QCOMPARE(CalCheckSum(status.data(), 4), 0);
    // Bytes 3 .. count - 2 only: the prefix and the checksum byte itself do not count.
    Bytes frame = {0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x90, 0x77};
    QCOMPARE(CalCheckSum(frame.data(), 7), 0x10);
}

void TestFrame::replyCheck()
{
    Bytes ok = {0x5E, 0x01, 0x61, 0x02, 0x00, 0x10, 0x20, 0x32};
    QCOMPARE(ZynCheckReplyFrame(ok.data(), 8), 2);
    // Bytes past the frame do not matter.
    Bytes longer = ok;
    longer.push_back(0x99);
    QCOMPARE(ZynCheckReplyFrame(longer.data(), 9), 2);

    Bytes badSum = ok;
    badSum[7] ^= 1;
    QCOMPARE(ZynCheckReplyFrame(badSum.data(), 8), -1);
    Bytes badPrefix = ok;
    badPrefix[0] = 0x5F;
    QCOMPARE(ZynCheckReplyFrame(badPrefix.data(), 8), -1);
    // Declared data longer than what arrived.
    Bytes truncated = {0x5E, 0x01, 0x61, 0x05, 0x00, 0x10, 0x20, 0x35};
    QCOMPARE(ZynCheckReplyFrame(truncated.data(), 8), -1);
    QCOMPARE(ZynCheckReplyFrame(ok.data(), 5), -1);
}

void TestFrame::crc()
{
    const unsigned char text[] = "123456789";
    QCOMPARE(crc32(text, 9), 0xCBF43926u);
    QCOMPARE(crc32(text, 0), 0u);
    QCOMPARE(crc32Table()[1], 0x77073096u);
    QCOMPARE(crc32Table()[255], 0x2D02EF8Du);
}

void TestFrame::makeUint64()
{
    QCOMPARE(MakeUint64(0x89ABCDEFu, 0x01234567u), Q_UINT64_C(0x0123456789ABCDEF));
    QCOMPARE(MakeUint64(0xFFFFFFFFu, 0), Q_UINT64_C(0xFFFFFFFF));
}

void TestFrame::transportResults()
{
    const std::pair<int, u32> table[] = {{-1, 63}, {-2, 5},  {-3, 4},  {-5, 4},   {-6, 63},
                                         {-7, 20}, {-8, 19}, {-9, 21}, {-10, 63}, {-1000, 63}};
    for (const auto& row : table)
        QCOMPARE(ZynMapTransportResult(row.first), row.second);
}

QTEST_APPLESS_MAIN(TestFrame)
#include "test_frame.moc"
