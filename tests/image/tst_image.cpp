// Encoding the configuration into the exchange image and decoding it back,
// and the small encodings inside it: BCD, flagged and PIN words and the
// guaranteed-access mask.
#include "BcdCodec.h"
#include "Equipment.h"
#include "ExchangeImage.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace tidelex;
namespace L = ExchMap;

namespace {

// Puts a Subscriber board under extension i and makes it an active member
// of class `cls` (options taken from the class).
void placeExtension(Configuration &config, int i, int number, int cls, int directDial = 0)
{
    config.SysConfig.Slots[extensionSlot(i)] = BoardSubscriber;
    ExtRecord &ext = config.Extensions[i];
    ext.Active = true;
    ext.ExtNum = static_cast<int16_t>(number);
    ext.Class = static_cast<int16_t>(cls);
    ext.Status = config.ExtClasses[cls].Status;
    ext.DirectDial = static_cast<int16_t>(directDial);
}

// Puts a Tie Line board under tie line t and makes it active with tie class
// `cls`, routed to extensions ext1 and ext2.
void placeTieLine(Configuration &config, int t, int dirNum, int cls = 0, int ext1 = 0, int ext2 = 0)
{
    config.SysConfig.Slots[tieLineSlot(t)] = BoardTieLine;
    TieRecord &tie = config.TieLines[t];
    tie.Active = true;
    tie.DirNum = static_cast<int16_t>(dirNum);
    tie.Class = static_cast<int16_t>(cls);
    tie.Status[0] = config.TieClasses[cls].Status[0];
    tie.Ext1 = static_cast<int16_t>(ext1);
    tie.Ext2 = static_cast<int16_t>(ext2);
    tie.Dial9 = false;
}

// An active group at index g with the given members.
void placeGroup(Configuration &config, int g, int dirNum, int type, const QList<int> &members)
{
    GroupRecord &group = config.Groups[g];
    group.Active = true;
    group.DirNum = static_cast<int16_t>(dirNum);
    group.Type = static_cast<int16_t>(type);
    group.Num = static_cast<int16_t>(members.size());
    for (int m = 0; m < members.size() && m < GroupExtsSize; ++m)
        group.Exts[m] = static_cast<int16_t>(members[m]);
}

QList<int> shuffledRange(QRandomGenerator &rng, int first, int last)
{
    QList<int> numbers;
    for (int n = first; n <= last; ++n)
        numbers.append(n);
    for (qsizetype k = numbers.size() - 1; k > 0; --k)
        numbers.swapItemsAt(k, rng.bounded(int(k + 1)));
    return numbers;
}

bool chance(QRandomGenerator &rng, int percent)
{
    return rng.bounded(100) < percent;
}

// A valid configuration drawn from `seed`: unique numbers, members that
// exist, guaranteed-access extensions that are active, at most one tie line
// per first extension.
Configuration randomConfiguration(quint32 seed)
{
    QRandomGenerator rng(seed);
    Configuration c = makeDefaultConfiguration();
    for (int s = FirstLineSlot; s <= LastLineSlot; ++s) {
        static constexpr int16_t kinds[] = {BoardEmpty, BoardSubscriber, BoardSubscriber, BoardTieLine};
        c.SysConfig.Slots[s] = kinds[rng.bounded(4)];
    }

    // Extensions; inactive records keep their default numbers 100 + i, which
    // may repeat an active number, as in a real configuration.
    const QList<int> extNumbers = shuffledRange(rng, FirstExtensionNumber, LastExtensionNumber);
    QList<int> active;
    for (int i = 0; i < MaxExtensions; ++i) {
        if (c.SysConfig.Slots[extensionSlot(i)] != BoardSubscriber || !chance(rng, 80))
            continue;
        const int cls = rng.bounded(ClassDisabled + 1);
        placeExtension(c, i, extNumbers[i], cls, cls == ClassHotLine ? rng.bounded(100, 500) : 0);
        ExtRecord &ext = c.Extensions[i];
        if (cls == ClassCustom) {
            for (int b = 0; b < 3; ++b)
                ext.Status[b] = static_cast<uint8_t>(rng.bounded(256));
            ext.Status[4] = static_cast<uint8_t>(rng.bounded(256) & 0xD0); // no hot-line bit
        }
        active.append(ext.ExtNum);
    }
    auto anyActive = [&] { return active.isEmpty() ? 0 : active[rng.bounded(int(active.size()))]; };

    // Groups with members among the active extensions.
    const QList<int> groupNumbers = shuffledRange(rng, 500, 599);
    QList<int> groups;
    for (int g = 0; g < MaxGroups && !active.isEmpty(); ++g) {
        if (!chance(rng, 60))
            continue;
        static constexpr int types[] = {GroupMultipleCallForward, GroupHunt, GroupPickup};
        QList<int> members;
        for (int m = rng.bounded(1, MaxGroupMembers + 1); m > 0; --m)
            members.append(anyActive());
        placeGroup(c, g, groupNumbers[g], types[rng.bounded(3)], members);
        groups.append(groupNumbers[g]);
    }
    for (int i = 0; i < MaxExtensions && !groups.isEmpty(); ++i) {
        if (c.Extensions[i].Active && chance(rng, 30))
            c.Extensions[i].Group = static_cast<int16_t>(groups[rng.bounded(int(groups.size()))]);
    }

    // Tie lines; each first extension is used by one tie line at most.
    const QList<int> tieNumbers = shuffledRange(rng, 600, 999);
    QList<int> freeFirst = active;
    for (int t = 0; t < MaxTieLines; ++t) {
        if (c.SysConfig.Slots[tieLineSlot(t)] != BoardTieLine || !chance(rng, 80))
            continue;
        placeTieLine(c, t, tieNumbers[t], rng.bounded(4));
        TieRecord &tie = c.TieLines[t];
        tie.Status[0] |= static_cast<uint8_t>(rng.bounded(256) & (TieDTMF | TieDDI));
        tie.Status[1] = static_cast<uint8_t>(rng.bounded(256));
        for (int j = 0; j < Dial6Codes; ++j)
            tie.Dial6[j] = chance(rng, 30);
        tie.Dial9 = chance(rng, 50);
        if (!freeFirst.isEmpty() && chance(rng, 70)) {
            tie.Ext1 = static_cast<int16_t>(freeFirst.takeAt(rng.bounded(int(freeFirst.size()))));
            if (chance(rng, 50))
                tie.Ext2 = static_cast<int16_t>(chance(rng, 50) || groups.isEmpty()
                                                    ? anyActive()
                                                    : groups[rng.bounded(int(groups.size()))]);
        }
    }

    const int guaranteed = std::min<int>(rng.bounded(GAEntries + 1), active.size());
    for (int k = 0; k < guaranteed; ++k)
        c.SysConfig.GA[k] = static_cast<int16_t>(active[k]);
    c.SysConfig.PIN = static_cast<int16_t>(rng.bounded(10000));
    for (int k = 0; k < 4; ++k)
        c.SysConfig.Pass.append(QChar(u'A' + rng.bounded(26)));
    return c;
}

// Sparse hex dump of an image, one "OOOO: xx .. xx" line per non-zero row of
// 16 bytes, as the golden files hold it under their '#' comment lines.
QByteArray imageToDump(const QByteArray &image)
{
    QByteArray dump;
    for (int row = 0; row < image.size(); row += 16) {
        const QByteArray bytes = image.mid(row, 16);
        if (bytes.count('\0') == bytes.size())
            continue;
        dump += QString::asprintf("%04X:", row).toLatin1() + ' ' + bytes.toHex(' ').toUpper() + '\n';
    }
    return dump;
}

uint8_t at(const QByteArray &image, int offset)
{
    return static_cast<uint8_t>(image.at(offset));
}

// Encodes, lets the "exchange" fill in its slot bytes, and decodes.
Configuration roundTrip(const Configuration &config)
{
    QByteArray image = buildExchMemory(config).image;
    stampSlotCodes(image, config.SysConfig.Slots);
    Configuration decoded = makeDefaultConfiguration();
    decodeExchMemory(image, decoded);
    return decoded;
}

// Golden configurations, small enough to check their dumps by hand.
Configuration goldenExtensions()
{
    Configuration c = makeDefaultConfiguration();
    placeExtension(c, 0, 101, ClassOfficer);
    placeExtension(c, 1, 102, ClassCrew);
    placeExtension(c, 2, 103, ClassHotLine, 245);
    placeExtension(c, 3, 104, ClassCustom);
    c.Extensions[3].Status = {0x80, 0xC0, 0x05, 0, 0x10, 0};
    c.Extensions[1].Group = 500;
    c.Extensions[3].Group = 500;
    placeGroup(c, 0, 500, GroupHunt, {102, 104});
    c.SysConfig.GA[0] = 101;
    c.SysConfig.PIN = 1020;
    c.SysConfig.Pass = QStringLiteral("SHIP");
    return c;
}

Configuration goldenTieLines()
{
    Configuration c = makeDefaultConfiguration();
    placeExtension(c, 0, 101, ClassOfficer);
    placeExtension(c, 1, 102, ClassCrew);
    placeTieLine(c, 8, 900, TieClassShore, 101, 102);
    c.TieLines[8].Dial6[0] = true;
    c.TieLines[8].Dial9 = true;
    placeTieLine(c, 9, 901, TieClassSatComm, 102, 501);
    c.TieLines[9].Status[0] |= TieDTMF;
    c.TieLines[9].Dial6[0] = c.TieLines[9].Dial6[7] = true;
    placeTieLine(c, 11, 903, TieClassPA);
    c.TieLines[11].Dial9 = true;
    placeGroup(c, 3, 501, GroupMultipleCallForward, {101});
    c.SysConfig.Pass = QStringLiteral("AB");
    return c;
}

} // namespace

