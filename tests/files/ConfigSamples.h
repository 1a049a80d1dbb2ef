#pragma once
// Configurations for the file tests: one varied, hand-picked configuration
// (the golden file's content) and seeded random ones.
#include "Configuration.h"

#include <QRandomGenerator>

// A configuration that touches every kind of value the file holds: names
// with markup characters and Windows-1252 letters, empty texts, negative
// numbers, unusual boards, customised classes, a spare tie line.
inline Configuration variedConfiguration()
{
    using namespace tidelex;
    Configuration c = makeDefaultConfiguration();
    SystemRecord &sys = c.SysConfig;
    sys.Name = QStringLiteral("MV Nordlys & <Sons> \"Caf\u00e9\"");
    sys.PIN = 4711;
    sys.Pass = QStringLiteral("R&D1");
    sys.Slots = {BoardTone16,  BoardProcessor,  BoardSubscriber, BoardSubscriber, BoardTieLine,
                 BoardEmpty,   BoardTone8,      BoardSubscriber, BoardEmpty,      BoardEmpty,
                 BoardTieLine, BoardEmpty,      BoardEmpty,      BoardEmpty,      BoardEmpty,
                 BoardEmpty,   BoardSubscriber, BoardRinging};
    sys.GA = {101, -1, 0, 0};

    auto ext = [&](int i, const char16_t *name, int number, int cls, bool active) {
        ExtRecord &e = c.Extensions[i];
        e.Name = QString::fromUtf16(name);
        e.ExtNum = int16_t(number);
        e.Class = int16_t(cls);
        e.Active = active;
    };
    ext(0, u"Bridge", 100, ClassOfficer, true);
    ext(1, u"Salon Caf\u00e9 \u20ac", 101, ClassCrew, true);
    ext(2, u"Engine <Control> & Stores", 102, ClassCustom, true);
    ext(3, u"", 103, ClassCustom, true);
    ext(4, u"  Padded  ", -7, ClassNightBell, false);
    ext(5, u"Hot line to bridge", 105, ClassHotLine, true);
    ext(119, u"Last port", 499, ClassEmergency, true);
    c.Extensions[2].Status = {128, 215, 255, 3, 48, 0};
    c.Extensions[5].DirectDial = 100;
    c.Extensions[7].TrueName = false;
    c.Extensions[9].Group = 501;

    c.TieLines[0] = {QStringLiteral("Shore 1"), true, 900, 100, 501, TieClassShore, {192, 0, 8},
                     {true, false, true},       true};
    c.TieLines[1] = {QStringLiteral("PA"),
                     true,
                     -32768,
                     0,
                     0,
                     TieClassPA,
                     {},
                     {false, false, false, false, false, false, false, true},
                     false};
    c.TieLines[63].Name = QStringLiteral("Spare 63");
    c.TieLines[63].DirNum = 32767;

    c.Groups[0] = {QStringLiteral("Bridge pickup"),
                   true,
                   500,
                   GroupPickup,
                   3,
                   {100, 101, 102, -1, 0, 0, 0, 0, 0, 0, 0, 0, 7}};
    c.Groups[15] = {QStringLiteral("Galley hunt"),
                    true,
                    501,
                    GroupHunt,
                    12,
                    {110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121}};

    c.ExtClasses[7] = {true,
                       QStringLiteral("Guest & Visitor"),
                       {0, 192, 1, 0, 16, 0},
                       QStringLiteral("ExtCosB"),
                       false};
    c.TieClasses[4] = {true, QStringLiteral("Radio"), {16, 1}, QStringLiteral("Tie"), true};
    return c;
}

// Random configuration over every field the file stores. Texts use only
// characters Windows-1252 can hold, markup characters and line breaks
// included, so everything must come back unchanged.
class RandomConfiguration
{
  public:
    explicit RandomConfiguration(quint32 seed) : rng(seed) {}

    Configuration make()
    {
        using namespace tidelex;
        Configuration c = makeDefaultConfiguration();
        SystemRecord &sys = c.SysConfig;
        sys.Name = text();
        sys.Pass = text();
        sys.PIN = int16();
        for (auto &slot : sys.Slots)
            slot = int16_t(rng.bounded(BoardTypeCount));
        for (int k = 0; k < GAEntries; ++k)
            sys.GA[k] = int16();
        // Each record is drawn field by field in the order it declares them.
        using R = RandomConfiguration;
        for (int i = 0; i < MaxExtensions; ++i)
            c.Extensions[i] = {text(),  flag(),       flag(),
                               int16(), classIndex(), drawn<ExtStatusBytes>(&R::byte, 5),
                               int16(), int16()};
        for (int t = 0; t < FileTieLines; ++t)
            c.TieLines[t] = {text(),
                             flag(),
                             int16(),
                             int16(),
                             int16(),
                             classIndex(),
                             drawn<TieStatusBytes>(&R::byte),
                             drawn<9>(&R::flag, Dial6Codes),
                             flag()};
        for (int g = 0; g < MaxGroups; ++g)
            c.Groups[g] = {text(),
                           flag(),
                           int16(),
                           int16(),
                           int16_t(rng.bounded(MaxGroupMembers + 1)),
                           drawn<GroupExtsSize>(&R::int16)};
        for (auto *table : {&c.ExtClasses, &c.TieClasses}) {
            for (int k = 0; k < MaxClasses; ++k)
                (*table)[k] = {flag(), text(), drawn<ExtStatusBytes>(&R::byte), text(), flag()};
        }
        return c;
    }

  private:
    QRandomGenerator rng;

    bool flag() { return rng.bounded(2) == 1; }
    uint8_t byte() { return uint8_t(rng.bounded(256)); }
    int16_t int16() { return int16_t(rng.bounded(-32768, 32768)); }
    int16_t classIndex() { return int16_t(rng.bounded(tidelex::ClassTableSize)); }
    // The first `count` entries drawn in turn, the rest left 0.
    template <std::size_t N, typename T>
    std::array<T, N> drawn(T (RandomConfiguration::*draw)(), int count = int(N))
    {
        std::array<T, N> values{};
        for (int k = 0; k < count; ++k)
            values[k] = (this->*draw)();
        return values;
    }
    QString text()
    {
        static const QString pool = QStringLiteral(
            "abcxyzABCXYZ 0189&<>\"'\t\r\n;#/=?]\u00e9\u00fc\u00ff\u00a0\u20ac\u0160\u0153\u2122");
        // Every fifth text is empty: those are written as an empty element.
        const int length = rng.bounded(5) == 0 ? 0 : int(rng.bounded(1, 24));
        QString s;
        for (int k = 0; k < length; ++k)
            s += pool[rng.bounded(int(pool.size()))];
        return s;
    }
};
