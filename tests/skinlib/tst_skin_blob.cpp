// The .SHE decoder on blobs made in code: what it accepts, and every way a blob is refused.
// Arbitrary bytes are the fuzzer's business (fuzz/); here each refusal has its own row.
#include "skinlib/skin_blob.h"

#include <QTest>

#include <lzma.h>

#include <vector>

namespace blob = quarnel::skinblob;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(blob::Status)

namespace {

const std::string sampleText = [] {
    std::string text = "[skin]\nstyle = Fusion\n[stylesheet]\n";
    for (int i = 0; i < 200; ++i)
        text += "QPushButton#b" + std::to_string(i) + " { border: 1px solid #336699; }\n";
    return text;
}();

Bytes sampleBlob()
{
    return blob::encode(sampleText);
}

void putSize(Bytes &bytes, std::uint32_t size)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[blob::sizeOffset + i] = static_cast<std::uint8_t>(size >> (8 * i));
}

} // namespace

class SkinBlobTest : public QObject
{
    Q_OBJECT

private slots:
    void encodedBlobHasTheFixedHeader();
    void propertiesAreLzmaOwnEncodingOfTheOptions();
    void decodeGivesBackTheText();
    void refusesBadBlobs_data();
    void refusesBadBlobs();
    void encodeRefusesWhatCannotBeDecoded();
};

void SkinBlobTest::encodedBlobHasTheFixedHeader()
{
    const Bytes packed = sampleBlob();
    QVERIFY(packed.size() > blob::headerSize);
    QCOMPARE(Bytes(packed.begin(), packed.begin() + 6),
             (Bytes{0x2E, 0x53, 0x48, 0x45, 0x00, 0x03}));
    const std::uint32_t size = std::uint32_t{packed[6]} | std::uint32_t{packed[7]} << 8 |
                               std::uint32_t{packed[8]} << 16 | std::uint32_t{packed[9]} << 24;
    QCOMPARE(size, sampleText.size());
    QCOMPARE(Bytes(packed.begin() + 10, packed.begin() + 15),
             (Bytes{0x5D, 0x00, 0x00, 0x80, 0x00}));
}

// Guards the constant against a typo: lc 3, lp 0, pb 2 and an 8 MiB dictionary, as liblzma
// itself writes them.
void SkinBlobTest::propertiesAreLzmaOwnEncodingOfTheOptions()
{
    lzma_options_lzma options{};
    lzma_lzma_preset(&options, 6);
    options.lc = 3;
    options.lp = 0;
    options.pb = 2;
    options.dict_size = 8u << 20;
    lzma_filter filter{LZMA_FILTER_LZMA1, &options};
    Bytes properties(5);
    QCOMPARE(lzma_properties_encode(&filter, properties.data()), LZMA_OK);
    QCOMPARE(properties, Bytes(blob::lzmaProperties.begin(), blob::lzmaProperties.end()));
}

void SkinBlobTest::decodeGivesBackTheText()
{
    const blob::Decoded decoded = blob::decode(sampleBlob());
    QCOMPARE(decoded.status, blob::Status::Ok);
    QCOMPARE(decoded.text, sampleText);
}

void SkinBlobTest::refusesBadBlobs_data()
{
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<blob::Status>("status");

    const Bytes good = sampleBlob();
    auto changed = [&good](auto change) {
        Bytes bytes = good;
        change(bytes);
        return bytes;
    };

    QTest::newRow("nothing") << Bytes{} << blob::Status::TooShort;
    QTest::newRow("header cut short")
        << Bytes(good.begin(), good.begin() + 14) << blob::Status::TooShort;
    QTest::newRow("header without body")
        << Bytes(good.begin(), good.begin() + 15) << blob::Status::Truncated;
    QTest::newRow("wrong magic") << changed([](Bytes &b) { b[1] = 's'; }) << blob::Status::BadMagic;
    QTest::newRow("wrong version byte 4")
        << changed([](Bytes &b) { b[4] = 1; }) << blob::Status::BadMagic;
    QTest::newRow("wrong version byte 5")
        << changed([](Bytes &b) { b[5] = 2; }) << blob::Status::BadMagic;
    QTest::newRow("declared size 0")
        << changed([](Bytes &b) { putSize(b, 0); }) << blob::Status::Empty;
    QTest::newRow("declared size one above the cap")
        << changed([](Bytes &b) { putSize(b, blob::maxDecodedSize + 1); })
        << blob::Status::TooLarge;
    QTest::newRow("declared size 4 GiB - 1")
        << changed([](Bytes &b) { putSize(b, 0xFFFFFFFFu); }) << blob::Status::TooLarge;
    QTest::newRow("other lc/lp/pb")
        << changed([](Bytes &b) { b[10] = 0x5E; }) << blob::Status::UnsupportedProperties;
    QTest::newRow("other dictionary size")
        << changed([](Bytes &b) { b[13] = 0x40; }) << blob::Status::UnsupportedProperties;
    QTest::newRow("properties out of range")
        << changed([](Bytes &b) { b[10] = 0xE1; }) << blob::Status::UnsupportedProperties;
    QTest::newRow("last byte missing")
        << changed([](Bytes &b) { b.pop_back(); }) << blob::Status::Truncated;
    QTest::newRow("half the body")
        << changed([](Bytes &b) { b.resize(15 + (b.size() - 15) / 2); }) << blob::Status::Truncated;
    QTest::newRow("declared one byte more than the body holds")
        << changed([](Bytes &b) { putSize(b, static_cast<std::uint32_t>(sampleText.size() + 1)); })
        << blob::Status::Truncated;
    QTest::newRow("declared one byte less than the body holds")
        << changed([](Bytes &b) { putSize(b, static_cast<std::uint32_t>(sampleText.size() - 1)); })
        << blob::Status::Corrupt;
    QTest::newRow("first range-coder byte not zero")
        << changed([](Bytes &b) { b[15] = 0x80; }) << blob::Status::Corrupt;
    QTest::newRow("body bits flipped")
        << changed([](Bytes &b) { b[b.size() / 2] ^= 0xFF; }) << blob::Status::Corrupt;
    QTest::newRow("a zero byte after the body")
        << changed([](Bytes &b) { b.push_back(0); }) << blob::Status::TrailingData;
    QTest::newRow("a second blob after the body")
        << changed([&good](Bytes &b) { b.insert(b.end(), good.begin(), good.end()); })
        << blob::Status::TrailingData;
}

void SkinBlobTest::refusesBadBlobs()
{
    QFETCH(Bytes, bytes);
    QFETCH(blob::Status, status);
    const blob::Decoded decoded = blob::decode(bytes);
    QCOMPARE(decoded.status, status);
    QVERIFY(decoded.text.empty());
}

void SkinBlobTest::encodeRefusesWhatCannotBeDecoded()
{
    QVERIFY(blob::encode("").empty());
    QVERIFY(blob::encode(std::string(blob::maxDecodedSize + 1, 'x')).empty());
    const Bytes atCap = blob::encode(std::string(blob::maxDecodedSize, 'x'));
    QCOMPARE(blob::decode(atCap).status, blob::Status::Ok);
}

QTEST_GUILESS_MAIN(SkinBlobTest)
#include "tst_skin_blob.moc"