class TestImage : public QObject {
    Q_OBJECT
private slots:
    void golden_data();
    void golden();
    void allZeroImage();
    void onlyConfigurationsMaySeeTheExchange_data();
    void onlyConfigurationsMaySeeTheExchange();
    void stableOverGeneratedConfigurations_data();
    void stableOverGeneratedConfigurations();
    void membershipForEveryExtension_data();
    void membershipForEveryExtension();
    void guaranteedAccess_data();
    void guaranteedAccess();
    void groupMembers_data();
    void groupMembers();
    void secondExtensionWithoutTarget_data();
    void secondExtensionWithoutTarget();
    void routes_data();
    void routes();
    void password_data();
    void password();
    void words_data();
    void words();
};

void TestImage::golden_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Configuration>("config");
    QTest::newRow("empty") << QStringLiteral("empty.hex") << makeDefaultConfiguration();
    QTest::newRow("extensions") << QStringLiteral("extensions.hex") << goldenExtensions();
    QTest::newRow("tie lines") << QStringLiteral("tielines.hex") << goldenTieLines();
}

void TestImage::golden()
{
    QFETCH(QString, file);
    QFETCH(Configuration, config);
    const ImageBuild build = buildExchMemory(config);
    QCOMPARE(build.image.size(), L::MemorySize);
    QVERIFY(build.missingMembers.isEmpty());

    QFile golden(QStringLiteral(HELMWISE_TEST_DATA "/image/") + file);
    QByteArray comments;
    QByteArray expected;
    if (golden.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : golden.readAll().split('\n')) {
            if (line.startsWith('#'))
                comments += line + '\n';
            else if (!line.isEmpty())
                expected += line + '\n';
        }
        golden.close();
    }
    if (qEnvironmentVariableIsSet("HELMWISE_WRITE_GOLDEN")) {
        // Regenerates the dump under the file's comment lines; check it by
        // hand before committing it.
        QVERIFY(golden.open(QIODevice::WriteOnly));
        golden.write(comments + imageToDump(build.image));
        QSKIP("golden written");
    }
    QVERIFY2(!expected.isEmpty(), qPrintable(golden.fileName()));
    // Row by row, so a difference names its offset.
    QCOMPARE(QString::fromLatin1(imageToDump(build.image)).split(u'\n'),
             QString::fromLatin1(expected).split(u'\n'));
}

void TestImage::allZeroImage()
{
    Configuration c = randomConfiguration(7); // full of values that must all go
    // An image of any other size is refused and changes nothing.
    const Configuration before = c;
    for (int size : {L::MemorySize - 1, L::MemorySize + 1}) {
        QVERIFY(!decodeExchMemory(QByteArray(size, '\0'), c));
        QVERIFY(c == before);
    }
    QVERIFY(decodeExchMemory(QByteArray(L::MemorySize, '\0'), c));
    for (int s = 0; s < SlotCount; ++s) {
        const int expected = s == 1 ? BoardProcessor : s == 17 ? BoardRinging : BoardEmpty;
        QCOMPARE(c.SysConfig.Slots[s], expected);
    }
    for (int i = 0; i < MaxExtensions; ++i)
        QVERIFY(!c.Extensions[i].Active);
    QCOMPARE(c.Extensions[20].Name, QStringLiteral("Ext Brd 3 Port 5"));
    for (int t = 0; t < FileTieLines; ++t)
        QVERIFY(!c.TieLines[t].Active);
    QCOMPARE(c.SysConfig.PIN, 0);
    QCOMPARE(c.SysConfig.Pass, QString(4, QChar(0)));
    QCOMPARE(c.SysConfig.GA[0], -1);
    for (int g = 0; g < MaxGroups; ++g) {
        QVERIFY(!c.Groups[g].Active);
        QCOMPARE(c.Groups[g].DirNum, 546 - g);
    }
    QCOMPARE(c.ExtClasses, makeDefaultConfiguration().ExtClasses);
}

void TestImage::onlyConfigurationsMaySeeTheExchange_data()
{
    // Images offered for a restore: only what an exchange could have held
    // may be sent to one.
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QString>("problem"); // start of the reason; empty: accepted
    const QByteArray built = buildExchMemory(goldenExtensions()).image;
    QTest::newRow("a configuration") << built << QString();
    QByteArray downloaded = built;
    stampSlotCodes(downloaded, goldenExtensions().SysConfig.Slots);
    downloaded.replace(L::Pin, 4, QByteArray::fromHex("01020A04")); // a PIN set on its own
    QTest::newRow("as downloaded") << downloaded << QString();
    QRandomGenerator random(7);
    QByteArray noise(L::MemorySize, '\0');
    for (char &byte : noise)
        byte = char(random.bounded(256));
    QTest::newRow("random bytes") << noise << QStringLiteral("it lacks the marker");
    QTest::newRow("all zero") << QByteArray(L::MemorySize, '\0')
                              << QStringLiteral("it lacks the marker");
    QTest::newRow("short") << built.left(L::MemorySize - 1) << QStringLiteral("it holds 8191");
    QByteArray number = built;
    number[2 * 5] = char(0x3C); // extension 6's number 1C3
    QTest::newRow("number not decimal")
        << number << QStringLiteral("extension 6 has a number that is not");
    QByteArray crowded = built;
    crowded[L::Groups + L::GroupRecordSize * 2 + L::GroupMemberCount] = char(13);
    QTest::newRow("thirteen members") << crowded << QStringLiteral("group 3 has 13 members");
    QByteArray stranger = built;
    stranger[L::Groups + L::GroupMemberCount] = char(1);
    stranger[L::Groups + L::GroupMembers] = char(120);
    QTest::newRow("member beyond the last extension")
        << stranger << QStringLiteral("a member of group 1 is not an extension");
}

void TestImage::onlyConfigurationsMaySeeTheExchange()
{
    QFETCH(QByteArray, image);
    QFETCH(QString, problem);
    const QString found = configurationImageProblem(image);
    QVERIFY2(problem.isEmpty() ? found.isEmpty() : found.startsWith(problem), qPrintable(found));
}

void TestImage::stableOverGeneratedConfigurations_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 40; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void TestImage::stableOverGeneratedConfigurations()
{
    QFETCH(quint32, seed);
    const Configuration source = randomConfiguration(seed);
    const ImageBuild first = buildExchMemory(source);
    QVERIFY(first.missingMembers.isEmpty());
    const Configuration decoded = roundTrip(source);
    QCOMPARE(imageToDump(buildExchMemory(decoded).image), imageToDump(first.image));

    // Re-encoding gives the same image, so everything the image carries came
    // back; the slots and the classes are not in it as such.
    QCOMPARE(decoded.SysConfig.Slots, source.SysConfig.Slots);
    for (int i = 0; i < MaxExtensions; ++i) {
        if (source.Extensions[i].Active && source.Extensions[i].Class != ClassCustom)
            QCOMPARE(decoded.Extensions[i].Class, source.Extensions[i].Class);
    }
    for (int t = 0; t < MaxTieLines; ++t) {
        if (source.TieLines[t].Active)
            QCOMPARE(decoded.TieLines[t].Class, source.TieLines[t].Class);
    }
}

void TestImage::membershipForEveryExtension_data()
{
    QTest::addColumn<QList<int>>("members"); // extension indexes in group 512
    QTest::newRow("first entry only") << QList<int>{0};
    QTest::newRow("around entry 64") << QList<int>{63, 64, 65};
    QTest::newRow("last board") << QList<int>{112, 119};
}

void TestImage::membershipForEveryExtension()
{
    QFETCH(QList<int>, members);
    Configuration c = makeDefaultConfiguration();
    QList<int> numbers;
    for (int i = 0; i < MaxExtensions; i += 3)
        placeExtension(c, i, 300 + i, ClassCrew);
    for (int i : members) {
        placeExtension(c, i, 300 + i, ClassCrew);
        c.Extensions[i].Group = 512;
        numbers.append(300 + i);
    }
    placeGroup(c, 5, 512, GroupPickup, numbers);
    const Configuration decoded = roundTrip(c);
    for (int i = 0; i < MaxExtensions; ++i)
        QCOMPARE(decoded.Extensions[i].Group, members.contains(i) ? 512 : 0);
}

void TestImage::guaranteedAccess_data()
{
    QTest::addColumn<QList<int>>("ga");       // extensions 120, 130, ..., 190 are active
    QTest::addColumn<int>("low");             // low byte of the mask word
    QTest::addColumn<QList<int>>("expected"); // GA[0..2] after a round trip; empty: not checked
    using Ga = QList<int>;
    QTest::newRow("none") << Ga{-1, -1, -1} << 0xFF << Ga{-1, -1, -1};
    QTest::newRow("one") << Ga{130, -1, -1} << 0xFE << Ga{130, -1, -1};
    QTest::newRow("three, back in table order") << Ga{160, 120, 140} << 0xEA << Ga{120, 140, 160};
    QTest::newRow("count stops at first empty") << Ga{120, -1, 140} << 0xFE << Ga{};
    QTest::newRow("first empty") << Ga{-1, 130, 140} << 0xFF << Ga{};
    QTest::newRow("not an active extension") << Ga{199, -1, -1} << 0xFE << Ga{-1, -1, -1};
}

void TestImage::guaranteedAccess()
{
    QFETCH(QList<int>, ga);
    QFETCH(int, low);
    QFETCH(QList<int>, expected);
    Configuration c = makeDefaultConfiguration();
    for (int i = 0; i < 8; ++i)
        placeExtension(c, i, 120 + 10 * i, ClassCrew);
    // The fourth, spare entry never counts.
    c.SysConfig.GA = {int16_t(ga[0]), int16_t(ga[1]), int16_t(ga[2]), 400};
    QCOMPARE(guaranteedAccessMask(c.SysConfig).low, low);
    QCOMPARE(guaranteedAccessMask(c.SysConfig).high, 0xFF);
    const Configuration decoded = roundTrip(c);
    for (int k = 0; k < expected.size(); ++k)
        QCOMPARE(decoded.SysConfig.GA[k], expected[k]);
}

void TestImage::groupMembers_data()
{
    QTest::addColumn<QList<int>>("members"); // of group 2; extensions 8..20 are 101..113
    QTest::addColumn<QList<int>>("missing");
    QTest::addColumn<QList<int>>("bytes"); // member bytes of the group record
    using Numbers = QList<int>;
    QTest::newRow("all found") << Numbers{101, 102} << Numbers{} << Numbers{8, 9};
    QTest::newRow("unknown number") << Numbers{101, 333, 102} << Numbers{333} << Numbers{8, 0, 9};
    QTest::newRow("inactive record") << Numbers{100} << Numbers{100} << Numbers{0};
    QTest::newRow("same member twice") << Numbers{444, 444} << Numbers{444, 444} << Numbers{0, 0};
    Numbers twelve;
    Numbers twelveBytes;
    for (int m = 0; m < MaxGroupMembers; ++m) {
        twelve << 101 + m;
        twelveBytes << 8 + m;
    }
    QTest::newRow("twelve") << twelve << Numbers{} << twelveBytes;
    QTest::newRow("thirteen") << twelve + Numbers{113} << Numbers{} << twelveBytes;
}

void TestImage::groupMembers()
{
    QFETCH(QList<int>, members);
    QFETCH(QList<int>, missing);
    QFETCH(QList<int>, bytes);
    Configuration c = makeDefaultConfiguration();
    for (int i = 8; i <= 20; ++i) // inactive records 1..7 hold 101..107 too
        placeExtension(c, i, 93 + i, ClassCrew);
    placeGroup(c, 2, 520, GroupPickup, members);
    placeGroup(c, 3, 531, GroupHunt, {101});
    ImageBuild build = buildExchMemory(c);
    QCOMPARE(build.missingMembers, missing);
    const int base = L::Groups + 2 * L::GroupRecordSize;
    QCOMPARE(int(at(build.image, base + L::GroupMemberCount)), int(bytes.size()));
    for (int m = 0; m < bytes.size(); ++m)
        QCOMPARE(at(build.image, base + L::GroupMembers + m), bytes[m]);
    // A thirteenth member would land on the next group's number.
    QCOMPARE(build.image.mid(base + L::GroupRecordSize, 2), QByteArray("\x31\x05", 2));

    // A count byte above 12 on download still gives no more than 12 entries.
    build.image[base + L::GroupMemberCount] = static_cast<char>(200);
    Configuration decoded;
    QVERIFY(decodeExchMemory(build.image, decoded));
    QCOMPARE(decoded.Groups[2].Num, MaxGroupMembers);
    QCOMPARE(decoded.Groups[3].DirNum, 531);
}

void TestImage::secondExtensionWithoutTarget_data()
{
    QTest::addColumn<int>("ext1");
    QTest::newRow("no first extension") << 0;
    QTest::newRow("unknown number") << 450;
    QTest::newRow("only an inactive record has it") << 110; // record 10 keeps 100 + 10
}

void TestImage::secondExtensionWithoutTarget()
{
    QFETCH(int, ext1);
    Configuration c = makeDefaultConfiguration();
    placeExtension(c, 0, 101, ClassCrew);
    placeTieLine(c, 0, 900, 0, ext1);
    const QByteArray without = buildExchMemory(c).image;
    c.TieLines[0].Ext2 = 101;
    const QByteArray with = buildExchMemory(c).image;
    QCOMPARE(imageToDump(with), imageToDump(without));
}

void TestImage::routes_data()
{
    QTest::addColumn<int>("selected"); // tie lines 0..selected-1 dial 64 and 9
    QTest::addColumn<int>("inactiveOnBoard"); // unused ports on the last board
    QTest::newRow("one line, three unused ports") << 1 << 3;
    QTest::newRow("eight lines") << 8 << 0;
    QTest::newRow("nine lines keep the first eight") << 9 << 3;
}

void TestImage::routes()
{
    QFETCH(int, selected);
    QFETCH(int, inactiveOnBoard);
    Configuration c = makeDefaultConfiguration();
    const int total = selected + inactiveOnBoard;
    for (int t = total - 1; t >= 0; --t) { // unused ports first, at the low indexes
        placeTieLine(c, t, 700 + t);
        c.TieLines[t].Active = t >= inactiveOnBoard;
        c.TieLines[t].Dial6[3] = c.TieLines[t].Dial9 = t >= inactiveOnBoard;
    }
    const QByteArray image = buildExchMemory(c).image;
    const int route = L::Dial6Routes + 3 * L::Dial6RouteSize;
    for (int k = 0; k < L::Dial6RouteLines; ++k) {
        const int number = k < selected ? 700 + inactiveOnBoard + k : 0;
        QCOMPARE(decodeBcdWord({at(image, route + 2 * k), at(image, route + 2 * k + 1)}), number);
    }
    QCOMPARE(image.mid(route + L::Dial6RouteSize, 2), QByteArray(2, '\0')); // route 65
    const Configuration decoded = roundTrip(c);
    for (int t = 0; t < total; ++t) {
        const bool routed = t >= inactiveOnBoard && t - inactiveOnBoard < L::Dial6RouteLines;
        QCOMPARE(decoded.TieLines[t].Dial6[3], routed);
        QCOMPARE(decoded.TieLines[t].Dial9, t >= inactiveOnBoard);
    }
    QCOMPARE(imageToDump(buildExchMemory(decoded).image), imageToDump(image));
}

void TestImage::password_data()
{
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QByteArray>("bytes"); // image bytes from the password on
    QTest::addColumn<QString>("decoded");
    // Four letters and short ones are in the golden images.
    const QByteArray nothing(4, '\0');
    QTest::newRow("long, cut to four") << QStringLiteral("GALLEYS") << QByteArray("GALL") + nothing
                                       << QStringLiteral("GALL");
    QTest::newRow("outside one byte") << QStringLiteral("\u03A91x2") << QByteArray("?1x2") + nothing
                                      << QStringLiteral("?1x2");
}

void TestImage::password()
{
    QFETCH(QString, pass);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, decoded);
    Configuration c = makeDefaultConfiguration();
    c.SysConfig.Pass = pass;
    const QByteArray image = buildExchMemory(c).image;
    QCOMPARE(image.mid(L::Password, bytes.size()), bytes);
    QCOMPARE(roundTrip(c).SysConfig.Pass, decoded);
}

enum Kind { Bcd, Flagged, Pin };

void TestImage::words_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<bool>("encodes"); // false: a stored word that only decodes
    auto row = [](const char *name, Kind kind, int number, int low, int high, bool encodes = true) {
        QTest::newRow(name) << int(kind) << number << low << high << encodes;
    };
    row("bcd zero", Bcd, 0, 0x00, 0x00);
    row("bcd extension 123", Bcd, 123, 0x23, 0x01);
    row("bcd 9999", Bcd, 9999, 0x99, 0x99);
    row("bcd negative unwritable", Bcd, -1, 0x00, 0x00);
    row("bcd 10000 unwritable", Bcd, 10000, 0x00, 0x00);
    row("bcd hex digit in low byte", Bcd, 13, 0x3A, 0x01, false);
    row("bcd hex digit in high byte", Bcd, 1, 0x23, 0x1E, false);
    row("bcd erased", Bcd, 0, 0xFF, 0xFF, false);
    row("flagged none", Flagged, 0, 0x00, 0x58);
    row("flagged 210", Flagged, 210, 0x10, 0x5A);
    row("flagged group 599", Flagged, 599, 0x99, 0x5D);
    row("pin none", Pin, 0, 0x00, 0x00);
    row("pin 1234", Pin, 1234, 0x34, 0x12);
    row("pin 1000", Pin, 1000, 0xAA, 0x1A);
    row("pin 5", Pin, 5, 0xA5, 0xAA);
    row("pin 10000 unwritable", Pin, 10000, 0x00, 0x00);
    row("pin erased", Pin, 0, 0xFF, 0xFF, false);
    row("pin low byte erased", Pin, 0, 0xFF, 0x12, false);
    row("pin digit B ends it", Pin, 12, 0xB4, 0x12, false);
}

void TestImage::words()
{
    QFETCH(int, kind);
    QFETCH(int, number);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(bool, encodes);
    const ExchWord word{uint8_t(low), uint8_t(high)};
    const auto encode = kind == Bcd ? encodeBcdWord : kind == Flagged ? encodeFlaggedWord : encodePinWord;
    const auto decode = kind == Bcd ? decodeBcdWord : kind == Flagged ? decodeFlaggedWord : decodePinWord;
    if (encodes) {
        const ExchWord got = encode(number);
        QCOMPARE(got.low, word.low);
        QCOMPARE(got.high, word.high);
    }
    if (number >= 0 && number <= 9999)
        QCOMPARE(decode(word), number);
}

QTEST_APPLESS_MAIN(TestImage)
#include "tst_image.moc"
